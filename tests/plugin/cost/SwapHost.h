// Small boards for the cost and optimiser tests, written pin by pin, opened in the stand-in
// host with the plug-in's code talking to it and a scripted person at the screen.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "hostapp/HostApplication.h"
#include "hostapp/board/Board.h"
#include "hostapp/design/DesignData.h"
#include "model/Optimizer_Data.h"
#include "platform/Person.h"

namespace tessaro::optim_test {

// Coordinates in mils, layers by the host's numbers.
class DesignBuilder {
  public:
    DesignBuilder();
    // A pad of a swappable component with its pin swap id ("" for none) and net ("" none).
    DesignBuilder& SwapPin(const std::string& designator, const std::string& pad, int xMil,
                           int yMil, const std::string& net, const std::string& swapId = "1",
                           int layer = 1);
    // A pad of a component that does not swap.
    DesignBuilder& FixedPin(const std::string& designator, const std::string& pad, int xMil,
                            int yMil, const std::string& net, int layer = 1);
    DesignBuilder& Track(int x1Mil, int y1Mil, int x2Mil, int y2Mil, const std::string& net,
                         int layer = 1);
    DesignBuilder& Imperial();
    hostapp::design::DesignData Build() const;

  private:
    hostapp::design::SchComponentData& Sch(const std::string& designator);
    hostapp::design::BoardComponentData& Pcb(const std::string& designator, bool swaps);
    void AddNet(const std::string& net);
    hostapp::design::DesignData design_;
};

// n pins of U1 in one pin swap group along y = 0, each wired to a pad of J1 along y = 1000
// in the order of `order` (pin i's net lands at J1 position order[i]).
hostapp::design::DesignData FanDesign(const std::vector<int>& order, int pitchMil = 100);
// A fan of n pins with the J1 pads shuffled by a seed.
hostapp::design::DesignData ShuffledFan(int pins, unsigned seed, int groups = 1);

class SwapHost {
  public:
    explicit SwapHost(hostapp::design::DesignData design);
    ~SwapHost();
    SwapHost(const SwapHost&) = delete;
    SwapHost& operator=(const SwapHost&) = delete;

    hostapp::HostApplication& App() { return *app_; }
    hostapp::Board& Board() { return *app_->GetBoard(); }
    std::string BoardPath() const { return app_->BoardPath(); }

    // A pin-swap data set for the board, analysed (with the cost initialised unless
    // buildOnly); fails the test when the analysis gives false.
    std::unique_ptr<TSwapDataSet> Analysed(bool buildOnly = false);
    // The net a pad carries on the board ("" for none).
    std::string PadNet(const std::string& ref);

    platform::ScriptedPerson person;

  private:
    std::unique_ptr<hostapp::HostApplication> app_;
};

// The sub-net of a pad ("U1-3") in a data set.
TSwapSubNet* SubNetOf(TSwapDataSet& data, SwapHost& host, const std::string& ref);

// Brings every crossing list and both totals in line with the present net hot spots (what
// a consistent start looks like after PrepareGroup replaced them).
void Recount(TSwapDataSet& data);
// The length sum over the swappable sub-nets, fresh.
double FreshLength(const TSwapDataSet& data);

// Runs `run` in two child processes forked from the same state and returns what each
// returned. The model keys nets by object address, so its orders are only repeatable from
// the same heap, as in two fresh runs of the command; a second run inside one process would
// start from a different heap.
std::pair<std::string, std::string> TwinRuns(const std::function<std::string()>& run);

}  // namespace tessaro::optim_test
