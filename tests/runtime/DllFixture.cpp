// Exports for the DLL command tests.

#include <cstdint>

extern "C" {

__attribute__((visibility("default"))) std::int64_t
armctl_fixture_sum(std::int64_t a, std::int64_t b, std::int64_t c, std::int64_t d, std::int64_t e,
                   std::int64_t f, std::int64_t g, std::int64_t h) {
    return a + 10 * b + 100 * c + 1000 * d + 10000 * e + 100000 * f + 1000000 * g + 10000000 * h;
}

__attribute__((visibility("default"))) std::int64_t armctl_fixture_negate(std::int64_t a) {
    return -a;
}
}
