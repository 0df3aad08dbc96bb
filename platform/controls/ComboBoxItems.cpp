#include "ComboBoxItems.h"

#include "platform/Encoding.h"

namespace platform::controls {

namespace {

// Folds one character (one or two bytes) for comparison. Double-byte
// characters keep both bytes: a trail byte may look like an ASCII letter.
struct FoldedChar {
    unsigned value;
    std::size_t length;
};

FoldedChar fold_at(std::string_view text, std::size_t i) {
    std::size_t len = gbk_char_length(text, i);
    auto lead = static_cast<unsigned char>(text[i]);
    if (len == 2)
        return {(static_cast<unsigned>(lead) << 8) | static_cast<unsigned char>(text[i + 1]), 2};
    if (lead >= 'A' && lead <= 'Z')
        lead = static_cast<unsigned char>(lead - 'A' + 'a');
    return {lead, 1};
}

// Compares character by character; returns <0, 0 or >0. With `prefix_only`
// the answer is 0 when `b` ends first with everything equal so far.
int compare_folded(std::string_view a, std::string_view b, bool prefix_only) {
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        FoldedChar ca = fold_at(a, i);
        FoldedChar cb = fold_at(b, j);
        // A double-byte character sorts by its lead byte first, as byte order does.
        unsigned ka = ca.length == 2 ? ca.value : ca.value << 8;
        unsigned kb = cb.length == 2 ? cb.value : cb.value << 8;
        if (ka != kb)
            return ka < kb ? -1 : 1;
        i += ca.length;
        j += cb.length;
    }
    if (prefix_only)
        return j == b.size() ? 0 : -1;
    if (i == a.size() && j == b.size())
        return 0;
    return i == a.size() ? -1 : 1;
}

} // namespace

int compare_gbk_no_case(std::string_view a, std::string_view b) {
    return compare_folded(a, b, false);
}

bool starts_with_gbk_no_case(std::string_view text, std::string_view prefix) {
    return compare_folded(text, prefix, true) == 0;
}

int ComboBoxItems::add(std::string_view text, bool sorted) {
    if (!sorted) {
        m_items.push_back({std::string(text), 0});
        return count() - 1;
    }
    // Equal texts keep the order they were added in.
    std::size_t lo = 0, hi = m_items.size();
    while (lo < hi) {
        std::size_t mid = (lo + hi) / 2;
        if (compare_gbk_no_case(m_items[mid].text, text) <= 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    m_items.insert(m_items.begin() + static_cast<std::ptrdiff_t>(lo), {std::string(text), 0});
    return static_cast<int>(lo);
}

int ComboBoxItems::insert(int index, std::string_view text) {
    if (index == -1)
        index = count();
    if (index < 0 || index > count())
        return -1;
    m_items.insert(m_items.begin() + index, {std::string(text), 0});
    return index;
}

bool ComboBoxItems::erase(int index) {
    if (!is_valid(index))
        return false;
    m_items.erase(m_items.begin() + index);
    return true;
}

template <typename Match> int ComboBoxItems::find(int start, Match match) const {
    int n = count();
    if (n == 0)
        return -1;
    // A start outside the items searches from the first one, as the
    // platform's lists do.
    int first = (start < 0 || start >= n) ? 0 : start + 1;
    for (int k = 0; k < n; ++k) {
        int i = (first + k) % n;
        if (match(m_items[static_cast<std::size_t>(i)].text))
            return i;
    }
    return -1;
}

int ComboBoxItems::find_prefix(int start, std::string_view text) const {
    return find(start,
                [&](const std::string& item) { return starts_with_gbk_no_case(item, text); });
}

int ComboBoxItems::find_exact(int start, std::string_view text) const {
    return find(start,
                [&](const std::string& item) { return compare_gbk_no_case(item, text) == 0; });
}

} // namespace platform::controls
