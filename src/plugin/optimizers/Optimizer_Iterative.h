// The iterative optimiser of the automatic run: random local search per pin swap group. It
// draws a pair of sub-nets, exchanges their nets tentatively and keeps the exchange only when
// the total cost falls. The search runs in passes under a cooling temperature that bounds the
// number of passes; four passes in a row without a kept move end a group.
#pragma once

#include "optimizers/Optimizer_Abstract.h"
#include "optimizers/RandomGenerator.h"

namespace tessaro {

class TSwapOptimizer_Iterative : public TSwapOptimizer_Abstract {
  public:
    using TSwapOptimizer_Abstract::TSwapOptimizer_Abstract;
    const char* ClassName() const override { return "TSwapOptimizer_Iterative"; }

    bool Execute() override;
    void ShowStatus() override;

    void SetupGroup();
    void SearchGroup();
    // One random pair of the group: a not Fixed, b one of a's `range` nearest neighbours
    // and not Fixed. False when none could be drawn.
    bool PickRandomPair(TSwapGroup* group, double range, TSwapSubNet*& a, TSwapSubNet*& b);
    bool PassFinished() const;

    double Range = 0;
    double Temperature = 0;
    std::int32_t PassIterations = 0;
    std::int32_t PassLimit = 0;
    std::int32_t PassMinimum = 0;
    std::int32_t ChangeLimit = 0;
    std::int32_t CrossRejections = 0;
    std::int32_t ChangesForBetter = 0;
    std::int32_t Moves = 0;
    std::int32_t Stalled = 0;
    TSwapGroup* Group = nullptr;
    // Passes searched since the start of the current group.
    std::int32_t Passes = 0;
    // Trial moves of the whole run, all groups together.
    std::int64_t Trials = 0;

  private:
    // Returns false when the group's search cannot go on (no pair can be drawn).
    bool RunPass();
    TRandomGenerator random_;
};

// The temperature after one more pass: cooled by 5 %, the product rounded once to double.
double CoolTemperature(double temperature);

}  // namespace tessaro
