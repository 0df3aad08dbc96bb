#pragma once

// The lexical side of design sources: logical lines (comments removed,
// continued lines joined), tokens, quoted texts made GBK, and numbers.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace designc {

struct LogicalLine {
    int line = 0; // the first physical line
    std::string text;
    bool continued_past_end = false; // its last line ends in \ and no line follows
};

// Splits a source into lines without comments, joining continued lines.
std::vector<LogicalLine> logical_lines(std::string_view source);

// Blanks and commas separate words.
bool is_space(char c);
std::string_view trim(std::string_view text);

// UTF-8 source text appended as GBK; false when it is not UTF-8, holds a
// zero byte, or GBK cannot hold it.
bool to_gbk(std::string_view utf8, std::string& gbk);

struct Token {
    enum class Kind { Word, Text, Symbol };
    Kind kind = Kind::Word;
    std::string text; // a Text token is GBK
};

// Words, quoted texts and the symbols = ( ) { }; false with a reason for a
// text that cannot be read.
bool tokenize(std::string_view text, std::vector<Token>& tokens, std::string& error);

// Decimal or 0x hexadecimal, within the range of the type (std::int32_t or
// std::uint32_t).
std::optional<std::int32_t> parse_int32(std::string_view text);
std::optional<std::uint32_t> parse_uint32(std::string_view text);
std::optional<double> parse_float(std::string_view text);

} // namespace designc
