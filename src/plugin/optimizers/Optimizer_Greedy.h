// The fast optimiser of the automatic run: group by group, the sub-net that can be connected
// most cheaply gets the net it is cheapest to connect to, and is settled (Fixed).
#pragma once

#include "optimizers/Optimizer_Abstract.h"

namespace tessaro {

class TSwapOptimizer_Greedy : public TSwapOptimizer_Abstract {
  public:
    using TSwapOptimizer_Abstract::TSwapOptimizer_Abstract;
    const char* ClassName() const override { return "TSwapOptimizer_Greedy"; }

    bool Execute() override;
    void OptimizeGroup(TSwapGroup* group);
    // The cheapest pair (a takes b's net) among the group's unfixed sub-nets; false when no
    // unfixed sub-net has an unfixed partner whose net can be reached.
    bool FindClosestPair(TSwapGroup* group, TSwapSubNet*& a, TSwapSubNet*& b) const;
};

}  // namespace tessaro
