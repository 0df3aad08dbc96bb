#include "RuntimeHeap.h"

#include <runtime/services/ErrorReport.h>
#include <runtime/windows/RuntimeMessages.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace runtime {

namespace {

// Sits in front of every heap block; 16 bytes keep the block 16-byte aligned.
struct BlockHeader {
    std::uint64_t size;
    std::uint64_t magic;
};
static_assert(sizeof(BlockHeader) == 16);

constexpr std::uint64_t live_magic = 0x4B4F4C4250414548ull; // "HEAPBLOK"
constexpr std::uint64_t dead_magic = 0x4441454450414548ull;

BlockHeader* header_of(const void* p) {
    return reinterpret_cast<BlockHeader*>(
        const_cast<std::byte*>(static_cast<const std::byte*>(p) - sizeof(BlockHeader)));
}

void* block_of(BlockHeader* header) {
    return reinterpret_cast<std::byte*>(header) + sizeof(BlockHeader);
}

[[noreturn]] void fail_allocation(std::size_t byte_count) {
    report_runtime_error(messages::allocation_failed(byte_count), 0);
}

constexpr std::size_t largest_request = std::numeric_limits<std::size_t>::max() / 2;

} // namespace

RuntimeHeap& RuntimeHeap::the() {
    static RuntimeHeap heap;
    return heap;
}

void* RuntimeHeap::allocate(std::size_t byte_count, OnFailure on_failure) {
    void* raw =
        byte_count <= largest_request ? std::malloc(sizeof(BlockHeader) + byte_count) : nullptr;
    if (!raw) {
        if (on_failure == OnFailure::ReturnNull)
            return nullptr;
        fail_allocation(byte_count);
    }
    auto* header = static_cast<BlockHeader*>(raw);
    header->size = byte_count;
    header->magic = live_magic;
    m_live_blocks.fetch_add(1, std::memory_order_relaxed);
    return block_of(header);
}

void* RuntimeHeap::reallocate(void* p, std::size_t byte_count) {
    if (!p)
        return allocate(byte_count);
    if (auto* range = find_static_range(p)) {
        void* copy = allocate(byte_count);
        auto available = static_cast<std::size_t>(range->end - static_cast<const std::byte*>(p));
        std::memcpy(copy, p, std::min(byte_count, available));
        return copy;
    }
    BlockHeader* header = header_of(p);
    if (header->magic != live_magic)
        return allocate(byte_count);
    void* raw = byte_count <= largest_request
                    ? std::realloc(header, sizeof(BlockHeader) + byte_count)
                    : nullptr;
    if (!raw)
        fail_allocation(byte_count);
    header = static_cast<BlockHeader*>(raw);
    header->size = byte_count;
    return block_of(header);
}

void RuntimeHeap::release(void* p) {
    if (!p || find_static_range(p))
        return;
    BlockHeader* header = header_of(p);
    // A pointer whose header is not that of a live block (one released
    // before, or one from another allocator) is left alone rather than
    // handed to free() and corrupting the process heap.
    if (header->magic != live_magic)
        return;
    header->magic = dead_magic;
    m_live_blocks.fetch_sub(1, std::memory_order_relaxed);
    std::free(header);
}

void RuntimeHeap::add_static_range(const void* start, std::size_t length) {
    auto* begin = static_cast<const std::byte*>(start);
    m_static_ranges.push_back({begin, begin + length});
}

void RuntimeHeap::remove_static_range(const void* start) {
    std::erase_if(m_static_ranges,
                  [start](const StaticRange& range) { return range.start == start; });
}

bool RuntimeHeap::is_static(const void* p) const {
    return find_static_range(p) != nullptr;
}

std::size_t RuntimeHeap::readable_size(const void* p) const {
    if (!p)
        return 0;
    if (auto* range = find_static_range(p))
        return static_cast<std::size_t>(range->end - static_cast<const std::byte*>(p));
    const BlockHeader* header = header_of(p);
    if (header->magic != live_magic)
        return 0;
    return header->size;
}

const StaticRange* RuntimeHeap::find_static_range(const void* p) const {
    for (auto& range : m_static_ranges) {
        if (range.contains(p))
            return &range;
    }
    return nullptr;
}

} // namespace runtime
