#pragma once

// Waiting while the user interface stays responsive.

#include <runtime/values/TypedValue.h>

#include <cstdint>

namespace commands {

// Delay(milliseconds): returns once the tick count has passed start +
// milliseconds, dispatching every message that arrives meanwhile through the
// runtime (HostNotify 2018), so that any handler, the caller's own included,
// may run inside the wait. A non-positive or non-numeric argument returns at
// once.
//
// Between checks of the clock the thread sleeps in the platform's wait for a
// message, with a time-out that ends just before the tick that passes the
// deadline; the last millisecond is spent in 0.1 ms naps so that the return
// follows the deadline closely. A playback therefore costs no processor time
// while it waits. The deadline is compared as elapsed ticks since the start,
// modulo 2^32, so a wait that spans the 32-bit wrap-around of the tick count
// lasts its full length.
void Delay(runtime::TypedValue* result, std::int32_t arg_count, const runtime::TypedValue* args);

} // namespace commands
