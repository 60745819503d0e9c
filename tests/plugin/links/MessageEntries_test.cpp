// Entries the plug-in adds to the host's message panel, with their cross-probe links.
#include <gtest/gtest.h>

#include "links/Rt_ConnectedObjectFinder.h"
#include "plugin/model/ModelHost.h"

namespace tessaro::model_test {
namespace {

design::DesignData OneComponent() {
    auto data = NewDesign();
    data.schematics[0].components.push_back(Sch("U1", "U1ID", {{"1", "A", "1"}, {"2", "B", "1"}}));
    data.board->components.push_back(Footprint("U1", "U1ID", {{"1", 0, 0, "A"}, {"5", 2, 0, "B"}}));
    return data;
}

TEST(MessageEntries, InformationAndCrossProbeErrors) {
    ModelHost host(OneComponent());
    auto dataSet = host.NewDataSet(smPinSwap);
    ASSERT_NE(dataSet->ComponentMappings, nullptr);
    host::INetItem* schPin = dataSet->ComponentMappings->DM_MatchedSourceComponent(0)->DM_Pins(0);
    const std::string sheetPath = host.App().DocumentPath("model.sch");

    AddInformationMessage("Swapped U1-1 and U1-2", "C:\\boards\\model.pcb", "Pin Swapper");
    ReportUnmatchedPad(*dataSet, host.Pad("U1-5"), host.Board().ComponentObject("U1"));
    ReportUnswappableSchPin(schPin);

    struct Expected {
        std::string messageClass, text, source, document, process, parameters;
        int image;
    };
    const Expected expected[] = {
        {"[Information]", "Swapped U1-1 and U1-2", "Pin Swapper", "model.pcb", "", "", 27},
        {"[Error]", "PCB Pin 5 cannot be matched to a schematic pin", "Dynamic Net/Pin Allocation",
         "model.pcb", "PCB:CrossProbeNotify", "TargetFileName=model.pcb|Kind=Pad|Id=U1-5", 73},
        {"[Error]", "Schematic Pin U1-1 cannot be swapped on Schematic",
         "Dynamic Net/Pin Allocation", "model.sch", "SCH:CrossProbeNotify",
         "FullDocumentPath=" + sheetPath +
             "|Kind=NetlistObject|ObjectKind=Pin|TargetFileName=model.sch|PrimaryId=U1-1",
         73},
    };
    const auto& entries = host.App().Messages();
    ASSERT_EQ(entries.size(), std::size(expected));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(entries[i].messageClass, expected[i].messageClass);
        EXPECT_EQ(entries[i].text, expected[i].text);
        EXPECT_EQ(entries[i].source, expected[i].source);
        EXPECT_EQ(entries[i].document, expected[i].document);
        EXPECT_EQ(entries[i].process, expected[i].process);
        EXPECT_EQ(entries[i].parameters, expected[i].parameters);
        EXPECT_EQ(entries[i].image, expected[i].image);
    }
}

TEST(MessageEntries, AFailingMessagePanelEndsTheCaller) {
    ModelHost host(OneComponent());
    host.App().Faults().FailOn("IMessagesManager.AddMessage");
    EXPECT_THROW(AddInformationMessage("x", "model.pcb", "Tessaro"), host::HostError);
}

}  // namespace
}  // namespace tessaro::model_test
