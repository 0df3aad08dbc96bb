// The arm controller: registers its exit routine, loads its window and runs
// the message loop until the window is closed.

#include "ArmController_design.h"
#include "Runtime.h"

#include <runtime/image/ProgramImage.h>
#include <runtime/services/RuntimeNotify.h>

#include <ArmctlVersion.h>

#include <cstdio>
#include <cstring>

namespace app {
void exit_routine();
}

namespace {

int program_entry() {
    auto& table = app::calls();
    table.runtime_notify(static_cast<std::int32_t>(runtime::RuntimeService::Initialize), 0, 0, 0, 0,
                         0);
    table.runtime_notify(static_cast<std::int32_t>(runtime::RuntimeService::RegisterExitRoutine),
                         reinterpret_cast<std::intptr_t>(&app::exit_routine), 0, 0, 0, 0);
    table.load_window(app::StartWindowId);
    table.run_message_loop();
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    // Answered before the runtime starts, so it needs no display.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("armctl %s\n", ARMCTL_VERSION);
            return 0;
        }
    }
    return runtime::program_main(argc, argv, program_entry);
}
