#include "AccessEvents.h"

#include "TextUnits.h"
#include <platform/Encoding.h>

#include <algorithm>

namespace platform::access {

namespace detail {

Listener* g_listener = nullptr;

void deliver(const Event& event) {
    if (g_listener)
        g_listener->on_access_event(event);
}

} // namespace detail

void set_listener(Listener* listener) {
    detail::g_listener = listener;
}

void notify_text(EventKind kind, HWND hwnd, std::string_view gbk_text, std::size_t byte_offset,
                 std::size_t byte_length) {
    if (!listening() || byte_length == 0)
        return;
    Event e{kind, {hwnd, 0}};
    e.offset = gbk_char_of_byte(gbk_text, byte_offset);
    std::string_view piece = gbk_text.substr(std::min(byte_offset, gbk_text.size()), byte_length);
    e.text = gbk_to_utf8(piece);
    e.length = utf8_length(e.text);
    detail::deliver(e);
}

void notify_caret(HWND hwnd, std::string_view gbk_text, std::size_t byte_offset) {
    if (!listening())
        return;
    Event e{EventKind::Caret, {hwnd, 0}};
    e.offset = gbk_char_of_byte(gbk_text, byte_offset);
    detail::deliver(e);
}

} // namespace platform::access
