#include "WindowFixture.h"

#include <runtime/image/TemplateLoader.h>
#include <runtime/services/HostNotify.h>
#include <runtime/windows/EventRequest.h>
#include <runtime/windows/UnitObject.h>
#include <runtime/windows/WindowObject.h>

#include <units/WindowUnit.h>
#include <units/framework/UnitType.h>

#include <platform/controls/Controls.h>
#include <platform/window/WindowSystem.h>

#include <array>

namespace runtime_test {

namespace {

using runtime::HandlerResult;

void record(std::uint32_t slot, std::vector<std::uint64_t> args) {
    HandlerCall call;
    call.slot = slot;
    call.args = std::move(args);
    std::uint32_t words[2] = {};
    call.had_source = runtime::host_notify(runtime::host_service::CurrentEventSource,
                                           reinterpret_cast<std::intptr_t>(words), 0) == 1;
    call.source_window = words[0];
    call.source_unit = words[1];
    handler_calls().push_back(call);
}

HandlerResult return_zero() {
    return {true, 0};
}
HandlerResult return_nothing() {
    return {};
}
HandlerResult on_created() {
    record(SlotCreated, {});
    return {};
}
HandlerResult on_clicked(std::uint64_t a, std::uint64_t b) {
    record(SlotClicked, {a, b});
    return {};
}
HandlerResult on_plain() {
    record(SlotPlain, {});
    return {};
}
HandlerResult on_window_event() {
    record(SlotWindowEvent, {});
    return {};
}
HandlerResult on_answer() {
    record(SlotAnswer, {});
    return {true, 42};
}
HandlerResult on_typed(std::uint64_t a, std::uint64_t b, std::uint64_t c) {
    record(SlotTyped, {a, b, c});
    return {true, 0x1122334455667788ull};
}
HandlerResult on_d() {
    record(SlotD, {});
    return {};
}

const std::array<runtime::ProgramHandler, 9>& handler_table() {
    static const std::array<runtime::ProgramHandler, 9> table = {
        reinterpret_cast<runtime::ProgramHandler>(&return_zero),
        reinterpret_cast<runtime::ProgramHandler>(&return_nothing),
        reinterpret_cast<runtime::ProgramHandler>(&on_created),
        reinterpret_cast<runtime::ProgramHandler>(&on_clicked),
        reinterpret_cast<runtime::ProgramHandler>(&on_plain),
        reinterpret_cast<runtime::ProgramHandler>(&on_window_event),
        reinterpret_cast<runtime::ProgramHandler>(&on_answer),
        reinterpret_cast<runtime::ProgramHandler>(&on_typed),
        reinterpret_cast<runtime::ProgramHandler>(&on_d),
    };
    return table;
}

runtime::EventBinding bind(std::int32_t event, std::uint32_t slot) {
    runtime::EventBinding binding;
    binding.event = event;
    binding.stored_handler =
        slot == runtime::NoHandler
            ? runtime::NoHandler
            : slot * static_cast<std::uint32_t>(sizeof(runtime::ProgramHandler));
    return binding;
}

runtime::UnitRecord make_unit(std::uint32_t id, std::uint32_t type, int left, int top, int width,
                              int height) {
    runtime::UnitRecord record;
    record.id = id;
    record.type = type;
    record.name = "u" + std::to_string(id & 0xFF);
    record.left = left;
    record.top = top;
    record.width = width;
    record.height = height;
    record.pointer_block = {0, 0, 0, 0};
    record.flags = runtime::UnitRecord::FlagVisible | runtime::UnitRecord::FlagTabStop;
    return record;
}

const runtime::LibraryInfo* const* test_libraries() {
    static const std::array<runtime::UnitTypeInfo, 4> types = {
        units::WindowUnit::type_info(), ProbeUnit::type_info(), runtime::UnitTypeInfo{},
        ProbeUnit::silent_type_info()};
    static const runtime::LibraryInfo library = [] {
        runtime::LibraryInfo info;
        info.unit_type_count = static_cast<std::uint32_t>(types.size());
        info.unit_types = types.data();
        return info;
    }();
    static const runtime::LibraryInfo* const libraries[1] = {&library};
    return libraries;
}

} // namespace

std::vector<HandlerCall>& handler_calls() {
    static std::vector<HandlerCall> calls;
    return calls;
}

std::vector<std::uint32_t> called_slots() {
    std::vector<std::uint32_t> slots;
    for (auto& call : handler_calls())
        slots.push_back(call.slot);
    return slots;
}

runtime::WindowTemplate test_window() {
    runtime::WindowTemplate window;
    window.window_id = TestWindowId;

    auto window_unit = make_unit(TestWindowUnitId, units::WindowUnit::TypeCode, 50, 60, 400, 300);
    units::WindowUnit::Settings window_settings;
    window_settings.set_text(units::WindowUnit::Title, "Test");
    window_unit.type_data = units::write_stored_settings(window_settings);
    window_unit.bindings = {bind(0, SlotCreated), bind(3, SlotWindowEvent),
                            bind(4, SlotWindowEvent)};

    ProbeUnit::Settings probe_settings;
    probe_settings.set_word(ProbeUnit::Value, 5);
    probe_settings.set_word(ProbeUnit::Flag, 2);
    probe_settings.set_text(ProbeUnit::Caption, "\xBC\xD7"); // 甲
    auto a = make_unit(ProbeA, ProbeType, 10, 20, 100, 30);
    a.type_data = units::write_stored_settings(probe_settings);
    a.bindings = {bind(ProbeUnit::EventCreating, SlotPlain),
                  bind(ProbeUnit::EventClicked, SlotClicked),
                  bind(-7, SlotPlain),
                  bind(5, runtime::NoHandler),
                  bind(6, SlotAnswer),
                  bind(8, SlotTyped)};
    auto b = make_unit(ProbeB, ProbeType, 10, 60, 100, 30);
    b.redirect_id = ProbeA;
    b.bindings = {bind(ProbeUnit::EventClicked, SlotPlain)};
    auto c = make_unit(ProbeC, ProbeType, 10, 100, 100, 30);
    c.redirect_id = ProbeD;
    auto d = make_unit(ProbeD, ProbeType, 10, 140, 100, 30);
    d.redirect_id = ProbeC;
    d.bindings = {bind(ProbeUnit::EventClicked, SlotD)};
    auto silent = make_unit(SilentId, SilentType, 10, 180, 100, 30);
    silent.flags &= ~runtime::UnitRecord::FlagVisible;
    auto to_silent = make_unit(ProbeToSilent, ProbeType, 10, 220, 100, 30);
    to_silent.redirect_id = SilentId;
    to_silent.bindings = {bind(ProbeUnit::EventClicked, SlotPlain)};

    window.units = {window_unit, a, b, c, d, silent, to_silent};
    return window;
}

void WindowTest::SetUp() {
    ASSERT_TRUE(platform::initialize(&m_backend));
    platform::register_standard_controls();
    handler_calls().clear();
    ProbeUnit::set_calls().clear();
    m_stream = runtime::write_window_templates({test_window()});
    m_header = {};
    m_header.mode = 3;
    m_header.code_base = handler_table().data();
    m_header.template_data = m_stream.data();
    m_header.template_length = static_cast<std::uint32_t>(m_stream.size());
    m_header.library_count = 1;
    m_header.libraries = test_libraries();
}

void WindowTest::TearDown() {
    runtime::AppRuntime::the().destroy_all_windows();
    platform::shutdown();
}

void WindowTest::adopt() {
    ASSERT_FALSE(runtime::AppRuntime::the().adopt_header(m_header).is_error());
}

runtime::WindowObject& WindowTest::create() {
    adopt();
    auto& app = runtime::AppRuntime::the();
    app.load_start_window(TestWindowId);
    return *app.find_window(TestWindowId);
}

platform::HWND WindowTest::unit_window(std::uint32_t unit_id) {
    auto* window = runtime::AppRuntime::the().find_window(TestWindowId);
    auto* record = window ? window->find_unit_or_window(unit_id) : nullptr;
    return record ? runtime::WindowObject::live_window_of(*record) : nullptr;
}

ProbeUnit* WindowTest::probe(std::uint32_t unit_id) {
    return dynamic_cast<ProbeUnit*>(units::Unit::from_window(unit_window(unit_id)));
}

} // namespace runtime_test
