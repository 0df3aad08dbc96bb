#include <runtime/image/UnitRecord.h>
#include <runtime/windows/RuntimeMessages.h>

#include <gtest/gtest.h>

#include <vector>

using namespace runtime;
using Bytes = std::vector<std::uint8_t>;

namespace {

void append_word(Bytes& bytes, std::uint32_t word) {
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(static_cast<std::uint8_t>(word >> shift));
}

void append_text(Bytes& bytes, std::string_view text) {
    bytes.insert(bytes.end(), text.begin(), text.end());
    bytes.push_back(0);
}

// A button record put together by hand, field by field.
Bytes button_record(bool with_type_data = true) {
    Bytes b;
    append_word(b, 0x00010006); // type
    append_word(b, 0);          // redirect
    for (int i = 0; i < 4; ++i)
        append_word(b, 0);
    append_text(b, "\xB0\xB4\xC5\xA5"
                   "1"); // 按钮1
    append_text(b, "");
    append_word(b, 0);                              // object slot
    append_word(b, 12);                             // left
    append_word(b, static_cast<std::uint32_t>(-4)); // top
    append_word(b, 75);                             // width
    append_word(b, 25);                             // height
    append_word(b, 0);                              // cursor slot
    append_word(b, 0x16010001);                     // parent
    append_word(b, 2);                              // child count
    append_word(b, 0x16010005);
    append_word(b, 0x16010006);
    append_word(b, 4); // pointer block
    append_word(b, 0);
    append_text(b, "tag");
    append_word(b, 0);     // reserved
    append_word(b, 0b101); // flags: visible, tab stop
    append_word(b, 0);     // focus order
    append_word(b, 2);     // bindings
    append_word(b, 0);
    append_word(b, 0x40);
    append_word(b, static_cast<std::uint32_t>(-2));
    append_word(b, 0xFFFFFFFF);
    for (int i = 0; i < 5; ++i)
        append_word(b, 0);
    if (with_type_data)
        b.insert(b.end(), {'O', 'K', 0});
    return b;
}

TEST(UnitRecord, ParsesEveryFieldAndWritesTheSameBytes) {
    Bytes bytes = button_record();
    auto parsed = UnitRecord::parse(0x16010002, bytes);
    ASSERT_FALSE(parsed.is_error());
    auto& r = parsed.value();
    EXPECT_EQ(r.id, 0x16010002u);
    EXPECT_EQ(r.type, 0x00010006u);
    EXPECT_EQ(r.name, "\xB0\xB4\xC5\xA5"
                      "1");
    EXPECT_EQ(r.second_text, "");
    EXPECT_EQ(r.left, 12);
    EXPECT_EQ(r.top, -4);
    EXPECT_EQ(r.width, 75);
    EXPECT_EQ(r.height, 25);
    EXPECT_EQ(r.parent_id, 0x16010001u);
    EXPECT_EQ(r.child_ids, (std::vector<std::uint32_t>{0x16010005, 0x16010006}));
    EXPECT_EQ(r.pointer_block, (Bytes{0, 0, 0, 0}));
    EXPECT_EQ(r.tag, "tag");
    EXPECT_TRUE(r.is_visible());
    EXPECT_FALSE(r.is_disabled());
    EXPECT_TRUE(r.is_tab_stop());
    ASSERT_EQ(r.bindings.size(), 2u);
    EXPECT_EQ(r.bindings[1].event, -2);
    EXPECT_EQ(r.bindings[1].stored_handler, NoHandler);
    EXPECT_EQ(r.type_data, (Bytes{'O', 'K', 0}));
    EXPECT_EQ(r.serialize(), bytes);
}

TEST(UnitRecord, FieldFinding) {
    Bytes bytes = button_record();
    auto layout = find_unit_record_fields(bytes);
    ASSERT_FALSE(layout.is_error());
    // 24 bytes, "按钮1\0" (6) and "\0" (1).
    EXPECT_EQ(layout.value().object_slot, 31u);
    EXPECT_EQ(layout.value().child_count, 2u);
    EXPECT_EQ(layout.value().pointer_block, 31u + 32 + 8);
    EXPECT_EQ(layout.value().tag, 31u + 32 + 8 + 8);
    EXPECT_EQ(layout.value().flags, 31u + 32 + 8 + 8 + 4 + 4);
    EXPECT_EQ(layout.value().bindings, layout.value().flags + 8);
    EXPECT_EQ(layout.value().binding_count, 2u);
    EXPECT_EQ(layout.value().type_data, bytes.size() - 3);
}

TEST(UnitRecord, EmptyTypeSpecificPartIsValid) {
    Bytes bytes = button_record(false);
    auto parsed = UnitRecord::parse(1, bytes);
    ASSERT_FALSE(parsed.is_error());
    EXPECT_TRUE(parsed.value().type_data.empty());
    EXPECT_EQ(find_unit_record_fields(bytes).value().type_data, bytes.size());
}

TEST(UnitRecord, EveryTruncationIsAnErrorNeverACrash) {
    Bytes bytes = button_record(false);
    for (std::size_t length = 0; length < bytes.size(); ++length) {
        // A copy of exactly this length, so a sanitizer sees any read past it.
        Bytes cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length));
        auto parsed = UnitRecord::parse(1, cut);
        ASSERT_TRUE(parsed.is_error()) << length;
        EXPECT_EQ(parsed.error().message, messages::TemplateLoadFailed);
        EXPECT_TRUE(find_unit_record_fields(cut).is_error()) << length;
    }
}

