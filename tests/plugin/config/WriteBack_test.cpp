// Configuration state of a component read from, and written back to, the schematic of a
// design opened in the stand-in host.
#include <gtest/gtest.h>

#include "config/Rt_SchematicPinAndPartSwap.h"
#include "frame/HostAccess.h"
#include "model/Analyze.h"
#include "plugin/model/ModelHost.h"

namespace tessaro::model_test {
namespace {

// U2 has two sub-parts on two sheets.
design::DesignData TwoSheetDesign() {
    auto data = NewDesign();
    data.schematics[0].components.push_back(
        Sch("U2", "U2ID", {{"1", "A", "1", "a", "1"}, {"2", "B", "1"}}, 1, 2));
    data.schematics.push_back(design::SheetData{"second.sch", {}});
    data.schematics[1].components.push_back(
        Sch("U2", "U2ID", {{"3", "C", "2", "", "", "D"}, {"4", "D", "2"}}, 2, 2));
    data.board->components.push_back(Footprint(
        "U2", "U2ID", {{"1", 0, 0, "A"}, {"2", 2, 0, "B"}, {"3", 4, 0, "C"}, {"4", 6, 0, "D"}}));
    return data;
}

const design::SchPinData& StoredPin(const design::DesignData& data, std::size_t sheet,
                                    std::size_t pin) {
    return data.schematics[sheet].components[0].pins[pin];
}

TEST(ConfigurationWriteBack, ReadsEverySubPartAndWritesOnlyModifiedTexts) {
    ModelHost host(TwoSheetDesign());
    auto dataSet = host.NewDataSet(smPinSwap);
    ASSERT_TRUE(CollectComponents(*dataSet, ""));
    ASSERT_EQ(dataSet->Components.size(), 1u);
    TSwapComponent& component = *dataSet->Components[0];

    LoadComponentSwapData(component);
    EXPECT_EQ(component.InitialPinSwapData, "Pin_1=1|Pin_2=1|Pin_3=2|Pin_4=2");
    EXPECT_EQ(component.InitialPartSwapData, "Part_1=a|PartPin_1=1");
    EXPECT_EQ(component.InitialPairSwapData, "Pair_3=D");
    EXPECT_EQ(component.PinSwapData, component.InitialPinSwapData);
    EXPECT_TRUE(component.HadPinSwapData && component.HadPartSwapData && component.HadPairSwapData);
    EXPECT_FALSE(component.PinSwapDataModified || component.PartSwapDataModified ||
                 component.PairSwapDataModified);

    SetPinSwapData(component, "Pin_1=3|Pin_3=3");
    SetPairSwapData(component, "");
    component.PartSwapData = "";  // changed without the flag: must not be written
    WriteComponentSwapData(component);

    const auto stored = host.App().Snapshot();
    struct Expected {
        std::size_t sheet, pin;
        std::string pinSwap, partSwap, sequence, pairSwap;
    };
    const Expected expected[] = {
        {0, 0, "3", "a", "1", ""},
        {0, 1, "", "", "", ""},
        {1, 0, "3", "", "", ""},
        {1, 1, "", "", "", ""},
    };
    for (const Expected& e : expected) {
        const auto& pin = StoredPin(stored, e.sheet, e.pin);
        SCOPED_TRACE(pin.designator);
        EXPECT_EQ(pin.pinSwap, e.pinSwap);
        EXPECT_EQ(pin.partSwap, e.partSwap);
        EXPECT_EQ(pin.sequence, e.sequence);
        EXPECT_EQ(pin.pairSwap, e.pairSwap);
    }

    // Both sheets are modified and the workspace told once per placed sub-part.
    for (const char* sheet : {"model.sch", "second.sch"}) {
        SCOPED_TRACE(sheet);
        host::IServerDocument* document =
            Client()->GetDocumentByPath(W(host.App().DocumentPath(sheet)));
        ASSERT_NE(document, nullptr);
        EXPECT_TRUE(document->Modified());
        EXPECT_EQ(host.App().DocumentUpdates(sheet), 1);
    }
    EXPECT_FALSE(Client()->GetDocumentByPath(W(host.BoardPath()))->Modified());
}

TEST(ConfigurationWriteBack, MarkingADocumentThatIsNotOpenDoesNothing) {
    ModelHost host(TwoSheetDesign());
    MarkDocumentModified(std::string("/nowhere/else.sch"));
    EXPECT_EQ(host.App().DocumentUpdates("model.sch"), 0);
}

}  // namespace
}  // namespace tessaro::model_test
