// What an edit box tells an assistive client, and the edits a client makes
// through it: they go in as typing does (a replaced selection), so the
// parent hears EN_UPDATE and EN_CHANGE as it would from the keyboard.

#include "EditState.h"
#include <platform/Encoding.h>
#include <platform/access/AccessEvents.h>
#include <platform/access/TextUnits.h>

#include <algorithm>
#include <utility>

namespace platform::controls {

namespace {

using namespace platform::access;

std::string shown_text(const EditState& st) {
    if (is_password(st))
        return std::string(static_cast<std::size_t>(gbk_char_count(st.text.text())), '*');
    return gbk_to_utf8(st.text.text());
}

void describe(EditState& st, Node& node) {
    HWND label = nullptr;
    std::string before = preceding_label_text(st.hwnd, &label);
    // The window text is the content, never the name. A combo box's edit
    // field goes by the combo box's name.
    node.name = before;
    node.labelled_by = label;
    if (HWND up = get_parent(st.hwnd); before.empty() && up && get_class_name(up) == WC_COMBOBOX)
        node.name = access::describe({up, 0}).name;
    node.role = Role::Text;
    node.states |= Focusable | (is_multiline(st) ? MultiLine : SingleLine);
    if (!is_read_only(st))
        node.states |= Editable;
    node.has_text = true;
    node.editable_text = !is_read_only(st);
}

// What a client has seen is where the changes it hears of start from.
void take_baseline(EditState& st) {
    if (!listening() || st.reported_valid)
        return;
    st.reported_valid = true;
    st.reported_text = st.text.text();
    st.reported_caret = st.text.caret();
}

void read_text(EditState& st, TextState& out) {
    take_baseline(st);
    const std::string& gbk = st.text.text();
    out.text = shown_text(st);
    out.caret = gbk_char_of_byte(gbk, st.text.caret());
    out.selection_start = gbk_char_of_byte(gbk, st.text.selection_start());
    out.selection_end = gbk_char_of_byte(gbk, st.text.selection_end());
}

bool character_rect(EditState& st, int offset, Rect& out) {
    const std::string& gbk = st.text.text();
    if (offset >= gbk_char_count(gbk))
        return false;
    std::size_t from = gbk_byte_of_char(gbk, offset);
    std::size_t to = st.text.next(from);
    Point a = caret_point(st, from);
    Point b = caret_point(st, to);
    int height = current_layout(st).line_height();
    // A character at the end of a wrapped line: its right edge is on the
    // line it starts, not at the start of the next.
    int right = b.y == a.y && b.x > a.x ? b.x : a.x + std::max(1, height / 2);
    Point origin{0, 0};
    client_to_screen(st.hwnd, origin);
    out = Rect{a.x, a.y, right, a.y + height}.offset(origin.x, origin.y);
    return true;
}

bool replace(HWND hwnd, EditState& st, int start, int end, std::string_view utf8) {
    if (is_read_only(st))
        return false;
    const std::string& gbk = st.text.text();
    int count = gbk_char_count(gbk);
    if (start > count)
        return false;
    end = std::min(end, count);
    auto from = static_cast<LPARAM>(gbk_byte_of_char(gbk, start));
    auto to = static_cast<LPARAM>(gbk_byte_of_char(gbk, end));
    send_message(hwnd, EM_SETSEL, static_cast<WPARAM>(from), to);
    if (!edit_state(hwnd))
        return true;
    std::string insert = utf8_to_gbk(utf8);
    send_message(hwnd, EM_REPLACESEL, 1, reinterpret_cast<LPARAM>(insert.c_str()));
    return true;
}

bool select(HWND hwnd, EditState& st, int start, int end) {
    const std::string& gbk = st.text.text();
    int count = gbk_char_count(gbk);
    if (start > count || end > count)
        return false;
    send_message(hwnd, EM_SETSEL, gbk_byte_of_char(gbk, start),
                 static_cast<LPARAM>(gbk_byte_of_char(gbk, end)));
    return true;
}

} // namespace

LRESULT edit_access(EditState& st, HWND hwnd, WPARAM wp, LPARAM lp) {
    Request* r = reinterpret_cast<Request*>(lp);
    if (!r || r->part != 0)
        return 0;
    switch (static_cast<Query>(wp)) {
    case Query::Describe:
        def_window_proc(hwnd, WM_GETOBJECT, wp, lp);
        if (r->node)
            describe(st, *r->node);
        return 1;
    case Query::Text:
        if (r->text) {
            read_text(st, *r->text);
            r->handled = true;
        }
        return 1;
    case Query::CharacterRect:
        r->handled = character_rect(st, r->index, r->rect);
        return 1;
    case Query::SetText:
        r->handled = replace(hwnd, st, r->start, r->end, r->insert);
        return 1;
    case Query::SetCaret:
        r->handled = select(hwnd, st, r->start, r->end);
        return 1;
    default:
        return 0;
    }
}

void edit_report_changes(EditState& st) {
    if (!listening()) {
        st.reported_valid = false;
        return;
    }
    const std::string& now = st.text.text();
    std::size_t caret = st.text.caret();
    // No client has read the text since it began to listen: nothing it
    // knows has changed.
    if (!st.reported_valid)
        return take_baseline(st);
    if (now != st.reported_text) {
        const std::string& was = st.reported_text;
        std::size_t prefix = 0;
        while (prefix < was.size() && prefix < now.size() && was[prefix] == now[prefix])
            ++prefix;
        prefix = gbk_char_start(was, prefix);
        std::size_t suffix = 0;
        while (suffix < was.size() - prefix && suffix < now.size() - prefix &&
               was[was.size() - 1 - suffix] == now[now.size() - 1 - suffix])
            ++suffix;
        // Keep whole characters: the changed span starts and ends on boundaries.
        while (suffix > 0 && gbk_char_start(now, now.size() - suffix) != now.size() - suffix)
            --suffix;
        std::string old_text = std::exchange(st.reported_text, now);
        HWND hwnd = st.hwnd;
        bool hidden = is_password(st);
        if (old_text.size() - suffix > prefix) {
            if (hidden)
                old_text = std::string(old_text.size(), '*');
            notify_text(EventKind::TextRemoved, hwnd, old_text, prefix,
                        old_text.size() - suffix - prefix);
        }
        if (!edit_state(hwnd))
            return;
        if (now.size() - suffix > prefix)
            notify_text(EventKind::TextInserted, hwnd, hidden ? std::string(now.size(), '*') : now,
                        prefix, now.size() - suffix - prefix);
        if (!edit_state(hwnd))
            return;
    }
    if (caret != st.reported_caret) {
        st.reported_caret = caret;
        notify_caret(st.hwnd, now, caret);
    }
}

} // namespace platform::controls
