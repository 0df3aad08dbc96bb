#include "BasicUnitFixture.h"

#include <program/LibraryTable.h>
#include <runtime/image/TemplateLoader.h>
#include <runtime/services/HostNotify.h>
#include <runtime/services/RuntimeCallTable.h>
#include <runtime/values/ArrayBlock.h>
#include <runtime/values/RuntimeHeap.h>
#include <runtime/values/TypedValue.h>
#include <runtime/windows/WindowObject.h>

#include <units/WindowUnit.h>

#include <platform/controls/Controls.h>
#include <platform/window/Painting.h>
#include <platform/window/WindowSystem.h>

#include <cairo.h>

#include <array>

namespace units_test {

namespace {

using runtime::HandlerResult;

std::vector<EventCall>& recorded() {
    static std::vector<EventCall> calls;
    return calls;
}

std::uint32_t source_unit() {
    std::uint32_t words[2] = {};
    runtime::host_notify(runtime::host_service::CurrentEventSource,
                         reinterpret_cast<std::intptr_t>(words), 0);
    return words[1];
}

void record(EventCall call) {
    recorded().push_back(call);
    if (on_event_hook())
        on_event_hook()(call);
}

template <std::int32_t Event> HandlerResult on_event() {
    record({Event, source_unit(), {}});
    return {};
}

HandlerResult on_feedback(std::uint64_t a, std::uint64_t b) {
    record({0, source_unit(), {a, b}});
    return {true, static_cast<std::uint32_t>(a + b)};
}

const std::array<runtime::ProgramHandler, 8>& handler_table() {
    static const std::array<runtime::ProgramHandler, 8> table = {
        reinterpret_cast<runtime::ProgramHandler>(&on_event<0>),
        reinterpret_cast<runtime::ProgramHandler>(&on_event<1>),
        reinterpret_cast<runtime::ProgramHandler>(&on_event<2>),
        reinterpret_cast<runtime::ProgramHandler>(&on_event<3>),
        reinterpret_cast<runtime::ProgramHandler>(&on_event<4>),
        reinterpret_cast<runtime::ProgramHandler>(&on_event<-7>),
        reinterpret_cast<runtime::ProgramHandler>(&on_event<-8>),
        reinterpret_cast<runtime::ProgramHandler>(&on_feedback),
    };
    return table;
}

runtime::EventBinding bind(std::int32_t event, std::uint32_t slot) {
    runtime::EventBinding binding;
    binding.event = event;
    binding.stored_handler = slot * static_cast<std::uint32_t>(sizeof(runtime::ProgramHandler));
    return binding;
}

std::uint64_t word_of(const void* p) {
    return static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(p));
}

} // namespace

std::function<void(const EventCall&)>& on_event_hook() {
    static std::function<void(const EventCall&)> hook;
    return hook;
}

std::vector<std::uint8_t> solid_bitmap(int width, int height, std::uint8_t r, std::uint8_t g,
                                       std::uint8_t b) {
    int stride = (width * 3 + 3) & ~3;
    std::vector<std::uint8_t> dib(40 + static_cast<std::size_t>(stride * height), 0);
    auto put = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            dib[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    put(0, 40);
    put(4, static_cast<std::uint32_t>(width));
    put(8, static_cast<std::uint32_t>(height));
    dib[12] = 1;
    dib[14] = 24;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = dib.data() + 40 + y * stride + x * 3;
            p[0] = b;
            p[1] = g;
            p[2] = r;
        }
    }
    return dib;
}

void BasicUnitTest::SetUp() {
    ASSERT_TRUE(platform::initialize(&m_backend));
    platform::register_standard_controls();
    recorded().clear();
    on_event_hook() = nullptr;
}

void BasicUnitTest::TearDown() {
    on_event_hook() = nullptr;
    runtime::AppRuntime::the().destroy_all_windows();
    platform::shutdown();
}

void BasicUnitTest::create(std::vector<runtime::UnitRecord> units, bool label_feedback) {
    runtime::WindowTemplate window;
    window.window_id = WindowId;
    units::WindowUnit::Settings window_settings;
    window_settings.set_text(units::WindowUnit::Title, "Units");
    auto window_unit =
        unit_record(WindowUnitId, units::WindowUnit::TypeCode, window_settings, 0, 0, 400, 300);
    window.units.push_back(window_unit);
    for (auto& record : units) {
        for (std::size_t slot = 0; slot < std::size(BoundEvents); ++slot) {
            std::int32_t event = BoundEvents[slot];
            bool feedback = label_feedback && event == 0;
            record.bindings.push_back(
                bind(event, feedback ? 7u : static_cast<std::uint32_t>(slot)));
        }
        window.units.push_back(record);
    }
    m_stream = runtime::write_window_templates({window});
    m_header = {};
    m_header.mode = 3;
    m_header.code_base = handler_table().data();
    m_header.template_data = m_stream.data();
    m_header.template_length = static_cast<std::uint32_t>(m_stream.size());
    m_header.library_count = program::LibraryTable::the().count();
    m_header.libraries = program::LibraryTable::the().libraries();
    auto& app = runtime::AppRuntime::the();
    ASSERT_FALSE(app.adopt_header(m_header).is_error());
    app.load_start_window(WindowId);
    m_backend.pump();
}

platform::HWND BasicUnitTest::window() const {
    return unit_window(WindowUnitId);
}

std::uint32_t BasicUnitTest::window_pixel(int x, int y) const {
    platform::save_window_png(window(), "/dev/null");
    cairo_surface_t* surface = platform::window_surface(window());
    cairo_surface_flush(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    return *reinterpret_cast<const std::uint32_t*>(data + y * stride + x * 4) & 0xFFFFFF;
}

platform::HWND BasicUnitTest::unit_window(std::uint32_t unit_id) const {
    auto* window = runtime::AppRuntime::the().find_window(WindowId);
    auto* record = window ? window->find_unit_or_window(unit_id) : nullptr;
    return record ? runtime::WindowObject::live_window_of(*record) : nullptr;
}

std::uint64_t BasicUnitTest::read(std::uint32_t unit_id, std::int32_t index) const {
    return runtime::runtime_call_table().read_property(WindowId, unit_id, index, -1);
}

std::string BasicUnitTest::read_text(std::uint32_t unit_id, std::int32_t index) const {
    auto* text = reinterpret_cast<char*>(static_cast<std::uintptr_t>(read(unit_id, index)));
    std::string copy = text ? text : "";
    runtime::RuntimeHeap::the().release(text);
    return copy;
}

void BasicUnitTest::write(std::uint32_t unit_id, std::int32_t index, std::uint64_t value) const {
    runtime::runtime_call_table().write_property(WindowId, unit_id, index, -1, value);
}

void BasicUnitTest::write_text(std::uint32_t unit_id, std::int32_t index, const char* text) const {
    write(unit_id, index, word_of(text));
}

void BasicUnitTest::write_block(std::uint32_t unit_id, std::int32_t index,
                                const std::vector<std::uint8_t>& bytes) const {
    void* block = runtime::make_byte_set(bytes);
    write(unit_id, index, word_of(block));
    runtime::RuntimeHeap::the().release(block);
}

std::vector<EventCall>& BasicUnitTest::events() {
    return recorded();
}

std::vector<EventCall> BasicUnitTest::events_of(std::uint32_t unit_id) {
    std::vector<EventCall> out;
    for (auto& call : recorded()) {
        if (call.unit == unit_id)
            out.push_back(call);
    }
    return out;
}

} // namespace units_test
