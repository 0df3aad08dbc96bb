#include "PlatformTest.h"

#include "platform/controls/ComboListBox.h"
#include <platform/controls/Controls.h>
#include <platform/window/Input.h>
#include <platform/window/MessageParams.h>

#include <cairo.h>
#include <string>

namespace platform::testing {
namespace {

constexpr int ControlId = 7;

std::string port_name(int i) {
    return "COM" + std::to_string(i);
}

class ComboBox : public PlatformTest {
  protected:
    void SetUp() override {
        PlatformTest::SetUp();
        m_top = make_control_parent();
        recorder().ignore({WM_PAINT,
                           WM_ERASEBKGND,
                           WM_NCPAINT,
                           WM_SETCURSOR,
                           WM_CTLCOLOREDIT,
                           WM_CTLCOLORLISTBOX,
                           WM_CTLCOLORSTATIC,
                           WM_CTLCOLORBTN,
                           WM_PARENTNOTIFY,
                           WM_MOUSEMOVE,
                           WM_LBUTTONDOWN,
                           WM_LBUTTONUP,
                           WM_LBUTTONDBLCLK,
                           WM_NCACTIVATE,
                           WM_ACTIVATE,
                           WM_SETFOCUS,
                           WM_KILLFOCUS,
                           WM_MOUSEACTIVATE,
                           WM_SIZE,
                           WM_MOVE,
                           WM_WINDOWPOSCHANGING,
                           WM_WINDOWPOSCHANGED,
                           WM_SHOWWINDOW,
                           WM_GETTEXT,
                           WM_GETTEXTLENGTH,
                           WM_CAPTURECHANGED,
                           WM_KEYDOWN,
                           WM_KEYUP,
                           WM_CHAR,
                           WM_SYSKEYDOWN,
                           WM_SYSKEYUP,
                           WM_MOUSEWHEEL,
                           WM_CREATE,
                           WM_NCCREATE,
                           WM_TIMER,
                           WM_MOUSELEAVE});
        m_combo = make_combo(CBS_DROPDOWNLIST, 160, 10);
        m_backend.pump();
        recorder().clear();
    }

    HWND make_combo(std::uint32_t kind, int height, int items, Rect at = {20, 20, 170, 0},
                    int id = ControlId) {
        HWND combo = create_window_ex(
            0, WC_COMBOBOX, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | kind, at.left,
            at.top, at.width(), height, m_top, static_cast<std::uintptr_t>(id));
        for (int i = 1; i <= items && combo; ++i)
            send_message(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(port_name(i).c_str()));
        return combo;
    }

    static bool edit_available() {
        WindowClass info;
        return get_class_info(WC_EDIT, info);
    }

    Expected cmd(UINT code, HWND combo = nullptr) const {
        return {WM_COMMAND, sent | wparam | lparam, m_top,
                make_wparam(ControlId, static_cast<int>(code)),
                reinterpret_cast<LPARAM>(combo ? combo : m_combo)};
    }

    // The combo box's pop-up list: the visible "ComboLBox" top-level window.
    HWND dropped_list() const {
        for (HWND w : top_level_windows())
            if (get_class_name(w) == WC_COMBOLBOX && is_window_visible(w))
                return w;
        return nullptr;
    }

    int item_height() const {
        return static_cast<int>(send_message(m_combo, CB_GETITEMHEIGHT, 0, 0));
    }
    // The middle of item `i` in the open list, in the list's client coordinates.
    Point item_point(int i) const {
        HWND list = dropped_list();
        int row = i - (list ? controls::combo_list_top_index(list) : 0);
        return {20, 1 + row * item_height() + item_height() / 2};
    }
    int cur_sel(HWND combo = nullptr) const {
        return static_cast<int>(send_message(combo ? combo : m_combo, CB_GETCURSEL, 0, 0));
    }
    Rect placement(HWND hwnd) const {
        Rect r;
        get_window_placement_rect(hwnd, r);
        return r;
    }
    void open_by_click() {
        m_backend.click(m_combo, {10, 5});
        m_backend.pump();
    }

