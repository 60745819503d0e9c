// One tried and undone exchange against recounting the whole cost, measured in one run and
// reported as a ratio.
#include <benchmark/benchmark.h>

#include <chrono>
#include <random>

#include "BenchHost.h"
#include "model/CostScan.h"

namespace {

using Clock = std::chrono::steady_clock;

double Recount(const tessaro::TSwapDataSet& data) {
    double length = 0;
    for (const tessaro::TSwapSubNet* s : data.SwapSubNets) length += data.ConnectionLength(s);
    return data.CountCrossings() * 50000.0 + length;
}

// Arguments: banks of 200 pins; whether the pairs come from one group that PrepareGroup named
// (as in the optimisers) or from all groups at random (every scan a full one).
void BM_TryRollbackVersusRecount(benchmark::State& state) {
    const int banks = static_cast<int>(state.range(0));
    const bool oneGroup = state.range(1) != 0;
    bench::Host host(bench::Board(banks, 200));
    auto data = host.Analysed();
    tessaro::TCrossingScan scan(*data);
    for (tessaro::TSwapGroup* g : data->PinSwapGroups) data->PrepareGroup(g);
    std::mt19937 random(1);
    std::vector<std::pair<tessaro::TSwapSubNet*, tessaro::TSwapSubNet*>> pairs;
    for (int i = 0; i < 4096; ++i) {
        tessaro::TSwapGroup* g = oneGroup
                                     ? data->PinSwapGroups.back()
                                     : data->PinSwapGroups[random() % data->PinSwapGroups.size()];
        const auto n = g->SubNets.size();
        const auto x = random() % n;
        pairs.emplace_back(g->SubNets[x], g->SubNets[(x + 1 + random() % (n - 1)) % n]);
    }

    std::size_t next = 0;
    for (auto _ : state) {
        auto [a, b] = pairs[next++ % pairs.size()];
        data->TryExchange(a, b);
        data->RollbackExchange(a, b);
    }
    // The same number of trials, timed here once more, against full recounts.
    const int trials = 2000;
    auto t0 = Clock::now();
    for (int i = 0; i < trials; ++i) {
        auto [a, b] = pairs[static_cast<std::size_t>(i) % pairs.size()];
        data->TryExchange(a, b);
        data->RollbackExchange(a, b);
    }
    const double incremental = std::chrono::duration<double>(Clock::now() - t0).count() / trials;
    const int recounts = 20;
    double sink = 0;
    t0 = Clock::now();
    for (int i = 0; i < recounts; ++i) sink += Recount(*data);
    const double full = std::chrono::duration<double>(Clock::now() - t0).count() / recounts;
    benchmark::DoNotOptimize(sink);
    state.counters["swappable"] = static_cast<double>(data->SwapSubNets.size());
    state.counters["try+rollback_us"] = incremental * 1e6;
    state.counters["recount_us"] = full * 1e6;
    state.counters["recount/try"] = full / incremental;
}
BENCHMARK(BM_TryRollbackVersusRecount)
    ->ArgNames({"banks", "one_group"})
    ->Args({2, 0})
    ->Args({10, 0})
    ->Args({10, 1})
    ->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
