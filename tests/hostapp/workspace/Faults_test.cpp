// Injected faults: a chosen host operation raises host::HostError with the chosen status on
// the chosen call, and leaves the host as it was.
#include <gtest/gtest.h>

#include <vector>

#include "host/Sch.h"
#include "host/Workspace.h"
#include "hostapp/HostApplication.h"
#include "hostapp/workspace/SmallDesign.h"
#include "platform/Platform.h"

namespace workspace_test {
namespace {

using hostapp::FaultInjector;
using hostapp::HostApplication;
using platform::Widen;

struct FaultCase {
    const char* name;
    int onCall;
    bool repeat;
    std::vector<bool> failures;  // which of the next calls raise
};

class FaultSchedule : public testing::TestWithParam<FaultCase> {};

TEST_P(FaultSchedule, RaisesOnTheChosenCalls) {
    const auto& c = GetParam();
    HostApplication app(SmallDesign(), Folder);
    auto* project = app.Workspace()->DM_GetDocumentFromPath(Widen(app.BoardPath()))->DM_Project();
    const host::Status status = static_cast<host::Status>(0x80070005);
    app.Faults().FailOn("IProject.DM_Compile", c.onCall, c.repeat, status);
    int passed = 0;
    for (std::size_t call = 0; call < c.failures.size(); ++call) {
        SCOPED_TRACE(call + 1);
        if (c.failures[call]) {
            try {
                project->DM_Compile();
                ADD_FAILURE() << "no fault raised";
            } catch (const host::HostError& e) {
                EXPECT_EQ(e.status(), status);
                EXPECT_NE(std::string(e.what()).find("IProject.DM_Compile"), std::string::npos);
            }
        } else {
            EXPECT_TRUE(project->DM_Compile());
            ++passed;
        }
    }
    EXPECT_EQ(app.Faults().Calls("IProject.DM_Compile"), passed);
}

const FaultCase kFaultCases[] = {
    {"NextCall", 1, false, {true, false, false}},
    {"ThirdCall", 3, false, {false, false, true, false}},
    {"EveryCallFromTheSecond", 2, true, {false, true, true, true}},
    {"ZeroMeansTheNextCall", 0, false, {true, false}},
};

INSTANTIATE_TEST_SUITE_P(Workspace, FaultSchedule, testing::ValuesIn(kFaultCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Faults, CountFromWhenTheRuleWasSet) {
    FaultInjector faults;
    faults.Check("IOptionStore.WriteString");
    faults.Check("IOptionStore.WriteString");
    faults.FailOn("IOptionStore.WriteString", 1);
    EXPECT_THROW(faults.Check("IOptionStore.WriteString"), host::HostError);
    EXPECT_NO_THROW(faults.Check("IOptionStore.WriteString"));
    EXPECT_EQ(faults.Calls("IOptionStore.WriteString"), 3);
    EXPECT_EQ(faults.Calls("IOptionStore.ReadString"), 0);
    faults.FailOn("IOptionStore.WriteString", 1, true);
    faults.Clear();
    EXPECT_NO_THROW(faults.Check("IOptionStore.WriteString"));
    EXPECT_EQ(faults.Calls("IOptionStore.WriteString"), 1);
}

TEST(Faults, AFailedWriteChangesNothing) {
    HostApplication app(SmallDesign(), Folder);
    auto* project = app.Workspace()->DM_GetDocumentFromPath(Widen(app.BoardPath()))->DM_Project();
    auto* pin = dynamic_cast<host::ISch_Pin*>(
        project->DM_DocumentFlattened()->DM_Components(0)->DM_Pins(0)->DM_SchObject());
    ASSERT_NE(pin, nullptr);
    app.Faults().FailOn("ISch_Pin.SetSwapIdPin");
    EXPECT_THROW(pin->SetSwapIdPin(u"9"), host::HostError);
    EXPECT_EQ(pin->SwapIdPin(), u"1");
    EXPECT_EQ(app.Snapshot().schematics[0].components[0].pins[0].pinSwap, "1");

    app.Faults().FailOn("IMessagesManager.AddMessage");
    EXPECT_THROW(app.Workspace()->DM_MessagesManager()->AddMessage(u"[Information]", u"x",
                                                                   u"Tessaro", u"", u"", u"", 27),
                 host::HostError);
    EXPECT_TRUE(app.Messages().empty());
}

// The operations the workspace, projects, schematic and client name for fault injection.
TEST(Faults, HostOperationsNameThemselves) {
    DesignData design = SmallDesign();
    design.project->compiled = false;
    HostApplication app(design, Folder);
    auto& faults = app.Faults();
    auto* workspace = app.Workspace();
    auto* document = workspace->DM_GetDocumentFromPath(Widen(app.BoardPath()));
    auto* project = document->DM_Project();
    bool first = false, second = false;
    project->DM_CompileEx(0, first, second);
    project->DM_DocumentFlattened()->DM_Components(0)->DM_Refresh();
    project->DM_ComponentMappings(Widen(app.BoardPath()));
    document->DM_UpdateDocument();
    app.Client()->GetDocumentByPath(Widen(app.BoardPath()))->SetModified(true);
    app.Client()->StartServer(u"SCH");
    app.Client()->GetSchServer()->GetCurrentSchDocument();
    app.Client()->GetOptionStore()->ReadString(u"Tessaro", u"Key", u"");
    for (const char* operation :
         {"IWorkspace.DM_GetDocumentFromPath", "IProject.DM_CompileEx",
          "IProject.DM_DocumentFlattened", "IComponent.DM_Refresh", "IProject.DM_ComponentMappings",
          "IDocument.DM_UpdateDocument", "IClient.GetDocumentByPath", "IServerDocument.SetModified",
          "IClient.StartServer", "ISch_ServerInterface.GetCurrentSchDocument",
          "IOptionStore.ReadString"}) {
        EXPECT_EQ(faults.Calls(operation), 1) << operation;
        faults.FailOn(operation);
    }
    EXPECT_THROW(project->DM_CompileEx(0, first, second), host::HostError);
    EXPECT_THROW(project->DM_ComponentMappings(Widen(app.BoardPath())), host::HostError);
    EXPECT_THROW(app.Client()->GetSchServer()->GetCurrentSchDocument(), host::HostError);
    EXPECT_THROW(workspace->DM_GetDocumentFromPath(u""), host::HostError);
}

}  // namespace
}  // namespace workspace_test
