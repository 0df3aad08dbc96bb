#pragma once

// The accessibility model: what an assistive client (a screen reader, an
// automation tool) may read and do with our windows, free of any toolkit.
//
// An accessible object is a window or one part of it (a list item, a table
// cell, a status bar panel), named by the window and a part number (0: the
// window itself). Every window answers for itself, as it answers every
// other message: WM_GETOBJECT with a query kind in wParam and a Request in
// lParam. The default procedure answers what every window has (its text
// as the name, its states, its rectangle); a control's or a unit's
// procedure passes the query on first and then says what it knows better.
//
// Texts are UTF-8 here; text offsets count characters.

#include <platform/Types.h>
#include <platform/window/Messages.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform::access {

enum class Role : std::uint8_t {
    None, // not for the user: left out of the tree
    Frame,
    Dialog,
    Alert,
    Panel,
    Filler,
    PushButton,
    CheckBox,
    RadioButton,
    Label,
    Text,
    ComboBox,
    List,
    ListItem,
    Slider,
    SpinButton,
    ScrollBar,
    Image,
    Table,
    TableCell,
    ColumnHeader,
    RowHeader,
    StatusBar,
    ToolTip,
};
const char* role_name(Role role);

enum State : std::uint32_t {
    Showing = 1u << 0,
    Visible = 1u << 1,
    Enabled = 1u << 2, // also "sensitive"
    Focusable = 1u << 3,
    Focused = 1u << 4,
    Checked = 1u << 5,
    Editable = 1u << 6,
    SingleLine = 1u << 7,
    MultiLine = 1u << 8,
    Horizontal = 1u << 9,
    Vertical = 1u << 10,
    Expandable = 1u << 11,
    Expanded = 1u << 12,
    Selectable = 1u << 13,
    Selected = 1u << 14,
    Pressed = 1u << 15,
    Modal = 1u << 16,
    Active = 1u << 17,
    Defunct = 1u << 31, // the window is gone
};

struct Value {
    double current = 0, minimum = 0, maximum = 0, step = 0;
};

// What an object says about itself.
struct Node {
    Role role = Role::Panel;
    std::string name;
    std::string description;
    std::uint32_t states = 0;
    Rect extents; // screen coordinates
    // Sub-objects the window draws itself besides its child windows (asked
    // of the window as number 0 only).
    int parts = 0;
    // Windows that belong under this one although they are not its children
    // (a combo box's pop-up list).
    std::vector<HWND> owned;
    // The window this one belongs under when it is not its parent.
    HWND container = nullptr;
    bool has_value = false;
    Value value;
    std::vector<std::string> actions; // "press", "open", ...
    bool has_text = false;            // the text below is the object's text
    bool editable_text = false;
    bool selection = false; // its children can be selected (list items, cells)
    // A table: its sub-objects are the cells; the cell in row r, column c is
    // number 1 + r * columns + c.
    int rows = 0, columns = 0;
    HWND labelled_by = nullptr;
    HWND label_for = nullptr;
};

// An object's text, and where the caret and the selection are.
struct TextState {
    std::string text;
    int caret = 0;
    int selection_start = 0, selection_end = 0;
};

enum class Query : WPARAM {
    Describe = 1,      // fill `node`
    Action = 2,        // run action `index` (posted; answers at once)
    SetValue = 3,      // `value`
    Text = 4,          // fill `text`
    CharacterRect = 5, // `index` (a character offset) into `rect`
    SetText = 6,       // replace characters [start, end) with `insert`
    SetCaret = 7,      // `start`, `end`: select [start, end), caret at end
    Select = 8,        // `index`: select that child (part); `flag`: on or off
};

// What WM_GETOBJECT carries in lParam. `part` names the object (0: the
// window itself); `handled` is set by whoever answered.
struct Request {
    int part = 0;
    Node* node = nullptr;
    TextState* text = nullptr;
    int index = 0;
    double value = 0;
    int start = 0, end = 0;
    std::string_view insert;
    bool flag = true;
    Rect rect;
    bool handled = false;
};

struct Object {
    HWND hwnd = nullptr;
    int part = 0;
    bool operator==(const Object&) const = default;
};

// ---- Reading the tree (user-interface thread) ----------------------------

// The object's description; states Defunct alone when the window is gone or
// the part is not there.
Node describe(Object object);
bool is_alive(Object object);
// Its children: its visible child windows in reading order (not Role::None),
// the windows it owns, then its parts.
std::vector<Object> children(Object object);
// Its parent: nothing for a top-level window.
Object parent(Object object);
int index_in_parent(Object object);

// ---- Acting ----------------------------------------------------------------

bool do_action(Object object, int index);
bool set_value(Object object, double value);
bool text(Object object, TextState& out);
// Screen rectangle of a character; empty when the offset is out of range.
Rect character_rect(Object object, int offset);
// Edits go through the control as typing does.
bool replace_text(Object object, int start, int end, std::string_view utf8);
bool set_selection(Object object, int start, int end);
bool select_child(Object object, int index, bool on);

// ---- What a window's design says --------------------------------------------

// A name for the window that wins over what it says itself. `gbk` must
// outlive the window (the program's design tables do).
void set_design_name(HWND hwnd, const char* gbk);
// `label` names `target`: the target is labelled by it and takes its text as
// its name when the design gives it none.
void set_label_for(HWND label, HWND target);

// ---- Helpers for the procedures that answer -----------------------------

// The default procedure's answer: role frame or panel, the window's text as
// its name, states from its style, visibility, focus and activation.
LRESULT default_answer(HWND hwnd, WPARAM wp, LPARAM lp);
// The request of a WM_GETOBJECT message, or null when it is not one.
Request* request_of(UINT msg, LPARAM lp);
// The name of a control without a caption: the text of the label just
// before it among its siblings (a static text or a window with Role::Label).
std::string preceding_label_text(HWND hwnd, HWND* label = nullptr);

} // namespace platform::access
