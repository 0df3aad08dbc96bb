// The grid unit on the headless display: a full repaint of the program's
// action table with every cell filled, and SetCellData of one text cell
// through the command table, its redraw included.

#include <units/grid/GridUnit.h>

#include <platform/controls/Controls.h>
#include <platform/headless/HeadlessBackend.h>
#include <platform/window/Painting.h>
#include <platform/window/WindowSystem.h>

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

using runtime::TypedValue;
using units::GridUnit;

constexpr std::uint32_t WindowId = 0x52010001;
constexpr std::uint32_t GridId = 0x1601006f;

GridUnit* g_grid = nullptr;

std::intptr_t bench_host(std::int32_t code, std::intptr_t a, std::intptr_t b) {
    if (code == runtime::host_service::UnitWindowObjectOrFail && a == WindowId && b == GridId)
        return reinterpret_cast<std::intptr_t>(static_cast<runtime::UnitObject*>(g_grid));
    return 0;
}

struct Session {
    platform::HeadlessBackend backend;
    platform::HWND top = nullptr;

    Session() {
        platform::initialize(&backend);
        platform::register_standard_controls();
        units::set_host(bench_host);
        top = platform::create_window_ex(0, "STATIC", "bench", platform::WS_VISIBLE, 0, 0, 985, 665,
                                         nullptr, 0);
        std::vector<std::pair<std::string, std::string>> named = {
            {"Rows", "101"}, {"Columns", "5"}, {"FixedRows", "1"}, {"FixedColumns", "1"}};
        std::vector<std::uint8_t> data;
        std::string bad;
        GridUnit::Entries::design_data(named, data, bad);
        g_grid = dynamic_cast<GridUnit*>(GridUnit::Entries::create(
            data.data(), static_cast<std::uint32_t>(data.size()), platform::WS_VISIBLE, top, 100,
            nullptr, 458, 75, 520, 512, WindowId, GridId, 0, 0));
        for (int r = 0; r <= 100; ++r)
            for (int c = 0; c <= 4; ++c) {
                std::string text = r == 0   ? "Servo " + std::to_string(c)
                                   : c == 0 ? "Action " + std::to_string(r)
                                            : std::to_string(40 + (r * c) % 140);
                g_grid->set_cell_data(r, c, units::cell_kind::Text,
                                      TypedValue::of_text(text.c_str()));
            }
        platform::update_window(top);
    }
    ~Session() {
        g_grid = nullptr;
        units::set_host(nullptr);
        platform::shutdown();
    }
};

void BM_GridFullRepaint(benchmark::State& state) {
    Session session;
    for (auto _ : state) {
        platform::invalidate_rect(g_grid->hwnd(), nullptr, true);
        platform::update_window(g_grid->hwnd());
    }
}
BENCHMARK(BM_GridFullRepaint)->Unit(benchmark::kMillisecond);

void BM_GridSetCellDataWithRedraw(benchmark::State& state) {
    Session session;
    std::vector<TypedValue> args(5);
    args[0].set_words(WindowId, GridId);
    args[0].type = GridUnit::TypeCode;
    args[1] = TypedValue::of_integer(5);
    args[2] = TypedValue::of_integer(2);
    args[3] = TypedValue::of_integer(units::cell_kind::Text);
    const char* texts[] = {"80", "100"};
    int i = 0;
    for (auto _ : state) {
        args[4] = TypedValue::of_text(texts[i++ & 1]);
        TypedValue result;
        units::grid_commands()[1](&result, 5, args.data());
        platform::update_window(g_grid->hwnd());
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(BM_GridSetCellDataWithRedraw)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
