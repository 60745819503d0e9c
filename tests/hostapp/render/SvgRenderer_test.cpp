// Drawing a board: the ratsnest summary and the SVG with its legend.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "hostapp/board/Board.h"
#include "hostapp/board/BoardTestData.h"
#include "hostapp/render/SvgRenderer.h"

namespace {

using namespace boardtest;

// Nets A and B cross at (5, 5); the two lines of net C meet at pad 7 without crossing.
hostapp::design::BoardData Crossed(hostapp::design::DisplayUnit unit) {
    auto data = Board({"A", "B", "C"});
    data.displayUnit = unit;
    data.components = {Component("U1", "ID1", {Pad("1", 0, 0, "A"), Pad("2", 10, 10, "A")}, true),
                       Component("U2", "ID2", {Pad("1", 0, 10, "B"), Pad("2", 10, 0, "B")})};
    data.pads = {Pad("6", 20, 0, "C"), Pad("7", 25, 0, "C"), Pad("8", 30, 0, "C")};
    // Copper that adds no connection: routing of A ending in a via, and unconnected pieces.
    data.tracks = {Track(0, 0, 0, -3, "A", 1), Track(20, 5, 30, 5, "", 32),
                   Track(20, 8, 30, 8, "", 3)};
    data.vias = {Via(0, -3, "A")};
    data.arcs = {Arc(35, 5, 2, 0, 270, "")};
    data.fills = {{At(-5, 12), At(-2, 15), 32, ""}};
    return data;
}

const double kCrossedLengthMm = 2 * std::sqrt(200.0) + 10;

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string Fmt(const char* format, double value) {
    char buf[64];
    std::snprintf(buf, sizeof buf, format, value);
    return buf;
}

int Count(const std::string& text, const std::string& what) {
    int n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

TEST(SummariseRatsnest, CountsLengthAndCrossingsOfTheShownConnections) {
    hostapp::Board board(Crossed(hostapp::design::DisplayUnit::Metric), "/x/test.pcb", nullptr);
    hostapp::RatsnestSummary s = hostapp::SummariseRatsnest(board);
    EXPECT_EQ(s.connections, 4);
    EXPECT_NEAR(ToMm(s.totalLength), kCrossedLengthMm, 1e-5);
    EXPECT_EQ(s.crossings, 1);

    board.NetByName("B")->HideNetConnects();
    s = hostapp::SummariseRatsnest(board);
    EXPECT_EQ(s.connections, 3);
    EXPECT_NEAR(ToMm(s.totalLength), kCrossedLengthMm - std::sqrt(200.0), 1e-5);
    EXPECT_EQ(s.crossings, 0);
}

class BoardSvg : public ::testing::TestWithParam<hostapp::design::DisplayUnit> {};

TEST_P(BoardSvg, HoldsTheTitleAndTheLegendNumbers) {
    const auto unit = GetParam();
    hostapp::Board board(Crossed(unit), "/x/test.pcb", nullptr);
    const auto path = std::filesystem::temp_directory_path() /
                      ("board-svg-" + std::to_string(static_cast<int>(unit)) + ".svg");
    hostapp::WriteBoardSvg(board, path.string(), "Crossed <nets> & more");
    const std::string svg = ReadFile(path);
    std::filesystem::remove(path);

    EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
    EXPECT_NE(svg.find("</svg>"), std::string::npos);
    EXPECT_NE(svg.find("Crossed &lt;nets&gt; &amp; more"), std::string::npos);
    EXPECT_NE(svg.find("Connections: 4<"), std::string::npos);
    EXPECT_NE(svg.find("Crossings: 1<"), std::string::npos);
    const std::string length = unit == hostapp::design::DisplayUnit::Metric
                                   ? Fmt("Total length: %.2f mm<", kCrossedLengthMm)
                                   : Fmt("Total length: %.3f in<", kCrossedLengthMm / 25.4);
    EXPECT_NE(svg.find(length), std::string::npos) << length;
    // U1 allows swapping: its two pads are outlined, U2's and the free pads are not.
    EXPECT_EQ(Count(svg, "class=\"swappable\""), 2);
}

INSTANTIATE_TEST_SUITE_P(Units, BoardSvg,
                         ::testing::Values(hostapp::design::DisplayUnit::Metric,
                                           hostapp::design::DisplayUnit::Imperial));

TEST(BoardSvgFile, AnUnwritablePathRaises) {
    hostapp::Board board(Crossed(hostapp::design::DisplayUnit::Metric), "/x/test.pcb", nullptr);
    EXPECT_THROW(hostapp::WriteBoardSvg(board, "/nonexistent-folder/board.svg", "t"),
                 std::runtime_error);
}

}  // namespace
