#include "PlatformTest.h"

#include "platform/controls/ScrollBarGeometry.h"
#include <platform/controls/Controls.h>

namespace platform::testing {
namespace {

using controls::layout_scroll_bar;
using controls::ScrollPart;
using controls::ScrollState;

ScrollState state_of(int min, int max, UINT page, int pos) {
    ScrollState st;
    ScrollInfo info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMin = min;
    info.nMax = max;
    info.nPage = page;
    info.nPos = pos;
    st.apply(info);
    return st;
}

TEST(ScrollState, KeepsPageAndPositionInRange) {
    struct Case {
        const char* name;
        int min, max;
        UINT page;
        int pos;
        UINT want_page;
        int want_pos;
    } cases[] = {
        {"inside", 0, 99, 10, 50, 10, 50},
        {"past the last page", 0, 99, 10, 95, 10, 90},
        {"below the minimum", 10, 20, 0, -5, 0, 10},
        {"page larger than the range", 0, 9, 50, 3, 10, 0},
        {"range upside down", 20, 10, 0, 15, 0, 20},
    };
    for (const Case& c : cases) {
        ScrollState st = state_of(c.min, c.max, c.page, c.pos);
        EXPECT_EQ(st.page, c.want_page) << c.name;
        EXPECT_EQ(st.pos, c.want_pos) << c.name;
    }
    EXPECT_FALSE(state_of(0, 9, 10, 0).scrollable());
    EXPECT_TRUE(state_of(0, 10, 10, 0).scrollable());
}

TEST(ScrollLayout, ThumbMovesFromTrackStartToTrackEndAndReadsBack) {
    ScrollState st = state_of(0, 99, 10, 0);
    auto first = layout_scroll_bar(200, 16, st, st.min);
    auto last = layout_scroll_bar(200, 16, st, st.max_pos());
    EXPECT_EQ(first.thumb_start, 16);
    EXPECT_EQ(last.thumb_start + last.thumb_length, 200 - 16);
    // A tenth of the range per page: the thumb is a tenth of the track.
    EXPECT_EQ(first.thumb_length, 16);
    EXPECT_EQ(first.position_for_thumb(st, first.thumb_start), 0);
    EXPECT_EQ(first.position_for_thumb(st, last.thumb_start), 90);
    EXPECT_EQ(first.position_for_thumb(st, 1000), 90);
    EXPECT_EQ(first.part_at(3), ScrollPart::LineUp);
    EXPECT_EQ(first.part_at(20), ScrollPart::Thumb);
    EXPECT_EQ(first.part_at(100), ScrollPart::PageDown);
    EXPECT_EQ(first.part_at(199), ScrollPart::LineDown);
    EXPECT_EQ(last.part_at(100), ScrollPart::PageUp);
    // Nothing to scroll, or no room: no thumb, and the track takes no press.
    EXPECT_EQ(layout_scroll_bar(200, 16, state_of(0, 9, 10, 0), 0).thumb_length, 0);
    EXPECT_EQ(layout_scroll_bar(40, 16, st, 0).thumb_length, 0);
    EXPECT_EQ(layout_scroll_bar(40, 16, st, 0).part_at(20), ScrollPart::None);
}

class ScrollBar : public PlatformTest {
  protected:
    void SetUp() override {
        PlatformTest::SetUp();
        register_standard_controls();
        m_top = make_top();
        recorder().ignore({WM_PAINT, WM_ERASEBKGND, WM_SETCURSOR, WM_PARENTNOTIFY, WM_MOUSEMOVE,
                           WM_NCACTIVATE, WM_ACTIVATE, WM_SETFOCUS, WM_KILLFOCUS, WM_MOUSEACTIVATE,
                           WM_CAPTURECHANGED, WM_NCMOUSEMOVE, WM_NCLBUTTONDOWN, WM_NCLBUTTONUP,
                           WM_LBUTTONDOWN, WM_LBUTTONUP, WM_MOUSELEAVE, WM_CTLCOLORSCROLLBAR});
    }

    HWND make_bar(std::uint32_t style) {
        HWND h = create_window_ex(0, WC_SCROLLBAR, "", WS_CHILD | WS_VISIBLE | style, 10, 10, 16,
                                  200, m_top, 7);
        ScrollInfo info;
        info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        info.nMax = 99;
        info.nPage = 10;
        set_scroll_info(h, SB_CTL, info);
        m_backend.pump();
        recorder().watch(m_top);
        recorder().clear();
        return h;
    }

    Expected scroll(HWND from, HWND to, int code, int pos = 0) const {
        return {WM_VSCROLL, sent | wparam | lparam, to, make_wparam(code, pos),
                reinterpret_cast<LPARAM>(from)};
    }

