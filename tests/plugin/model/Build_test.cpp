// Building the data set in each swap mode: which pins swap, their sub-nets, groups,
// sub-parts, and what the pruning steps drop.
#include <gtest/gtest.h>

#include <algorithm>

#include "frame/HostAccess.h"
#include "model/Analyze.h"
#include "plugin/model/FakeDevices.h"
#include "plugin/model/ModelHost.h"

namespace tessaro::model_test {
namespace {

bool Contains(const std::vector<TSwapSubNet*>& list, const TSwapSubNet* subNet) {
    return std::find(list.begin(), list.end(), subNet) != list.end();
}

// U1 with pin swap groups "g" (ids written g and G), "h" (two pads shorted by copper) and
// "k" (one pad joined to R1's pad); pad a8 matches schematic pin A8; pad 9 is excluded from
// swapping; net A has a stray track.
design::DesignData PinSwapDesign() {
    auto data = NewDesign();
    auto& sheet = data.schematics[0].components;
    sheet.push_back(Sch("U1", "U1ID",
                        {{"1", "A", "g"},
                         {"2", "B", "G"},
                         {"3", "", "g"},
                         {"A8", "F", "g"},
                         {"4", "C", "h"},
                         {"5", "C", "h"},
                         {"6", "D", "k"},
                         {"7", "E", "k"},
                         {"9", "G", "g"}}));
    sheet.push_back(Sch("R1", "R1ID", {{"1", "D"}, {"2", "Z"}}));
    auto& board = *data.board;
    board.components.push_back(Footprint("U1", "U1ID",
                                         {{"1", 0, 0, "A"},
                                          {"2", 2, 0, "B"},
                                          {"3", 4, 0, ""},
                                          {"a8", 6, 0, "F"},
                                          {"4", 8, 0, "C"},
                                          {"5", 10, 0, "C"},
                                          {"6", 12, 0, "D"},
                                          {"7", 14, 0, "E"},
                                          {"9", 16, 0, "G"}}));
    board.components.push_back(
        Footprint("R1", "R1ID", {{"1", 12, 5, "D"}, {"2", 20, 5, "Z"}}, false));
    board.tracks.push_back(Track(8, 0, 10, 0, "C"));
    board.tracks.push_back(Track(12, 0, 12, 5, "D"));
    board.tracks.push_back(Track(30, 30, 31, 30, "A"));
    return data;
}

TEST(PinSwapBuild, PadsCopperAndGroups) {
    ModelHost host(PinSwapDesign());
    host.Board().PadObject("U1-9")->SetSwapExcluded(true);
    bool analyzed = false;
    auto dataSet = host.Build(smPinSwap, &analyzed);
    ASSERT_TRUE(analyzed);
    ExpectBuildInvariants(*dataSet);

    // Only "g" survives: "h" has no swappable sub-net and "k" only one.
    ASSERT_EQ(dataSet->PinSwapGroups.size(), 1u);
    TSwapGroup* g = dataSet->PinSwapGroups[0];
    EXPECT_TRUE(platform::SameText(g->ID, "g"));
    EXPECT_EQ(g->Pins.size(), 5u);
    EXPECT_EQ(g->SubNets.size(), 4u);

    struct PadCase {
        const char* ref;
        bool swappable;
        bool hasSubNet;
    };
    const PadCase pads[] = {
        {"U1-1", true, true},  {"U1-2", true, true},  {"U1-3", true, true},
        {"U1-a8", true, true}, {"U1-4", false, true}, {"U1-5", false, true},
        {"U1-6", false, true}, {"U1-7", false, true}, {"U1-9", false, false},
    };
    for (const PadCase& c : pads) {
        SCOPED_TRACE(c.ref);
        TSwapPin* pin = PinOfPad(*dataSet, host.Pad(c.ref));
        ASSERT_NE(pin, nullptr);
        EXPECT_EQ(pin->SubNet != nullptr, c.hasSubNet);
        const bool swappable = pin->SubNet && pin->SubNet->Pin == pin;
        EXPECT_EQ(swappable, c.swappable);
        EXPECT_EQ(pin->SubNet && Contains(dataSet->SwapSubNets, pin->SubNet), c.swappable);
    }

    // The pad without net: a sub-net of its own, index 9999, no original net, a nil slot.
    TSwapSubNet* noNet = PinOfPad(*dataSet, host.Pad("U1-3"))->SubNet;
    EXPECT_EQ(noNet->Index, 9999);
    EXPECT_EQ(noNet->OriginalNet, nullptr);
    EXPECT_EQ(noNet->BoardNet, nullptr);
    EXPECT_EQ(g->Nets[static_cast<std::size_t>(noNet->NetIndex)], nullptr);
    EXPECT_EQ(noNet->NetName(), "NULL");
    ASSERT_NE(dataSet->NullNet, nullptr);
    EXPECT_EQ(dataSet->NullNet->IPCBNet, nullptr);

    // Shorted pads share one fixed sub-net; a pad joined to R1 holds R1's pad too.
    TSwapSubNet* shorted = PinOfPad(*dataSet, host.Pad("U1-4"))->SubNet;
    EXPECT_EQ(PinOfPad(*dataSet, host.Pad("U1-5"))->SubNet, shorted);
    EXPECT_EQ(shorted->Pin, nullptr);
    TSwapSubNet* joined = PinOfPad(*dataSet, host.Pad("U1-6"))->SubNet;
    EXPECT_EQ(dataSet->FindSubNetByPrim(host.Pad("R1-1")), joined);

    // Nets: one per host net of a grouped pin; the null net and net G (its only pad is
    // excluded, so no piece has a pad) are not kept.
    std::vector<std::string> names;
    for (const auto& [key, net] : dataSet->Nets) names.push_back(net->Name());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"A", "B", "C", "D", "E", "F"}));
    EXPECT_EQ(dataSet->FindSubNetByPrim(host.Pad("U1-9")), nullptr);

    // The stray track of net A is a sub-net of the data set but not of the net.
    TSwapNet* netA = PinOfPad(*dataSet, host.Pad("U1-1"))->SubNet->OriginalNet;
    ASSERT_EQ(netA->SubNets.size(), 1u);
    const auto strays = std::count_if(dataSet->SubNets.begin(), dataSet->SubNets.end(),
                                      [&](TSwapSubNet* s) { return s->OriginalNet == netA; });
    EXPECT_EQ(strays, 2);

    // Primitives of pin sub-nets built from the pad carry the marker.
    EXPECT_EQ(host.Pad("U1-3")->Marker(), 9999);
}

