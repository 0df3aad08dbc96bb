// A whole program on the runtime, run as a child by the start-up and
// shutdown tests: one window whose start-up handler (window event 0) does
// what the scenario asks. Standard output gets "exit routine" each time the
// program's exit routine runs.
//
// Usage: armctl_window_program_probe <close|thread|idle> --backend=headless

#include <runtime/EventRequest.h>
#include <runtime/ProgramHeader.h>
#include <runtime/ProgramMain.h>
#include <runtime/RuntimeCallTable.h>
#include <runtime/TemplateLoader.h>

#include <units/LibraryTable.h>
#include <units/UnitType.h>
#include <units/WindowUnit.h>

#include <platform/WindowSystem.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

namespace {

constexpr std::uint32_t WindowId = 0x52010001;
std::string g_scenario;

void exit_routine() {
    std::printf("exit routine\n");
}

runtime::HandlerResult on_start() {
    auto hwnd = platform::get_active_window();
    for (auto top : platform::top_level_windows()) {
        if (platform::get_class_name(top) == units::WindowUnit::ClassName)
            hwnd = top;
    }
    if (g_scenario == "close") {
        platform::post_message(hwnd, platform::WM_CLOSE);
    } else if (g_scenario == "thread") {
        std::thread([] { runtime::runtime_call_table().end_program(7); }).detach();
    }
    return {};
}

runtime::HandlerResult return_zero() {
    return {true, 0};
}
runtime::HandlerResult return_nothing() {
    return {};
}

const runtime::ProgramHandler handlers[] = {
    reinterpret_cast<runtime::ProgramHandler>(&return_zero),
    reinterpret_cast<runtime::ProgramHandler>(&return_nothing),
    reinterpret_cast<runtime::ProgramHandler>(&on_start),
};

std::vector<std::uint8_t> templates() {
    runtime::WindowTemplate window;
    window.window_id = WindowId;
    runtime::UnitRecord unit;
    unit.id = 0x06010000;
    unit.type = units::WindowUnit::TypeCode;
    unit.name = "window";
    unit.width = 300;
    unit.height = 200;
    unit.pointer_block = {0, 0, 0, 0};
    unit.flags = runtime::UnitRecord::FlagVisible;
    runtime::EventBinding start;
    start.event = 0;
    start.stored_handler = 2 * sizeof(runtime::ProgramHandler);
    unit.bindings = {start};
    unit.type_data = units::write_stored_settings(units::WindowUnit::Settings{});
    window.units = {unit};
    return runtime::write_window_templates({window});
}

int program_entry() {
    auto& table = runtime::runtime_call_table();
    table.runtime_notify(6, 0, 0, 0, 0, 0);
    table.runtime_notify(3, reinterpret_cast<std::intptr_t>(exit_routine), 0, 0, 0, 0);
    table.load_window(WindowId);
    table.run_message_loop();
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return 2;
    g_scenario = argv[1];
    static const std::vector<std::uint8_t> stream = templates();
    static runtime::ProgramHeader header;
    header.mode = 3;
    header.code_base = handlers;
    header.template_data = stream.data();
    header.template_length = static_cast<std::uint32_t>(stream.size());
    header.library_count = units::LibraryTable::the().count();
    header.libraries = units::LibraryTable::the().libraries();
    return runtime::program_main(argc, argv, header, program_entry);
}
