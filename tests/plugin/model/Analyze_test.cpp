// The analysis before optimising: what the person is told and asked, in dialogs or in the
// message panel, and the status bar around it.
#include <gtest/gtest.h>

#include <algorithm>

#include "model/Analyze.h"
#include "plugin/model/ModelHost.h"

namespace tessaro::model_test {
namespace {

using platform::Button;

// U1's pins 1 and 2 swap freely; pins 4 and 5 share net C, which the schematic test
// refuses; `unmatched` pads have no schematic pin.
design::DesignData AnalyzeDesign(int unmatched, bool sharedNet, bool allPins = false,
                                 bool whereSchematicAllows = true) {
    auto data = NewDesign(allPins, whereSchematicAllows);
    std::vector<PinSpec> pins = {{"1", "A", "1"}, {"2", "B", "1"}};
    std::vector<PadSpec> pads = {{"1", 0, 0, "A"}, {"2", 2, 0, "B"}};
    if (sharedNet) {
        pins.push_back({"4", "C", "2"});
        pins.push_back({"5", "C", "2"});
        pads.push_back({"4", 4, 0, "C"});
        pads.push_back({"5", 6, 0, "C"});
    }
    for (int i = 0; i < unmatched; ++i) pads.push_back({std::to_string(8 + i), 10.0 + 2 * i, 0});
    data.schematics[0].components.push_back(Sch("U1", "U1ID", pins));
    data.board->components.push_back(Footprint("U1", "U1ID", pads));
    return data;
}

std::vector<hostapp::MessageEntry> EntriesOfClass(ModelHost& host, const std::string& cls) {
    std::vector<hostapp::MessageEntry> out;
    for (const auto& entry : host.App().Messages())
        if (entry.messageClass == cls) out.push_back(entry);
    return out;
}

TEST(Analyze, AsksWhetherToContinueWithTheCounts) {
    struct Case {
        const char* name;
        int unmatched;
        bool sharedNet;
        Button answer;
        std::string question;
    };
    const Case cases[] = {
        {"both kinds, yes", 2, true, Button::Yes,
         "There are \r\r2 Pins that could not be matched to Schematic Pins\r\r"
         "2 Pins that cannot be swapped based on current Project Settings\r\rConfirm Continue?"},
        {"both kinds, no", 2, true, Button::No,
         "There are \r\r2 Pins that could not be matched to Schematic Pins\r\r"
         "2 Pins that cannot be swapped based on current Project Settings\r\rConfirm Continue?"},
        {"one unmatched pad", 1, false, Button::Yes,
         "There are \r\r1 Pins that could not be matched to Schematic Pins\r\rConfirm Continue?"},
        {"refused pins only", 0, true, Button::Yes,
         "There are \r\r2 Pins that cannot be swapped based on current Project Settings\r\r"
         "Confirm Continue?"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ModelHost host(AnalyzeDesign(c.unmatched, c.sharedNet));
        host.person.ExpectDialog("Net/Pin Optimizer", c.answer, c.question);
        bool analyzed = false;
        auto dataSet = host.Build(smPinSwap, &analyzed);
        EXPECT_EQ(analyzed, c.answer == Button::Yes);
        EXPECT_EQ(host.person.Remaining(), 0u);
        EXPECT_EQ(dataSet->UnmatchedPins, c.unmatched);
        EXPECT_EQ(dataSet->UnswappablePins, c.sharedNet ? 2 : 0);
        // Each pad and pin also has its cross-probe entry in the message panel.
        EXPECT_EQ(EntriesOfClass(host, "[Error]").size(),
                  static_cast<std::size_t>(c.unmatched + (c.sharedNet ? 2 : 0)));
        EXPECT_EQ(host.App().CursorDepth(), 0);
    }
}

TEST(Analyze, NoQuestionWithoutProblems) {
    ModelHost host(AnalyzeDesign(0, false));
    std::vector<std::pair<int, std::string>> statuses;
    host.App().OnStatus([&](int code, const std::string& text) {
        if (code == 2 || code < 0) statuses.emplace_back(code, text);
    });
    bool analyzed = false;
    auto dataSet = host.Build(smPinSwap, &analyzed);
    EXPECT_TRUE(analyzed);
    const std::vector<std::pair<int, std::string>> expected = {
        {-3, ""},
        {2, "Building Swap Map..."},
        {2, "Analyzing Nets..."},
        {2, "Finding Closest Sub-Net Neighbors..."},
        {-4, ""},
    };
    EXPECT_EQ(statuses, expected);
    EXPECT_EQ(host.App().CursorDepth(), 0);
}

TEST(Analyze, MessagePanelModeWarnsInsteadOfAsking) {
    ModelHost host(AnalyzeDesign(2, true));
    auto dataSet = host.NewDataSet(smPinSwap);
    dataSet->ReportToMessages = true;
    EXPECT_TRUE(Analyze(*dataSet, "", true));  // the scripted person expects no dialog

    const auto warnings = EntriesOfClass(host, "Warning");
    ASSERT_EQ(warnings.size(), 2u);
    EXPECT_EQ(warnings[0].text, "2 Pins could not be matched to Schematic Pins");
    EXPECT_EQ(warnings[1].text, "2 Pins can not be swapped based on current Project Settings");
    for (const auto& entry : warnings) {
        EXPECT_EQ(entry.source, "Tessaro");
        EXPECT_EQ(entry.document, "model.pcb");
        EXPECT_EQ(entry.process, "");
        EXPECT_EQ(entry.parameters, "");
        EXPECT_EQ(entry.image, 7);
    }
}

TEST(Analyze, ProjectWithoutSwappingReportsAndGoesOn) {
    const std::string error =
        "No Swapping is allowed under current Project Settings.\r\rSwapping can be enabled in "
        "the Project Options Form.";
    {
        ModelHost host(AnalyzeDesign(0, false, false, false));
        host.person.ExpectDialog("Error", Button::OK, error)
            .ExpectDialog("Net/Pin Optimizer", Button::Yes,
                          "There are \r\r2 Pins that cannot be swapped based on current Project "
                          "Settings\r\rConfirm Continue?");
        bool analyzed = false;
        auto dataSet = host.Build(smPinSwap, &analyzed);
        EXPECT_TRUE(analyzed);
        EXPECT_EQ(host.person.Remaining(), 0u);
        EXPECT_TRUE(dataSet->PinSwapGroups.empty());
    }
    {
        ModelHost host(AnalyzeDesign(0, false, false, false));
        auto dataSet = host.NewDataSet(smPinSwap);
        dataSet->ReportToMessages = true;
        EXPECT_TRUE(Analyze(*dataSet, "", true));
        const auto errors = EntriesOfClass(host, "Error");
        ASSERT_EQ(errors.size(), 1u);
        // Only the first carriage return goes in the panel.
        EXPECT_EQ(errors[0].text,
                  "No Swapping is allowed under current Project Settings.\rSwapping can be "
                  "enabled in the Project Options Form.");
        EXPECT_EQ(errors[0].image, 8);
        EXPECT_EQ(errors[0].source, "Tessaro");
        EXPECT_EQ(EntriesOfClass(host, "Warning").size(), 1u);
    }
}

TEST(Analyze, NoComponentEnabledEndsTheAnalysis) {
    auto dialogDesign = [] {
        auto data = AnalyzeDesign(0, false);
        data.board->components[0].pinSwap = false;
        return data;
    };
    {
        ModelHost host(dialogDesign());
        host.person.ExpectDialog(
            "Error", Button::OK,
            "No Components have been enabled for Swapping in PCB Document\r\rmodel.pcb");
        bool analyzed = true;
        host.Build(smPinSwap, &analyzed);
        EXPECT_FALSE(analyzed);
        EXPECT_EQ(host.person.Remaining(), 0u);
        EXPECT_EQ(host.App().CursorDepth(), 0);
    }
    {
        ModelHost host(dialogDesign());
        auto dataSet = host.NewDataSet(smPinSwap);
        dataSet->ReportToMessages = true;
        EXPECT_FALSE(Analyze(*dataSet, "", false));
        const auto errors = EntriesOfClass(host, "Error");
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_EQ(errors[0].text,
                  "No Components have been enabled for Swapping in PCB Document\rmodel.pcb");
    }
}

TEST(Analyze, UnlinkedBoardComponentIsAWarning) {
    auto data = AnalyzeDesign(0, false);
    data.board->components.push_back(Footprint("J9", "J9ID", {{"1", 20, 0}}));
    ModelHost host(std::move(data));
    host.person.ExpectDialog("Warning", Button::OK,
                             "Not all PCB components are linked to schematic components.");
    bool analyzed = false;
    host.Build(smPinSwap, &analyzed);
    EXPECT_TRUE(analyzed);
    EXPECT_EQ(host.person.Remaining(), 0u);
}

TEST(Analyze, HostFailureRestoresCursorAndStatus) {
    ModelHost host(AnalyzeDesign(0, false));
    std::vector<int> codes;
    host.App().OnStatus([&](int code, const std::string&) {
        if (code < 0) codes.push_back(code);
    });
    host.App().Faults().FailOn("IPCB_Net.ConnectedPieces");
    auto dataSet = host.NewDataSet(smPinSwap);
    EXPECT_THROW(Analyze(*dataSet, "", true), host::HostError);
    EXPECT_EQ(codes, (std::vector<int>{-3, -4}));
    EXPECT_EQ(host.App().CursorDepth(), 0);
}

TEST(Analyze, WithCostEverySwapSubNetHasOneNetHotSpotPerSlot) {
    ModelHost host(AnalyzeDesign(0, false));
    auto dataSet = host.NewDataSet(smPinSwap);
    ASSERT_TRUE(Analyze(*dataSet, "", false));
    ASSERT_FALSE(dataSet->SwapSubNets.empty());
    for (TSwapSubNet* subNet : dataSet->SwapSubNets)
        EXPECT_EQ(subNet->NetHotSpots.size(), subNet->PinGroup()->Nets.size());
}

}  // namespace
}  // namespace tessaro::model_test
