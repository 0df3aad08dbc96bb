// The messages the bar and its thumb see while the thumb is pressed,
// dragged with the mouse captured, and released.

#include "SuperBarFixture.h"

#include <tests/platform/MessageRecorder.h>

namespace superbar_test {
namespace {

using platform::testing::Expected;
using platform::testing::MessageRecorder;
using platform::testing::optional;
using platform::testing::posted;
using platform::testing::sent;

platform::WNDPROC g_bar_proc = nullptr;
platform::WNDPROC g_thumb_proc = nullptr;
HWND g_bar = nullptr;

platform::LRESULT recording_proc(HWND hwnd, platform::UINT msg, platform::WPARAM wp,
                                 platform::LPARAM lp) {
    if (MessageRecorder* recorder = MessageRecorder::current())
        recorder->record(hwnd, msg, wp, lp, platform::in_send_message() ? sent : posted);
    return platform::call_window_proc(hwnd == g_bar ? g_bar_proc : g_thumb_proc, hwnd, msg, wp, lp);
}

TEST_F(SuperBarTest, PressOnTheThumbDragWithCaptureAndRelease) {
    SuperBar* bar = make_servo(0);
    ASSERT_NE(bar, nullptr);
    HWND thumb = bar->part_window(BarPart::Thumb);
    MessageRecorder recorder;
    for (platform::UINT noise : {platform::WM_NCHITTEST, platform::WM_SETCURSOR, platform::WM_PAINT,
                                 platform::WM_ERASEBKGND, platform::WM_NCPAINT,
                                 platform::WM_MOUSEACTIVATE, platform::WM_GETDLGCODE})
        recorder.ignore(noise);
    g_bar = bar->hwnd();
    g_bar_proc = platform::set_window_proc(g_bar, recording_proc);
    g_thumb_proc = platform::set_window_proc(thumb, recording_proc);

    press(bar, {25, 24});
    move(bar, {96, 24});
    release(bar, {96, 24});

    auto diff = recorder.compare({
        // The mouse comes to the thumb, then presses it.
        {platform::WM_MOUSEMOVE, posted | optional, thumb},
        {platform::WM_LBUTTONDOWN, posted, thumb},
        {platform::WM_SETFOCUS, sent, g_bar},
        // With the mouse captured, the move goes to the bar, which moves the thumb.
        {platform::WM_MOUSEMOVE, posted, g_bar},
        {platform::WM_WINDOWPOSCHANGING, sent, thumb},
        {platform::WM_WINDOWPOSCHANGED, sent, thumb},
        {platform::WM_MOVE, sent, thumb},
        {platform::WM_MOUSELEAVE, posted, thumb},
        // The release comes where the last move left the mouse: the thumb stays.
        {platform::WM_MOUSEMOVE, posted | optional, g_bar},
        {platform::WM_LBUTTONUP, posted, g_bar},
        {platform::WM_CAPTURECHANGED, sent | optional, g_bar},
    });
    EXPECT_FALSE(diff.has_value()) << *diff;
    EXPECT_EQ(bar->position(), 89);
    EXPECT_EQ(count(units::EventGotFocus), 1);
    EXPECT_EQ(events(), (std::vector<std::int32_t>{SuperBar::PositionChanged}));
}

} // namespace
} // namespace superbar_test
