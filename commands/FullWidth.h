#pragma once

#include <string>
#include <string_view>

namespace commands {

enum class DropSpaces { No, Yes };

// Turns the GBK full-width forms of "!" to "~" (0xA3 0xA1..0xFE) into their
// ASCII bytes, the full-width space (0xA1 0xA1) into a space, 0xA1 0xAB into
// "~" and 0xA1 0xEE / 0xA1 0xEF into "*". Other double-byte characters are
// copied; a lead byte with nothing after it is dropped. With DropSpaces::Yes
// every space, converted or not, is left out.
std::string NormalizeFullWidth(std::string_view text, DropSpaces drop_spaces);

} // namespace commands
