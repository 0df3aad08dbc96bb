#include "AppRuntime.h"

#include <runtime/image/LibraryInfo.h>
#include <runtime/image/ProgramHeader.h>
#include <runtime/image/TemplateLoader.h>
#include <runtime/services/ErrorReport.h>
#include <runtime/services/HostNotify.h>
#include <runtime/values/RuntimeHeap.h>
#include <runtime/windows/EventDispatch.h>
#include <runtime/windows/RuntimeMessages.h>
#include <runtime/windows/UnitObject.h>
#include <runtime/windows/WindowCreation.h>

#include <platform/TickCount.h>
#include <platform/window/WindowSystem.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace runtime {

namespace {

constexpr const char* MessageWindowClass = "ArmctlRuntimeMessageWindow";

platform::LRESULT message_window_proc(platform::HWND hwnd, platform::UINT msg, platform::WPARAM wp,
                                      platform::LPARAM lp) {
    if (msg == MessageShutdownRequest)
        AppRuntime::the().end_program(static_cast<int>(wp));
    return platform::def_window_proc(hwnd, msg, wp, lp);
}

std::string module_path() {
    std::error_code error;
    auto program = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : program.string();
}

} // namespace

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
    if (!m_program_directory_with_separator.empty())
        return m_program_directory_with_separator;
    return m_program_directory + '/';
}

bool AppRuntime::init_instance() {
    std::string path = module_path();
    auto slash = path.rfind('/');
    m_program_directory_with_separator =
        slash == std::string::npos ? "" : path.substr(0, slash + 1);
    if (!m_program_entry)
        return false;
    return m_program_entry() != 0;
}

int AppRuntime::exit_instance() {
    shutdown(0);
    return platform::Application::exit_instance();
}

