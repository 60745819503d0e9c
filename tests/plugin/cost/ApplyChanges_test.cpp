// Writing the assignment to the board: moved copper, nets given away to pins without net,
// failures reported per sub-net without leaving copper on no net.
#include <gtest/gtest.h>

#include "plugin/cost/SwapHost.h"

namespace tessaro::optim_test {
namespace {

bool ShownError(const platform::ScriptedPerson& person, const std::string& text) {
    for (const auto& i : person.History())
        if (i.dialog.kind == platform::DialogKind::Error && i.dialog.text == text &&
            i.dialog.caption == "Error")
            return true;
    return false;
}

// U1-1 and U1-2 exchange nets; each carries a stub of routing that must move with it.
hostapp::design::DesignData Exchanged() {
    return DesignBuilder()
        .SwapPin("U1", "1", 0, 0, "A")
        .Track(0, 0, 0, -100, "A")
        .SwapPin("U1", "2", 200, 0, "B")
        .Track(200, 0, 200, -100, "B")
        .FixedPin("J1", "1", 200, 1000, "A")
        .FixedPin("J1", "2", 0, 1000, "B")
        .Build();
}

std::unique_ptr<TSwapDataSet> ExchangedModel(SwapHost& host) {
    auto data = host.Analysed();
    TSwapSubNet* a = SubNetOf(*data, host, "U1-1");
    TSwapSubNet* b = SubNetOf(*data, host, "U1-2");
    data->PrepareGroup(a->PinGroup());
    data->TryExchange(a, b);
    data->CommitExchange(a, b);
    data->RemoveConnectionLines();
    return data;
}

// The nets of the track objects of the board, in board order.
std::vector<std::string> TrackNets(hostapp::Board& board) {
    std::vector<std::string> nets;
    auto it = board.BoardIterator_Create();
    it->AddFilter_ObjectSet(host::MkSet(host::eTrackObject));
    it->AddFilter_LayerSet(host::LayerSet::AllLayers());
    for (auto* p = it->FirstPCBObject(); p; p = it->NextPCBObject())
        nets.push_back(p->Net() ? platform::Narrow(p->Net()->Name()) : "");
    return nets;
}

TEST(ApplyChanges, MovesEveryChangedSubNetWithItsCopperOnce) {
    SwapHost host(Exchanged());
    auto data = ExchangedModel(host);
    data->ApplyChanges();
    EXPECT_EQ(host.PadNet("U1-1"), "B");
    EXPECT_EQ(host.PadNet("U1-2"), "A");
    EXPECT_EQ(TrackNets(host.Board()), (std::vector<std::string>{"B", "A"}));
    EXPECT_EQ(host.PadNet("J1-1"), "A");
    for (TSwapSubNet* s : data->SwapSubNets) EXPECT_EQ(s->BoardNet, s->CurrentNet());
    const auto& activity = host.Board().Activity();
    EXPECT_EQ(activity.modifyBegins, activity.modifyEnds);

    // A second application finds nothing left to move.
    const int begins = activity.modifyBegins;
    data->ApplyChanges();
    EXPECT_EQ(host.Board().Activity().modifyBegins, begins);
}

TEST(ApplyChanges, GivesANetToAPinWithoutNetAndTakesItFromTheOther) {
    SwapHost host(DesignBuilder()
                      .SwapPin("U1", "1", 0, 0, "A")
                      .SwapPin("U1", "2", 200, 0, "")
                      .FixedPin("J1", "1", 200, 1000, "A")
                      .Build());
    auto data = host.Analysed();
    TSwapSubNet* withNet = SubNetOf(*data, host, "U1-1");
    TSwapSubNet* without = SubNetOf(*data, host, "U1-2");
    EXPECT_EQ(without->Index, NoNetSubNetIndex);
    data->PrepareGroup(withNet->PinGroup());
    Recount(*data);
    data->TryExchange(withNet, without);
    data->CommitExchange(withNet, without);
    // The formerly unconnected pin now runs to J1-1; the other carries the empty slot.
    EXPECT_EQ(data->ConnectionLength(without), 1000.0 * 10000);
    EXPECT_EQ(data->ConnectionLength(withNet), 0);
    EXPECT_EQ(data->ConnectionCost, 1000.0 * 10000);
    data->RemoveConnectionLines();
    data->ApplyChanges();
    EXPECT_EQ(host.PadNet("U1-2"), "A");
    EXPECT_EQ(host.PadNet("U1-1"), "");
}

struct FaultCase {
    const char* operation;
    int onCall;
};

class ApplyFailure : public ::testing::TestWithParam<FaultCase> {};

TEST_P(ApplyFailure, PutsTheCopperBackAndGoesOn) {
    const FaultCase c = GetParam();
    SwapHost host(Exchanged());
    auto data = ExchangedModel(host);
    host.App().Faults().FailOn(c.operation, c.onCall);
    data->ApplyChanges();
    EXPECT_TRUE(ShownError(host.person, "Failed to update PCB Document"));

    // Exactly one sub-net failed to move: all of its copper is back on its old net. The
    // other one moved.
    int failed = 0;
    for (TSwapSubNet* s : data->SwapSubNets) {
        ASSERT_EQ(s->Prims.size(), 2u);
        const TSwapNet* expected = s->BoardNet;
        if (s->BoardNet != s->CurrentNet()) {
            ++failed;
            EXPECT_EQ(s->BoardNet, s->OriginalNet);
        }
        for (host::IPCB_Primitive* prim : s->Prims)
            EXPECT_EQ(prim->Net() ? platform::Narrow(prim->Net()->Name()) : "", expected->Name());
    }
    EXPECT_EQ(failed, 1);
    const auto& activity = host.Board().Activity();
    EXPECT_EQ(activity.modifyBegins, activity.modifyEnds);
}

INSTANTIATE_TEST_SUITE_P(Faults, ApplyFailure,
                         ::testing::Values(FaultCase{"IPCB_Net.AddPCBObject", 1},
                                           FaultCase{"IPCB_Net.RemovePCBObject", 1},
                                           FaultCase{"IPCB_Net.RemovePCBObject", 2}),
                         [](const ::testing::TestParamInfo<FaultCase>& info) {
                             std::string name = std::string(info.param.operation).substr(9) +
                                                "_call" + std::to_string(info.param.onCall);
                             return name;
                         });

}  // namespace
}  // namespace tessaro::optim_test
