#include "AppRuntime.h"

#include "ProgramHeader.h"
#include "RuntimeHeap.h"

#include <cstdio>
#include <cstdlib>

namespace runtime {

AppRuntime& AppRuntime::the() {
    static AppRuntime app;
    return app;
}

void AppRuntime::set_program_path(std::string_view full_path) {
    auto slash = full_path.rfind('/');
    if (slash == std::string_view::npos) {
        m_program_directory.clear();
        m_program_file_name = full_path;
        return;
    }
    m_program_directory = full_path.substr(0, slash);
    m_program_file_name = full_path.substr(slash + 1);
}

std::string AppRuntime::program_directory_with_separator() const { return m_program_directory + '/'; }

void AppRuntime::adopt_header(const ProgramHeader& header) {
    m_header = &header;
    m_mode = header.mode;
    m_header_word2 = header.header_word2;
    m_header_version = header.header_version + 1;
    if (header.constant_area && header.constant_length > 0)
        RuntimeHeap::the().add_static_range(header.constant_area, header.constant_length);

    std::vector<std::string> file_names;
    std::vector<std::string> export_names;
    if (header.dll_file_names && header.export_names) {
        for (std::uint32_t i = 0; i < header.dll_command_count; ++i) {
            const char* file = header.dll_file_names[i];
            const char* name = header.export_names[i];
            file_names.emplace_back(file ? file : "");
            export_names.emplace_back(name ? name : "");
        }
    }
    m_dll_commands.set_commands(std::move(file_names), std::move(export_names));
}

void AppRuntime::shutdown() {
    suppress_events();
    if (m_shutting_down)
        return;
    m_shutting_down = true;
    if (auto routine = m_exit_routine) {
        m_exit_routine = nullptr;
        routine();
    }
    m_dll_commands.release_all();
}

void AppRuntime::end_program(int exit_code) {
    shutdown();
    std::fflush(nullptr);
    // Static destructors are skipped on purpose: the process may be ending
    // from inside a handler or a failed start-up, with objects half-built.
    std::_Exit(exit_code);
}

} // namespace runtime
