#include <runtime/values/RuntimeHeap.h>

#include <gtest/gtest.h>

#include <cstring>

using runtime::RuntimeHeap;

namespace {

// The program's constant area as a registered static range.
class StaticRangeTest : public testing::Test {
  protected:
    void SetUp() override { RuntimeHeap::the().add_static_range(m_constants, sizeof m_constants); }
    void TearDown() override { RuntimeHeap::the().remove_static_range(m_constants); }

    char m_constants[16] = "constant text";
};

TEST(RuntimeHeap, AllocateReallocateRelease) {
    auto& heap = RuntimeHeap::the();
    std::size_t before = heap.live_blocks();
    auto* p = static_cast<char*>(heap.allocate(5));
    std::memcpy(p, "abcd", 5);
    EXPECT_EQ(heap.readable_size(p), 5u);
    EXPECT_EQ(heap.live_blocks(), before + 1);

    p = static_cast<char*>(heap.reallocate(p, 4000));
    EXPECT_STREQ(p, "abcd");
    EXPECT_EQ(heap.readable_size(p), 4000u);
    p = static_cast<char*>(heap.reallocate(p, 2));
    EXPECT_EQ(std::memcmp(p, "ab", 2), 0);
    EXPECT_EQ(heap.readable_size(p), 2u);
    heap.release(p);
    EXPECT_EQ(heap.live_blocks(), before);

    void* fresh = heap.reallocate(nullptr, 3);
    EXPECT_EQ(heap.readable_size(fresh), 3u);
    heap.release(fresh);

    void* empty = heap.allocate(0);
    EXPECT_NE(empty, nullptr);
    EXPECT_EQ(heap.readable_size(empty), 0u);
    heap.release(empty);
    EXPECT_EQ(heap.live_blocks(), before);
}

TEST(RuntimeHeap, ReleasingNullDoesNothing) {
    auto& heap = RuntimeHeap::the();
    std::size_t before = heap.live_blocks();
    heap.release(nullptr);
    EXPECT_EQ(heap.live_blocks(), before);
    EXPECT_EQ(heap.readable_size(nullptr), 0u);
}

TEST(RuntimeHeap, HugeRequestCanReturnNull) {
    EXPECT_EQ(RuntimeHeap::the().allocate(SIZE_MAX - 4, RuntimeHeap::OnFailure::ReturnNull),
              nullptr);
}

TEST_F(StaticRangeTest, ReleaseIgnoresTheConstantArea) {
    auto& heap = RuntimeHeap::the();
    heap.release(m_constants);
    heap.release(m_constants + 9);
    EXPECT_STREQ(m_constants, "constant text");
    EXPECT_TRUE(heap.is_static(m_constants + 15));
    EXPECT_FALSE(heap.is_static(m_constants + 16));
    EXPECT_EQ(heap.readable_size(m_constants + 9), 7u);
}

TEST_F(StaticRangeTest, ReallocateCopiesOutOfTheConstantArea) {
    auto& heap = RuntimeHeap::the();
    struct Case {
        std::size_t offset;
        std::size_t new_size;
        std::size_t copied;
    } cases[] = {
        {0, 8, 8},   // fits: the first 8 bytes
        {9, 32, 7},  // runs past the area: only the 7 bytes to its end
        {0, 16, 16}, // exactly the area
        {15, 1, 1},
    };
    for (auto& c : cases) {
        char* source = m_constants + c.offset;
        auto* copy = static_cast<char*>(heap.reallocate(source, c.new_size));
        ASSERT_NE(copy, source);
        EXPECT_EQ(heap.readable_size(copy), c.new_size);
        EXPECT_EQ(std::memcmp(copy, source, c.copied), 0) << c.offset;
        heap.release(copy);
    }
    EXPECT_STREQ(m_constants, "constant text");
}

} // namespace
