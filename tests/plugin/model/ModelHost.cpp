#include "plugin/model/ModelHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <stdexcept>

#include "frame/HostAccess.h"
#include "hostapp/design/DesignFile.h"
#include "model/Analyze.h"
#include "platform/Platform.h"

namespace tessaro::model_test {

std::int32_t Mm(double millimetres) {
    return design::ToInternal(millimetres, design::Unit::Millimetre);
}

design::SchComponentData Sch(const std::string& designator, const std::string& uniqueId,
                             const std::vector<PinSpec>& pins, int part, int partCount) {
    design::SchComponentData component;
    component.designator = designator;
    component.uniqueId = uniqueId;
    component.part = part;
    component.partCount = partCount;
    for (const PinSpec& spec : pins) {
        design::SchPinData pin;
        pin.designator = spec.designator;
        pin.name = "P" + spec.designator;
        pin.net = spec.net;
        pin.pinSwap = spec.pinSwap;
        pin.partSwap = spec.partSwap;
        pin.sequence = spec.sequence;
        pin.pairSwap = spec.pairSwap;
        component.pins.push_back(pin);
    }
    return component;
}

design::BoardComponentData Footprint(const std::string& designator, const std::string& uniqueId,
                                     const std::vector<PadSpec>& pads, bool pinSwap, bool partSwap,
                                     int kind) {
    design::BoardComponentData component;
    component.designator = designator;
    component.uniqueId = uniqueId;
    component.kind = kind;
    component.pinSwap = pinSwap;
    component.partSwap = partSwap;
    for (const PadSpec& spec : pads) {
        design::PadData pad;
        pad.name = spec.name;
        pad.at = {Mm(spec.x), Mm(spec.y)};
        pad.layer = spec.layer;
        const bool throughHole = spec.layer == 74;
        pad.shape = throughHole ? design::PadShape::Round : design::PadShape::Rectangular;
        pad.sizeX = Mm(throughHole ? 1.6 : 1.0);
        pad.sizeY = pad.sizeX;
        pad.net = spec.net;
        component.pads.push_back(pad);
    }
    return component;
}

design::TrackData Track(double x1, double y1, double x2, double y2, const std::string& net,
                        int layer) {
    design::TrackData track;
    track.start = {Mm(x1), Mm(y1)};
    track.end = {Mm(x2), Mm(y2)};
    track.width = Mm(0.25);
    track.layer = layer;
    track.net = net;
    return track;
}

design::ViaData Via(double x, double y, int from, int to, const std::string& net) {
    design::ViaData via;
    via.at = {Mm(x), Mm(y)};
    via.diameter = Mm(0.6);
    via.from = from;
    via.to = to;
    via.net = net;
    return via;
}

design::ArcData Arc(double cx, double cy, double radius, double start, double end,
                    const std::string& net, int layer) {
    design::ArcData arc;
    arc.center = {Mm(cx), Mm(cy)};
    arc.radius = Mm(radius);
    arc.startAngle = start;
    arc.endAngle = end;
    arc.width = Mm(0.25);
    arc.layer = layer;
    arc.net = net;
    return arc;
}

design::DesignData NewDesign(bool allPins, bool whereSchematicAllows) {
    design::DesignData data;
    design::ProjectData project;
    project.file = "model.prj";
    project.swapping.allPins = allPins;
    project.swapping.whereSchematicAllows = whereSchematicAllows;
    data.project = project;
    data.schematics.push_back(design::SheetData{"model.sch", {}});
    design::BoardData board;
    board.file = "model.pcb";
    data.board = board;
    return data;
}

void ListNets(design::DesignData& data) {
    auto& board = *data.board;
    auto note = [&](const std::string& net) {
        if (!net.empty() &&
            std::find(board.nets.begin(), board.nets.end(), net) == board.nets.end())
            board.nets.push_back(net);
    };
    for (const auto& component : board.components)
        for (const auto& pad : component.pads) note(pad.net);
    for (const auto& pad : board.pads) note(pad.net);
    for (const auto& track : board.tracks) note(track.net);
    for (const auto& arc : board.arcs) note(arc.net);
    for (const auto& via : board.vias) note(via.net);
    for (const auto& pair : board.differentialPairs) {
        note(pair.positive);
        note(pair.negative);
    }
}

ModelHost::ModelHost(design::DesignData data) {
    platform::ResetPlatform();
    ListNets(data);
    app_ =
        std::make_unique<hostapp::HostApplication>(std::move(data), ::testing::TempDir() + "model");
    SetClient(app_->Client());
    platform::SetCurrentPerson(&person);
    AbortRequested = false;
}

ModelHost::~ModelHost() {
    platform::SetCurrentPerson(nullptr);
    SetClient(nullptr);
    app_.reset();
    platform::ResetPlatform();
}

hostapp::Board& ModelHost::Board() {
    hostapp::Board* board = app_->GetBoard();
    if (!board) throw std::logic_error("the design has no board");
    return *board;
}

host::IPCB_Pad* ModelHost::Pad(const std::string& ref) {
    host::IPCB_Pad* pad = Board().FindPadByRef(ref);
    if (!pad) throw std::logic_error("no pad " + ref);
    return pad;
}

std::unique_ptr<TSwapDataSet> ModelHost::NewDataSet(TSwapMode mode) {
    return std::make_unique<TSwapDataSet>(BoardPath(), mode);
}

std::unique_ptr<TSwapDataSet> ModelHost::Build(TSwapMode mode, bool* analyzed) {
    auto dataSet = NewDataSet(mode);
    const bool result = Analyze(*dataSet, "", true);
    if (analyzed) *analyzed = result;
    return dataSet;
}

TSwapSubNet* SubNetOfPad(const TSwapDataSet& dataSet, host::IPCB_Pad* pad) {
    for (TSwapSubNet* subNet : dataSet.SubNets)
        if (std::find(subNet->Prims.begin(), subNet->Prims.end(), pad) != subNet->Prims.end())
            return subNet;
    return nullptr;
}

TSwapPin* PinOfPad(const TSwapDataSet& dataSet, host::IPCB_Pad* pad) {
    for (TSwapComponent* component : dataSet.Components)
        for (TSwapPin* pin : component->Pins)
            if (pin->Pad == pad) return pin;
    return nullptr;
}

void ExpectBuildInvariants(const TSwapDataSet& dataSet) {
    for (TSwapSubNet* subNet : dataSet.SwapSubNets) {
        ASSERT_NE(subNet->Pin, nullptr);
        EXPECT_EQ(subNet->Pin->SubNet, subNet);
        for (TSwapGroup* group : {subNet->Pin->PinGroup, subNet->Pin->PartGroup}) {
            if (group == nullptr) continue;
            EXPECT_NE(std::find(group->SubNets.begin(), group->SubNets.end(), subNet),
                      group->SubNets.end())
                << subNet->Describe();
        }
    }
    for (TSwapSubNet* subNet : dataSet.FixedSubNets) EXPECT_EQ(subNet->Pin, nullptr);
    EXPECT_EQ(dataSet.SwapSubNets.size() + dataSet.FixedSubNets.size(), dataSet.SubNets.size());

    for (TSwapGroup* group : dataSet.PinSwapGroups) {
        const std::size_t n = group->SubNets.size();
        EXPECT_EQ(group->Nets.size(), n) << group->Describe();
        std::set<std::int32_t> slots;
        for (TSwapSubNet* subNet : group->SubNets) slots.insert(subNet->NetIndex);
        EXPECT_EQ(slots.size(), n);
        if (!slots.empty()) {
            EXPECT_EQ(*slots.begin(), 0);
            EXPECT_EQ(*slots.rbegin(), static_cast<std::int32_t>(n) - 1);
        }
    }
    for (TSwapSubNet* subNet : dataSet.SubNets)
        for (THotSpot* spot : subNet->HotSpots.InOrder()) EXPECT_EQ(spot->SubNet, subNet);
}

}  // namespace tessaro::model_test
