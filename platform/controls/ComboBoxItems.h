#pragma once

// The items of a combo box: GBK texts with one data value each, shared by
// the combo box and its list window.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform::controls {

struct ComboItem {
    std::string text; // GBK
    std::uintptr_t data = 0;
};

class ComboBoxItems {
  public:
    int count() const { return static_cast<int>(m_items.size()); }
    bool is_valid(int index) const { return index >= 0 && index < count(); }
    // nullptr for an index out of range.
    const ComboItem* at(int index) const {
        return is_valid(index) ? &m_items[static_cast<std::size_t>(index)] : nullptr;
    }
    ComboItem* at(int index) {
        return is_valid(index) ? &m_items[static_cast<std::size_t>(index)] : nullptr;
    }

    // Appends, or with `sorted` inserts after the last item that does not
    // sort after the text. Returns the new item's index.
    int add(std::string_view text, bool sorted);
    // -1 appends; an index past the end fails with -1.
    int insert(int index, std::string_view text);
    bool erase(int index);
    void clear() { m_items.clear(); }

    // The first item after `start` (-1: from the first item), wrapping
    // round to the items before it, whose text begins with / equals `text`
    // without regard to ASCII case. -1 when there is none.
    int find_prefix(int start, std::string_view text) const;
    int find_exact(int start, std::string_view text) const;

  private:
    template <typename Match> int find(int start, Match match) const;

    std::vector<ComboItem> m_items;
};

// Compares two GBK texts byte by byte, folding ASCII letters to lower case.
// The trail byte of a double-byte character is never folded, even when it
// falls in the ASCII letter range.
int compare_gbk_no_case(std::string_view a, std::string_view b);
// Whether `text` begins with `prefix`, under the same folding.
bool starts_with_gbk_no_case(std::string_view text, std::string_view prefix);

} // namespace platform::controls
