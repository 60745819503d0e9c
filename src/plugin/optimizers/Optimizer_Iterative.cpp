// The iterative optimiser.
#include "optimizers/Optimizer_Iterative.h"

#include <algorithm>
#include <cmath>

#include "frame/Messages.h"
#include "model/Analyze.h"
#include "model/CostScan.h"
#include "model/Geometry.h"
#include "platform/Person.h"

namespace tessaro {

namespace {

constexpr double StartTemperature = 1000.0;
constexpr long double CoolingFactor = 0.95L;
constexpr int MaxDraws = 9999;
constexpr double FixedDistance = 300000.0;
constexpr int StatusEvery = 100;

// A sub-net already next to a point of its net (on a layer it can reach) is left alone.
bool AlreadyConnected(const TSwapDataSet& d, const TSwapSubNet* s) {
    const THotSpot* best = s->BestHotSpot;
    const THotSpot* end = s->CurrentNetHotSpot();
    if (!best || !end) return false;
    if (!(d.EuclideanLength(s) < FixedDistance)) return false;
    return best->Layer == end->Layer || best->Layer == host::eMultiLayer ||
           end->Layer == host::eMultiLayer;
}

}  // namespace

double CoolTemperature(double temperature) {
    return static_cast<double>(static_cast<long double>(temperature) * CoolingFactor);
}

bool TSwapOptimizer_Iterative::Execute() {
    TSwapDataSet& d = Data();
    try {
        TCrossingScan scan(d);
        for (TSwapGroup* group : d.PinSwapGroups) {
            if (AbortRequested) break;
            Group = group;
            if (group->SubNets.size() < 4) continue;
            d.Log("Run Iterative On PinSwapGroup:" + group->Describe());
            SetupGroup();
            SearchGroup();
            d.Log("");
        }
    } catch (const platform::ProcessExit&) {
        throw;  // the process is ending, not the search failing
    } catch (const platform::NoAnswer&) {
        throw;
    } catch (const platform::ScriptedPerson::UnexpectedInteraction&) {
        throw;
    } catch (...) {
        ShowError("Iterative Optimizer Exception", "Error");
    }
    return true;
}

void TSwapOptimizer_Iterative::SetupGroup() {
    TSwapDataSet& d = Data();
    const auto n = static_cast<std::int32_t>(Group->SubNets.size());
    random_.Seed(platform::RandomSeed());
    Temperature = StartTemperature;
    Moves = 0;
    Iterations = 0;
    Stalled = 0;
    Passes = 0;
    PassLimit = 50 * n;
    PassMinimum = 10 * n;
    ChangeLimit = 10 * n;
    for (TSwapSubNet* s : d.SwapSubNets) {
        s->Fixed = false;
        s->Fixed = AlreadyConnected(d, s);
    }
}

void TSwapOptimizer_Iterative::SearchGroup() {
    TSwapDataSet& d = Data();
    d.ResetGroupNets(Group);
    d.PrepareGroup(Group);
    StampElapsed();
    bool more = true;
    do {
        more = RunPass();
    } while (more && Temperature >= 1.0 && Stalled <= 3 && !AbortRequested);
}

bool TSwapOptimizer_Iterative::RunPass() {
    TSwapDataSet& d = Data();
    ++Passes;
    PassIterations = 0;
    CrossRejections = 0;
    ChangesForBetter = 0;
    Range = static_cast<double>(Group->SubNets.size());
    bool drawable = true;
    do {
        TSwapSubNet* a = nullptr;
        TSwapSubNet* b = nullptr;
        // A group where no pair can be drawn (everything Fixed, or a single sub-net left
        // free) has nothing to search: it ends here and the next group follows.
        if (!PickRandomPair(Group, Range, a, b)) {
            drawable = false;
            break;
        }
        ++PassIterations;
        ++Iterations;
        ++Trials;
        const double before = d.TotalCost();
        d.TryExchange(a, b);
        const double after = d.TotalCost();
        if (after < before) {
            d.CommitExchange(a, b);
            ++ChangesForBetter;
            ++Moves;
        } else {
            d.RollbackExchange(a, b);
            if (d.TotalCost() != before)
                ShowInformation("Internal Error: Failed to rollback cleanly", "Information");
            ++CrossRejections;
        }
        ShowStatus();
        CheckAbort();
    } while (!PassFinished() && !AbortRequested);

    d.RedrawBoard();
    if (ChangesForBetter == 0)
        ++Stalled;
    else
        Stalled = 0;
    StampElapsed();
    d.LogFmt(
        "Time=%s; Temperature=%.3n; Cost=%.3n; ChangesForWorse=%d; ChangesForBetter=%d; "
        "XOvers=%d; CrossRejections=%d; Range=%.0n; Stalled=%d; Interations:=%d; Iter/Sec=%d",
        ElapsedText, Temperature, d.TotalCost(), 0, ChangesForBetter, d.XOvers, CrossRejections,
        Range, Stalled, PassIterations, Iterations / ElapsedSeconds);
    Temperature = CoolTemperature(Temperature);
    return drawable;
}

bool TSwapOptimizer_Iterative::PassFinished() const {
    return PassIterations > PassMinimum &&
           (PassIterations > PassLimit || ChangesForBetter > ChangeLimit);
}

bool TSwapOptimizer_Iterative::PickRandomPair(TSwapGroup* group, double range, TSwapSubNet*& a,
                                              TSwapSubNet*& b) {
    a = nullptr;
    b = nullptr;
    const auto count = static_cast<std::int32_t>(group->SubNets.size());
    TSwapSubNet* x = nullptr;
    for (int draw = 0; draw < MaxDraws; ++draw) {
        TSwapSubNet* s = group->SubNets[static_cast<std::size_t>(random_.Below(count))];
        if (s->Pin && !s->Fixed) {
            x = s;
            break;
        }
    }
    if (!x) return false;
    const auto k = std::min(static_cast<std::int32_t>(x->Neighbours.size()),
                            static_cast<std::int32_t>(std::nearbyint(range)));
    if (k <= 0) return false;
    for (int draw = 0; draw < MaxDraws; ++draw) {
        TSwapSubNet* y = x->Neighbours[static_cast<std::size_t>(random_.Below(k))];
        if (y != x && !y->Fixed) {
            a = x;
            b = y;
            return true;
        }
    }
    return false;
}

void TSwapOptimizer_Iterative::ShowStatus() {
    if (PassIterations % StatusEvery != 0) return;
    const TSwapDataSet& d = Data();
    ShowStatusText(3, "T:" + FixedTwo(Temperature) + " Crossovers:" + std::to_string(d.XOvers) +
                          " Cost:" + FixedTwo(d.TotalCost() / 1000000) + " Moves:" +
                          std::to_string(Moves) + " Iterations:" + std::to_string(Iterations));
}

}  // namespace tessaro
