#pragma once

// Character offsets over the texts an assistive client reads: counting GBK
// characters against bytes, cutting UTF-8 by characters, and the bounds of
// the character, word or line at an offset.

#include <cstddef>
#include <string>
#include <string_view>

namespace platform::access {

int gbk_char_count(std::string_view gbk);
// The byte where character `index` starts (the size for an index past the end).
std::size_t gbk_byte_of_char(std::string_view gbk, int index);
int gbk_char_of_byte(std::string_view gbk, std::size_t byte);

int utf8_length(std::string_view utf8);
// Characters [start, end) of a UTF-8 text; end < 0 means to the end.
std::string utf8_slice(std::string_view utf8, int start, int end);

enum class TextUnit { Character, Word, Line };
struct TextSpan {
    int start = 0, end = 0;
};
// The unit that holds character `offset`: a word runs from its first letter
// to the next word's (the spaces after it belong to it), a line includes its
// line break. Empty at the text's end; {-1, -1} for an offset out of range.
TextSpan text_unit_at(std::string_view utf8, int offset, TextUnit unit);

} // namespace platform::access
