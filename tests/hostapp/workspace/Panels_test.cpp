// What the person at the screen sees of a command: the message panel and the status bar.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "host/Client.h"
#include "host/Workspace.h"
#include "hostapp/HostApplication.h"
#include "hostapp/workspace/SmallDesign.h"

namespace workspace_test {
namespace {

using hostapp::HostApplication;
using hostapp::MessageEntry;

TEST(MessagePanel, EntriesReachTheListAndEveryObserver) {
    HostApplication app(SmallDesign(), Folder);
    std::vector<MessageEntry> first, second;
    app.OnMessage([&](const MessageEntry& e) { first.push_back(e); });
    app.OnMessage([&](const MessageEntry& e) { second.push_back(e); });

    auto* manager = app.Workspace()->DM_MessagesManager();
    ASSERT_NE(manager, nullptr);
    manager->AddMessage(u"[Error]", u"PCB Pin 5 cannot be matched to a schematic pin",
                        u"Dynamic Net/Pin Allocation", u"demo.pcb", u"PCB:CrossProbeNotify",
                        u"TargetFileName=demo.pcb|Kind=Pad|Id=U1-5", 73);
    manager->AddMessage(u"[Information]", u"Swapped \u00b5", u"Tessaro", u"demo.pcb", u"", u"", 27);

    ASSERT_EQ(app.Messages().size(), 2u);
    const MessageEntry& entry = app.Messages()[0];
    EXPECT_EQ(entry.messageClass, "[Error]");
    EXPECT_EQ(entry.text, "PCB Pin 5 cannot be matched to a schematic pin");
    EXPECT_EQ(entry.source, "Dynamic Net/Pin Allocation");
    EXPECT_EQ(entry.document, "demo.pcb");
    EXPECT_EQ(entry.process, "PCB:CrossProbeNotify");
    EXPECT_EQ(entry.parameters, "TargetFileName=demo.pcb|Kind=Pad|Id=U1-5");
    EXPECT_EQ(entry.image, 73);
    EXPECT_EQ(app.Messages()[1].text, "Swapped \xc2\xb5");

    ASSERT_EQ(first.size(), 2u);
    ASSERT_EQ(second.size(), 2u);
    EXPECT_EQ(first[0].parameters, entry.parameters);
    EXPECT_EQ(second[1].image, 27);
}

TEST(StatusBar, PanesKeepTheirTextsAndObserversSeeEveryCode) {
    HostApplication app(SmallDesign(), Folder);
    std::vector<std::pair<int, std::string>> seen;
    app.OnStatus([&](int code, const std::string& text) { seen.emplace_back(code, text); });
    auto* client = app.Client();
    client->UpdateStatus(host::eStatusBeginPhase, u"");
    client->UpdateStatus(host::eProgressStart, u"Optimizing");
    client->UpdateStatus(host::eProgressStep, u"");
    client->UpdateStatus(host::eStatusPane2, u"Finding Closest Sub-Net Neighbors...");
    client->UpdateStatus(host::eStatusPane3, u"Done");
    client->UpdateStatus(host::eStatusPane3, u"");

    const std::vector<std::pair<int, std::string>> expected = {
        {-3, ""},    {-5, "Optimizing"},
        {-7, ""},    {2, "Finding Closest Sub-Net Neighbors..."},
        {3, "Done"}, {3, ""}};
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(app.StatusPane(1), "");
    EXPECT_EQ(app.StatusPane(2), "Finding Closest Sub-Net Neighbors...");
    EXPECT_EQ(app.StatusPane(3), "");
    EXPECT_EQ(app.StatusPane(-5), "");  // progress captions are not panes
}

}  // namespace
}  // namespace workspace_test
