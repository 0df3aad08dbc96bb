#include "ProgramMain.h"

#include <runtime/services/ErrorReport.h>

#include <platform/BackendChoice.h>
#include <platform/dialogs/Dialogs.h>
#include <platform/window/WindowSystem.h>

#include <cstdio>

namespace runtime {

namespace {

void platform_message_box(const char* text, const char* caption, unsigned style) {
    platform::message_box(nullptr, text, caption, style);
}

} // namespace

int program_main(int argc, char** argv, const ProgramHeader& header, ProgramEntry entry) {
    auto opened = platform::open_backend(argc, argv);
    if (!opened.backend) {
        std::fprintf(stderr, "%s\n", opened.error.c_str());
        return 1;
    }
    if (!platform::initialize(opened.backend.get()))
        return 1;
    ErrorReport::the().set_message_box(platform_message_box);
    auto& app = AppRuntime::the();
    app.set_program_header(&header);
    app.set_program_entry(entry);
    int code = app.win_main();
    std::fflush(nullptr);
    // The display goes with the process; windows were destroyed by shutdown.
    opened.backend.release();
    return code;
}

} // namespace runtime
