// armctl-play against the window it stands in for: the window's load
// button and the tool's reader fill the same table from a file, and the
// window's Run and the tool put the same bytes on the line, a step interval
// apart.

#include "AppFixture.h"

#include <platform/process/ChildProcess.h>
#include <tests/support/SteppedTime.h>

#include <commands/ActionFileReader.h>

#include <app/AppState.h>
#include <app/Units.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <poll.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace test_support;
using namespace app;

namespace {

using Clock = std::chrono::steady_clock;

// Everything that arrives at the far end of a line, each read stamped with
// the time it arrived.
class LineRecorder {
  public:
    explicit LineRecorder(int master) : m_master(master), m_thread([this] { run(); }) {}
    ~LineRecorder() { stop(); }

    void stop() {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
    }
    std::string bytes() const {
        std::lock_guard lock(m_mutex);
        return m_bytes;
    }
    // When the byte at `offset` arrived, in milliseconds.
    double arrival_ms(std::size_t offset) const {
        std::lock_guard lock(m_mutex);
        for (const auto& [end, time] : m_reads)
            if (offset < end)
                return std::chrono::duration<double, std::milli>(time.time_since_epoch()).count();
        return -1;
    }

  private:
    void run() {
        while (!m_stop) {
            pollfd ready{m_master, POLLIN, 0};
            if (poll(&ready, 1, 5) <= 0)
                continue;
            char buffer[4096];
            ssize_t n = ::read(m_master, buffer, sizeof buffer);
            Clock::time_point now = Clock::now();
            if (n > 0) {
                std::lock_guard lock(m_mutex);
                m_bytes.append(buffer, static_cast<std::size_t>(n));
                m_reads.emplace_back(m_bytes.size(), now);
            }
        }
    }

