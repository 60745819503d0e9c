// What a board answers besides geometry: its file, units and layer names, components and
// differential pairs, marks, highlighting, the PCB server, writing back and injected faults.
#include <gtest/gtest.h>

#include <functional>

#include "host/Workspace.h"
#include "hostapp/HostApplication.h"
#include "hostapp/board/BoardInspect.h"
#include "hostapp/board/BoardTestData.h"

namespace {

using namespace boardtest;

hostapp::design::BoardData Sample() {
    auto data = Board({"A", "B", "C", "CLK_P", "CLK_N"});
    data.displayUnit = hostapp::design::DisplayUnit::Imperial;
    data.components = {
        Component("U1", "\\SHEET1\\C0FFEE01", {Pad("1", 0, 0, "A"), Pad("2", 2, 0, "B")}),
        Component("U2", "C0FFEE02", {Pad("1", 0, 5, "C"), Pad("2", 2, 5, "CLK_P")})};
    data.components[1].kind = 3;
    data.components[1].partSwap = true;
    data.pads = {Pad("TP", 9, 9, "C")};
    data.tracks = {Track(0, 0, 0, 3, "A")};
    data.differentialPairs = {{"CLK", "CLK_P", "CLK_N"}};
    return data;
}

TEST(HostBoard, AnswersItsFileUnitsLayersAndPairs) {
    hostapp::Board board(Sample(), "/designs/Demo.pcb", nullptr);
    EXPECT_EQ(board.FileName(), u"/designs/Demo.pcb");
    EXPECT_EQ(board.GetDisplayUnit(), host::eImperial);
    EXPECT_EQ(board.LayerName(1), u"Top Layer");
    EXPECT_EQ(board.LayerName(3), u"Mid-Layer 2");
    EXPECT_EQ(board.LayerName(32), u"Bottom Layer");
    EXPECT_EQ(board.LayerName(74), u"Multi-Layer");

    ASSERT_EQ(board.DifferentialPairCount(), 1);
    host::IPCB_DifferentialPair* pair = board.DifferentialPair(0);
    EXPECT_EQ(pair->Name(), u"CLK");
    EXPECT_EQ(pair->PositiveNet(), board.NetByName("CLK_P"));
    EXPECT_EQ(pair->NegativeNet(), board.NetByName("CLK_N"));
    EXPECT_EQ(board.DifferentialPair(1), nullptr);

    void* out = nullptr;
    EXPECT_EQ(board.QueryInterface(host::IID_IUnknown, &out), host::S_OK);
    EXPECT_EQ(out, static_cast<host::IUnknown*>(&board));
    EXPECT_EQ(board.NetByName("A")->QueryInterface(host::IID_IUnknown, &out), host::S_OK);
    EXPECT_EQ(board.FindPadByRef("U1-1")->QueryInterface(host::IID_IUnknown, &out), host::S_OK);
    EXPECT_EQ(board.FindPadByRef("U1-1")->QueryInterface(host::IID_IPcbProject, &out),
              host::E_NOINTERFACE);
}

TEST(HostBoard, FindsComponentsPadsAndNetsWithoutRegardToCase) {
    hostapp::Board board(Sample(), "/x/test.pcb", nullptr);
    // Identifiers compare by their last "\" segment.
    host::IPCB_Component* u1 = board.ComponentByUniqueId(u"c0ffee01");
    ASSERT_NE(u1, nullptr);
    EXPECT_EQ(u1->Name(), u"U1");
    EXPECT_EQ(board.ComponentByUniqueId(u"\\OTHER\\C0FFEE02")->Name(), u"U2");
    EXPECT_EQ(board.ComponentByUniqueId(u"C0FFEE0"), nullptr);
    EXPECT_EQ(board.ComponentByUniqueId(u"C0FFEE02")->Kind(), host::ComponentKind::NetTie);

    host::IPCB_Pad* pad = board.FindPadByRef("u2-2");
    ASSERT_NE(pad, nullptr);
    EXPECT_EQ(pad->Name(), u"2");
    EXPECT_EQ(pad->Component(), board.ComponentByUniqueId(u"C0FFEE02"));
    EXPECT_EQ(pad->ObjectIdString(), u"Pad U2-2");
    EXPECT_EQ(board.FindPad("U2", "2"), pad);
    EXPECT_EQ(board.FindPadByRef("U2-3"), nullptr);
    EXPECT_EQ(board.FindPadByRef("U9-1"), nullptr);
    EXPECT_EQ(board.FindNet(u"clk_p"), board.NetByName("CLK_P"));
    EXPECT_EQ(board.FindNet(u"nothing"), nullptr);
}

TEST(HostBoard, VisitMarksClearForEveryObjectAtOnce) {
    hostapp::Board board(Sample(), "/x/test.pcb", nullptr);
    for (hostapp::Primitive* prim : board.Objects()) {
        prim->Interface()->SetVisitMark1(true);
        prim->Interface()->SetVisitMark2(prim->Kind() == host::eTrackObject);
        prim->Interface()->SetMarker(9999);
    }
    host::IPCB_Primitive* track = FirstOfKind(board, host::eTrackObject);
    EXPECT_TRUE(track->VisitMark1());
    EXPECT_TRUE(track->VisitMark2());
    EXPECT_FALSE(board.FindPadByRef("U1-1")->VisitMark2());

    board.ResetVisitMarks();
    for (hostapp::Primitive* prim : board.Objects()) {
        EXPECT_FALSE(prim->Interface()->VisitMark1());
        EXPECT_FALSE(prim->Interface()->VisitMark2());
        EXPECT_EQ(prim->Interface()->Marker(), 9999);  // the marker is not a visit mark
    }
    track->SetVisitMark2(true);
    EXPECT_TRUE(track->VisitMark2());
    EXPECT_FALSE(track->VisitMark1());
}

TEST(HostBoard, CountsHighlightingNoticesRedrawsAndModifications) {
    hostapp::Board board(Sample(), "/x/test.pcb", nullptr);
    host::IPCB_Primitive* a = board.FindPadByRef("U1-1");
    host::IPCB_Primitive* b = board.FindPadByRef("U1-2");

    board.HighlightList_Clear();
    board.HighlightList_ClearShown();
    board.HighlightList_Add(a);
    board.HighlightList_Add(b);
    board.HighlightList_Show(1, 1);
    board.ViewRedraw();
    EXPECT_EQ(board.ShownHighlight(), (std::vector<host::IPCB_Primitive*>{a, b}));
    board.HighlightList_Clear();
    board.ClearHighlightMask(1);
    EXPECT_TRUE(board.HighlightList().empty());
    EXPECT_EQ(board.ShownHighlight().size(), 2u);  // shown until the shown list is cleared
    board.HighlightList_ClearShown();
    EXPECT_TRUE(board.ShownHighlight().empty());

    a->BeginModify();
    a->SetNet(board.NetByName("B"));
    a->EndModify();
    board.Notify(a, host::eNoticeObjectRegistered);

    const hostapp::BoardActivity& seen = board.Activity();
    EXPECT_EQ(seen.highlightClears, 2);
    EXPECT_EQ(seen.highlightClearShown, 2);
    EXPECT_EQ(seen.highlightAdds, 2);
    EXPECT_EQ(seen.highlightShows, 1);
    EXPECT_EQ(std::make_pair(seen.lastShowHighlight, seen.lastShowMask), std::make_pair(1, 1));
    EXPECT_EQ(seen.maskClears, 1);
    EXPECT_EQ(seen.redraws, 1);
    EXPECT_EQ(seen.notices[host::eNoticeObjectRegistered], 1);
    EXPECT_EQ(std::make_pair(seen.modifyBegins, seen.modifyEnds), std::make_pair(1, 1));
}

TEST(PcbServer, KeepsBoardsByPathAndMakesObjectsThatOutliveThem) {
    hostapp::PcbServer server;
    hostapp::Board& board = server.OpenBoard(Sample(), "C:\\Designs\\Demo.pcb");
    EXPECT_EQ(server.GetPCBBoardByPath(u"c:\\designs\\demo.pcb"), &board);
    EXPECT_EQ(server.GetPCBBoardByPath(u"C:\\Designs\\Other.pcb"), nullptr);
    EXPECT_THROW(server.OpenBoard(Sample(), "C:\\Designs\\Demo.pcb"), std::logic_error);

    server.PreProcess();
    server.PostProcess();
    server.PreProcess();
    EXPECT_EQ(server.PreProcessCount(), 2);
    EXPECT_EQ(server.OpenBatches(), 1);

    host::IPCB_Net* net = server.CreateNet();
    net->SetName(u"PinSwapNet");
    host::IPCB_Connection* line = server.CreateConnection();
    EXPECT_EQ(line->GetLayer(), host::eConnectLayer);
    EXPECT_EQ(line->Board(), nullptr);  // on no board yet
    board.AddNet(net);
    board.AddPCBObject(line);
    line->SetNet(net);
    EXPECT_EQ(line->Board(), &board);
    EXPECT_EQ(board.FindNet(u"PinSwapNet"), net);

    server.CloseBoard("C:\\Designs\\Demo.pcb");
    EXPECT_EQ(server.GetPCBBoardByPath(u"C:\\Designs\\Demo.pcb"), nullptr);
    EXPECT_EQ(net->Name(), u"PinSwapNet");  // the factory's objects live with the server
    EXPECT_EQ(line->AddRef(), line->Release());
}

TEST(BoardWriteBack, WritesNetsAndSwitchesAsTheBoardHoldsThem) {
    hostapp::PcbServer server;
    const auto data = Sample();
    hostapp::Board& board = server.OpenBoard(data, "/x/test.pcb");

    board.FindPadByRef("U1-1")->SetNet(board.NetByName("B"));
    board.ComponentByUniqueId(u"C0FFEE01")->SetPinSwapAllowed(true);
    board.ComponentByUniqueId(u"C0FFEE02")->SetPartSwapAllowed(false);
    board.RemoveNet(board.NetByName("C"));  // its copper is left without net
    host::IPCB_Net* added = server.CreateNet();
    added->SetName(u"D");
    board.AddNet(added);
    FirstOfKind(board, host::eTrackObject)->SetNet(added);
    host::IPCB_Net* temporary = server.CreateNet();
    temporary->SetName(u"PinSwapNet");
    board.AddNet(temporary);
    board.RemoveNet(temporary);

    auto written = data;
    board.WriteBack(written);
    EXPECT_EQ(written.nets, (std::vector<std::string>{"A", "B", "CLK_P", "CLK_N", "D"}));
    EXPECT_EQ(written.components[0].pads[0].net, "B");
    EXPECT_EQ(written.components[0].pads[1].net, "B");
    EXPECT_TRUE(written.components[0].pinSwap);
    EXPECT_FALSE(written.components[1].partSwap);
    EXPECT_EQ(written.components[1].pads[0].net, "");
    EXPECT_EQ(written.pads[0].net, "");
    EXPECT_EQ(written.tracks[0].net, "D");
    EXPECT_EQ(written.differentialPairs[0].positive, "CLK_P");  // the rest as read
    EXPECT_EQ(written.tracks[0].start, data.tracks[0].start);

    // What was written reads back to the same board.
    hostapp::Board again(written, "/x/again.pcb", nullptr);
    auto rewritten = written;
    again.WriteBack(rewritten);
    EXPECT_EQ(rewritten.nets, written.nets);
    EXPECT_EQ(rewritten.components[0].pads[0].net, "B");
    EXPECT_EQ(rewritten.tracks[0].net, "D");

    hostapp::design::BoardData other = data;
    other.tracks.clear();
    EXPECT_THROW(board.WriteBack(other), std::invalid_argument);
}

struct FaultCase {
    const char* operation;
    std::function<void(hostapp::Board&)> call;
};

TEST(BoardFaults, AnInjectedFaultRaisesFromTheOperationAndChangesNothing) {
    const std::vector<FaultCase> cases = {
        {"IPCB_Net.AddPCBObject",
         [](hostapp::Board& b) { b.NetByName("B")->AddPCBObject(b.FindPadByRef("U1-1")); }},
        {"IPCB_Primitive.SetNet",
         [](hostapp::Board& b) { b.FindPadByRef("U1-1")->SetNet(b.NetByName("B")); }},
        {"IPCB_Board.RemoveNet", [](hostapp::Board& b) { b.RemoveNet(b.NetByName("A")); }},
    };
    for (const FaultCase& c : cases) {
        SCOPED_TRACE(c.operation);
        hostapp::FaultInjector faults;
        hostapp::Board board(Sample(), "/x/test.pcb", &faults);
        faults.FailOn(c.operation, 1, false, host::E_UNEXPECTED);
        try {
            c.call(board);
            ADD_FAILURE() << "no fault raised";
        } catch (const host::HostError& e) {
            EXPECT_EQ(e.status(), host::E_UNEXPECTED);
        }
        auto written = Sample();
        board.WriteBack(written);
        EXPECT_EQ(written.components[0].pads[0].net, "A");
        EXPECT_EQ(written.nets.size(), 5u);

        c.call(board);  // only the first call was to fail
        board.WriteBack(written);
        EXPECT_NE(written.components[0].pads[0].net, "A");
    }
}

}  // namespace
