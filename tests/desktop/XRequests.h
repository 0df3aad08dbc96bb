#pragma once

// What a window manager would ask of a window, sent straight to the X
// server (Xvfb runs without a window manager).

namespace platform::testing {

// Sends the WM_DELETE_WINDOW request that a window manager's close button
// sends. False when the display cannot be opened.
bool send_delete_request(unsigned long xid);

} // namespace platform::testing
