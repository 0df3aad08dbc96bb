// The arm window on the headless display, with a stepped clock. The poses
// are written as PNG pictures into the working folder for a person to look
// at (arm_*.png).

#include "tools/arm/ArmWindow.h"

#include "platform/Encoding.h"
#include "platform/headless/HeadlessBackend.h"
#include <platform/window/Painting.h>
#include <platform/window/WindowSystem.h>

#include <cairo.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace arm {
namespace {

class ArmWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(platform::initialize(&m_backend));
        m_window = ArmWindow::create({}, platform::utf8_to_gbk("COM1 → /dev/pts/7"),
                                     [this] { return m_now; });
        ASSERT_TRUE(m_window);
    }
    void TearDown() override {
        m_window.reset();
        platform::shutdown();
    }

    // Steps the clock a frame at a time until the arm is still.
    void run_until_still() {
        for (int i = 0; i < 1000 && m_window->is_animating(); ++i) {
            m_now += ArmWindow::k_frame_ms;
            m_window->frame();
        }
    }

    std::vector<unsigned char> picture(const char* png) {
        EXPECT_TRUE(platform::save_window_png(m_window->hwnd(), png));
        cairo_surface_t* s = platform::window_surface(m_window->hwnd());
        auto* data = cairo_image_surface_get_data(s);
        return {data, data + cairo_image_surface_get_stride(s) * cairo_image_surface_get_height(s)};
    }

    // The picture a paint of the whole window draws.
    std::vector<unsigned char> whole_picture() {
        platform::invalidate_rect(m_window->hwnd(), nullptr, false);
        return picture("arm_whole.png");
    }

    platform::HeadlessBackend m_backend;
    Millis m_now = 0;
    std::unique_ptr<ArmWindow> m_window;
};

TEST_F(ArmWindowTest, AnimatesOnlyWhileAServoMoves) {
    EXPECT_FALSE(m_window->is_animating());
    m_window->receive("abcd", m_now); // empty commands move nothing
    EXPECT_FALSE(m_window->is_animating());
    m_window->receive("150a", m_now);
    EXPECT_TRUE(m_window->is_animating());
    run_until_still();
    EXPECT_FALSE(m_window->is_animating());
    EXPECT_GE(m_now, 150 - 16);
    EXPECT_LE(m_now, 150 + 16);
    EXPECT_EQ(m_window->session().model().angle(0), 150);
    // The frame timer is gone, not merely ignored.
    EXPECT_FALSE(platform::kill_timer(m_window->hwnd(), ArmWindow::k_frame_timer));
}

TEST_F(ArmWindowTest, InputThroughTheInboxIsTakenOnTheWindowsThread) {
    m_window->inbox().put({0, "80a10", false});
    m_window->inbox().put({5, "0b", false});
    platform::post_message(m_window->hwnd(), ArmWindow::WM_ARM_INPUT);
    m_backend.pump();
    ASSERT_EQ(m_window->log().size(), 2u);
    EXPECT_EQ(m_window->log()[1].command.value, 100);
    EXPECT_EQ(m_window->log()[1].gap, 5);
}

TEST_F(ArmWindowTest, TheLogKeepsTheLatestCommands) {
    std::string many;
    for (int i = 0; i < 600; ++i)
        many += std::to_string(i % 180) + "d";
    m_window->receive(many, m_now);
    ASSERT_EQ(m_window->log().size(), ArmWindow::k_log_limit);
    EXPECT_EQ(m_window->log().back().command.value, 599 % 180);
}

TEST_F(ArmWindowTest, AFrameRenewsTheArmButNeitherTheLogNorTheCounts) {
    m_window->receive("150a40b", m_now);
    platform::update_window(m_window->hwnd());
    m_now += ArmWindow::k_frame_ms;
    m_window->frame();
    platform::Rect dirty;
    ASSERT_TRUE(platform::get_update_rect(m_window->hwnd(), dirty));
    platform::Rect client;
    platform::get_client_rect(m_window->hwnd(), client);
    ArmLayout layout = ArmPainter::layout(client);
    EXPECT_FALSE(dirty.intersect(layout.side).is_empty());
    EXPECT_TRUE(dirty.intersect(layout.log).is_empty());
    EXPECT_TRUE(dirty.intersect(layout.counts).is_empty());
    // Bytes that complete no command change the counts alone.
    platform::update_window(m_window->hwnd());
    m_window->receive("x", m_now);
    ASSERT_TRUE(platform::get_update_rect(m_window->hwnd(), dirty));
    EXPECT_EQ(dirty, layout.counts);
}

