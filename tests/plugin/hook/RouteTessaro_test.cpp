// The router's pin-swap hook, asked as the host's router asks it: through IRouterSwapHook on
// the pads of the board it was opened on.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "host/Plugin.h"
#include "optimizers/Assertion.h"
#include "optimizers/RouteTessaro.h"
#include "platform/Platform.h"
#include "plugin/interactive/InteractiveHost.h"

namespace tessaro::testing {
namespace {

using HookRef = host::Ref<host::IRouterSwapHook>;

HookRef MakeHook() {
    host::IRouterSwapHook* raw = nullptr;
    EXPECT_EQ(CreateRouteTessaro(&raw), host::S_OK);
    return HookRef::Adopt(raw);
}

std::string Name(host::IPCB_Pad* pad) {
    if (!pad) return "none";
    return platform::Narrow(pad->Component()->Name()) + "-" + platform::Narrow(pad->Name());
}

// A fixture opened in the host, with a hook opened on its board.
class RouteHook : public ::testing::Test {
  protected:
    void Open(const std::string& fixture, bool pairMode) {
        hook_.reset();  // its model refers to the board it was opened on
        host_.reset();  // one host at a time: each owns the process-wide platform state
        host_ = std::make_unique<InteractiveHost>(fixture);
        hook_ = MakeHook();
        std::uint8_t opened = 7;
        ASSERT_EQ(hook_->OpenBoard(platform::Widen(host_->BoardPath()).c_str(), pairMode, &opened),
                  host::S_OK);
        ASSERT_EQ(opened, 1);
    }
    host::IPCB_Pad* Pad(const std::string& ref) { return host_->Pad(ref); }

    bool CanSwap(const std::string& a, const std::string& b) {
        std::uint8_t allowed = 7;
        EXPECT_EQ(hook_->CanSwapPads(Pad(a), Pad(b), &allowed), host::S_OK);
        return allowed == 1;
    }
    bool Swappable(host::IPCB_Primitive* prim) {
        std::uint8_t found = 7;
        EXPECT_EQ(hook_->IsSwappablePrimitive(prim, &found), host::S_OK);
        return found == 1;
    }
    std::string First(const std::string& ref) {
        host::IPCB_Pad* pad = nullptr;
        EXPECT_EQ(hook_->FirstSwapCandidate(Pad(ref), &pad), host::S_OK);
        return Name(host::Ref<host::IPCB_Pad>::Adopt(pad).get());
    }
    std::string Next() {
        host::IPCB_Pad* pad = nullptr;
        EXPECT_EQ(hook_->NextSwapCandidate(&pad), host::S_OK);
        return Name(host::Ref<host::IPCB_Pad>::Adopt(pad).get());
    }
    std::vector<std::string> Candidates(const std::string& ref) {
        std::vector<std::string> names;
        for (std::string name = First(ref); name != "none"; name = Next()) names.push_back(name);
        return names;
    }

