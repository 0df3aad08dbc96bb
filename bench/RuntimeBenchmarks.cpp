// The runtime's hot roads: a property read through the call table (common
// and type-specific), an event raised to a handler without arguments, and
// a library command called through slot 2. Runs on the headless display.

#include <runtime/AppRuntime.h>
#include <runtime/image/ProgramHeader.h>
#include <runtime/image/TemplateLoader.h>
#include <runtime/services/HostNotify.h>
#include <runtime/services/RuntimeCallTable.h>
#include <runtime/windows/EventRequest.h>

#include <program/LibraryTable.h>
#include <units/WindowUnit.h>
#include <units/framework/UnitType.h>

#include <platform/controls/Controls.h>
#include <platform/headless/HeadlessBackend.h>
#include <platform/window/WindowSystem.h>

#include <benchmark/benchmark.h>

namespace {

constexpr std::uint32_t WindowId = 0x52010001;
constexpr std::uint32_t WindowUnitId = 0x06010000;
int g_handled = 0;

runtime::HandlerResult on_event() {
    ++g_handled;
    return {};
}

const runtime::ProgramHandler handlers[] = {reinterpret_cast<runtime::ProgramHandler>(&on_event)};

void add_command(runtime::TypedValue* result, std::int32_t, const runtime::TypedValue* args) {
    *result =
        runtime::TypedValue::of_integer(static_cast<std::int32_t>(args[0].low() + args[1].low()));
}

struct Program {
    platform::HeadlessBackend backend;
    std::vector<std::uint8_t> stream;
    runtime::ProgramHeader header;

    Program() {
        platform::initialize(&backend);
        platform::register_standard_controls();
        runtime::WindowTemplate window;
        window.window_id = WindowId;
        runtime::UnitRecord unit;
        unit.id = WindowUnitId;
        unit.type = units::WindowUnit::TypeCode;
        unit.width = 300;
        unit.height = 200;
        runtime::EventBinding binding;
        binding.event = 9;
        binding.stored_handler = 0;
        unit.bindings = {binding};
        unit.type_data = units::write_stored_settings(units::WindowUnit::Settings{});
        window.units = {unit};
        stream = runtime::write_window_templates({window});
        header.code_base = handlers;
        header.template_data = stream.data();
        header.template_length = static_cast<std::uint32_t>(stream.size());
        header.library_count = program::LibraryTable::the().count();
        header.libraries = program::LibraryTable::the().libraries();
        auto& app = runtime::AppRuntime::the();
        (void)app.adopt_header(header);
        app.load_start_window(WindowId);
    }
};

Program& program() {
    static Program p;
    return p;
}

void BM_ReadCommonProperty(benchmark::State& state) {
    program();
    auto& table = runtime::runtime_call_table();
    for (auto _ : state)
        benchmark::DoNotOptimize(table.read_property(WindowId, WindowUnitId, 2, -1));
}
BENCHMARK(BM_ReadCommonProperty);

void BM_ReadTypeSpecificProperty(benchmark::State& state) {
    program();
    auto& table = runtime::runtime_call_table();
    // 17: the minimize button, a boolean.
    for (auto _ : state)
        benchmark::DoNotOptimize(table.read_property(WindowId, WindowUnitId, 17, -1));
}
BENCHMARK(BM_ReadTypeSpecificProperty);

void BM_RaiseEventToHandler(benchmark::State& state) {
    program();
    runtime::EventRequest request;
    request.window_id = WindowId;
    request.event = 9;
    for (auto _ : state)
        benchmark::DoNotOptimize(runtime::host_notify(
            runtime::host_service::RaiseEvent, reinterpret_cast<std::intptr_t>(&request), 0));
    if (g_handled == 0)
        state.SkipWithError("the handler never ran");
}
BENCHMARK(BM_RaiseEventToHandler);

void BM_LibraryCommandThroughSlot2(benchmark::State& state) {
    auto& table = runtime::runtime_call_table();
    runtime::TypedValue args[2] = {runtime::TypedValue::of_integer(2),
                                   runtime::TypedValue::of_integer(3)};
    for (auto _ : state)
        benchmark::DoNotOptimize(table.call_library_command(add_command, 0, 2, args));
}
BENCHMARK(BM_LibraryCommandThroughSlot2);

} // namespace

BENCHMARK_MAIN();
