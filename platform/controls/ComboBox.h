#pragma once

// "COMBOBOX": a selection field over a list of items. CBS_SIMPLE shows an
// edit field with the list always below it; CBS_DROPDOWN an edit field with
// a button that drops the list; CBS_DROPDOWNLIST a field showing the chosen
// item that drops the list wherever it is clicked. The list is a
// "ComboLBox" window (ComboListBox.h); the edit field an "EDIT" child.
//
// A drop-down combo box's window is always as high as its selection field
// plus the frame, whatever height it is created or resized with, as on the
// platform: that height is kept as the "dropped height" (the combo box and
// its open list together), from which the list's height is computed.

#include "ComboBoxItems.h"
#include "platform/Types.h"

namespace platform::controls {

LRESULT combobox_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

// ---- Shared by the combo box's source files -----------------------------

struct ComboBoxState {
    HWND self = nullptr;
    HWND edit = nullptr; // CBS_SIMPLE and CBS_DROPDOWN
    HWND list = nullptr;
    std::uint32_t kind = 0; // CBS_SIMPLE, CBS_DROPDOWN or CBS_DROPDOWNLIST
    bool sorted = false;
    ComboBoxItems items;
    int selected = -1;
    int field_height = 0;          // the selection field, inside the frame
    int item_height = 0;           // one row of the list
    bool field_height_set = false; // set by CB_SETITEMHEIGHT, not the font
    bool item_height_set = false;
    int dropped_height = 0;
    bool dropped = false;
    bool closing = false; // between CBN_SELENDOK/CANCEL and the list's hiding
    bool focused = false;
    // Set while the combo box changes its edit field's text itself, so the
    // edit field's notifications do not come back as the user's edits.
    bool quiet_edit = false;
};

constexpr int k_combo_frame = 2; // frame line plus a pixel of padding
constexpr int k_combo_button_width = 17;

ComboBoxState* combo_state(HWND hwnd);
int combo_control_height(const ComboBoxState& st);
Rect combo_button_rect(const ComboBoxState& st);
// How many rows the dropped list shows.
int combo_list_rows(const ComboBoxState& st);
// Sets the selection without notifying, and shows it in the field.
void combo_set_selection(ComboBoxState& st, int index);
// Puts the selected item's text in the edit field, quietly.
void combo_update_edit(ComboBoxState& st);

// What the user does: ComboBoxDropDown.cpp.
void combo_drop_down(ComboBoxState& st, bool button_down);
// Closes the list: CBN_SELENDOK or CBN_SELENDCANCEL, then CBN_CLOSEUP.
void combo_roll_up(ComboBoxState& st, bool ok);
void combo_flip(ComboBoxState& st);
void combo_on_button_down(ComboBoxState& st, Point p);
// Returns whether the key was the combo box's to handle.
bool combo_on_key_down(ComboBoxState& st, UINT vk);
bool combo_on_sys_key_down(ComboBoxState& st, UINT vk, LPARAM flags);
void combo_on_char(ComboBoxState& st, unsigned ch);
void combo_on_wheel(ComboBoxState& st, int delta);
void combo_on_list_command(ComboBoxState& st, UINT code);
void combo_on_edit_command(ComboBoxState& st, UINT code);
void combo_on_set_focus(ComboBoxState& st);
void combo_on_kill_focus(ComboBoxState& st, HWND new_focus);
LRESULT combo_dialog_code(const ComboBoxState& st, LPARAM lp, LRESULT base);

// What an assistive client asks and does: ComboAccess.cpp.
LRESULT combo_access(ComboBoxState& st, HWND hwnd, WPARAM wp, LPARAM lp);
// Chooses item `index` as a click in the dropped list would; posted by a
// client's selection so that its call returns first.
constexpr UINT k_combo_access_choose = 0x0166;
void combo_access_choose(ComboBoxState& st, int index);
// Routes the edit field's navigation keys to the combo box.
void combo_subclass_edit(HWND edit);

} // namespace platform::controls
