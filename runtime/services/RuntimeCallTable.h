#pragma once

// The application's only way into the runtime: 13 entry slots, in this order.
// On 64-bit every slot is a native function pointer; "two word" property
// values travel as one 64-bit value.

#include "LibraryCommand.h"
#include <runtime/values/TypedValue.h>

#include <cstddef>
#include <cstdint>

namespace runtime {

struct RuntimeCallTable {
    // 0: does not return.
    void (*report_error)(std::int32_t message_number);
    // 1: resolves the DLL command (loading its library on first use) and calls it.
    std::uint64_t (*call_dll_command)(std::int32_t command, std::int32_t arg_count,
                                      const std::uint64_t* args);
    // 2: a support library's command; the library index is zero-based.
    TypedValue (*call_library_command)(LibraryCommand command, std::int32_t library_index,
                                       std::int32_t arg_count, const TypedValue* args);
    // 3: a core library command (library index 0).
    TypedValue (*call_core_command)(LibraryCommand command, std::int32_t arg_count,
                                    const TypedValue* args);
    // 4: member -1 reads the whole value.
    std::uint64_t (*read_property)(std::uint32_t window_id, std::uint32_t unit_id,
                                   std::int32_t index, std::int32_t member);
    // 5
    void (*write_property)(std::uint32_t window_id, std::uint32_t unit_id, std::int32_t index,
                           std::int32_t member, std::uint64_t value);
    // 6, 7, 8
    void* (*allocate)(std::size_t byte_count);
    void* (*reallocate)(void* p, std::size_t byte_count);
    void (*release)(void* p);
    // 9: does not return.
    void (*end_program)(std::int32_t exit_code);
    // 10
    void (*run_message_loop)();
    // 11
    void (*load_window)(std::uint32_t window_id);
    // 12: RuntimeNotify; unused arguments are 0.
    std::intptr_t (*runtime_notify)(std::int32_t service, std::intptr_t argument1,
                                    std::intptr_t argument2, std::intptr_t argument3,
                                    std::intptr_t argument4, std::intptr_t argument5);
};

static_assert(sizeof(RuntimeCallTable) == 13 * sizeof(void*));
static_assert(offsetof(RuntimeCallTable, report_error) == 0 * sizeof(void*));
static_assert(offsetof(RuntimeCallTable, call_library_command) == 2 * sizeof(void*));
static_assert(offsetof(RuntimeCallTable, read_property) == 4 * sizeof(void*));
static_assert(offsetof(RuntimeCallTable, allocate) == 6 * sizeof(void*));
static_assert(offsetof(RuntimeCallTable, end_program) == 9 * sizeof(void*));
static_assert(offsetof(RuntimeCallTable, runtime_notify) == 12 * sizeof(void*));

// The process's table. Subsystems that come up later (window loading, the
// message loop, property routing) install their entries into it.
RuntimeCallTable& runtime_call_table();

} // namespace runtime
