// A net's connected pieces: copper grouped by touching on a layer the objects share.
#include <gtest/gtest.h>

#include "hostapp/board/BoardInspect.h"
#include "hostapp/board/BoardTestData.h"

namespace {

using namespace boardtest;
using Pieces = std::vector<std::vector<std::string>>;

TEST(ConnectedPieces, TracksJoinPadsAndPiecesFollowBoardOrder) {
    auto data = Board({"N"});
    data.pads = {Pad("1", 0, 0, "N"), Pad("2", 10, 0, "N"), Pad("3", 20, 0, "N")};
    // The second track touches nothing; the first joins pads 1 and 2.
    data.tracks = {Track(0, 0, 10, 0, "N"), Track(30, 5, 40, 5, "N")};
    hostapp::Board board(data, "/x/test.pcb", nullptr);

    EXPECT_EQ(PieceNames(board, "N"),
              (Pieces{{"Pad 1", "Pad 2", "Track#0"}, {"Pad 3"}, {"Track#1"}}));
}

TEST(ConnectedPieces, ArcsAndFillsJoinTheCopperTheyTouch) {
    auto data = Board({"N"});
    data.pads = {Pad("1", 3, 0, "N"), Pad("2", 0, 3, "N"), Pad("3", 20, 0, "N"),
                 Pad("4", 24, 0, "N")};
    data.arcs = {Arc(0, 0, 3, 0, 90, "N")};  // from pad 1 to pad 2, counter-clockwise
    data.fills = {{At(19, -1), At(25, 1), 1, "N"}};
    hostapp::Board board(data, "/x/test.pcb", nullptr);

    EXPECT_EQ(PieceNames(board, "N"),
              (Pieces{{"Pad 1", "Pad 2", "Arc#0"}, {"Pad 3", "Pad 4", "Fill#0"}}));
}

// A via joins copper only on the layers of its span; a mid-layer 2 track (layer 3) tests the
// inner end of the span.
struct ViaSpanCase {
    int from, to;
    Pieces expected;
};

class ViaSpan : public ::testing::TestWithParam<ViaSpanCase> {};

TEST_P(ViaSpan, JoinsOnlyTheLayersItSpans) {
    const ViaSpanCase& c = GetParam();
    auto data = Board({"N"});
    data.pads = {Pad("T", 0, 0, "N", 1), Pad("B", 10, 0, "N", 32)};
    data.tracks = {Track(0, 0, 5, 0, "N", 1), Track(5, 0, 10, 0, "N", 32),
                   Track(5, 0, 5, 5, "N", 3)};
    data.vias = {Via(5, 0, "N", c.from, c.to)};
    hostapp::Board board(data, "/x/test.pcb", nullptr);

    EXPECT_EQ(PieceNames(board, "N"), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Spans, ViaSpan,
    ::testing::Values(
        ViaSpanCase{1, 32, {{"Pad T", "Pad B", "Track#0", "Track#1", "Track#2", "Via#0"}}},
        ViaSpanCase{1, 3, {{"Pad T", "Track#0", "Track#2", "Via#0"}, {"Pad B", "Track#1"}}},
        ViaSpanCase{3, 32, {{"Pad T", "Track#0"}, {"Pad B", "Track#1", "Track#2", "Via#0"}}},
        ViaSpanCase{2, 2, {{"Pad T", "Track#0"}, {"Pad B", "Track#1"}, {"Track#2"}, {"Via#0"}}}));

TEST(ConnectedPieces, MultiLayerPadsJoinEverySignalLayerButSmdPadsOnlyTheirOwn) {
    for (int centreLayer : {74, 1}) {
        SCOPED_TRACE("centre pad on layer " + std::to_string(centreLayer));
        auto data = Board({"N"});
        data.pads = {Pad("H", 0, 0, "N", centreLayer, hostapp::design::PadShape::Round, 1.5, 1.5),
                     Pad("T", 5, 0, "N", 1), Pad("B", -5, 0, "N", 32)};
        // Both tracks end inside the centre pad: one on top, one on the bottom.
        data.tracks = {Track(0, 0, 5, 0, "N", 1), Track(0.3, 0, -5, 0, "N", 32)};
        hostapp::Board board(data, "/x/test.pcb", nullptr);

        const Pieces expected = centreLayer == 74
                                    ? Pieces{{"Pad H", "Pad T", "Pad B", "Track#0", "Track#1"}}
                                    : Pieces{{"Pad H", "Pad T", "Track#0"}, {"Pad B", "Track#1"}};
        EXPECT_EQ(PieceNames(board, "N"), expected);
    }
}

TEST(ConnectedPieces, CopperThatDoesNotConductJoinsNothing) {
    auto data = Board({"N"});
    data.pads = {Pad("1", 0, 0, "N"), Pad("2", 10, 0, "N")};
    data.tracks = {Track(0, 0, 10, 0, "N")};
    hostapp::Board board(data, "/x/test.pcb", nullptr);
    hostapp::Primitive* track = hostapp::HostPrimitive(FirstOfKind(board, host::eTrackObject));

    track->SetExcludedFromConnectivity(true);
    EXPECT_EQ(PieceNames(board, "N"), (Pieces{{"Pad 1"}, {"Pad 2"}}));
    track->SetExcludedFromConnectivity(false);
    track->SetKeepout(true);
    EXPECT_EQ(PieceNames(board, "N"), (Pieces{{"Pad 1"}, {"Pad 2"}}));
    track->SetKeepout(false);
    EXPECT_EQ(PieceNames(board, "N"), (Pieces{{"Pad 1", "Pad 2", "Track#0"}}));
}

TEST(ConnectedPieces, CopperOfOtherNetsDoesNotBridge) {
    auto data = Board({"N", "M"});
    data.pads = {Pad("1", 0, 0, "N"), Pad("2", 10, 0, "N")};
    data.tracks = {Track(0, 0, 10, 0, "M")};
    hostapp::Board board(data, "/x/test.pcb", nullptr);

    EXPECT_EQ(PieceNames(board, "N"), (Pieces{{"Pad 1"}, {"Pad 2"}}));
    EXPECT_EQ(PieceNames(board, "M"), (Pieces{{"Track#0"}}));
}

}  // namespace
