#include <program/LibraryTable.h>
#include <runtime/services/LibraryCommand.h>
#include <runtime/values/RuntimeHeap.h>
#include <runtime/values/TypedValue.h>

#include <gtest/gtest.h>

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

} // namespace
