#include "TestTemplates.h"

#include <runtime/AppRuntime.h>
#include <runtime/image/ProgramHeader.h>
#include <runtime/image/TemplateLoader.h>
#include <runtime/windows/RuntimeMessages.h>

#include <gtest/gtest.h>

#include <cstring>

using namespace runtime;
using namespace test_support;
using Bytes = std::vector<std::uint8_t>;

namespace {

void put_word(Bytes& bytes, std::size_t offset, std::uint32_t word) {
    for (int i = 0; i < 4; ++i)
        bytes[offset + i] = static_cast<std::uint8_t>(word >> (8 * i));
}

std::uint32_t get_word(const Bytes& bytes, std::size_t offset) {
    std::uint32_t word;
    std::memcpy(&word, bytes.data() + offset, 4);
    return word;
}

// Loads a copy of exactly these bytes, so a sanitizer sees any read past them.
ErrorOr<std::vector<WindowTemplate>> load_copy(const Bytes& bytes) {
    auto copy = std::make_unique<std::uint8_t[]>(bytes.size() + 1);
    std::memcpy(copy.get(), bytes.data(), bytes.size());
    return load_window_templates({copy.get(), bytes.size()}, nullptr);
}

TEST(TemplateLoader, SmallestWindowByteForByte) {
    // One window 0x52010001 with one unit: the window unit, named "w".
    Bytes stream = {
        8, 0, 0, 0, 0x01, 0, 0x01, 0x52, 0, 0, 0, 0,               // window list
        0x84, 0x0A, 0x39, 0x01, 0x05, 0x00, 0x01, 0x19,            // W1, W2
        0, 0, 0, 0, 0, 0, 0, 0,                                    // T1, T2 empty
        1, 0, 0, 0,                                                // unit count
        0, 0, 0, 0,                                                // unit buffer length (set below)
        0, 0, 0x01, 0x06, 0, 0, 0, 0,                              // id 0x06010000, offset 0
        0, 0, 0, 0,                                                // record length (set below)
        1, 0, 1, 0, 0, 0, 0, 0,                                    // type 0x10001, redirect
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 'w', 0, 0, // name, second text
        0, 0, 0, 0,                                                // object slot
        0, 0, 0, 0, 0, 0, 0, 0, 0x80, 2, 0, 0, 0xE0, 1, 0, 0,      // 0, 0, 640,
                                                                   // 480
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,                        // cursor, parent, no
                                                                   // children
        0, 0, 0, 0,                                                // empty pointer block
        0,                                                         // empty tag
        0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0,                        // reserved, flags visible,
                                                                   // focus
        0, 0, 0, 0,                                                // no bindings
    };
    stream.resize(stream.size() + 20, 0); // five reserved words
    put_word(stream, 32, static_cast<std::uint32_t>(stream.size() - 36));
    put_word(stream, 44, static_cast<std::uint32_t>(stream.size() - 48));

    auto loaded = load_window_templates(stream, nullptr);
    ASSERT_FALSE(loaded.is_error());
    ASSERT_EQ(loaded.value().size(), 1u);
    auto& window = loaded.value()[0];
    EXPECT_EQ(window.window_id, 0x52010001u);
    EXPECT_EQ(window.w1, 0x01390A84u);
    EXPECT_EQ(window.w2, 0x19010005u);
    ASSERT_EQ(window.units.size(), 1u);
    EXPECT_EQ(window.units[0].id, 0x06010000u);
    EXPECT_EQ(window.units[0].name, "w");
    EXPECT_EQ(window.units[0].width, 640);
    EXPECT_EQ(window.units[0].height, 480);
    EXPECT_TRUE(window.units[0].is_visible());
    EXPECT_EQ(write_window_templates(loaded.value()), stream);
}

TEST(TemplateLoader, RoundTripKeepsEveryField) {
    auto windows = sample_windows();
    Bytes stream = write_window_templates(windows);
    auto loaded = load_window_templates(stream, nullptr);
    ASSERT_FALSE(loaded.is_error());
    ASSERT_EQ(loaded.value().size(), 2u);
    EXPECT_EQ(write_window_templates(loaded.value()), stream);

    auto& second = loaded.value()[1];
    EXPECT_EQ(second.window_id, SecondWindowId);
    EXPECT_EQ(second.t1, "T1");
    ASSERT_EQ(second.units.size(), 2u);

    auto& main = loaded.value()[0];
    ASSERT_EQ(main.units.size(), 5u);
    const UnitRecord* label = main.find_unit(LabelId);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->second_text, "second");
    EXPECT_EQ(label->pointer_block, (Bytes{0x02, 0x7F, 0, 0, 0xAA, 0xBB}));
    EXPECT_EQ(label->reserved[3], 4u);
    EXPECT_EQ(label->reserved_after_bindings[4], 11u);
    EXPECT_EQ(main.find_unit(MenuItemId)->menu.caption, "&File");
    EXPECT_EQ(main.find_unit(0x16000000), nullptr);
    EXPECT_EQ(main.find_unit(0x16010099), nullptr);
}

