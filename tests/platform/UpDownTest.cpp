#include "PlatformTest.h"

#include "platform/TickCount.h"
#include "platform/controls/UpDown.h"
#include <platform/controls/Controls.h>
#include <platform/window/Input.h>

#include <cairo.h>
#include <optional>
#include <string>
#include <vector>

namespace platform::testing {
namespace {

constexpr int ControlId = 11;

// What the parent saw of UDN_DELTAPOS (the record points at the sender's
// stack, so it is copied).
struct Step {
    int pos;
    int delta;
    std::uint32_t at; // tick count
};

class UpDown : public PlatformTest {
  protected:
    void SetUp() override {
        PlatformTest::SetUp();
        m_top = make_control_parent();
        recorder().ignore({WM_PAINT,
                           WM_ERASEBKGND,
                           WM_NCPAINT,
                           WM_SETCURSOR,
                           WM_CTLCOLOREDIT,
                           WM_CTLCOLORSTATIC,
                           WM_PARENTNOTIFY,
                           WM_MOUSEMOVE,
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
                           WM_CAPTURECHANGED,
                           WM_CREATE,
                           WM_NCCREATE,
                           WM_COMMAND,
                           WM_MOUSELEAVE});
        // The parent records UDN_DELTAPOS and answers it with m_answer.
        m_parent.emplace(m_top, [this](HWND h, UINT m, WPARAM w, LPARAM l, WNDPROC previous) {
            LRESULT r = call_window_proc(previous, h, m, w, l);
            if (m != WM_NOTIFY)
                return r;
            auto* nm = reinterpret_cast<NMUPDOWN*>(l);
            if (nm->hdr.code != UDN_DELTAPOS)
                return r;
            m_steps.push_back({nm->iPos, nm->iDelta, get_tick_count()});
            return m_answer;
        });
        WindowClass info;
        m_buddy_class = get_class_info(WC_EDIT, info) ? WC_EDIT : WC_STATIC;
        m_buddy = create_window_ex(0, m_buddy_class, "", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 10,
                                   100, 22, m_top, 10);
    }
    void TearDown() override {
        m_parent.reset();
        PlatformTest::TearDown();
    }

    HWND make_updown(std::uint32_t style, Rect r = {0, 0, 16, 0}) {
        HWND h = create_window_ex(0, UPDOWN_CLASS, "", WS_CHILD | WS_VISIBLE | style, r.left, r.top,
                                  r.width(), r.height(), m_top, ControlId);
        m_backend.pump();
        recorder().clear();
        return h;
    }

    // An up-down attached to the buddy's right side, stepping 0..10 from 5.
    HWND make_attached(std::uint32_t extra = 0) {
        HWND h = make_updown(UDS_ALIGNRIGHT | UDS_SETBUDDYINT | UDS_ARROWKEYS | extra);
        send_message(h, UDM_SETBUDDY, reinterpret_cast<WPARAM>(m_buddy), 0);
        send_message(h, UDM_SETRANGE32, 0, 10);
        send_message(h, UDM_SETPOS32, 0, 5);
        recorder().clear();
        return h;
    }

    static LRESULT pos(HWND h) { return send_message(h, UDM_GETPOS32, 0, 0); }

    static Point upper(HWND) { return {4, 3}; }
    static Point lower(HWND h) {
        Rect c;
        get_client_rect(h, c);
        return {4, c.bottom - 3};
    }

    Expected notify(HWND) const {
        return {WM_NOTIFY, sent | wparam, m_top, static_cast<WPARAM>(ControlId)};
    }
    Expected scroll(HWND h, int code, int position, UINT msg = WM_VSCROLL) const {
        return {msg, sent | wparam | lparam, m_top, make_wparam(code, position),
                reinterpret_cast<LPARAM>(h)};
    }

