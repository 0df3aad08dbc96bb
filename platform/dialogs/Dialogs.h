#pragma once

// The message box and the common dialogs: open and save file, browse for a
// folder. Texts are GBK.

#include <platform/Types.h>

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform {

// ---- Message box ----
constexpr UINT MB_OK = 0x00000000;
constexpr UINT MB_OKCANCEL = 0x00000001;
constexpr UINT MB_ABORTRETRYIGNORE = 0x00000002;
constexpr UINT MB_YESNOCANCEL = 0x00000003;
constexpr UINT MB_YESNO = 0x00000004;
constexpr UINT MB_RETRYCANCEL = 0x00000005;
constexpr UINT MB_TYPEMASK = 0x0000000F;
constexpr UINT MB_ICONHAND = 0x00000010;
constexpr UINT MB_ICONERROR = 0x00000010;
constexpr UINT MB_ICONQUESTION = 0x00000020;
constexpr UINT MB_ICONEXCLAMATION = 0x00000030;
constexpr UINT MB_ICONWARNING = 0x00000030;
constexpr UINT MB_ICONASTERISK = 0x00000040;
constexpr UINT MB_ICONINFORMATION = 0x00000040;
constexpr UINT MB_ICONMASK = 0x000000F0;
constexpr UINT MB_DEFBUTTON1 = 0x00000000;
constexpr UINT MB_DEFBUTTON2 = 0x00000100;
constexpr UINT MB_DEFBUTTON3 = 0x00000200;
constexpr UINT MB_DEFMASK = 0x00000F00;
constexpr UINT MB_APPLMODAL = 0x00000000;
constexpr UINT MB_SYSTEMMODAL = 0x00001000;
constexpr UINT MB_TASKMODAL = 0x00002000;
constexpr UINT MB_TOPMOST = 0x00040000;

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// Shows a modal message box and returns the ID of the button chosen. It runs
// a nested message loop, so timers and posted messages keep running. With
// no owner (or MB_TASKMODAL) every top-level window of the thread is
// disabled while it shows; otherwise the owner's top-level window.
int message_box(HWND owner, std::string_view text, std::string_view caption, UINT type);

// ---- File dialogs ----
constexpr std::uint32_t OFN_READONLY = 0x00000001;
constexpr std::uint32_t OFN_OVERWRITEPROMPT = 0x00000002;
constexpr std::uint32_t OFN_HIDEREADONLY = 0x00000004;
constexpr std::uint32_t OFN_NOCHANGEDIR = 0x00000008;
constexpr std::uint32_t OFN_ALLOWMULTISELECT = 0x00000200;
constexpr std::uint32_t OFN_PATHMUSTEXIST = 0x00000800;
constexpr std::uint32_t OFN_FILEMUSTEXIST = 0x00001000;
constexpr std::uint32_t OFN_CREATEPROMPT = 0x00002000;
constexpr std::uint32_t OFN_EXPLORER = 0x00080000;

enum class FileDialogKind { Open, Save };

struct FileDialogRequest {
    FileDialogKind kind = FileDialogKind::Open;
    HWND owner = nullptr;
    std::string title;
    std::string initial_folder;
    std::string file_name;
    // Pairs of description and pattern list ("*.txt;*.log"), in order.
    std::vector<std::pair<std::string, std::string>> filters;
    int filter_index = 1;          // 1-based, as the platform counts
    std::string default_extension; // without the dot
    std::uint32_t flags = 0;
};

struct FileDialogAnswer {
    std::string path; // full path, GBK
    int filter_index = 1;
};

// Returns the chosen path, or nothing when the user cancelled. The default
// extension is appended when the chosen name has none.
std::optional<FileDialogAnswer> run_file_dialog(const FileDialogRequest& request);

// Parses a filter text of '|'-separated (or NUL-separated) description and
// pattern pairs.
std::vector<std::pair<std::string, std::string>> parse_filter_text(std::string_view text);

// ---- Browse for a folder ----
struct FolderDialogRequest {
    HWND owner = nullptr;
    std::string title;
    std::string initial_folder;
    bool include_files = false; // a file may be chosen as well as a folder
};

std::optional<std::string> run_folder_dialog(const FolderDialogRequest& request);

} // namespace platform
