#pragma once

// "EDIT": single- and multi-line edit boxes over GBK text, with caret,
// selection, clipboard, one-step undo, read-only, password and length limit.

#include "platform/Types.h"

#include <string>

namespace platform::controls {

LRESULT edit_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

// What the box shows (password characters instead of the text, replacement
// marks for bytes that are not GBK), as UTF-8 with lines joined by "\n".
std::string edit_display_text(HWND hwnd);

} // namespace platform::controls
