#pragma once

// Well-known folders and the browse-for-folder dialog.

#include <runtime/values/TypedValue.h>

#include <cstdint>
#include <optional>
#include <string>

namespace commands {

// GetSpecialFolder(number): the folder's path in GBK ending in exactly one
// '/', or the empty text. The numbers keep their platform meaning and map to
// the XDG base and user directories:
//    1 documents            XDG_DOCUMENTS_DIR of user-dirs.dirs, else ~/Documents
//    2 favourites           none on Linux: the empty text
//    3 desktop              XDG_DESKTOP_DIR of user-dirs.dirs, else ~/Desktop
//    4 fonts                $XDG_DATA_HOME/fonts (the user's fontconfig folder)
//    5 start menu           $XDG_DATA_HOME/applications (the user's menu entries)
//    6 start menu programs  $XDG_DATA_HOME/applications (the same folder)
//    7 start-up programs    $XDG_CONFIG_HOME/autostart
//    8 application data     $XDG_DATA_HOME, by default ~/.local/share
//    9 the system folder    /usr
//   10 system programs      /usr/bin
//   11 temporary files      $TMPDIR, else /tmp
// As the XDG rules say, a relative or empty XDG_* value is ignored; user-dirs.dirs
// lives in $XDG_CONFIG_HOME (by default ~/.config). The folder is not created
// nor checked. A path that cannot be written in GBK, or that with its
// separator exceeds 259 bytes, gives the empty text.
void GetSpecialFolder(runtime::TypedValue* result, std::int32_t arg_count,
                      const runtime::TypedValue* args);

// The UTF-8 path of a special folder without its trailing separator rule
// applied; nothing for a number without a folder.
std::optional<std::string> special_folder_path(std::int32_t number);

// BrowseForFolder(title, include files = false): the chosen folder or file
// in GBK, or the empty text when the user cancels. While the dialog shows,
// every top-level window in the runtime's window list (HostNotify 2032 and
// 2033) is disabled; afterwards each gets its remembered enabled state
// back, then the remembered foreground and active windows are restored.
void BrowseForFolder(runtime::TypedValue* result, std::int32_t arg_count,
                     const runtime::TypedValue* args);

} // namespace commands
