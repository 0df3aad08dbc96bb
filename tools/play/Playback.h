#pragma once

// Playing the steps on a serial line: each row command is one write, and
// after it the wait of the interval, measured from the write's end as the
// window's Delay measures it. SIGINT and SIGTERM (blocked by the caller
// before any thread starts) end the playback after the write under way.

#include "PlayOptions.h"
#include "PlaySteps.h"

#include <cstdio>
#include <string>
#include <vector>

namespace play {

namespace exit_code {
inline constexpr int Played = 0;
inline constexpr int BadArguments = 1;
inline constexpr int PortNotOpened = 2;
inline constexpr int LineLost = 3;
// A stop signal: 128 + its number, as a shell reports it.
inline constexpr int SignalBase = 128;
} // namespace exit_code

// Prints what a playback would send and when, without a port.
void print_dry_run(const PlayOptions& options, const std::vector<Step>& steps, FILE* out);

// Opens the port and plays; returns the exit code. Messages go to `err`,
// JSON lines (with --json) to `out`.
int play_on_port(const PlayOptions& options, const std::vector<Step>& steps, FILE* out, FILE* err);

} // namespace play
