#pragma once

// An open serial device: a terminal opened read/write, non-blocking, without
// becoming the process's controlling terminal, and exclusively — TIOCEXCL
// keeps other programs from opening it, and an flock on it keeps out those
// that TIOCEXCL lets through (root) and a second open in this process.
//
// Functions that a device may lack (modem lines on a pseudo-terminal, the
// error counters) answer "unsupported" rather than fail; the caller then
// has no events of that kind. EINTR is retried everywhere; EAGAIN means
// nothing was transferred.

#include "LineSettings.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace platform::serial {

enum class OpenFailure {
    None,
    NotFound,         // no such device
    PermissionDenied, // EACCES or EPERM: typically not in the dialout group
    Busy,             // another program (or another open here) holds it
    NotATerminal,     // the path names something that is not a terminal
    Failed,           // any other error; see the error number
};

struct OpenError {
    OpenFailure failure = OpenFailure::None;
    int error_number = 0;
};

// A short English description of a failure ("held by another program").
const char* describe(OpenFailure failure);

enum class Purge { Input, Output, Both };
enum class LineControl { Done, Unsupported, Failed };

// What a read or write did: `count` bytes moved; `status` tells why it
// stopped.
struct Transfer {
    enum class Status { Done, WouldBlock, HungUp, Failed };
    std::size_t count = 0;
    Status status = Status::Done;
    int error_number = 0;
};

// The kernel's counts of line errors, where the driver keeps them.
struct ErrorCounters {
    std::uint32_t frame = 0;
    std::uint32_t overrun = 0;
    std::uint32_t parity = 0;
    std::uint32_t brk = 0;
    std::uint32_t buffer_overrun = 0;
};

class SerialDevice {
  public:
    SerialDevice() = default;
    ~SerialDevice() { close(); }
    SerialDevice(const SerialDevice&) = delete;
    SerialDevice& operator=(const SerialDevice&) = delete;
    SerialDevice(SerialDevice&& other) noexcept;
    SerialDevice& operator=(SerialDevice&& other) noexcept;

    // Opens `path` exclusively and puts it in raw mode; false with the
    // reason, and nothing left open, when it cannot.
    bool open(const std::string& path, OpenError& error);
    void close();
    bool is_open() const { return m_fd >= 0; }
    int fd() const { return m_fd; }

    // Applies the line settings; false when the device refuses them.
    bool apply(const LineSettings& settings);
    // The settings the device holds now.
    std::optional<LineSettings> settings() const;

    bool purge(Purge which);

    // RTS and DTR, where the device has modem lines.
    LineControl set_rts(bool on);
    LineControl set_dtr(bool on);
    // The modem lines (TIOCM_CTS, TIOCM_DSR, TIOCM_CD, TIOCM_RI, ...), or
    // nothing when the device has none.
    std::optional<int> modem_status() const;

    // Bytes written but not yet sent on the line, or nothing when the
    // device cannot tell.
    std::optional<int> output_pending() const;
    std::optional<ErrorCounters> error_counters() const;

    Transfer read(std::span<std::uint8_t> buffer);
    Transfer write(std::span<const std::uint8_t> bytes);

  private:
    LineControl modem_line(int bit, bool on);

    int m_fd = -1;
};

} // namespace platform::serial
