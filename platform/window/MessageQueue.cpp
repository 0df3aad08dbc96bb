// Sending, posting and retrieving messages, hooks and timers.
//
// Retrieval order follows the platform: messages sent from other threads,
// posted messages, input, then WM_QUIT, WM_PAINT and WM_TIMER once nothing
// else is waiting.

#include "Painting.h"
#include "detail/State.h"
#include <platform/TickCount.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>

namespace platform {
namespace detail {

std::uint32_t now_ticks() {
    return get_tick_count();
}

void spy_log(const char* how, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    const char* name = message_name(msg);
    char number[16];
    if (!name) {
        std::snprintf(number, sizeof number, "0x%04X", msg);
        name = number;
    }
    std::string cls = get_class_name(hwnd);
    std::fprintf(stderr, "[spy] %-10s %-20s hwnd=%#lx class=%s wp=%#lx lp=%#lx\n", how, name,
                 static_cast<unsigned long>(handle_value(hwnd)), cls.empty() ? "-" : cls.c_str(),
                 static_cast<unsigned long>(wp), static_cast<unsigned long>(lp));
}

namespace {
// With `s.mutex` held and a backend installed.
void wake_locked(State& s) {
    ++s.wakes;
    s.backend->wake();
}
} // namespace

void wake_ui_thread() {
    auto& s = state();
    // Under the lock: shutdown() uninstalls the backend under it, and the
    // backend's owner destroys it only after that.
    std::lock_guard lock(s.mutex);
    if (s.backend)
        wake_locked(s);
}

void kill_window_timers(HWND hwnd) {
    std::erase_if(state().timers, [&](const Timer& t) { return t.hwnd == hwnd; });
}

void drop_window_input(HWND hwnd) {
    auto& s = state();
    std::erase_if(s.input, [&](const InputEvent& e) { return e.top == hwnd; });
}

int next_timer_timeout_ms() {
    auto& s = state();
    if (s.timers.empty())
        return -1;
    auto now = current_clock().now();
    auto earliest = std::min_element(s.timers.begin(), s.timers.end(),
                                     [](const Timer& a, const Timer& b) { return a.due < b.due; });
    if (earliest->due <= now)
        return 0;
    auto ms = std::chrono::ceil<std::chrono::milliseconds>(earliest->due - now).count();
    return static_cast<int>(std::min<long long>(ms, 1 << 30));
}

bool next_timer_message(Msg& msg, HWND filter) {
    auto& s = state();
    auto now = current_clock().now();
    Timer* pick = nullptr;
    for (Timer& t : s.timers) {
        if (t.due > now || (filter && t.hwnd != filter))
            continue;
        if (!pick || t.due < pick->due)
            pick = &t;
    }
    if (!pick)
        return false;
    // A late timer fires once, not once for every period it missed.
    pick->due = now + std::chrono::milliseconds(pick->interval);
    msg = {};
    msg.hwnd = pick->hwnd;
    msg.message = WM_TIMER;
    msg.wParam = pick->id;
    msg.lParam = reinterpret_cast<LPARAM>(pick->proc);
    msg.time = now_ticks();
    return true;
}

} // namespace detail

using namespace detail;

namespace {

LRESULT call_hooks_and_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, bool from_other_thread) {
    auto& s = state();
    WindowRecord* w = find(hwnd);
    if (!w)
        return 0;
    if (!s.hooks.empty() && !s.in_hook) {
        CallWndProcInfo info{lp, wp, msg, hwnd};
        std::vector<Hook> hooks = s.hooks; // a hook may unhook itself
        for (const Hook& h : hooks) {
            if (h.kind != WH_CALLWNDPROC)
                continue;
            if (std::none_of(s.hooks.begin(), s.hooks.end(),
                             [&](const Hook& x) { return x.handle == h.handle; }))
                continue;
            s.in_hook = true;
            h.proc(0, from_other_thread ? 1 : 0, reinterpret_cast<LPARAM>(&info));
            s.in_hook = false;
            break; // the first hook passes the call on with call_next_hook
        }
        if (!(w = find(hwnd)))
            return 0;
    }
    if (s.spy)
        spy_log("sent", hwnd, msg, wp, lp);
    WNDPROC proc = w->proc;
    ++s.send_depth;
    LRESULT r = proc(hwnd, msg, wp, lp);
    --s.send_depth;
    return r;
}

void deliver_cross_thread_sends() {
    auto& s = state();
    for (;;) {
        std::shared_ptr<CrossThreadSend> send;
        {
            std::lock_guard lock(s.mutex);
            if (s.cross_sends.empty())
                return;
            send = s.cross_sends.front();
            s.cross_sends.pop_front();
        }
        LRESULT r = call_hooks_and_proc(send->hwnd, send->message, send->wp, send->lp, true);
        send->result.set_value(r);
        ++s.sends_delivered;
    }
}

bool matches(const Msg& m, HWND filter, UINT min, UINT max) {
    if (filter && m.hwnd != filter)
        return false;
    if (min == 0 && max == 0)
        return true;
    return m.message >= min && m.message <= max;
}

bool range_includes(UINT message, UINT min, UINT max) {
    return (min == 0 && max == 0) || (message >= min && message <= max);
}

// One retrieval step. True when `msg` holds a message.
bool fetch(Msg& msg, HWND filter, UINT min, UINT max, bool remove) {
    auto& s = state();
    deliver_cross_thread_sends();
    if (s.backend)
        s.backend->process_pending();
    deliver_cross_thread_sends();
    {
        std::lock_guard lock(s.mutex);
        for (auto it = s.posted.begin(); it != s.posted.end(); ++it) {
            if (!matches(*it, filter, min, max))
                continue;
            msg = *it;
            if (remove)
                s.posted.erase(it);
            return true;
        }
    }
    // Input is turned into messages one at a time; peeking without removal
    // converts and puts the message back at the front.
    if (!s.input.empty()) {
        Msg m;
        if (next_input_message(m)) {
            if (matches(m, filter, min, max)) {
                msg = m;
                if (!remove) {
                    std::lock_guard lock(s.mutex);
                    s.posted.push_front(m);
                }
                return true;
            }
            std::lock_guard lock(s.mutex);
            s.posted.push_back(m);
        }
    }
    {
        std::lock_guard lock(s.mutex);
        if (s.quit_posted && range_includes(WM_QUIT, min, max)) {
            msg = {};
            msg.message = WM_QUIT;
            msg.wParam = static_cast<WPARAM>(s.quit_code);
            msg.time = now_ticks();
            if (remove)
                s.quit_posted = false;
            return true;
        }
    }
    if (range_includes(WM_PAINT, min, max)) {
        if (HWND h = next_paint_window(filter)) {
            msg = {};
            msg.hwnd = h;
            msg.message = WM_PAINT;
            msg.time = now_ticks();
            return true;
        }
    }
    if (range_includes(WM_TIMER, min, max)) {
        Msg m;
        if (remove ? next_timer_message(m, filter) : false) {
            msg = m;
            return true;
        }
        if (!remove && next_timer_timeout_ms() == 0) {
            // Report a due timer without consuming it.
            Timer* due = nullptr;
            auto now = current_clock().now();
            for (Timer& t : s.timers)
                if (t.due <= now && (!filter || t.hwnd == filter))
                    due = &t;
            if (due) {
                msg = {};
                msg.hwnd = due->hwnd;
                msg.message = WM_TIMER;
                msg.wParam = due->id;
                msg.lParam = reinterpret_cast<LPARAM>(due->proc);
                return true;
            }
        }
    }
    return false;
}

} // namespace