TEST(UnitRecord, LyingCountsAreErrors) {
    struct Case {
        const char* what;
        std::size_t offset; // of the word to overwrite
        std::uint32_t value;
    } cases[] = {
        {"child count", 31 + 28, 0x40000000},
        {"child count one too many", 31 + 28, 30},
        {"pointer block length", 31 + 40, 0xFFFFFFF0},
        {"binding count", 31 + 40 + 8 + 4 + 4 + 4 + 4, 0x20000000},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes bytes = button_record(false);
        for (int i = 0; i < 4; ++i)
            bytes[c.offset + i] = static_cast<std::uint8_t>(c.value >> (8 * i));
        EXPECT_TRUE(UnitRecord::parse(1, bytes).is_error());
    }
}

TEST(UnitRecord, MenuItemHasOneHandlerWord) {
    Bytes b;
    append_word(b, type_code::MenuItem);
    append_word(b, 0);
    for (int i = 0; i < 4; ++i)
        append_word(b, 0);
    append_text(b, "m");
    append_text(b, "");
    append_word(b, 1);
    append_word(b, 2);
    append_word(b, 3);
    append_text(b, "&Open");
    append_word(b, 0x30);

    auto parsed = UnitRecord::parse(0x26010001, b);
    ASSERT_FALSE(parsed.is_error());
    auto record = parsed.release_value();
    EXPECT_TRUE(record.is_menu_item());
    EXPECT_EQ(record.menu.caption, "&Open");
    EXPECT_EQ(record.menu.flags, 3u);
    EXPECT_EQ(record.menu.stored_handler, 0x30u);
    EXPECT_EQ(record.serialize(), b);

    char code[0x100];
    record.relocate(code);
    EXPECT_EQ(record.handler_for(0), code + 0x30);
    EXPECT_EQ(record.handler_for(5), code + 0x30);

    b.resize(b.size() - 1);
    EXPECT_TRUE(UnitRecord::parse(0x26010001, b).is_error());
}

TEST(UnitRecord, RelocationAndHandlerLookup) {
    auto record = UnitRecord::parse(1, button_record()).release_value();
    record.bindings.push_back(EventBinding{0, 0x80, nullptr});
    char code[0x100];
    record.relocate(code);
    EXPECT_EQ(record.handler_for(0), code + 0x40) << "the first binding of an event wins";
    EXPECT_EQ(record.handler_for(-2), nullptr) << "a stored -1 is no handler";
    EXPECT_EQ(record.handler_for(3), nullptr);
}

} // namespace
