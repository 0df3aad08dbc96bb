#pragma once

// Helpers shared by the tests of every layer.

#include <platform/Encoding.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace test_support {

// The GBK bytes of a UTF-8 source literal.
inline std::string gbk(std::string_view utf8) {
    return platform::utf8_to_gbk(utf8);
}

inline std::string hex(std::string_view bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out.empty() ? "-" : out;
}

inline std::vector<std::uint8_t> bytes_of(std::string_view text) {
    return {text.begin(), text.end()};
}

} // namespace test_support
