#pragma once

// The `SerialPort` unit (0x10027): one COM port for its window. Its own
// properties 8 to 19 are the line settings, read at the next OpenPort;
// writes only store them. OpenPort, ClosePort and SendData are methods in
// library 1; received bytes and line events come back as the events
// ByteReceived (1) and LineEvent (0) on the window's thread. The window is
// an invisible child that the reader thread posts to.
//
// Three read-only properties follow the specified ones: 20 `Device`, the
// device path the port number maps to now (empty when none), 21
// `OpenError`, why the last OpenPort failed (empty after a success), and 22
// `LinkState`, what became of the open port's device since it was opened
// ("COM1 → /dev/ttyUSB0: unplugged, waiting for it to return", then
// "...: reconnected"; empty until something happened, and after ClosePort).
//
// An open port whose device goes away (an adapter pulled out) stays open:
// it waits for the device to come back under the same name (the same
// ARMCTL_COMn target, port-map entry or by-id name) and reopens it with the
// settings it was opened with; SendData fails at once meanwhile. The event
// `LinkChanged` (2), beyond the specified two, says when the device went
// (argument 1) and when it came back (2).

#include "SerialPortEngine.h"
#include <units/framework/PropertyBag.h>
#include <units/framework/Unit.h>
#include <units/framework/UnitType.h>

#include <runtime/image/UnitTypeInfo.h>
#include <runtime/services/LibraryCommand.h>
#include <runtime/values/TypedValue.h>

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace units {

class SerialPortUnit final : public Unit {
  public:
    static constexpr std::uint32_t TypeCode = 0x10027;
    static constexpr std::uint32_t StoredVersion = 4;
    static constexpr const char* ClassName = "ArmctlSerialPort";
    // Posted by the reader thread once per queued entry.
    static constexpr UINT EntriesMessage = 0x0400 + 1;

    enum Own : std::int32_t {
        PortNumber = 0,
        BaudRate = 1,
        DataBits = 2,
        StopBits = 3,
        ParityCheck = 4,
        EventChar = 5,
        Timeout = 6,
        OpenAtStart = 7,
        Parity = 8,
        FlowControl = 9,
        RtsLine = 10,
        DtrLine = 11,
        Device = 12,
        OpenError = 13,
        LinkState = 14,
    };
    enum Event : std::int32_t { LineEvent = 0, ByteReceived = 1, LinkChanged = 2 };

    // The stored form keeps its own order (the time-out and the open flag
    // before the text) and grows by version, so it is read and written here
    // rather than in property order.
    struct Settings : PropertyBag {
        Settings();
        bool read(StoredDataReader& reader);
        void write(StoredDataWriter& writer) const;
    };

    SerialPortUnit(std::uint32_t window_id, std::uint32_t unit_id, Settings settings)
        : Unit(window_id, unit_id), m_settings(std::move(settings)) {}
    ~SerialPortUnit() override;

    bool create_window(const CreateParameters& parameters);
    const Settings& settings() const { return m_settings; }
    int get_property(std::int32_t own_index, runtime::PropertyValue& value);
    int set_property(std::int32_t own_index, const runtime::PropertyValue& value);

    bool open_port();
    void close_port();
    bool send_data(const runtime::TypedValue& value);
    // Open: the device is open, or gone and waited for.
    bool is_open() const { return m_engine && m_engine->is_running(); }
    bool is_connected() const { return m_engine && m_engine->is_connected(); }
    PortFailure last_failure() const { return m_last_failure; }

    // The raw bytes SendData sends for a value; nothing when the value has
    // no byte form.
    static std::optional<std::vector<std::uint8_t>> bytes_of(const runtime::TypedValue& value);
    // The settings OpenPort applies, from the stored ones.
    static SerialOpenSettings open_settings(const Settings& settings);

    static const runtime::UnitTypeInfo& type_info();
    using Entries = UnitTypeEntries<SerialPortUnit>;

    // The unit's methods, which argument 0 of each names the unit to; the
    // program's command list places them in their library's table.
    enum Method : std::size_t { OpenPort, ClosePort, SendData };
    static std::span<const runtime::LibraryCommand> methods();

  protected:
    void describe_access(platform::access::Node& node) override;
    bool on_message(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

  private:
    void deliver();
    void note_link(std::uint8_t notice);
    void report_failure(int com, const std::string& path, PortOpenResult result);

    Settings m_settings;
    std::unique_ptr<SerialPortEngine> m_engine;
    PortFailure m_last_failure = PortFailure::None;
    std::string m_open_error; // GBK
    std::string m_reported;   // the failure last written to standard error
    int m_open_com = 0;       // the COM number the port was opened on
    std::string m_link_state; // GBK
};

} // namespace units
