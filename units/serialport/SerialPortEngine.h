#pragma once

// The engine behind a serial port unit: one open device and one reader
// thread. The thread sleeps in a single poll on the device and a stop
// request; it reads every received byte and appends what it saw to a queue
// that the unit's window empties on its own thread. After each entry it
// calls the notify function (the unit posts its window a message); the
// window's thread then takes the entries. A write is done on the sender's
// thread: handing it to the reader cost two thread switches a command.
//
// Departures from the port engine the unit was designed around, for Linux:
// - A write is done when its bytes have left the output queue, not when the
//   kernel has taken them; the purge before a write drops unread input
//   only, so no command is cut off by the one after it. The write fails when
//   `timeout_ms` (plus the time the bytes take on the line) runs out first,
//   and what it left unsent is dropped.
// - A device that hangs up (an adapter unplugged) gives line event 4 once
//   and is closed. Opened with a location to come back to, the reader then
//   waits for the device to return there (see DeviceWatch), reopens it
//   with the same settings and goes on; sends fail at once meanwhile, and
//   two link notices tell the unit of the loss and the return. Opened
//   without one, the reader ends; sends fail until the port is opened again.
// - Line events of the modem lines come from a watch thread where the
//   device has modem lines; a pseudo-terminal has none and gives none.

#include <platform/serial/DeviceWatch.h>
#include <platform/serial/LineMarkDecoder.h>
#include <platform/serial/LineSettings.h>
#include <platform/serial/ModemWatch.h>
#include <platform/serial/SerialDevice.h>
#include <platform/serial/Timeout.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <vector>

namespace units {

// Line-event codes, as the unit's LineEvent hands them on.
namespace line_event {
inline constexpr std::uint8_t Break = 1;
inline constexpr std::uint8_t CtsOn = 2;
inline constexpr std::uint8_t DsrOn = 3;
inline constexpr std::uint8_t LineError = 4;
inline constexpr std::uint8_t Ring = 5;
inline constexpr std::uint8_t CarrierOn = 6;
inline constexpr std::uint8_t EventCharacter = 7;
inline constexpr std::uint8_t CtsOff = 8;
inline constexpr std::uint8_t DsrOff = 9;
inline constexpr std::uint8_t CarrierOff = 10;
} // namespace line_event

// What a link notice says.
namespace link_notice {
inline constexpr std::uint8_t Lost = 1;     // the device went away; waiting for it
inline constexpr std::uint8_t Returned = 2; // it came back and is open again
} // namespace link_notice

struct SerialEntry {
    enum class Kind : std::uint8_t { LineEvent = 0, Byte = 1, Link = 2 };
    Kind kind = Kind::Byte;
    std::uint8_t value = 0; // the byte, or the line-event code

    bool operator==(const SerialEntry&) const = default;
};

struct SerialOpenSettings {
    platform::serial::LineSettings line;
    std::optional<std::uint8_t> event_character;
    std::uint32_t timeout_ms = 1000; // 0: writes wait without limit
    // Line states to set at open; nothing leaves the line as the driver has it.
    std::optional<bool> rts;
    std::optional<bool> dtr;
};

enum class PortFailure {
    None,
    NoDevice,         // the COM number maps to no device
    NotFound,         // the device path names nothing
    PermissionDenied, // EACCES: not in the dialout group
    Busy,             // held by another program or another port
    NotATerminal,
    RefusedSetting, // the device refused the line settings
    Failed,
};

struct [[nodiscard]] PortOpenResult {
    PortFailure failure = PortFailure::None;
    int error_number = 0;
    bool ok() const { return failure == PortFailure::None; }
};

// Why an open failed, in a few English words ("held by another program");
// the one for a refused permission names the dialout group.
const char* describe(PortFailure failure);

// The line events for a change of the modem lines (TIOCM_* bits), in the
// order they are queued: ring, CTS, DSR, carrier detect.
std::vector<std::uint8_t> modem_line_events(int before, int after);

// The queue entries for one chunk of received data: line events first (a
// break, the event character), then one entry per data byte, with a line
// error before each byte received in error.
std::vector<SerialEntry> entries_for(std::span<const platform::serial::LineItem> items,
                                     std::optional<std::uint8_t> event_character);

class SerialPortEngine {
  public:
    using Notify = std::function<void()>;

    explicit SerialPortEngine(Notify notify) : m_notify(std::move(notify)) {}
    ~SerialPortEngine() { close(); }
    SerialPortEngine(const SerialPortEngine&) = delete;
    SerialPortEngine& operator=(const SerialPortEngine&) = delete;

    // Closes what is open, then opens `path`, applies the settings, purges
    // the device and starts the reader thread. With a `comeback` location a
    // hang-up does not end the reader: it waits for the device there.
    PortOpenResult open(const std::string& path, const SerialOpenSettings& settings,
                        std::optional<platform::serial::DeviceLocation> comeback = {});
    // Stops and waits for the reader, closes the device, drops the queue;
    // a wait for a device to return ends with it.
    void close();
    // True while the reader thread runs: the device is open, or gone and
    // waited for. Without a location to come back to, it ends on a hang-up.
    bool is_running() const;
    // True while the device is open and the reader serves it.
    bool is_connected() const;
    // The device the port is open on, or was last open on while it is
    // waited for; empty when closed.
    std::string device_path() const;

    // Writes the bytes and waits until they are sent; false when no reader
    // runs or the write failed or timed out. An empty write succeeds at
    // once when a reader runs. Sends from several threads take turns.
    bool send(std::span<const std::uint8_t> bytes);

    // The queued entries, in order; the queue is left empty.
    std::vector<SerialEntry> take_entries();

  private:
    PortOpenResult open_device(const std::string& path);
    void run();
    enum class Ending { Stopped, HungUp };
    Ending serve_device(platform::serial::LineMarkDecoder& decoder);
    void lose_device();
    bool wait_for_return(const platform::serial::DeviceLocation::NameMark& gone);
    bool drain_input(platform::serial::LineMarkDecoder& decoder);
    bool write_now(std::span<const std::uint8_t> bytes);
    enum class Wait { Ready, Expired, Stopped, HungUp };
    Wait wait_writable(const platform::serial::Timeout& timeout);
    Wait wait_drained(const platform::serial::Timeout& timeout);
    void queue(std::span<const SerialEntry> entries);
    void end_reader();

    Notify m_notify;
    platform::serial::SerialDevice m_device;
    SerialOpenSettings m_settings;
    std::unique_ptr<platform::serial::ModemSource> m_modem_source;
    platform::serial::ModemWatch m_modem_watch;
    std::optional<platform::serial::ErrorCounters> m_counters;
    int m_stop_fd = -1;
    std::thread m_reader;
    std::optional<platform::serial::DeviceLocation> m_comeback;

    // Held through each write; guards the reader's presence and the
    // device's.
    mutable std::mutex m_write_mutex;
    bool m_running = false;
    bool m_connected = false;
    std::string m_device_path;

    std::mutex m_queue_mutex;
    std::vector<SerialEntry> m_queue;
};

} // namespace units
