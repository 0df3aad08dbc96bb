#pragma once

// The arm controller started and ended inside the calling process, on the
// display the caller has opened: the libraries hear of the runtime, the
// program's header is adopted and its window loaded, as the runtime's own
// start-up does, without the start-up taking over the process's folder or
// message loop. Tests and benchmarks drive it from there.

#include "ArmController_design.h"

#include <app/Units.h>

#include <runtime/AppRuntime.h>
#include <runtime/image/LibraryInfo.h>
#include <runtime/image/ProgramHeader.h>
#include <runtime/image/ProgramImage.h>
#include <runtime/services/HostNotify.h>

#include <platform/window/WindowSystem.h>

#include <cstdint>

namespace app {
void exit_routine();
}

namespace app_test {

// False when the program's header cannot be adopted.
inline bool start_program_in_process() {
    const runtime::ProgramHeader& header = runtime::program_image_header();
    for (std::uint32_t i = 0; i < header.library_count; ++i) {
        const runtime::LibraryInfo* library = header.libraries[i];
        if (library && library->notify)
            library->notify(runtime::LibraryNotifyStartUp,
                            reinterpret_cast<std::intptr_t>(runtime::host_notify), 0);
    }
    auto& runtime_app = runtime::AppRuntime::the();
    if (runtime_app.adopt_header(header).is_error())
        return false;
    runtime_app.load_start_window(app::StartWindowId);
    return true;
}

// Closes the windows, runs the program's exit routine and closes the display.
inline void end_program_in_process() {
    runtime::AppRuntime::the().destroy_all_windows();
    app::exit_routine();
    platform::shutdown();
}

} // namespace app_test