TEST(TemplateLoader, HandlersAreRelocatedAgainstTheCodeBase) {
    static const char code[0x400] = {};
    Bytes stream = write_window_templates(sample_windows());
    auto loaded = load_window_templates(stream, code);
    ASSERT_FALSE(loaded.is_error());
    auto& window = loaded.value()[0];
    EXPECT_EQ(window.find_unit(WindowUnitId)->handler_for(0), code + 0x10);
    EXPECT_EQ(window.find_unit(WindowUnitId)->handler_for(7), nullptr);
    EXPECT_EQ(window.find_unit(ButtonId)->handler_for(0), code + 0x40);
    EXPECT_EQ(window.find_unit(ButtonId)->handler_for(-2), code + 0x80);
    EXPECT_EQ(window.find_unit(MenuItemId)->handler_for(0), code + 0x200);
}

TEST(TemplateLoader, EmptyDataLoadsNoWindowAndTheStartWindowIsMissing) {
    auto loaded = load_window_templates({}, nullptr);
    ASSERT_FALSE(loaded.is_error());
    EXPECT_TRUE(loaded.value().empty());

    ProgramHeader header;
    auto& app = AppRuntime::the();
    ASSERT_FALSE(app.adopt_header(header).is_error());
    auto start = app.find_start_window(MainWindowId);
    ASSERT_TRUE(start.is_error());
    EXPECT_STREQ(start.error().message.c_str(), messages::StartWindowLoadFailed);
}

TEST(TemplateLoader, HeaderNamesTheTemplatesAndTheStartWindowIsFound) {
    static const Bytes stream = write_window_templates(sample_windows());
    static const char code[0x400] = {};
    ProgramHeader header;
    header.mode = 3;
    header.header_version = 0x101E8;
    header.code_base = code;
    header.template_data = stream.data();
    header.template_length = static_cast<std::uint32_t>(stream.size());
    auto& app = AppRuntime::the();
    ASSERT_FALSE(app.adopt_header(header).is_error());
    EXPECT_EQ(app.mode(), 3);
    EXPECT_EQ(app.header_version(), 0x101E9);
    auto start = app.find_start_window(SecondWindowId);
    ASSERT_FALSE(start.is_error());
    EXPECT_EQ(start.value()->t1, "T1");

    Bytes bad = stream;
    bad.pop_back();
    header.template_data = bad.data();
    header.template_length = static_cast<std::uint32_t>(bad.size());
    auto adopted = app.adopt_header(header);
    ASSERT_TRUE(adopted.is_error());
    EXPECT_STREQ(adopted.error().message.c_str(), messages::TemplateLoadFailed);

    ProgramHeader empty;
    ASSERT_FALSE(app.adopt_header(empty).is_error());
}

TEST(TemplateLoader, TruncationAtEveryBytePositionIsAnError) {
    Bytes stream = write_window_templates(sample_windows());
    for (std::size_t length = 1; length < stream.size(); ++length) {
        Bytes cut(stream.begin(), stream.begin() + static_cast<std::ptrdiff_t>(length));
        auto loaded = load_copy(cut);
        ASSERT_TRUE(loaded.is_error()) << length;
        ASSERT_EQ(loaded.error().message, messages::TemplateLoadFailed) << length;
    }
}

TEST(TemplateLoader, LyingLengthsAndOffsetsAreErrors) {
    const Bytes stream = write_window_templates(sample_windows());
    // Offsets in the stream of the first window (window list of two windows).
    const std::size_t list_length = 0;
    const std::size_t unit_count = 4 + 16 + 8 + 4 + 4;
    const std::size_t buffer_length = unit_count + 4;
    const std::size_t buffer = buffer_length + 4;
    const std::uint32_t units = get_word(stream, unit_count);
    const std::size_t first_offset = buffer + 4 * units;
    const std::size_t first_record_length = buffer + 8 * units;
    ASSERT_EQ(units, 5u);

    struct Case {
        const char* what;
        std::size_t offset;
        std::uint32_t value;
    } cases[] = {
        {"window list longer than the stream", list_length, 0x00100000},
        {"window list not whole windows", list_length, 12},
        {"window list of three windows", list_length, 24},
        {"unit count beyond the buffer", unit_count, 0x10000000},
        {"unit count of zero", unit_count, 0},
        {"unit buffer longer than the stream", buffer_length, 0xFFFFFFF0},
        {"unit buffer shorter than its records", buffer_length,
         get_word(stream, buffer_length) - 1},
        {"record offset past the buffer", first_offset, 0x7FFFFFFF},
        {"record offset at the buffer's very end", first_offset,
         get_word(stream, buffer_length) - 8 * units},
        {"record offset into the middle of a record", first_offset + 4, 3},
        {"record length past the buffer", first_record_length, 0x00FFFFFF},
        {"record length cutting the fixed fields", first_record_length, 30},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes bad = stream;
        put_word(bad, c.offset, c.value);
        auto loaded = load_copy(bad);
        ASSERT_TRUE(loaded.is_error());
        EXPECT_EQ(loaded.error().message, messages::TemplateLoadFailed);
    }

    Bytes trailing = stream;
    trailing.push_back(0);
    EXPECT_TRUE(load_copy(trailing).is_error()) << "bytes after the last window";
}

} // namespace
