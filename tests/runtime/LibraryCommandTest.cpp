#include <runtime/services/LibraryCommand.h>
#include <runtime/services/RuntimeCallTable.h>

#include <gtest/gtest.h>

#include <vector>

using namespace runtime;

namespace {

// What the last call of the recording command saw.
struct Seen {
    TypedValue result_on_entry;
    std::int32_t count = -1;
    std::vector<TypedValue> args;
};
Seen seen;

void recording_command(TypedValue* result, std::int32_t count, const TypedValue* args) {
    seen.result_on_entry = *result;
    seen.count = count;
    seen.args.assign(args, args + count);
    result->type = type_code::Integer;
    result->data = 42;
}

void command_without_result(TypedValue*, std::int32_t, const TypedValue*) {}

TEST(LibraryCommand, CommandGetsAZeroedResultAndTheArguments) {
    TypedValue args[] = {TypedValue::of_integer(7), TypedValue::of_double(2.5)};
    TypedValue result = call_library_command(recording_command, 3, 2, args);
    EXPECT_EQ(result.type, type_code::Integer);
    EXPECT_EQ(result.data, 42u);
    EXPECT_EQ(seen.result_on_entry.data, 0u);
    EXPECT_EQ(seen.result_on_entry.type, 0u);
    ASSERT_EQ(seen.count, 2);
    EXPECT_EQ(seen.args[0].data, 7u);
    EXPECT_EQ(seen.args[1].as_double(), 2.5);

    TypedValue none = call_library_command(command_without_result, 0, 0, nullptr);
    EXPECT_EQ(none.data, 0u);
    EXPECT_EQ(none.type, 0u);
}

TEST(LibraryCommand, NullTextArgumentArrivesAsEmptyText) {
    TypedValue args[] = {TypedValue::of_text(nullptr), TypedValue::of_text("x"),
                         TypedValue::of(type_code::ByteSet, 0)};
    auto slot = runtime_call_table().call_library_command;
    slot(recording_command, 1, 3, args);
    ASSERT_EQ(seen.count, 3);
    ASSERT_NE(seen.args[0].pointer<const char>(), nullptr);
    EXPECT_STREQ(seen.args[0].pointer<const char>(), "");
    EXPECT_STREQ(seen.args[1].pointer<const char>(), "x");
    // Only texts are replaced; an empty byte set stays null.
    EXPECT_EQ(seen.args[2].data, 0u);
    // The caller's array is not changed.
    EXPECT_EQ(args[0].data, 0u);

    auto core = runtime_call_table().call_core_command;
    core(recording_command, 1, args);
    ASSERT_EQ(seen.count, 1);
    EXPECT_STREQ(seen.args[0].pointer<const char>(), "");
}

} // namespace
