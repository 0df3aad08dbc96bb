#include <runtime/AppRuntime.h>
#include <runtime/services/RuntimeCallTable.h>
#include <runtime/values/ArrayBlock.h>
#include <runtime/values/RuntimeHeap.h>

#include <gtest/gtest.h>

#include <cstring>

using namespace runtime;

namespace {

void some_exit_routine() {}

TEST(RuntimeCallTable, ServiceThreeRegistersTheExitRoutine) {
    auto& table = runtime_call_table();
    table.runtime_notify(3, reinterpret_cast<std::intptr_t>(some_exit_routine), 0, 0, 0, 0);
    EXPECT_EQ(AppRuntime::the().exit_routine(), some_exit_routine);
    AppRuntime::the().set_exit_routine(nullptr);
}

TEST(RuntimeCallTable, ServiceTwoCopiesOnlyArraysOfTheConstantArea) {
    auto& table = runtime_call_table();
    // {1, 2, 10, 20} followed by other constants.
    alignas(8) std::uint32_t constants[6] = {1, 2, 10, 20, 0xDEAD, 0xBEEF};
    RuntimeHeap::the().add_static_range(constants, sizeof constants);

    void* array = constants;
    table.runtime_notify(2, 4, reinterpret_cast<std::intptr_t>(&array), 0, 0, 0);
    ASSERT_NE(array, static_cast<void*>(constants));
    EXPECT_FALSE(RuntimeHeap::the().is_static(array));
    EXPECT_EQ(RuntimeHeap::the().readable_size(array), 16u);
    EXPECT_EQ(std::memcmp(array, constants, 16), 0);

    // A heap array is already writable and stays where it is.
    void* again = array;
    table.runtime_notify(2, 4, reinterpret_cast<std::intptr_t>(&again), 0, 0, 0);
    EXPECT_EQ(again, array);
    RuntimeHeap::the().release(array);
    RuntimeHeap::the().remove_static_range(constants);
}

} // namespace
