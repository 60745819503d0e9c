// Hot spots a sub-net gets from its copper, and the sub-net's own end point (the hot spot
// farthest from its pad).
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <tuple>

#include "plugin/model/ModelHost.h"

namespace tessaro::model_test {
namespace {

using Spot = std::tuple<std::int32_t, std::int32_t, int>;  // x, y, layer

struct HotSpotCase {
    const char* name;
    int padLayer;
    std::function<void(design::BoardData&)> copper;  // added on net A around pad U1-1 at (0,0)
    std::vector<Spot> spots;                         // expected, any order
    double bestX;                                    // x (mm) of the farthest hot spot
    std::size_t prims;
    bool jumper = false;
};

Spot At(double x, double y, int layer) {
    return {Mm(x), Mm(y), layer};
}

TEST(SubNetHotSpots, FollowTheKindOfEachPrimitive) {
    const HotSpotCase cases[] = {
        {"pad alone", 1, [](design::BoardData&) {}, {At(0, 0, 1)}, 0, 1},
        {"through-hole pad", 74, [](design::BoardData&) {}, {At(0, 0, 74)}, 0, 1},
        {"track to a through via: one hot spot on the multi-layer",
         1,
         [](design::BoardData& b) {
             b.tracks.push_back(Track(0, 0, 3, 0, "A"));
             b.vias.push_back(Via(3, 0, 1, 32, "A"));
         },
         {At(0, 0, 1), At(3, 0, 1), At(3, 0, 74)},
         3,
         3},
        {"blind via 1 to 3: one per layer, the duplicate refused",
         1,
         [](design::BoardData& b) {
             b.tracks.push_back(Track(0, 0, 3, 0, "A"));
             b.vias.push_back(Via(3, 0, 1, 3, "A"));
         },
         {At(0, 0, 1), At(3, 0, 1), At(3, 0, 2), At(3, 0, 3)},
         3,
         3},
        {"two tracks sharing an end",
         1,
         [](design::BoardData& b) {
             b.tracks.push_back(Track(0, 0, 2, 0, "A"));
             b.tracks.push_back(Track(2, 0, 4, 0, "A"));
         },
         {At(0, 0, 1), At(2, 0, 1), At(4, 0, 1)},
         4,
         3},
        {"arc: copper without hot spots",
         1,
         [](design::BoardData& b) { b.arcs.push_back(Arc(0, 2, 2, 270, 360, "A")); },
         {At(0, 0, 1)},
         0,
         2},
        {"jumper pad: reached through its jumper only",
         1,
         [](design::BoardData& b) { b.tracks.push_back(Track(0, 0, 2, 0, "A")); },
         {At(0, 0, 1), At(2, 0, 1)},
         2,
         2,
         true},
    };
    for (const HotSpotCase& c : cases) {
        SCOPED_TRACE(c.name);
        auto data = NewDesign();
        data.schematics[0].components.push_back(
            Sch("U1", "U1ID", {{"1", "A", "1"}, {"2", "B", "1"}}));
        data.board->components.push_back(
            Footprint("U1", "U1ID", {{"1", 0, 0, "A", c.padLayer}, {"2", 10, 0, "B"}}));
        c.copper(*data.board);
        ModelHost host(std::move(data));
        if (c.jumper) host.Board().PadObject("U1-1")->SetJumperId("J1");

        auto dataSet = host.Build(smPinSwap);
        TSwapPin* pin = PinOfPad(*dataSet, host.Pad("U1-1"));
        ASSERT_NE(pin, nullptr);
        TSwapSubNet* subNet = pin->SubNet;
        ASSERT_NE(subNet, nullptr);
        EXPECT_EQ(subNet->Prims.size(), c.prims);

        std::vector<Spot> spots;
        for (THotSpot* spot : subNet->HotSpots.InOrder())
            spots.emplace_back(spot->X, spot->Y, spot->Layer);
        std::vector<Spot> expected = c.spots;
        std::sort(spots.begin(), spots.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(spots, expected);

        ASSERT_NE(subNet->BestHotSpot, nullptr);
        EXPECT_EQ(subNet->BestHotSpot->X, Mm(c.bestX));
        EXPECT_EQ(subNet->BestHotSpot->Y, 0);
        ExpectBuildInvariants(*dataSet);
    }
}

TEST(SubNetHotSpots, FarthestTieGoesToTheFirstInListOrder) {
    // Both ends of the track are 3 mm from the pad; so is the through via on the multi-layer.
    auto data = NewDesign();
    data.schematics[0].components.push_back(Sch("U1", "U1ID", {{"1", "A", "1"}, {"2", "B", "1"}}));
    data.board->components.push_back(
        Footprint("U1", "U1ID", {{"1", 0, 0, "A"}, {"2", 10, 0, "B"}}));
    data.board->tracks.push_back(Track(0, 0, 0, 3, "A"));
    data.board->tracks.push_back(Track(0, 3, 3, 0, "A"));
    data.board->vias.push_back(Via(3, 0, 1, 32, "A"));
    ModelHost host(std::move(data));
    auto dataSet = host.Build(smPinSwap);
    TSwapSubNet* subNet = PinOfPad(*dataSet, host.Pad("U1-1"))->SubNet;

    THotSpot* first = nullptr;
    for (THotSpot* spot : subNet->HotSpots.InOrder()) {
        const bool farthest =
            (spot->X == Mm(3) && spot->Y == 0) || (spot->X == 0 && spot->Y == Mm(3));
        if (farthest) {
            first = spot;
            break;
        }
    }
    EXPECT_EQ(subNet->BestHotSpot, first);
}

TEST(SubNetHotSpots, PadWithoutHotSpotFallsBackToItsCentre) {
    auto data = NewDesign();
    data.schematics[0].components.push_back(Sch("U1", "U1ID", {{"1", "A", "1"}, {"2", "B", "1"}}));
    data.board->components.push_back(
        Footprint("U1", "U1ID", {{"1", 0, 0, "A"}, {"2", 10, 0, "B"}}));
    ModelHost host(std::move(data));
    host.Board().PadObject("U1-2")->SetJumperId("J7");
    auto dataSet = host.Build(smPinSwap);
    TSwapPin* pin = PinOfPad(*dataSet, host.Pad("U1-2"));
    ASSERT_NE(pin->SubNet, nullptr);
    EXPECT_EQ(pin->SubNet->HotSpots.Count(), 0);
    EXPECT_EQ(pin->SubNet->BestHotSpot, pin->PadLocation);
}

}  // namespace
}  // namespace tessaro::model_test
