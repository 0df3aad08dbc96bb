#include "PlatformTest.h"

namespace test_support {

using namespace platform;
namespace {

class Input : public PlatformTest {
  protected:
    void SetUp() override {
        PlatformTest::SetUp();
        recorder().ignore({WM_PAINT, WM_ERASEBKGND, WM_NCPAINT, WM_SETCURSOR, WM_GETTEXT,
                           WM_GETTEXTLENGTH, WM_NCACTIVATE, WM_SHOWWINDOW, WM_SIZE, WM_MOVE,
                           WM_PARENTNOTIFY, WM_CREATE, WM_NCCREATE});
        m_top = make_top();
        m_a = make_child(m_top, {10, 10, 110, 60}, 1);
        m_b = make_child(m_top, {200, 10, 300, 60}, 2);
        m_backend.pump();
        recorder().clear();
    }
    HWND m_top = nullptr, m_a = nullptr, m_b = nullptr;
};

TEST_F(Input, AClickReachesTheDeepestChildAtItsClientCoordinates) {
    HWND inner = make_child(m_a, {20, 5, 60, 35}, 3);
    recorder().clear();
    recorder().ignore(WM_MOUSEMOVE);
    recorder().ignore(WM_ACTIVATE);
    m_backend.click(m_top, {10 + 20 + 7, 10 + 5 + 9});
    m_backend.pump();
    EXPECT_SEQUENCE(recorder(), {{WM_LBUTTONDOWN, posted | lparam | wparam, inner, MK_LBUTTON,
                                  make_lparam(7, 9)},
                                 {WM_LBUTTONUP, posted | lparam, inner, 0, make_lparam(7, 9)}});
}

TEST_F(Input, ADisabledChildHandsTheClickToItsParent) {
    enable_window(m_a, false);
    recorder().clear();
    recorder().ignore(WM_MOUSEMOVE);
    m_backend.click(m_top, {15, 15});
    m_backend.pump();
    EXPECT_SEQUENCE(recorder(), {{WM_LBUTTONDOWN, posted | lparam, m_top, 0, make_lparam(15, 15)},
                                 {WM_LBUTTONUP, posted, m_top}});
}

TEST_F(Input, CaptureTakesTheMouseEverywhereAndAnnouncesItsLoss) {
    set_capture(m_a);
    recorder().ignore(WM_SETCURSOR);
    m_backend.mouse_move(m_top, {250, 30}); // over m_b
    m_backend.pump();
    set_capture(m_b);
    release_capture();
    EXPECT_SEQUENCE(recorder(),
                    {{WM_MOUSEMOVE, posted | lparam, m_a, 0, make_lparam(240, 20)},
                     {WM_CAPTURECHANGED, sent | lparam, m_a, 0, reinterpret_cast<LPARAM>(m_b)},
                     {WM_CAPTURECHANGED, sent | lparam, m_b, 0, 0}});
    EXPECT_EQ(get_capture(), nullptr);
}

TEST_F(Input, FocusMovesWithKillThenSetNamingTheOtherWindow) {
    set_focus(m_a);
    recorder().clear();
    EXPECT_EQ(set_focus(m_b), m_a);
    EXPECT_EQ(get_focus(), m_b);
    EXPECT_SEQUENCE(recorder(), {{WM_KILLFOCUS, sent | wparam, m_a, reinterpret_cast<WPARAM>(m_b)},
                                 {WM_SETFOCUS, sent | wparam, m_b, reinterpret_cast<WPARAM>(m_a)}});
}

TEST_F(Input, HidingOrDisablingTheFocusWindowTakesTheFocusAway) {
    set_focus(m_a);
    show_window(m_a, SW_HIDE);
    EXPECT_EQ(get_focus(), m_top);
    set_focus(m_b);
    enable_window(m_b, false);
    EXPECT_EQ(get_focus(), nullptr);
    EXPECT_EQ(set_focus(m_b), nullptr) << "a disabled window cannot take the focus";
    EXPECT_EQ(get_focus(), nullptr);
}

TEST_F(Input, ActivationSendsActivateToBothWindowsAndFocusesTheNewOne) {
    HWND second = make_top();
    recorder().clear();
    recorder().watch(m_top);
    recorder().watch(second);
    set_active_window(m_top);
    recorder().clear();
    set_active_window(second);
    EXPECT_SEQUENCE(recorder(), {{WM_ACTIVATE, sent | wparam | lparam, m_top, WA_INACTIVE,
                                  reinterpret_cast<LPARAM>(second)},
                                 {WM_ACTIVATE, sent | wparam | lparam, second, WA_ACTIVE,
                                  reinterpret_cast<LPARAM>(m_top)},
                                 {WM_KILLFOCUS, sent | optional, m_top},
                                 {WM_SETFOCUS, sent, second}});
    EXPECT_EQ(get_active_window(), second);
    EXPECT_EQ(get_foreground_window(), second);
}

TEST_F(Input, DoubleClicksNeedTheClassStyleAndQuickClicks) {
    recorder().ignore(WM_MOUSEMOVE);
    recorder().ignore(WM_ACTIVATE);
    m_backend.click(m_a, {5, 5});
    m_backend.click(m_a, {6, 5});
    m_backend.pump();
    EXPECT_SEQUENCE(recorder(), {{WM_LBUTTONDOWN, posted},
                                 {WM_LBUTTONUP, posted},
                                 {WM_LBUTTONDBLCLK, posted},
                                 {WM_LBUTTONUP, posted}});

    WindowClass cls;
    cls.name = "NoDouble";
    cls.proc = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
        MessageRecorder::current()->record(h, m, w, l, posted);
        return def_window_proc(h, m, w, l);
    };
    register_class(cls);
    HWND plain =
        create_window_ex(0, "NoDouble", "", WS_CHILD | WS_VISIBLE, 120, 100, 50, 50, m_top, 9);
    recorder().clear();
    recorder().watch(plain);
    m_backend.click(plain, {5, 5});
    m_backend.click(plain, {5, 5});
    m_backend.pump();
    EXPECT_SEQUENCE(recorder(), {{WM_LBUTTONDOWN, posted},
                                 {WM_LBUTTONUP, posted},
                                 {WM_LBUTTONDOWN, posted},
                                 {WM_LBUTTONUP, posted}});
    unregister_class("NoDouble");
}

TEST_F(Input, KeysCarryRepeatAndTransitionBitsAndGoToTheFocus) {
    set_focus(m_b);
    recorder().clear();
    input::key(VK_LEFT, true);
    input::key(VK_LEFT, true, 0, 3);
    input::key(VK_LEFT, false);
    m_backend.pump();
    EXPECT_SEQUENCE(recorder(),
                    {{WM_KEYDOWN, posted | wparam | lparam, m_b, VK_LEFT, 1},
                     {WM_KEYDOWN, posted | lparam, m_b, 0, 3 | (1 << 30)},
                     {WM_KEYUP, posted | lparam, m_b, 0, static_cast<LPARAM>(0xC0000001u)}});
    EXPECT_EQ(get_key_state(VK_LEFT), 0);
}

TEST_F(Input, AltMakesSystemKeysAndAltF4AsksToClose) {
    set_focus(m_top);
    recorder().clear();
    recorder().watch(m_top);
    input::key(VK_MENU, true);
    input::key(VK_F4, true);
    input::key(VK_F4, false);
    input::key(VK_MENU, false);
    m_backend.pump();
    EXPECT_SEQUENCE(recorder(), {{WM_SYSKEYDOWN, posted | wparam, m_top, VK_MENU},
                                 {WM_SYSKEYDOWN, posted | wparam, m_top, VK_F4},
                                 // The posted close request overtakes the key-ups still
                                 // waiting as input; they then find no window.
                                 {WM_SYSCOMMAND, posted | wparam, m_top, SC_CLOSE},
                                 {WM_CLOSE, sent},
                                 {WM_KILLFOCUS, sent | optional},
                                 {WM_ACTIVATE, sent | optional},
                                 {WM_DESTROY, sent},
                                 {WM_NCDESTROY, sent}});
    EXPECT_FALSE(is_window(m_top));
}

TEST_F(Input, TheCursorComesFromTheClassOfTheWindowUnderTheMouse) {
    WindowClass cls;
    cls.name = "Beam";
    cls.proc = def_window_proc;
    cls.cursor = load_cursor(IDC_IBEAM);
    register_class(cls);
    HWND beam = create_window_ex(0, "Beam", "", WS_CHILD | WS_VISIBLE, 120, 100, 50, 50, m_top, 9);
    m_backend.mouse_move(beam, {3, 3});
    m_backend.pump();
    EXPECT_EQ(m_backend.cursor_id(), IDC_IBEAM);
    m_backend.mouse_move(m_a, {3, 3});
    m_backend.pump();
    EXPECT_EQ(m_backend.cursor_id(), IDC_ARROW);
    unregister_class("Beam");
}

TEST_F(Input, ADisabledTopLevelWindowTakesNoMouseInput) {
    enable_window(m_top, false);
    recorder().clear();
    m_backend.click(m_a, {5, 5});
    m_backend.pump();
    EXPECT_TRUE(recorder().log().empty());
}

} // namespace
} // namespace test_support
