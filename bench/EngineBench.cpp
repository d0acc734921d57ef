// Timing of the phrase engine's hot paths: the composition of one drag and
// the editor's parse/build round trip.
#include "engine/ComposeText.h"
#include "engine/VerbiageIteration.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

// `count` records of typical 40-byte texts with weights 1..9.
std::string MakeData(int count) {
    std::string data;
    for (int i = 0; i < count; ++i) {
        std::string text = "Thank you for your message number " + std::to_string(i);
        text.resize(40, '.');
        data += text + static_cast<char>('1' + i % 9) + "|";
    }
    return data;
}

void BM_ComposeText(benchmark::State& state) {
    const std::string data = MakeData(static_cast<int>(state.range(0)));
    int r = 0;
    SetRandomSource([&r] { return r = (r + 7919) & 32767; });
    std::string output;
    for (auto _ : state) {
        output.assign("  ");
        benchmark::DoNotOptimize(ComposeText(output, data, 1, 0));
        benchmark::DoNotOptimize(output.data());
    }
    SetRandomSource({});
}
BENCHMARK(BM_ComposeText)->Arg(1)->Arg(10)->Arg(255);

void BM_ParseBuildRoundTrip(benchmark::State& state) {
    const std::string data = MakeData(255);
    CVerbiageIteration model;
    for (auto _ : state) {
        model.ClearIterations();
        model.m_strData = data;
        model.ParseData();
        model.BuildData();
        benchmark::DoNotOptimize(model.m_strData.data());
    }
}
BENCHMARK(BM_ParseBuildRoundTrip);

} // namespace

BENCHMARK_MAIN();
