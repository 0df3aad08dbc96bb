#pragma once

// What one pass of a playback sends, as the window's Run builds it: for
// each row from 1, the row command (each cell followed by its servo's
// letter, a to d), until the first row whose cells are all blank.

#include <commands/ActionFileReader.h>

#include <cstdint>
#include <string>
#include <vector>

namespace play {

struct Step {
    int row = 0; // 1-based
    std::string command;
};

std::string row_command(const commands::ActionRow& row);
std::vector<Step> pass_steps(const std::vector<commands::ActionRow>& rows);

// A command as a JSON string, quotes included. Bytes outside printable
// ASCII are written as \u00XX, one per byte, so a script sees every byte
// of the line.
std::string json_string(const std::string& bytes);

} // namespace play
