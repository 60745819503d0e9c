// The greedy optimiser.
#include "optimizers/Optimizer_Greedy.h"

#include "frame/HostAccess.h"
#include "frame/Messages.h"
#include "model/Analyze.h"
#include "model/CostScan.h"
#include "model/Geometry.h"

namespace tessaro {

namespace {

// A sub-net as the greedy log names it: pad name and current net, "NULL" where missing.
std::string Identification(const TSwapSubNet* s) {
    const std::string pad = s->Pin && s->Pin->Pad ? N(s->Pin->Pad->Name()) : "NULL";
    const TSwapNet* net = s->CurrentNet();
    return pad + "(" + (net ? net->Name() : "NULL") + ")";
}

}  // namespace

bool TSwapOptimizer_Greedy::Execute() {
    TSwapDataSet& d = Data();
    TCrossingScan scan(d);
    BeginProgress("Local Pin/Net Optimizer...", static_cast<int>(d.SwapSubNets.size()));
    try {
        for (TSwapGroup* group : d.PinSwapGroups) {
            if (AbortRequested) break;
            d.Log("Run On SwapGroup:" + group->Describe());
            OptimizeGroup(group);
            d.Log("");
            d.RedrawBoard();
        }
    } catch (...) {
        EndProgress();
        throw;
    }
    EndProgress();
    return true;
}

void TSwapOptimizer_Greedy::OptimizeGroup(TSwapGroup* group) {
    TSwapDataSet& d = Data();
    d.PrepareGroup(group);
    TSwapSubNet* a = nullptr;
    TSwapSubNet* b = nullptr;
    while (FindClosestPair(group, a, b) && !AbortRequested) {
        ++Iterations;
        a->Fixed = true;
        if (a == b) {
            d.Log("No Change:" + a->Describe() + " * " + b->Describe());
        } else {
            d.TryExchange(a, b);
            d.CommitExchange(a, b);
            d.Log("Swapped:" + Identification(a) + " * " + Identification(b));
        }
        CheckAbort();
        StepProgress();
    }
}

bool TSwapOptimizer_Greedy::FindClosestPair(TSwapGroup* group, TSwapSubNet*& a,
                                            TSwapSubNet*& b) const {
    a = nullptr;
    b = nullptr;
    bool found = false;
    double best = MinimumSearchStart;
    const std::vector<TSwapSubNet*>& subNets = group->SubNets;
    for (TSwapSubNet* x : subNets) {
        if (x->Fixed) continue;
        const THotSpot* from = x->BestHotSpot;
        // Without an end point x cannot be connected anywhere.
        if (!from) continue;
        const std::vector<THotSpot*>& reach = x->NetHotSpots;
        for (TSwapSubNet* y : subNets) {
            if (y->Fixed || !cost_detail::LineEnd(y)) continue;
            const auto slot = static_cast<std::size_t>(y->NetIndex);
            const THotSpot* p = slot < reach.size() ? reach[slot] : nullptr;
            if (!p) continue;
            double c = static_cast<double>(ManhattanUnits(p, from));
            if (p->Layer != from->Layer) c += LayerPenalty;
            if (c < best) {
                best = c;
                a = x;
                b = y;
                found = true;
            }
        }
    }
    return found;
}

}  // namespace tessaro
