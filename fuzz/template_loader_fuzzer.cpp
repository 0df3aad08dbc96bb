// The window template loader over arbitrary bytes: it must never read past
// them, and whatever it accepts must write back to the same bytes.

#include <runtime/image/TemplateLoader.h>

#include <cstring>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // An exact-size copy so that any read past the end is caught.
    auto copy = std::make_unique<std::uint8_t[]>(size);
    if (size)
        std::memcpy(copy.get(), data, size);
    static const char code[16] = {};
    auto loaded = runtime::load_window_templates({copy.get(), size}, code);
    if (loaded.is_error())
        return 0;
    auto written = runtime::write_window_templates(loaded.value());
    // Empty data loads no window and writes an empty window list.
    if (size == 0)
        return 0;
    auto reloaded = runtime::load_window_templates(written, code);
    if (reloaded.is_error() || runtime::write_window_templates(reloaded.value()) != written)
        __builtin_trap();
    return 0;
}
