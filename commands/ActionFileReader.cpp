#include "ActionFileReader.h"

#include "ConversionCommands.h"
#include "TextCommands.h"

namespace commands {

std::vector<ActionRow> read_action_rows(std::span<const std::uint8_t> file_bytes) {
    std::string_view whole = up_to_first_zero(file_bytes);
    std::vector<std::string_view> lines =
        split_pieces(whole, "\r\n", static_cast<std::uint32_t>(ActionTableRows));
    std::vector<ActionRow> rows(lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::vector<std::string_view> fields =
            split_pieces(lines[i], ",", static_cast<std::uint32_t>(ActionFields));
        for (std::size_t j = 0; j < fields.size() && j < ActionFields; ++j)
            rows[i][j] = std::string(fields[j]);
    }
    return rows;
}

} // namespace commands
