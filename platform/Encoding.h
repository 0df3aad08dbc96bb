#pragma once

// Conversion between the system's GBK texts and the UTF-8 that GTK, Pango and
// the file system want. Every text of the runtime and the program is GBK; the
// platform converts only at its edge.

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// How a conversion treats bytes that are not valid in the source encoding.
enum class InvalidBytes {
    Fail,    // the conversion fails (std::nullopt / false)
    Replace, // each bad byte becomes U+FFFD (to UTF-8) or '?' (to GBK)
};

// GBK to UTF-8. Valid GBK converts losslessly. With InvalidBytes::Replace an
// invalid byte, or a lead byte cut off at the end, becomes U+FFFD; with
// InvalidBytes::Fail the result is false and out is left empty.
bool gbk_to_utf8(std::string_view gbk, std::string& out, InvalidBytes mode = InvalidBytes::Replace);
std::string gbk_to_utf8(std::string_view gbk);

// UTF-8 to GBK. Characters GBK cannot hold become '?' with Replace, or fail.
bool utf8_to_gbk(std::string_view utf8, std::string& out,
                 InvalidBytes mode = InvalidBytes::Replace);
std::string utf8_to_gbk(std::string_view utf8);

// GBK double-byte rules: a byte of 0x81..0xFE starts a two-byte character.
constexpr bool is_gbk_lead_byte(unsigned char c) {
    return c >= 0x81 && c <= 0xFE;
}

// Length of the character starting at text[i] (1 or 2); a lead byte at the
// very end counts as 1 so callers never read past the text.
inline std::size_t gbk_char_length(std::string_view text, std::size_t i) {
    if (i + 1 < text.size() && is_gbk_lead_byte(static_cast<unsigned char>(text[i])))
        return 2;
    return 1;
}

// The start of the character that contains byte `i`, scanning from the text's
// start (the only safe way in a double-byte encoding).
std::size_t gbk_char_start(std::string_view text, std::size_t i);

} // namespace platform
