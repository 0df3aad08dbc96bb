#pragma once

// What changes an assistive client follows: focus, values, texts, names,
// states and children. The windows report a change through these calls;
// they cost one test of a pointer while no client listens (no listener is
// installed until a display's bridge is asked for its first object).

#include "Access.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace platform::access {

enum class EventKind {
    Focus,        // the object took the focus (object null: nothing has it)
    Value,        // its value changed
    Name,         // its name changed
    State,        // `state` turned `on` or off
    TextInserted, // `length` characters at `offset`: `text`
    TextRemoved,  // the same, removed
    Caret,        // the caret moved to `offset`
    ChildAdded,   // `child` came under `object`
    ChildRemoved, // `child` left `object`
    Destroyed,    // the window is going: its objects are defunct; `child` its parent
    Selection,    // which of its children are selected changed
    Shown,        // a dialog or alert was shown
};

struct Event {
    Event() = default;
    Event(EventKind k, Object o) : kind(k), object(o) {}

    EventKind kind = EventKind::Name;
    Object object;
    Object child;
    std::uint32_t state = 0;
    bool on = false;
    int offset = 0;
    int length = 0;
    std::string text;
};

class Listener {
  public:
    virtual ~Listener() = default;
    virtual void on_access_event(const Event& event) = 0;
};

namespace detail {
extern Listener* g_listener;
void deliver(const Event& event);
} // namespace detail

// Installs (or with null removes) the one listener; user-interface thread.
void set_listener(Listener* listener);
inline bool listening() {
    return detail::g_listener != nullptr;
}

inline void notify(EventKind kind, HWND hwnd, int part = 0) {
    if (listening())
        detail::deliver({kind, {hwnd, part}});
}
inline void notify_state(HWND hwnd, std::uint32_t state, bool on, int part = 0) {
    if (listening()) {
        Event e{EventKind::State, {hwnd, part}};
        e.state = state;
        e.on = on;
        detail::deliver(e);
    }
}
inline void notify_child(EventKind kind, HWND parent, HWND child) {
    if (listening()) {
        Event e{kind, {parent, 0}};
        e.child = {child, 0};
        detail::deliver(e);
    }
}
// Text changes in GBK byte offsets of `before` (the text as it was for a
// removal, as it is now for an insertion); converted to characters only
// while someone listens.
void notify_text(EventKind kind, HWND hwnd, std::string_view gbk_text, std::size_t byte_offset,
                 std::size_t byte_length);
void notify_caret(HWND hwnd, std::string_view gbk_text, std::size_t byte_offset);

} // namespace platform::access