    HWND m_top = nullptr;
    HWND m_buddy = nullptr;
    const char* m_buddy_class = nullptr;
    std::vector<Step> m_steps;
    LRESULT m_answer = 0;
    std::optional<Subclass> m_parent;
};

TEST_F(UpDown, AClickOnEachHalfAsksMovesWritesTheBuddyAndReports) {
    HWND h = make_attached();
    m_backend.click(h, upper(h));
    m_backend.pump();
    EXPECT_EQ(pos(h), 6);
    EXPECT_EQ(get_window_text(m_buddy), "6");
    m_backend.click(h, lower(h));
    m_backend.pump();
    EXPECT_EQ(pos(h), 5);
    EXPECT_EQ(get_window_text(m_buddy), "5");
    EXPECT_SEQUENCE(recorder(),
                    {notify(h), scroll(h, SB_THUMBPOSITION, 6), scroll(h, SB_ENDSCROLL, 6),
                     notify(h), scroll(h, SB_THUMBPOSITION, 5), scroll(h, SB_ENDSCROLL, 5)});
    ASSERT_EQ(m_steps.size(), 2u);
    EXPECT_EQ(m_steps[0].pos, 5);
    EXPECT_EQ(m_steps[0].delta, 1);
    EXPECT_EQ(m_steps[1].pos, 6);
    EXPECT_EQ(m_steps[1].delta, -1);
}

TEST_F(UpDown, ANonZeroAnswerToDeltaPosCancelsTheChangeButTheReportStillComes) {
    HWND h = make_attached();
    set_window_text(m_buddy, "5");
    recorder().clear();
    m_answer = 1;
    m_backend.click(h, upper(h));
    m_backend.pump();
    EXPECT_EQ(pos(h), 5);
    EXPECT_EQ(get_window_text(m_buddy), "5");
    EXPECT_SEQUENCE(recorder(),
                    {notify(h), scroll(h, SB_THUMBPOSITION, 5), scroll(h, SB_ENDSCROLL, 5)});
}

TEST_F(UpDown, TheDefaultRangeRunsDownwardsSoUpMakesTheNumberSmaller) {
    HWND h = make_updown(0, {150, 10, 166, 40});
    EXPECT_EQ(send_message(h, UDM_GETRANGE, 0, 0), make_lparam(0, 100))
        << "low word maximum 0, high word minimum 100";
    send_message(h, UDM_SETPOS32, 0, 50);
    m_backend.click(h, upper(h));
    m_backend.pump();
    EXPECT_EQ(pos(h), 49);
    ASSERT_EQ(m_steps.size(), 1u);
    EXPECT_EQ(m_steps[0].delta, -1);
    send_message(h, UDM_SETPOS32, 0, 0);
    m_backend.click(h, upper(h));
    m_backend.pump();
    EXPECT_EQ(pos(h), 0) << "stops at the maximum";
}

TEST_F(UpDown, WrapGoesRoundTheEndsAndWithoutItThePositionStops) {
    HWND h = make_attached(UDS_WRAP);
    send_message(h, UDM_SETPOS32, 0, 10);
    m_backend.click(h, upper(h));
    m_backend.pump();
    EXPECT_EQ(pos(h), 0);
    m_backend.click(h, lower(h));
    m_backend.pump();
    EXPECT_EQ(pos(h), 10);

    HWND plain = make_updown(0, {150, 10, 166, 40});
    send_message(plain, UDM_SETRANGE32, 0, 10);
    send_message(plain, UDM_SETPOS32, 0, 10);
    m_backend.click(plain, upper(plain));
    m_backend.pump();
    EXPECT_EQ(pos(plain), 10);
    // The parent hears of the attempt at the end too.
    EXPECT_SEQUENCE(recorder(), {notify(plain), scroll(plain, SB_THUMBPOSITION, 10),
                                 scroll(plain, SB_ENDSCROLL, 10)});
}

TEST_F(UpDown, HoldingTheButtonRepeatsAfterAPauseThenQuickly) {
    HWND h = make_attached();
    send_message(h, UDM_SETRANGE32, 0, 1000);
    m_backend.mouse_down(h, upper(h));
    m_backend.pump();
    ASSERT_EQ(m_steps.size(), 1u) << "the press steps at once";
    m_backend.run_for(controls::k_updown_first_delay_ms - 1);
    EXPECT_EQ(m_steps.size(), 1u) << "nothing more before the first pause ends";
    m_backend.run_for(1 + 3 * controls::k_updown_repeat_ms);
    m_backend.mouse_up(h, upper(h));
    m_backend.pump();
    ASSERT_EQ(m_steps.size(), 5u) << "the pause, then three quick steps";
    const std::uint32_t first = controls::k_updown_first_delay_ms;
    const std::uint32_t quick = controls::k_updown_repeat_ms;
    const std::uint32_t expected_at[] = {0, first, first + quick, first + 2 * quick,
                                         first + 3 * quick};
    for (std::size_t i = 0; i < m_steps.size(); ++i) {
        EXPECT_EQ(m_steps[i].at - m_steps[0].at, expected_at[i]) << "step " << i;
        EXPECT_EQ(m_steps[i].pos, static_cast<int>(5 + i));
    }
    EXPECT_EQ(pos(h), 10);
    EXPECT_EQ(get_window_text(m_buddy), "10");
    ASSERT_FALSE(recorder().log().empty());
    EXPECT_EQ(recorder().log().back().message, static_cast<UINT>(WM_VSCROLL));
    EXPECT_EQ(loword(recorder().log().back().wp), SB_ENDSCROLL);
    m_backend.run_for(10 * quick);
    EXPECT_EQ(m_steps.size(), 5u) << "no more steps after the release";
}

TEST_F(UpDown, TheBuddysArrowKeysStepWhenAsked) {
    HWND h = make_attached();
    set_focus(m_buddy);
    recorder().clear();
    m_backend.press_key(VK_UP);
    m_backend.press_key(VK_UP);
    m_backend.press_key(VK_DOWN);
    m_backend.pump();
    EXPECT_EQ(pos(h), 6);
    EXPECT_EQ(get_window_text(m_buddy), "6");
    EXPECT_SEQUENCE(recorder(),
                    {notify(h), scroll(h, SB_THUMBPOSITION, 6), scroll(h, SB_ENDSCROLL, 6),
                     notify(h), scroll(h, SB_THUMBPOSITION, 7), scroll(h, SB_ENDSCROLL, 7),
                     notify(h), scroll(h, SB_THUMBPOSITION, 6), scroll(h, SB_ENDSCROLL, 6)});

    // Without UDS_ARROWKEYS the buddy keeps its keys.
    send_message(h, UDM_SETBUDDY, 0, 0);
    HWND quiet = make_updown(UDS_SETBUDDYINT, {150, 10, 166, 40});
    send_message(quiet, UDM_SETBUDDY, reinterpret_cast<WPARAM>(m_buddy), 0);
    set_focus(m_buddy);
    m_backend.press_key(VK_UP);
    m_backend.pump();
    EXPECT_EQ(m_steps.size(), 3u) << "the buddy's Up key is its own again";
}

TEST_F(UpDown, TheBuddyIntIsReadBackAndWrittenWithThousandsSeparators) {
    HWND h = make_attached();
    send_message(h, UDM_SETRANGE32, static_cast<WPARAM>(-5000), 5000);
    set_window_text(m_buddy, "1,234");
    EXPECT_EQ(send_message(h, UDM_GETPOS, 0, 0), make_lparam(1234, 0));
    m_backend.click(h, upper(h));
    m_backend.pump();
    EXPECT_EQ(get_window_text(m_buddy), "1,235");
    send_message(h, UDM_SETPOS32, 0, -1000);
    EXPECT_EQ(get_window_text(m_buddy), "-1,000");

    set_window_text(m_buddy, "abc");
    EXPECT_NE(hiword(static_cast<std::uintptr_t>(send_message(h, UDM_GETPOS, 0, 0))), 0)
        << "an error flag";
    BOOL error = 0;
    EXPECT_EQ(send_message(h, UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&error)), -1000);
    EXPECT_TRUE(error);
    m_backend.click(h, upper(h));
    m_backend.pump();
    EXPECT_EQ(get_window_text(m_buddy), "-999") << "bad text leaves the position to step from";

