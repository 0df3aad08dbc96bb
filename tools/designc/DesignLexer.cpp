#include "DesignLexer.h"

#include <platform/Encoding.h>
#include <units/framework/IntegerText.h>

#include <charconv>
#include <climits>
#include <type_traits>

namespace designc {

namespace {

// Reads one quoted text starting at text[pos] == '"'. The UTF-8 runs are
// turned into GBK; \xHH escapes give raw bytes.
bool read_quoted(std::string_view text, std::size_t& pos, std::string& out, std::string& error) {
    std::string run;
    auto flush = [&] {
        if (run.find('\0') != std::string::npos) {
            error = "a text holds no zero byte";
            return false;
        }
        if (!to_gbk(run, out)) {
            error = "text \"" + run + "\" is not UTF-8 that GBK can hold";
            return false;
        }
        run.clear();
        return true;
    };
    for (++pos; pos < text.size(); ++pos) {
        char c = text[pos];
        if (c == '"') {
            ++pos;
            return flush();
        }
        if (c != '\\') {
            run += c;
            continue;
        }
        if (++pos >= text.size())
            break;
        switch (text[pos]) {
        case 'n':
            run += '\n';
            break;
        case 'r':
            run += '\r';
            break;
        case 't':
            run += '\t';
            break;
        case '"':
            run += '"';
            break;
        case '\\':
            run += '\\';
            break;
        case 'x': {
            unsigned value = 0;
            auto digits = text.substr(pos + 1, 2);
            auto [end, ec] =
                std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
            if (ec != std::errc() || end != digits.data() + 2 || value == 0) {
                error = "\\x needs two hexadecimal digits that are not 00";
                return false;
            }
            if (!flush())
                return false;
            out += static_cast<char>(value);
            pos += 2;
            break;
        }
        default:
            error = std::string("unknown escape \\") + text[pos];
            return false;
        }
    }
    error = "text without its closing quote";
    return false;
}

template <typename T> std::optional<T> parse_integer(std::string_view text) {
    auto number = units::read_integer_text(text);
    if (!number)
        return std::nullopt;
    if constexpr (std::is_signed_v<T>) {
        if (number->magnitude > (number->negative ? 0x80000000ull : 0x7FFFFFFFull))
            return std::nullopt;
        return static_cast<T>(number->negative ? -static_cast<std::int64_t>(number->magnitude)
                                               : static_cast<std::int64_t>(number->magnitude));
    } else {
        if (number->negative || number->magnitude > UINT32_MAX)
            return std::nullopt;
        return static_cast<T>(number->magnitude);
    }
}

} // namespace

std::vector<LogicalLine> logical_lines(std::string_view source) {
    if (source.starts_with("\xEF\xBB\xBF"))
        source.remove_prefix(3);
    std::vector<LogicalLine> lines;
    LogicalLine pending;
    bool continuing = false;
    int number = 0;
    while (!source.empty() || continuing) {
        auto end = source.find('\n');
        std::string_view raw = source.substr(0, end);
        source = end == std::string_view::npos ? std::string_view() : source.substr(end + 1);
        ++number;
        if (!raw.empty() && raw.back() == '\r')
            raw.remove_suffix(1);

        std::string text;
        bool quoted = false;
        for (std::size_t i = 0; i < raw.size(); ++i) {
            char c = raw[i];
            if (quoted && c == '\\' && i + 1 < raw.size()) {
                text += c;
                text += raw[++i];
                continue;
            }
            if (c == '"')
                quoted = !quoted;
            if (c == '#' && !quoted)
                break;
            text += c;
        }
        while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
            text.pop_back();
        bool continues = !quoted && !text.empty() && text.back() == '\\';
        if (continues)
            text.pop_back();

        if (!continuing)
            pending = {number, {}};
        pending.text += text;
        if (continues && !source.empty()) {
            pending.text += ' ';
            continuing = true;
            continue;
        }
        continuing = false;
        pending.continued_past_end = continues;
        lines.push_back(std::move(pending));
    }
    return lines;
}

bool is_space(char c) {
    return c == ' ' || c == '\t' || c == ',';
}

std::string_view trim(std::string_view text) {
    while (!text.empty() && is_space(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && is_space(text.back()))
        text.remove_suffix(1);
    return text;
}

bool to_gbk(std::string_view utf8, std::string& gbk) {
    std::string converted;
    if (utf8.find('\0') != std::string_view::npos)
        return false;
    if (!platform::utf8_to_gbk(utf8, converted, platform::InvalidBytes::Fail))
        return false;
    gbk += converted;
    return true;
}

bool tokenize(std::string_view text, std::vector<Token>& tokens, std::string& error) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        char c = text[pos];
        if (is_space(c)) {
            ++pos;
        } else if (c == '"') {
            Token token{Token::Kind::Text, {}};
            if (!read_quoted(text, pos, token.text, error))
                return false;
            tokens.push_back(std::move(token));
        } else if (c == '=' || c == '(' || c == ')' || c == '{' || c == '}') {
            tokens.push_back({Token::Kind::Symbol, std::string(1, c)});
            ++pos;
        } else {
            std::size_t start = pos;
            while (pos < text.size() && !is_space(text[pos]) && text[pos] != '"' &&
                   std::string_view("=(){}").find(text[pos]) == std::string_view::npos)
                ++pos;
            tokens.push_back({Token::Kind::Word, std::string(text.substr(start, pos - start))});
        }
    }
    return true;
}

std::optional<std::int32_t> parse_int32(std::string_view text) {
    return parse_integer<std::int32_t>(text);
}

std::optional<std::uint32_t> parse_uint32(std::string_view text) {
    return parse_integer<std::uint32_t>(text);
}

std::optional<double> parse_float(std::string_view text) {
    double value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

} // namespace designc
