// A key press on a focused servo slider, from the key entering the queue to
// the program's PositionChanged handler running: the message is retrieved,
// translated and dispatched, the bar moves its thumb and raises the event,
// and the runtime finds and calls the handler. The window and the bar are
// made by the runtime from a window template, over the program's library
// table, on the headless display.

#include <runtime/AppRuntime.h>
#include <runtime/image/ProgramHeader.h>
#include <runtime/image/TemplateLoader.h>
#include <runtime/windows/EventRequest.h>
#include <runtime/windows/WindowObject.h>

#include <program/LibraryTable.h>
#include <units/WindowUnit.h>
#include <units/framework/UnitType.h>
#include <units/superbar/SuperBarUnit.h>

#include <platform/headless/HeadlessBackend.h>
#include <platform/window/Input.h>
#include <platform/window/WindowSystem.h>

#include <benchmark/benchmark.h>

namespace {

constexpr std::uint32_t WindowId = 0x52010001;
constexpr std::uint32_t WindowUnitId = 0x06010000;
constexpr std::uint32_t BarId = 0x16010012;
int g_handled = 0;

runtime::HandlerResult on_position_changed() {
    ++g_handled;
    return {};
}

const runtime::ProgramHandler handlers[] = {
    reinterpret_cast<runtime::ProgramHandler>(&on_position_changed)};

runtime::UnitRecord record(std::uint32_t id, std::uint32_t type, int left, int top, int width,
                           int height) {
    runtime::UnitRecord unit;
    unit.id = id;
    unit.type = type;
    unit.left = left;
    unit.top = top;
    unit.width = width;
    unit.height = height;
    unit.flags = runtime::UnitRecord::FlagVisible | runtime::UnitRecord::FlagTabStop;
    return unit;
}

struct Program {
    platform::HeadlessBackend backend;
    std::vector<std::uint8_t> stream;
    runtime::ProgramHeader header;
    platform::HWND bar = nullptr;

    Program() {
        platform::initialize(&backend);
        runtime::WindowTemplate window;
        window.window_id = WindowId;
        auto window_unit = record(WindowUnitId, units::WindowUnit::TypeCode, 0, 0, 400, 300);
        window_unit.type_data = units::write_stored_settings(units::WindowUnit::Settings{});
        auto slider = record(BarId, units::SuperBarUnit::TypeCode, 77, 105, 200, 48);
        units::SuperBarUnit::Settings settings;
        settings.set_word(units::SuperBarUnit::Maximum, 179);
        settings.set_word(units::SuperBarUnit::Position, 80);
        slider.type_data = units::write_stored_settings(settings);
        runtime::EventBinding binding;
        binding.event = units::SuperBarUnit::PositionChanged;
        binding.stored_handler = 0;
        slider.bindings = {binding};
        window.units = {window_unit, slider};
        stream = runtime::write_window_templates({window});
        header.code_base = handlers;
        header.template_data = stream.data();
        header.template_length = static_cast<std::uint32_t>(stream.size());
        header.library_count = program::LibraryTable::the().count();
        header.libraries = program::LibraryTable::the().libraries();
        auto& app = runtime::AppRuntime::the();
        (void)app.adopt_header(header);
        app.load_start_window(WindowId);
        auto* made = app.find_window(WindowId);
        auto* unit = made ? made->find_unit_or_window(BarId) : nullptr;
        bar = unit ? runtime::WindowObject::live_window_of(*unit) : nullptr;
        platform::set_focus(bar);
        backend.pump();
    }
};

// Dispatches queued messages until the handler has run once more; false
// when the queue runs dry first.
bool dispatch_until_handled(int before) {
    platform::Msg msg;
    while (g_handled == before) {
        if (!platform::peek_message(msg, nullptr, 0, 0, platform::PM_REMOVE))
            return false;
        platform::translate_message(msg);
        platform::dispatch_message(msg);
    }
    return true;
}

void BM_KeyPressToPositionChanged(benchmark::State& state) {
    static Program program;
    if (!program.bar || platform::get_focus() != program.bar) {
        state.SkipWithError("the bar was not made or has no focus");
        return;
    }
    bool right = true;
    for (auto _ : state) {
        // Right and Left in turn, so that every press changes the position.
        int before = g_handled;
        platform::input::key(right ? platform::VK_RIGHT : platform::VK_LEFT, true);
        if (!dispatch_until_handled(before)) {
            state.SkipWithError("the handler did not run");
            return;
        }
        right = !right;
        state.PauseTiming();
        platform::input::key(right ? platform::VK_LEFT : platform::VK_RIGHT, false);
        program.backend.pump();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_KeyPressToPositionChanged)->Repetitions(10)->ReportAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
