// The swap information of schematic pins: normalisation on read, the three component texts,
// writing them back, counting entries and the paste checks.
#include <gtest/gtest.h>

#include "config/Rt_SchematicPinAndPartSwap.h"
#include "model/Optimizer_Data.h"
#include "plugin/config/SchFakes.h"

namespace tessaro {
namespace {

using testing::FakeNetItem;
using testing::FakeProjectComponent;
using testing::FakeSchComponent;
using testing::FakeSchPin;
using testing::PinAttributes;

TEST(SwapAttributes, NormaliseOnRead) {
    struct Case {
        std::string stored;
        std::string pinSwapId;  // the pin swap id keeps "0"
        std::string otherIds;   // part swap, sequence and pair swap ids read "0" as empty
    };
    const Case cases[] = {
        {" 3 ", "3", "3"},
        {"0", "0", ""},
        {"\t0\r\n", "0", ""},
        {" 00 ", "00", "00"},
        {"", "", ""},
        {"\x01"
         "A B\x1f",
         "A B", "A B"},
        {"0 1", "0 1", "0 1"},
    };
    for (const Case& c : cases) {
        FakeSchPin pin({"1", c.stored, c.stored, c.stored, c.stored});
        FakeNetItem item("1", &pin);
        EXPECT_EQ(ReadPinSwapId(&item), c.pinSwapId) << "[" << c.stored << "]";
        EXPECT_EQ(ReadPartSwapId(&item), c.otherIds) << "[" << c.stored << "]";
        EXPECT_EQ(ReadPartSequenceId(&item), c.otherIds) << "[" << c.stored << "]";
        EXPECT_EQ(ReadPairSwapId(&item), c.otherIds) << "[" << c.stored << "]";
    }
}

TEST(SwapAttributes, ProjectPinWithoutSchematicPinReadsEmpty) {
    FakeSchComponent notAPin({});
    FakeNetItem component("1", &notAPin);
    FakeNetItem nothing("1", nullptr);
    for (FakeNetItem* item : {&component, &nothing}) {
        EXPECT_EQ(ReadPinSwapId(item), "");
        EXPECT_EQ(ReadPartSwapId(item), "");
        EXPECT_EQ(ReadPartSequenceId(item), "");
        EXPECT_EQ(ReadPairSwapId(item), "");
    }
    EXPECT_EQ(ReadPinSwapId(nullptr), "");
}

TEST(ComponentSwapTexts, FollowPinOrderAndEntryRules) {
    FakeSchComponent component({
        {"1", " 3 ", "1", "2", ""},
        {"2", "0", "0", "1", "D1"},  // part id 0 is none; the sequence alone gives PartPin_
        {"3", "", "", "", ""},
        {"A7", "", "2", "", "0"},
    });
    std::string pin, part, pair;
    ReadComponentSwapData(&component, pin, part, pair);
    EXPECT_EQ(pin, "Pin_1=3|Pin_2=0");
    EXPECT_EQ(part, "Part_1=1|PartPin_1=2|PartPin_2=1|Part_A7=2");
    EXPECT_EQ(pair, "Pair_2=D1");
    EXPECT_EQ(ReadComponentPinSwapData(&component), pin);
    EXPECT_EQ(ReadComponentPartSwapData(&component), part);
    EXPECT_EQ(ReadComponentPairSwapData(&component), pair);

    FakeSchComponent empty({{"1", "", "0", "0", " "}});
    ReadComponentSwapData(&empty, pin, part, pair);
    EXPECT_EQ(pin + part + pair, "");
}

TEST(ComponentSwapTexts, ApplyWritesEveryPin) {
    struct Case {
        const char* name;
        void (*apply)(host::ISch_Component*, const std::string&);
        std::string text;
        // Each pin's attributes after the write, pins "1", "2", "3" and "a7".
        std::vector<PinAttributes> after;
    };
    const std::vector<PinAttributes> before = {{"1", "5", "9", "9", "P"},
                                               {"2", "6", "9", "9", "P"},
                                               {"3", "7", "9", "9", "P"},
                                               {"a7", "8", "9", "9", "P"}};
    const Case cases[] = {
        {"pins named lose nothing, the rest is cleared",
         ApplyPinSwapData,
         "Pin_1=8|pin_2= 9 |PIN_A7=x",
         {{"1", "8", "9", "9", "P"},
          {"2", "9", "9", "9", "P"},
          {"3", "", "9", "9", "P"},
          {"a7", "x", "9", "9", "P"}}},
        {"the first entry of a name wins",
         ApplyPinSwapData,
         "Pin_1=1|Pin_1=2",
         {{"1", "1", "9", "9", "P"},
          {"2", "", "9", "9", "P"},
          {"3", "", "9", "9", "P"},
          {"a7", "", "9", "9", "P"}}},
        {"part ids and sequence ids apart",
         ApplyPartSwapData,
         "Part_1=2|PartPin_1=3|PartPin_3=1",
         {{"1", "5", "2", "3", "P"},
          {"2", "6", "", "", "P"},
          {"3", "7", "", "1", "P"},
          {"a7", "8", "", "", "P"}}},
        {"the empty text clears",
         ApplyPairSwapData,
         "",
         {{"1", "5", "9", "9", ""},
          {"2", "6", "9", "9", ""},
          {"3", "7", "9", "9", ""},
          {"a7", "8", "9", "9", ""}}},
    };
    for (const Case& c : cases) {
        FakeSchComponent component(before);
        c.apply(&component, c.text);
        for (std::size_t i = 0; i < c.after.size(); ++i) {
            const PinAttributes& got = component.At(i);
            const PinAttributes& want = c.after[i];
            EXPECT_EQ(got.pinSwap, want.pinSwap) << c.name << " pin " << want.designator;
            EXPECT_EQ(got.partSwap, want.partSwap) << c.name << " pin " << want.designator;
            EXPECT_EQ(got.sequence, want.sequence) << c.name << " pin " << want.designator;
            EXPECT_EQ(got.pairSwap, want.pairSwap) << c.name << " pin " << want.designator;
        }
    }
}

TEST(ComponentSwapTexts, ReadAfterApplyGivesTheTextBack) {
    FakeSchComponent source(
        {{"1", "1", "1", "1", "D"}, {"2", "1", "2", "1", "D"}, {"3", "", "", "", ""}});
    std::string pin, part, pair;
    ReadComponentSwapData(&source, pin, part, pair);
    FakeSchComponent target(
        {{"1", "", "", "", ""}, {"2", "", "", "", ""}, {"3", "4", "4", "4", "4"}});
    ApplyPinSwapData(&target, pin);
    ApplyPartSwapData(&target, part);
    ApplyPairSwapData(&target, pair);
    std::string pin2, part2, pair2;
    ReadComponentSwapData(&target, pin2, part2, pair2);
    EXPECT_EQ(pin2, pin);
    EXPECT_EQ(part2, part);
    EXPECT_EQ(pair2, pair);
}

TEST(ComponentSwapTexts, CountEntriesByPrefix) {
    struct Case {
        std::string text;
        std::string prefix;
        int count;
    };
    const Case cases[] = {
        {"Part_1=1|PartPin_1=1|PartPin_2=2", "Part_", 1},
        {"Part_1=1|PartPin_1=1|PartPin_2=2", "PartPin_", 2},
        {"pin_1=1|PIN_2=2|Pins=3|Pin=4", "Pin_", 2},
        {"Pin_1=1|Flag|=2", "Pin_", 1},
        {"", "Pin_", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CountSwapEntries(c.text, c.prefix), c.count) << c.text << " / " << c.prefix;
    EXPECT_EQ(PartSwapCount("Part_1=1|PartPin_1=1|PartPin_2=2"), 2);
    EXPECT_EQ(PartSwapCount("Part_1=1|Part_2=1|PartPin_2=2"), 2);
    EXPECT_EQ(PinSwapCount("Pin_1=1|Pin_2=1|Pair_1=x"), 2);
}

TEST(ComponentSwapTexts, PasteChecksNameOnlyExistingPins) {
    FakeProjectComponent target({"1", "2", "A7"});
    struct Case {
        bool (*check)(host::IComponent*, const std::string&);
        std::string text;
        bool pastes;
    };
    const Case cases[] = {
        {CanPastePinSwapData, "", true},
        {CanPastePinSwapData, "Pin_1=1|pin_a7=2", true},
        {CanPastePinSwapData, "Pin_1=1|Pin_9=2", false},
        {CanPastePinSwapData, "Part_9=1", true},  // only Pin_ entries are checked
        {CanPastePartSwapData, "", true},
        {CanPastePartSwapData, "Part_2=1|PartPin_9=1", true},  // PartPin_ is not checked
        {CanPastePartSwapData, "Part_9=1", false},
    };
    for (const Case& c : cases) EXPECT_EQ(c.check(&target, c.text), c.pastes) << c.text;
}

TEST(ConfigurationState, FlagsFollowTheCurrentText) {
    TSwapDataSet dataSet("/nowhere/board.pcb", smPinSwap);
    TSwapComponent& component = *dataSet.Make<TSwapComponent>(&dataSet);
    component.InitialPinSwapData = "Pin_1=1";
    struct Case {
        std::string text;
        bool has;
        bool modified;
    };
    const Case cases[] = {
        {"Pin_1=1", true, false},
        {"pin_1=1", true, true},  // exact comparison
        {"", false, true},
    };
    for (const Case& c : cases) {
        SetPinSwapData(component, c.text);
        EXPECT_EQ(component.PinSwapData, c.text);
        EXPECT_EQ(component.HasPinSwapData, c.has) << c.text;
        EXPECT_EQ(component.PinSwapDataModified, c.modified) << c.text;
    }
    component.InitialPairSwapData = "Pair_1=1";
    component.PairSwapData = "Pair_1=1";
    SetPartSwapData(component, "Part_1=1");
    EXPECT_TRUE(component.PartSwapDataModified);
    RecomputeSwapDataFlags(component);
    EXPECT_TRUE(component.HasPairSwapData);
    EXPECT_FALSE(component.PairSwapDataModified);
}

TEST(SwapIdList, SortedWithoutCaseFirstPinOwnsTheRecord) {
    FakeSchComponent component(
        {{"b", "", "1", "1", ""}, {"A", "", "2", "3", "P1"}, {"a", "", "7", "7", "7"}});
    TSwapIDList list = TSwapIDList::FromComponent(&component);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.At(0).Designator, "A");
    EXPECT_EQ(list.At(1).Designator, "b");
    const TSwapID* a = list.Find("a");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->PartSwapId, "2");
    EXPECT_EQ(a->PartSequenceId, "3");
    EXPECT_EQ(a->PairSwapId, "P1");
    EXPECT_EQ(list.Find("c"), nullptr);
}

}  // namespace
}  // namespace tessaro
