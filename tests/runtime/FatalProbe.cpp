// A program that ends through the runtime's fatal report (or end program),
// so that tests can watch its exit status and output from outside.
//
// Usage: armctl_fatal_probe <scenario> [argument]
// Standard output gets one line per observation:
//   "box <caption hex> <style> <text hex>" for each message box shown,
//   "handler <error number> <message hex>" for each user handler call,
//   "exit routine" when the program's exit routine runs.

#include <runtime/AppRuntime.h>
#include <runtime/image/ProgramHeader.h>
#include <runtime/services/ErrorReport.h>
#include <runtime/services/HostNotify.h>
#include <runtime/services/RuntimeCallTable.h>
#include <runtime/windows/RuntimeMessages.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

std::string hex(const char* text) {
    std::string out;
    char digits[3];
    for (const char* p = text; *p; ++p) {
        std::snprintf(digits, sizeof digits, "%02X", static_cast<unsigned char>(*p));
        out += digits;
    }
    return out.empty() ? "-" : out;
}

void box(const char* text, const char* caption, unsigned style) {
    std::printf("box %s %u %s\n", hex(caption).c_str(), style, hex(text).c_str());
}

void exit_routine() {
    std::printf("exit routine\n");
}

int handler_that_handles(int number, const char* message) {
    std::printf("handler %d %s\n", number, hex(message).c_str());
    return 1;
}

int handler_that_declines(int number, const char* message) {
    std::printf("handler %d %s\n", number, hex(message).c_str());
    return 0;
}

int handler_that_fails_again(int number, const char* message) {
    std::printf("handler %d %s\n", number, hex(message).c_str());
    std::fflush(stdout);
    runtime::runtime_call_table().report_error(9);
    return 0;
}

// A window list buffer that claims one window and then ends.
const std::uint8_t truncated_templates[] = {8, 0, 0, 0, 1, 0, 0x01, 0x52, 0, 0, 0, 0};

} // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return 2;
    std::string scenario = argv[1];
    int argument = argc > 2 ? std::atoi(argv[2]) : 0;

    auto& table = runtime::runtime_call_table();
    runtime::ErrorReport::the().set_message_box(box);
    table.runtime_notify(3, reinterpret_cast<std::intptr_t>(exit_routine), 0, 0, 0, 0);

    if (scenario == "numbered") {
        table.report_error(argument);
    } else if (scenario == "allocation") {
        table.allocate(static_cast<std::size_t>(1) << 62);
    } else if (scenario == "handler-handles") {
        runtime::ErrorReport::the().set_user_error_handler(handler_that_handles);
        table.report_error(argument);
    } else if (scenario == "handler-declines") {
        runtime::ErrorReport::the().set_user_error_handler(handler_that_declines);
        table.report_error(argument);
    } else if (scenario == "handler-reentry") {
        runtime::ErrorReport::the().set_user_error_handler(handler_that_fails_again);
        table.report_error(argument);
    } else if (scenario == "end") {
        table.end_program(argument);
    } else if (scenario == "load-window") {
        static runtime::ProgramHeader header;
        runtime::AppRuntime::the().set_program_header(&header);
        table.runtime_notify(6, 0, 0, 0, 0, 0);
        table.load_window(0x52010001);
    } else if (scenario == "bad-templates") {
        static runtime::ProgramHeader header;
        header.template_data = truncated_templates;
        header.template_length = sizeof truncated_templates;
        runtime::AppRuntime::the().set_program_header(&header);
        table.runtime_notify(6, 0, 0, 0, 0, 0);
    } else if (scenario == "dll-missing") {
        runtime::AppRuntime::the().dll_commands().set_commands({"armctl_no_such_library.so"},
                                                               {"missing"});
        table.call_dll_command(0, 0, nullptr);
    } else if (scenario == "host-fatal") {
        runtime::host_notify(2027, reinterpret_cast<std::intptr_t>("library says no"), 0);
    } else if (scenario == "read-property") {
        table.read_property(0x52010001, 0x16010001, 8, -1);
    }
    std::printf("returned\n");
    return 3;
}