    HWND m_top = nullptr;
    HWND m_combo = nullptr;
};

// ---- Items ---------------------------------------------------------------------

std::string item_text(HWND combo, int i) {
    auto len = send_message(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
    if (len < 0)
        return "<err>";
    std::string s(static_cast<std::size_t>(len) + 1, '\0');
    send_message(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(s.data()));
    s.resize(static_cast<std::size_t>(len));
    return s;
}

LRESULT add(HWND combo, const char* text) {
    return send_message(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
}

TEST_F(ComboBox, SortedAdditionFoldsAsciiCaseAndKeepsEqualTextsInOrder) {
    HWND sorted = make_combo(CBS_DROPDOWNLIST | CBS_SORT, 160, 0, {20, 60, 170, 0}, 8);
    EXPECT_EQ(add(sorted, "COM2"), 0);
    EXPECT_EQ(add(sorted, "b"), 0);
    EXPECT_EQ(add(sorted, "com10"), 1);
    EXPECT_EQ(add(sorted, "COM1"), 1);
    EXPECT_EQ(add(sorted, "_x"), 0) << "'_' sorts before the lower-case letters";
    EXPECT_EQ(add(sorted, "Com1"), 3) << "an equal text goes after the one already there";
    const char* expected[] = {"_x", "b", "COM1", "Com1", "com10", "COM2"};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(item_text(sorted, i), expected[i]) << "item " << i;
    EXPECT_EQ(send_message(sorted, CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>("zz")), 0)
        << "CB_INSERTSTRING does not sort";
}

TEST_F(ComboBox, DoubleByteTrailBytesAreNotCaseFolded) {
    HWND sorted = make_combo(CBS_DROPDOWNLIST | CBS_SORT, 160, 0, {20, 60, 170, 0}, 8);
    // Two GBK characters whose trail bytes are 'a' and 'A'.
    EXPECT_EQ(add(sorted, "\x81\x61"), 0);
    EXPECT_EQ(add(sorted, "\x81\x41"), 0) << "0x8141 sorts before 0x8161";
    EXPECT_EQ(send_message(sorted, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                           reinterpret_cast<LPARAM>("\x81\x61")),
              1);
    EXPECT_EQ(send_message(sorted, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                           reinterpret_cast<LPARAM>("\x81\x41")),
              0);
}

TEST_F(ComboBox, InsertAppendsOnMinusOneAndRefusesAnIndexPastTheEnd) {
    EXPECT_EQ(send_message(m_combo, CB_INSERTSTRING, static_cast<WPARAM>(-1),
                           reinterpret_cast<LPARAM>("last")),
              10);
    EXPECT_EQ(send_message(m_combo, CB_INSERTSTRING, 12, reinterpret_cast<LPARAM>("far")), CB_ERR);
    EXPECT_EQ(send_message(m_combo, CB_INSERTSTRING, 11, reinterpret_cast<LPARAM>("end")), 11);
    EXPECT_EQ(send_message(m_combo, CB_GETCOUNT, 0, 0), 12);
    EXPECT_EQ(send_message(m_combo, CB_INSERTSTRING, 0, 0), 0)
        << "a null text inserts an empty item";
    EXPECT_EQ(item_text(m_combo, 0), "");
    EXPECT_EQ(item_text(m_combo, 12), "end");
}

TEST_F(ComboBox, OutOfRangeIndexesAnswerErrorAndChangeNothing) {
    send_message(m_combo, CB_SETCURSEL, 3, 0);
    send_message(m_combo, CB_SETITEMDATA, 3, 0x1234);
    for (WPARAM bad : {WPARAM(10), static_cast<WPARAM>(-1), static_cast<WPARAM>(-7)}) {
        char buffer[16] = "untouched";
        EXPECT_EQ(send_message(m_combo, CB_DELETESTRING, bad, 0), CB_ERR);
        EXPECT_EQ(send_message(m_combo, CB_GETLBTEXT, bad, reinterpret_cast<LPARAM>(buffer)),
                  CB_ERR);
        EXPECT_STREQ(buffer, "untouched");
        EXPECT_EQ(send_message(m_combo, CB_GETLBTEXTLEN, bad, 0), CB_ERR);
        EXPECT_EQ(send_message(m_combo, CB_SETITEMDATA, bad, 99), CB_ERR);
        EXPECT_EQ(send_message(m_combo, CB_GETITEMDATA, bad, 0), CB_ERR);
    }
    EXPECT_EQ(send_message(m_combo, CB_GETLBTEXT, 2, 0), CB_ERR) << "a null buffer";
    EXPECT_EQ(send_message(m_combo, CB_GETCOUNT, 0, 0), 10);
    EXPECT_EQ(cur_sel(), 3);
    EXPECT_EQ(send_message(m_combo, CB_GETITEMDATA, 3, 0), 0x1234);
    EXPECT_TRUE(recorder().log().empty()) << "nothing is notified";
}

TEST_F(ComboBox, DeletingMovesTheSelectionWithItsItemOrClearsIt) {
    send_message(m_combo, CB_SETCURSEL, 5, 0);
    EXPECT_EQ(send_message(m_combo, CB_DELETESTRING, 2, 0), 9) << "answers the remaining count";
    EXPECT_EQ(cur_sel(), 4);
    EXPECT_EQ(get_window_text(m_combo), "COM6");
    send_message(m_combo, CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>("COM0"));
    EXPECT_EQ(cur_sel(), 5);
    send_message(m_combo, CB_DELETESTRING, 5, 0);
    EXPECT_EQ(cur_sel(), -1);
    EXPECT_EQ(get_window_text(m_combo), "");
    send_message(m_combo, CB_RESETCONTENT, 0, 0);
    EXPECT_EQ(send_message(m_combo, CB_GETCOUNT, 0, 0), 0);
}

TEST_F(ComboBox, FindingIsCaseBlindStartsAfterTheGivenItemAndWraps) {
    auto find = [&](UINT msg, int start, const char* text) {
        return send_message(m_combo, msg, static_cast<WPARAM>(start),
                            reinterpret_cast<LPARAM>(text));
    };
    EXPECT_EQ(find(CB_FINDSTRING, -1, "com1"), 0);
    EXPECT_EQ(find(CB_FINDSTRING, 0, "com1"), 9) << "COM10 is the next after COM1";
    EXPECT_EQ(find(CB_FINDSTRING, 9, "com1"), 0) << "wraps round";
    EXPECT_EQ(find(CB_FINDSTRINGEXACT, 0, "com1"), 0) << "wraps round to the start item itself";
    EXPECT_EQ(find(CB_FINDSTRINGEXACT, -1, "COM1 "), CB_ERR);
    EXPECT_EQ(find(CB_FINDSTRING, -1, "LPT"), CB_ERR);
    EXPECT_EQ(find(CB_SELECTSTRING, -1, "com7"), 6);
    EXPECT_EQ(cur_sel(), 6);
    EXPECT_EQ(find(CB_SELECTSTRING, -1, "LPT"), CB_ERR);
    EXPECT_EQ(cur_sel(), 6) << "a failed CB_SELECTSTRING keeps the selection";
    EXPECT_TRUE(recorder().log().empty()) << "selecting by message notifies nothing";
}

// ---- Selection by message ----------------------------------------------------------

TEST_F(ComboBox, SetCurSelNotifiesNothingAndOutOfRangeClearsTheSelection) {
    EXPECT_EQ(send_message(m_combo, CB_SETCURSEL, 4, 0), 4);
    EXPECT_EQ(get_window_text(m_combo), "COM5");
    EXPECT_EQ(send_message(m_combo, CB_SETCURSEL, 10, 0), CB_ERR);
    EXPECT_EQ(cur_sel(), -1) << "the platform clears the selection on an index out of range";
    EXPECT_EQ(get_window_text(m_combo), "");
    send_message(m_combo, CB_SETCURSEL, 2, 0);
    EXPECT_EQ(send_message(m_combo, CB_SETCURSEL, static_cast<WPARAM>(-1), 0), CB_ERR);
    EXPECT_EQ(cur_sel(), -1);
    EXPECT_TRUE(recorder().log().empty());
}

TEST_F(ComboBox, SettingTheTextOfADropDownListSelectsTheItemWithThatText) {
    EXPECT_TRUE(set_window_text(m_combo, "com8"));
    EXPECT_EQ(cur_sel(), 7);
    EXPECT_EQ(send_message(m_combo, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("COM")), CB_ERR);
    EXPECT_EQ(cur_sel(), 7);
    char small[4];
    EXPECT_EQ(send_message(m_combo, WM_GETTEXT, sizeof small, reinterpret_cast<LPARAM>(small)), 3);
    EXPECT_STREQ(small, "COM") << "truncated to the buffer, terminated";
}

// ---- Mouse -------------------------------------------------------------------------

TEST_F(ComboBox, ChoosingWithTheMouseDropsThenEndsClosesAndReportsTheChange) {
    open_by_click();
    HWND list = dropped_list();
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(send_message(m_combo, CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_EQ(get_active_window(), m_top) << "the list does not take the activation";
    EXPECT_EQ(get_focus(), m_combo);
    Rect combo_screen, list_screen;
    get_window_rect(m_combo, combo_screen);
    get_window_rect(list, list_screen);
    EXPECT_EQ(list_screen.left, combo_screen.left);
    EXPECT_EQ(list_screen.top, combo_screen.bottom) << "the list hangs below the combo box";
    EXPECT_EQ(list_screen.width(), combo_screen.width());

    m_backend.click(list, item_point(2));
    m_backend.pump();
    EXPECT_SEQUENCE(recorder(), {cmd(CBN_SETFOCUS), cmd(CBN_DROPDOWN), cmd(CBN_SELENDOK),
                                 cmd(CBN_CLOSEUP), cmd(CBN_SELCHANGE)});
    EXPECT_EQ(cur_sel(), 2);
    EXPECT_EQ(get_window_text(m_combo), "COM3");
    EXPECT_EQ(dropped_list(), nullptr);
    EXPECT_EQ(get_capture(), nullptr);
    EXPECT_EQ(get_active_window(), m_top);
}

TEST_F(ComboBox, PressDragAndReleaseOverAnItemChoosesIt) {
    m_backend.mouse_down(m_combo, {10, 5});
    m_backend.pump();
    HWND list = dropped_list();
    ASSERT_NE(list, nullptr);
    m_backend.mouse_move(list, item_point(4));
    m_backend.mouse_up(list, item_point(4));
    m_backend.pump();
    EXPECT_SEQUENCE(recorder(), {cmd(CBN_SETFOCUS), cmd(CBN_DROPDOWN), cmd(CBN_SELENDOK),
                                 cmd(CBN_CLOSEUP), cmd(CBN_SELCHANGE)});
    EXPECT_EQ(cur_sel(), 4);
}

TEST_F(ComboBox, HotTrackingMovesTheHighlightButNotTheSelection) {
    send_message(m_combo, CB_SETCURSEL, 1, 0);
    open_by_click();
    HWND list = dropped_list();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(controls::combo_list_top_index(list), 1)
        << "the list opens with the selected item at its top";
    recorder().clear();
    m_backend.mouse_move(list, item_point(6));
    m_backend.pump();
    EXPECT_EQ(cur_sel(), 1);
    EXPECT_TRUE(recorder().log().empty());
    m_backend.press_key(VK_RETURN);
    m_backend.pump();
    EXPECT_SEQUENCE(recorder(), {cmd(CBN_SELENDOK), cmd(CBN_CLOSEUP), cmd(CBN_SELCHANGE)});
    EXPECT_EQ(cur_sel(), 6) << "Enter takes the highlighted item";
}

TEST_F(ComboBox, AClickOutsideOrEscapeCancels) {
    send_message(m_combo, CB_SETCURSEL, 1, 0);
    open_by_click();
    HWND list = dropped_list();
    ASSERT_NE(list, nullptr);
    m_backend.mouse_move(list, item_point(5));
    m_backend.click(m_top, {300, 250});
    m_backend.pump();
    EXPECT_SEQUENCE(recorder(), {cmd(CBN_SETFOCUS), cmd(CBN_DROPDOWN), cmd(CBN_SELENDCANCEL),
                                 cmd(CBN_CLOSEUP)});
    EXPECT_EQ(cur_sel(), 1);
    EXPECT_EQ(dropped_list(), nullptr);
    EXPECT_EQ(get_capture(), nullptr);
    EXPECT_EQ(get_active_window(), m_top);

    recorder().clear();
    open_by_click();
    m_backend.press_key(VK_ESCAPE);
    m_backend.pump();
    EXPECT_SEQUENCE(recorder(), {cmd(CBN_DROPDOWN), cmd(CBN_SELENDCANCEL), cmd(CBN_CLOSEUP)});
    EXPECT_EQ(cur_sel(), 1);
}

TEST_F(ComboBox, LosingTheFocusClosesTheListBeforeTellingOfIt) {
    HWND other = make_child(m_top, {300, 20, 360, 40}, 9);
    open_by_click();
    recorder().clear();
    set_focus(other);
    EXPECT_SEQUENCE(recorder(), {cmd(CBN_SELENDCANCEL), cmd(CBN_CLOSEUP), cmd(CBN_KILLFOCUS)});
    EXPECT_EQ(dropped_list(), nullptr);
}

TEST_F(ComboBox, ItemsAddedOrDeletedWhileTheListIsOpenKeepTheHighlightOnItsItem) {
    send_message(m_combo, CB_SETCURSEL, 2, 0);
    set_focus(m_combo);
    m_backend.press_key(VK_F4);
    m_backend.pump();
    send_message(m_combo, CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>("COM0"));
    send_message(m_combo, CB_DELETESTRING, 10, 0);
    m_backend.press_key(VK_RETURN);
    m_backend.pump();
    EXPECT_EQ(cur_sel(), 3);
    EXPECT_EQ(get_window_text(m_combo), "COM3");
}

// ---- Keyboard ------------------------------------------------------------------------

TEST_F(ComboBox, ArrowsOnAClosedListEndEachSelectionAsTheyMakeIt) {
    send_message(m_combo, CB_SETCURSEL, 2, 0);
    set_focus(m_combo);
    recorder().clear();
    m_backend.press_key(VK_DOWN);
    m_backend.pump();
    EXPECT_SEQUENCE(recorder(), {cmd(CBN_SELENDOK), cmd(CBN_SELCHANGE)});
    EXPECT_EQ(cur_sel(), 3);
    EXPECT_EQ(dropped_list(), nullptr) << "the list stays closed";
    m_backend.press_key(VK_END);
    m_backend.pump();
    EXPECT_EQ(cur_sel(), 9);
    recorder().clear();
    m_backend.press_key(VK_DOWN);
    m_backend.wheel(m_combo, {5, 5}, -WHEEL_DELTA);
    m_backend.pump();
    EXPECT_TRUE(recorder().log().empty()) << "nothing to notify at the last item";
    m_backend.wheel(m_combo, {5, 5}, WHEEL_DELTA);
    m_backend.pump();
    EXPECT_SEQUENCE(recorder(), {cmd(CBN_SELENDOK), cmd(CBN_SELCHANGE)});
    EXPECT_EQ(cur_sel(), 8) << "the wheel steps like the arrow keys";
}

TEST_F(ComboBox, F4OpensArrowsChangeAtOnceAndEnterEnds) {
    set_focus(m_combo);
    recorder().clear();
    m_backend.press_key(VK_F4);
    m_backend.press_key(VK_DOWN);
    m_backend.press_key(VK_DOWN);
    m_backend.pump();
    EXPECT_NE(dropped_list(), nullptr);
    EXPECT_EQ(cur_sel(), 1);
    m_backend.press_key(VK_RETURN);
    m_backend.pump();
    EXPECT_SEQUENCE(recorder(), {cmd(CBN_DROPDOWN), cmd(CBN_SELCHANGE), cmd(CBN_SELCHANGE),
                                 cmd(CBN_SELENDOK), cmd(CBN_CLOSEUP)});
    EXPECT_EQ(dropped_list(), nullptr);
    EXPECT_EQ(cur_sel(), 1);
}

TEST_F(ComboBox, AltDownOpensAndPageKeysMoveByAPage) {
    set_focus(m_combo);
    recorder().clear();
    input::key(VK_MENU, true);
    input::key(VK_DOWN, true);
    input::key(VK_DOWN, false);
    input::key(VK_MENU, false);
    m_backend.pump();
    HWND list = dropped_list();
    ASSERT_NE(list, nullptr);
    EXPECT_SEQUENCE(recorder(), {cmd(CBN_DROPDOWN)});
    EXPECT_TRUE(is_window(m_top)) << "Alt+Down is not Alt+F4";
    Rect c;
    get_client_rect(list, c);
    int page = (c.height() - 2) / item_height();
    m_backend.press_key(VK_NEXT);
    m_backend.pump();
    EXPECT_EQ(cur_sel(), page - 1) << "from no selection a page down lands on the page's last item";
    m_backend.press_key(VK_HOME);
    m_backend.pump();
    EXPECT_EQ(cur_sel(), 0);
}

// ---- Height ------------------------------------------------------------------------------

TEST_F(ComboBox, ASmallCreationHeightBecomesTheDroppedHeightNotTheWindowHeight) {
    HWND small = make_combo(CBS_DROPDOWNLIST, 20, 10, {20, 60, 170, 0}, 8);
    int field = static_cast<int>(send_message(small, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0));
    int row = static_cast<int>(send_message(small, CB_GETITEMHEIGHT, 0, 0));
    EXPECT_GE(field, row);
    EXPECT_EQ(placement(small).height(), field + 4)
        << "the window is as high as the field and its frame";
    Rect dropped;
    ASSERT_EQ(send_message(small, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped)),
              1);
    EXPECT_EQ(dropped.height(), 20);
    EXPECT_EQ(send_message(small, CB_GETDROPPEDCONTROLRECT, 0, 0), CB_ERR);

    send_message(small, CB_SHOWDROPDOWN, 1, 0);
    HWND list = dropped_list();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(placement(list).height(), 5 * row + 2) << "too little room: at least five rows";
    send_message(small, CB_SHOWDROPDOWN, 0, 0);

    for (int i = 9; i >= 3; --i)
        send_message(small, CB_DELETESTRING, static_cast<WPARAM>(i), 0);
    send_message(small, CB_SHOWDROPDOWN, 1, 0);
    EXPECT_EQ(placement(dropped_list()).height(), 3 * row + 2) << "fewer than five items all show";
    send_message(small, CB_SHOWDROPDOWN, 0, 0);

    // A resize keeps the window's height and changes the dropped height.
    move_window(small, 20, 60, 150, 200);
    EXPECT_EQ(placement(small).height(), field + 4);
    send_message(small, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
    EXPECT_EQ(dropped.height(), 200);
}

TEST_F(ComboBox, ATallDroppedHeightShowsTheRowsThatFitAndShrinksToFewItems) {
    int row = item_height();
    int rows = (160 - placement(m_combo).height() - 2) / row;
    ASSERT_LT(rows, 10) << "the test wants a list that scrolls";
    send_message(m_combo, CB_SHOWDROPDOWN, 1, 0);
    EXPECT_EQ(placement(dropped_list()).height(), rows * row + 2);
    send_message(m_combo, CB_SHOWDROPDOWN, 0, 0);
    EXPECT_SEQUENCE(recorder(), {cmd(CBN_DROPDOWN), cmd(CBN_SELENDCANCEL), cmd(CBN_CLOSEUP)});
    send_message(m_combo, CB_RESETCONTENT, 0, 0);
    add(m_combo, "COM1");
    send_message(m_combo, CB_SHOWDROPDOWN, 1, 0);
    EXPECT_EQ(placement(dropped_list()).height(), row + 2);
}

// ---- Robustness --------------------------------------------------------------------------

TEST_F(ComboBox, AParentThatDestroysTheComboBoxOnANotificationStopsTheSequence) {
    HWND doomed = m_combo;
    Subclass parent(m_top, [doomed](HWND h, UINT m, WPARAM w, LPARAM l, WNDPROC previous) {
        LRESULT r = call_window_proc(previous, h, m, w, l);
        if (m == WM_COMMAND && command_params(w, l).code == CBN_SELENDOK &&
            command_params(w, l).from == doomed)
            destroy_window(doomed);
        return r;
    });
    open_by_click();
    HWND list = dropped_list();
    ASSERT_NE(list, nullptr);
    m_backend.click(list, item_point(3));
    m_backend.pump();
    EXPECT_FALSE(is_window(m_combo));
    EXPECT_FALSE(is_window(list)) << "the pop-up list goes with its combo box";
    EXPECT_EQ(get_capture(), nullptr);
    // The focus leaves with the window; nothing is closed up or changed after.
    EXPECT_SEQUENCE(recorder(),
                    {cmd(CBN_SETFOCUS), cmd(CBN_DROPDOWN), cmd(CBN_SELENDOK), cmd(CBN_KILLFOCUS)});
}

TEST_F(ComboBox, ClosingTheWindowWithAnOpenListIsSafe) {
    open_by_click();
    ASSERT_NE(dropped_list(), nullptr);
    destroy_window(m_top);
    m_backend.pump();
    EXPECT_EQ(dropped_list(), nullptr);
    EXPECT_EQ(get_capture(), nullptr);
}

// ---- Edit field kinds (need the "EDIT" class) -------------------------------------------

TEST_F(ComboBox, ADropDownComboMirrorsItsEditFieldAndFillsItAfterTheChange) {
    if (!edit_available())
        GTEST_SKIP() << "the EDIT class is not registered yet";
    HWND combo = make_combo(CBS_DROPDOWN | CBS_AUTOHSCROLL, 160, 10, {20, 60, 170, 0});
    ASSERT_NE(combo, nullptr);
    m_backend.pump();
    recorder().clear();
    EXPECT_TRUE(set_window_text(combo, "COM3"));
    EXPECT_EQ(get_window_text(combo), "COM3");
    EXPECT_TRUE(recorder().log().empty()) << "setting the text is not an edit by the user";
    EXPECT_EQ(send_message(combo, CB_SETEDITSEL, 0, make_lparam(1, 3)), 1);
    EXPECT_EQ(send_message(combo, CB_GETEDITSEL, 0, 0), make_lparam(1, 3));

    set_focus(combo);
    recorder().clear();
    m_backend.type_text("9");
    m_backend.pump();
    EXPECT_SEQUENCE(recorder(), {cmd(CBN_EDITUPDATE, combo), cmd(CBN_EDITCHANGE, combo)});
    EXPECT_EQ(cur_sel(combo), -1) << "typed text names no item";

    send_message(combo, CB_SETCURSEL, 4, 0);
    EXPECT_EQ(get_window_text(combo), "COM5");
    recorder().clear();
    m_backend.press_key(VK_DOWN);
    m_backend.pump();
    EXPECT_SEQUENCE(recorder(), {cmd(CBN_SELENDOK, combo), cmd(CBN_SELCHANGE, combo)});
    EXPECT_EQ(get_window_text(combo), "COM6");
}

TEST_F(ComboBox, EditSelectionMessagesFailOnADropDownList) {
    EXPECT_EQ(send_message(m_combo, CB_SETEDITSEL, 0, make_lparam(0, -1)), CB_ERR);
    EXPECT_EQ(send_message(m_combo, CB_GETEDITSEL, 0, 0), CB_ERR);
}

TEST_F(ComboBox, ASimpleComboEndsEverySelectionAndReportsDoubleClicks) {
    if (!edit_available())
        GTEST_SKIP() << "the EDIT class is not registered yet";
    HWND combo = make_combo(CBS_SIMPLE, 150, 10, {20, 60, 170, 0});
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(placement(combo).height(), 150) << "a simple combo box keeps its height";
    m_backend.pump();
    HWND list = nullptr;
    for (HWND c : get_children(combo))
        if (get_class_name(c) == WC_COMBOLBOX)
            list = c;
    ASSERT_NE(list, nullptr);
    recorder().clear();
    m_backend.click(list, item_point(1));
    m_backend.click(list, item_point(1));
    m_backend.pump();
    EXPECT_SEQUENCE(recorder(),
                    {cmd(CBN_SETFOCUS, combo), cmd(CBN_SELENDOK, combo), cmd(CBN_SELCHANGE, combo),
                     cmd(CBN_SELENDOK, combo), cmd(CBN_SELCHANGE, combo), cmd(CBN_DBLCLK, combo)});
    EXPECT_EQ(get_window_text(combo), "COM2");
    EXPECT_EQ(send_message(combo, CB_SHOWDROPDOWN, 1, 0), 1);
    EXPECT_FALSE(send_message(combo, CB_GETDROPPEDSTATE, 0, 0)) << "a simple combo box never drops";
}

// ---- Look ----------------------------------------------------------------------------------

// Puts the main window's picture and the open list's picture together, as
// a screen would show them.
bool save_screen_png(HWND top, HWND popup, const char* path) {
    cairo_surface_t* main_picture = window_surface(top);
    if (!main_picture)
        return false;
    Point origin;
    client_to_screen(top, origin);
    int w = cairo_image_surface_get_width(main_picture),
        h = cairo_image_surface_get_height(main_picture);
    cairo_surface_t* out = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
    cairo_t* cr = cairo_create(out);
    cairo_set_source_surface(cr, main_picture, 0, 0);
    cairo_paint(cr);
    if (cairo_surface_t* list_picture = popup ? window_surface(popup) : nullptr) {
        Point at;
        client_to_screen(popup, at);
        cairo_set_source_surface(cr, list_picture, at.x - origin.x, at.y - origin.y);
        cairo_paint(cr);
    }
    cairo_destroy(cr);
    bool ok = cairo_surface_write_to_png(out, path) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(out);
    return ok;
}

TEST_F(ComboBox, LooksClosedOpenWithAHotItemAndDisabled) {
    send_message(m_combo, CB_SETCURSEL, 2, 0);
    HWND disabled = make_combo(CBS_DROPDOWNLIST | WS_DISABLED, 160, 3, {200, 20, 330, 0}, 8);
    send_message(disabled, CB_SETCURSEL, 0, 0);
    HWND open = make_combo(CBS_DROPDOWNLIST, 160, 10, {200, 100, 330, 0}, 9);
    send_message(open, CB_SETCURSEL, 0, 0);
    m_backend.click(open, {10, 5});
    m_backend.pump();
    HWND list = dropped_list();
    ASSERT_NE(list, nullptr);
    m_backend.mouse_move(list, item_point(4));
    m_backend.pump();
    update_window(list);
    update_window(m_top);

    cairo_surface_t* s = window_surface(m_top);
    ASSERT_NE(s, nullptr);
    cairo_surface_flush(s);
    auto pixel = [&](cairo_surface_t* surface, int x, int y) {
        auto* data = cairo_image_surface_get_data(surface);
        int stride = cairo_image_surface_get_stride(surface);
        return *reinterpret_cast<std::uint32_t*>(data + y * stride + x * 4) & 0xFFFFFF;
    };
    auto dark_pixels = [&](cairo_surface_t* surface, Rect r) {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                n += (pixel(surface, x, y) & 0xFF) < 0x80 ? 1 : 0;
        return n;
    };
    Rect closed = placement(m_combo);
    EXPECT_GT(
        dark_pixels(s, {closed.left + 3, closed.top + 3, closed.left + 40, closed.bottom - 3}), 15)
        << "the closed, unfocused field shows its text";
    EXPECT_GT(
        dark_pixels(s, {closed.right - 15, closed.top + 3, closed.right - 3, closed.bottom - 3}), 3)
        << "the chevron is drawn";
    EXPECT_EQ(pixel(s, closed.left + 2, closed.top + 1), 0xFFFFFFu) << "a white field";
    Rect off = placement(disabled);
    EXPECT_EQ(pixel(s, off.left + 2, off.top + 2), 0xF4F4F4u) << "a disabled field is grey";
    cairo_surface_t* ls = window_surface(list);
    ASSERT_NE(ls, nullptr);
    cairo_surface_flush(ls);
    Point hot = item_point(4);
    EXPECT_EQ(pixel(ls, 2, hot.y), 0x0078D7u) << "the hot item is highlighted";
    Point other = item_point(0);
    EXPECT_EQ(pixel(ls, 2, other.y), 0xFFFFFFu) << "the selected item is not, while another is hot";

    EXPECT_TRUE(save_screen_png(m_top, list, "combobox_look.png"));
}

} // namespace
} // namespace platform::testing
