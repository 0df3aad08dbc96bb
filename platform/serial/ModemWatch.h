#pragma once

// Watches the modem status lines of a device (CTS, DSR, carrier detect,
// ring) on a thread of its own and reports each change. The wait for a
// change (TIOCMIWAIT) cannot be woken by a descriptor, so `stop` interrupts
// it with a signal whose handler does nothing; the signal is sent until the
// thread has seen the stop request, so a stop that comes just before the
// thread enters the wait is not lost.
//
// A device without modem lines (a pseudo-terminal) cannot be watched:
// `start` then returns false and there is nothing to stop.

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

namespace platform::serial {

// Where the status comes from: the device, or a stand-in in tests.
class ModemSource {
  public:
    virtual ~ModemSource() = default;
    // The modem lines now, or nothing when the device has none.
    virtual std::optional<int> read_status() = 0;
    // Blocks until a watched line changes; false when the wait failed or
    // was interrupted (errno EINTR), so the watcher can look at its stop
    // request.
    virtual bool wait_for_change() = 0;
};

// The device's own status through TIOCMGET and TIOCMIWAIT.
class DeviceModemSource final : public ModemSource {
  public:
    explicit DeviceModemSource(int fd) : m_fd(fd) {}
    std::optional<int> read_status() override;
    bool wait_for_change() override;

  private:
    int m_fd;
};

class ModemWatch {
  public:
    // Called on the watch thread with the lines before and after a change.
    using ChangeHandler = std::function<void(int before, int after)>;

    ModemWatch() = default;
    ~ModemWatch() { stop(); }
    ModemWatch(const ModemWatch&) = delete;
    ModemWatch& operator=(const ModemWatch&) = delete;

    // Starts watching `source`, which must outlive the watch; false when
    // the source has no status to watch.
    bool start(ModemSource& source, ChangeHandler on_change);
    void stop();
    bool is_running() const { return m_thread.joinable(); }

  private:
    void run(ModemSource& source, int status);

    std::thread m_thread;
    ChangeHandler m_on_change;
    std::mutex m_mutex;
    std::condition_variable m_ended_signal;
    bool m_stop_requested = false;
    bool m_ended = false;
};

} // namespace platform::serial
