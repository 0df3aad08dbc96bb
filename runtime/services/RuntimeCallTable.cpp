#include "RuntimeCallTable.h"

#include "DllCommandTable.h"
#include "ErrorReport.h"
#include "RuntimeNotify.h"
#include <runtime/AppRuntime.h>
#include <runtime/values/RuntimeHeap.h>
#include <runtime/windows/PropertyRouting.h>
#include <runtime/windows/RuntimeMessages.h>

namespace runtime {

namespace {

void slot_report_error(std::int32_t number) {
    report_numbered_error(number);
}

TypedValue slot_call_core_command(LibraryCommand command, std::int32_t arg_count,
                                  const TypedValue* args) {
    return call_library_command(command, 0, arg_count, args);
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

void slot_run_message_loop() {
    AppRuntime::the().run_message_loop();
}

void slot_load_window(std::uint32_t window_id) {
    AppRuntime::the().load_start_window(window_id);
}

} // namespace

RuntimeCallTable& runtime_call_table() {
    static RuntimeCallTable table = {
        slot_report_error, call_dll_command, call_library_command,  slot_call_core_command,
        read_property,     write_property,   slot_allocate,         slot_reallocate,
        slot_release,      slot_end_program, slot_run_message_loop, slot_load_window,
        runtime_notify,
    };
    return table;
}

} // namespace runtime
