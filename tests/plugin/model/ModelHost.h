// Small designs written in a few lines (lengths in millimetres), opened in the stand-in host
// with the plug-in's code talking to it and a scripted person at the screen: what the model,
// configuration and link tests build their data sets on.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "hostapp/HostApplication.h"
#include "hostapp/board/Board.h"
#include "hostapp/design/DesignData.h"
#include "model/Optimizer_Data.h"
#include "platform/Person.h"

namespace tessaro::model_test {

namespace design = hostapp::design;

struct PinSpec {
    std::string designator = {};
    std::string net = {};  // the compiled design's net ("" none)
    std::string pinSwap = {};
    std::string partSwap = {};
    std::string sequence = {};
    std::string pairSwap = {};
};

struct PadSpec {
    std::string name = {};
    double x = 0;
    double y = 0;
    std::string net = {};  // "" none
    int layer = 1;         // 74: through-hole
};

std::int32_t Mm(double millimetres);

// One placed sub-part of a schematic component.
design::SchComponentData Sch(const std::string& designator, const std::string& uniqueId,
                             const std::vector<PinSpec>& pins, int part = 1, int partCount = 1);
// A board component with 1 mm square pads (1.6 mm round ones for through-hole pads).
design::BoardComponentData Footprint(const std::string& designator, const std::string& uniqueId,
                                     const std::vector<PadSpec>& pads, bool pinSwap = true,
                                     bool partSwap = false, int kind = 0);
design::TrackData Track(double x1, double y1, double x2, double y2, const std::string& net,
                        int layer = 1);
design::ViaData Via(double x, double y, int from, int to, const std::string& net);
design::ArcData Arc(double cx, double cy, double radius, double start, double end,
                    const std::string& net, int layer = 1);

// A project "model.prj" with one sheet "model.sch" and a board "model.pcb".
design::DesignData NewDesign(bool allPins = true, bool whereSchematicAllows = true);
// Lists every net named on the board in board.nets (after the design is written).
void ListNets(design::DesignData& design);

class ModelHost {
  public:
    explicit ModelHost(design::DesignData design);
    ~ModelHost();
    ModelHost(const ModelHost&) = delete;
    ModelHost& operator=(const ModelHost&) = delete;

    hostapp::HostApplication& App() { return *app_; }
    hostapp::Board& Board();
    std::string BoardPath() const { return app_->BoardPath(); }
    host::IPCB_Pad* Pad(const std::string& ref);

    // A data set for the board, built by Analyze without cost (the question about refused
    // or unmatched pins must be scripted by the test).
    std::unique_ptr<TSwapDataSet> Build(TSwapMode mode, bool* analyzed = nullptr);
    std::unique_ptr<TSwapDataSet> NewDataSet(TSwapMode mode);

    platform::ScriptedPerson person;

  private:
    std::unique_ptr<hostapp::HostApplication> app_;
};

// The sub-net that holds the pad, or nullptr.
TSwapSubNet* SubNetOfPad(const TSwapDataSet& dataSet, host::IPCB_Pad* pad);
// The pin of the pad, or nullptr (any pin the build made, grouped or not).
TSwapPin* PinOfPad(const TSwapDataSet& dataSet, host::IPCB_Pad* pad);

// The invariants every build keeps, as gtest failures.
void ExpectBuildInvariants(const TSwapDataSet& dataSet);

}  // namespace tessaro::model_test
