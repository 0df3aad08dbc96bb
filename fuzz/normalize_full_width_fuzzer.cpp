// NormalizeFullWidth over arbitrary bytes: never longer than its input,
// stable when applied again, and with DropSpaces::Yes exactly the plain
// result without its spaces.

#include <commands/FullWidth.h>

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    std::string kept = commands::NormalizeFullWidth(text, commands::DropSpaces::No);
    std::string dropped = commands::NormalizeFullWidth(text, commands::DropSpaces::Yes);

    if (kept.size() > text.size())
        __builtin_trap();
    // Spaces that are characters of their own; a space byte that follows a
    // lead byte belongs to that pair and stays.
    std::string without_spaces;
    for (std::size_t i = 0; i < kept.size(); ++i) {
        if (static_cast<unsigned char>(kept[i]) >= 0x80 && i + 1 < kept.size()) {
            without_spaces.append(kept, i, 2);
            ++i;
        } else if (kept[i] != ' ') {
            without_spaces += kept[i];
        }
    }
    if (dropped != without_spaces)
        __builtin_trap();
    if (commands::NormalizeFullWidth(kept, commands::DropSpaces::No) != kept)
        __builtin_trap();
    // Every byte of 0x80 or more still starts a whole pair.
    for (std::size_t i = 0; i < kept.size(); ++i) {
        if (static_cast<unsigned char>(kept[i]) >= 0x80) {
            if (i + 1 >= kept.size())
                __builtin_trap();
            ++i;
        }
    }
    return 0;
}
