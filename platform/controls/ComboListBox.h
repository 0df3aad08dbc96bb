#pragma once

// "ComboLBox": the list of a combo box. For the drop-down kinds it is a
// top-level pop-up owned by the combo box's top-level window and shown
// below the combo box without taking the activation; for CBS_SIMPLE it is a
// child of the combo box, always shown. It draws the combo box's items and
// tells the combo box what the user did through WM_COMMAND with the
// platform's list notification codes and the list's handle.

#include "platform/Types.h"

namespace platform::controls {

class ComboBoxItems;

// List notifications, with the platform's values.
constexpr UINT LBN_SELCHANGE = 1; // the user chose the current item
constexpr UINT LBN_DBLCLK = 2;
constexpr UINT LBN_SELCANCEL = 3; // a click outside, or the capture was lost: cancel

// The control id the platform gives a combo box's list.
constexpr int k_combo_list_id = 1000;

LRESULT combo_list_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
void register_combo_list_class();

// The list reads `items`, which the combo box owns and outlives it with.
// A pop-up list starts hidden. Returns nullptr on failure.
HWND create_combo_list(HWND combo, ComboBoxItems& items, bool popup, const Rect& rect);

// The highlighted item, -1 for none. Setting it scrolls it into view.
int combo_list_current(HWND list);
void combo_list_set_current(HWND list, int index);
int combo_list_item_height(HWND list);
void combo_list_set_item_height(HWND list, int height);
// How many items the list shows at once (at least 1).
int combo_list_page_size(HWND list);
// The first item shown; setting it scrolls as far towards it as the items allow.
int combo_list_top_index(HWND list);
void combo_list_set_top_index(HWND list, int index);
// Keeps the current item and the scroll position within the items after
// they changed, and repaints.
void combo_list_items_changed(HWND list);

// A dropped list follows the mouse: it takes the capture, highlights the
// item under the mouse and reports a click on an item (LBN_SELCHANGE) or
// outside (LBN_SELCANCEL). With `button_down` the press that dropped the
// list is still held, so its release over an item chooses that item.
void combo_list_begin_tracking(HWND list, bool button_down);
// Stops following the mouse and gives up the capture without notifying.
void combo_list_end_tracking(HWND list);

} // namespace platform::controls
