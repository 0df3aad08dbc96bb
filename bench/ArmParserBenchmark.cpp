// Throughput of the arm's command parser over a 1 MB stream of playback
// rows, the controller's heaviest traffic, read in pieces of the size the
// arm reads from its line.

#include <tools/arm/CommandParser.h>

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

std::string playback_stream(std::size_t size) {
    std::string stream;
    for (int row = 0; stream.size() < size; ++row) {
        stream += std::to_string(row % 181) + "a" + std::to_string((row * 7) % 181) + "b" +
                  std::to_string((row * 13) % 181) + "c" + std::to_string((row * 29) % 181) + "d";
    }
    stream.resize(size);
    return stream;
}

void parse_stream(benchmark::State& state, const std::string& stream) {
    std::size_t piece = static_cast<std::size_t>(state.range(0));
    std::vector<arm::ParsedCommand> out;
    out.reserve(stream.size() / 2);
    for (auto _ : state) {
        arm::CommandParser parser;
        out.clear();
        for (std::size_t at = 0; at < stream.size(); at += piece)
            parser.feed(std::string_view(stream).substr(at, piece), out);
        benchmark::DoNotOptimize(out.data());
        benchmark::DoNotOptimize(parser.counts());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * stream.size()));
}

void BM_ParsePlayback(benchmark::State& state) {
    static const std::string stream = playback_stream(1 << 20);
    parse_stream(state, stream);
}
BENCHMARK(BM_ParsePlayback)->Arg(65536)->Arg(14);

void BM_ParseGarbage(benchmark::State& state) {
    static const std::string stream = [] {
        std::string s(1 << 20, '\0');
        std::uint32_t x = 12345;
        for (char& c : s) {
            x = x * 1103515245u + 12345u;
            c = static_cast<char>(x >> 24);
        }
        return s;
    }();
    parse_stream(state, stream);
}
BENCHMARK(BM_ParseGarbage)->Arg(65536);

} // namespace

BENCHMARK_MAIN();
