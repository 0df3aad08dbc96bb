// Costs of the conversion and text commands on the application's roads:
// slider positions to text, edit box texts to numbers, and reading an
// action file (lines, then four fields a line).

#include <commands/ConversionCommands.h>
#include <commands/TextCommands.h>
#include <runtime/services/LibraryCommand.h>
#include <runtime/values/ArrayBlock.h>
#include <runtime/values/RuntimeHeap.h>

#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <string>

using runtime::TypedValue;

namespace {

void release_text_result(const TypedValue& result) {
    runtime::RuntimeHeap::the().release(result.pointer<void>());
}

void BM_ToTextInteger(benchmark::State& state) {
    TypedValue arg = TypedValue::of_integer(1500);
    for (auto _ : state) {
        TypedValue result = runtime::call_library_command(commands::ToText, 0, 1, &arg);
        benchmark::DoNotOptimize(result.data);
        release_text_result(result);
    }
}
BENCHMARK(BM_ToTextInteger);

void BM_ToTextDouble(benchmark::State& state) {
    TypedValue arg = TypedValue::of_double(1.0 / 3.0);
    for (auto _ : state) {
        TypedValue result = runtime::call_library_command(commands::ToText, 0, 1, &arg);
        benchmark::DoNotOptimize(result.data);
        release_text_result(result);
    }
}
BENCHMARK(BM_ToTextDouble);

void BM_ToNumberShortDecimal(benchmark::State& state) {
    TypedValue arg = TypedValue::of_text("123.45");
    for (auto _ : state) {
        TypedValue result = runtime::call_library_command(commands::ToNumber, 0, 1, &arg);
        benchmark::DoNotOptimize(result.data);
    }
}
BENCHMARK(BM_ToNumberShortDecimal);

// About 1 MB: 70 000 lines of four servo positions, CR LF after each.
std::string action_file() {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> position(0, 180);
    std::string file;
    file.reserve(1 << 20);
    for (int line = 0; line < 70000; ++line) {
        for (int field = 0; field < 4; ++field) {
            if (field)
                file += ',';
            file += std::to_string(position(random));
        }
        file += "\r\n";
    }
    return file;
}

void BM_SplitActionFile(benchmark::State& state) {
    const std::string file = action_file();
    TypedValue line_args[3] = {TypedValue::of_text(file.c_str()), TypedValue::of_text("\r\n"),
                               TypedValue{}};
    std::size_t fields = 0;
    for (auto _ : state) {
        TypedValue lines = runtime::call_library_command(commands::SplitText, 0, 3, line_args);
        auto line_elements = runtime::array_elements(lines.pointer<void>(), sizeof(char*));
        for (std::size_t i = 0; i < line_elements.count; ++i) {
            char* line;
            std::memcpy(&line, line_elements.data + i * sizeof(char*), sizeof line);
            TypedValue field_args[3] = {TypedValue::of_text(line), TypedValue::of_text(","),
                                        TypedValue{}};
            TypedValue parts = runtime::call_library_command(commands::SplitText, 0, 3, field_args);
            fields += runtime::array_elements(parts.pointer<void>(), sizeof(char*)).count;
            runtime::release_array(runtime::type_code::Text, parts.pointer<void>());
        }
        runtime::release_array(runtime::type_code::Text, lines.pointer<void>());
    }
    benchmark::DoNotOptimize(fields);
    state.counters["bytes"] = static_cast<double>(file.size());
    state.counters["lines"] = 70000;
}
BENCHMARK(BM_SplitActionFile)->Unit(benchmark::kMillisecond);

} // namespace
