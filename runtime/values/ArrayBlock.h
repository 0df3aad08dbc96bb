#pragma once

// Byte sets, texts and array blocks as they cross the call interface.
//
// Array block: a 32-bit dimension count d, d 32-bit dimension sizes, then the
// elements in row order (texts and byte sets as pointer-sized addresses).
// Byte set: {32-bit 1, 32-bit byte count n, n bytes}, an array of bytes with
// one dimension; null is the empty byte set. Text: zero-terminated GBK bytes;
// null is the empty text.
//
// Readers never go past the block that holds the data: a stated length that
// exceeds the block is cut to what the block has (RuntimeHeap::readable_size).

#include "TypedValue.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace runtime {

inline constexpr std::size_t ByteSetHeaderSize = 8;

// The bytes of a byte set block (empty for null).
std::span<const std::uint8_t> byte_set_bytes(const void* block);

// The elements of an array block of elements of the given size, all
// dimensions taken in row order; only whole elements the block holds.
struct ArrayElements {
    const std::uint8_t* data = nullptr;
    std::size_t count = 0;
};
ArrayElements array_elements(const void* block, std::size_t element_size);

// The text of a text value; null reads as empty.
inline std::string_view text_of(const char* text) {
    return text ? std::string_view(text) : std::string_view();
}

// Fresh heap blocks. Empty texts and byte sets are null, never a block.
char* make_text(std::string_view text);
void* make_byte_set(std::span<const std::uint8_t> bytes);

// A one-dimensional array block {1, count, elements}, elements zeroed.
void* make_array(std::uint32_t element_count, std::size_t element_size);
std::uint8_t* array_data(void* block);

// A one-dimensional text array owning the given texts (null elements are empty texts).
void* make_text_array(const std::vector<char*>& texts);

// Releases an array value; for text and byte set arrays (the array flag
// ignored) each element is released first.
void release_array(std::uint32_t element_type_code, void* block);

} // namespace runtime