TEST(PinSwapBuild, GroupsSortedByPinCountAndNetsReset) {
    auto data = NewDesign();
    data.schematics[0].components.push_back(Sch("U1", "U1ID",
                                                {{"1", "A", "small"},
                                                 {"2", "B", "small"},
                                                 {"3", "C", "big"},
                                                 {"4", "D", "big"},
                                                 {"5", "E", "big"},
                                                 {"6", "F", "lonely"}}));
    data.board->components.push_back(Footprint("U1", "U1ID",
                                               {{"1", 0, 0, "A"},
                                                {"2", 2, 0, "B"},
                                                {"3", 4, 0, "C"},
                                                {"4", 6, 0, "D"},
                                                {"5", 8, 0, "E"},
                                                {"6", 10, 0, "F"}}));
    ModelHost host(std::move(data));
    auto dataSet = host.Build(smPinSwap);
    ASSERT_EQ(dataSet->PinSwapGroups.size(), 2u);
    EXPECT_EQ(dataSet->PinSwapGroups[0]->ID, "big");
    EXPECT_EQ(dataSet->PinSwapGroups[1]->ID, "small");
    for (TSwapGroup* group : dataSet->PinSwapGroups) {
        for (std::size_t i = 0; i < group->SubNets.size(); ++i) {
            TSwapSubNet* subNet = group->SubNets[i];
            EXPECT_EQ(subNet->NetIndex, static_cast<std::int32_t>(i));
            EXPECT_EQ(subNet->OriginalNetIndex, static_cast<std::int32_t>(i));
            EXPECT_EQ(group->Nets[i], subNet->OriginalNet);
            EXPECT_EQ(subNet->CurrentNet(), subNet->OriginalNet);
            EXPECT_EQ(subNet->NetName(), subNet->OriginalNet->Name());
        }
    }
    // The lonely group is gone from the data set but its component still knows it.
    TSwapComponent* component = dataSet->Components[0];
    EXPECT_NE(component->PinSwapGroups.Find("LONELY"), nullptr);
    EXPECT_EQ(PinOfPad(*dataSet, host.Pad("U1-6"))->SubNet, nullptr);
    ExpectBuildInvariants(*dataSet);
}

