#include "TickCount.h"

#include "Clock.h"

#include <atomic>

namespace platform {
namespace {
std::atomic<std::uint32_t> g_offset{0};
}

std::uint32_t get_tick_count() {
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(current_clock().now()).count();
    return static_cast<std::uint32_t>(ms) + g_offset.load(std::memory_order_relaxed);
}

void set_tick_count_offset(std::uint32_t offset) {
    g_offset.store(offset, std::memory_order_relaxed);
}

} // namespace platform
