// Navigating the model: lookups by pad and primitive, nets by host net, the pick of a
// sub-net on the board, and what freeing a data set leaves on the board.
#include <gtest/gtest.h>

#include "frame/HostAccess.h"
#include "plugin/model/ModelHost.h"

namespace tessaro::model_test {
namespace {

// Pad 3 has no net but touches a track of net A that leaves pad 1: the track belongs to net
// A's piece and to the copper found from pad 3.
design::DesignData TouchingDesign() {
    auto data = NewDesign();
    data.schematics[0].components.push_back(
        Sch("U1", "U1ID", {{"1", "A", "1"}, {"2", "B", "1"}, {"3", "", "1"}, {"A7", "Z"}}));
    data.board->components.push_back(Footprint(
        "U1", "U1ID", {{"1", 0, 0, "A"}, {"2", 10, 0, "B"}, {"3", 3, 0, ""}, {"A7", 20, 0, "Z"}}));
    data.board->tracks.push_back(Track(0, 0, 2.6, 0, "A"));
    data.board->tracks.push_back(Track(30, 0, 35, 0, "Z"));
    return data;
}

host::IPCB_Primitive* TrackAt(ModelHost& host, double x1) {
    for (hostapp::Primitive* prim : host.Board().Objects())
        if (auto* track = dynamic_cast<host::IPCB_Track*>(prim->Interface()))
            if (track->X1() == Mm(x1)) return track;
    return nullptr;
}

TEST(Lookups, FirstMatchAndPinsKeepTheirOwnCopper) {
    ModelHost host(TouchingDesign());
    auto dataSet = host.Build(smPinSwap);
    ExpectBuildInvariants(*dataSet);

    TSwapPin* pin1 = dataSet->FindPinByPad(host.Pad("U1-1"));
    TSwapPin* pin3 = dataSet->FindPinByPad(host.Pad("U1-3"));
    ASSERT_NE(pin1, nullptr);
    ASSERT_NE(pin3, nullptr);
    EXPECT_EQ(dataSet->FindPinByPad(host.Pad("U1-A7")), nullptr);  // no swap id
    EXPECT_EQ(pin1->PinName(), "U1-1");

    // The shared track is found in net A's piece, made before the copper of pad 3.
    TSwapSubNet* pieceA = dataSet->FindSubNetByPrim(TrackAt(host, 0));
    ASSERT_NE(pieceA, nullptr);
    EXPECT_EQ(pieceA->Index, 1);
    EXPECT_EQ(pieceA->Pin, pin1);
    EXPECT_EQ(pin1->SubNet, pieceA);

    TSwapSubNet* fromPad3 = dataSet->FindSubNetByPrim(host.Pad("U1-3"));
    ASSERT_NE(fromPad3, nullptr);
    EXPECT_EQ(fromPad3->Index, 9999);
    EXPECT_EQ(fromPad3->Prims.size(), 3u);  // pad 3, the track, pad 1
    EXPECT_EQ(fromPad3->Pin, nullptr);      // two pins
    EXPECT_EQ(pin3->SubNet, fromPad3);

    EXPECT_EQ(dataSet->FindSubNetByPrim(TrackAt(host, 30)), nullptr);  // net Z takes no part
    EXPECT_EQ(dataSet->FindSubNetByPrim(nullptr), nullptr);
}

TEST(Lookups, NetsByHostNet) {
    ModelHost host(TouchingDesign());
    auto dataSet = host.NewDataSet(smPinSwap);
    EXPECT_EQ(TSwapDataSet::NetKey(reinterpret_cast<void*>(0x1234abcdULL)), "000000001234ABCD");
    EXPECT_EQ(TSwapDataSet::NetKey(nullptr), "0000000000000000");

    host::IPCB_Net* netA = host.Board().NetByName("A");
    TSwapNet* a = dataSet->NetFor(nullptr, netA);
    EXPECT_EQ(dataSet->NetFor(nullptr, netA), a);
    EXPECT_EQ(a->IPCBNet, netA);
    EXPECT_EQ(a->Name(), "A");
    EXPECT_EQ(dataSet->NullNet, nullptr);
    TSwapNet* none = dataSet->NetFor(nullptr, nullptr);
    EXPECT_EQ(dataSet->NullNet, none);
    EXPECT_EQ(none->Name(), "NULL");
    EXPECT_FALSE(none->ConnectionsShown);
    EXPECT_EQ(dataSet->Nets.Count(), 2);
}

TEST(Lookups, PickSubNetAsksUntilCopperOfTheModelOrCancel) {
    ModelHost host(TouchingDesign());
    auto dataSet = host.Build(smPinSwap);
    const platform::BoardPoint empty{Mm(50), Mm(50)};
    const platform::BoardPoint otherNet{Mm(32), 0};
    const platform::BoardPoint pad2{host.Pad("U1-2")->X(), host.Pad("U1-2")->Y()};
    host.person.ExpectPick("Choose a pin", empty)
        .ExpectPick("Choose a pin", otherNet)
        .ExpectPick("Choose a pin", pad2)
        .ExpectPick("Choose another pin", std::nullopt);

    TSwapSubNet* picked = nullptr;
    EXPECT_TRUE(dataSet->PickSubNet("Choose a pin", picked));
    EXPECT_EQ(picked, dataSet->FindSubNetByPrim(host.Pad("U1-2")));
    TSwapSubNet* none = nullptr;
    EXPECT_FALSE(dataSet->PickSubNet("Choose another pin", none));
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(host.person.Remaining(), 0u);
}

TEST(Lookups, FreeingRemovesTheAuxiliaryNet) {
    ModelHost host(TouchingDesign());
    auto dataSet = host.Build(smPinSwap);
    host::IPCB_Net* net = PCBServer()->CreateNet();
    net->SetName(u"PinSwapNet");
    host.Board().AddNet(net);
    dataSet->PinSwapNet = net;
    ASSERT_NE(host.Board().FindNet(u"PinSwapNet"), nullptr);
    EXPECT_GT(dataSet->ObjectCount(), dataSet->SubNets.size());
    dataSet.reset();
    EXPECT_EQ(host.Board().FindNet(u"PinSwapNet"), nullptr);
}

TEST(Lookups, DataSetOfADocumentThatIsNoBoard) {
    ModelHost host(TouchingDesign());
    TSwapDataSet dataSet(host.App().DocumentPath("model.sch"), smPinSwap);
    EXPECT_EQ(dataSet.BoardRef, nullptr);
    EXPECT_FALSE(dataSet.LibraryMode);
    EXPECT_EQ(dataSet.ComponentMappings, nullptr);
    EXPECT_NE(dataSet.Project, nullptr);
    TSwapSubNet* none = nullptr;
    EXPECT_FALSE(dataSet.PickSubNet("Choose", none));  // no board: nothing to pick on
}

}  // namespace
}  // namespace tessaro::model_test
