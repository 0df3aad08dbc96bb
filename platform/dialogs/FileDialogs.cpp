// The open, save and browse-for-folder dialogs: the display's own choosers,
// with the rules the program relies on applied here so every display keeps
// them (filters parsed, default extension appended).

#include "Dialogs.h"
#include "platform/DisplayBackend.h"
#include <platform/window/WindowSystem.h>

namespace platform {

std::vector<std::pair<std::string, std::string>> parse_filter_text(std::string_view text) {
    std::vector<std::pair<std::string, std::string>> out;
    std::vector<std::string> fields;
    std::string current;
    for (char c : text) {
        if (c == '|' || c == '\0') {
            fields.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty())
        fields.push_back(current);
    for (std::size_t i = 0; i + 1 < fields.size(); i += 2)
        if (!fields[i].empty() || !fields[i + 1].empty())
            out.emplace_back(fields[i], fields[i + 1]);
    return out;
}

namespace {

bool has_extension(const std::string& path) {
    auto slash = path.find_last_of('/');
    auto dot = path.find_last_of('.');
    return dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
}

} // namespace

std::optional<FileDialogAnswer> run_file_dialog(const FileDialogRequest& request) {
    DisplayBackend* b = backend();
    if (!b)
        return std::nullopt;
    auto answer = b->file_dialog(request);
    if (!answer || answer->path.empty())
        return std::nullopt;
    if (!request.default_extension.empty() && !has_extension(answer->path))
        answer->path += "." + request.default_extension;
    return answer;
}

std::optional<std::string> run_folder_dialog(const FolderDialogRequest& request) {
    DisplayBackend* b = backend();
    if (!b)
        return std::nullopt;
    auto answer = b->folder_dialog(request);
    if (!answer || answer->empty())
        return std::nullopt;
    return answer;
}

} // namespace platform
