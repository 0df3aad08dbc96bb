#include "ModemWatch.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <pthread.h>
#include <sys/ioctl.h>

namespace platform::serial {
namespace {

constexpr int WatchedLines = TIOCM_CTS | TIOCM_DSR | TIOCM_CD | TIOCM_RI;

int wake_signal() {
    return SIGRTMIN + 4;
}

void ignore_signal(int) {}

void install_wake_handler() {
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction action {};
        action.sa_handler = ignore_signal;
        sigemptyset(&action.sa_mask);
        // No SA_RESTART: the point of the signal is to end the wait.
        action.sa_flags = 0;
        sigaction(wake_signal(), &action, nullptr);
    });
}

} // namespace

std::optional<int> DeviceModemSource::read_status() {
    int status = 0;
    int result;
    do {
        result = ioctl(m_fd, TIOCMGET, &status);
    } while (result < 0 && errno == EINTR);
    if (result < 0)
        return std::nullopt;
    return status;
}

bool DeviceModemSource::wait_for_change() {
    return ioctl(m_fd, TIOCMIWAIT, WatchedLines) == 0;
}

bool ModemWatch::start(ModemSource& source, ChangeHandler on_change) {
    stop();
    auto status = source.read_status();
    if (!status)
        return false;
    install_wake_handler();
    m_on_change = std::move(on_change);
    m_stop_requested = false;
    m_ended = false;
    m_thread = std::thread([this, &source, first = *status] { run(source, first); });
    return true;
}

void ModemWatch::run(ModemSource& source, int status) {
    for (;;) {
        {
            std::lock_guard lock(m_mutex);
            if (m_stop_requested)
                break;
        }
        if (!source.wait_for_change()) {
            if (errno == EINTR)
                continue;
            // A device that stops answering (unplugged, or a driver without
            // the wait) ends the watch; the reader sees the hang-up.
            break;
        }
        auto now = source.read_status();
        if (!now)
            break;
        if ((*now & WatchedLines) != (status & WatchedLines))
            m_on_change(status, *now);
        status = *now;
    }
    std::lock_guard lock(m_mutex);
    m_ended = true;
    m_ended_signal.notify_all();
}

void ModemWatch::stop() {
    if (!m_thread.joinable())
        return;
    std::unique_lock lock(m_mutex);
    m_stop_requested = true;
    while (!m_ended) {
        pthread_kill(m_thread.native_handle(), wake_signal());
        // The signal may land before the thread enters its wait; it is sent
        // again until the thread has ended.
        m_ended_signal.wait_for(lock, std::chrono::milliseconds(20));
    }
    lock.unlock();
    m_thread.join();
}

} // namespace platform::serial