LRESULT send_message(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto& s = state();
    if (!on_ui_thread()) {
        auto send = std::make_shared<CrossThreadSend>();
        send->hwnd = hwnd;
        send->message = msg;
        send->wp = wp;
        send->lp = lp;
        auto result = send->result.get_future();
        {
            // Once shutdown has begun nothing would answer the send.
            std::lock_guard lock(s.mutex);
            if (!s.backend || s.closing)
                return 0;
            s.cross_sends.push_back(send);
            wake_locked(s);
        }
        return result.get();
    }
    return call_hooks_and_proc(hwnd, msg, wp, lp, false);
}

bool post_message(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto& s = state();
    if (hwnd && on_ui_thread() && !find(hwnd))
        return false;
    Msg m;
    m.hwnd = hwnd;
    m.message = msg;
    m.wParam = wp;
    m.lParam = lp;
    m.time = now_ticks();
    std::lock_guard lock(s.mutex);
    if (!s.backend || s.closing)
        return false;
    m.pt = s.mouse_screen;
    s.posted.push_back(m);
    if (!on_ui_thread())
        wake_locked(s);
    return true;
}

bool post_thread_message(UINT msg, WPARAM wp, LPARAM lp) {
    return post_message(nullptr, msg, wp, lp);
}

void post_quit_message(int exit_code) {
    auto& s = state();
    std::lock_guard lock(s.mutex);
    s.quit_posted = true;
    s.quit_code = exit_code;
    if (s.backend && !on_ui_thread())
        wake_locked(s);
}

