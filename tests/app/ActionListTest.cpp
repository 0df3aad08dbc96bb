// Recording poses into the action table, clearing it, the speed box, and
// playback on stepped time with the arm's bytes read at the far end.

#include "AppFixture.h"
#include <tests/support/SteppedTime.h>

#include <app/AppState.h>
#include <app/Units.h>

#include <platform/window/Messages.h>
#include <platform/window/Styles.h>
#include <platform/window/WindowSystem.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>

using namespace app_test;
using namespace app;

namespace {

class ActionListTest : public AppTest {
  protected:
    // Moves a slider by `steps` line steps (negative: down).
    void nudge(ServoNumber servo, int steps) {
        key(Servos[servo].slider.unit, steps > 0 ? platform::VK_RIGHT : platform::VK_LEFT,
            std::abs(steps));
    }
    std::string row(int r) {
        return cell(r, 1) + "," + cell(r, 2) + "," + cell(r, 3) + "," + cell(r, 4);
    }
    std::size_t log_lines() {
        return static_cast<std::size_t>(
            std::count(state().record_log.begin(), state().record_log.end(), '\n'));
    }
    // Records three poses with the port closed: 80,100,80,120, then with the
    // Gripper one step up each time.
    void record_three() {
        click(RecordButton);
        nudge(Gripper, 1);
        click(RecordButton);
        nudge(Gripper, 1);
        click(RecordButton);
    }
};

TEST_F(ActionListTest, RecordWritesThePoseIntoTheNextRowAndTheLog) {
    start();
    click(RecordButton);
    EXPECT_EQ(row(1), "80,100,80,120");
    EXPECT_EQ(current_cell(), std::make_pair(1, 0));
    EXPECT_EQ(state().recorded_rows, 1);
    EXPECT_EQ(state().record_log, "80,100,80,120\r\n");
    nudge(Base, -3);
    click(RecordButton);
    EXPECT_EQ(row(2), "80,100,80,120");
    EXPECT_EQ(row(3), ",,,");
    EXPECT_EQ(current_cell(), std::make_pair(2, 0));
    EXPECT_EQ(state().record_log, "80,100,80,120\r\n80,100,80,120\r\n");
}

TEST_F(ActionListTest, TheHundredAndFirstRecordOnlySaysTheTableIsFull) {
    start();
    for (int i = 0; i < 100; ++i)
        click(RecordButton);
    EXPECT_EQ(row(100), "80,100,80,120");
    EXPECT_TRUE(m_backend.message_boxes().empty());
    nudge(Gripper, 5);
    click(RecordButton);
    ASSERT_EQ(message_texts(), std::vector<std::string>{"Memory full "});
    EXPECT_EQ(m_backend.message_boxes().back().caption, gbk("信息："));
    EXPECT_EQ(state().recorded_rows, 100);
    EXPECT_EQ(log_lines(), 100u);
    EXPECT_EQ(row(100), "80,100,80,120");
    EXPECT_EQ(current_cell(), std::make_pair(100, 0));
}

TEST_F(ActionListTest, ClearEmptiesTheTableButKeepsTheLog) {
    start();
    record_three();
    click(ClearButton);
    EXPECT_EQ(state().recorded_rows, 0);
    for (int r = 1; r <= 3; ++r)
        EXPECT_EQ(row(r), ",,,") << r;
    EXPECT_EQ(cell(0, 1), "Gripper");
    EXPECT_EQ(cell(0, 4), "Base");
    EXPECT_EQ(cell(100, 0), "Action 100");
    EXPECT_EQ(log_lines(), 3u);
    click(RecordButton);
    EXPECT_EQ(row(1), "82,100,80,120");
    EXPECT_EQ(log_lines(), 4u);
}

TEST_F(ActionListTest, TheSpeedBoxIsClampedAndSetsTheStepInterval) {
    start();
    // Start-up's own rule: ten times the stored "10".
    EXPECT_EQ(state().step_interval, 100);
    struct Case {
        const char* typed;
        const char* kept;
        std::int32_t interval;
    };
    const Case cases[] = {
        {"10", "10", 550},  {"25", "20", 50},    {"0", "1", 1000},
        {"abc", "1", 1000}, {"5.5", "5.5", 775}, {"20.00000005", "20.00000005", 49},
        {"1", "1", 1000},   {"15", "15", 300},
    };
    for (const Case& c : cases) {
        write_text(SpeedBox.unit, property::EditContent, c.typed);
        EXPECT_EQ(read_text(SpeedBox.unit, 0, property::EditContent), c.kept) << c.typed;
        EXPECT_EQ(state().step_interval, c.interval) << c.typed;
    }
}

TEST_F(ActionListTest, RunPlaysEveryFilledRowForEachPassThenSaysStop) {
    start();
    record_three();
    write_text(CyclesBox.unit, property::EditContent, "2");
    click(OpenButton);
    const std::uint64_t start_ms = platform::test_clock().now_ms();
    {
        test_support::LetTimeRun run;
        click(RunButton);
    }
    const std::uint64_t took = platform::test_clock().now_ms() - start_ms;
    const std::string pass = "80a100b80c120d81a100b80c120d82a100b80c120d";
    EXPECT_TRUE(m_arm.next_is(pass + pass));
    // Six steps of 100 ms each, every one waited out in full.
    EXPECT_GE(took, 600u);
    EXPECT_LT(took, 700u);
    EXPECT_EQ(message_texts(), std::vector<std::string>{"Stop"});
    EXPECT_EQ(status_text(), gbk("Port：open          Statu：Run"));
    EXPECT_EQ(current_cell(), std::make_pair(3, 1));
    // Nothing followed the last step.
    nudge(Elbow, 1);
    EXPECT_TRUE(m_arm.next_is("81c"));
}

TEST_F(ActionListTest, RunOverAnEmptyTableSendsNothingAndSaysStopAtOnce) {
    start();
    click(OpenButton);
    write_text(CyclesBox.unit, property::EditContent, "3");
    const std::uint64_t start_ms = platform::test_clock().now_ms();
    {
        test_support::LetTimeRun run;
        click(RunButton);
    }
    EXPECT_EQ(platform::test_clock().now_ms(), start_ms) << "nothing waited";
    EXPECT_EQ(message_texts(), std::vector<std::string>{"Stop"});
    nudge(Elbow, 1);
    EXPECT_TRUE(m_arm.next_is("81c"));
}

TEST_F(ActionListTest, StopDuringAWaitEndsThePlaybackAfterThatStep) {
    start();
    record_three();
    write_text(CyclesBox.unit, property::EditContent, "5");
    click(OpenButton);
    // Both presses are queued before the playback starts; the Stop press is
    // handled inside the playback's first wait.
    auto middle = [this](std::uint32_t unit) {
        platform::Rect client;
        platform::get_client_rect(unit_window(unit), client);
        return platform::Point{client.width() / 2, client.height() / 2};
    };
    m_backend.click(unit_window(RunButton), middle(RunButton));
    m_backend.click(unit_window(StopButton), middle(StopButton));
    {
        test_support::LetTimeRun run;
        pump();
    }
    EXPECT_TRUE(m_arm.next_is("80a100b80c120d"));
    EXPECT_EQ(message_texts(), std::vector<std::string>{"Stop"});
    EXPECT_EQ(status_text(), gbk("Port：Open          Statu：Stop"));
    EXPECT_EQ(current_cell(), std::make_pair(1, 1));
    nudge(Elbow, 1);
    EXPECT_TRUE(m_arm.next_is("81c"));
    // The next playback clears the flag again.
    write_text(CyclesBox.unit, property::EditContent, "1");
    {
        test_support::LetTimeRun run;
        click(RunButton);
    }
    EXPECT_TRUE(m_arm.next_is("80a100b80c120d81a100b80c120d82a100b80c120d"));
}

TEST_F(ActionListTest, ClosingTheWindowDuringAPlaybackEndsItWithoutTouchingTheUnits) {
    start();
    record_three();
    click(OpenButton);
    platform::HWND main_window = window();
    ASSERT_TRUE(main_window);
    auto middle = [this](std::uint32_t unit) {
        platform::Rect client;
        platform::get_client_rect(unit_window(unit), client);
        return platform::Point{client.width() / 2, client.height() / 2};
    };
    // Time stands still until the first row has reached the arm; then the
    // window is closed from outside while the playback waits, and time runs
    // by itself until the playback has returned.
    std::string first_row;
    std::atomic<bool> finished{false};
    std::thread closer([&] {
        first_row = m_arm.read(14);
        platform::post_message(main_window, platform::WM_CLOSE);
        test_support::LetTimeRun run;
        EXPECT_TRUE(test_support::wait_for([&] { return finished.load(); }, 60000));
    });
    m_backend.click(unit_window(RunButton), middle(RunButton));
    pump();
    finished = true;
    closer.join();
    EXPECT_EQ(first_row, "80a100b80c120d");
    EXPECT_FALSE(platform::is_window(main_window));
    EXPECT_TRUE(message_texts().empty());
}

} // namespace