    set_window_long(h, GWL_STYLE, get_style(h) | UDS_NOTHOUSANDS);
    send_message(h, UDM_SETPOS32, 0, 4321);
    EXPECT_EQ(get_window_text(m_buddy), "4321");
}

TEST_F(UpDown, SettingThePositionClampsAndAnswersTheOldOne) {
    HWND h = make_updown(0, {150, 10, 166, 40});
    send_message(h, UDM_SETRANGE, 0, make_lparam(20, -20)); // maximum 20, minimum -20
    int min = 0, max = 0;
    send_message(h, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&min), reinterpret_cast<LPARAM>(&max));
    EXPECT_EQ(min, -20);
    EXPECT_EQ(max, 20);
    EXPECT_EQ(send_message(h, UDM_SETPOS, 0, make_lparam(-7, 0)), 0);
    EXPECT_EQ(send_message(h, UDM_GETPOS, 0, 0), make_lparam(-7, 0));
    EXPECT_EQ(send_message(h, UDM_SETPOS32, 0, 99), -7);
    EXPECT_EQ(pos(h), 20);
    EXPECT_EQ(send_message(h, UDM_GETRANGE32, 0, 0), 0) << "null pointers are skipped";
    EXPECT_TRUE(recorder().log().empty()) << "setting by message notifies nothing";
}