    HWND m_top = nullptr;
};

TEST_F(ScrollBar, HeldArrowStepsAtOnceThenOnEachRepeatAndEndsOnRelease) {
    HWND bar = make_bar(SBS_VERT);
    m_backend.mouse_down(bar, {8, 195});
    m_backend.pump();
    // The repeat timer fires: one step each time.
    send_message(bar, WM_TIMER, 1, 0);
    send_message(bar, WM_TIMER, 1, 0);
    m_backend.mouse_up(bar, {8, 195});
    m_backend.pump();
    EXPECT_SEQUENCE(recorder(),
                    {scroll(bar, m_top, SB_LINEDOWN), scroll(bar, m_top, SB_LINEDOWN),
                     scroll(bar, m_top, SB_LINEDOWN), scroll(bar, m_top, SB_ENDSCROLL)});
    // The bar does not move itself: the owner sets the position.
    EXPECT_EQ(get_scroll_pos(bar, SB_CTL), 0);
    EXPECT_EQ(get_capture(), nullptr);
}

TEST_F(ScrollBar, TrackClickPagesAndDraggedThumbReportsTrackThenPosition) {
    HWND bar = make_bar(SBS_VERT);
    m_backend.click(bar, {8, 150});
    m_backend.pump();
    EXPECT_SEQUENCE(recorder(),
                    {scroll(bar, m_top, SB_PAGEDOWN), scroll(bar, m_top, SB_ENDSCROLL)});
    recorder().clear();
    // Take the thumb in its middle and drag it past the end of the track.
    m_backend.mouse_down(bar, {8, 24});
    m_backend.mouse_move(bar, {8, 400});
    m_backend.pump();
    ScrollInfo info;
    info.fMask = SIF_TRACKPOS | SIF_POS;
    ASSERT_TRUE(get_scroll_info(bar, SB_CTL, info));
    EXPECT_EQ(info.nTrackPos, 90);
    EXPECT_EQ(info.nPos, 0);
    m_backend.mouse_up(bar, {8, 400});
    m_backend.pump();
    EXPECT_SEQUENCE(recorder(),
                    {scroll(bar, m_top, SB_THUMBTRACK, 90),
                     scroll(bar, m_top, SB_THUMBPOSITION, 90), scroll(bar, m_top, SB_ENDSCROLL)});
}

TEST_F(ScrollBar, KeysStepAndDisabledBarIgnoresThem) {
    HWND bar = make_bar(SBS_VERT | WS_TABSTOP);
    set_focus(bar);
    m_backend.press_key(VK_NEXT);
    m_backend.press_key(VK_HOME);
    m_backend.pump();
    enable_window(bar, false);
    send_message(bar, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_SEQUENCE(recorder(), {scroll(bar, m_top, SB_PAGEDOWN), scroll(bar, m_top, SB_ENDSCROLL),
                                 scroll(bar, m_top, SB_TOP), scroll(bar, m_top, SB_ENDSCROLL)});
}

TEST_F(ScrollBar, StandardBarTakesFrameSpaceHidesWhenNothingScrollsAndReportsToItsWindow) {
    HWND child = make_child(m_top, {10, 10, 210, 110}, 3, WS_VISIBLE | WS_VSCROLL);
    Rect client;
    get_client_rect(child, client);
    EXPECT_EQ(client.width(), 200 - ScrollBarSize);

    ScrollInfo info;
    info.fMask = SIF_RANGE | SIF_PAGE;
    info.nMax = 9;
    info.nPage = 10; // everything fits: the bar goes, the client area grows
    set_scroll_info(child, SB_VERT, info);
    get_client_rect(child, client);
    EXPECT_EQ(client.width(), 200);
    EXPECT_FALSE(get_style(child) & WS_VSCROLL);

    info.nMax = 99;
    recorder().watch(child);
    recorder().ignore(WM_SIZE);
    set_scroll_info(child, SB_VERT, info);
    ASSERT_TRUE(get_style(child) & WS_VSCROLL);
    m_backend.pump();
    recorder().clear();
    // The lower arrow of the bar in the frame, right of the client area.
    m_backend.click(child, {200 - ScrollBarSize + 8, 95});
    m_backend.pump();
    EXPECT_SEQUENCE(recorder(),
                    {scroll(nullptr, child, SB_LINEDOWN), scroll(nullptr, child, SB_ENDSCROLL)});
    EXPECT_EQ(get_capture(), nullptr);
    // A click in the client area is no bar's.
    recorder().clear();
    m_backend.click(child, {20, 20});
    m_backend.pump();
    for (const Recorded& r : recorder().log())
        EXPECT_NE(r.message, WM_VSCROLL);
}

} // namespace
} // namespace platform::testing
