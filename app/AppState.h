#pragma once

// The state the arm controller's handlers share, from start-up to exit, and
// the small operations several handlers use.

#include "Runtime.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace app {

struct AppState {
    std::int32_t port_open = 0;
    std::int32_t recorded_rows = 0;
    std::int32_t stop = 0;
    std::int32_t step_interval = 0;
    // Every recorded row as "g,s,e,b" and CR LF; only ever appended to.
    std::string record_log;
};

AppState& state();

// ToNumber of a text.
double number_of(std::string_view text);
// ToText of an integer.
Text text_of(std::int32_t value);
// Replaces the text of the status line's panel 0.
void set_status(const char* text);
// A plain OK box with the program's default caption.
void show_message(const char* text);
// Writes the headings and Action 1 to Action 100 into the action table.
void initialise_table();

// Row and column counts of the action table's data part.
inline constexpr std::int32_t TableRows = 100;
inline constexpr std::int32_t ServoCount = 4;

} // namespace app
