// Hot spots of nets, the cost at the start of a run, neighbours, the displayed connection
// lines and the measurement of a board.
#include <gtest/gtest.h>

#include <cmath>

#include "hostapp/HostApplication.h"
#include "model/Geometry.h"
#include "plugin/cost/SwapHost.h"

namespace tessaro::optim_test {
namespace {

constexpr std::int32_t Mil = 10000;

// U1-1 on the top layer at the origin reaches its net A either through a bottom-layer pad
// 4 mil away or through a top-layer pad `sameLayerMil` away.
struct PenaltyCase {
    int sameLayerMil;
    bool sameLayerWins;
};

class NearestHotSpot : public ::testing::TestWithParam<PenaltyCase> {};

TEST_P(NearestHotSpot, ChargesTheLayerChange) {
    const PenaltyCase c = GetParam();
    SwapHost host(DesignBuilder()
                      .SwapPin("U1", "1", 0, 0, "A")
                      .SwapPin("U1", "2", 0, 3000, "B")
                      .FixedPin("J1", "1", 4, 0, "A", 32)
                      .FixedPin("J1", "2", c.sameLayerMil, 0, "A", 1)
                      .FixedPin("J1", "3", 0, 3100, "B")
                      .Build());
    auto data = host.Analysed();
    TSwapSubNet* s = SubNetOf(*data, host, "U1-1");
    data->PrepareGroup(s->PinGroup());
    const THotSpot* end = s->CurrentNetHotSpot();
    ASSERT_NE(end, nullptr);
    if (c.sameLayerWins) {
        EXPECT_EQ(end->Layer, 1);
        EXPECT_EQ(end->X, c.sameLayerMil * Mil);
        EXPECT_EQ(data->ConnectionLength(s), c.sameLayerMil * Mil);
    } else {
        EXPECT_EQ(end->Layer, 32);
        EXPECT_EQ(end->X, 4 * Mil);
        EXPECT_EQ(data->ConnectionLength(s), 4 * Mil + LayerPenalty);
    }
}

INSTANTIATE_TEST_SUITE_P(Distances, NearestHotSpot,
                         ::testing::Values(PenaltyCase{29, true}, PenaltyCase{33, true},
                                           PenaltyCase{35, false}, PenaltyCase{200, false}));

TEST(CostStart, NetsAreReachedOnlyThroughCopperOfGroupedPins) {
    // Each net has one grouped pin; J1's copper is not counted until a group is prepared.
    SwapHost host(FanDesign({1, 0, 2}));
    auto data = host.Analysed();
    ASSERT_EQ(data->SwapSubNets.size(), 3u);
    for (TSwapSubNet* s : data->SwapSubNets) {
        EXPECT_EQ(s->CurrentNetHotSpot(), nullptr);
        EXPECT_TRUE(s->Crossings.empty());
    }
    EXPECT_EQ(data->XOvers, 0);
    EXPECT_EQ(data->ConnectionCost, 0);

    data->PrepareGroup(data->PinSwapGroups[0]);
    Recount(*data);
    // U1-1 and U1-2 run to each other's J1 position and cross; U1-3 runs straight.
    EXPECT_EQ(data->XOvers, 1);
    const double slanted = 100.0 * Mil + 1000.0 * Mil;
    EXPECT_EQ(data->ConnectionCost, 2 * slanted + 1000.0 * Mil);
    EXPECT_EQ(data->TotalCost(), 50000 + data->ConnectionCost);
}

TEST(CostStart, TotalsMatchAFreshCountWhenGroupsReachEachOther) {
    // Both ends of every net are grouped pins (U1 and U2 swap), so each line is drawn from
    // the start, and the shuffled order makes them cross.
    const int order[] = {5, 2, 7, 0, 3, 6, 1, 4};
    DesignBuilder b;
    for (int i = 0; i < 8; ++i) {
        const std::string net = "N" + std::to_string(i);
        b.SwapPin("U1", std::to_string(i + 1), i * 100, 0, net);
        b.SwapPin("U2", std::to_string(i + 1), order[i] * 100, 1000, net);
    }
    SwapHost host(b.Build());
    auto data = host.Analysed();
    EXPECT_GT(data->XOvers, 0);
    EXPECT_EQ(data->XOvers, data->CountCrossings());
    EXPECT_EQ(data->ConnectionCost, FreshLength(*data));
    EXPECT_GT(data->ConnectionCost, 0);
}

TEST(CostStart, NeighboursAreTheOtherSubNetsOfTheGroupNearestFirst) {
    SwapHost host(ShuffledFan(12, 4));
    auto data = host.Analysed();
    for (TSwapSubNet* s : data->SwapSubNets) {
        ASSERT_EQ(s->Neighbours.size(), 11u);
        EXPECT_EQ(std::count(s->Neighbours.begin(), s->Neighbours.end(), s), 0);
        for (std::size_t i = 1; i < s->Neighbours.size(); ++i)
            EXPECT_LE(Euclid(s->BestHotSpot, s->Neighbours[i - 1]->BestHotSpot),
                      Euclid(s->BestHotSpot, s->Neighbours[i]->BestHotSpot));
    }
}

// The connection objects of a board that carry the given net ("" for any).
std::vector<host::IPCB_Connection*> Connections(hostapp::Board& board, const std::string& net) {
    std::vector<host::IPCB_Connection*> out;
    auto it = board.BoardIterator_Create();
    it->AddFilter_ObjectSet(host::MkSet(host::eConnectionObject));
    it->AddFilter_LayerSet(host::LayerSet::AllLayers());
    for (auto* p = it->FirstPCBObject(); p; p = it->NextPCBObject()) {
        auto* c = dynamic_cast<host::IPCB_Connection*>(p);
        if (!c) continue;
        host::IPCB_Net* n = c->Net();
        if (net.empty() || (n && platform::Narrow(n->Name()) == net)) out.push_back(c);
    }
    return out;
}

TEST(DisplayLines, ShowEverySwappableConnectionOnTheAuxiliaryNet) {
    SwapHost host(FanDesign({1, 0}));
    auto data = host.Analysed();
    // Cost initialisation draws one line per swappable sub-net; without a net point yet,
    // each is the placeholder.
    auto shown = Connections(host.Board(), "PinSwapNet");
    ASSERT_EQ(shown.size(), 2u);
    for (host::IPCB_Connection* c : shown) {
        EXPECT_EQ(c->GetLayer(), host::eConnectLayer);
        EXPECT_EQ(c->X1(), 0);
        EXPECT_EQ(c->Y2(), 100);
    }
    ASSERT_NE(data->PinSwapNet, nullptr);

    data->PrepareGroup(data->PinSwapGroups[0]);
    Recount(*data);
    TSwapSubNet* a = data->SwapSubNets[0];
    TSwapSubNet* b = data->SwapSubNets[1];
    data->TryExchange(a, b);
    data->CommitExchange(a, b);
    host::IPCB_Connection* line = a->Line->Connection;
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->X1(), a->BestHotSpot->X);
    EXPECT_EQ(line->Y2(), a->CurrentNetHotSpot()->Y);
    EXPECT_EQ(line->Layer2(), a->CurrentNetHotSpot()->Layer);