TEST(PartSwapBuild, SubPartsBySchematicPartNumberAndSequence) {
    auto data = NewDesign();
    auto& sheet = data.schematics[0].components;
    sheet.push_back(
        Sch("U2", "U2ID", {{"1", "A", "", "p", "1"}, {"2", "B", "", "p", "2"}, {"3", "C"}}, 1, 2));
    sheet.push_back(
        Sch("U2", "U2ID", {{"4", "D", "", "P", "1"}, {"5", "E", "", "p", "2"}, {"6", "F"}}, 2, 2));
    data.board->components.push_back(Footprint("U2", "U2ID",
                                               {{"1", 0, 0, "A"},
                                                {"2", 2, 0, "B"},
                                                {"3", 4, 0, "C"},
                                                {"4", 6, 0, "D"},
                                                {"5", 8, 0, "E"},
                                                {"6", 10, 0, "F"}},
                                               false, true));
    ModelHost host(std::move(data));
    auto dataSet = host.Build(smPartSwap);
    ExpectBuildInvariants(*dataSet);
    EXPECT_TRUE(dataSet->PinSwapGroups.empty());
    ASSERT_EQ(dataSet->PartSwapGroups.size(), 1u);
    TSwapGroup* group = dataSet->PartSwapGroups[0];
    EXPECT_EQ(group->Pins.size(), 4u);
    ASSERT_EQ(group->SubParts.Count(), 2);

    struct SubPartCase {
        const char* id;
        const char* firstPad;   // sequence "1"
        const char* secondPad;  // sequence "2"
    };
    const SubPartCase subParts[] = {{"1", "U2-1", "U2-2"}, {"2", "U2-4", "U2-5"}};
    for (const SubPartCase& c : subParts) {
        SCOPED_TRACE(c.id);
        TSwapSubPart* subPart = group->SubParts.Find(c.id);
        ASSERT_NE(subPart, nullptr);
        EXPECT_EQ(subPart->SubPartNumber(), c.id);
        EXPECT_EQ(subPart->Component(), dataSet->Components[0]);
        ASSERT_EQ(subPart->SubNets.Count(), 2);
        EXPECT_EQ(subPart->SubNets.Find("1"), PinOfPad(*dataSet, host.Pad(c.firstPad))->SubNet);
        EXPECT_EQ(subPart->SubNets.Find("2"), PinOfPad(*dataSet, host.Pad(c.secondPad))->SubNet);
        for (const auto& [sequence, subNet] : subPart->SubNets) {
            EXPECT_EQ(subNet->SubPart(), subPart);
            EXPECT_EQ(subNet->PartGroup(), group);
            // Without a pin swap group a sub-net has no current net.
            EXPECT_EQ(subNet->CurrentNet(), nullptr);
        }
    }
    EXPECT_TRUE(dataSet->Components[0]->PartSwapEnabled);
    EXPECT_FALSE(dataSet->Components[0]->PinSwapEnabled);
}

