#include "PlatformTest.h"

#include "platform/controls/ToolTip.h"
#include <platform/controls/Controls.h>

namespace test_support {

using namespace platform;
namespace {

class Button : public PlatformTest {
  protected:
    void SetUp() override {
        PlatformTest::SetUp();
        m_top = make_control_parent();
        recorder().ignore({WM_PARENTNOTIFY, WM_CTLCOLORBTN, WM_CTLCOLORSTATIC, WM_SETCURSOR,
                           WM_MOUSEMOVE, WM_PAINT, WM_ERASEBKGND, WM_ACTIVATE, WM_NCACTIVATE,
                           WM_KILLFOCUS, WM_STYLECHANGING, WM_STYLECHANGED});
    }
    HWND button(std::uint32_t style, int id = 10, Rect r = {10, 10, 110, 40},
                const char* text = "OK") {
        HWND b =
            create_window_ex(0, WC_BUTTON, text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, r.left,
                             r.top, r.width(), r.height(), m_top, static_cast<std::uintptr_t>(id));
        m_backend.pump();
        recorder().clear();
        return b;
    }
    Expected clicked(HWND b, int id = 10) {
        return {WM_COMMAND, sent | wparam | lparam, m_top, make_wparam(id, BN_CLICKED),
                reinterpret_cast<LPARAM>(b)};
    }
    HWND m_top = nullptr;
};

TEST_F(Button, ClickingInsideNotifiesTheParentOnRelease) {
    HWND b = button(BS_PUSHBUTTON);
    m_backend.mouse_down(b, {5, 5});
    m_backend.pump();
    EXPECT_EQ(send_message(b, BM_GETSTATE) & BST_PUSHED, static_cast<LRESULT>(BST_PUSHED));
    EXPECT_TRUE(recorder().log().empty()) << "nothing before the release";
    m_backend.mouse_up(b, {6, 6});
    m_backend.pump();
    EXPECT_SEQUENCE(recorder(), {clicked(b)});
    EXPECT_EQ(send_message(b, BM_GETSTATE) & BST_PUSHED, 0);
    EXPECT_EQ(get_focus(), b) << "a click gives the button the focus";
}

TEST_F(Button, ReleasingOutsideSendsNothing) {
    HWND b = button(BS_PUSHBUTTON);
    m_backend.mouse_down(b, {5, 5});
    m_backend.mouse_move(b, {300, 5});
    m_backend.pump();
    EXPECT_EQ(send_message(b, BM_GETSTATE) & BST_PUSHED, 0)
        << "drawn released while the mouse is outside";
    m_backend.mouse_up(b, {300, 5});
    m_backend.pump();
    EXPECT_TRUE(recorder().log().empty());
    EXPECT_EQ(get_capture(), nullptr);
}

TEST_F(Button, SpaceAndBmClickPressTheButton) {
    HWND b = button(BS_DEFPUSHBUTTON);
    set_focus(b);
    recorder().clear();
    m_backend.press_key(VK_SPACE, ' ');
    m_backend.pump();
    send_message(b, BM_CLICK);
    EXPECT_SEQUENCE(recorder(), {clicked(b), clicked(b)});
    enable_window(b, false);
    recorder().clear();
    send_message(b, BM_CLICK);
    EXPECT_TRUE(recorder().log().empty()) << "a disabled button ignores BM_CLICK";
}

TEST_F(Button, AutoCheckBoxesToggleBeforeTheParentHears) {
    LRESULT seen_check = -1;
    HWND b = button(BS_AUTOCHECKBOX, 11);
    Subclass parent(m_top, [&](HWND h, UINT m, WPARAM w, LPARAM l, WNDPROC previous) {
        if (m == WM_COMMAND)
            seen_check = send_message(b, BM_GETCHECK);
        return call_window_proc(previous, h, m, w, l);
    });
    m_backend.click(b, {3, 3});
    m_backend.pump();
    EXPECT_EQ(seen_check, static_cast<LRESULT>(BST_CHECKED));
    m_backend.click(b, {3, 3});
    m_backend.pump();
    EXPECT_EQ(send_message(b, BM_GETCHECK), static_cast<LRESULT>(BST_UNCHECKED));
    send_message(b, BM_SETCHECK, BST_INDETERMINATE);
    EXPECT_EQ(send_message(b, BM_GETCHECK), static_cast<LRESULT>(BST_CHECKED))
        << "a two-state box clamps";
}

TEST_F(Button, AutoRadioButtonsUncheckTheirGroupOnly) {
    HWND a = button(BS_AUTORADIOBUTTON | WS_GROUP, 21, {10, 10, 100, 30});
    HWND b = button(BS_AUTORADIOBUTTON, 22, {10, 40, 100, 60});
    HWND c = button(BS_AUTORADIOBUTTON | WS_GROUP, 23, {10, 70, 100, 90});
    send_message(a, BM_SETCHECK, BST_CHECKED);
    send_message(c, BM_SETCHECK, BST_CHECKED);
    m_backend.click(b, {3, 3});
    m_backend.pump();
    EXPECT_EQ(send_message(a, BM_GETCHECK), static_cast<LRESULT>(BST_UNCHECKED));
    EXPECT_EQ(send_message(b, BM_GETCHECK), static_cast<LRESULT>(BST_CHECKED));
    EXPECT_EQ(send_message(c, BM_GETCHECK), static_cast<LRESULT>(BST_CHECKED)) << "another group";
}

TEST_F(Button, GroupBoxesTakeNoClicksAndPushButtonsNoChecks) {
    HWND g = button(BS_GROUPBOX, 30, {5, 5, 200, 100}, "Group");
    m_backend.click(g, {50, 50});
    m_backend.pump();
    // The click passes through the frame to the window beneath it.
    EXPECT_SEQUENCE(recorder(), {{WM_LBUTTONDOWN, posted, m_top}, {WM_LBUTTONUP, posted, m_top}});
    HWND p = button(BS_PUSHBUTTON, 31, {300, 10, 350, 30});
    send_message(p, BM_SETCHECK, BST_CHECKED);
    EXPECT_EQ(send_message(p, BM_GETCHECK), 0);
    EXPECT_EQ(send_message(p, WM_GETDLGCODE), DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON);
}

TEST_F(Button, HotWhileTheMouseIsOverItAndNotAfterItLeavesTheWindow) {
    HWND b = button(BS_PUSHBUTTON);
    HWND other = button(BS_PUSHBUTTON, 11, {10, 60, 110, 90});
    auto hot = [](HWND h) { return (send_message(h, BM_GETSTATE) & BST_HOT) != 0; };
    m_backend.mouse_move(b, {5, 5});
    m_backend.pump();
    EXPECT_TRUE(hot(b));
    m_backend.mouse_move(other, {5, 5});
    m_backend.pump();
    EXPECT_FALSE(hot(b)) << "moving to a sibling ends the hot look";
    EXPECT_TRUE(hot(other));
    m_backend.mouse_leave(m_top);
    m_backend.pump();
    EXPECT_FALSE(hot(other)) << "leaving the whole window ends it too";
}

TEST_F(Button, SetTextRepaintsAtOnce) {
    HWND b = button(BS_PUSHBUTTON);
    m_backend.pump();
    int before = m_backend.presents();
    set_window_text(b, "Close");
    EXPECT_GT(m_backend.presents(), before) << "painted inside WM_SETTEXT, not later";
    EXPECT_EQ(get_window_text(b), "Close");
}

TEST_F(Button, OwnerDrawAsksTheParentToDraw) {
    HWND b = button(BS_OWNERDRAW, 40);
    recorder().clear();
    invalidate_rect(b, nullptr, true);
    m_backend.pump();
    ASSERT_FALSE(recorder().log().empty());
    EXPECT_EQ(recorder().log()[0].message, static_cast<UINT>(WM_DRAWITEM));
    EXPECT_EQ(recorder().log()[0].wp, 40u);
}

class StatusBar : public Button {};

TEST_F(StatusBar, PartsAndTextsReadBack) {
    HWND sb =
        create_window_ex(0, STATUSCLASSNAME, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, m_top, 50);
    ASSERT_NE(sb, nullptr);
    Rect tc, r;
    get_client_rect(m_top, tc);
    get_window_placement_rect(sb, r);
    EXPECT_EQ(r.bottom, tc.bottom) << "docked at the bottom";
    EXPECT_EQ(r.width(), tc.width());

    int edges[] = {100, -1, 300};
    EXPECT_EQ(send_message(sb, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(edges)), 1);
    int back[3] = {};
    EXPECT_EQ(send_message(sb, SB_GETPARTS, 3, reinterpret_cast<LPARAM>(back)), 3);
    EXPECT_EQ(back[1], -1);
    send_message(sb, SB_SETTEXTA, 1 | SBT_POPOUT, reinterpret_cast<LPARAM>("\xB6\xCB\xBF\xDA"));
    LRESULT len = send_message(sb, SB_GETTEXTLENGTHA, 1);
    EXPECT_EQ(loword(static_cast<std::uintptr_t>(len)), 4);
    EXPECT_EQ(hiword(static_cast<std::uintptr_t>(len)), SBT_POPOUT);
    char buffer[16] = {};
    send_message(sb, SB_GETTEXTA, 1, reinterpret_cast<LPARAM>(buffer));
    EXPECT_STREQ(buffer, "\xB6\xCB\xBF\xDA");
    EXPECT_EQ(send_message(sb, SB_SETTEXTA, 7, reinterpret_cast<LPARAM>("x")), 0) << "no panel 7";
    Rect third;
    send_message(sb, SB_GETRECT, 2, reinterpret_cast<LPARAM>(&third));
    EXPECT_EQ(third.width(), 0) << "a part after the one reaching the end has no room";

    // The bar follows its parent's size when the parent passes WM_SIZE on.
    move_window(m_top, 0, 0, 600, 500);
    send_message(sb, WM_SIZE);
    get_client_rect(m_top, tc);
    get_window_placement_rect(sb, r);
    EXPECT_EQ(r.bottom, tc.bottom);
    EXPECT_EQ(r.width(), tc.width());
}

TEST_F(StatusBar, ToolTipShowsOnHover) {
    HWND sb =
        create_window_ex(0, STATUSCLASSNAME, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, m_top, 50);
    int edges[] = {-1};
    send_message(sb, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(edges));
    send_message(sb, SB_SETTIPTEXTA, 0, reinterpret_cast<LPARAM>("tip"));
    m_backend.mouse_move(sb, {20, 5});
    auto tips = [] {
        for (HWND t : top_level_windows())
            if (get_class_name(t) == "tooltips_class32" && is_window_visible(t))
                return true;
        return false;
    };
    m_backend.run_for(controls::tool_tip_delay_ms - 1);
    EXPECT_FALSE(tips()) << "not before the delay";
    m_backend.run_for(1);
    EXPECT_TRUE(tips());
    m_backend.mouse_move(m_top, {5, 5});
    m_backend.pump();
    EXPECT_FALSE(tips()) << "leaving the bar hides the tip";
}

TEST_F(StatusBar, StaticTextLetsClicksThrough) {
    HWND under = button(BS_PUSHBUTTON, 60, {10, 10, 110, 40});
    create_window_ex(0, WC_STATIC, "label", WS_CHILD | WS_VISIBLE, 10, 10, 100, 30, m_top, 61);
    // The static text is on top (created later goes below, so raise it).
    set_window_pos(get_dlg_item(m_top, 61), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    m_backend.pump();
    recorder().clear();
    m_backend.click(m_top, {20, 20});
    m_backend.pump();
    EXPECT_SEQUENCE(recorder(), {clicked(under, 60)});
}

} // namespace
} // namespace test_support
