#pragma once

// Reading an action file for armctl-play. Unlike the window's load, which
// takes a file it cannot read for an empty one, a file that cannot be read
// is an error with a reason here; what is read goes by the window's rules.

#include <commands/ActionFileReader.h>

#include <string>
#include <vector>

namespace play {

struct PlayFile {
    bool ok = false;
    std::string error; // why the file could not be read
    std::vector<commands::ActionRow> rows;
};

PlayFile read_play_file(const std::string& path);

} // namespace play
