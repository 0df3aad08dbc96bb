#include "EditText.h"

#include "Controls.h"
#include "platform/Encoding.h"

namespace platform::controls {

std::string EditText::selected_text() const {
    return m_text.substr(selection_start(), selection_end() - selection_start());
}

void EditText::select(std::size_t anchor, std::size_t caret) {
    m_anchor = snap(anchor);
    m_caret = snap(caret);
}

void EditText::move_caret(std::size_t pos, Extend extend) {
    m_caret = snap(pos);
    if (extend == Extend::No)
        m_anchor = m_caret;
}

std::size_t EditText::unit_length(std::size_t pos) const {
    if (m_multiline && m_text[pos] == '\r' && pos + 1 < m_text.size() && m_text[pos + 1] == '\n')
        return 2;
    return gbk_char_length(m_text, pos);
}

std::size_t EditText::snap(std::size_t pos) const {
    // A double-byte encoding can only be walked from the start.
    std::size_t p = 0;
    while (p < m_text.size()) {
        std::size_t len = unit_length(p);
        if (pos < p + len)
            return p;
        p += len;
    }
    return m_text.size();
}

std::size_t EditText::next(std::size_t pos) const {
    std::size_t p = snap(pos);
    return p >= m_text.size() ? m_text.size() : p + unit_length(p);
}

std::size_t EditText::previous(std::size_t pos) const {
    std::size_t p = 0;
    std::size_t last = 0;
    while (p < pos && p < m_text.size()) {
        last = p;
        p += unit_length(p);
    }
    return last;
}

bool EditText::is_blank(std::size_t pos) const {
    if (pos >= m_text.size() || (unit_length(pos) == 2 && m_text[pos] != '\r'))
        return false;
    char c = m_text[pos];
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::vector<std::size_t> EditText::starts_before(std::size_t pos) const {
    std::vector<std::size_t> starts;
    for (std::size_t p = 0; p < pos && p < m_text.size(); p += unit_length(p))
        starts.push_back(p);
    return starts;
}

std::size_t EditText::word_left(std::size_t pos) const {
    std::size_t p = snap(pos);
    std::vector<std::size_t> starts = starts_before(p);
    std::size_t i = starts.size();
    while (i > 0 && is_blank(starts[i - 1]))
        --i;
    while (i > 0 && !is_blank(starts[i - 1]))
        --i;
    return i < starts.size() ? starts[i] : p;
}

std::size_t EditText::word_right(std::size_t pos) const {
    std::size_t p = snap(pos);
    while (p < m_text.size() && !is_blank(p))
        p = next(p);
    while (p < m_text.size() && is_blank(p))
        p = next(p);
    return p;
}

std::pair<std::size_t, std::size_t> EditText::word_around(std::size_t pos) const {
    if (m_text.empty())
        return {0, 0};
    std::size_t p = snap(pos);
    if (p == m_text.size())
        p = previous(p);
    bool blank = is_blank(p);
    std::vector<std::size_t> starts = starts_before(p);
    std::size_t i = starts.size();
    while (i > 0 && is_blank(starts[i - 1]) == blank)
        --i;
    std::size_t start = i < starts.size() ? starts[i] : p;
    std::size_t end = p;
    while (end < m_text.size() && is_blank(end) == blank)
        end = next(end);
    if (!blank) {
        // The blanks after a word go with it, up to the end of the line.
        while (end < m_text.size() && (m_text[end] == ' ' || m_text[end] == '\t'))
            ++end;
    }
    return {start, end};
}

std::vector<std::size_t> EditText::line_starts() const {
    std::vector<std::size_t> starts{0};
    if (!m_multiline)
        return starts;
    for (std::size_t p = 0; p < m_text.size();) {
        std::size_t len = unit_length(p);
        p += len;
        if (len == 2 && m_text[p - 2] == '\r' && m_text[p - 1] == '\n')
            starts.push_back(p);
    }
    return starts;
}

std::size_t EditText::line_end(std::size_t line_start) const {
    std::size_t p = line_start;
    while (p < m_text.size()) {
        std::size_t len = unit_length(p);
        if (m_multiline && len == 2 && m_text[p] == '\r' && m_text[p + 1] == '\n')
            return p;
        p += len;
    }
    return m_text.size();
}

std::size_t EditText::fit(std::string_view insert, std::size_t room) const {
    std::size_t p = 0;
    while (p < insert.size()) {
        std::size_t len = gbk_char_length(insert, p);
        if (m_multiline && insert[p] == '\r' && p + 1 < insert.size() && insert[p + 1] == '\n')
            len = 2;
        if (p + len > room)
            break;
        p += len;
    }
    return p;
}

bool EditText::would_exceed_limit(std::string_view insert) const {
    std::size_t kept = m_text.size() - (selection_end() - selection_start());
    return kept + sanitize(insert).size() > m_limit;
}

ReplaceResult EditText::replace_selection(std::string_view insert, Undoable undoable, Limit limit) {
    ReplaceResult result;
    std::string clean = sanitize(insert);
    std::size_t start = selection_start();
    std::size_t end = selection_end();
    if (limit == Limit::Honor) {
        std::size_t kept = m_text.size() - (end - start);
        std::size_t room = m_limit > kept ? m_limit - kept : 0;
        if (clean.size() > room) {
            result.truncated = true;
            clean.resize(fit(clean, room));
        }
    }
    if (start == end && clean.empty())
        return result;
    std::string removed = m_text.substr(start, end - start);
    m_text.replace(start, end - start, clean);
    if (undoable == Undoable::Yes)
        record_undo(start, removed, clean.size());
    else
        empty_undo();
    m_anchor = m_caret = start + clean.size();
    m_modified = true;
    result.changed = true;
    return result;
}

void EditText::record_undo(std::size_t start, std::string_view removed, std::size_t inserted) {
    UndoStep& u = m_undo;
    if (u.active) {
        // Typing on where the last step's insertion ends extends that step,
        // so one undo takes back a whole typed run.
        if (removed.empty() && start == u.position + u.inserted) {
            u.inserted += inserted;
            return;
        }
        // So do Backspace and Delete that continue a deletion.
        if (inserted == 0 && u.inserted == 0) {
            if (start + removed.size() == u.position) {
                u.removed.insert(0, removed);
                u.position = start;
                return;
            }
            if (start == u.position) {
                u.removed += removed;
                return;
            }
        }
    }
    u = {true, start, inserted, std::string(removed)};
}

void EditText::set_text(std::string_view text) {
    m_text = sanitize(text);
    m_anchor = m_caret = 0;
    empty_undo();
    m_modified = false;
}

ReplaceResult EditText::erase_previous() {
    if (!has_selection()) {
        if (m_caret == 0)
            return {};
        m_anchor = previous(m_caret);
    }
    return replace_selection({}, Undoable::Yes, Limit::Ignore);
}

ReplaceResult EditText::erase_next() {
    if (!has_selection()) {
        if (m_caret >= m_text.size())
            return {};
        m_anchor = m_caret;
        m_caret = next(m_caret);
    }
    return replace_selection({}, Undoable::Yes, Limit::Ignore);
}

bool EditText::undo() {
    if (!m_undo.active)
        return false;
    UndoStep step = m_undo;
    std::string taken = m_text.substr(step.position, step.inserted);
    m_text.replace(step.position, step.inserted, step.removed);
    m_undo = {true, step.position, step.removed.size(), taken};
    m_anchor = step.position;
    m_caret = step.position + step.removed.size();
    m_modified = true;
    return true;
}

void EditText::set_limit(std::size_t limit) {
    if (limit == 0)
        limit = m_multiline ? EDIT_DEFAULT_LIMIT_MULTI : EDIT_DEFAULT_LIMIT_SINGLE;
    m_limit = limit;
}

std::string EditText::sanitize(std::string_view raw) {
    raw = raw.substr(0, raw.find('\0'));
    std::string out;
    out.reserve(raw.size());
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (!is_gbk_lead_byte(static_cast<unsigned char>(raw[i]))) {
            out += raw[i];
        } else if (i + 1 < raw.size()) {
            out.append(raw.substr(i, 2));
            ++i;
        } else {
            out += '?';
        }
    }
    return out;
}

void EditText::convert_case(std::string& gbk, LetterCase letter_case) {
    if (letter_case == LetterCase::AsTyped)
        return;
    for (std::size_t i = 0; i < gbk.size(); ++i) {
        char& c = gbk[i];
        if (is_gbk_lead_byte(static_cast<unsigned char>(c))) {
            ++i; // the trail byte may look like an ASCII letter
            continue;
        }
        if (letter_case == LetterCase::Upper && c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        else if (letter_case == LetterCase::Lower && c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
}

} // namespace platform::controls
