#include <tests/support/PluggableLine.h>
#include <tests/support/PtyPair.h>

#include <units/framework/UnitMethod.h>
#include <units/serialport/SerialPortUnit.h>

#include <platform/serial/ArbitraryRate.h>
#include <platform/serial/SerialDevice.h>

#include <platform/Encoding.h>
#include <platform/controls/Controls.h>
#include <platform/headless/HeadlessBackend.h>
#include <platform/window/Messages.h>
#include <platform/window/WindowSystem.h>

#include <tests/support/PumpUntil.h>
#include <tests/support/ScopedEnv.h>

#include <runtime/services/LibraryHost.h>
#include <runtime/values/ArrayBlock.h>
#include <runtime/values/RuntimeHeap.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <functional>

using test_support::PtyPair;
using units::SerialPortUnit;
using namespace std::chrono_literals;

namespace {

constexpr std::uint32_t WindowId = 0x52010001;
constexpr std::uint32_t FirstPortId = 0x16010030;

struct Raised {
    std::uint32_t unit;
    std::int32_t event;
    std::uint32_t arg;
    bool operator==(const Raised&) const = default;
};

// The runtime as the port's methods and events see it.
std::vector<SerialPortUnit*> g_ports;
std::vector<Raised> g_raised;
std::function<void(const Raised&)> g_on_event;

std::intptr_t fake_host(std::int32_t code, std::intptr_t a, std::intptr_t b) {
    if (code == runtime::host_service::UnitWindowObjectOrFail && a == WindowId) {
        for (auto* port : g_ports) {
            if (port && port->unit_id() == static_cast<std::uint32_t>(b))
                return reinterpret_cast<std::intptr_t>(static_cast<runtime::UnitObject*>(port));
        }
        return 0;
    }
    if (code == runtime::host_service::RaiseEvent) {
        auto* request = reinterpret_cast<runtime::EventRequest*>(a);
        Raised raised{request->unit_id, request->event, request->args[0]};
        g_raised.push_back(raised);
        if (g_on_event)
            g_on_event(raised);
        return 1;
    }
    return 0;
}

class SerialPortTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(m_pty.ok());
        ASSERT_TRUE(platform::initialize(&m_backend));
        platform::register_standard_controls();
        runtime::set_library_host(fake_host);
        // Port map: only what the test sets; nobody's own entries.
        m_config = std::filesystem::temp_directory_path() /
                   ("armctl-serial-unit-" + std::to_string(getpid()));
        m_env.set("XDG_CONFIG_HOME", m_config.string());
        m_env.set("ARMCTL_COM3", m_pty.slave_path());
        m_top = platform::create_window_ex(0, "STATIC", "top", 0, 0, 0, 300, 200, nullptr, 0);
    }
    void TearDown() override {
        for (auto* port : g_ports) {
            if (port && platform::is_window(port->hwnd()))
                platform::destroy_window(port->hwnd());
        }
        g_ports.clear();
        g_raised.clear();
        g_on_event = nullptr;
        platform::destroy_window(m_top);
        runtime::set_library_host(nullptr);
        platform::shutdown();
        std::filesystem::remove_all(m_config);
    }

    SerialPortUnit* make_port(std::span<const std::uint8_t> stored = {}) {
        auto id = FirstPortId + static_cast<std::uint32_t>(g_ports.size());
        auto* object = SerialPortUnit::Entries::create(
            stored.empty() ? nullptr : stored.data(), static_cast<std::uint32_t>(stored.size()), 0,
            m_top, 200 + g_ports.size(), nullptr, 0, 0, 32, 32, WindowId, id, 0, 0);
        auto* port = dynamic_cast<SerialPortUnit*>(object);
        g_ports.push_back(port);
        return port;
    }

    void set(SerialPortUnit* port, SerialPortUnit::Own index, std::int32_t value) {
        runtime::PropertyValue v;
        v.data = static_cast<std::uint32_t>(value);
        SerialPortUnit::Entries::set_property(port, index, &v, nullptr);
    }
    void set_text(SerialPortUnit* port, SerialPortUnit::Own index, const char* text) {
        runtime::PropertyValue v;
        v.data = reinterpret_cast<std::uintptr_t>(text);
        SerialPortUnit::Entries::set_property(port, index, &v, nullptr);
    }
    std::int32_t word(SerialPortUnit* port, SerialPortUnit::Own index) {
        runtime::PropertyValue v;
        EXPECT_EQ(SerialPortUnit::Entries::get_property(port, index, &v), 1);
        return v.word();
    }
    std::string text(SerialPortUnit* port, SerialPortUnit::Own index) {
        runtime::PropertyValue v;
        EXPECT_EQ(SerialPortUnit::Entries::get_property(port, index, &v), 1);
        const char* t = v.pointer<const char>();
        return t ? t : "";
    }

    // Calls OpenPort (0), ClosePort (1) or SendData (2) as the program does.
    runtime::TypedValue call(SerialPortUnit* port, std::size_t entry,
                             std::vector<runtime::TypedValue> more = {}) {
        std::vector<runtime::TypedValue> args(1);
        args[0].set_words(WindowId, port->unit_id());
        args[0].type = SerialPortUnit::TypeCode;
        args.insert(args.end(), more.begin(), more.end());
        runtime::TypedValue result;
        units::SerialPortUnit::methods()[entry](&result, static_cast<std::int32_t>(args.size()),
                                                args.data());
        return result;
    }
    bool open(SerialPortUnit* port) { return call(port, 0).data != 0; }
    bool send(SerialPortUnit* port, runtime::TypedValue value) {
        auto result = call(port, 2, {value});
        EXPECT_EQ(result.type, runtime::type_code::Boolean);
        return result.data != 0;
    }

    bool pump_until(const std::function<bool()>& done, int limit_ms = 2000) {
        return test_support::pump_until(m_backend, done, limit_ms);
    }

    PtyPair m_pty;
    platform::HeadlessBackend m_backend;
    platform::HWND m_top = nullptr;
    std::filesystem::path m_config;
    test_support::ScopedEnv m_env;
};

