// Building the swap data set (Analyze with the build only) and the cost initialisation on a
// board with thousands of swappable pins, and on the bundled example.
//
// build_bench [--example=PATH] [benchmark flags]; PATH defaults to examples/demo.json.
#include <benchmark/benchmark.h>

#include <cstring>

#include "BenchHost.h"
#include "hostapp/design/DesignFile.h"

namespace {

std::string examplePath = "examples/demo.json";

// Building (and, for range 0, costing) the data set of one design, again and again.
void AnalyzeDesign(benchmark::State& state, hostapp::design::DesignData design) {
    const bool buildOnly = state.range(0) != 0;
    bench::Host host(std::move(design));
    std::size_t swappable = 0;
    for (auto _ : state) {
        auto data = host.Analysed(buildOnly);
        swappable = data->SwapSubNets.size();
        state.PauseTiming();
        data.reset();
        state.ResumeTiming();
    }
    state.counters["swappable"] = static_cast<double>(swappable);
    state.SetLabel(buildOnly ? "build only" : "build and cost");
}

// The bundled example as `tessaro run` opens it.
void BM_AnalyzeExample(benchmark::State& state) {
    AnalyzeDesign(state, hostapp::design::ReadDesignFile(examplePath));
}
BENCHMARK(BM_AnalyzeExample)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_Analyze(benchmark::State& state) {
    AnalyzeDesign(state, generator::GenerateDesign(bench::Board(10, 200)));
}
BENCHMARK(BM_Analyze)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_MeasureBoard(benchmark::State& state) {
    bench::Host host(bench::Board(10, 200));
    tessaro::TSwapDataSet data(host.BoardPath(), tessaro::smPinSwap);
    std::int32_t crossings = 0;
    for (auto _ : state) {
        double length = 0;
        data.MeasureBoard(length, crossings);
        benchmark::DoNotOptimize(length);
    }
    state.counters["crossings"] = crossings;
}
BENCHMARK(BM_MeasureBoard)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--example=", 10) == 0)
            examplePath = argv[i] + 10;
        else
            argv[kept++] = argv[i];
    }
    argc = kept;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
