#pragma once

// The command line of armctl-play:
//
//   armctl-play FILE [--com N | --device PATH] [--speed S | --interval MS]
//               [--cycles N | --forever] [--dry-run] [--json]
//
// The port is COM1 when neither --com nor --device is given; the speed is
// 10 and the passes are one, as in the window.

#include <cstdint>
#include <optional>
#include <string>

namespace play {

struct PlayOptions {
    std::string file;
    std::optional<int> com;                 // the port map's number
    std::optional<std::string> device;      // a device path, past the port map
    std::uint32_t interval_ms = 550;        // the wait after each row's write
    std::optional<std::int64_t> cycles = 1; // nothing: for ever
    bool dry_run = false;
    bool json = false;
    bool help = false;
    bool version = false;
    std::string error; // non-empty: the command line could not be read

    int port_number() const { return com.value_or(1); }
};

// The wait between steps for a speed, as the window's speed box has it:
// the speed clamped to 1 to 20, then (21 - speed) x 50 ms, cut to whole
// milliseconds.
std::uint32_t interval_for_speed(double speed);

PlayOptions read_play_options(int argc, char** argv);

const char* play_usage();

} // namespace play
