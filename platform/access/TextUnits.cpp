#include "TextUnits.h"

#include <platform/Encoding.h>

#include <cstdint>
#include <vector>

namespace platform::access {

namespace {

bool is_continuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

std::vector<char32_t> decode(std::string_view utf8) {
    std::vector<char32_t> out;
    for (std::size_t i = 0; i < utf8.size();) {
        auto c = static_cast<unsigned char>(utf8[i]);
        int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        char32_t cp = extra ? c & (0x3F >> extra) : c;
        std::size_t j = i + 1;
        for (; j < utf8.size() && j <= i + extra && is_continuation(utf8[j]); ++j)
            cp = (cp << 6) | (static_cast<unsigned char>(utf8[j]) & 0x3F);
        out.push_back(cp);
        i = j;
    }
    return out;
}

bool is_word_char(char32_t c) {
    if (c < 0x80)
        return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
               c == '_';
    // Letters of other scripts, ideographs included, count as word
    // characters; the full-width punctuation and spaces do not.
    return !(c >= 0x3000 && c <= 0x303F) && !(c >= 0xFF00 && c <= 0xFF0F);
}

bool is_break(char32_t c) {
    return c == '\n';
}

} // namespace

int gbk_char_count(std::string_view gbk) {
    int n = 0;
    for (std::size_t i = 0; i < gbk.size(); i += gbk_char_length(gbk, i))
        ++n;
    return n;
}

std::size_t gbk_byte_of_char(std::string_view gbk, int index) {
    std::size_t i = 0;
    for (int n = 0; n < index && i < gbk.size(); ++n)
        i += gbk_char_length(gbk, i);
    return i;
}

int gbk_char_of_byte(std::string_view gbk, std::size_t byte) {
    int n = 0;
    for (std::size_t i = 0; i < gbk.size() && i < byte; i += gbk_char_length(gbk, i))
        ++n;
    return n;
}

int utf8_length(std::string_view utf8) {
    int n = 0;
    for (char c : utf8)
        if (!is_continuation(static_cast<unsigned char>(c)))
            ++n;
    return n;
}

std::string utf8_slice(std::string_view utf8, int start, int end) {
    std::size_t from = utf8.size(), to = utf8.size();
    int n = 0;
    for (std::size_t i = 0; i <= utf8.size(); ++i) {
        if (i < utf8.size() && is_continuation(static_cast<unsigned char>(utf8[i])))
            continue;
        if (n == start)
            from = i;
        if (end >= 0 && n == end) {
            to = i;
            break;
        }
        ++n;
    }
    if (from >= to)
        return {};
    return std::string(utf8.substr(from, to - from));
}

TextSpan text_unit_at(std::string_view utf8, int offset, TextUnit unit) {
    std::vector<char32_t> text = decode(utf8);
    int size = static_cast<int>(text.size());
    if (offset < 0 || offset > size)
        return {-1, -1};
    if (offset == size)
        return {size, size};
    switch (unit) {
    case TextUnit::Character:
        return {offset, offset + 1};
    case TextUnit::Word: {
        int start = offset;
        // Inside the spaces after a word: the word they follow.
        while (start > 0 && !is_word_char(text[start]))
            --start;
        while (start > 0 && is_word_char(text[start - 1]))
            --start;
        int end = offset;
        while (end < size && is_word_char(text[end]))
            ++end;
        while (end < size && !is_word_char(text[end]))
            ++end;
        return {start, end};
    }
    case TextUnit::Line: {
        int start = offset;
        while (start > 0 && !is_break(text[start - 1]))
            --start;
        int end = offset;
        while (end < size && !is_break(text[end]))
            ++end;
        if (end < size)
            ++end;
        return {start, end};
    }
    }
    return {-1, -1};
}

} // namespace platform::access
