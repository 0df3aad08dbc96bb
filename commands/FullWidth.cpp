#include "FullWidth.h"

namespace commands {

std::string NormalizeFullWidth(std::string_view text, DropSpaces drop_spaces) {
    std::string out;
    out.reserve(text.size());
    bool drop = drop_spaces == DropSpaces::Yes;
    auto emit = [&](char c) {
        if (c == ' ' && drop)
            return;
        out += c;
    };

    std::size_t i = 0;
    while (i < text.size()) {
        auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            emit(text[i]);
            ++i;
            continue;
        }
        if (i + 1 >= text.size())
            break;
        auto trail = static_cast<unsigned char>(text[i + 1]);
        if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE)
            emit(static_cast<char>(trail - 0x80));
        else if (lead == 0xA1 && trail == 0xA1)
            emit(' ');
        else if (lead == 0xA1 && trail == 0xAB)
            emit('~');
        else if (lead == 0xA1 && (trail == 0xEE || trail == 0xEF))
            emit('*');
        else
            out.append(text.substr(i, 2));
        i += 2;
    }
    return out;
}

} // namespace commands
