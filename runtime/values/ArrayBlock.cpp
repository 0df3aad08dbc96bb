#include "ArrayBlock.h"

#include "RuntimeHeap.h"

#include <cstring>
#include <limits>

namespace runtime {

namespace {

std::uint32_t read_word(const std::uint8_t* p) {
    std::uint32_t word;
    std::memcpy(&word, p, sizeof word);
    return word;
}

void write_word(std::uint8_t* p, std::uint32_t word) {
    std::memcpy(p, &word, sizeof word);
}

} // namespace

std::span<const std::uint8_t> byte_set_bytes(const void* block) {
    std::size_t readable = RuntimeHeap::the().readable_size(block);
    if (readable < ByteSetHeaderSize)
        return {};
    auto* bytes = static_cast<const std::uint8_t*>(block);
    std::size_t stated = read_word(bytes + 4);
    std::size_t held = readable - ByteSetHeaderSize;
    return {bytes + ByteSetHeaderSize, std::min(stated, held)};
}

ArrayElements array_elements(const void* block, std::size_t element_size) {
    std::size_t readable = RuntimeHeap::the().readable_size(block);
    if (readable < 4 || element_size == 0)
        return {};
    auto* bytes = static_cast<const std::uint8_t*>(block);
    std::uint64_t dimensions = read_word(bytes);
    if (dimensions == 0 || (readable - 4) / 4 < dimensions)
        return {};
    std::size_t header = 4 + 4 * static_cast<std::size_t>(dimensions);
    std::size_t held = (readable - header) / element_size;
    std::uint64_t count = 1;
    for (std::uint64_t i = 0; i < dimensions; ++i) {
        std::uint64_t size = read_word(bytes + 4 + 4 * i);
        // Once past what the block holds the exact product no longer matters.
        if (__builtin_mul_overflow(count, size, &count))
            count = std::numeric_limits<std::uint64_t>::max();
    }
    return {bytes + header, static_cast<std::size_t>(std::min<std::uint64_t>(count, held))};
}

char* make_text(std::string_view text) {
    if (text.empty())
        return nullptr;
    auto* copy = static_cast<char*>(RuntimeHeap::the().allocate(text.size() + 1));
    std::memcpy(copy, text.data(), text.size());
    copy[text.size()] = 0;
    return copy;
}

void* make_byte_set(std::span<const std::uint8_t> bytes) {
    if (bytes.empty())
        return nullptr;
    auto* block =
        static_cast<std::uint8_t*>(RuntimeHeap::the().allocate(ByteSetHeaderSize + bytes.size()));
    write_word(block, 1);
    write_word(block + 4, static_cast<std::uint32_t>(bytes.size()));
    std::memcpy(block + ByteSetHeaderSize, bytes.data(), bytes.size());
    return block;
}

void* make_array(std::uint32_t element_count, std::size_t element_size) {
    std::size_t size = 8 + static_cast<std::size_t>(element_count) * element_size;
    auto* block = static_cast<std::uint8_t*>(RuntimeHeap::the().allocate(size));
    std::memset(block, 0, size);
    write_word(block, 1);
    write_word(block + 4, element_count);
    return block;
}

std::uint8_t* array_data(void* block) {
    return static_cast<std::uint8_t*>(block) + 8;
}

void* make_text_array(const std::vector<char*>& texts) {
    void* block = make_array(static_cast<std::uint32_t>(texts.size()), sizeof(char*));
    if (!texts.empty())
        std::memcpy(array_data(block), texts.data(), texts.size() * sizeof(char*));
    return block;
}

void release_array(std::uint32_t element_type_code, void* block) {
    if (!block)
        return;
    auto& heap = RuntimeHeap::the();
    std::uint32_t element = element_type(element_type_code);
    if (element == type_code::Text || element == type_code::ByteSet) {
        auto elements = array_elements(block, sizeof(void*));
        for (std::size_t i = 0; i < elements.count; ++i) {
            void* p;
            std::memcpy(&p, elements.data + i * sizeof(void*), sizeof p);
            heap.release(p);
        }
    }
    heap.release(block);
}

} // namespace runtime
