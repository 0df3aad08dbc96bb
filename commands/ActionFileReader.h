#pragma once

// The rows an action file puts into the arm controller's action table when
// its load button reads it: the file's bytes become a text that ends at the
// first zero byte (ToText), the text is cut into lines at CR LF and each line
// into fields at "," (SplitText, which never cuts inside a double-byte
// character and gives no empty piece after a delimiter at the very end),
// line i fills row i for rows 1 to 100, and fields beyond the fourth fall
// outside the table. Fields are kept as they are, a blank as a blank.
//
// The window reaches these commands through its call table; programs that
// play a file without the window read it here, with the same code.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace commands {

inline constexpr std::size_t ActionTableRows = 100;
inline constexpr std::size_t ActionFields = 4;

// One row of the table: a cell the file left alone is blank.
using ActionRow = std::array<std::string, ActionFields>;

// The table's rows after the file is read into an empty table; as many as
// the file has lines, at most ActionTableRows. Cells stay GBK, as read.
std::vector<ActionRow> read_action_rows(std::span<const std::uint8_t> file_bytes);

} // namespace commands
