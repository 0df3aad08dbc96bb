#include "FolderCommands.h"

#include "LibraryHost.h"

#include <platform/Encoding.h>
#include <platform/dialogs/Dialogs.h>
#include <platform/window/WindowSystem.h>
#include <runtime/values/ArrayBlock.h>
#include <runtime/values/ValueConversion.h>

#include <cstdlib>
#include <fstream>
#include <pwd.h>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace commands {

using runtime::TypedValue;
namespace type_code = runtime::type_code;

namespace {

// The platform's MAX_PATH, terminator included.
constexpr std::size_t MaxPath = 260;

std::optional<std::string> absolute_environment(const char* name) {
    const char* value = std::getenv(name);
    if (!value || value[0] != '/')
        return std::nullopt;
    return std::string(value);
}

std::optional<std::string> home_folder() {
    if (auto home = absolute_environment("HOME"))
        return home;
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found ||
        !found->pw_dir || found->pw_dir[0] != '/')
        return std::nullopt;
    return std::string(found->pw_dir);
}

std::optional<std::string> base_folder(const char* variable, const char* under_home) {
    if (auto value = absolute_environment(variable))
        return value;
    auto home = home_folder();
    if (!home)
        return std::nullopt;
    return *home + "/" + under_home;
}

std::optional<std::string> data_home() {
    return base_folder("XDG_DATA_HOME", ".local/share");
}

std::optional<std::string> config_home() {
    return base_folder("XDG_CONFIG_HOME", ".config");
}

// One entry of user-dirs.dirs: NAME="$HOME/Folder" or NAME="/absolute".
std::optional<std::string> user_folder(std::string_view key, const char* fallback_under_home) {
    auto home = home_folder();
    if (!home)
        return std::nullopt;
    if (auto config = config_home()) {
        std::ifstream file(*config + "/user-dirs.dirs");
        std::string line;
        while (std::getline(file, line)) {
            std::string_view rest = line;
            while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t'))
                rest.remove_prefix(1);
            if (!rest.starts_with(key) || rest.substr(key.size(), 2) != "=\"")
                continue;
            rest.remove_prefix(key.size() + 2);
            auto quote = rest.find('"');
            if (quote == std::string_view::npos)
                continue;
            rest = rest.substr(0, quote);
            if (rest.starts_with("$HOME"))
                return *home + std::string(rest.substr(5));
            if (rest.starts_with("/"))
                return std::string(rest);
        }
    }
    return *home + "/" + fallback_under_home;
}

std::optional<std::string> under(std::optional<std::string> folder, const char* name) {
    if (!folder)
        return std::nullopt;
    while (folder->size() > 1 && folder->back() == '/')
        folder->pop_back();
    return *folder + "/" + name;
}

// Exactly one trailing separator.
std::string with_one_separator(std::string path) {
    while (!path.empty() && path.back() == '/')
        path.pop_back();
    path.push_back('/');
    return path;
}

std::optional<std::string> text_argument(std::int32_t arg_count, const TypedValue* args,
                                         int index) {
    if (arg_count <= index || args[index].type != type_code::Text)
        return std::nullopt;
    return std::string(runtime::text_of(args[index].pointer<const char>()));
}

struct RememberedWindow {
    platform::HWND hwnd;
    bool enabled;
};

// Disables the program's top-level windows for the life of a dialog, and
// gives each its own state back afterwards.
class ApplicationModality {
  public:
    ApplicationModality() {
        m_active = platform::get_active_window();
        if (!platform::is_window(m_active))
            m_active = nullptr;
        m_foreground = platform::get_foreground_window();
        auto count = host_call(runtime::host_service::WindowCount);
        for (std::intptr_t i = 0; i < count; ++i) {
            auto hwnd = platform::handle_from_value(
                static_cast<std::uintptr_t>(host_call(runtime::host_service::WindowHandleAt, i)));
            if (!hwnd || !platform::is_window(hwnd) || platform::get_parent(hwnd))
                continue;
            m_windows.push_back({hwnd, platform::is_window_enabled(hwnd)});
            platform::enable_window(hwnd, false);
        }
    }
    ~ApplicationModality() {
        for (auto& window : m_windows) {
            if (platform::is_window(window.hwnd))
                platform::enable_window(window.hwnd, window.enabled);
        }
        if (platform::is_window(m_foreground))
            platform::set_foreground_window(m_foreground);
        if (platform::is_window(m_active))
            platform::set_active_window(m_active);
    }
    ApplicationModality(const ApplicationModality&) = delete;
    ApplicationModality& operator=(const ApplicationModality&) = delete;

    platform::HWND owner() const { return m_active; }

  private:
    platform::HWND m_active = nullptr;
    platform::HWND m_foreground = nullptr;
    std::vector<RememberedWindow> m_windows;
};

} // namespace

std::optional<std::string> special_folder_path(std::int32_t number) {
    switch (number) {
    case 1:
        return user_folder("XDG_DOCUMENTS_DIR", "Documents");
    case 3:
        return user_folder("XDG_DESKTOP_DIR", "Desktop");
    case 4:
        return under(data_home(), "fonts");
    case 5:
    case 6:
        return under(data_home(), "applications");
    case 7:
        return under(config_home(), "autostart");
    case 8:
        return data_home();
    case 9:
        return "/usr";
    case 10:
        return "/usr/bin";
    case 11: {
        const char* tmp = std::getenv("TMPDIR");
        return std::string(tmp && *tmp ? tmp : "/tmp");
    }
    default:
        return std::nullopt;
    }
}

void GetSpecialFolder(TypedValue* result, std::int32_t arg_count, const TypedValue* args) {
    result->type = type_code::Text;
    if (arg_count < 1)
        return;
    auto number = runtime::try_integer_from_value(args[0]);
    if (!number)
        return;
    auto path = special_folder_path(*number);
    if (!path)
        return;
    std::string gbk;
    if (!platform::utf8_to_gbk(with_one_separator(*path), gbk, platform::InvalidBytes::Fail) ||
        gbk.size() >= MaxPath)
        return;
    result->set_pointer(runtime::make_text(gbk));
}

void BrowseForFolder(TypedValue* result, std::int32_t arg_count, const TypedValue* args) {
    result->type = type_code::Text;
    auto title = text_argument(arg_count, args, 0);
    if (!title)
        return;
    bool include_files = false;
    if (arg_count >= 2 && args[1].type != type_code::None) {
        if (args[1].type != type_code::Boolean)
            return;
        include_files = args[1].low() != 0;
    }

    std::optional<std::string> chosen;
    {
        ApplicationModality modality;
        platform::FolderDialogRequest request;
        request.owner = modality.owner();
        request.title = *title;
        request.include_files = include_files;
        chosen = platform::run_folder_dialog(request);
    }
    if (chosen && !chosen->empty())
        result->set_pointer(runtime::make_text(*chosen));
}

} // namespace commands
