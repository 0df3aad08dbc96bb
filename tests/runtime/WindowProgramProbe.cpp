// A whole program on the runtime, run as a child by the start-up and
// shutdown tests: one window whose start-up handler (window event 0) does
// what the scenario asks. Standard output gets "exit routine" each time the
// program's exit routine runs. Its window comes from WindowProgramProbe.design.
//
// Usage: armctl_window_program_probe <close|thread|idle> --backend=headless

#include "WindowProgramProbe_design.h"

#include <runtime/image/ProgramImage.h>
#include <runtime/services/RuntimeCallTable.h>

#include <units/WindowUnit.h>

#include <platform/window/WindowSystem.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

namespace {

std::string g_scenario;

void exit_routine() {
    std::printf("exit routine\n");
}

int program_entry() {
    auto& table = runtime::runtime_call_table();
    table.runtime_notify(6, 0, 0, 0, 0, 0);
    table.runtime_notify(3, reinterpret_cast<std::intptr_t>(exit_routine), 0, 0, 0, 0);
    table.load_window(window_program::StartWindowId);
    table.run_message_loop();
    return 0;
}

} // namespace

namespace window_program {

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

} // namespace window_program

int main(int argc, char** argv) {
    if (argc < 2)
        return 2;
    g_scenario = argv[1];
    return runtime::program_main(argc, argv, program_entry);
}
