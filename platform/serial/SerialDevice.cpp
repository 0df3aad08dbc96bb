#include "SerialDevice.h"

#include "ArbitraryRate.h"

#include <cerrno>
#include <fcntl.h>
#include <linux/serial.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>
#include <utility>

namespace platform::serial {
namespace {

template <typename F> auto retry_eintr(F f) {
    decltype(f()) result;
    do {
        result = f();
    } while (result < 0 && errno == EINTR);
    return result;
}

OpenFailure failure_of(int error_number) {
    switch (error_number) {
    case EACCES:
    case EPERM:
        return OpenFailure::PermissionDenied;
    case EBUSY:
    case EWOULDBLOCK:
        return OpenFailure::Busy;
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return OpenFailure::NotFound;
    case ENOTTY:
    case EINVAL:
        return OpenFailure::NotATerminal;
    default:
        return OpenFailure::Failed;
    }
}

bool is_unsupported(int error_number) {
    return error_number == ENOTTY || error_number == EINVAL;
}

bool is_hang_up(int error_number) {
    return error_number == EIO || error_number == ENXIO || error_number == ENODEV;
}

} // namespace

const char* describe(OpenFailure failure) {
    switch (failure) {
    case OpenFailure::None:
        return "open";
    case OpenFailure::NotFound:
        return "no such device";
    case OpenFailure::PermissionDenied:
        return "permission denied";
    case OpenFailure::Busy:
        return "held by another program";
    case OpenFailure::NotATerminal:
        return "not a serial device";
    case OpenFailure::Failed:
        return "cannot be opened";
    }
    return "cannot be opened";
}

SerialDevice::SerialDevice(SerialDevice&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}

SerialDevice& SerialDevice::operator=(SerialDevice&& other) noexcept {
    if (this != &other) {
        close();
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

bool SerialDevice::open(const std::string& path, OpenError& error) {
    close();
    error = {};
    int fd = retry_eintr(
        [&] { return ::open(path.c_str(), O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC); });
    if (fd < 0) {
        error = {failure_of(errno), errno};
        return false;
    }
    auto fail = [&](int error_number) {
        error = {failure_of(error_number), error_number};
        ::close(fd);
        return false;
    };
    termios t{};
    if (tcgetattr(fd, &t) < 0)
        return fail(errno);
    if (retry_eintr([&] { return flock(fd, LOCK_EX | LOCK_NB); }) < 0)
        return fail(errno);
    if (ioctl(fd, TIOCEXCL) < 0 && !is_unsupported(errno))
        return fail(errno);
    m_fd = fd;
    return true;
}

void SerialDevice::close() {
    if (m_fd < 0)
        return;
    // Another program may open the device as soon as the lock is gone, so
    // the exclusive mode is dropped with it.
    ioctl(m_fd, TIOCNXCL);
    ::close(m_fd);
    m_fd = -1;
}

bool SerialDevice::apply(const LineSettings& settings) {
    termios t{};
    if (tcgetattr(m_fd, &t) < 0)
        return false;
    if (!settings.store(t))
        return false;
    if (retry_eintr([&] { return tcsetattr(m_fd, TCSANOW, &t); }) < 0)
        return false;
    if (!speed_constant(settings.baud_rate))
        return set_arbitrary_rate(m_fd, settings.baud_rate);
    return true;
}

std::optional<LineSettings> SerialDevice::settings() const {
    termios t{};
    if (tcgetattr(m_fd, &t) < 0)
        return std::nullopt;
    LineSettings settings;
    settings.load(t);
    if (auto rate = read_rate(m_fd))
        settings.baud_rate = *rate;
    return settings;
}

bool SerialDevice::purge(Purge which) {
    int queue = which == Purge::Input ? TCIFLUSH : which == Purge::Output ? TCOFLUSH : TCIOFLUSH;
    return retry_eintr([&] { return tcflush(m_fd, queue); }) == 0;
}

LineControl SerialDevice::modem_line(int bit, bool on) {
    int result = retry_eintr([&] { return ioctl(m_fd, on ? TIOCMBIS : TIOCMBIC, &bit); });
    if (result == 0)
        return LineControl::Done;
    return is_unsupported(errno) ? LineControl::Unsupported : LineControl::Failed;
}

LineControl SerialDevice::set_rts(bool on) {
    return modem_line(TIOCM_RTS, on);
}

LineControl SerialDevice::set_dtr(bool on) {
    return modem_line(TIOCM_DTR, on);
}

std::optional<int> SerialDevice::modem_status() const {
    int status = 0;
    if (retry_eintr([&] { return ioctl(m_fd, TIOCMGET, &status); }) < 0)
        return std::nullopt;
    return status;
}

std::optional<int> SerialDevice::output_pending() const {
    int pending = 0;
    if (retry_eintr([&] { return ioctl(m_fd, TIOCOUTQ, &pending); }) < 0)
        return std::nullopt;
    return pending;
}

std::optional<ErrorCounters> SerialDevice::error_counters() const {
    serial_icounter_struct counts{};
    if (retry_eintr([&] { return ioctl(m_fd, TIOCGICOUNT, &counts); }) < 0)
        return std::nullopt;
    ErrorCounters result;
    result.frame = static_cast<std::uint32_t>(counts.frame);
    result.overrun = static_cast<std::uint32_t>(counts.overrun);
    result.parity = static_cast<std::uint32_t>(counts.parity);
    result.brk = static_cast<std::uint32_t>(counts.brk);
    result.buffer_overrun = static_cast<std::uint32_t>(counts.buf_overrun);
    return result;
}

Transfer SerialDevice::read(std::span<std::uint8_t> buffer) {
    ssize_t n = retry_eintr([&] { return ::read(m_fd, buffer.data(), buffer.size()); });
    if (n > 0)
        return {static_cast<std::size_t>(n), Transfer::Status::Done, 0};
    if (n == 0)
        return {0, Transfer::Status::HungUp, 0};
    if (errno == EAGAIN || errno == EWOULDBLOCK)
        return {0, Transfer::Status::WouldBlock, 0};
    int error_number = errno;
    return {0, is_hang_up(error_number) ? Transfer::Status::HungUp : Transfer::Status::Failed,
            error_number};
}

Transfer SerialDevice::write(std::span<const std::uint8_t> bytes) {
    ssize_t n = retry_eintr([&] { return ::write(m_fd, bytes.data(), bytes.size()); });
    if (n >= 0)
        return {static_cast<std::size_t>(n), Transfer::Status::Done, 0};
    if (errno == EAGAIN || errno == EWOULDBLOCK)
        return {0, Transfer::Status::WouldBlock, 0};
    int error_number = errno;
    return {0, is_hang_up(error_number) ? Transfer::Status::HungUp : Transfer::Status::Failed,
            error_number};
}

} // namespace platform::serial
