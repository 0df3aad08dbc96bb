#pragma once

// Window pictures kept in memory the X server reads too (the MIT-SHM
// extension): a changed part goes to the window as one request that names
// where it lies, without being copied into a request or a buffer on the way.
// The server reads the memory when it carries the request out, which may be
// after we have painted there again; what it then shows is newer, never
// older, and is shown again with the next present. Private to the GTK display.

#include <cairo.h>

#include <cstdint>

namespace platform::gtk_shared {

// A picture in shared memory, or null when the X server cannot share memory
// with us (another machine, no extension, another pixel layout): the caller
// makes a plain one then.
cairo_surface_t* create(int width, int height);

// Whether pictures made from now on may be shared (by default they may):
// the tests try the plain way on a server that shares too.
void allow(bool allowed);

// Whether `picture` is one of those.
bool is_shared(cairo_surface_t* picture);

// Puts the parts `region` of a shared picture onto the X window `xid` with
// the graphics context `gc`, at (x, y) in the window. With `tell_when_read`
// the server sends one completion event (completion_type()) after the last,
// so after all of them: it carries requests out in order. False when there
// was nothing to put.
bool put(cairo_surface_t* picture, unsigned long xid, void* gc, const cairo_region_t* region, int x,
         int y, bool tell_when_read);

// The type of the X event that says a put has been read; -1 without sharing.
int completion_type();

// Marks in memory the server writes: the server sets a mark when it carries
// out the request, so after every request sent before it. A mark tells that
// puts have been read without an event coming back (and waking us) for
// them. Available where the server shares pixmaps too.
bool marks_available();
// Sends a mark after the requests queued so far; its number.
std::uint32_t send_mark();
// Whether the server has set mark `mark` (or a later one).
bool mark_passed(std::uint32_t mark);

} // namespace platform::gtk_shared