void AppRuntime::initialize() {
    if (m_header) {
        m_mode = m_header->mode;
        m_header_word2 = m_header->header_word2;
        m_header_version = m_header->header_version + 1;
    }
    std::string path = module_path();
    if (!path.empty()) {
        set_program_path(path);
        // When the directory cannot be entered the program runs from where it was started.
        std::error_code error;
        if (!m_program_directory.empty())
            std::filesystem::current_path(m_program_directory, error);
    }
    create_message_window();
    m_main_thread = std::this_thread::get_id();
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

void AppRuntime::create_message_window() {
    if (m_message_window || !platform::backend())
        return;
    platform::WindowClass cls;
    cls.name = MessageWindowClass;
    cls.proc = message_window_proc;
    cls.cursor = platform::load_cursor(platform::IDC_ARROW);
    platform::register_class(cls);
    m_message_window = platform::create_window_ex(platform::WS_EX_TOOLWINDOW, MessageWindowClass,
                                                  "", 0, 0, 0, 0, 0, nullptr, 0);
}

ErrorOr<void> AppRuntime::adopt_header(const ProgramHeader& header) {
    m_header = &header;
    m_mode = header.mode;
    m_header_word2 = header.header_word2;
    m_header_version = header.header_version + 1;
    if (header.constant_area && header.constant_length > 0 &&
        !RuntimeHeap::the().is_static(header.constant_area))
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

    m_libraries.fill(nullptr);
    m_library_data.fill(0);
    m_library_count =
        header.libraries ? std::min<std::size_t>(header.library_count, LibrarySlots) : 0;
    for (std::size_t i = 0; i < m_library_count; ++i)
        m_libraries[i] = header.libraries[i];

    destroy_all_windows();
    m_windows.clear();
    if (header.template_data && header.template_length > 0) {
        auto windows =
            load_window_templates({header.template_data, header.template_length}, header.code_base);
        if (windows.is_error())
            return windows.error();
        for (auto& stored : windows.value())
            m_windows.push_back(std::make_unique<WindowObject>(std::move(stored)));
    }
    return {};
}

WindowObject* AppRuntime::window_at(std::size_t position) const {
    return position < m_windows.size() ? m_windows[position].get() : nullptr;
}

WindowObject* AppRuntime::find_window(std::uint32_t window_id) const {
    for (auto& window : m_windows) {
        if (window->window_id == window_id)
            return window.get();
    }
    return nullptr;
}

ErrorOr<const WindowObject*> AppRuntime::find_start_window(std::uint32_t window_id) const {
    if (auto* window = find_window(window_id))
        return static_cast<const WindowObject*>(window);
    return RuntimeError{messages::StartWindowLoadFailed};
}

bool AppRuntime::any_window_live() const {
    return std::any_of(m_windows.begin(), m_windows.end(),
                       [](auto& window) { return window->has_live_window(); });
}

void AppRuntime::destroy_all_windows() {
    // By position: destroying one may reach handlers that look at the list.
    for (std::size_t i = 0; i < m_windows.size(); ++i) {
        if (platform::HWND hwnd = m_windows[i]->system_window())
            platform::destroy_window(hwnd);
    }
}

void AppRuntime::load_start_window(std::uint32_t window_id) {
    WindowObject* window = find_window(window_id);
    if (!window || !create_window(*window, CreateReuse::No, CreateModal::No, nullptr))
        report_runtime_error(messages::StartWindowLoadFailed);
}

const UnitTypeInfo* AppRuntime::unit_type(std::uint32_t type_code) const {
    if (!m_header)
        return nullptr;
    return find_unit_type(*m_header, type_code);
}

void AppRuntime::unit_destroyed(std::uint32_t window_id, std::uint32_t unit_id) {
    if (is_recreating_unit())
        return;
    WindowObject* window = find_window(window_id);
    if (!window)
        return;
    if (unit_id != 0) {
        if (UnitRecord* unit = window->find_unit(unit_id)) {
            unit->object = nullptr;
            unit->cursor = nullptr;
        }
        return;
    }
    window->restore_unit_list();
    if (window->is_modal() && m_modal_active)
        m_modal_active = false;
    if (m_loop_started && !any_window_live())
        platform::post_quit_message(0);
}

// ---- Message loop ----------------------------------------------------------

void AppRuntime::run_message_loop() {
    m_loop_started = true;
    if (any_window_live())
        message_loop(0);
}

void AppRuntime::message_loop(int mode) {
    platform::Msg waiting;
    bool idle = true;
    long idle_count = 0;
    for (;;) {
        while (idle && !platform::peek_message(waiting)) {
            for (std::size_t i = m_idle_callbacks.size(); i-- > 0;) {
                if (i >= m_idle_callbacks.size())
                    continue;
                IdleCallback callback = m_idle_callbacks[i];
                if (!platform::is_window(callback.window)) {
                    m_idle_callbacks.erase(m_idle_callbacks.begin() +
                                           static_cast<std::ptrdiff_t>(i));
                    continue;
                }
                callback.function(callback.argument);
            }
            if (!on_idle(idle_count++))
                idle = false;
            if (mode == 1 && !m_modal_active)
                return;
        }
        do {
            if (mode == 1 && current_message().message == platform::WM_QUIT)
                return;
            if (!pump_message())
                return;
            if (mode == 1 && !m_modal_active)
                return;
            if (is_idle_message(current_message())) {
                idle = true;
                idle_count = 0;
            }
        } while (platform::peek_message(waiting));
    }
}

void AppRuntime::dispatch_waiting_messages() {
    // A bound, so that a message that posts itself again cannot hold the caller.
    platform::Msg msg;
    for (int n = 0; n < 100000 && platform::peek_message(msg); ++n) {
        if (msg.message == platform::WM_QUIT)
            return;
        if (!platform::peek_message(msg, nullptr, 0, 0, platform::PM_REMOVE))
            return;
        platform::translate_message(msg);
        platform::dispatch_message(msg);
    }
}

bool AppRuntime::on_idle(long count) {
    if (count == 0) {
        m_framework_idle_pending = true;
        m_idle_start = platform::get_tick_count();
        m_no_more_idle.clear();
    }
    if (m_framework_idle_pending) {
        m_framework_idle_pending = platform::Application::on_idle(count);
        return true;
    }
    if (count == 1)
        return true;
    std::uint32_t elapsed = platform::get_tick_count() - m_idle_start;
    bool more = false;
    for (std::size_t i = 0; i < m_windows.size(); ++i) {
        WindowObject* window = m_windows[i].get();
        std::uint32_t id = window->window_id;
        if (!window->has_live_window() ||
            std::find(m_no_more_idle.begin(), m_no_more_idle.end(), id) != m_no_more_idle.end())
            continue;
        EventRequest request;
        request.window_id = id;
        request.event = window_event::Idle;
        request.arg_count = 1;
        request.args[0] = elapsed;
        raise_event(request);
        if (request.result_present && request.result != 0)
            more = true;
        else
            m_no_more_idle.push_back(id);
    }
    return more;
}

bool AppRuntime::pre_translate_for_window(platform::HWND hwnd, platform::Msg& msg) {
    auto* object = reinterpret_cast<UnitObject*>(platform::send_message(hwnd, MessageQueryObject));
    return object && object->pre_translate_message(msg);
}

void AppRuntime::register_idle_callback(const IdleCallback& callback) {
    if (!platform::is_window(callback.window) || !callback.function)
        return;
    for (auto& registered : m_idle_callbacks) {
        if (registered.window == callback.window)
            return;
    }
    m_idle_callbacks.push_back(callback);
}

void AppRuntime::unregister_idle_callback(platform::HWND window) {
    std::erase_if(m_idle_callbacks, [&](auto& callback) { return callback.window == window; });
}

// ---- Shutdown --------------------------------------------------------------

bool AppRuntime::shutdown(int exit_code) {
    suppress_events();
    if (m_main_thread && *m_main_thread != std::this_thread::get_id()) {
        if (m_message_window)
            platform::send_message(m_message_window, MessageShutdownRequest,
                                   static_cast<platform::WPARAM>(exit_code));
        if (!m_shutting_down) {
            std::fflush(nullptr);
            std::_Exit(exit_code);
        }
        return false;
    }
    if (m_shutting_down)
        return false;
    m_shutting_down = true;
    m_idle_callbacks.clear();
    destroy_all_windows();
    m_windows.clear();
    if (auto routine = m_exit_routine) {
        m_exit_routine = nullptr;
        routine();
    }
    for (std::size_t i = 0; i < m_library_count; ++i) {
        const LibraryInfo* library = m_libraries[i];
        if (library && library->notify)
            library->notify(LibraryNotifyShutdown, m_library_data[i], 0);
    }
    m_libraries.fill(nullptr);
    m_library_data.fill(0);
    m_library_count = 0;
    m_dll_commands.release_all();
    if (m_message_window) {
        platform::destroy_window(m_message_window);
        m_message_window = nullptr;
    }
    return true;
}

void AppRuntime::end_program(int exit_code) {
    shutdown(exit_code);
    std::fflush(nullptr);
    // Static destructors are skipped on purpose: the process may be ending
    // from inside a handler or a failed start-up, with objects half-built.
    std::_Exit(exit_code);
}

} // namespace runtime