    const auto& activity = host.Board().Activity();
    EXPECT_EQ(activity.notices[host::eNoticeBeginModify], activity.notices[host::eNoticeEndModify]);
    EXPECT_EQ(activity.modifyBegins, activity.modifyEnds);

    data->RemoveConnectionLines();
    EXPECT_TRUE(Connections(host.Board(), "PinSwapNet").empty());
    EXPECT_EQ(a->Line->Connection, nullptr);
}

TEST(DisplayLines, AFailingChangeStillClosesTheBrackets) {
    SwapHost host(FanDesign({1, 0}));
    auto data = host.Analysed();
    TSwapSubNet* s = data->SwapSubNets[0];
    host.App().Faults().FailOn("IPCB_Connection.SetY2");
    EXPECT_THROW(data->SetEnds(s->Line, s->BestHotSpot, s->BestHotSpot), host::HostError);
    const auto& activity = host.Board().Activity();
    EXPECT_EQ(activity.notices[host::eNoticeBeginModify], activity.notices[host::eNoticeEndModify]);
    EXPECT_EQ(activity.modifyBegins, activity.modifyEnds);
}

TEST(MeasureBoard, ABoardWithoutConnectionsMeasuresNothing) {
    // Every net is a single pad: no connection objects at all.
    SwapHost host(
        DesignBuilder().SwapPin("U1", "1", 0, 0, "A").SwapPin("U1", "2", 100, 0, "B").Build());
    TSwapDataSet data(host.BoardPath(), smPinSwap);
    double length = -1;
    std::int32_t count = -1;
    data.MeasureBoard(length, count);
    EXPECT_EQ(length, 0);
    EXPECT_EQ(count, 0);
}

TEST(MeasureBoard, CountsTheBoardsConnectionLinesAndTheirCrossings) {
    SwapHost host(FanDesign({1, 0, 2}));
    TSwapDataSet data(host.BoardPath(), smPinSwap);
    double length = 0;
    std::int32_t count = 0;
    data.MeasureBoard(length, count);
    const double slanted = std::sqrt(100.0 * 100.0 + 1000.0 * 1000.0) * Mil;
    EXPECT_NEAR(length, 2 * slanted + 1000.0 * Mil, 1e-3);
    EXPECT_EQ(count, 1);
}

}  // namespace
}  // namespace tessaro::optim_test
