#include "RuntimeCallTable.h"

#include "AppRuntime.h"
#include "DllCommandTable.h"
#include "ErrorReport.h"
#include "RuntimeHeap.h"
#include "RuntimeMessages.h"
#include "RuntimeNotify.h"

namespace runtime {

namespace {

void slot_report_error(std::int32_t number) {
    report_numbered_error(number);
}

TypedValue slot_call_core_command(LibraryCommand command, std::int32_t arg_count,
                                  const TypedValue* args) {
    return call_library_command(command, 0, arg_count, args);
}

// Property routing comes with the window layer. Until a window can be
// loaded, every unit lies in a window that is not loaded, which is fatal.
std::uint64_t slot_read_property(std::uint32_t, std::uint32_t, std::int32_t, std::int32_t) {
    report_runtime_error(messages::UnitWindowNotLoaded);
}

void slot_write_property(std::uint32_t, std::uint32_t, std::int32_t, std::int32_t, std::uint64_t) {
    report_runtime_error(messages::UnitWindowNotLoaded);
}

void* slot_allocate(std::size_t byte_count) {
    return RuntimeHeap::the().allocate(byte_count);
}
void* slot_reallocate(void* p, std::size_t byte_count) {
    return RuntimeHeap::the().reallocate(p, byte_count);
}
void slot_release(void* p) {
    RuntimeHeap::the().release(p);
}

void slot_end_program(std::int32_t exit_code) {
    AppRuntime::the().end_program(exit_code);
}

// With no live window the message loop returns at once.
void slot_run_message_loop() {}

// A window missing from the template data cannot be loaded. Window creation
// comes with the window layer; until then a stored window fails to be
// created, which is the same start-up failure.
void slot_load_window(std::uint32_t window_id) {
    auto window = AppRuntime::the().find_start_window(window_id);
    if (window.is_error())
        report_runtime_error(window.error().message);
    report_runtime_error(messages::StartWindowLoadFailed);
}

} // namespace

RuntimeCallTable& runtime_call_table() {
    static RuntimeCallTable table = {
        slot_report_error,  call_dll_command,    call_library_command,  slot_call_core_command,
        slot_read_property, slot_write_property, slot_allocate,         slot_reallocate,
        slot_release,       slot_end_program,    slot_run_message_loop, slot_load_window,
        runtime_notify,
    };
    return table;
}

} // namespace runtime
