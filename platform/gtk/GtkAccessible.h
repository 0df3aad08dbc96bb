#pragma once

// Private to the GTK display: our accessibility model (access/Access.h) as
// ATK objects, which GTK's own AT-SPI bridge carries to assistive clients.
//
// Each top-level window's drawing surface has an accessible that reports
// the window's children; each child window, and each part of one, is an
// AtkObject of ours, made when a client first asks for it and kept (one per
// object) until its window is destroyed, when it turns defunct. Its type
// implements only the interfaces the object needs (one GType per set).
// Everything here runs on the user-interface thread, in the GLib main
// context our message loop iterates; an action a client asks for is
// posted, and the call answers at once.

#include <platform/access/Access.h>

#include <gtk/gtk.h>

namespace platform::gtk_access {

// The drawing area of a top-level window, whose accessible speaks for the
// window's children.
GtkWidget* make_surface(HWND top);

// A new reference to the ATK object of `object`, made when there is none
// yet: a top-level window's is its surface's accessible. Null for an object
// that is not (or no longer) there.
AtkObject* ref_object(access::Object object);
// The ATK object of `object` if one was made, without a new reference.
AtkObject* peek_object(access::Object object);

// Our object behind an ATK object of ours; {} for any other.
access::Object object_of(AtkObject* atk);
// The window is going: its objects turn defunct and leave the registry, and
// its former parent's object says a child left.
void forget_window(HWND hwnd, HWND former_parent);
// Makes one of our ATK objects for `object`; the registry holds it.
AtkObject* make_object(access::Object object);
void set_defunct(AtkObject* atk);

AtkRole atk_role(access::Role role);
// Listens to the model's events once a client has asked for a first object.
void start_listening();

} // namespace platform::gtk_access
