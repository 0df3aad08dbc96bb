#include "DisplayBackend.h"

#include <platform/dialogs/Dialogs.h>

#include <cairo.h>

namespace platform {

cairo_surface_t* DisplayBackend::create_picture(HWND, int width, int height) {
    return cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
}

void DisplayBackend::present_moved(HWND top, cairo_surface_t* surface, const Rect& from, int dx,
                                   int dy) {
    present(top, surface, from.offset(dx, dy));
}

std::optional<FileDialogAnswer> DisplayBackend::file_dialog(const FileDialogRequest&) {
    return std::nullopt;
}

std::optional<std::string> DisplayBackend::folder_dialog(const FolderDialogRequest&) {
    return std::nullopt;
}

void DisplayBackend::message_box_shown(HWND, int, std::string_view, std::string_view) {}

} // namespace platform
