// The true distance between the copper of two primitives.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "hostapp/board/BoardInspect.h"
#include "hostapp/board/BoardTestData.h"

namespace {

using namespace boardtest;
using hostapp::design::PadShape;

struct DistanceCase {
    const char* what;
    std::function<void(hostapp::design::BoardData&)> place;  // places exactly two objects
    double expectedMm;
};

class PrimPrimDistance : public ::testing::TestWithParam<DistanceCase> {};

TEST_P(PrimPrimDistance, MeasuresBetweenTheCopperShapes) {
    const DistanceCase& c = GetParam();
    auto data = Board({});
    c.place(data);
    hostapp::Board board(data, "/x/test.pcb", nullptr);
    const auto objects = board.Objects();
    ASSERT_EQ(objects.size(), 2u);
    host::IPCB_Primitive* a = objects[0]->Interface();
    host::IPCB_Primitive* b = objects[1]->Interface();
    // Lengths are whole internal units: a few units of rounding either way.
    const double tolerance = 3.0;
    EXPECT_NEAR(board.PrimPrimDistance(a, b), c.expectedMm * kUnitsPerMm, tolerance) << c.what;
    EXPECT_NEAR(board.PrimPrimDistance(b, a), c.expectedMm * kUnitsPerMm, tolerance) << c.what;
}

hostapp::design::FillData FillOf(double x1, double y1, double x2, double y2) {
    return {At(x1, y1), At(x2, y2), 1, ""};
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, PrimPrimDistance,
    ::testing::Values(
        DistanceCase{"disc to disc",
                     [](auto& d) {
                         d.pads = {Pad("a", 0, 0, ""), Pad("b", 3, 0, "")};
                     },
                     2.0},
        DistanceCase{"overlapping discs",
                     [](auto& d) {
                         d.pads = {Pad("a", 0, 0, ""), Pad("b", 0.8, 0, "")};
                     },
                     0.0},
        DistanceCase{"box side to capsule",
                     [](auto& d) {
                         d.pads = {Pad("a", 0, 0, "", 1, PadShape::Rectangular, 2, 1)};
                         d.tracks = {Track(3, -5, 3, 5, "", 1, 0.4)};
                     },
                     3 - 1 - 0.2},
        DistanceCase{"box corner to disc",
                     [](auto& d) {
                         d.pads = {Pad("a", 0, 0, "", 1, PadShape::Rectangular, 4, 2)};
                         d.vias = {Via(4, 5, "", 1, 32, 1.0)};
                     },
                     std::sqrt(2.0 * 2 + 4 * 4) - 0.5},
        DistanceCase{"rounded box corner to disc",
                     [](auto& d) {
                         // Corners rounded with radius 1: the copper near (2, 1) is the arc
                         // about (1, 0).
                         d.pads = {Pad("a", 0, 0, "", 1, PadShape::Rounded, 4, 2)};
                         d.vias = {Via(4, 5, "", 1, 32, 1.0)};
                     },
                     std::sqrt(3.0 * 3 + 5 * 5) - 1 - 0.5},
        DistanceCase{"rounded box side to capsule",
                     [](auto& d) {
                         d.pads = {Pad("a", 0, 0, "", 1, PadShape::Rounded, 1, 3)};
                         d.tracks = {Track(2, -5, 2, 5, "", 1, 0.2)};
                     },
                     2 - 0.5 - 0.1},
        DistanceCase{"parallel tracks",
                     [](auto& d) {
                         d.tracks = {Track(0, 0, 10, 0, ""), Track(0, 1, 10, 1, "")};
                     },
                     0.8},
        DistanceCase{"arc end to disc outside its sweep",
                     [](auto& d) {
                         d.arcs = {Arc(0, 0, 5, 0, 90, "")};
                         d.vias = {Via(0, -3, "", 1, 32, 1.0)};
                     },
                     std::sqrt(5.0 * 5 + 3 * 3) - 0.1 - 0.5},
        DistanceCase{"arc to disc within its sweep",
                     [](auto& d) {
                         d.arcs = {Arc(0, 0, 5, 0, 90, "")};
                         d.vias = {Via(6, 6, "", 1, 32, 1.0)};
                     },
                     std::sqrt(72.0) - 5 - 0.1 - 0.5},
        DistanceCase{"arc above a track, normal through the centre",
                     [](auto& d) {
                         d.tracks = {Track(-10, 7, 10, 7, "")};
                         d.arcs = {Arc(0, 0, 5, 0, 180, "")};
                     },
                     7 - 5 - 0.1 - 0.1},
        DistanceCase{"track crossing an arc",
                     [](auto& d) {
                         d.tracks = {Track(0, 0, 10, 10, "")};
                         d.arcs = {Arc(0, 0, 5, 0, 90, "")};
                     },
                     0.0},
        DistanceCase{"arc whose sweep turns away from a track",
                     [](auto& d) {
                         d.tracks = {Track(-10, 7, 10, 7, "")};
                         d.arcs = {Arc(0, 0, 5, 180, 360, "")};  // the lower half
                     },
                     7 - 0.1 - 0.1},
        DistanceCase{"concentric arcs",
                     [](auto& d) {
                         d.arcs = {Arc(0, 0, 5, 0, 90, ""), Arc(0, 0, 7, 45, 135, "")};
                     },
                     2 - 0.2},
        DistanceCase{"arcs facing across their centres' line",
                     [](auto& d) {
                         d.arcs = {Arc(0, 0, 2, -90, 90, ""), Arc(10, 0, 3, 90, 270, "")};
                     },
                     10 - 2 - 3 - 0.2},
        DistanceCase{"region edge to disc",
                     [](auto& d) {
                         d.vias = {Via(3, 3, "", 1, 32, 1.0)};
                         d.regions = {{{At(0, 0), At(4, 0), At(0, 4)}, 1, ""}};
                     },
                     2 / std::sqrt(2.0) - 0.5},
        DistanceCase{"disc inside a region",
                     [](auto& d) {
                         d.vias = {Via(1, 1, "", 1, 32, 0.2)};
                         d.regions = {{{At(0, 0), At(4, 0), At(0, 4)}, 1, ""}};
                     },
                     0.0},
        DistanceCase{"fills apart diagonally",
                     [](auto& d) {
                         d.fills = {FillOf(0, 0, 2, 2), FillOf(5, 6, 8, 8)};
                     },
                     5.0},
        DistanceCase{"fill to arc inside it",
                     [](auto& d) {
                         d.arcs = {Arc(5, 5, 1, 0, 90, "")};
                         d.fills = {FillOf(0, 0, 10, 10)};
                     },
                     0.0}));

}  // namespace
