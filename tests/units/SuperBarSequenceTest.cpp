// The messages the bar and its thumb see while the thumb is pressed,
// dragged with the mouse captured, and released.

#include "SuperBarFixture.h"

#include <tests/platform/MessageRecorder.h>
#include <tests/support/Subclass.h>

namespace superbar_test {
namespace {

using platform::testing::Expected;
using platform::testing::MessageRecorder;
using platform::testing::optional;
using platform::testing::posted;
using platform::testing::sent;

platform::LRESULT record_and_pass(HWND hwnd, platform::UINT msg, platform::WPARAM wp,
                                  platform::LPARAM lp, platform::WNDPROC previous) {
    if (MessageRecorder* recorder = MessageRecorder::current())
        recorder->record(hwnd, msg, wp, lp, platform::in_send_message() ? sent : posted);
    return platform::call_window_proc(previous, hwnd, msg, wp, lp);
}

TEST_F(SuperBarTest, PressOnTheThumbDragWithCaptureAndRelease) {
    SuperBarUnit* bar = make_servo(0);
    ASSERT_NE(bar, nullptr);
    HWND thumb = bar->part_window(BarPart::Thumb);
    MessageRecorder recorder;
    for (platform::UINT noise : {platform::WM_NCHITTEST, platform::WM_SETCURSOR, platform::WM_PAINT,
                                 platform::WM_ERASEBKGND, platform::WM_NCPAINT,
                                 platform::WM_MOUSEACTIVATE, platform::WM_GETDLGCODE})
        recorder.ignore(noise);
    HWND bar_window = bar->hwnd();
    test_support::Subclass bar_seen(bar_window, record_and_pass);
    test_support::Subclass thumb_seen(thumb, record_and_pass);

    press(bar, {25, 24});
    move(bar, {96, 24});
    release(bar, {96, 24});

    auto diff = recorder.compare({
        // The mouse comes to the thumb, then presses it.
        {platform::WM_MOUSEMOVE, posted | optional, thumb},
        {platform::WM_LBUTTONDOWN, posted, thumb},
        {platform::WM_SETFOCUS, sent, bar_window},
        // With the mouse captured, the move goes to the bar, which moves the thumb.
        {platform::WM_MOUSEMOVE, posted, bar_window},
        {platform::WM_WINDOWPOSCHANGING, sent, thumb},
        {platform::WM_WINDOWPOSCHANGED, sent, thumb},
        {platform::WM_MOVE, sent, thumb},
        {platform::WM_MOUSELEAVE, posted, thumb},
        // The release comes where the last move left the mouse: the thumb stays.
        {platform::WM_MOUSEMOVE, posted | optional, bar_window},
        {platform::WM_LBUTTONUP, posted, bar_window},
        {platform::WM_CAPTURECHANGED, sent | optional, bar_window},
    });
    EXPECT_FALSE(diff.has_value()) << *diff;
    EXPECT_EQ(bar->position(), 89);
    EXPECT_EQ(count(units::EventGotFocus), 1);
    EXPECT_EQ(events(), (std::vector<std::int32_t>{SuperBarUnit::PositionChanged}));
}

} // namespace
} // namespace superbar_test
