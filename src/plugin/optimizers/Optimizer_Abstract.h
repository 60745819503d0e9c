// The common base of every optimiser: the run protocol (Run), cost before and after, the
// iteration count, elapsed time, and the status line.
#pragma once

#include <cstdint>
#include <string>

#include "model/Optimizer_Data.h"
#include "platform/Platform.h"

namespace tessaro {

class TSwapOptimizer_Abstract : public TSwapDataObject {
  public:
    explicit TSwapOptimizer_Abstract(TSwapDataSet* owner);
    const char* ClassName() const override { return "TSwapOptimizer_Abstract"; }

    // Clears the board's highlight mask, Start, Execute, Finish, clears the mask; true.
    bool Run();

    virtual void Finish();
    virtual void Start();
    virtual void ShowStatus();
    virtual void StampElapsed();
    virtual bool Execute() { return false; }

    TSwapDataSet& Data() const { return *Owner; }

    double StartCost = 0;
    double EndCost = 0;
    std::int32_t Iterations = 0;
    platform::TimeOfDay StartTime;
    platform::TimeOfDay StampTime;
    platform::TimeOfDay ElapsedTime;
    std::string ElapsedText;
    std::int32_t ElapsedSeconds = 0;
};

// Seconds between two times of day, across midnight.
std::int32_t SecondsBetween(const platform::TimeOfDay& earlier, const platform::TimeOfDay& later);
// "hh:mm:ss" padded on the right with blanks to at least 8 characters.
std::string FormatElapsed(std::int32_t seconds);
// Fixed-point with two decimals, "." as the decimal point and no grouping (status lines).
std::string FixedTwo(double value);

}  // namespace tessaro
