#pragma once

// The runtime's heap: every text, byte set and array that crosses the call
// interface is a block of it. Blocks inside a registered StaticRange (the
// program's constant area) are never released; reallocating one copies it.
//
// Each heap block carries a small header with its size, so that commands can
// learn how many bytes a block really holds and never read past it when a
// byte set or array states more than its block has.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace runtime {

struct StaticRange {
    const std::byte* start = nullptr;
    const std::byte* end = nullptr;

    bool contains(const void* p) const {
        auto* b = static_cast<const std::byte*>(p);
        return b >= start && b < end;
    }
};

class RuntimeHeap {
  public:
    enum class OnFailure {
        Fatal, // report "分配 %d 字节内存失败!" and end the process
        ReturnNull,
    };

    // The process-wide heap every command and service uses.
    static RuntimeHeap& the();

    void* allocate(std::size_t byte_count, OnFailure on_failure = OnFailure::Fatal);
    void* reallocate(void* p, std::size_t byte_count);
    void release(void* p);

    void add_static_range(const void* start, std::size_t length);
    void remove_static_range(const void* start);
    bool is_static(const void* p) const;

    // How many bytes can be read from p: to the end of its static range, the
    // size of its heap block, or 0 for null. p must be the start of a heap
    // block or lie inside a static range.
    std::size_t readable_size(const void* p) const;

    // Number of heap blocks currently allocated (for leak checks in tests).
    std::size_t live_blocks() const { return m_live_blocks.load(std::memory_order_relaxed); }

  private:
    const StaticRange* find_static_range(const void* p) const;

    std::vector<StaticRange> m_static_ranges;
    // Reader threads may allocate too; the process heap serialises the rest.
    std::atomic<std::size_t> m_live_blocks = 0;
};

} // namespace runtime