TEST_F(UpDown, AlignRightShrinksTheBuddyAndAutoBuddyTakesThePreviousSibling) {
    HWND h = make_updown(UDS_ALIGNRIGHT | UDS_AUTOBUDDY);
    EXPECT_EQ(reinterpret_cast<HWND>(send_message(h, UDM_GETBUDDY, 0, 0)), m_buddy);
    Rect buddy, own;
    get_window_placement_rect(m_buddy, buddy);
    get_window_placement_rect(h, own);
    EXPECT_EQ(buddy, (Rect{10, 10, 94, 32}));
    EXPECT_EQ(own, (Rect{94, 10, 110, 32}));

    HWND left_buddy =
        create_window_ex(0, m_buddy_class, "", WS_CHILD | WS_VISIBLE, 10, 50, 100, 20, m_top, 12);
    HWND l = make_updown(UDS_ALIGNLEFT, {0, 0, 0, 0});
    EXPECT_EQ(send_message(l, UDM_SETBUDDY, reinterpret_cast<WPARAM>(left_buddy), 0), 0);
    get_window_placement_rect(left_buddy, buddy);
    get_window_placement_rect(l, own);
    EXPECT_EQ(own, (Rect{10, 50, 26, 70})) << "a control made without a width takes the default";
    EXPECT_EQ(buddy, (Rect{26, 50, 110, 70}));
}

TEST_F(UpDown, AHorizontalControlStepsRightAndReportsWithHScroll) {
    HWND h = make_updown(UDS_HORZ, {150, 10, 190, 26});
    send_message(h, UDM_SETRANGE32, 0, 9);
    m_backend.click(h, {30, 8});
    m_backend.click(h, {30, 8});
    m_backend.click(h, {5, 8});
    m_backend.pump();
    EXPECT_EQ(pos(h), 1);
    EXPECT_SEQUENCE(recorder(), {notify(h), scroll(h, SB_THUMBPOSITION, 1, WM_HSCROLL),
                                 scroll(h, SB_ENDSCROLL, 1, WM_HSCROLL), notify(h),
                                 scroll(h, SB_THUMBPOSITION, 2, WM_HSCROLL),
                                 scroll(h, SB_ENDSCROLL, 2, WM_HSCROLL), notify(h),
                                 scroll(h, SB_THUMBPOSITION, 1, WM_HSCROLL),
                                 scroll(h, SB_ENDSCROLL, 1, WM_HSCROLL)});
}

TEST_F(UpDown, LooksLikeTwoArrowButtonsBesideTheBuddy) {
    HWND h = make_attached();
    send_message(h, UDM_SETPOS32, 0, 7);
    m_backend.mouse_down(h, lower(h));
    m_backend.pump();
    // A buddy that painted itself before its parent's first paint was
    // painted over; paint everything afresh for the picture.
    redraw_window(m_top);
    cairo_surface_t* s = window_surface(m_top);
    ASSERT_NE(s, nullptr);
    cairo_surface_flush(s);
    Point o;
    map_window_points(h, m_top, &o, 1);
    auto* data = cairo_image_surface_get_data(s);
    int stride = cairo_image_surface_get_stride(s);
    auto pixel = [&](int x, int y) {
        return *reinterpret_cast<std::uint32_t*>(data + y * stride + x * 4) & 0xFFFFFF;
    };
    EXPECT_EQ(pixel(o.x + 3, o.y + 3), 0xF0F0F0u) << "the upper button is flat";
    EXPECT_EQ(pixel(o.x + 3, o.y + lower(h).y), 0xCCE4F7u) << "the held lower button is pressed";
    int ink = 0;
    for (int y = 0; y < lower(h).y / 2; ++y)
        for (int x = 2; x < 14; ++x)
            ink += (pixel(o.x + x, o.y + y) & 0xFF) < 0x60 ? 1 : 0;
    EXPECT_GT(ink, 3) << "the up arrow is inked";
    EXPECT_TRUE(save_window_png(m_top, "updown_look.png"));
    m_backend.mouse_up(h, lower(h));
    m_backend.pump();
}

} // namespace
} // namespace platform::testing
