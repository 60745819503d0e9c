// The copper search from a pad: what it reaches, what stops it, and the order it reports.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

#include "links/Rt_ConnectedObjectFinder.h"
#include "plugin/model/ModelHost.h"

namespace tessaro::model_test {
namespace {

// Board units as whole millimetres.
std::string At(std::int32_t units) {
    return std::to_string(std::lround(units / double(Mm(1))));
}

// What the search found: "Pad U1-1", "Track 0,0>3,0 L1", "Via 3,0".
std::string Name(host::IPCB_Primitive* prim) {
    if (auto* pad = dynamic_cast<host::IPCB_Pad*>(prim)) {
        std::string owner = pad->Component() ? platform::Narrow(pad->Component()->Name()) : "";
        return "Pad " + owner + "-" + platform::Narrow(pad->Name());
    }
    if (auto* track = dynamic_cast<host::IPCB_Track*>(prim))
        return "Track " + At(track->X1()) + "," + At(track->Y1()) + ">" + At(track->X2()) + "," +
               At(track->Y2()) + " L" + std::to_string(track->GetLayer());
    if (auto* via = dynamic_cast<host::IPCB_Via*>(prim))
        return "Via " + At(via->X()) + "," + At(via->Y());
    return "Other";
}

std::vector<std::string> Search(ModelHost& host, const std::string& seed) {
    std::vector<host::IPCB_Primitive*> found;
    TConnectedObjectFinder finder(&host.Board(), 30, found, host.Pad(seed));
    finder.Search();
    EXPECT_TRUE(finder.Queue.empty());
    std::vector<std::string> names;
    for (host::IPCB_Primitive* prim : found) names.push_back(Name(prim));
    return names;
}

struct FinderCase {
    const char* name;
    std::function<void(design::DesignData&)> build;  // U1-1 sits at (0,0)
    std::function<void(ModelHost&)> prepare;
    std::vector<std::string> found;  // after the seed, any order
};

TEST(ConnectedObjectFinder, ReachesTouchingCopperOnSharedLayers) {
    auto none = [](ModelHost&) {};
    auto keepoutTracks = [](ModelHost& host) {
        for (hostapp::Primitive* prim : host.Board().Objects())
            if (prim->Kind() == host::eTrackObject) prim->SetKeepout(true);
    };
    auto excludeTracks = [](ModelHost& host) {
        for (hostapp::Primitive* prim : host.Board().Objects())
            if (prim->Kind() == host::eTrackObject) prim->SetExcludedFromConnectivity(true);
    };
    const FinderCase cases[] = {
        {"a pad alone",
         [](design::DesignData& d) {
             d.board->components.push_back(Footprint("U1", "U1", {{"1", 0, 0, "A"}}));
         },
         none,
         {}},
        {"copper on another layer is not reached from a surface pad",
         [](design::DesignData& d) {
             d.board->components.push_back(Footprint("U1", "U1", {{"1", 0, 0, "A"}}));
             d.board->tracks.push_back(Track(-2, 0, 2, 0, "A", 32));
             d.board->tracks.push_back(Track(0, 0, 3, 0, "A", 1));
         },
         none,
         {"Track 0,0>3,0 L1"}},
        {"a through-hole pad reaches every signal layer",
         [](design::DesignData& d) {
             d.board->components.push_back(Footprint("U1", "U1", {{"1", 0, 0, "A", 74}}));
             d.board->tracks.push_back(Track(0, 0, 3, 0, "A", 32));
             d.board->tracks.push_back(Track(0, 0, 0, 3, "A", 1));
         },
         none,
         {"Track 0,0>3,0 L32", "Track 0,0>0,3 L1"}},
        {"a via carries the search to the other side",
         [](design::DesignData& d) {
             d.board->components.push_back(Footprint("U1", "U1", {{"1", 0, 0, "A"}}));
             d.board->tracks.push_back(Track(0, 0, 3, 0, "A", 1));
             d.board->vias.push_back(Via(3, 0, 1, 32, "A"));
             d.board->tracks.push_back(Track(3, 0, 3, 4, "A", 32));
         },
         none,
         {"Track 0,0>3,0 L1", "Via 3,0", "Track 3,0>3,4 L32"}},
        {"keep-outs do not conduct",
         [](design::DesignData& d) {
             d.board->components.push_back(Footprint("U1", "U1", {{"1", 0, 0, "A"}}));
             d.board->tracks.push_back(Track(0, 0, 3, 0, "A", 1));
         },
         keepoutTracks,
         {}},
        {"objects excluded from connectivity do not conduct",
         [](design::DesignData& d) {
             d.board->components.push_back(Footprint("U1", "U1", {{"1", 0, 0, "A"}}));
             d.board->tracks.push_back(Track(0, 0, 3, 0, "A", 1));
         },
         excludeTracks,
         {}},
        {"nets of other names are copper too",
         [](design::DesignData& d) {
             d.board->components.push_back(Footprint("U1", "U1", {{"1", 0, 0, "A"}}));
             d.board->tracks.push_back(Track(0, 0, 3, 0, "B", 1));
         },
         none,
         {"Track 0,0>3,0 L1"}},
    };
    for (const FinderCase& c : cases) {
        SCOPED_TRACE(c.name);
        auto data = NewDesign();
        c.build(data);
        ModelHost host(std::move(data));
        c.prepare(host);
        auto found = Search(host, "U1-1");
        ASSERT_FALSE(found.empty());
        EXPECT_EQ(found.front(), "Pad U1-1");
        found.erase(found.begin());
        std::vector<std::string> expected = c.found;
        std::sort(found.begin(), found.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(found, expected);
    }
}

TEST(ConnectedObjectFinder, NeverRunsThroughANetTie) {
    // U1-1 touches X1-1, whose other pad X1-2 touches a track: the search passes through an
    // ordinary component's own copper but not through a net tie's.
    struct Case {
        int kind;
        std::vector<std::string> found;
    };
    const Case cases[] = {
        {0, {"Pad U1-1", "Pad X1-1"}},
        {3, {"Pad U1-1"}},
        {4, {"Pad U1-1"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        auto data = NewDesign();
        data.board->components.push_back(Footprint("U1", "U1", {{"1", 0, 0, "A"}}));
        data.board->components.push_back(
            Footprint("X1", "X1", {{"1", 1, 0, "A"}, {"2", 3, 0, "B"}}, false, false, c.kind));
        data.board->tracks.push_back(Track(3, 0, 6, 0, "B"));
        ModelHost host(std::move(data));
        EXPECT_EQ(Search(host, "U1-1"), c.found);
    }
}

TEST(ConnectedObjectFinder, BreadthFirstEachObjectOnce) {
    // A square of track: two sides leave the pad, the two far sides meet in a corner.
    auto data = NewDesign();
    data.board->components.push_back(Footprint("U1", "U1", {{"1", 0, 0, "A"}}));
    auto& tracks = data.board->tracks;
    tracks.push_back(Track(0, 0, 6, 0, "A"));
    tracks.push_back(Track(0, 0, 0, 6, "A"));
    tracks.push_back(Track(6, 0, 6, 6, "A"));
    tracks.push_back(Track(0, 6, 6, 6, "A"));
    ModelHost host(std::move(data));
    const auto found = Search(host, "U1-1");
    const std::string right = "Track 0,0>6,0 L1", up = "Track 0,0>0,6 L1";
    const std::string rightChild = "Track 6,0>6,6 L1", upChild = "Track 0,6>6,6 L1";
    ASSERT_EQ(found.size(), 5u);
    EXPECT_EQ(found[0], "Pad U1-1");
    ASSERT_TRUE((found[1] == right && found[2] == up) || (found[1] == up && found[2] == right));
    // Each level is expanded in the order it was found.
    const bool rightFirst = found[1] == right;
    EXPECT_EQ(found[3], rightFirst ? rightChild : upChild);
    EXPECT_EQ(found[4], rightFirst ? upChild : rightChild);
}

TEST(ConnectedObjectFinder, AVisitedSeedIsExpandedButNotFoundAgain) {
    auto data = NewDesign();
    data.board->components.push_back(Footprint("U1", "U1", {{"1", 0, 0, "A"}}));
    data.board->tracks.push_back(Track(0, 0, 3, 0, "A"));
    ModelHost host(std::move(data));
    std::vector<host::IPCB_Primitive*> found;
    TConnectedObjectFinder finder(&host.Board(), 30, found, host.Pad("U1-1"));
    finder.AddFound(host.Pad("U1-1"));
    EXPECT_EQ(found.size(), 1u);
    EXPECT_EQ(finder.Queue.size(), 2u);
    finder.Search();
    EXPECT_EQ(found.size(), 2u);
}

}  // namespace
}  // namespace tessaro::model_test