    int m_master;
    std::atomic<bool> m_stop{false};
    mutable std::mutex m_mutex;
    std::string m_bytes;
    std::vector<std::pair<std::size_t, Clock::time_point>> m_reads;
    std::thread m_thread;
};

// The gaps between the first bytes of consecutive commands.
std::vector<double> gaps(const LineRecorder& line, const std::vector<std::string>& commands) {
    std::vector<double> starts;
    std::size_t offset = 0;
    for (const std::string& command : commands) {
        starts.push_back(line.arrival_ms(offset));
        offset += command.size();
    }
    std::vector<double> result;
    for (std::size_t i = 1; i < starts.size(); ++i)
        result.push_back(starts[i] - starts[i - 1]);
    return result;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double sum(const std::vector<double>& values) {
    double total = 0;
    for (double value : values)
        total += value;
    return total;
}

class PlayToolMatchesWindowTest : public AppTest {
  protected:
    std::string write_file(const std::string& bytes) {
        std::string path = m_home + "/poses.txt";
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    void load(const std::string& path) {
        m_backend.queue_folder_answer(path);
        click(LoadButton);
    }
};

TEST_F(PlayToolMatchesWindowTest, TheLoadButtonAndTheToolsReaderFillTheSameTable) {
    std::string hundred_and_ten;
    for (int i = 1; i <= 110; ++i)
        hundred_and_ten += std::to_string(i) + ",2,3,4,5\r\n";
    const std::vector<std::string> files = {
        "80,100,80,120\r\n90,110,70,130\r\n",
        "1\n2,3\r,4\r\n\r\n 5 ,,x,,y,z",
        std::string("\xB6\r\n1,2\xB6,3,4\r\n9,9,9,9\r\n") + '\0' + "7,7,7,7\r\n",
        hundred_and_ten,
    };
    start();
    for (const std::string& bytes : files) {
        click(ClearButton);
        load(write_file(bytes));
        std::vector<commands::ActionRow> rows = commands::read_action_rows(
            {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
        for (int row = 1; row <= TableRows; ++row)
            for (int column = 1; column <= ServoCount; ++column) {
                std::string expected = static_cast<std::size_t>(row) <= rows.size()
                                           ? rows[row - 1][column - 1]
                                           : std::string();
                ASSERT_EQ(cell(row, column), expected)
                    << "row " << row << ", column " << column << " of " << bytes.substr(0, 20);
            }
    }
}

TEST_F(PlayToolMatchesWindowTest, TheToolSendsWhatTheWindowsRunSendsAStepApart) {
    // Row 4 holds blanks but is not blank; row 5 is, and ends the pass
    // before row 6. Fields past the fourth are not sent.
    const std::string file = write_file("80,100,80,120\r\n90,110,70,130,999\r\n85,95,75,125\r\n"
                                        ",105,,\r\n\r\n70,70,70,70\r\n");
    const std::vector<std::string> pass = {"80a100b80c120d", "90a110b70c130d", "85a95b75c125d",
                                           "a105bcd"};
    std::vector<std::string> commands = pass;
    commands.insert(commands.end(), pass.begin(), pass.end());
    std::string expected;
    for (const std::string& command : commands)
        expected += command;

    // The window: the file loaded, speed 20 (50 ms), two cycles, Run.
    start();
    load(file);
    type_into(SpeedBox, "20");
    type_into(CyclesBox, "2");
    ASSERT_EQ(state().step_interval, 50);
    click(PortButton);
    m_arm.drain();
    LineRecorder window_line(m_arm.master());
    {
        // The far end times arrivals on the real clock, so the playback's
        // waits must last as long on it.
        test_support::ClockFollowingRealTime follow;
        click(RunButton);
    }
    ASSERT_TRUE(test_support::wait_for(
        [&] { return window_line.bytes().size() >= expected.size(); }, 2000));
    window_line.stop();

    // The tool on a line of its own.
    test_support::PtyPair tool_arm(test_support::PtyPair::SlaveEnd::KeptOpen);
    LineRecorder tool_line(tool_arm.master());
    platform::ProcessOptions options;
    options.limit_ms = 10000;
    platform::ProcessResult r =
        platform::run_process({ARMCTL_PLAY_PROGRAM, file, "--device", tool_arm.slave_path(),
                               "--speed", "20", "--cycles", "2"},
                              options);
    ASSERT_TRUE(
        test_support::wait_for([&] { return tool_line.bytes().size() >= expected.size(); }, 2000));
    tool_line.stop();
    ASSERT_EQ(r.exit_status, 0) << r.err;

    EXPECT_EQ(window_line.bytes(), expected);
    EXPECT_EQ(tool_line.bytes(), window_line.bytes());

    std::vector<double> window_gaps = gaps(window_line, commands);
    std::vector<double> tool_gaps = gaps(tool_line, commands);
    std::string shown;
    for (std::size_t i = 0; i < window_gaps.size(); ++i)
        shown += std::to_string(window_gaps[i]) + "/" + std::to_string(tool_gaps[i]) + " ";
    SCOPED_TRACE("gaps in ms, window/tool: " + shown);
    // Each playback waits 50 ms after each of its seven writes before the
    // next. The far end's reads may be late on a loaded machine, which
    // moves single arrivals, so the steps are compared by their median and
    // the playbacks by their whole span. The window waits on the test's
    // clock, which follows real time a moment behind: a lag makes one of its
    // steps late, and the next ones make up for it only in part, so its span
    // is held loosely and its steps are compared with the tool's by their
    // median.
    const double steps = static_cast<double>(tool_gaps.size());
    EXPECT_GE(median(tool_gaps), 49.5);
    EXPECT_LE(median(tool_gaps), 52.0);
    EXPECT_GE(sum(tool_gaps), steps * 50.0 - 1.0);
    EXPECT_GE(sum(window_gaps), steps * 50.0 - 1.0);
    EXPECT_LE(sum(tool_gaps), steps * 50.0 + 100.0);
    EXPECT_LE(sum(window_gaps), steps * 50.0 + 100.0);
    EXPECT_LE(std::abs(median(window_gaps) - median(tool_gaps)), 2.0);
}

} // namespace
