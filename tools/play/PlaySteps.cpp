#include "PlaySteps.h"

#include <cstdio>

namespace play {

namespace {

constexpr char Letters[commands::ActionFields] = {'a', 'b', 'c', 'd'};

} // namespace

std::string row_command(const commands::ActionRow& row) {
    std::string command;
    for (std::size_t i = 0; i < row.size(); ++i) {
        command += row[i];
        command += Letters[i];
    }
    return command;
}

std::vector<Step> pass_steps(const std::vector<commands::ActionRow>& rows) {
    std::vector<Step> steps;
    // Rows past the file's last line are blank, and so end a pass.
    for (std::size_t i = 0; i < rows.size(); ++i) {
        std::string command = row_command(rows[i]);
        if (command == "abcd")
            break;
        steps.push_back({static_cast<int>(i + 1), std::move(command)});
    }
    return steps;
}

std::string json_string(const std::string& bytes) {
    std::string out = "\"";
    for (unsigned char c : bytes) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c >= 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

} // namespace play
