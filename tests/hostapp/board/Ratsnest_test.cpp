// The live ratsnest: a minimum spanning tree of connection lines over each net's pieces,
// rebuilt for exactly the nets whose copper changed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <random>
#include <set>
#include <tuple>

#include "hostapp/board/BoardInspect.h"
#include "hostapp/board/BoardTestData.h"

namespace {

using namespace boardtest;

// A connection line without direction: its two ends (x, y, layer), smaller first.
using End = std::tuple<std::int32_t, std::int32_t, int>;
using Segment = std::pair<End, End>;

Segment Key(hostapp::Connection* c) {
    End a{c->X1(), c->Y1(), c->Layer1()}, b{c->X2(), c->Y2(), c->Layer2()};
    return a < b ? Segment{a, b} : Segment{b, a};
}

Segment Seg(double x1, double y1, int l1, double x2, double y2, int l2) {
    End a{Mm(x1), Mm(y1), l1}, b{Mm(x2), Mm(y2), l2};
    return a < b ? Segment{a, b} : Segment{b, a};
}

std::set<Segment> LinesOf(hostapp::Board& board, const std::string& net) {
    std::set<Segment> out;
    const hostapp::Net* wanted = board.NetObject(net);
    for (hostapp::Connection* c : board.Connections())
        if (c->NetOf() == wanted) out.insert(Key(c));
    return out;
}

double LengthOf(hostapp::Board& board) {
    double total = 0;
    for (hostapp::Connection* c : board.Connections())
        total += std::hypot(double(c->X2()) - c->X1(), double(c->Y2()) - c->Y1());
    return total;
}

TEST(Ratsnest, KnownNetFormsItsMinimumSpanningTree) {
    auto data = Board({"N", "M"});
    data.pads = {Pad("1", 0, 0, "N"), Pad("2", 10, 0, "N"), Pad("3", 10, 5, "N"),
                 Pad("4", 30, 0, "N"), Pad("5", 0, 20, "M")};
    hostapp::Board board(data, "/x/test.pcb", nullptr);

    // 3 to 4 would be sqrt(20^2 + 5^2) > 20: the tree hangs 4 on pad 2.
    EXPECT_EQ(LinesOf(board, "N"),
              (std::set<Segment>{Seg(0, 0, 1, 10, 0, 1), Seg(10, 0, 1, 10, 5, 1),
                                 Seg(10, 0, 1, 30, 0, 1)}));
    EXPECT_TRUE(LinesOf(board, "M").empty());
    EXPECT_DOUBLE_EQ(LengthOf(board), Mm(10) + Mm(5) + (Mm(30) - Mm(10)));
}

TEST(Ratsnest, LinesRunBetweenNearestAnchorsWithTheirLayers) {
    auto data = Board({"T", "V", "B"});
    // A track end is nearer to pad 2 than the pad it starts in.
    data.pads = {Pad("1", 0, 0, "T"), Pad("2", 22, 3, "T", 32), Pad("3", 5, 10, "V"),
                 Pad("4", 5, 20, "B")};
    data.tracks = {Track(0, 0, 20, 0, "T")};
    // A through via ends its line on the multi-layer, a blind via on its start layer.
    data.vias = {Via(0, 10, "V", 1, 32), Via(0, 20, "B", 3, 1)};
    hostapp::Board board(data, "/x/test.pcb", nullptr);

    EXPECT_EQ(LinesOf(board, "T"), (std::set<Segment>{Seg(20, 0, 1, 22, 3, 32)}));
    EXPECT_EQ(LinesOf(board, "V"), (std::set<Segment>{Seg(0, 10, 74, 5, 10, 1)}));
    EXPECT_EQ(LinesOf(board, "B"), (std::set<Segment>{Seg(0, 20, 3, 5, 20, 1)}));
}

TEST(Ratsnest, ChangingCopperRebuildsExactlyTheNetsConcerned) {
    auto data = Board({"A", "B", "C"});
    data.pads = {Pad("1", 0, 0, "A"), Pad("2", 5, 0, "A"),  Pad("3", 0, 5, "B"),
                 Pad("4", 5, 5, "B"), Pad("5", 0, 10, "C"), Pad("6", 5, 10, "C")};
    hostapp::Board board(data, "/x/test.pcb", nullptr);
    hostapp::Net* a = board.NetObject("A");
    hostapp::Net* b = board.NetObject("B");
    hostapp::Net* c = board.NetObject("C");
    auto counts = [&] {
        board.UpdateRatsnest();
        return std::vector<int>{a->RatsnestRebuilds(), b->RatsnestRebuilds(),
                                c->RatsnestRebuilds()};
    };
    auto added = [](std::vector<int> before, std::vector<int> after) {
        for (std::size_t i = 0; i < after.size(); ++i) after[i] -= before[i];
        return after;
    };
    host::IPCB_Pad* pad1 = board.FindPad("", "1");
    ASSERT_NE(pad1, nullptr);

    auto before = counts();
    pad1->SetNet(b);
    EXPECT_EQ(added(before, counts()), (std::vector<int>{1, 1, 0}));
    EXPECT_TRUE(LinesOf(board, "A").empty());
    EXPECT_EQ(LinesOf(board, "B").size(), 2u);

    before = counts();
    c->AddPCBObject(pad1);  // moves the pad from B to C
    EXPECT_EQ(added(before, counts()), (std::vector<int>{0, 1, 1}));
    EXPECT_EQ(pad1->Net(), c);

    before = counts();
    c->RemovePCBObject(pad1);
    b->RemovePCBObject(board.FindPad("", "3"));
    EXPECT_EQ(added(before, counts()), (std::vector<int>{0, 1, 1}));
    EXPECT_EQ(pad1->Net(), nullptr);

    // A net whose copper did not change is not rebuilt by its neighbours' changes, but is
    // when asked to.
    before = counts();
    a->RebuildNetConnects();
    EXPECT_EQ(added(before, counts()), (std::vector<int>{1, 0, 0}));
}

TEST(Ratsnest, HiddenNetsKeepTheirLinesOffTheBoardsIteration) {
    auto data = Board({"A", "B"});
    data.pads = {Pad("1", 0, 0, "A"), Pad("2", 5, 0, "A"), Pad("3", 0, 5, "B"),
                 Pad("4", 5, 5, "B")};
    hostapp::Board board(data, "/x/test.pcb", nullptr);
    auto connectionsOf = [&](const std::string& name) {
        auto it = board.BoardIterator_Create();
        it->AddFilter_ObjectSet(host::MkSet(host::eConnectionObject));
        it->AddFilter_LayerSet(host::LayerSet::Of({host::eConnectLayer}));
        int count = 0;
        for (auto* p = it->FirstPCBObject(); p; p = it->NextPCBObject())
            if (p->Net() == board.NetByName(name)) ++count;
        return count;
    };
    host::IPCB_Net* a = board.NetByName("A");

    a->HideNetConnects();
    EXPECT_FALSE(a->ConnectionsVisible());
    EXPECT_EQ(connectionsOf("A"), 0);
    EXPECT_EQ(connectionsOf("B"), 1);
    a->RebuildNetConnects();
    EXPECT_EQ(connectionsOf("A"), 0);
    EXPECT_EQ(board.Connections(true).size(), 2u);

    a->ShowNetConnects();
    EXPECT_TRUE(a->ConnectionsVisible());
    EXPECT_EQ(connectionsOf("A"), 1);
}

TEST(Ratsnest, ConnectionsMadeThroughTheFactoryAreNeverTouched) {
    hostapp::PcbServer server;
    auto data = Board({"A"});
    data.pads = {Pad("1", 0, 0, "A"), Pad("2", 5, 0, "A"), Pad("3", 9, 0, "A")};
    hostapp::Board& board = server.OpenBoard(data, "/x/test.pcb");

    host::IPCB_Net* swapNet = server.CreateNet();
    swapNet->SetName(u"PinSwapNet");
    board.AddNet(swapNet);
    host::IPCB_Connection* line = server.CreateConnection();
    board.AddPCBObject(line);
    line->SetNet(board.NetByName("A"));  // even on a net with a ratsnest of its own
    line->SetX1(100);
    line->SetY1(200);
    line->SetX2(300);
    line->SetY2(400);
    line->SetLayer1(1);
    line->SetLayer2(32);

    host::IPCB_Net* a = board.NetByName("A");
    board.FindPad("", "3")->SetNet(nullptr);
    a->RebuildNetConnects();
    line->SetNet(swapNet);
    swapNet->RebuildNetConnects();

    const auto lines = board.Connections();
    EXPECT_NE(std::find(lines.begin(), lines.end(), hostapp::HostPrimitive(line)), lines.end());
    EXPECT_EQ(std::make_tuple(line->X1(), line->Y1(), line->X2(), line->Y2(), line->Layer1(),
                              line->Layer2()),
              std::make_tuple(100, 200, 300, 400, host::Layer{1}, host::Layer{32}));
    EXPECT_EQ(board.NetObject("A")->Ratsnest().size(), 1u);

    board.RemovePCBObject(line);
    const auto after = board.Connections(true);
    EXPECT_EQ(std::find(after.begin(), after.end(), hostapp::HostPrimitive(line)), after.end());
    EXPECT_EQ(line->X2(), 300);  // removed, still alive
}

// Many single moves, each looked at: the live ratsnest must equal the one a fresh board
// computes from the same nets.
TEST(Ratsnest, IncrementalRebuildsMatchAFreshBoard) {
    auto data = Board({});
    const int netCount = 80;
    for (int n = 0; n < netCount; ++n) data.nets.push_back("N" + std::to_string(n));
    std::mt19937 random(7);
    for (int i = 0; i < 30; ++i)
        for (int j = 0; j < 30; ++j)
            data.pads.push_back(
                Pad(std::to_string(i * 30 + j), i * 2.0, j * 2.0, data.nets[random() % netCount]));
    for (int k = 0; k < 120; ++k) {
        const double x = (random() % 29) * 2.0, y = (random() % 30) * 2.0;
        data.tracks.push_back(Track(x, y, x + 2, y, data.nets[random() % netCount]));
    }
    hostapp::Board board(data, "/x/test.pcb", nullptr);
    const std::vector<hostapp::Net*>& nets = board.Nets();
    std::vector<host::IPCB_Primitive*> pads;
    for (hostapp::Primitive* prim : board.Objects())
        if (prim->Kind() == host::ePadObject) pads.push_back(prim->Interface());
    for (int move = 0; move < 1000; ++move) {
        host::IPCB_Primitive* pad = pads[random() % pads.size()];
        pad->SetNet(nets[random() % nets.size()]);
        board.UpdateRatsnest();
    }

    hostapp::design::BoardData written = data;
    board.WriteBack(written);
    hostapp::Board fresh(written, "/x/fresh.pcb", nullptr);
    for (const std::string& name : written.nets) {
        SCOPED_TRACE(name);
        EXPECT_EQ(LinesOf(board, name), LinesOf(fresh, name));
    }
}

}  // namespace
