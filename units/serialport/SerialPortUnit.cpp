#include "SerialPortUnit.h"

#include <platform/access/Access.h>
#include <units/framework/UnitMethod.h>

#include <platform/Encoding.h>
#include <platform/serial/PortMap.h>
#include <platform/window/Messages.h>
#include <platform/window/Styles.h>
#include <platform/window/WindowSystem.h>

#include <runtime/values/ArrayBlock.h>

#include <array>
#include <cstdio>
#include <cstring>

namespace units {

namespace {

using namespace runtime::value_kind;
using S = SerialPortUnit;

constexpr PropertyTable Properties{{
    {S::PortNumber, "PortNumber", Integer, at_least(1)},
    {S::BaudRate, "BaudRate", Integer, at_least(0)},
    {S::DataBits, "DataBits", Integer},
    {S::StopBits, "StopBits", Integer, {1, 3}},
    {S::ParityCheck, "ParityCheck", Boolean},
    {S::EventChar, "EventChar", Text},
    {S::Timeout, "Timeout", Integer, at_least(0)},
    {S::OpenAtStart, "OpenAtStart", Boolean},
    {S::Parity, "Parity", Choice, choice_clamp(4)},
    {S::FlowControl, "FlowControl", Choice, choice_clamp(5)},
    {S::RtsLine, "RtsLine", Choice, choice_clamp(2)},
    {S::DtrLine, "DtrLine", Choice, choice_clamp(2)},
    {S::Device, "Device", Text, {}, NotInDesign},
    {S::OpenError, "OpenError", Text, {}, NotInDesign},
    {S::LinkState, "LinkState", Text, {}, NotInDesign},
}};

// 端口
constexpr const char* DisplayName = "\xB6\xCB\xBF\xDA";

std::string port_name(int com) {
    return "COM" + std::to_string(com);
}

void open_port(runtime::TypedValue* result, std::int32_t count, const runtime::TypedValue* args) {
    auto* port = method_unit<SerialPortUnit>(count, args);
    *result = runtime::TypedValue::of_boolean(port && port->open_port());
}

void close_port(runtime::TypedValue*, std::int32_t count, const runtime::TypedValue* args) {
    if (auto* port = method_unit<SerialPortUnit>(count, args))
        port->close_port();
}

void send_data(runtime::TypedValue* result, std::int32_t count, const runtime::TypedValue* args) {
    auto* port = method_unit<SerialPortUnit>(count, args);
    const runtime::TypedValue* value = method_argument(count, args, 1);
    *result = runtime::TypedValue::of_boolean(port && value && port->send_data(*value));
}

// Indexed by the unit's Method numbers.
constexpr auto Methods = [] {
    std::array<runtime::LibraryCommand, 3> methods{};
    methods[SerialPortUnit::OpenPort] = open_port;
    methods[SerialPortUnit::ClosePort] = close_port;
    methods[SerialPortUnit::SendData] = send_data;
    return methods;
}();

} // namespace

std::span<const runtime::LibraryCommand> SerialPortUnit::methods() {
    return Methods;
}

// ---- Settings ----------------------------------------------------------------

SerialPortUnit::Settings::Settings() : PropertyBag(Properties.rows(), StoredVersion) {
    set_word(PortNumber, 1);
    set_word(BaudRate, 19200);
    set_word(DataBits, 8);
    set_word(StopBits, 1);
    set_word(Timeout, 1000);
}

bool SerialPortUnit::Settings::read(StoredDataReader& reader) {
    std::uint32_t version = 0;
    if (!reader.read_version(StoredVersion, version))
        return false;
    for (Own field :
         {PortNumber, BaudRate, DataBits, StopBits, ParityCheck, Timeout, OpenAtStart}) {
        std::int32_t value = 0;
        if (!reader.read_int(value))
            return false;
        set_word(field, value);
    }
    std::string event_char;
    if (!reader.read_text(event_char))
        return false;
    set_text(EventChar, event_char);
    std::vector<Own> later;
    if (version >= 2)
        later.push_back(Parity);
    if (version >= 3)
        later.push_back(FlowControl);
    if (version >= 4)
        later.insert(later.end(), {RtsLine, DtrLine});
    for (Own field : later) {
        std::int32_t value = 0;
        if (!reader.read_int(value))
            return false;
        set_word(field, value);
    }
    return true;
}

void SerialPortUnit::Settings::write(StoredDataWriter& writer) const {
    writer.write_version(StoredVersion);
    for (Own field : {PortNumber, BaudRate, DataBits, StopBits, ParityCheck, Timeout, OpenAtStart})
        writer.write_int(word(field));
    writer.write_text(text(EventChar));
    for (Own field : {Parity, FlowControl, RtsLine, DtrLine})
        writer.write_int(word(field));
}

// ---- The unit ------------------------------------------------------------------

SerialPortUnit::~SerialPortUnit() {
    // The reader thread posts to this window; it is stopped before the
    // unit goes.
    m_engine.reset();
}

const runtime::UnitTypeInfo& SerialPortUnit::type_info() {
    // It raises LineEvent and ByteReceived: without the flag the runtime
    // would take its first event for one from a unit that cannot raise any.
    static const runtime::UnitTypeInfo info =
        make_unit_type_info(DisplayName, "SerialPort", runtime::unit_type_flag::RaisesEvents,
                            Properties, &Entries::query);
    return info;
}

bool SerialPortUnit::create_window(const CreateParameters& parameters) {
    if (!register_unit_class(ClassName, platform::CS_DBLCLKS))
        return false;
    std::uint32_t style = parameters.style | platform::WS_CHILD | platform::WS_CLIPSIBLINGS;
    if (!create_system_window(0, ClassName, "", style, parameters.left, parameters.top,
                              parameters.width, parameters.height, parameters.parent,
                              parameters.control_id))
        return false;
    HWND window = hwnd();
    m_engine = std::make_unique<SerialPortEngine>(
        [window] { platform::post_message(window, EntriesMessage, 0, 0); });
    if (!parameters.design && m_settings.flag(OpenAtStart))
        open_port();
    return true;
}

int SerialPortUnit::get_property(std::int32_t own_index, runtime::PropertyValue& value) {
    if (own_index == Device) {
        auto entry = platform::serial::resolve_port(m_settings.word(PortNumber),
                                                    platform::serial::PortRoots::system());
        m_settings.set_text(Device, entry ? platform::utf8_to_gbk(entry->path) : std::string());
    } else if (own_index == OpenError) {
        m_settings.set_text(OpenError, m_open_error);
    } else if (own_index == LinkState) {
        m_settings.set_text(LinkState, m_link_state);
    }
    return m_settings.get(own_index, value) ? 1 : 0;
}

int SerialPortUnit::set_property(std::int32_t own_index, const runtime::PropertyValue& value) {
    // The read-only properties ignore writes.
    if (own_index == Device || own_index == OpenError || own_index == LinkState)
        return 0;
    m_settings.set(own_index, value);
    return 0;
}

SerialOpenSettings SerialPortUnit::open_settings(const Settings& settings) {
    namespace serial = platform::serial;
    SerialOpenSettings open;
    open.line.baud_rate = static_cast<std::uint32_t>(std::max(settings.word(BaudRate), 0));
    open.line.data_bits = settings.word(DataBits);
    switch (settings.word(StopBits)) {
    case 2:
        open.line.stop_bits = serial::StopBits::OneAndHalf;
        break;
    case 3:
        open.line.stop_bits = serial::StopBits::Two;
        break;
    default:
        open.line.stop_bits = serial::StopBits::One;
        break;
    }
    std::int32_t parity = settings.word(Parity);
    open.line.parity =
        parity >= 1 && parity <= 4 ? static_cast<serial::Parity>(parity) : serial::Parity::None;
    open.line.parity_check = settings.flag(ParityCheck);
    // CTS output flow (1 and 2) is CRTSCTS, which signals input flow on RTS
    // rather than DTR; DSR output flow (3 and 4) has no termios form.
    switch (settings.word(FlowControl)) {
    case 1:
    case 2:
        open.line.flow = serial::FlowControl::RtsCts;
        break;
    case 5:
        open.line.flow = serial::FlowControl::XonXoff;
        break;
    default:
        open.line.flow = serial::FlowControl::None;
        break;
    }
    const std::string& event_char = settings.text(EventChar);
    if (!event_char.empty() && event_char[0] != '\0')
        open.event_character = static_cast<std::uint8_t>(event_char[0]);
    open.timeout_ms = static_cast<std::uint32_t>(std::max(settings.word(Timeout), 0));
    open.rts = settings.word(RtsLine) != 1;
    if (settings.word(DtrLine) == 1)
        open.dtr = false;
    else if (settings.word(DtrLine) == 2)
        open.dtr = true;
    return open;
}

bool SerialPortUnit::open_port() {
    if (!m_engine)
        return false;
    m_engine->close();
    m_link_state.clear();
    int com = m_settings.word(PortNumber);
    if (com < 1)
        return false;
    auto roots = platform::serial::PortRoots::system();
    auto entry = platform::serial::resolve_port(com, roots);
    if (!entry) {
        report_failure(com, {}, {PortFailure::NoDevice, 0});
        return false;
    }
    m_open_com = com;
    PortOpenResult result = m_engine->open(entry->path, open_settings(m_settings),
                                           platform::serial::DeviceLocation::of(*entry, roots));
    if (!result.ok()) {
        report_failure(com, entry->path, result);
        return false;
    }
    m_last_failure = PortFailure::None;
    m_open_error.clear();
    m_reported.clear();
    return true;
}

void SerialPortUnit::report_failure(int com, const std::string& path, PortOpenResult result) {
    m_last_failure = result.failure;
    std::string message = port_name(com);
    if (!path.empty())
        message += " \xE2\x86\x92 " + path;
    message += std::string(": ") + describe(result.failure);
    m_open_error = platform::utf8_to_gbk(message);
    // Written once: an operator pressing Open again and again gets one line.
    if (message != m_reported) {
        std::fprintf(stderr, "armctl: %s\n", message.c_str());
        m_reported = message;
    }
}

void SerialPortUnit::close_port() {
    if (m_engine)
        m_engine->close();
    m_link_state.clear();
}

std::optional<std::vector<std::uint8_t>>
SerialPortUnit::bytes_of(const runtime::TypedValue& value) {
    namespace code = runtime::type_code;
    std::size_t size = 0;
    switch (value.type) {
    case code::Text: {
        const char* text = value.pointer<const char>();
        if (!text)
            return std::vector<std::uint8_t>{};
        return std::vector<std::uint8_t>(text, text + std::strlen(text));
    }
    case code::ByteSet: {
        const void* block = value.pointer<const void>();
        if (!block)
            return std::vector<std::uint8_t>{};
        auto bytes = runtime::byte_set_bytes(block);
        return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
    }
    case code::Byte:
        size = 1;
        break;
    case code::Short:
        size = 2;
        break;
    case code::Boolean:
    case code::SubprogramPointer:
    case code::Integer:
    case code::Float:
        size = 4;
        break;
    case code::DateTime:
    case code::EightByte:
    case code::Long:
    case code::Double:
        size = 8;
        break;
    default:
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>(value.data >> (8 * i));
    return bytes;
}

bool SerialPortUnit::send_data(const runtime::TypedValue& value) {
    auto bytes = bytes_of(value);
    if (!bytes || !m_engine)
        return false;
    return m_engine->send(*bytes);
}

bool SerialPortUnit::on_message(UINT msg, WPARAM, LPARAM, LRESULT& result) {
    if (msg != EntriesMessage)
        return false;
    deliver();
    result = 0;
    return true;
}

void SerialPortUnit::deliver() {
    std::vector<SerialEntry> entries = m_engine->take_entries();
    // A handler may destroy the window and this unit with it; after each
    // event only locals are used until the window is known to live.
    HWND window = hwnd();
    for (const SerialEntry& entry : entries) {
        if (entry.kind == SerialEntry::Kind::Byte) {
            raise_event(ByteReceived, {entry.value});
        } else if (entry.kind == SerialEntry::Kind::LineEvent) {
            raise_event(LineEvent, {entry.value});
        } else {
            note_link(entry.value);
            raise_event(LinkChanged, {entry.value});
        }
        if (!platform::is_window(window))
            return;
    }
}

void SerialPortUnit::note_link(std::uint8_t notice) {
    std::string message = port_name(m_open_com) + " \xE2\x86\x92 " + m_engine->device_path();
    message +=
        notice == link_notice::Lost ? ": unplugged, waiting for it to return" : ": reconnected";
    m_link_state = platform::utf8_to_gbk(message);
}

// A serial line has nothing to show: the user never sees the unit.
void SerialPortUnit::describe_access(platform::access::Node& node) {
    node.role = platform::access::Role::None;
}

} // namespace units
