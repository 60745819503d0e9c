// The run protocol shared by every optimiser, its bookkeeping and the status line.
#include "optimizers/Optimizer_Abstract.h"

#include <cstdio>

#include "frame/Messages.h"

namespace tessaro {

namespace {

constexpr std::int32_t SecondsPerDay = 86400;

std::int32_t SecondsOfDay(const platform::TimeOfDay& t) {
    return t.hour * 3600 + t.minute * 60 + t.second;
}

std::string TwoDigits(std::int32_t value) {
    std::string text = std::to_string(value);
    if (value < 10) text.insert(text.begin(), '0');
    return text;
}

}  // namespace

std::string FixedTwo(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.2f", value);
    return text;
}

std::int32_t SecondsBetween(const platform::TimeOfDay& earlier, const platform::TimeOfDay& later) {
    std::int32_t to = SecondsOfDay(later);
    const std::int32_t from = SecondsOfDay(earlier);
    if (to < from) to += SecondsPerDay;  // the clock passed midnight
    return to - from;
}

std::string FormatElapsed(std::int32_t seconds) {
    std::string text = TwoDigits(seconds / 3600);
    text += ':';
    text += TwoDigits(seconds % 3600 / 60);
    text += ':';
    text += TwoDigits(seconds % 60);
    if (text.size() < 8) text.resize(8, ' ');
    return text;
}

TSwapOptimizer_Abstract::TSwapOptimizer_Abstract(TSwapDataSet* owner) : TSwapDataObject(owner) {
    StartTime = platform::LocalTime();
    StampTime = StartTime;
    ElapsedTime = StartTime;
}

bool TSwapOptimizer_Abstract::Run() {
    host::IPCB_Board* board = Board();
    if (board) board->ClearHighlightMask(1);
    Start();
    Execute();
    Finish();
    if (board) board->ClearHighlightMask(1);
    return true;
}

void TSwapOptimizer_Abstract::Start() {
    StartCost = Data().TotalCost();
    Iterations = 0;
    StartTime = platform::LocalTime();
}

void TSwapOptimizer_Abstract::Finish() {
    Data().Log("Local Optimization Complete");
    EndCost = Data().TotalCost();
    StampElapsed();
}

void TSwapOptimizer_Abstract::StampElapsed() {
    StampTime = platform::LocalTime();
    const std::int32_t seconds = SecondsBetween(StartTime, StampTime);
    ElapsedTime = platform::TimeOfDay{static_cast<std::uint16_t>(seconds / 3600),
                                      static_cast<std::uint16_t>(seconds % 3600 / 60),
                                      static_cast<std::uint16_t>(seconds % 60), 0};
    ElapsedText = FormatElapsed(seconds);
    ElapsedSeconds = seconds == 0 ? 1 : seconds;
}

void TSwapOptimizer_Abstract::ShowStatus() {
    const TSwapDataSet& d = Data();
    ShowStatusText(3, " X-Overs:" + std::to_string(d.XOvers) +
                          " ConnectionCost:" + FixedTwo(d.ConnectionCost / 1000000) +
                          " TotalCost:" + FixedTwo(d.TotalCost() / 1000000) +
                          " Iterations:" + std::to_string(Iterations));
}

}  // namespace tessaro
