#include <runtime/values/ArrayBlock.h>
#include <runtime/values/RuntimeHeap.h>

#include <gtest/gtest.h>

#include <cstring>

using namespace runtime;

namespace {

// A heap block of exactly the given words, whatever they state.
void* block_of_words(std::initializer_list<std::uint32_t> words, std::size_t extra_bytes = 0) {
    std::size_t size = words.size() * 4 + extra_bytes;
    auto* block = static_cast<std::uint8_t*>(RuntimeHeap::the().allocate(size));
    std::memset(block, 0x5A, size);
    std::size_t i = 0;
    for (auto word : words)
        std::memcpy(block + 4 * i++, &word, 4);
    return block;
}

TEST(ArrayBlock, TextsAndByteSetsAreNullWhenEmpty) {
    EXPECT_EQ(make_text(""), nullptr);
    EXPECT_EQ(make_byte_set({}), nullptr);

    char* text = make_text(std::string_view("ab\0c", 4));
    EXPECT_EQ(std::memcmp(text, "ab\0c\0", 5), 0);
    EXPECT_EQ(RuntimeHeap::the().readable_size(text), 5u);
    RuntimeHeap::the().release(text);

    const std::uint8_t bytes[] = {0x41, 0x00, 0x43};
    void* set = make_byte_set(bytes);
    const std::uint8_t expected[] = {1, 0, 0, 0, 3, 0, 0, 0, 0x41, 0x00, 0x43};
    ASSERT_EQ(RuntimeHeap::the().readable_size(set), sizeof expected);
    EXPECT_EQ(std::memcmp(set, expected, sizeof expected), 0);
    auto view = byte_set_bytes(set);
    EXPECT_EQ(view.size(), 3u);
    RuntimeHeap::the().release(set);
}

TEST(ArrayBlock, StatedLengthsAreCutToTheBlock) {
    // Claims 1000 bytes, holds 3.
    void* set = block_of_words({1, 1000}, 3);
    EXPECT_EQ(byte_set_bytes(set).size(), 3u);
    RuntimeHeap::the().release(set);

    // Too short even for its header.
    void* stub = RuntimeHeap::the().allocate(6);
    EXPECT_TRUE(byte_set_bytes(stub).empty());
    EXPECT_EQ(array_elements(stub, 4).count, 0u);
    RuntimeHeap::the().release(stub);

    // An integer array claiming 0xFFFFFFFF elements, holding two and a half.
    void* array = block_of_words({1, 0xFFFFFFFFu, 7, 8}, 2);
    auto elements = array_elements(array, 4);
    EXPECT_EQ(elements.count, 2u);
    RuntimeHeap::the().release(array);

    // A dimension count that runs past the block.
    void* dims = block_of_words({0x40000000u, 1, 1});
    EXPECT_EQ(array_elements(dims, 1).count, 0u);
    RuntimeHeap::the().release(dims);

    // Dimensions whose product overflows 64 bits.
    void* big = block_of_words({3, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 9});
    EXPECT_EQ(array_elements(big, 4).count, 1u);
    RuntimeHeap::the().release(big);
}

TEST(ArrayBlock, MultiDimensionalArraysReadAllElementsInRowOrder) {
    void* array = block_of_words({2, 2, 3, 10, 11, 12, 13, 14, 15});
    auto elements = array_elements(array, 4);
    EXPECT_EQ(elements.count, 6u);
    std::uint32_t first;
    std::memcpy(&first, elements.data, 4);
    EXPECT_EQ(first, 10u);
    RuntimeHeap::the().release(array);

    void* empty = block_of_words({1, 0});
    EXPECT_EQ(array_elements(empty, 8).count, 0u);
    RuntimeHeap::the().release(empty);
}

TEST(ArrayBlock, ReleasingATextArrayReleasesItsElements) {
    auto& heap = RuntimeHeap::the();
    std::size_t before = heap.live_blocks();
    void* array = make_text_array({make_text("a"), nullptr, make_text("bc")});
    auto elements = array_elements(array, sizeof(char*));
    ASSERT_EQ(elements.count, 3u);
    char* third;
    std::memcpy(&third, elements.data + 2 * sizeof(char*), sizeof third);
    EXPECT_STREQ(third, "bc");
    EXPECT_EQ(heap.live_blocks(), before + 3);
    release_array(type_code::Text | type_code::ArrayFlag, array);
    EXPECT_EQ(heap.live_blocks(), before);

    // An integer array's elements are not addresses.
    void* numbers = make_array(2, 4);
    release_array(type_code::Integer, numbers);
    EXPECT_EQ(heap.live_blocks(), before);
}

} // namespace
