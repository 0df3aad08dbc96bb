#include <platform/serial/ModemWatch.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <sys/ioctl.h>
#include <unistd.h>
#include <vector>

using namespace platform::serial;

namespace {

// Modem lines whose changes the test writes into a pipe; the watch's wait
// blocks reading it, as it would block in the driver.
class ScriptedModem final : public ModemSource {
  public:
    explicit ScriptedModem(bool has_lines) : m_has_lines(has_lines) { pipe(m_pipe); }
    ~ScriptedModem() override {
        close(m_pipe[0]);
        close(m_pipe[1]);
    }

    std::optional<int> read_status() override {
        if (!m_has_lines)
            return std::nullopt;
        return m_status.load();
    }
    bool wait_for_change() override {
        int next = 0;
        ssize_t n = read(m_pipe[0], &next, sizeof next);
        if (n == sizeof next) {
            m_status = next;
            return true;
        }
        if (n == 0)
            errno = EIO;
        return false;
    }
    void change_to(int status) { ASSERT_EQ(write(m_pipe[1], &status, sizeof status), 4); }

  private:
    bool m_has_lines;
    int m_pipe[2] = {-1, -1};
    std::atomic<int> m_status{0};
};

struct Recorded {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::pair<int, int>> changes;

    bool wait_for(std::size_t count) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(5),
                                [&] { return changes.size() >= count; });
    }
};

} // namespace

TEST(ModemWatch, ReportsChangesOfTheWatchedLinesOnly) {
    ScriptedModem modem(true);
    Recorded recorded;
    ModemWatch watch;
    ASSERT_TRUE(watch.start(modem, [&](int before, int after) {
        std::lock_guard lock(recorded.mutex);
        recorded.changes.emplace_back(before, after);
        recorded.changed.notify_all();
    }));

    modem.change_to(TIOCM_CTS);
    ASSERT_TRUE(recorded.wait_for(1));
    // RTS is an output line: a change of it alone is not reported.
    modem.change_to(TIOCM_CTS | TIOCM_RTS);
    modem.change_to(TIOCM_CTS | TIOCM_RTS | TIOCM_CD | TIOCM_DSR);
    ASSERT_TRUE(recorded.wait_for(2));
    watch.stop();

    std::vector<std::pair<int, int>> expected{
        {0, TIOCM_CTS},
        {TIOCM_CTS | TIOCM_RTS, TIOCM_CTS | TIOCM_RTS | TIOCM_CD | TIOCM_DSR},
    };
    EXPECT_EQ(recorded.changes, expected);
}

TEST(ModemWatch, StopEndsAWaitThatNothingWillEnd) {
    ScriptedModem modem(true);
    ModemWatch watch;
    ASSERT_TRUE(watch.start(modem, [](int, int) {}));
    EXPECT_TRUE(watch.is_running());
    // The thread is (or is about to be) blocked in the wait; stop must not
    // hang, whichever it is.
    watch.stop();
    EXPECT_FALSE(watch.is_running());

    for (int round = 0; round < 20; ++round) {
        ASSERT_TRUE(watch.start(modem, [](int, int) {}));
        watch.stop();
    }
}

TEST(ModemWatch, ADeviceWithoutModemLinesIsNotWatched) {
    ScriptedModem modem(false);
    ModemWatch watch;
    EXPECT_FALSE(watch.start(modem, [](int, int) {}));
    EXPECT_FALSE(watch.is_running());
}
