#include "PlatformTest.h"

#include <platform/controls/Controls.h>
#include <platform/window/Input.h>
#include <platform/window/MessageParams.h>

#include <string>
#include <utility>
#include <vector>

namespace test_support {

using namespace platform;
namespace {

std::string numbered_lines(int count, const std::string& prefix = "line ") {
    std::string text;
    for (int i = 0; i < count; ++i)
        text += (i ? "\r\n" : "") + prefix + std::to_string(i);
    return text;
}

class EditScrollBars : public PlatformTest {
  protected:
    void SetUp() override {
        PlatformTest::SetUp();
        register_standard_controls();
        m_top = make_top();
        recorder().install_hook();
    }

    HWND edit(std::uint32_t style, const std::string& text, Rect r = {10, 10, 210, 110}) {
        HWND e = create_window_ex(WS_EX_CLIENTEDGE, WC_EDIT, text,
                                  WS_CHILD | WS_VISIBLE | ES_MULTILINE | style, r.left, r.top,
                                  r.width(), r.height(), m_top, 7);
        m_backend.pump();
        recorder().watch(e);
        recorder().clear();
        return e;
    }

    // The scroll requests the box received, in order: (message, code).
    std::vector<std::pair<UINT, int>> scroll_requests() {
        std::vector<std::pair<UINT, int>> seen;
        for (const Recorded& r : recorder().log())
            if ((r.message == WM_VSCROLL || r.message == WM_HSCROLL) && (r.flags & hook))
                seen.emplace_back(r.message, loword(r.wp));
        return seen;
    }

    static int first_line(HWND e) {
        return static_cast<int>(send_message(e, EM_GETFIRSTVISIBLELINE));
    }
    static ScrollInfo bar_info(HWND e, int bar) {
        ScrollInfo info;
        info.fMask = SIF_ALL;
        EXPECT_TRUE(get_scroll_info(e, bar, info));
        return info;
    }
    static Rect client_of(HWND e) {
        Rect c;
        get_client_rect(e, c);
        return c;
    }