// Differential pairs: the board's pairs CLK and D0 (two nets each), D1 with a third pin on
// its positive net, D2 with one pin only; device pins 6 and 7 form the pair DP5; pins 11 and
// 12 have no net and no device pair; pin 5 carries an ordinary named net.
TEST(PairSwapBuild, PairNamesLettersAndTheTwoSubNetRule) {
    auto data = NewDesign();
    data.schematics[0].components.push_back(Sch("U3", "U3ID",
                                                {{"1", "CLK_P", "", "", "", "q"},
                                                 {"2", "CLK_N", "", "", "", "q"},
                                                 {"3", "D0_P", "", "", "", "q"},
                                                 {"4", "D0_N", "", "", "", "q"},
                                                 {"5", "X", "", "", "", "q"},
                                                 {"6", "", "", "", "", "q"},
                                                 {"7", "", "", "", "", "Q"},
                                                 {"8", "D1_P", "", "", "", "q"},
                                                 {"9", "D1_P", "", "", "", "q"},
                                                 {"10", "D1_N", "", "", "", "q"},
                                                 {"11", "", "", "", "", "q"},
                                                 {"12", "", "", "", "", "q"},
                                                 {"13", "D2_P", "", "", "", "q"}}));
    data.schematics[0].components.back().device = "FPGA1";
    std::vector<PadSpec> pads;
    const char* nets[] = {"CLK_P", "CLK_N", "D0_P", "D0_N", "X", "",    "",
                          "D1_P",  "D1_P",  "D1_N", "",     "",  "D2_P"};
    for (int i = 0; i < 13; ++i) pads.push_back({std::to_string(i + 1), 2.0 * i, 0, nets[i]});
    data.board->components.push_back(Footprint("U3", "U3ID", pads, false, true));
    for (const char* pair : {"CLK", "D0", "D1", "D2"})
        data.board->differentialPairs.push_back(
            {pair, std::string(pair) + "_P", std::string(pair) + "_N"});
    ModelHost host(std::move(data));
    FakeDevice device(
        "FPGA1", {FakeDevicePin("6", "DP5", true, false), FakeDevicePin("7", "DP5", false, true),
                  FakeDevicePin("11", "", false, false)});
    device.Register();

    auto dataSet = host.Build(smPairSwap);
    ExpectBuildInvariants(*dataSet);
    ASSERT_EQ(dataSet->PartSwapGroups.size(), 1u);
    TSwapGroup* group = dataSet->PartSwapGroups[0];
    EXPECT_EQ(group->Pins.size(), 12u);  // pin 5 has a named net outside any pair

    struct PairCase {
        std::string name;
        std::vector<std::pair<std::string, std::string>> members;  // letter, pad
    };
    const PairCase kept[] = {
        // Equal letters: the later sub-net sorts before the earlier one.
        {"", {{"X", "U3-12"}, {"X", "U3-11"}}},
        {"CLK", {{"N", "U3-2"}, {"P", "U3-1"}}},
        {"D0", {{"N", "U3-4"}, {"P", "U3-3"}}},
        {"DP5", {{"N", "U3-7"}, {"P", "U3-6"}}},
    };
    ASSERT_EQ(group->SubParts.Count(), 4);
    for (int i = 0; i < 4; ++i) {
        const PairCase& c = kept[i];
        SCOPED_TRACE(c.name);
        TSwapSubPart* subPart = group->SubParts.Object(i);
        EXPECT_EQ(subPart->SubPartId, c.name);
        ASSERT_EQ(subPart->SubNets.Count(), 2);
        for (int m = 0; m < 2; ++m) {
            EXPECT_EQ(subPart->SubNets.Key(m), c.members[static_cast<std::size_t>(m)].first);
            EXPECT_EQ(subPart->SubNets.Object(m),
                      PinOfPad(*dataSet, host.Pad(c.members[static_cast<std::size_t>(m)].second))
                          ->SubNet);
        }
    }
    // D1 (three sub-nets) and D2 (one) form no sub-part, yet their pins keep pointing to it.
    for (const char* ref : {"U3-8", "U3-9", "U3-10", "U3-13"}) {
        SCOPED_TRACE(ref);
        TSwapPin* pin = PinOfPad(*dataSet, host.Pad(ref));
        ASSERT_NE(pin->SubPart, nullptr);
        EXPECT_EQ(group->SubParts.IndexOf(pin->SubPart->SubPartId), -1);
    }
    EXPECT_EQ(PinOfPad(*dataSet, host.Pad("U3-8"))->SubPart->SubNets.Count(), 3);
    EXPECT_EQ(PinOfPad(*dataSet, host.Pad("U3-5")), nullptr);
}

