// The optimisers on generated boards: greedy by group size, and the trial moves per second
// of the iterative optimiser.
#include <benchmark/benchmark.h>

#include "BenchHost.h"
#include "optimizers/Optimizer_Greedy.h"
#include "optimizers/Optimizer_Iterative.h"

namespace {

// The greedy optimiser over a board of four banks of the given size.
void BM_Greedy(benchmark::State& state) {
    const int size = static_cast<int>(state.range(0));
    bench::Host host(bench::Board(4, size));
    std::int64_t steps = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto data = host.Analysed();
        state.ResumeTiming();
        auto* greedy = data->Make<tessaro::TSwapOptimizer_Greedy>(data.get());
        greedy->Run();
        steps += greedy->Iterations;
        state.PauseTiming();
        data.reset();
        state.ResumeTiming();
    }
    state.counters["groups"] = 4;
    state.counters["steps/s"] =
        benchmark::Counter(static_cast<double>(steps), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Greedy)->Arg(25)->Arg(50)->Arg(100)->Arg(200)->Unit(benchmark::kMillisecond);

// The iterative optimiser after the greedy one, as in the automatic run.
void BM_IterativeTrials(benchmark::State& state) {
    const int banks = static_cast<int>(state.range(0));
    const int size = static_cast<int>(state.range(1));
    bench::Host host(bench::Board(banks, size));
    std::int64_t trials = 0;
    std::size_t swappable = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto data = host.Analysed();
        swappable = data->SwapSubNets.size();
        data->Make<tessaro::TSwapOptimizer_Greedy>(data.get())->Run();
        state.ResumeTiming();
        auto* iterative = data->Make<tessaro::TSwapOptimizer_Iterative>(data.get());
        iterative->Run();
        trials += iterative->Trials;
        state.PauseTiming();
        data.reset();
        state.ResumeTiming();
    }
    state.counters["swappable"] = static_cast<double>(swappable);
    state.counters["trials/s"] =
        benchmark::Counter(static_cast<double>(trials), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_IterativeTrials)
    ->Args({4, 50})
    ->Args({10, 200})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
