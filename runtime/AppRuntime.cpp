#include "AppRuntime.h"

#include "ErrorReport.h"
#include "HostNotify.h"
#include "LibraryInfo.h"
#include "ProgramHeader.h"
#include "RuntimeHeap.h"
#include "RuntimeMessages.h"
#include "TemplateLoader.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

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

std::string AppRuntime::program_directory_with_separator() const {
    return m_program_directory + '/';
}

void AppRuntime::initialize() {
    std::error_code error;
    auto program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        set_program_path(program.string());
        // When the directory cannot be entered the program runs from where it was started.
        if (!m_program_directory.empty())
            std::filesystem::current_path(m_program_directory, error);
    }
    if (!m_header)
        return;
    // The libraries hear of the runtime before the templates are read.
    for (std::uint32_t i = 0; m_header->libraries && i < m_header->library_count; ++i) {
        const LibraryInfo* library = m_header->libraries[i];
        if (library && library->notify)
            library->notify(LibraryNotifyStartUp, reinterpret_cast<std::intptr_t>(host_notify), 0);
    }
    auto adopted = adopt_header(*m_header);
    if (adopted.is_error())
        report_runtime_error(adopted.error().message);
}

ErrorOr<void> AppRuntime::adopt_header(const ProgramHeader& header) {
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

    m_window_templates.clear();
    if (header.template_data && header.template_length > 0) {
        auto windows =
            load_window_templates({header.template_data, header.template_length}, header.code_base);
        if (windows.is_error())
            return windows.error();
        m_window_templates = windows.release_value();
    }
    return {};
}

ErrorOr<const WindowTemplate*> AppRuntime::find_start_window(std::uint32_t window_id) const {
    for (auto& window : m_window_templates) {
        if (window.window_id == window_id)
            return &window;
    }
    return RuntimeError{messages::StartWindowLoadFailed};
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
    // Every library's data word is 0: none of them hands one back.
    for (std::uint32_t i = 0; m_header && m_header->libraries && i < m_header->library_count; ++i) {
        const LibraryInfo* library = m_header->libraries[i];
        if (library && library->notify)
            library->notify(LibraryNotifyShutdown, 0, 0);
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
