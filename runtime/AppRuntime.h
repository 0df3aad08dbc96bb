#pragma once

// The runtime's single application object: what start-up sets, what the
// call slots and services read, and the road out of the process.

#include "DllCommandTable.h"
#include "ErrorOr.h"
#include "WindowTemplate.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace runtime {

struct ProgramHeader;

using ExitRoutine = void (*)();

class AppRuntime {
  public:
    static AppRuntime& the();

    void set_exit_routine(ExitRoutine routine) { m_exit_routine = routine; }
    ExitRoutine exit_routine() const { return m_exit_routine; }

    // While the counter is above 0 no event reaches a handler.
    void suppress_events() { ++m_event_suppression; }
    void resume_events() {
        if (m_event_suppression > 0)
            --m_event_suppression;
    }
    int event_suppression() const { return m_event_suppression; }

    // The unit whose event a handler is running for; set by event dispatch.
    struct EventSource {
        std::uint32_t window_id = 0;
        std::uint32_t unit_id = 0;
    };
    void set_event_source(std::optional<EventSource> source) { m_event_source = source; }
    std::optional<EventSource> event_source() const { return m_event_source; }

    // Splits the program file's full path at its last separator into the
    // program directory (no trailing separator) and the file name.
    void set_program_path(std::string_view full_path);
    const std::string& program_directory() const { return m_program_directory; }
    const std::string& program_file_name() const { return m_program_file_name; }
    std::string program_directory_with_separator() const;

    // Directory searched first for DLL commands' libraries; empty when unset.
    void set_dll_directory(std::string directory) { m_dll_directory = std::move(directory); }
    const std::string& dll_directory() const { return m_dll_directory; }

    // The program's header, which the program's entry code names before it
    // asks for initialisation. It must outlive the process's use of it.
    void set_program_header(const ProgramHeader* header) { m_header = header; }

    // Service 6: program path (the directory becomes the current directory),
    // header words, constant area, DLL commands and the window templates. A
    // malformed template stream is fatal.
    void initialize();

    // The parts of initialisation that read the header; returns the template
    // loader's error instead of reporting it.
    ErrorOr<void> adopt_header(const ProgramHeader& header);

    const std::vector<WindowTemplate>& window_templates() const { return m_window_templates; }
    // The stored window to load as the start window; its absence is the
    // error "载入启动窗口失败".
    ErrorOr<const WindowTemplate*> find_start_window(std::uint32_t window_id) const;
    const ProgramHeader* header() const { return m_header; }
    std::int32_t mode() const { return m_mode; }
    std::int32_t header_word2() const { return m_header_word2; }
    std::int32_t header_version() const { return m_header_version; }

    DllCommandTable& dll_commands() { return m_dll_commands; }

    bool is_shutting_down() const { return m_shutting_down; }

    // Shuts down (the exit routine runs once if still registered) and ends
    // the process with the exit code.
    [[noreturn]] void end_program(int exit_code);

  private:
    void shutdown();

    ExitRoutine m_exit_routine = nullptr;
    int m_event_suppression = 0;
    std::optional<EventSource> m_event_source;
    bool m_shutting_down = false;
    std::string m_program_directory;
    std::string m_program_file_name;
    std::string m_dll_directory;
    const ProgramHeader* m_header = nullptr;
    std::int32_t m_mode = 0;
    std::int32_t m_header_word2 = 0;
    std::int32_t m_header_version = 0;
    DllCommandTable m_dll_commands;
    std::vector<WindowTemplate> m_window_templates;
};

} // namespace runtime
