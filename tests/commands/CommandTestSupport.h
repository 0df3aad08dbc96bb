#pragma once

// Calls commands the way the runtime does and turns their results into plain
// values, releasing every block and checking that none is left behind.

#include <platform/Encoding.h>
#include <runtime/services/LibraryCommand.h>
#include <runtime/values/ArrayBlock.h>
#include <runtime/values/RuntimeHeap.h>

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace test_support {

// An argument the caller left out.
inline const runtime::TypedValue omitted{};

using runtime::TypedValue;
using OptionalText = std::optional<std::string>; // nullopt: a null result

inline std::string gbk(std::string_view utf8) {
    return platform::utf8_to_gbk(utf8);
}

// Watches the runtime heap across one test: every block made must be released.
class HeapBalance {
  public:
    HeapBalance() : m_before(runtime::RuntimeHeap::the().live_blocks()) {}
    ~HeapBalance() {
        EXPECT_EQ(runtime::RuntimeHeap::the().live_blocks(), m_before) << "blocks leaked";
    }

  private:
    std::size_t m_before;
};

inline OptionalText take_text(char* text) {
    if (!text)
        return std::nullopt;
    EXPECT_GT(std::strlen(text), 0u) << "an empty text must be null";
    std::string copy = text;
    runtime::RuntimeHeap::the().release(text);
    return copy;
}

inline std::optional<std::vector<std::uint8_t>> take_byte_set(void* block) {
    if (!block)
        return std::nullopt;
    auto bytes = runtime::byte_set_bytes(block);
    EXPECT_EQ(runtime::RuntimeHeap::the().readable_size(block), 8 + bytes.size());
    EXPECT_FALSE(bytes.empty()) << "an empty byte set must be null";
    std::uint32_t one;
    std::memcpy(&one, block, 4);
    EXPECT_EQ(one, 1u);
    std::vector<std::uint8_t> copy(bytes.begin(), bytes.end());
    runtime::RuntimeHeap::the().release(block);
    return copy;
}

// The elements of a text array result, then the array released.
inline std::vector<OptionalText> take_text_array(void* block) {
    std::vector<OptionalText> texts;
    EXPECT_NE(block, nullptr) << "an array result is never null";
    if (!block)
        return texts;
    std::uint32_t dimensions;
    std::memcpy(&dimensions, block, 4);
    EXPECT_EQ(dimensions, 1u);
    auto elements = runtime::array_elements(block, sizeof(char*));
    for (std::size_t i = 0; i < elements.count; ++i) {
        char* text;
        std::memcpy(&text, elements.data + i * sizeof(char*), sizeof text);
        texts.push_back(text ? OptionalText(text) : std::nullopt);
        if (text) {
            EXPECT_GT(std::strlen(text), 0u) << "an empty piece must be null";
        }
    }
    runtime::release_array(runtime::type_code::Text, block);
    return texts;
}

inline TypedValue call(runtime::LibraryCommand command, std::vector<TypedValue> args) {
    return runtime::call_library_command(command, 0, static_cast<std::int32_t>(args.size()),
                                         args.data());
}

// A heap block holding exactly these words and bytes, whatever they state.
inline void* raw_block(std::initializer_list<std::uint32_t> words,
                       std::initializer_list<std::uint8_t> bytes = {}) {
    std::size_t size = words.size() * 4 + bytes.size();
    auto* block = static_cast<std::uint8_t*>(runtime::RuntimeHeap::the().allocate(size));
    std::size_t at = 0;
    for (auto word : words) {
        std::memcpy(block + at, &word, 4);
        at += 4;
    }
    for (auto byte : bytes)
        block[at++] = byte;
    return block;
}

} // namespace test_support
