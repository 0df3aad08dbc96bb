#pragma once

// The state of one "EDIT" window and what its message handlers share. Edit.cpp
// holds the window procedure and the messages about text, selection and
// lines; EditInput.cpp the keyboard, mouse and clipboard; EditView.cpp the
// layout, scrolling, caret and painting.

#include "Controls.h"
#include "EditLayout.h"
#include "EditText.h"
#include <platform/window/WindowSystem.h>

#include <string_view>

namespace platform::controls {

struct EditState {
    EditState(HWND window, const CreateStruct& cs)
        : hwnd(window), text((cs.style & ES_MULTILINE) != 0),
          vertical_bar((cs.style & ES_MULTILINE) && (cs.style & WS_VSCROLL)),
          horizontal_bar((cs.style & ES_MULTILINE) && (cs.style & WS_HSCROLL)) {}

    HWND hwnd;
    EditText text;
    EditLayout layout;
    bool layout_stale = true;
    std::uint32_t password_char = 0; // GBK code; used while ES_PASSWORD is set
    int x_offset = 0;                // pixels scrolled to the left
    int first_line = 0;              // first visible line of a multi-line box
    int goal_x = -1;                 // the column Up and Down keep, in text pixels
    bool focused = false;
    bool caret_on = false;          // the blink phase
    bool tracking = false;          // selecting with the mouse held down
    unsigned char pending_lead = 0; // lead byte of a character whose trail is due
    // A multi-line box created with WS_VSCROLL or WS_HSCROLL keeps its
    // standard bars in step with the text; they show while there is
    // something to scroll.
    bool vertical_bar = false;
    bool horizontal_bar = false;
    bool settling_bars = false; // the bars are being set; their WM_SIZE must not recurse
    // What an assistive client was last told, while one listens.
    bool reported_valid = false;
    std::string reported_text;
    std::size_t reported_caret = 0;
};

// The state of an edit window, or nullptr when `hwnd` is not (or no longer) one.
EditState* edit_state(HWND hwnd);

bool is_multiline(const EditState& st);
bool is_read_only(const EditState& st);
bool is_password(const EditState& st);
LetterCase letter_case_of(const EditState& st);

// ---- EditView.cpp
const EditLayout& current_layout(EditState& st);
// Client coordinates of a character boundary's caret (its top) and back.
Point caret_point(EditState& st, std::size_t pos);
std::size_t position_from_point(EditState& st, Point client);
int visible_lines(EditState& st);
// Scrolls so the caret is visible, and keeps scrolling within the text.
void scroll_to_caret(EditState& st);
void scroll_lines(EditState& st, int delta);
// What the standard bars ask for with WM_VSCROLL / WM_HSCROLL.
void on_scroll_request(EditState& st, bool vertical, int code);
void paint(EditState& st);
// Shows the caret at once and restarts its blinking.
void restart_caret(EditState& st);
void stop_caret(EditState& st);
void blink_caret(EditState& st);
constexpr std::uintptr_t k_caret_timer = 1;
constexpr UINT k_caret_blink_ms = 530;

// ---- Edit.cpp
// After the selection moved: scroll to the caret and repaint.
void selection_changed(EditState& st);
// After the text changed: the layout, the scroll position and the picture follow.
void text_changed(EditState& st);
enum class Announce { IfChanged, Always };
// Replaces the selection as typing, pasting and EM_REPLACESEL do: EN_MAXTEXT
// first when the limit cuts the new text, then the change, then EN_UPDATE,
// the repaint and EN_CHANGE. The state may be gone when it returns.
void replace_selection_notifying(HWND hwnd, std::string_view insert, Undoable undoable,
                                 Announce announce);
// EN_UPDATE, the repaint, EN_CHANGE.
void announce_change(HWND hwnd);

// ---- EditAccess.cpp
// Answers WM_GETOBJECT.
LRESULT edit_access(EditState& st, HWND hwnd, WPARAM wp, LPARAM lp);
// Tells a listening client what changed in the text and the caret since it
// was last told.
void edit_report_changes(EditState& st);

// ---- EditInput.cpp
void on_key_down(HWND hwnd, UINT vk);
void on_char(HWND hwnd, WPARAM code);
void on_button_down(HWND hwnd, Point pt, WPARAM keys);
void on_double_click(HWND hwnd, Point pt);
void on_mouse_move(HWND hwnd, Point pt);
void on_button_up(HWND hwnd);
LRESULT on_mouse_wheel(HWND hwnd, int delta, WPARAM wp, LPARAM lp);
void on_copy(HWND hwnd);
void on_cut(HWND hwnd);
void on_paste(HWND hwnd);
void on_clear(HWND hwnd);
LRESULT on_undo(HWND hwnd);

} // namespace platform::controls