bool peek_message(Msg& msg, HWND filter, UINT min, UINT max, UINT remove) {
    if (!on_ui_thread() || !state().backend)
        return false;
    return fetch(msg, filter, min, max, (remove & PM_REMOVE) != 0);
}

namespace {

// The user-interface thread found nothing to do: blocks until it is woken
// or `wait` of the clock's time passes (negative: no limit). `wakes_seen` is
// the wake count read before it last looked at the queue; a clock whose
// time runs by itself moves on instead of blocking only when nothing has
// woken the thread since, so what another thread posted or sent first is
// handled first.
void block_ui_thread(std::chrono::microseconds wait, std::uint64_t wakes_seen) {
    auto& s = state();
    const Clock& clock = current_clock();
    if (wait != wait.zero()) {
        const auto ms =
            wait < wait.zero()
                ? -1
                : std::min<long long>(std::chrono::ceil<std::chrono::milliseconds>(wait).count(),
                                      1 << 30);
        std::lock_guard lock(s.mutex);
        if (s.wakes.load() == wakes_seen && clock.pass_idle_time(static_cast<int>(ms)))
            return;
    }
    s.backend->wait(clock.blocking(wait));
}

// Until the next timer falls due (negative: none is set).
std::chrono::microseconds timer_wait() {
    const int ms = next_timer_timeout_ms();
    return ms < 0 ? std::chrono::microseconds(-1) : std::chrono::milliseconds(ms);
}

bool wait_for_message(std::optional<std::chrono::nanoseconds> deadline) {
    auto& s = state();
    if (!on_ui_thread() || !s.backend)
        return false;
    const Clock& clock = current_clock();
    auto delivered = s.sends_delivered;
    for (;;) {
        const std::uint64_t wakes = s.wakes.load();
        Msg m;
        if (fetch(m, nullptr, 0, 0, false))
            return true;
        // A message sent from another thread was handled: the caller may
        // have been waiting for its effect.
        if (s.sends_delivered != delivered)
            return true;
        auto wait = timer_wait();
        if (deadline) {
            const auto left = *deadline - clock.now();
            if (left <= left.zero())
                return false;
            const auto left_us = std::chrono::ceil<std::chrono::microseconds>(left);
            wait = wait < wait.zero() ? left_us : std::min(wait, left_us);
        }
        block_ui_thread(wait, wakes);
    }
}

} // namespace

bool wait_message(int timeout_ms) {
    if (timeout_ms < 0)
        return wait_for_message(std::nullopt);
    return wait_for_message(current_clock().now() + std::chrono::milliseconds(timeout_ms));
}

bool wait_message_until(std::chrono::nanoseconds deadline) {
    return wait_for_message(deadline);
}

bool get_message(Msg& msg, HWND filter, UINT min, UINT max) {
    auto& s = state();
    if (!on_ui_thread() || !s.backend) {
        msg = {};
        msg.message = WM_QUIT;
        return false;
    }
    for (;;) {
        const std::uint64_t wakes = s.wakes.load();
        if (fetch(msg, filter, min, max, true))
            return msg.message != WM_QUIT;
        block_ui_thread(timer_wait(), wakes);
    }
}

int dispatch_ready_messages() {
    int count = 0;
    Msg msg;
    while (peek_message(msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            post_quit_message(static_cast<int>(msg.wParam));
            break;
        }
        translate_message(msg);
        dispatch_message(msg);
        ++count;
    }
    return count;
}

