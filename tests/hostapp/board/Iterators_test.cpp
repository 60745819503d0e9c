// Iterating a board: by kinds and layers, by area through the spatial index, and over one
// component's pads.
#include <gtest/gtest.h>

#include "hostapp/board/BoardInspect.h"
#include "hostapp/board/BoardTestData.h"

namespace {

using namespace boardtest;
using Names = std::vector<std::string>;

// Nothing carries a net, so no connection lines join the objects listed.
hostapp::design::BoardData Sample() {
    auto data = Board({});
    data.components = {Component("U1", "ID1", {Pad("1", 0, 0, ""), Pad("2", 2, 0, "")})};
    data.pads = {Pad("H", 10, 10, "", 74, hostapp::design::PadShape::Round, 1.5, 1.5)};
    data.tracks = {Track(0, 0, 2, 0, ""), Track(5, 5, 8, 5, "", 32)};
    data.vias = {Via(10, 0, "")};
    data.arcs = {Arc(20, 20, 1, 0, 180, "")};
    data.fills = {{At(30, 0), At(32, 2), 32, ""}};
    return data;
}

Names Walk(hostapp::Board& board, host::IPCB_Iterator& it) {
    Names out;
    for (auto* p = it.FirstPCBObject(); p; p = it.NextPCBObject()) out.push_back(NameOf(board, p));
    return out;
}

struct AreaCase {
    const char* what;
    double x1, y1, x2, y2;
    host::ObjectSet kinds;
    host::LayerSet layers;
    Names expected;
};

class SpatialIterator : public ::testing::TestWithParam<AreaCase> {};

TEST_P(SpatialIterator, FindsWhatMeetsTheAreaOfTheKindsAndLayers) {
    const AreaCase& c = GetParam();
    hostapp::Board board(Sample(), "/x/test.pcb", nullptr);
    auto it = board.SpatialIterator_Create();
    it->AddFilter_ObjectSet(c.kinds);
    it->AddFilter_LayerSet(c.layers);
    it->AddFilter_Area(Mm(c.x1), Mm(c.y1), Mm(c.x2), Mm(c.y2));
    EXPECT_EQ(Walk(board, *it), c.expected) << c.what;
}

const host::LayerSet kAll = host::LayerSet::AllLayers();

INSTANTIATE_TEST_SUITE_P(
    Cases, SpatialIterator,
    ::testing::Values(
        AreaCase{
            "around U1", -1, -1, 3, 1, host::AllObjects, kAll, {"Pad U1-1", "Pad U1-2", "Track#0"}},
        AreaCase{"corners given in any order",
                 3,
                 1,
                 -1,
                 -1,
                 host::AllObjects,
                 kAll,
                 {"Pad U1-1", "Pad U1-2", "Track#0"}},
        AreaCase{"pads only",
                 -1,
                 -1,
                 3,
                 1,
                 host::MkSet(host::ePadObject),
                 kAll,
                 {"Pad U1-1", "Pad U1-2"}},
        AreaCase{"bottom tracks",
                 -5,
                 -5,
                 40,
                 40,
                 host::MkSet(host::eTrackObject),
                 host::LayerSet::Of({32}),
                 {"Track#1"}},
        AreaCase{"multi-layer",
                 -5,
                 -5,
                 40,
                 40,
                 host::AllObjects,
                 host::LayerSet::Of({74}),
                 {"Pad H", "Via#0"}},
        AreaCase{"the arc's bounding rectangle reaches only above its centre",
                 18,
                 18.5,
                 22,
                 19.5,
                 host::AllObjects,
                 kAll,
                 {}},
        AreaCase{"inside the arc's bounding rectangle",
                 19.5,
                 20.5,
                 20.5,
                 20.6,
                 host::AllObjects,
                 kAll,
                 {"Arc#0"}},
        AreaCase{"bottom fills",
                 31,
                 1,
                 31.5,
                 1.5,
                 host::MkSet(host::eFillObject),
                 host::LayerSet::Of({32}),
                 {"Fill#0"}},
        AreaCase{"empty", 50, 50, 60, 60, host::AllObjects, kAll, {}}));

TEST(SpatialIteratorEdge, AnAreaTouchingABoundingRectangleMeetsIt) {
    hostapp::Board board(Sample(), "/x/test.pcb", nullptr);
    const host::Rect r = board.FindPadByRef("U1-1")->BoundingRectangle();
    auto it = board.SpatialIterator_Create();
    it->AddFilter_ObjectSet(host::MkSet(host::ePadObject));
    it->AddFilter_Area(r.right, r.top, r.right + 10, r.top + 10);
    EXPECT_EQ(Walk(board, *it), Names{"Pad U1-1"});
    it->AddFilter_Area(r.right + 1, r.top + 1, r.right + 10, r.top + 10);
    EXPECT_EQ(Walk(board, *it), Names{});
}

TEST(BoardIterator, ListsTheBoardInOrderAndDropsRemovedObjects) {
    hostapp::Board board(Sample(), "/x/test.pcb", nullptr);
    auto it = board.BoardIterator_Create();
    EXPECT_EQ(Walk(board, *it), (Names{"Pad U1-1", "Pad U1-2", "Pad H", "Track#0", "Track#1",
                                       "Arc#0", "Via#0", "Fill#0"}));

    host::IPCB_Primitive* via = board.Objects()[6]->Interface();
    board.RemovePCBObject(via);
    auto after = board.BoardIterator_Create();
    after->AddFilter_ObjectSet(host::MkSet(host::eViaObject, host::eTrackObject));
    after->AddFilter_LayerSet(host::LayerSet::Of({1, 74}));
    EXPECT_EQ(Walk(board, *after), Names{"Track#0"});
    EXPECT_EQ(via->ObjectId(), host::eViaObject);  // removed, still alive
    EXPECT_EQ(via->GetLayer(), host::eMultiLayer);

    board.AddPCBObject(via);  // comes back at the end of the board's order
    EXPECT_EQ(NameOf(board, board.Objects().back()), "Via#0");
}

TEST(GroupIterator, ListsAComponentsPadsInTheFilesOrder) {
    auto data = Sample();
    data.components[0].pads.insert(data.components[0].pads.begin(), Pad("10", 4, 0, "", 32));
    hostapp::Board board(data, "/x/test.pcb", nullptr);
    host::IPCB_Component* u1 = board.ComponentByUniqueId(u"ID1");
    ASSERT_NE(u1, nullptr);

    auto all = u1->GroupIterator_Create();
    all->AddFilter_ObjectSet(host::MkSet(host::ePadObject));
    EXPECT_EQ(Walk(board, *all), (Names{"Pad U1-10", "Pad U1-1", "Pad U1-2"}));
    auto top = u1->GroupIterator_Create();
    top->AddFilter_LayerSet(host::LayerSet::Of({1}));
    EXPECT_EQ(Walk(board, *top), (Names{"Pad U1-1", "Pad U1-2"}));
    auto tracks = u1->GroupIterator_Create();
    tracks->AddFilter_ObjectSet(host::MkSet(host::eTrackObject));
    EXPECT_EQ(Walk(board, *tracks), Names{});
}

}  // namespace
