#include "SerialPortEngine.h"

#include <algorithm>
#include <cerrno>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <unistd.h>
#include <utility>

namespace units {

namespace serial = platform::serial;

namespace {

constexpr std::size_t ReadChunk = 256;

void signal_eventfd(int fd) {
    std::uint64_t one = 1;
    while (::write(fd, &one, sizeof one) < 0 && errno == EINTR) {
    }
}

void close_fd(int& fd) {
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

int poll_retrying(pollfd* fds, nfds_t count, int timeout_ms) {
    int result;
    do {
        result = ::poll(fds, count, timeout_ms);
    } while (result < 0 && errno == EINTR);
    return result;
}

PortFailure failure_of(serial::OpenFailure failure) {
    switch (failure) {
    case serial::OpenFailure::None:
        return PortFailure::None;
    case serial::OpenFailure::NotFound:
        return PortFailure::NotFound;
    case serial::OpenFailure::PermissionDenied:
        return PortFailure::PermissionDenied;
    case serial::OpenFailure::Busy:
        return PortFailure::Busy;
    case serial::OpenFailure::NotATerminal:
        return PortFailure::NotATerminal;
    case serial::OpenFailure::Failed:
        return PortFailure::Failed;
    }
    return PortFailure::Failed;
}

} // namespace

const char* describe(PortFailure failure) {
    switch (failure) {
    case PortFailure::None:
        return "";
    case PortFailure::NoDevice:
        return "no device";
    case PortFailure::NotFound:
        return "no such device";
    case PortFailure::PermissionDenied:
        return "permission denied \xE2\x80\x94 add your user to the dialout group";
    case PortFailure::Busy:
        return "held by another program";
    case PortFailure::NotATerminal:
        return "not a serial device";
    case PortFailure::RefusedSetting:
        return "the device refused the line settings";
    case PortFailure::Failed:
        return "cannot be opened";
    }
    return "cannot be opened";
}

std::vector<std::uint8_t> modem_line_events(int before, int after) {
    std::vector<std::uint8_t> events;
    int changed = before ^ after;
    if ((changed & TIOCM_RI) && (after & TIOCM_RI))
        events.push_back(line_event::Ring);
    if (changed & TIOCM_CTS)
        events.push_back((after & TIOCM_CTS) ? line_event::CtsOn : line_event::CtsOff);
    if (changed & TIOCM_DSR)
        events.push_back((after & TIOCM_DSR) ? line_event::DsrOn : line_event::DsrOff);
    if (changed & TIOCM_CD)
        events.push_back((after & TIOCM_CD) ? line_event::CarrierOn : line_event::CarrierOff);
    return events;
}

std::vector<SerialEntry> entries_for(std::span<const serial::LineItem> items,
                                     std::optional<std::uint8_t> event_character) {
    using Kind = serial::LineItem::Kind;
    std::vector<SerialEntry> entries;
    auto line_event = [&](std::uint8_t code) {
        entries.push_back({SerialEntry::Kind::LineEvent, code});
    };
    if (std::any_of(items.begin(), items.end(), [](auto& i) { return i.kind == Kind::Break; }))
        line_event(line_event::Break);
    if (event_character && std::any_of(items.begin(), items.end(), [&](auto& i) {
            return i.kind == Kind::Byte && i.byte == *event_character;
        }))
        line_event(line_event::EventCharacter);
    for (auto& item : items) {
        if (item.kind == Kind::Break)
            continue;
        if (item.kind == Kind::ErrorByte)
            line_event(line_event::LineError);
        entries.push_back({SerialEntry::Kind::Byte, item.byte});
    }
    return entries;
}

PortOpenResult SerialPortEngine::open(const std::string& path, const SerialOpenSettings& settings,
                                      std::optional<serial::DeviceLocation> comeback) {
    close();
    m_stop_fd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_stop_fd < 0) {
        int error_number = errno;
        return {PortFailure::Failed, error_number};
    }
    m_settings = settings;
    if (PortOpenResult result = open_device(path); !result.ok()) {
        close_fd(m_stop_fd);
        return result;
    }
    m_comeback = std::move(comeback);
    {
        std::lock_guard lock(m_write_mutex);
        m_running = true;
        m_connected = true;
        m_device_path = path;
    }
    m_reader = std::thread([this] { run(); });
    return {};
}

// Opens and sets up the device with the settings of the port; on the
// window's thread before the reader starts, on the reader's when the device
// returns.
PortOpenResult SerialPortEngine::open_device(const std::string& path) {
    serial::OpenError error;
    if (!m_device.open(path, error))
        return {failure_of(error.failure), error.error_number};
    auto refuse = [&] {
        int error_number = errno;
        m_device.close();
        return PortOpenResult{PortFailure::RefusedSetting, error_number};
    };
    const SerialOpenSettings& settings = m_settings;
    if (!m_device.apply(settings.line))
        return refuse();
    // Lines the flow control drives are left to it.
    bool rts_is_flow = settings.line.flow == serial::FlowControl::RtsCts;
    if (settings.rts && !rts_is_flow &&
        m_device.set_rts(*settings.rts) == serial::LineControl::Failed)
        return refuse();
    if (settings.dtr && m_device.set_dtr(*settings.dtr) == serial::LineControl::Failed)
        return refuse();
    m_device.purge(serial::Purge::Both);

    m_counters = m_device.error_counters();
    m_modem_source = std::make_unique<serial::DeviceModemSource>(m_device.fd());
    m_modem_watch.start(*m_modem_source, [this](int before, int after) {
        std::vector<SerialEntry> entries;
        for (std::uint8_t code : modem_line_events(before, after))
            entries.push_back({SerialEntry::Kind::LineEvent, code});
        queue(entries);
    });
    return {};
}

void SerialPortEngine::close() {
    if (m_reader.joinable()) {
        signal_eventfd(m_stop_fd);
        m_reader.join();
    }
    m_modem_watch.stop();
    m_modem_source.reset();
    m_device.close();
    m_comeback.reset();
    close_fd(m_stop_fd);
    {
        std::lock_guard lock(m_write_mutex);
        m_device_path.clear();
    }
    std::lock_guard lock(m_queue_mutex);
    m_queue.clear();
}

bool SerialPortEngine::is_running() const {
    std::lock_guard lock(m_write_mutex);
    return m_running;
}

bool SerialPortEngine::is_connected() const {
    std::lock_guard lock(m_write_mutex);
    return m_connected;
}

std::string SerialPortEngine::device_path() const {
    std::lock_guard lock(m_write_mutex);
    return m_device_path;
}

bool SerialPortEngine::send(std::span<const std::uint8_t> bytes) {
    // The lock is held through the write: the reader closes the device, on
    // a hang-up, only once the write has ended.
    std::lock_guard lock(m_write_mutex);
    // While the device is gone this answers at once: the window never
    // waits for a device that is not there.
    if (!m_connected)
        return false;
    if (bytes.empty())
        return true;
    return write_now(bytes);
}

std::vector<SerialEntry> SerialPortEngine::take_entries() {
    std::lock_guard lock(m_queue_mutex);
    return std::exchange(m_queue, {});
}

void SerialPortEngine::queue(std::span<const SerialEntry> entries) {
    if (entries.empty())
        return;
    std::lock_guard lock(m_queue_mutex);
    for (auto& entry : entries) {
        m_queue.push_back(entry);
        if (m_notify)
            m_notify();
    }
}

void SerialPortEngine::run() {
    serial::LineMarkDecoder decoder;
    while (serve_device(decoder) == Ending::HungUp) {
        // The name as it was when the device went, before anyone hears of
        // the loss and might write it anew.
        serial::DeviceLocation::NameMark gone;
        if (m_comeback)
            gone = m_comeback->mark();
        lose_device();
        if (!m_comeback || !wait_for_return(gone))
            break;
        // Told once the watch for the return is gone with its descriptors.
        SerialEntry notice{SerialEntry::Kind::Link, link_notice::Returned};
        queue({&notice, 1});
        decoder = serial::LineMarkDecoder();
    }
    end_reader();
}

SerialPortEngine::Ending SerialPortEngine::serve_device(serial::LineMarkDecoder& decoder) {
    pollfd fds[2] = {
        {m_stop_fd, POLLIN, 0},
        {m_device.fd(), POLLIN, 0},
    };
    for (;;) {
        if (poll_retrying(fds, 2, -1) < 0)
            return Ending::HungUp;
        if (fds[0].revents)
            return Ending::Stopped;
        short device = fds[1].revents;
        if ((device & POLLIN) && !drain_input(decoder))
            return Ending::HungUp;
        // A hang-up comes with POLLIN on some drivers; the input left before
        // it has been drained above. A write that meets it fails on its own
        // thread; the loss is told from here.
        if (device & (POLLHUP | POLLERR | POLLNVAL))
            return Ending::HungUp;
    }
}

// The device hung up: sends fail from here on, and the device is closed,
// once a send under way has ended, so that its name can come back.
void SerialPortEngine::lose_device() {
    {
        std::lock_guard lock(m_write_mutex);
        m_connected = false;
    }
    m_modem_watch.stop();
    m_modem_source.reset();
    m_device.close();
    std::vector<SerialEntry> entries{{SerialEntry::Kind::LineEvent, line_event::LineError}};
    if (m_comeback)
        entries.push_back({SerialEntry::Kind::Link, link_notice::Lost});
    queue(entries);
}

// Sleeps until the device is back and open, or a stop request comes (false).
// The folder watches wake it when a name appears; between them it looks
// again now and then for what they cannot see: a device that is there but
// cannot be opened yet (udev still setting it up, a modem probe holding it)
// is tried every RetryMs, an absent one looked for every AbsentLookMs.
bool SerialPortEngine::wait_for_return(const serial::DeviceLocation::NameMark& gone) {
    constexpr int RetryMs = 250;
    constexpr int AbsentLookMs = 1000;
    serial::DeviceWatch watch;
    watch.start(*m_comeback);
    for (;;) {
        auto path = m_comeback->find_returned(gone);
        if (path && open_device(*path).ok()) {
            {
                std::lock_guard lock(m_write_mutex);
                m_connected = true;
                m_device_path = *path;
            }
            return true;
        }
        pollfd fds[2] = {{m_stop_fd, POLLIN, 0}, {watch.fd(), POLLIN, 0}};
        nfds_t count = watch.is_watching() ? 2 : 1;
        int wait_ms = path || !watch.is_watching() ? RetryMs : AbsentLookMs;
        if (poll_retrying(fds, count, wait_ms) < 0 || fds[0].revents)
            return false;
        if (fds[1].revents)
            watch.take_changes();
    }
}

void SerialPortEngine::end_reader() {
    std::lock_guard lock(m_write_mutex);
    m_running = false;
    m_connected = false;
}

bool SerialPortEngine::drain_input(serial::LineMarkDecoder& decoder) {
    std::uint8_t buffer[ReadChunk];
    std::vector<serial::LineItem> items;
    for (;;) {
        auto got = m_device.read(buffer);
        if (got.status == serial::Transfer::Status::WouldBlock)
            return true;
        if (got.status != serial::Transfer::Status::Done)
            return false;
        items.clear();
        for (std::size_t i = 0; i < got.count; ++i) {
            if (auto item = decoder.feed(buffer[i]))
                items.push_back(*item);
        }
        auto entries = entries_for(items, m_settings.event_character);
        // Overruns are not marked in the stream; the driver counts them.
        if (m_counters) {
            auto now = m_device.error_counters();
            if (now && (now->overrun != m_counters->overrun ||
                        now->buffer_overrun != m_counters->buffer_overrun))
                entries.push_back({SerialEntry::Kind::LineEvent, line_event::LineError});
            m_counters = now;
        }
        queue(entries);
    }
}

// On the sender's thread, m_write_mutex held.
bool SerialPortEngine::write_now(std::span<const std::uint8_t> bytes) {
    // Input not yet drained is discarded before each write, as the unit's
    // callers expect; output still on its way is not.
    m_device.purge(serial::Purge::Input);

    serial::Timeout timeout;
    auto line_time =
        std::chrono::microseconds(serial::character_time_us(m_settings.line) * bytes.size());
    timeout.start(m_settings.timeout_ms, std::chrono::ceil<std::chrono::milliseconds>(line_time));

    bool result = true;
    bool hung_up = false;
    // The write goes on only after a wait that ended ready; one that ended
    // in a hang-up says so.
    auto waited = [&hung_up](Wait wait) {
        if (wait == Wait::HungUp)
            hung_up = true;
        return wait == Wait::Ready;
    };
    std::size_t sent = 0;
    while (result && sent < bytes.size()) {
        auto done = m_device.write(bytes.subspan(sent));
        switch (done.status) {
        case serial::Transfer::Status::Done:
            sent += done.count;
            continue;
        case serial::Transfer::Status::WouldBlock:
            break;
        case serial::Transfer::Status::HungUp:
            hung_up = true;
            result = false;
            continue;
        case serial::Transfer::Status::Failed:
            result = false;
            continue;
        }
        result = waited(wait_writable(timeout));
    }
    if (result)
        result = waited(wait_drained(timeout));
    // What a failed write left unsent must not go out later, in the middle
    // of the next command.
    if (!result && !hung_up)
        m_device.purge(serial::Purge::Output);
    return result;
}

SerialPortEngine::Wait SerialPortEngine::wait_writable(const serial::Timeout& timeout) {
    pollfd fds[2] = {{m_stop_fd, POLLIN, 0}, {m_device.fd(), POLLOUT, 0}};
    for (;;) {
        if (timeout.expired())
            return Wait::Expired;
        int ready = poll_retrying(fds, 2, timeout.remaining_ms());
        if (ready < 0)
            return Wait::HungUp;
        if (fds[0].revents)
            return Wait::Stopped;
        if (fds[1].revents & (POLLHUP | POLLERR | POLLNVAL))
            return Wait::HungUp;
        if (fds[1].revents & POLLOUT)
            return Wait::Ready;
    }
}

// The output queue gives no event when it empties, so it is asked again
// after about the time its bytes take on the line.
SerialPortEngine::Wait SerialPortEngine::wait_drained(const serial::Timeout& timeout) {
    pollfd stop{m_stop_fd, POLLIN, 0};
    for (;;) {
        auto pending = m_device.output_pending();
        if (!pending || *pending <= 0)
            return Wait::Ready;
        if (timeout.expired())
            return Wait::Expired;
        auto line_us =
            serial::character_time_us(m_settings.line) * static_cast<std::uint64_t>(*pending);
        int wait_ms = static_cast<int>(std::clamp<std::uint64_t>(line_us / 1000, 1, 1000));
        if (timeout.has_limit())
            wait_ms = std::min(wait_ms, std::max(timeout.remaining_ms(), 1));
        if (poll_retrying(&stop, 1, wait_ms) > 0)
            return Wait::Stopped;
    }
}

} // namespace units
