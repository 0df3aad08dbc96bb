#include "TickCount.h"

#include <atomic>
#include <ctime>

namespace platform {
namespace {
std::atomic<std::uint32_t> g_offset{0};
}

std::uint32_t get_tick_count() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    auto ms = static_cast<std::uint64_t>(ts.tv_sec) * 1000u +
              static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u;
    return static_cast<std::uint32_t>(ms) + g_offset.load(std::memory_order_relaxed);
}

void set_tick_count_offset(std::uint32_t offset) {
    g_offset.store(offset, std::memory_order_relaxed);
}

} // namespace platform
