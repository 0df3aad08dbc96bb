// The arm's adapter pulled out while the port is open, and plugged in again:
// the port comes back by itself, the status panel's tool-tip tells what
// happened, the status texts and the button follow the presses alone, and a
// playback goes on through the gap and resumes sending on the return.

#include "AppFixture.h"
#include <tests/support/PluggableLine.h>
#include <tests/support/PumpUntil.h>
#include <tests/support/SteppedTime.h>

#include <app/AppState.h>
#include <app/Units.h>

#include <units/serialport/SerialPortUnit.h>

#include <runtime/AppRuntime.h>
#include <runtime/windows/WindowObject.h>

#include <platform/window/Styles.h>

#include <atomic>
#include <string>
#include <thread>

using namespace test_support;
using namespace app;

namespace {

class UnpluggedArmTest : public AppTest {
  protected:
    void SetUp() override {
        AppTest::SetUp();
        ASSERT_TRUE(m_line.ok());
        // COM1 is the entry of the port folder that the line leaves and
        // comes back to.
        m_env.set("ARMCTL_COM1", std::nullopt);
        m_env.set("XDG_CONFIG_HOME", m_line.config_home());
    }

    // The port unit itself, for asking from another thread whether its
    // device is there (the engine answers under its own lock).
    units::SerialPortUnit* port_unit() {
        auto* window = runtime::AppRuntime::the().find_window(Port.window);
        auto* record = window ? window->find_unit_or_window(Port.unit) : nullptr;
        return record
                   ? dynamic_cast<units::SerialPortUnit*>(runtime::WindowObject::object_of(*record))
                   : nullptr;
    }

    bool pump_until(const std::function<bool()>& done) {
        return test_support::pump_until(m_backend, done, 5000);
    }

    void nudge(ServoNumber servo) { key(Servos[servo].slider, platform::VK_RIGHT); }

    PluggableLine m_line{"app-reconnect", 1};
};

const std::string Row1 = "80a100b80c120d";
const std::string Row2 = "81a100b80c120d";
const std::string Row3 = "82a100b80c120d";

} // namespace

TEST_F(UnpluggedArmTest, TheToolTipTellsOfTheLossAndTheReturnWhileTheStatusFollowsThePresses) {
    start();
    click(PortButton);
    const std::string first = m_line.pty().slave_path();
    EXPECT_EQ(status_tip(), gbk("COM1 → ") + first);

    m_line.unplug();
    const std::string away = gbk("COM1 → ") + first + ": unplugged, waiting for it to return";
    ASSERT_TRUE(pump_until([&] { return status_tip() == away; })) << status_tip();
    EXPECT_EQ(status_text(), gbk("Port：Open"));
    EXPECT_EQ(read_text(PortButton, Button::Caption), "Open");
    EXPECT_EQ(state().port_open, 1);
    // A slider still moves and shows its value; nothing waits for the line.
    nudge(Elbow);
    EXPECT_EQ(read_text(ElbowValue, Label::Caption), "81");

    ASSERT_TRUE(m_line.plug());
    const std::string back = gbk("COM1 → ") + m_line.pty().slave_path() + ": reconnected";
    ASSERT_TRUE(pump_until([&] { return status_tip() == back; })) << status_tip();
    EXPECT_EQ(status_text(), gbk("Port：Open"));
    nudge(Elbow);
    EXPECT_TRUE(m_line.pty().next_is("82c"));

    // The press that closes the port ends the watch; the flag alternates
    // as ever.
    click(PortButton);
    EXPECT_EQ(status_text(), gbk("Port：Close"));
    EXPECT_EQ(read_text(PortButton, Button::Caption), "Close");
    EXPECT_EQ(status_tip(), gbk("COM1 → ") + m_line.pty().slave_path());
    EXPECT_FALSE(port_unit()->is_open());
    click(PortButton);
    EXPECT_EQ(status_text(), gbk("Port：Open"));
    nudge(Elbow);
    EXPECT_TRUE(m_line.pty().next_is("83c"));
}

TEST_F(UnpluggedArmTest, APlaybackGoesOnWhileTheDeviceIsAwayAndTheNextRowArrivesWhole) {
    start();
    click(RecordButton);
    nudge(Gripper);
    click(RecordButton);
    nudge(Gripper);
    click(RecordButton);
    write_text(SpeedBox, EditBox::Content, "20");
    ASSERT_EQ(state().step_interval, 50);
    write_text(CyclesBox, EditBox::Content, "10");
    click(PortButton);
    units::SerialPortUnit* port = port_unit();
    ASSERT_TRUE(port);

    // The arm's side: the first row arrives, then the adapter is pulled out
    // for three steps of the playback, then plugged in again.
    std::string first_row;
    bool connected_again = false;
    std::thread arm([&] {
        first_row = m_line.pty().read(14);
        m_line.unplug();
        if (!test_support::wait_for([&] { return !port->is_connected(); }))
            return;
        const std::uint64_t gone = platform::test_clock().now_ms();
        test_support::wait_for([&] { return platform::test_clock().now_ms() >= gone + 150; });
        if (!m_line.plug())
            return;
        connected_again = test_support::wait_for([&] { return port->is_connected(); });
    });
    const std::uint64_t start_ms = platform::test_clock().now_ms();
    {
        ClockFollowingRealTime follow;
        click(RunButton);
    }
    const std::uint64_t took = platform::test_clock().now_ms() - start_ms;
    arm.join();
    ASSERT_TRUE(connected_again);

    EXPECT_EQ(first_row, Row1);
    // What reached the returned device: whole rows, in the playback's
    // order, up to its last step.
    std::string all;
    for (int pass = 0; pass < 10; ++pass)
        all += Row1 + Row2 + Row3;
    const std::string after = m_line.pty().read_available();
    ASSERT_FALSE(after.empty());
    EXPECT_EQ(after.size() % Row1.size(), 0u) << after;
    EXPECT_TRUE(all.ends_with(after)) << after;
    EXPECT_LE(after.size(), all.size() - 3 * Row1.size()) << "rows went while it was away";
    // Every step was waited out as with a closed port, and the playback
    // ended as always.
    EXPECT_GE(took, 30u * 50u);
    EXPECT_EQ(current_cell(), std::make_pair(3, 1));
    EXPECT_EQ(message_texts(), std::vector<std::string>{"Stop"});
    EXPECT_EQ(status_text(), gbk("Port：open          Statu：Run"));
    EXPECT_EQ(status_tip(), gbk("COM1 → ") + m_line.pty().slave_path() + ": reconnected");
}