    std::unique_ptr<InteractiveHost> host_;
    HookRef hook_;
};

struct PadPair {
    const char* a;
    const char* b;
    bool allowed;
};

class RoutePinMode : public RouteHook, public ::testing::WithParamInterface<PadPair> {};

TEST_P(RoutePinMode, CanSwapPadsOnlyWithinOnePinSwapGroup) {
    Open("interactive-pins.json", false);
    EXPECT_EQ(CanSwap(GetParam().a, GetParam().b), GetParam().allowed);
}

INSTANTIATE_TEST_SUITE_P(Pairs, RoutePinMode,
                         ::testing::Values(PadPair{"U1-1", "U1-1", true},  // the same pad twice
                                           PadPair{"U1-1", "U1-4", true},
                                           PadPair{"U1-5", "U1-6", true},
                                           PadPair{"U1-1", "U1-5", false},  // different groups
                                           PadPair{"U1-1", "J1-1", false},  // outside every group
                                           PadPair{"J1-1", "U1-1", false}));

class RoutePairMode : public RouteHook, public ::testing::WithParamInterface<PadPair> {};

TEST_P(RoutePairMode, CanSwapPadsOfDifferentPairsOfOneGroup) {
    Open("interactive-pairs.json", true);
    EXPECT_EQ(CanSwap(GetParam().a, GetParam().b), GetParam().allowed);
}

INSTANTIATE_TEST_SUITE_P(Pairs, RoutePairMode,
                         ::testing::Values(PadPair{"U1-1", "U1-3", true},   // CLK_P and DAT_P
                                           PadPair{"U1-2", "U1-3", true},   // CLK_N and DAT_P
                                           PadPair{"U1-1", "U1-2", false},  // P and N of CLK
                                           PadPair{"U1-1", "U1-1", false},
                                           PadPair{"U1-1", "U2-1", false},  // another group
                                           PadPair{"U1-1", "J1-3", false}));

TEST_F(RouteHook, EnumeratesTheCandidatesOfThePadsGroupInPinOrder) {
    Open("interactive-pins.json", false);
    EXPECT_EQ(Candidates("U1-3"), (std::vector<std::string>{"U1-1", "U1-2", "U1-3", "U1-4"}));
    EXPECT_EQ(Candidates("U1-6"), (std::vector<std::string>{"U1-5", "U1-6"}));
    EXPECT_EQ(Next(), "none");  // an exhausted enumeration stays exhausted
}

TEST_F(RouteHook, APadOutsideEveryGroupLeavesTheRunningEnumerationAlone) {
    Open("interactive-pins.json", false);
    EXPECT_EQ(First("U1-1"), "U1-1");
    EXPECT_EQ(First("J1-1"), "none");
    EXPECT_EQ(Next(), "U1-2");
}

TEST_F(RouteHook, KnowsTheBoardsPadsButNotItsRouting) {
    Open("interactive-pins.json", false);
    EXPECT_TRUE(Swappable(Pad("U1-1")));
    EXPECT_TRUE(Swappable(Pad("J1-1")));  // fixed copper is still copper of the model
    // Each pin's sub-net is its pad alone: tracks are no part of the model.
    int tracks = 0;
    for (hostapp::Primitive* object : host_->Board().Objects()) {
        if (object->Kind() != host::eTrackObject) continue;
        ++tracks;
        EXPECT_FALSE(Swappable(object->Interface()));
    }
    EXPECT_EQ(tracks, 2);
}

TEST_F(RouteHook, ListsThePadsOfEachPairOfThePadsGroup) {
    Open("interactive-pairs.json", true);
    host::IInterfaceList* raw = nullptr;
    ASSERT_EQ(hook_->GetSubPartPads(Pad("U1-3"), &raw), host::S_OK);
    auto outer = host::Ref<host::IInterfaceList>::Adopt(raw);
    ASSERT_TRUE(outer);
    std::vector<std::vector<std::string>> pads;
    std::int32_t count = 0;
    ASSERT_EQ(outer->Count(&count), host::S_OK);
    for (std::int32_t i = 0; i < count; ++i) {
        host::IUnknown* item = nullptr;
        ASSERT_EQ(outer->Item(i, &item), host::S_OK);
        auto unknown = host::Ref<host::IUnknown>::Adopt(item);
        void* listRaw = nullptr;
        ASSERT_EQ(unknown->QueryInterface(host::IID_IInterfaceList, &listRaw), host::S_OK);
        auto inner =
            host::Ref<host::IInterfaceList>::Adopt(static_cast<host::IInterfaceList*>(listRaw));
        std::int32_t members = 0;
        ASSERT_EQ(inner->Count(&members), host::S_OK);
        pads.emplace_back();
        for (std::int32_t j = 0; j < members; ++j) {
            host::IUnknown* member = nullptr;
            ASSERT_EQ(inner->Item(j, &member), host::S_OK);
            auto memberRef = host::Ref<host::IUnknown>::Adopt(member);
            pads.back().push_back(Name(dynamic_cast<host::IPCB_Pad*>(memberRef.get())));
        }
    }
    // Pairs in name order, each pair's lines in sequence-letter order (N before P).
    EXPECT_EQ(pads, (std::vector<std::vector<std::string>>{{"U1-2", "U1-1"}, {"U1-4", "U1-3"}}));
    host::IUnknown* beyond = nullptr;
    EXPECT_TRUE(host::Failed(outer->Item(count, &beyond)));
    EXPECT_EQ(beyond, nullptr);
}

TEST_F(RouteHook, PinModeHasNoSubPartsAndPairModeNoCandidates) {
    Open("interactive-pins.json", false);
    host::IInterfaceList* list = reinterpret_cast<host::IInterfaceList*>(1);
    EXPECT_EQ(hook_->GetSubPartPads(Pad("U1-1"), &list), host::S_OK);
    EXPECT_EQ(list, nullptr);

    Open("interactive-pairs.json", true);
    EXPECT_TRUE(Candidates("U1-1").empty());
}

TEST_F(RouteHook, OpeningAgainStartsAfresh) {
    Open("interactive-pins.json", false);
    EXPECT_EQ(First("U1-1"), "U1-1");
    std::uint8_t opened = 0;
    ASSERT_EQ(hook_->OpenBoard(platform::Widen(host_->BoardPath()).c_str(), 1, &opened),
              host::S_OK);
    EXPECT_EQ(opened, 1);
    // The enumeration referred into the replaced model: it is gone with it.
    EXPECT_EQ(Next(), "none");
    // The board now answers in pair mode: U1 has no pairs on this board.
    EXPECT_FALSE(CanSwap("U1-1", "U1-2"));
}

TEST(RouteHookWithoutBoard, AnswersNoneBeforeABoardIsOpen) {
    InteractiveHost host("interactive-pins.json");
    HookRef hook = MakeHook();
    host::IPCB_Pad* pad = host.Pad("U1-1");
    std::uint8_t flag = 7;
    EXPECT_EQ(hook->IsSwappablePrimitive(pad, &flag), host::S_OK);
    EXPECT_EQ(flag, 0);
    flag = 7;
    EXPECT_EQ(hook->CanSwapPads(pad, pad, &flag), host::S_OK);
    EXPECT_EQ(flag, 0);
    host::IPCB_Pad* candidate = pad;
    EXPECT_EQ(hook->FirstSwapCandidate(pad, &candidate), host::S_OK);
    EXPECT_EQ(candidate, nullptr);
    candidate = pad;
    EXPECT_EQ(hook->NextSwapCandidate(&candidate), host::S_OK);
    EXPECT_EQ(candidate, nullptr);
    host::IInterfaceList* list = reinterpret_cast<host::IInterfaceList*>(1);
    EXPECT_EQ(hook->GetSubPartPads(pad, &list), host::S_OK);
    EXPECT_EQ(list, nullptr);
}

// Boards the hook cannot work on: opened stays 0 and nobody is shown anything.
class RouteHookCannotOpen : public ::testing::TestWithParam<const char*> {};

TEST_P(RouteHookCannotOpen, AnswersNotOpenedQuietly) {
    auto design = ReadFixture("interactive-pins.json");
    if (std::string(GetParam()) == "NoProject") design.project.reset();
    if (std::string(GetParam()) == "NotAPcbProject") design.project->kind = "FPGA";
    InteractiveHost host(std::move(design));
    HookRef hook = MakeHook();
    std::uint8_t opened = 7;
    EXPECT_EQ(hook->OpenBoard(platform::Widen(host.BoardPath()).c_str(), 0, &opened), host::S_OK);
    EXPECT_EQ(opened, 0);
    EXPECT_TRUE(host.person.History().empty());
    EXPECT_TRUE(host.Messages().empty());
    std::uint8_t found = 7;
    EXPECT_EQ(hook->IsSwappablePrimitive(host.Pad("U1-1"), &found), host::S_OK);
    EXPECT_EQ(found, 0);
}

INSTANTIATE_TEST_SUITE_P(Boards, RouteHookCannotOpen,
                         ::testing::Values("NoProject", "NotAPcbProject"));

TEST(RouteHookAssertions, AreShownAndTheOperationGoesOn) {
    InteractiveHost host("interactive-pins.json");
    HookRef hook = MakeHook();
    host.person.ExpectDialog("Error", platform::Button::OK);
    std::uint8_t allowed = 7;
    EXPECT_EQ(hook->CanSwapPads(nullptr, host.Pad("U1-1"), &allowed), host::S_OK);
    EXPECT_EQ(allowed, 0);
    ASSERT_EQ(host.person.History().size(), 1u);
    const std::regex text(
        "Assertion Failed: File: RouteTessaro\\.cpp, Line: [0-9]+, "
        "Msg :Assertion failure");
    EXPECT_TRUE(std::regex_match(host.person.History()[0].dialog.text, text))
        << host.person.History()[0].dialog.text;
    hook.reset();
    // The handler outlives the hook that installed it.
    EXPECT_EQ(CurrentAssertionHandler(), &ShowAssertionFailure);
}

TEST(RouteHookIdentity, AnswersForItsOwnInterfacesOnly) {
    HookRef hook = MakeHook();
    void* out = nullptr;
    ASSERT_EQ(hook->QueryInterface(host::IID_IUnknown, &out), host::S_OK);
    EXPECT_EQ(out, static_cast<void*>(hook.get()));
    static_cast<host::IUnknown*>(out)->Release();
    out = hook.get();
    EXPECT_EQ(hook->QueryInterface(host::IID_IInterfaceList, &out), host::E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(hook->OpenBoard(u"x", 0, nullptr), host::E_POINTER);
}

}  // namespace
}  // namespace tessaro::testing
