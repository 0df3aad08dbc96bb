#include <program/LibraryCommands.h>
#include <program/LibraryTable.h>
#include <program/ProgramUnitTypes.h>
#include <runtime/services/LibraryCommand.h>
#include <runtime/values/RuntimeHeap.h>
#include <runtime/values/TypedValue.h>
#include <units/CommonDlgUnit.h>
#include <units/StatusBarUnit.h>
#include <units/grid/GridUnit.h>
#include <units/serialport/SerialPortUnit.h>

#include <gtest/gtest.h>

#include <set>
#include <utility>

namespace {

const runtime::LibraryInfo& library(std::size_t number) {
    return *program::LibraryTable::the().libraries()[number - 1];
}

runtime::TypedValue call(std::size_t lib, std::size_t index, std::int32_t count,
                         const runtime::TypedValue* args) {
    const auto& info = library(lib);
    EXPECT_LT(index, info.command_count);
    return runtime::call_library_command(info.commands[index], static_cast<std::int32_t>(lib),
                                         count, args);
}

TEST(LibraryTable, CommandsSitInTheOrderTheProgramCallsThem) {
    EXPECT_EQ(program::LibraryTable::the().count(), 7u);
    // Seven commands, then the serial port's three methods and ShowDialog.
    EXPECT_EQ(library(1).command_count, 11u);
    EXPECT_EQ(library(3).command_count, 1u);
    EXPECT_EQ(library(5).command_count, 1u);
    EXPECT_EQ(library(4).command_count, 3u);
    EXPECT_EQ(library(6).command_count, 4u);
    EXPECT_EQ(library(7).command_count, 2u);
    EXPECT_EQ(library(2).command_count, 0u);
    for (std::size_t lib : {1u, 3u, 5u, 7u})
        EXPECT_NE(library(lib).notify, nullptr)
            << "library " << lib << " learns the runtime's entry";

    // Library 1, command 0 reads a number from a text; command 1 writes one.
    runtime::TypedValue text = runtime::TypedValue::of_text("12.5");
    runtime::TypedValue number = call(1, 0, 1, &text);
    EXPECT_EQ(number.as_double(), 12.5);

    runtime::TypedValue integer = runtime::TypedValue::of_integer(90);
    runtime::TypedValue shown = call(1, 1, 1, &integer);
    ASSERT_EQ(shown.type, runtime::type_code::Text);
    auto* s = reinterpret_cast<char*>(shown.data);
    EXPECT_STREQ(s, "90");
    runtime::RuntimeHeap::the().release(s);

    // Commands 7 to 9 are the serial port's OpenPort, ClosePort and
    // SendData; without a unit the two with a result give false.
    for (std::size_t index : {7u, 9u}) {
        runtime::TypedValue result = call(1, index, 0, nullptr);
        EXPECT_EQ(result.type, runtime::type_code::Boolean) << index;
        EXPECT_EQ(result.data, 0u) << index;
    }
}

TEST(LibraryTable, EachListedCommandHasTheEntryItsPlaceNames) {
    using program::command_place;
    using program::CommandId;
    // Every place is taken once, and each library's entries run from 0 with no gap.
    std::set<std::pair<std::uint32_t, std::uint32_t>> places;
    for (const auto& slot : program::LibraryCommands) {
        auto place = command_place(slot.id);
        EXPECT_EQ(place.library, slot.library);
        ASSERT_LT(place.entry, library(place.library).command_count);
        EXPECT_NE(library(place.library).commands[place.entry], nullptr);
        EXPECT_TRUE(places.insert({place.library, place.entry}).second);
    }
    std::uint32_t entries = 0;
    for (std::size_t lib = 1; lib <= program::LibraryCount; ++lib)
        entries += library(lib).command_count;
    EXPECT_EQ(places.size(), entries);

    // The numbers programs built before keep calling.
    auto at = [](CommandId id) {
        auto place = command_place(id);
        return std::make_pair(place.library, place.entry);
    };
    EXPECT_EQ(at(CommandId::ToNumber), std::make_pair(1u, 0u));
    EXPECT_EQ(at(CommandId::SplitText), std::make_pair(1u, 6u));
    EXPECT_EQ(at(CommandId::SendData), std::make_pair(1u, 9u));
    EXPECT_EQ(at(CommandId::ShowDialog), std::make_pair(1u, 10u));
    EXPECT_EQ(at(CommandId::SetInterfaceStyle), std::make_pair(3u, 0u));
    EXPECT_EQ(at(CommandId::SetPanelTip), std::make_pair(4u, 2u));
    EXPECT_EQ(at(CommandId::Delay), std::make_pair(5u, 0u));
    EXPECT_EQ(at(CommandId::GetCellData), std::make_pair(6u, 2u));
    EXPECT_EQ(at(CommandId::BrowseForFolder), std::make_pair(7u, 1u));

    // The unit methods are the unit types' own, each at its place.
    auto entry = [](CommandId id) {
        auto place = command_place(id);
        return library(place.library).commands[place.entry];
    };
    EXPECT_EQ(entry(CommandId::ClosePort),
              units::SerialPortUnit::methods()[units::SerialPortUnit::ClosePort]);
    EXPECT_EQ(entry(CommandId::ShowDialog),
              units::CommonDlgUnit::methods()[units::CommonDlgUnit::ShowDialog]);
    EXPECT_EQ(entry(CommandId::SetPanelText),
              units::StatusBarUnit::methods()[units::StatusBarUnit::SetPanelText]);
    EXPECT_EQ(entry(CommandId::Reset), units::GridUnit::methods()[units::GridUnit::Reset]);
}

TEST(LibraryTable, EachUnitTypeSitsWhereItsTypeCodeSays) {
    program::ProgramUnitTypes::each([]<typename T>(std::type_identity<T>) {
        const auto& lib = library(program::type_library(T::TypeCode));
        auto position = program::type_position(T::TypeCode);
        ASSERT_LE(position, lib.unit_type_count) << T::TypeCode;
        EXPECT_EQ(lib.unit_types[position - 1].query, T::type_info().query) << T::TypeCode;
    });
}

} // namespace
