#include <units/framework/PropertyBag.h>

#include <gtest/gtest.h>

namespace {

using namespace runtime::value_kind;

enum Own : std::int32_t { Count = 0, Mode = 1, Unused = 2, Name = 3, Hidden = 4 };

constexpr units::PropertyTable Table{{
    {Count, "Count", Integer, units::at_least(1)},
    {Mode, "Mode", Choice, units::choice_clamp(4)},
    {Unused, nullptr, Empty},
    {Name, "Name", Text},
    {Hidden, nullptr, Integer},
}};

TEST(PropertyTable, TheRuntimeSeesTheCommonEntriesThenOneEntryPerRow) {
    static_assert(Table.info_count() == 13);
    const runtime::PropertyInfo* info = Table.info();
    EXPECT_EQ(info[0].kind, Integer);
    EXPECT_EQ(info[4].kind, Text);
    EXPECT_EQ(info[7].kind, Cursor);
    EXPECT_EQ(info[7].state, runtime::PropertyStateCommon);
    EXPECT_EQ(info[8 + Mode].kind, Choice);
    EXPECT_EQ(info[8 + Mode].state, runtime::PropertyStateOwn);
    EXPECT_EQ(info[8 + Unused].kind, Empty);
    EXPECT_EQ(info[8 + Unused].state, runtime::PropertyStateEmpty);
}

TEST(PropertyTable, WritesAndDesignSettingsClampAsTheRowSays) {
    units::PropertyBag bag(Table.rows(), 1);
    struct Case {
        std::int32_t index;
        std::int32_t written;
        std::int32_t stored;
    };
    for (Case c : {Case{Count, 0, 1}, Case{Count, -7, 1}, Case{Count, 9, 9}, Case{Mode, 9, 4},
                   Case{Mode, -2, 0}, Case{Mode, 3, 3}, Case{Hidden, -5, -5}}) {
        runtime::PropertyValue value;
        value.data = static_cast<std::uint32_t>(c.written);
        ASSERT_TRUE(bag.set(c.index, value));
        EXPECT_EQ(bag.word(c.index), c.stored) << "index " << c.index << " written " << c.written;
    }
    EXPECT_TRUE(bag.set_by_name("Mode", "7"));
    EXPECT_EQ(bag.word(Mode), 4);
    EXPECT_TRUE(bag.set_by_name("Name", "abc"));
    EXPECT_EQ(bag.text(Name), "abc");
    // Rows without a name cannot be set from a design; empty slots hold nothing.
    EXPECT_FALSE(bag.set_by_name("Hidden", "1"));
    EXPECT_FALSE(bag.set_by_name("Nonsense", "1"));
    runtime::PropertyValue value;
    EXPECT_FALSE(bag.set(Unused, value));
    EXPECT_FALSE(bag.set(5, value));
}

TEST(PropertyTable, StoredDataSkipsEmptySlotsAndReadsBackTheSameBytes) {
    units::PropertyBag bag(Table.rows(), 1);
    ASSERT_TRUE(bag.set_by_name("Count", "3"));
    ASSERT_TRUE(bag.set_by_name("Name", "xy"));
    units::StoredDataWriter writer;
    bag.write(writer);
    auto bytes = writer.take();
    // Version, Count, Mode, Name (counted), Hidden: the empty slot takes no room.
    EXPECT_EQ(bytes.size(), 4u * 4 + 4 + 2);
    units::PropertyBag copy(Table.rows(), 1);
    units::StoredDataReader reader(bytes);
    ASSERT_TRUE(copy.read(reader));
    units::StoredDataWriter again;
    copy.write(again);
    EXPECT_EQ(again.take(), bytes);
}

} // namespace