// How many pixels of two pictures of one size differ by more than the
// rounding of anti-aliased edges (drawn under another clip, an edge pixel may
// come out a level or two apart).
int pixels_apart(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b) {
    if (a.size() != b.size())
        return -1;
    int apart = 0;
    for (std::size_t i = 0; i + 4 <= a.size(); i += 4) {
        bool differs = false;
        for (std::size_t c = 0; c < 3; ++c)
            differs = differs || std::abs(int(a[i + c]) - int(b[i + c])) > 8;
        apart += differs;
    }
    return apart;
}

// Frames renew only what moved; what they leave must be what a paint of
// the whole window shows, at every step of a move and once the arm is still.
TEST_F(ArmWindowTest, FramesLeaveThePictureAWholePaintWouldDraw) {
    m_window->receive("80a100b80c120d", m_now);
    run_until_still();
    m_now += 500;
    m_window->receive("170a35b170c20d", m_now);
    picture("arm_step.png");
    for (int step = 1; m_window->is_animating(); ++step) {
        // Now and then a frame comes late and the arm jumps further.
        m_now += (step % 4 == 0 ? 5 : 1) * ArmWindow::k_frame_ms;
        m_window->frame();
        if (step % 2 == 0 || !m_window->is_animating()) {
            auto framed = picture("arm_step.png");
            ASSERT_EQ(pixels_apart(framed, whole_picture()), 0) << "after frame " << step;
        }
    }
}

// A command that comes while the arm moves sends the target's ghost from
// where it stood to its new place; what is painted for it (not the whole
// window) must be what a whole paint shows, and so must the frames after.
TEST_F(ArmWindowTest, ACommandDuringAMoveRepaintsWhatItChangesAndNoMore) {
    m_window->receive("20a160b30c10d", m_now);
    for (int step = 0; step < 4; ++step) {
        m_now += ArmWindow::k_frame_ms;
        m_window->frame();
    }
    ASSERT_TRUE(m_window->is_animating());
    picture("arm_step.png");
    const std::int64_t presented = m_backend.presented_pixels();
    m_window->receive("170a35b170c170d", m_now);
    auto after_command = picture("arm_step.png");
    platform::Rect client;
    platform::get_client_rect(m_window->hwnd(), client);
    EXPECT_LT(m_backend.presented_pixels() - presented,
              static_cast<std::int64_t>(client.width()) * client.height() / 2)
        << "the title, the panels and the views away from the arm stay as they are";
    ASSERT_EQ(pixels_apart(after_command, whole_picture()), 0);
    for (int step = 1; m_window->is_animating(); ++step) {
        m_now += ArmWindow::k_frame_ms;
        m_window->frame();
        if (step % 3 == 0 || !m_window->is_animating()) {
            auto framed = picture("arm_step.png");
            ASSERT_EQ(pixels_apart(framed, whole_picture()), 0) << "after frame " << step;
        }
    }
}

TEST_F(ArmWindowTest, PosesAsPictures) {
    auto rest = picture("arm_rest.png");

    // The controller's start-up pose.
    m_window->receive("80a100b80c120d", m_now);
    run_until_still();
    auto start = picture("arm_start.png");
    EXPECT_NE(start, rest);

    // Reaching forward and down with the gripper open, the base turned.
    m_now += 700;
    m_window->receive("170a35b120c60d", m_now);
    run_until_still();
    auto reach = picture("arm_reach.png");
    EXPECT_NE(reach, start);

    // Half way to an upright pose, with commands out of range and empty
    // ones in the log.
    m_now += 1200;
    m_window->receive("10a150b", m_now);
    m_now += 400;
    m_window->receive("200c-20d", m_now);
    m_now += 30;
    m_window->receive("bc", m_now);
    m_now += 60;
    m_window->frame();
    EXPECT_TRUE(m_window->is_animating());
    auto moving = picture("arm_moving.png");
    EXPECT_NE(moving, reach);
    run_until_still();
    picture("arm_clamped.png");
}

} // namespace
} // namespace arm