    HWND m_top = nullptr;
};

TEST_F(EditScrollBars, TheVerticalBarShowsOnlyWhileTheTextIsTallerThanTheBox) {
    HWND e = edit(WS_VSCROLL | ES_AUTOVSCROLL, numbered_lines(2));
    Rect outer;
    get_window_rect(e, outer);
    EXPECT_FALSE(get_style(e) & WS_VSCROLL) << "two lines fit";
    EXPECT_EQ(client_of(e).width(), outer.width() - 4) << "only the edge is left of the frame";

    set_window_text(e, numbered_lines(20));
    m_backend.pump();
    ASSERT_TRUE(get_style(e) & WS_VSCROLL);
    EXPECT_EQ(client_of(e).width(), outer.width() - 4 - ScrollBarSize);
    ScrollInfo info = bar_info(e, SB_VERT);
    EXPECT_EQ(info.nMin, 0);
    EXPECT_EQ(info.nMax, 19) << "one position per line";
    EXPECT_GT(info.nPage, 1u);
    EXPECT_LT(info.nPage, 20u);
    EXPECT_EQ(info.nPos, 0);

    set_window_text(e, "short");
    m_backend.pump();
    EXPECT_FALSE(get_style(e) & WS_VSCROLL) << "the bar goes with the lines";

    // A box made without WS_VSCROLL never grows a bar.
    HWND plain = edit(ES_AUTOVSCROLL, numbered_lines(20), {10, 120, 210, 220});
    EXPECT_FALSE(get_style(plain) & WS_VSCROLL);
}

TEST_F(EditScrollBars, BarRequestsMoveTheFirstVisibleLineAndTheBarFollows) {
    HWND e = edit(WS_VSCROLL | ES_AUTOVSCROLL, numbered_lines(30));
    Rect c = client_of(e);
    int page = static_cast<int>(bar_info(e, SB_VERT).nPage);
    int last = 30 - page;

    // The lower arrow of the bar, in the frame right of the client area.
    m_backend.click(e, {c.right + ScrollBarSize / 2, c.bottom - 4});
    m_backend.pump();
    EXPECT_EQ(scroll_requests(), (std::vector<std::pair<UINT, int>>{{WM_VSCROLL, SB_LINEDOWN},
                                                                    {WM_VSCROLL, SB_ENDSCROLL}}));
    EXPECT_EQ(first_line(e), 1);
    EXPECT_EQ(get_scroll_pos(e, SB_VERT), 1);

    struct ScrollStep {
        int code;
        int want;
    } steps[] = {
        {SB_PAGEDOWN, 1 + page},  {SB_BOTTOM, last}, {SB_LINEDOWN, last},
        {SB_PAGEUP, last - page}, {SB_TOP, 0},       {SB_LINEUP, 0},
    };
    for (const ScrollStep& s : steps) {
        send_message(e, WM_VSCROLL, make_wparam(s.code, 0), 0);
        EXPECT_EQ(first_line(e), s.want) << "code " << s.code;
        EXPECT_EQ(get_scroll_pos(e, SB_VERT), s.want) << "code " << s.code;
    }

    // Dragging the thumb to the bottom of the track scrolls to the last page.
    Point thumb{c.right + ScrollBarSize / 2, ScrollBarSize + 4};
    m_backend.mouse_down(e, thumb);
    m_backend.mouse_move(e, {thumb.x, c.bottom + 40});
    m_backend.mouse_up(e, {thumb.x, c.bottom + 40});
    m_backend.pump();
    EXPECT_EQ(first_line(e), last);
    EXPECT_EQ(get_scroll_pos(e, SB_VERT), last);
}

TEST_F(EditScrollBars, WheelAndCaretMovesScrollTheBoxAndTheBarFollows) {
    HWND e = edit(WS_VSCROLL | ES_AUTOVSCROLL, numbered_lines(30));
    set_focus(e);
    m_backend.wheel(e, {20, 20}, -WHEEL_DELTA);
    m_backend.pump();
    EXPECT_EQ(first_line(e), 3);
    EXPECT_EQ(get_scroll_pos(e, SB_VERT), 3);

    input::key(VK_CONTROL, true);
    m_backend.press_key(VK_END);
    input::key(VK_CONTROL, false);
    m_backend.pump();
    int page = static_cast<int>(bar_info(e, SB_VERT).nPage);
    EXPECT_EQ(first_line(e), 30 - page) << "the caret at the end is shown";
    EXPECT_EQ(get_scroll_pos(e, SB_VERT), 30 - page);

    input::key(VK_CONTROL, true);
    m_backend.press_key(VK_HOME);
    input::key(VK_CONTROL, false);
    m_backend.pump();
    EXPECT_EQ(first_line(e), 0);
    EXPECT_EQ(get_scroll_pos(e, SB_VERT), 0);
}

TEST_F(EditScrollBars, TheHorizontalBarScrollsALongLineOnlyWhenLinesDoNotWrap) {
    const std::string wide = "short\r\n" + std::string(80, 'W');
    HWND e = edit(WS_HSCROLL | ES_AUTOHSCROLL, wide);
    ASSERT_TRUE(get_style(e) & WS_HSCROLL);
    ScrollInfo info = bar_info(e, SB_HORZ);
    EXPECT_EQ(info.nPos, 0);
    EXPECT_GT(info.nMax, client_of(e).width()) << "the range is the widest line in pixels";

    send_message(e, WM_HSCROLL, make_wparam(SB_LINERIGHT, 0), 0);
    int one_step = get_scroll_pos(e, SB_HORZ);
    EXPECT_GT(one_step, 0);
    send_message(e, WM_HSCROLL, make_wparam(SB_PAGERIGHT, 0), 0);
    EXPECT_GT(get_scroll_pos(e, SB_HORZ), one_step + client_of(e).width() / 2);
    send_message(e, WM_HSCROLL, make_wparam(SB_RIGHT, 0), 0);
    info = bar_info(e, SB_HORZ);
    EXPECT_EQ(info.nPos, info.nMax - static_cast<int>(info.nPage) + 1) << "the right end";
    send_message(e, WM_HSCROLL, make_wparam(SB_LEFT, 0), 0);
    EXPECT_EQ(get_scroll_pos(e, SB_HORZ), 0);

    // Without ES_AUTOHSCROLL the lines wrap: nothing is left to scroll sideways.
    HWND wrapping = edit(WS_HSCROLL, wide, {10, 120, 210, 220});
    EXPECT_FALSE(get_style(wrapping) & WS_HSCROLL);
}

} // namespace
} // namespace test_support