runtime::TypedValue value(std::uint32_t type, std::uint64_t data) {
    return runtime::TypedValue::of(type, data);
}

} // namespace

TEST_F(SerialPortTest, WritesClampAndNeverTouchTheOpenPort) {
    auto* port = make_port();
    ASSERT_TRUE(port);
    struct Case {
        SerialPortUnit::Own index;
        std::int32_t written, stored;
    };
    const Case cases[] = {
        {SerialPortUnit::PortNumber, 0, 1},   {SerialPortUnit::PortNumber, 7, 7},
        {SerialPortUnit::BaudRate, -5, 0},    {SerialPortUnit::DataBits, 11, 11},
        {SerialPortUnit::StopBits, 7, 3},     {SerialPortUnit::StopBits, -1, 1},
        {SerialPortUnit::Timeout, -1, 0},     {SerialPortUnit::Parity, 9, 4},
        {SerialPortUnit::FlowControl, -2, 0}, {SerialPortUnit::RtsLine, 3, 2},
        {SerialPortUnit::DtrLine, -1, 0},
    };
    for (auto& c : cases) {
        set(port, c.index, c.written);
        EXPECT_EQ(word(port, c.index), c.stored) << "property " << 8 + c.index;
    }
    set_text(port, SerialPortUnit::EventChar, nullptr);
    EXPECT_EQ(text(port, SerialPortUnit::EventChar), "");

    // BaudRate written while open takes effect at the next open only.
    set(port, SerialPortUnit::PortNumber, 3);
    set(port, SerialPortUnit::BaudRate, 9600);
    set(port, SerialPortUnit::DataBits, 8);
    set(port, SerialPortUnit::StopBits, 1);
    ASSERT_TRUE(open(port));
    // The rate the terminal holds, read beside the port (TIOCEXCL lets
    // root through; the lock is advisory).
    auto held_rate = [&]() -> std::optional<std::uint32_t> {
        int fd = ::open(m_pty.slave_path().c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
        if (fd < 0)
            return std::nullopt;
        auto rate = platform::serial::read_rate(fd);
        ::close(fd);
        return rate;
    };
    if (!held_rate())
        GTEST_SKIP() << "the terminal cannot be read beside the open port";
    EXPECT_EQ(held_rate(), 9600u);
    set(port, SerialPortUnit::BaudRate, 115200);
    EXPECT_EQ(held_rate(), 9600u) << "a write does not touch the open port";
    ASSERT_TRUE(open(port));
    EXPECT_EQ(held_rate(), 115200u);
}

TEST_F(SerialPortTest, StoredFormIsVersionFourAndOlderVersionsKeepTheirDefaults) {
    SerialPortUnit::Settings settings;
    settings.set_word(SerialPortUnit::PortNumber, 3);
    settings.set_word(SerialPortUnit::BaudRate, 9600);
    settings.set_word(SerialPortUnit::Timeout, 250);
    settings.set_word(SerialPortUnit::OpenAtStart, 1);
    settings.set_text(SerialPortUnit::EventChar, "\n");
    settings.set_word(SerialPortUnit::Parity, 2);
    settings.set_word(SerialPortUnit::FlowControl, 5);
    settings.set_word(SerialPortUnit::RtsLine, 1);
    settings.set_word(SerialPortUnit::DtrLine, 2);
    auto data = units::write_stored_settings(settings);
    const std::uint32_t expected[] = {4, 3, 9600, 8, 1, 0, 250, 1, 1};
    ASSERT_EQ(data.size(), sizeof expected + 1 + 16);
    EXPECT_EQ(std::memcmp(data.data(), expected, sizeof expected), 0);
    EXPECT_EQ(data[sizeof expected], '\n');

    SerialPortUnit::Settings back;
    ASSERT_TRUE(units::read_stored_settings(std::span<const std::uint8_t>(data), back));
    for (auto index :
         {SerialPortUnit::PortNumber, SerialPortUnit::Timeout, SerialPortUnit::Parity,
          SerialPortUnit::FlowControl, SerialPortUnit::RtsLine, SerialPortUnit::DtrLine})
        EXPECT_EQ(back.word(index), settings.word(index)) << index;
    EXPECT_EQ(back.text(SerialPortUnit::EventChar), "\n");

    // Version 1 stops after the text: the later fields keep their defaults.
    std::vector<std::uint8_t> v1(data.begin(), data.begin() + sizeof expected + 1);
    v1[0] = 1;
    ASSERT_TRUE(units::read_stored_settings(std::span<const std::uint8_t>(v1), back));
    EXPECT_EQ(back.word(SerialPortUnit::Timeout), 250);
    EXPECT_EQ(back.word(SerialPortUnit::Parity), 0);
    EXPECT_EQ(back.word(SerialPortUnit::DtrLine), 0);

    // A version above 4 fails the load, and the unit is not created.
    data[0] = 5;
    EXPECT_EQ(make_port(data), nullptr);
    g_ports.pop_back();
    // Empty data: every default.
    auto* port = make_port();
    ASSERT_TRUE(port);
    EXPECT_EQ(word(port, SerialPortUnit::PortNumber), 1);
    EXPECT_EQ(word(port, SerialPortUnit::BaudRate), 19200);
    EXPECT_EQ(word(port, SerialPortUnit::Timeout), 1000);
    EXPECT_FALSE(port->is_open());
}

TEST_F(SerialPortTest, SendDataSendsTheRawBytesOfEachForm) {
    auto* port = make_port();
    set(port, SerialPortUnit::PortNumber, 3);
    EXPECT_FALSE(send(port, runtime::TypedValue::of_text("90a"))) << "closed";
    ASSERT_TRUE(open(port));

    std::uint8_t raw[] = {0x00, 0xFF, 0x7F};
    void* byte_set = runtime::make_byte_set(raw);
    struct Case {
        runtime::TypedValue value;
        std::string bytes;
    };
    const Case cases[] = {
        {runtime::TypedValue::of_text("90a"), "90a"},
        {runtime::TypedValue::of_pointer(runtime::type_code::ByteSet, byte_set),
         std::string("\x00\xFF\x7F", 3)},
        {value(runtime::type_code::Byte, 0x41), "A"},
        {value(runtime::type_code::Short, 0x4241), "AB"},
        {value(runtime::type_code::Integer, 0x44434241), "ABCD"},
        {value(runtime::type_code::Boolean, 1), std::string("\x01\0\0\0", 4)},
        {value(runtime::type_code::Float, 0x3F800000), std::string("\0\0\x80\x3F", 4)},
        {value(runtime::type_code::Long, 0x4847464544434241), "ABCDEFGH"},
        {runtime::TypedValue::of_date_time(1.0), std::string("\0\0\0\0\0\0\xF0\x3F", 8)},
        {runtime::TypedValue::of_double(2.0), std::string("\0\0\0\0\0\0\0\x40", 8)},
    };
    for (auto& c : cases) {
        EXPECT_TRUE(send(port, c.value)) << std::hex << c.value.type;
        EXPECT_EQ(m_pty.read(c.bytes.size()), c.bytes) << std::hex << c.value.type;
    }
    runtime::RuntimeHeap::the().release(byte_set);

    EXPECT_TRUE(send(port, runtime::TypedValue::of_text(""))) << "empty text";
    EXPECT_TRUE(send(port, runtime::TypedValue::of_text(nullptr))) << "null text";
    EXPECT_FALSE(send(port, value(runtime::type_code::Text | runtime::type_code::ArrayFlag, 0)));
    EXPECT_FALSE(send(port, value(SerialPortUnit::TypeCode, 0))) << "a unit reference";
    EXPECT_EQ(m_pty.read_available(), "") << "nothing written for these";
}

TEST_F(SerialPortTest, ReceivedBytesAndTheEventCharacterBecomeEventsInOrder) {
    auto* port = make_port();
    set(port, SerialPortUnit::PortNumber, 3);
    set_text(port, SerialPortUnit::EventChar, "\r");
    ASSERT_TRUE(open(port));
    ASSERT_TRUE(m_pty.write("12\r"));
    ASSERT_TRUE(pump_until([] { return g_raised.size() >= 4; }));
    std::uint32_t id = port->unit_id();
    EXPECT_EQ(g_raised, (std::vector<Raised>{{id, SerialPortUnit::LineEvent, 7},
                                             {id, SerialPortUnit::ByteReceived, '1'},
                                             {id, SerialPortUnit::ByteReceived, '2'},
                                             {id, SerialPortUnit::ByteReceived, '\r'}}));
}

TEST_F(SerialPortTest, AHandlerThatDestroysTheWindowStopsDelivery) {
    auto* port = make_port();
    set(port, SerialPortUnit::PortNumber, 3);
    ASSERT_TRUE(open(port));
    g_on_event = [&](const Raised&) {
        platform::destroy_window(port->hwnd());
        g_ports[0] = nullptr;
    };
    ASSERT_TRUE(m_pty.write("abc"));
    ASSERT_TRUE(pump_until([] { return !g_raised.empty(); }));
    platform::dispatch_ready_messages();
    EXPECT_EQ(g_raised.size(), 1u);
}

TEST_F(SerialPortTest, OpenPortAgainReopensAndDropsUndeliveredEvents) {
    auto* port = make_port();
    set(port, SerialPortUnit::PortNumber, 3);
    ASSERT_TRUE(open(port));
    ASSERT_TRUE(m_pty.write("xyz"));
    // Wait until the posts are there, without delivering them.
    platform::Msg msg;
    auto end = std::chrono::steady_clock::now() + 2s;
    while (!platform::peek_message(msg, port->hwnd(), SerialPortUnit::EntriesMessage,
                                   SerialPortUnit::EntriesMessage) &&
           std::chrono::steady_clock::now() < end)
        platform::wait_message(50);
    ASSERT_TRUE(open(port));
    platform::dispatch_ready_messages();
    EXPECT_TRUE(g_raised.empty());
    EXPECT_TRUE(port->is_open());
    EXPECT_TRUE(send(port, runtime::TypedValue::of_text("1a")));
    EXPECT_EQ(m_pty.read(2), "1a");
}

TEST_F(SerialPortTest, FailedOpensLeaveNothingOpenAndSayWhy) {
    auto* first = make_port();
    auto* second = make_port();
    set(first, SerialPortUnit::PortNumber, 3);
    set(second, SerialPortUnit::PortNumber, 3);
    ASSERT_TRUE(open(first));
    EXPECT_FALSE(open(second));
    EXPECT_EQ(second->last_failure(), units::PortFailure::Busy);
    EXPECT_EQ(platform::gbk_to_utf8(text(second, SerialPortUnit::OpenError)),
              "COM3 \xE2\x86\x92 " + m_pty.slave_path() + ": held by another program");
    EXPECT_EQ(text(second, SerialPortUnit::Device), m_pty.slave_path());

    set(second, SerialPortUnit::PortNumber, 60);
    EXPECT_FALSE(open(second));
    EXPECT_EQ(second->last_failure(), units::PortFailure::NoDevice);
    EXPECT_EQ(text(second, SerialPortUnit::OpenError), "COM60: no device");

    m_env.set("ARMCTL_COM4", "/etc/hostname");
    set(second, SerialPortUnit::PortNumber, 4);
    EXPECT_FALSE(open(second));
    EXPECT_EQ(second->last_failure(), units::PortFailure::NotATerminal);
    m_env.set("ARMCTL_COM4", std::nullopt);
    EXPECT_FALSE(second->is_open());

    call(first, 1);
    EXPECT_FALSE(first->is_open());
    set(second, SerialPortUnit::PortNumber, 3);
    EXPECT_TRUE(open(second)) << "free once the first port closed";
    EXPECT_EQ(text(second, SerialPortUnit::OpenError), "");
}

TEST_F(SerialPortTest, OpenAtStartOpensWhenCreated) {
    SerialPortUnit::Settings settings;
    settings.set_word(SerialPortUnit::PortNumber, 3);
    settings.set_word(SerialPortUnit::OpenAtStart, 1);
    auto data = units::write_stored_settings(settings);
    auto* port = make_port(data);
    ASSERT_TRUE(port);
    EXPECT_TRUE(port->is_open());
}

TEST_F(SerialPortTest, AnUnpluggedPortWaitsForItsDeviceAndSaysSo) {
    // COM5 is an entry of the port folder, which the line can leave and
    // come back to.
    test_support::PluggableLine line("serial-unit", 5);
    ASSERT_TRUE(line.ok());
    m_env.set("XDG_CONFIG_HOME", line.config_home());
    auto* port = make_port();
    set(port, SerialPortUnit::PortNumber, 5);
    ASSERT_TRUE(open(port));
    const std::string first = line.pty().slave_path();
    EXPECT_EQ(text(port, SerialPortUnit::LinkState), "");

    line.unplug();
    ASSERT_TRUE(pump_until([] { return g_raised.size() >= 2; }));
    EXPECT_EQ(g_raised, (std::vector<Raised>{{port->unit_id(), SerialPortUnit::LineEvent, 4},
                                             {port->unit_id(), SerialPortUnit::LinkChanged, 1}}));
    EXPECT_TRUE(port->is_open()) << "still open in the user's eyes";
    EXPECT_FALSE(port->is_connected());
    EXPECT_EQ(platform::gbk_to_utf8(text(port, SerialPortUnit::LinkState)),
              "COM5 \xE2\x86\x92 " + first + ": unplugged, waiting for it to return");
    EXPECT_FALSE(send(port, runtime::TypedValue::of_text("1a")));

    // The port number may change meanwhile: the port waits for the device
    // it was opened on.
    set(port, SerialPortUnit::PortNumber, 3);
    ASSERT_TRUE(line.plug());
    ASSERT_TRUE(pump_until([] { return g_raised.size() >= 3; }));
    EXPECT_EQ(g_raised.back(), (Raised{port->unit_id(), SerialPortUnit::LinkChanged, 2}));
    EXPECT_EQ(platform::gbk_to_utf8(text(port, SerialPortUnit::LinkState)),
              "COM5 \xE2\x86\x92 " + line.pty().slave_path() + ": reconnected");
    EXPECT_TRUE(send(port, runtime::TypedValue::of_text("2b")));
    EXPECT_EQ(line.pty().read(2), "2b");

    // Closing ends the watch and forgets what happened.
    call(port, 1);
    EXPECT_FALSE(port->is_open());
    EXPECT_EQ(text(port, SerialPortUnit::LinkState), "");
    line.unplug();
    ASSERT_TRUE(line.plug());
    platform::serial::SerialDevice taker;
    platform::serial::OpenError error;
    EXPECT_TRUE(taker.open(line.pty().slave_path(), error)) << "nobody took the device back";
}

TEST_F(SerialPortTest, APeerThatNeverReadsBlocksTheWindowForTheTimeoutOnly) {
    auto* port = make_port();
    set(port, SerialPortUnit::PortNumber, 3);
    set(port, SerialPortUnit::BaudRate, 4000000);
    set(port, SerialPortUnit::Timeout, 200);
    ASSERT_TRUE(open(port));
    std::vector<std::uint8_t> big(64 * 1024, 'y');
    void* block = runtime::make_byte_set(big);
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(send(port, runtime::TypedValue::of_pointer(runtime::type_code::ByteSet, block)));
    auto took = std::chrono::steady_clock::now() - start;
    runtime::RuntimeHeap::the().release(block);
    // The time-out plus the time 64 KiB take at 4 Mbaud (164 ms).
    EXPECT_LT(took, (200ms + 164ms) * 12 / 10);
    EXPECT_TRUE(port->is_open());

    // The window's queue is served again at once.
    platform::post_message(m_top, platform::WM_USER + 7, 0, 0);
    EXPECT_TRUE(pump_until(
        [&] {
            platform::Msg msg;
            return !platform::peek_message(msg, m_top, platform::WM_USER + 7,
                                           platform::WM_USER + 7);
        },
        100));
}
