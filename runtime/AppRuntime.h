#pragma once

// The runtime's single application object: what start-up sets, what the
// call slots and services read, the window list, the message loop and the
// road out of the process. It takes the place of the framework's application
// class: the platform's entry calls its instance-initialisation hook, which
// runs the program's entry routine.

#include <runtime/services/DllCommandTable.h>
#include <runtime/values/ErrorOr.h>
#include <runtime/windows/WindowObject.h>

#include <platform/Application.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace runtime {

struct LibraryInfo;
struct ProgramHeader;
struct UnitTypeInfo;

using ExitRoutine = void (*)();
using ProgramEntry = int (*)();

inline constexpr int LibrarySlots = 7;

// Message to the message window: shut down with exit code wParam on the main thread.
inline constexpr platform::UINT MessageShutdownRequest = 0x83E7;

// A registered idle callback: called while the loop is idle, as long as its window lives.
struct IdleCallback {
    platform::HWND window = nullptr;
    void (*function)(std::intptr_t) = nullptr;
    std::intptr_t argument = 0;
};

class AppRuntime final : public platform::Application {
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

    // The program: its header and entry routine, laid down by the build
    // beside the runtime (see ProgramImage.h). The header must outlive the process's use of it.
    void set_program_header(const ProgramHeader* header) { m_header = header; }
    void set_program_entry(ProgramEntry entry) { m_program_entry = entry; }

    // Service 6: runtime initialisation steps 1 to 13. A malformed template
    // stream is fatal.
    void initialize();

    // The parts of initialisation that read the header (mode words, constant
    // area, DLL commands, library table, window templates); returns the
    // template loader's error instead of reporting it. Windows loaded before
    // are destroyed and replaced.
    ErrorOr<void> adopt_header(const ProgramHeader& header);

    // ---- Window list
    std::size_t window_count() const { return m_windows.size(); }
    // Service 1001 hands out its address.
    const std::vector<std::unique_ptr<WindowObject>>& windows() const { return m_windows; }
    WindowObject* window_at(std::size_t position) const;
    WindowObject* find_window(std::uint32_t window_id) const;
    // The stored window to load as the start window; its absence is the
    // error "载入启动窗口失败".
    ErrorOr<const WindowObject*> find_start_window(std::uint32_t window_id) const;
    bool any_window_live() const;
    // Destroys every live window (its units go with it).
    void destroy_all_windows();

    // Slot 11: loads and shows the start window; failure is fatal.
    void load_start_window(std::uint32_t window_id);

    // The descriptor of a library-defined type code from the library table, or null.
    const UnitTypeInfo* unit_type(std::uint32_t type_code) const;
    const ProgramHeader* header() const { return m_header; }
    std::int32_t mode() const { return m_mode; }
    std::int32_t header_word2() const { return m_header_word2; }
    std::int32_t header_version() const { return m_header_version; }

    DllCommandTable& dll_commands() { return m_dll_commands; }

    // ---- Message loop
    // Slot 10: returns at once when no window has a live system window.
    void run_message_loop();
    // Mode 0 is the main loop; mode 1 runs until the modal flag is cleared.
    void message_loop(int mode);
    bool is_message_loop_started() const { return m_loop_started; }
    bool is_modal_active() const { return m_modal_active; }
    void set_modal_active(bool active) { m_modal_active = active; }
    // Dispatches the messages already waiting, stopping at WM_QUIT (left queued).
    void dispatch_waiting_messages();

    // Service 1012 / 1013.
    void register_idle_callback(const IdleCallback& callback);
    void unregister_idle_callback(platform::HWND window);
    std::size_t idle_callback_count() const { return m_idle_callbacks.size(); }

    // Service 2000: a unit (or, with unit id 0, a window) was destroyed.
    void unit_destroyed(std::uint32_t window_id, std::uint32_t unit_id);
    bool is_recreating_unit() const { return m_recreating_unit > 0; }
    void begin_unit_recreation() { ++m_recreating_unit; }
    void end_unit_recreation() { --m_recreating_unit; }

    platform::HWND message_window() const { return m_message_window; }
    bool is_shutting_down() const { return m_shutting_down; }

    // Shuts down (the exit routine runs once if still registered) and ends
    // the process with the exit code. From another thread the request is
    // forwarded to the main thread.
    [[noreturn]] void end_program(int exit_code);
    // Shutdown steps 1 to 12. Returns false when the request was forwarded
    // to the main thread (or shutdown had already begun there).
    bool shutdown(int exit_code);

    // ---- Framework hooks
    bool init_instance() override;
    int exit_instance() override;
    bool on_idle(long count) override;

  protected:
    bool pre_translate_for_window(platform::HWND hwnd, platform::Msg& msg) override;

  private:
    AppRuntime() = default;
    void create_message_window();

    ExitRoutine m_exit_routine = nullptr;
    ProgramEntry m_program_entry = nullptr;
    // Shutdown from another thread raises it too.
    std::atomic<int> m_event_suppression = 0;
    std::optional<EventSource> m_event_source;
    bool m_shutting_down = false;
    bool m_loop_started = false;
    bool m_modal_active = false;
    int m_recreating_unit = 0;
    std::string m_program_directory;
    std::string m_program_file_name;
    std::string m_program_directory_with_separator;
    std::string m_dll_directory;
    const ProgramHeader* m_header = nullptr;
    std::int32_t m_mode = 0;
    std::int32_t m_header_word2 = 0;
    std::int32_t m_header_version = 0;
    std::array<const LibraryInfo*, LibrarySlots> m_libraries{};
    std::array<std::intptr_t, LibrarySlots> m_library_data{};
    std::size_t m_library_count = 0;
    DllCommandTable m_dll_commands;
    std::vector<std::unique_ptr<WindowObject>> m_windows;
    std::vector<IdleCallback> m_idle_callbacks;
    std::optional<std::thread::id> m_main_thread;
    platform::HWND m_message_window = nullptr;

    // Idle hook state.
    bool m_framework_idle_pending = false;
    std::uint32_t m_idle_start = 0;
    std::vector<std::uint32_t> m_no_more_idle;
};

} // namespace runtime
