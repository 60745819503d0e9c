// The person's picks on the board: a location, and the object at one.
#include <gtest/gtest.h>

#include "hostapp/board/BoardInspect.h"
#include "hostapp/board/BoardTestData.h"
#include "platform/Person.h"

namespace {

using namespace boardtest;
using platform::BoardPoint;

class Picks : public ::testing::Test {
  protected:
    Picks() : board_(Data(), "/x/test.pcb", nullptr) { platform::SetCurrentPerson(&person_); }
    ~Picks() override { platform::SetCurrentPerson(nullptr); }

    static hostapp::design::BoardData Data() {
        auto data = Board({"A"});
        data.components = {Component(
            "U1", "ID1", {Pad("5", 0, 0, "A", 1, hostapp::design::PadShape::Rectangular, 2, 1)})};
        data.pads = {Pad("7", 10, 0, "")};
        data.tracks = {Track(0, 0, 5, 0, "A")};
        data.vias = {Via(5, 0, "A")};
        return data;
    }

    host::IPCB_Primitive* At(double x, double y, host::ObjectSet kinds = host::AllObjects,
                             host::LayerSet layers = host::LayerSet::AllLayers()) {
        return board_.GetObjectAtXYAskUserIfAmbiguous(Mm(x), Mm(y), kinds, layers);
    }

    std::vector<std::string> LastOptions() const {
        for (auto it = person_.History().rbegin(); it != person_.History().rend(); ++it)
            if (it->kind == platform::Interaction::Kind::Choice) return it->options;
        return {};
    }

    platform::ScriptedPerson person_;
    hostapp::Board board_;
};

TEST_F(Picks, ChooseLocationAnswersThePersonsPointOrCancel) {
    person_.ExpectPick("Choose Sub-Net to move", BoardPoint{120, -340})
        .ExpectPick("Choose Sub-Net to move", std::nullopt);
    std::int32_t x = 0, y = 0;
    EXPECT_TRUE(board_.ChooseLocation(x, y, u"Choose Sub-Net to move"));
    EXPECT_EQ(std::make_pair(x, y), std::make_pair(120, -340));
    EXPECT_FALSE(board_.ChooseLocation(x, y, u"Choose Sub-Net to move"));
    EXPECT_EQ(person_.Remaining(), 0u);
}

TEST_F(Picks, OneObjectAtThePointIsTakenWithoutAsking) {
    EXPECT_EQ(NameOf(board_, At(10, 0)), "Pad 7");
    EXPECT_EQ(NameOf(board_, At(3, 0, host::AllObjects, host::LayerSet::Of({1}))), "Track#0");
    EXPECT_EQ(NameOf(board_, At(5, 0, host::AllObjects, host::LayerSet::Of({74}))), "Via#0");
    EXPECT_EQ(At(5, 0, host::MkSet(host::ePadObject)), nullptr);
    EXPECT_EQ(At(7, 3), nullptr);  // no copper there
    EXPECT_TRUE(person_.History().empty());
}

TEST_F(Picks, SeveralObjectsAreOfferedPadsFirst) {
    // The pad goes to the end of the board's order: it is offered first all the same.
    host::IPCB_Primitive* pad = board_.FindPadByRef("u1-5");
    ASSERT_NE(pad, nullptr);
    board_.RemovePCBObject(pad);
    board_.AddPCBObject(pad);

    person_.ExpectChoice(1).ExpectChoice(0).ExpectChoice(-1);
    const host::ObjectSet copper =
        host::MkSet(host::ePadObject, host::eTrackObject, host::eViaObject);
    EXPECT_EQ(NameOf(board_, At(0.5, 0, copper)), "Track#0");
    const auto options = LastOptions();
    ASSERT_EQ(options.size(), 2u);
    EXPECT_EQ(options[0].rfind("Pad U1-5 ", 0), 0u) << options[0];
    EXPECT_EQ(options[1].rfind("Track ", 0), 0u) << options[1];

    EXPECT_EQ(NameOf(board_, At(5, 0, copper)), "Track#0");  // the track ends inside the via
    EXPECT_EQ(LastOptions().size(), 2u);
    EXPECT_EQ(LastOptions()[1].rfind("Via ", 0), 0u) << LastOptions()[1];

    EXPECT_EQ(At(0.5, 0, copper), nullptr);  // the person chose none
    EXPECT_EQ(person_.Remaining(), 0u);
}

}  // namespace
