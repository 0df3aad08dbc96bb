#pragma once

#include <cstdint>

namespace platform {

// Milliseconds since an arbitrary start, read from the current clock (see
// Clock.h) and cut to 32 bits so that it wraps after about 49.7 days as the
// platform's does.
std::uint32_t get_tick_count();

// Shifts every later reading by `offset` milliseconds, so that tests can put
// the count just before its wrap.
void set_tick_count_offset(std::uint32_t offset);

} // namespace platform
