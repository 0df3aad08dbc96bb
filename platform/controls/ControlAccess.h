#pragma once

// The standard controls' answers to WM_GETOBJECT (access/Access.h). Each
// passes the query to the default procedure first and then says what the
// control knows better.

#include <platform/Types.h>

namespace platform::controls {

LRESULT button_access(HWND hwnd, WPARAM wp, LPARAM lp);
LRESULT static_access(HWND hwnd, WPARAM wp, LPARAM lp);
LRESULT statusbar_access(HWND hwnd, WPARAM wp, LPARAM lp);
LRESULT updown_access(HWND hwnd, WPARAM wp, LPARAM lp);
LRESULT scrollbar_access(HWND hwnd, WPARAM wp, LPARAM lp);

} // namespace platform::controls