bool translate_message(const Msg& msg) {
    if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN)
        return false;
    std::uint32_t c = msg.typed_char;
    if (c == 0)
        return false;
    UINT char_msg = msg.message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR;
    // A double-byte character reaches an ANSI window as its lead byte, then
    // its trail byte.
    if (c > 0xFF)
        post_message(msg.hwnd, char_msg, (c >> 8) & 0xFF, msg.lParam);
    post_message(msg.hwnd, char_msg, c & 0xFF, msg.lParam);
    return true;
}

LRESULT dispatch_message(const Msg& msg) {
    auto& s = state();
    if (msg.message == WM_TIMER && msg.lParam) {
        auto proc = reinterpret_cast<TIMERPROC>(msg.lParam);
        proc(msg.hwnd, WM_TIMER, msg.wParam, msg.time);
        return 0;
    }
    WindowRecord* w = find(msg.hwnd);
    if (!w)
        return 0;
    if (s.spy)
        spy_log(msg.message == WM_PAINT ? "paint" : "dispatch", msg.hwnd, msg.message, msg.wParam,
                msg.lParam);
    s.message_time = msg.time;
    WNDPROC proc = w->proc;
    LRESULT r = proc(msg.hwnd, msg.message, msg.wParam, msg.lParam);
    if (msg.message == WM_PAINT)
        validate_rect(msg.hwnd,
                      nullptr); // a procedure that did not paint must not get WM_PAINT forever
    return r;
}

LRESULT call_window_proc(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (!proc)
        return 0;
    return proc(hwnd, msg, wp, lp);
}

bool in_send_message() {
    return state().send_depth > 0;
}
std::uint32_t get_message_time() {
    return state().message_time;
}

// ---- Timers ---------------------------------------------------------------

std::uintptr_t set_timer(HWND hwnd, std::uintptr_t id, UINT elapse_ms, TIMERPROC proc) {
    auto& s = state();
    if (!on_ui_thread() || (hwnd && !find(hwnd)))
        return 0;
    if (!hwnd)
        id = s.next_timer_id++;
    elapse_ms = std::clamp<UINT>(elapse_ms, 10, 0x7FFFFFFF); // the platform's minimum
    auto due = current_clock().now() + std::chrono::milliseconds(elapse_ms);
    for (Timer& t : s.timers) {
        if (t.hwnd == hwnd && t.id == id) {
            t.interval = elapse_ms;
            t.due = due;
            t.proc = proc;
            return id ? id : 1;
        }
    }
    s.timers.push_back({hwnd, id, elapse_ms, due, proc});
    return id ? id : 1;
}

int next_timer_due_ms() {
    return next_timer_timeout_ms();
}

bool kill_timer(HWND hwnd, std::uintptr_t id) {
    auto& s = state();
    auto before = s.timers.size();
    std::erase_if(s.timers, [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; });
    // A WM_TIMER already posted for it is removed too.
    std::lock_guard lock(s.mutex);
    std::erase_if(s.posted, [&](const Msg& m) {
        return m.message == WM_TIMER && m.hwnd == hwnd && m.wParam == id;
    });
    return s.timers.size() != before;
}

// ---- Hooks ------------------------------------------------------------------

HHOOK set_windows_hook(int kind, HOOKPROC proc) {
    auto& s = state();
    if (!proc || kind != WH_CALLWNDPROC || !on_ui_thread())
        return nullptr;
    Hook h{reinterpret_cast<HHOOK>(s.next_hook++), kind, proc};
    s.hooks.insert(s.hooks.begin(), h); // the newest hook is called first
    return h.handle;
}

bool unhook_windows_hook(HHOOK hook) {
    auto& s = state();
    auto before = s.hooks.size();
    std::erase_if(s.hooks, [&](const Hook& h) { return h.handle == hook; });
    return s.hooks.size() != before;
}

LRESULT call_next_hook(HHOOK hook, int code, WPARAM wp, LPARAM lp) {
    auto& s = state();
    auto it = std::find_if(s.hooks.begin(), s.hooks.end(),
                           [&](const Hook& h) { return h.handle == hook; });
    if (it == s.hooks.end())
        return 0;
    for (++it; it != s.hooks.end(); ++it) {
        if (it->kind == WH_CALLWNDPROC) {
            Hook next = *it;
            return next.proc(code, wp, lp);
        }
    }
    return 0;
}

} // namespace platform