TEST(ComponentCollection, SwitchesIdsFilterAndIncludeAll) {
    auto data = NewDesign();
    struct Candidate {
        const char* designator;
        bool pinSwap;
        bool partSwap;
        PinSpec pin;
        bool taken;  // by Analyze (include-all off)
    };
    const Candidate candidates[] = {
        {"U1", false, false, {"1", "A", "1", "1", "1", "1"}, false},
        {"U2", false, true, {"1", "B", "1"}, false},             // part swap, pin ids only
        {"U3", false, true, {"1", "C", "", "", "", "7"}, true},  // part swap, pair ids
        {"U4", false, true, {"1", "D", "", "2"}, true},          // part swap, part ids
        {"U5", true, false, {"1", "E"}, true},                   // pin swap, no ids at all
    };
    for (const Candidate& c : candidates) {
        const std::string id = std::string("\\SHEET\\") + c.designator + "ID";
        data.schematics[0].components.push_back(Sch(c.designator, id, {c.pin}));
        data.board->components.push_back(
            Footprint(c.designator, id, {{"1", 0, 0, c.pin.net}}, c.pinSwap, c.partSwap));
    }
    ModelHost host(std::move(data));

    auto designators = [](const TSwapDataSet& dataSet) {
        std::vector<std::string> out;
        for (TSwapComponent* component : dataSet.Components) out.push_back(component->Describe());
        return out;
    };
    auto dataSet = host.NewDataSet(smPinSwap);
    dataSet->CollectComponentsStep("", false);
    std::vector<std::string> expected;
    for (const Candidate& c : candidates)
        if (c.taken) expected.push_back(c.designator);
    EXPECT_EQ(designators(*dataSet), expected);
    EXPECT_TRUE(dataSet->Components.back()->PinSwapEnabled);

    auto all = host.NewDataSet(smPinSwap);
    CollectComponents(*all, "");
    EXPECT_EQ(all->Components.size(), std::size(candidates));

    // The filter compares the last segment of the unique id, without regard to case.
    auto one = host.NewDataSet(smPinSwap);
    CollectComponents(*one, "ANY\\PATH\\u2id");
    EXPECT_EQ(designators(*one), std::vector<std::string>{"U2"});
}

TEST(LibraryCollection, ComponentsOfTheLibraryWithoutBoard) {
    auto data = NewDesign();
    design::SheetData library{"parts.lib", {}};
    library.components.push_back(Sch("U?", "LIB1", {{"1", "", "1"}}, 1, 2));
    library.components.push_back(Sch("U?", "LIB1", {{"2", "", "1"}}, 2, 2));
    library.components.push_back(Sch("R?", "LIB2", {{"1"}}));
    data.libraries.push_back(library);
    ModelHost host(std::move(data));
    const std::string path = host.App().DocumentPath("parts.lib");

    struct Case {
        std::string filter;
        std::size_t count;
    };
    for (const Case& c : {Case{"", 2}, Case{"x\\lib2", 1}, Case{"nothing", 0}}) {
        TSwapDataSet dataSet(path, smPinSwap);
        EXPECT_TRUE(dataSet.LibraryMode);
        EXPECT_EQ(dataSet.BoardRef, nullptr);
        EXPECT_TRUE(CollectComponents(dataSet, c.filter));
        EXPECT_EQ(dataSet.Components.size(), c.count) << c.filter;
        for (TSwapComponent* component : dataSet.Components) {
            EXPECT_EQ(component->PcbComponent, nullptr);
            EXPECT_EQ(component->PcbObject(), nullptr);
        }
    }
}

}  // namespace
}  // namespace tessaro::model_test
