// What a person or a device may throw at the controller: a huge file of
// random bytes, an arm that goes away in the middle of a playback, any text
// in the speed and cycles boxes.

#include "AppFixture.h"

#include <tests/support/SteppedTime.h>

#include <app/AppState.h>
#include <app/Units.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <thread>

using namespace test_support;
using namespace app;

namespace {

class BadInputTest : public AppTest {};

TEST_F(BadInputTest, FiftyMegabytesOfRandomBytesLoadWithoutHarm) {
    start();
    std::string file = m_home + "/noise.bin";
    {
        std::mt19937_64 random(12345);
        std::ofstream out(file, std::ios::binary);
        std::string block(1 << 20, '\0');
        for (int i = 0; i < 50; ++i) {
            for (char& byte : block)
                byte = static_cast<char>(random());
            out << block;
        }
    }
    m_backend.queue_folder_answer(file);
    click(LoadButton);
    EXPECT_TRUE(m_backend.message_boxes().empty());
    // Still answering: a record goes on as ever.
    click(RecordButton);
    EXPECT_EQ(state().recorded_rows, 1);
    EXPECT_EQ(cell(1, 1), "80");
}

TEST_F(BadInputTest, AnArmThatGoesAwayMidPlaybackEndsNoPlaybackWithAnError) {
    // COM1 names the line through a link that goes with the arm, as a by-id
    // name goes with its adapter: the port, which waits for its device to
    // come back, must not take a terminal that another program gets under
    // the old number meanwhile.
    const std::string link = m_home + "/arm-line";
    std::filesystem::create_symlink(m_arm.slave_path(), link);
    m_env.set("ARMCTL_COM1", link);
    start();
    for (int i = 0; i < 3; ++i)
        click(RecordButton);
    write_text(CyclesBox, EditBox::Content, "2");
    click(PortButton);
    // The far end closes as soon as the first row has arrived; the rest of
    // the playback sends into a line with nobody on it. From then on time
    // runs by itself, so that every wait on the clock ends, the waits of a
    // write to a vanished device included.
    std::string first_row;
    std::atomic<bool> finished{false};
    std::thread unplug([&] {
        first_row = m_arm.read(14);
        std::filesystem::remove(link);
        m_arm.close();
        test_support::LetTimeRun run;
        EXPECT_TRUE(test_support::wait_for([&] { return finished.load(); }, 60000));
    });
    click(RunButton);
    finished = true;
    unplug.join();
    EXPECT_EQ(first_row, "80a100b80c120d");
    // The playback ran to its end: every step, then its closing box.
    EXPECT_EQ(current_cell(), std::make_pair(3, 1));
    EXPECT_EQ(message_texts(), std::vector<std::string>{"Stop"});
}

TEST_F(BadInputTest, AnyTextInTheSpeedAndCyclesBoxesIsTakenCalmly) {
    start();
    click(RecordButton);
    click(PortButton);
    const char* texts[] = {"",
                           "-",
                           "1e308",
                           "-1e308",
                           "nan",
                           "inf",
                           "99999999999999999999",
                           "  7 ",
                           "0x10",
                           "\xA3\xB1\xA3\xB0",
                           "-3"};
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        write_text(SpeedBox, EditBox::Content, text);
        EXPECT_GE(state().step_interval, 0);
        EXPECT_LE(state().step_interval, 1000);
        write_text(CyclesBox, EditBox::Content, text);
        std::size_t boxes = m_backend.message_boxes().size();
        const std::uint64_t start_ms = platform::test_clock().now_ms();
        {
            test_support::LetTimeRun run;
            click(RunButton);
        }
        // Every playback ends with its box, however many passes it made,
        // and soon.
        EXPECT_EQ(m_backend.message_boxes().size(), boxes + 1);
        EXPECT_LE(platform::test_clock().now_ms() - start_ms, 60000u);
    }
}

} // namespace
