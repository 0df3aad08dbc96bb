#include "DelayCommand.h"

#include <platform/Clock.h>
#include <platform/TickCount.h>
#include <platform/window/WindowSystem.h>
#include <runtime/services/LibraryHost.h>
#include <runtime/values/ValueConversion.h>

#include <algorithm>
#include <chrono>

namespace commands {

using runtime::TypedValue;

namespace {

void dispatch_waiting_messages() {
    runtime::library_host_call(runtime::host_service::DispatchWaitingMessages);
}

bool quit_is_waiting() {
    platform::Msg msg;
    return platform::peek_message(msg, nullptr, 0, 0, platform::PM_NOREMOVE) &&
           msg.message == platform::WM_QUIT;
}

// Sleeps until a message may need dispatching or the tick count moves on
// to the one that ends the wait. `ticks_left` is at least 1, counted from
// the clock's reading `read_at`.
void wait_for_message_or_deadline(std::chrono::nanoseconds read_at, std::uint32_t ticks_left) {
    // The tick count moves on at each whole millisecond of the clock.
    const auto last_tick = std::chrono::floor<std::chrono::milliseconds>(read_at) +
                           std::chrono::milliseconds(ticks_left);
    // Off the user-interface thread there is no queue to wait on.
    if (platform::is_ui_thread() && platform::backend() && !quit_is_waiting()) {
        platform::wait_message_until(last_tick);
        return;
    }
    // A waiting WM_QUIT stays queued for the outer loop, so the platform's
    // wait would return at once; nap instead of spinning (naps of a
    // millisecond at most: no message can be dispatched past the WM_QUIT
    // anyway).
    const auto left = std::chrono::ceil<std::chrono::microseconds>(last_tick - read_at);
    platform::current_clock().nap(
        read_at, std::min<std::chrono::microseconds>(left, std::chrono::milliseconds(1)));
}

} // namespace

void Delay(TypedValue*, std::int32_t arg_count, const TypedValue* args) {
    if (arg_count < 1)
        return;
    auto milliseconds = runtime::try_integer_from_value(args[0]);
    if (!milliseconds || *milliseconds <= 0)
        return;
    const auto length = static_cast<std::uint32_t>(*milliseconds);
    const std::uint32_t start = platform::get_tick_count();
    for (;;) {
        dispatch_waiting_messages();
        dispatch_waiting_messages();
        // Unsigned subtraction counts across the wrap-around.
        std::uint32_t elapsed = platform::get_tick_count() - start;
        if (elapsed > length)
            return;
        dispatch_waiting_messages();
        dispatch_waiting_messages();
        // The clock is read before the tick count, so the wait's deadline
        // is never later than the tick count says: a step of time taken
        // between the two readings is not waited for again.
        const auto read_at = platform::current_clock().now();
        elapsed = platform::get_tick_count() - start;
        if (elapsed > length)
            continue;
        wait_for_message_or_deadline(read_at, length + 1 - elapsed);
    }
}

} // namespace commands
