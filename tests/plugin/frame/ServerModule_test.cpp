// The server module as the host sees it: made by the factory, identity and lifetime, its
// operations, the process control, idle processing, and command dispatch and checks.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "FakeClient.h"
#include "frame/HostAccess.h"
#include "frame/Main_Tessaro.h"
#include "host/Plugin.h"
#include "platform/Person.h"
#include "platform/Platform.h"
#include "ui/Application.h"

namespace tessaro {
namespace {

using platform::Button;
using testing::Counted;
using testing::FakeClient;
using testing::FakeDocument;
using testing::FakeSchDocument;
using testing::FakeSchServer;
using testing::FakeView;
using testing::StatusCall;

class ServerModuleTest : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::ResetPlatform();
        platform::SetCurrentPerson(&person);
        ASSERT_EQ(CreateServerModule(&client, &module), host::S_OK);
        ASSERT_NE(module, nullptr);
        ASSERT_EQ(module->GetCommandLauncher(&launcher), host::S_OK);
    }
    void TearDown() override {
        if (module) module->Release();
        platform::ResetPlatform();
    }

    struct CheckResult {
        host::Status status;
        std::int32_t enabled, checked, visible;
        std::string caption, image;
    };
    CheckResult Check(const char* command, const char* parameters,
                      host::IServerDocumentView* context) {
        CheckResult r{};
        r.enabled = r.checked = r.visible = 12345;  // the launcher must set every flag
        char caption[host::CheckTextSize] = "stale caption";
        char image[host::CheckTextSize] = "stale image";
        r.status = launcher->GetCommandState(command, parameters, context, &r.enabled, &r.checked,
                                             &r.visible, caption, image);
        r.caption = caption;
        r.image = image;
        return r;
    }

    platform::ScriptedPerson person;
    FakeClient client;
    host::IServerModule* module = nullptr;
    host::ICommandLauncher* launcher = nullptr;
};

TEST(ServerFactoryTest, WithoutClientFailsAndLeavesNoModule) {
    platform::ResetPlatform();
    host::IServerModule* module = reinterpret_cast<host::IServerModule*>(0x1);
    EXPECT_EQ(CreateServerModule(nullptr, &module), host::E_UNEXPECTED);
    EXPECT_EQ(module, nullptr);
    EXPECT_EQ(Module(), nullptr);
    EXPECT_EQ(ModuleInterface(), nullptr);
    FakeClient client;
    EXPECT_EQ(CreateServerModule(&client, nullptr), host::E_UNEXPECTED);
    EXPECT_EQ(Module(), nullptr);
}

TEST(ServerFactoryTest, TheModuleLivesUntilItsLastReferenceIsReleased) {
    platform::ResetPlatform();
    FakeClient client;
    host::IServerModule* module = nullptr;
    ASSERT_EQ(CreateServerModule(&client, &module), host::S_OK);
    EXPECT_EQ(ModuleInterface(), module);
    EXPECT_NE(Module(), nullptr);
    EXPECT_EQ(Client(), &client);
    EXPECT_EQ(ui::Application::Instance().OwnerWindow(), client.mainWindow);
    EXPECT_EQ(client.references, 1) << "the module keeps its client";

    void* page = nullptr;
    ASSERT_EQ(module->QueryInterface(host::IID_IOptionsPage, &page), host::S_OK);
    ASSERT_NE(page, nullptr);
    void* same = nullptr;
    ASSERT_EQ(module->QueryInterface(host::IID_IServerModule, &same), host::S_OK);
    EXPECT_EQ(same, module);
    void* unknown = nullptr;
    ASSERT_EQ(module->QueryInterface(host::IID_IUnknown, &unknown), host::S_OK);
    EXPECT_EQ(unknown, module);
    void* hook = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(module->QueryInterface(host::IID_IRouterSwapHook, &hook), host::E_NOINTERFACE);
    EXPECT_EQ(hook, nullptr);

    module->Release();  // same
    module->Release();  // unknown
    module->Release();  // the factory's reference
    EXPECT_NE(Module(), nullptr) << "the options page still holds the module";
    static_cast<host::IOptionsPage*>(page)->Release();
    EXPECT_EQ(Module(), nullptr);
    EXPECT_EQ(ModuleInterface(), nullptr);
    EXPECT_EQ(client.references, 0);
    EXPECT_EQ(Client(), &client) << "the process-wide client is never cleared";
}

TEST(ServerFactoryTest, AnOlderModuleGoingLeavesTheNewerOneInPlace) {
    platform::ResetPlatform();
    FakeClient client;
    host::IServerModule* first = nullptr;
    host::IServerModule* second = nullptr;
    ASSERT_EQ(CreateServerModule(&client, &first), host::S_OK);
    ASSERT_EQ(CreateServerModule(&client, &second), host::S_OK);
    first->Release();
    EXPECT_EQ(ModuleInterface(), second);
    second->Release();
    EXPECT_EQ(ModuleInterface(), nullptr);
}

TEST_F(ServerModuleTest, AnswersItsOperationsAndClearsOutValues) {
    std::u16string name = u"stale";
    EXPECT_EQ(module->GetModuleName(&name), host::S_OK);
    EXPECT_EQ(name, u"Tessaro");

    host::IClient* gotClient = nullptr;
    ASSERT_EQ(module->GetClient(&gotClient), host::S_OK);
    EXPECT_EQ(gotClient, &client);
    EXPECT_EQ(client.references, 2);
    gotClient->Release();

    std::int32_t count = -1;
    EXPECT_EQ(module->GetDocumentCount(&count), host::S_OK);
    EXPECT_EQ(count, 0);
    auto* stale = reinterpret_cast<host::IServerDocument*>(0x1);
    host::IServerDocument* document = stale;
    EXPECT_EQ(module->CreateDocument(u"PCB", u"C:\\x.pcb", &document), host::S_OK);
    EXPECT_EQ(document, nullptr) << "this server makes no documents";
    document = stale;
    EXPECT_EQ(module->CreateServerDocument(u"PCB", u"C:\\x.pcb", false, &document), host::S_OK);
    EXPECT_EQ(document, nullptr);
    EXPECT_EQ(module->GetDocumentCount(&count), host::S_OK);
    EXPECT_EQ(count, 0);
    document = stale;
    EXPECT_EQ(module->GetDocument(0, &document), host::E_UNEXPECTED);
    EXPECT_EQ(document, nullptr);

    host::IUnknown* view = reinterpret_cast<host::IUnknown*>(0x1);
    EXPECT_EQ(module->GetOptionsView(u"PCB", &view), host::S_OK);
    EXPECT_EQ(view, nullptr);
    void* page = nullptr;
    ASSERT_EQ(module->QueryInterface(host::IID_IOptionsPage, &page), host::S_OK);
    auto* options = static_cast<host::IOptionsPage*>(page);
    host::IUnknown* named = reinterpret_cast<host::IUnknown*>(0x1);
    EXPECT_EQ(options->GetOptionsPage(u"Tessaro", &named), host::S_OK);
    EXPECT_EQ(named, nullptr);
    EXPECT_EQ(options->OptionsPageChanged(), host::S_OK);
    EXPECT_EQ(options->OptionsPageApplied(), host::S_OK);
    options->Release();

    std::uintptr_t instance = 0;
    EXPECT_EQ(module->GetModuleHandle(&instance), host::S_OK);
    EXPECT_NE(instance, 0u);
    EXPECT_EQ(module->GetModuleName(nullptr), host::E_UNEXPECTED);
}

TEST_F(ServerModuleTest, KeepsRegisteredObjectsCounted) {
    Counted<host::IUnknown> object;
    ASSERT_EQ(module->RegisterObject(&object), host::S_OK);
    std::int32_t count = 0;
    EXPECT_EQ(module->GetRegisteredObjectCount(&count), host::S_OK);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(object.references, 1);
    host::IUnknown* got = nullptr;
    ASSERT_EQ(module->GetRegisteredObject(0, &got), host::S_OK);
    EXPECT_EQ(got, &object);
    EXPECT_EQ(object.references, 2);
    got->Release();
    EXPECT_EQ(module->GetRegisteredObject(1, &got), host::E_UNEXPECTED);
    EXPECT_EQ(got, nullptr);
    EXPECT_EQ(module->RemoveRegisteredObject(&object), host::S_OK);
    EXPECT_EQ(module->GetRegisteredObjectCount(&count), host::S_OK);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(object.references, 0);

    ASSERT_EQ(module->RegisterObject(&object), host::S_OK);
    module->Release();
    module = nullptr;
    EXPECT_EQ(object.references, 0) << "the module gives its registered objects back";
}

TEST_F(ServerModuleTest, ProcessControlCountsLikeA32BitInteger) {
    host::IProcessControl* control = nullptr;
    ASSERT_EQ(module->GetProcessControl(&control), host::S_OK);
    ASSERT_NE(control, nullptr);
    std::int32_t depth = -1;
    EXPECT_EQ(control->GetProcessDepth(&depth), host::S_OK);
    EXPECT_EQ(depth, 0);
    control->PreProcess();
    control->PreProcess();
    control->PostProcess();
    control->GetProcessDepth(&depth);
    EXPECT_EQ(depth, 1);
    control->SetProcessDepth(INT32_MAX);
    control->PreProcess();
    control->GetProcessDepth(&depth);
    EXPECT_EQ(depth, INT32_MIN);
}

TEST_F(ServerModuleTest, IdleWakesTheToolkitOnlyWhenMessagesWait) {
    ui::Application& application = ui::Application::Instance();
    const std::uint64_t idle = application.IdleCount();
    ASSERT_EQ(module->ReceiveNotification_Idle(), host::S_OK);
    EXPECT_EQ(application.IdleCount(), idle + 1);
    platform::Message message;
    EXPECT_FALSE(platform::PeekMessage(message, false));

    const platform::WindowHandle other =
        platform::CreateWindow([](platform::WindowHandle, std::uint32_t, std::uintptr_t,
                                  std::intptr_t) { return std::intptr_t{0}; });
    platform::PostMessage(other, 0x1234);
    ASSERT_EQ(module->ReceiveNotification_Idle(), host::S_OK);
    EXPECT_EQ(application.IdleCount(), idle + 2);
    ASSERT_TRUE(platform::PeekMessage(message, true));
    EXPECT_EQ(message.message, 0x1234u) << "the waiting message stays in place";
    ASSERT_TRUE(platform::PeekMessage(message, true));
    EXPECT_EQ(message.window, application.Handle());
    EXPECT_EQ(message.message, platform::WM_USER);
    EXPECT_EQ(message.wParam, 0u);
    EXPECT_EQ(message.lParam, 0);
}

TEST_F(ServerModuleTest, AnUnknownCommandRunsNothingAndKeepsTheCheckDefaults) {
    FakeDocument document("C:\\Design\\Board.pcb", "PCB");
    FakeView view(&document);
    EXPECT_EQ(launcher->LaunchCommand("RunEverything", "", 0, &view), host::S_OK);
    EXPECT_EQ(launcher->LaunchCommand(nullptr, nullptr, 0, &view), host::S_OK);
    EXPECT_TRUE(client.startedServers.empty());
    EXPECT_TRUE(client.statuses.empty());
    EXPECT_TRUE(person.History().empty());

    const CheckResult r = Check("RunEverything", "", &view);
    EXPECT_EQ(r.status, host::S_OK);
    EXPECT_EQ(r.enabled, host::HostTrue);
    EXPECT_EQ(r.checked, host::HostFalse);
    EXPECT_EQ(r.visible, host::HostTrue);
    EXPECT_EQ(r.caption, "");
    EXPECT_EQ(r.image, "");
}

struct DocumentMessageCase {
    const char* command;
    const char* message;
};

class BoardCommandTest : public ServerModuleTest,
                         public ::testing::WithParamInterface<DocumentMessageCase> {};

TEST_P(BoardCommandTest, RefusesAContextWithoutBoardAndIsOffered) {
    FakeDocument sheet("C:\\Design\\Sheet1.sch", "SCH");
    FakeView view(&sheet);
    person.ExpectDialog("Error", Button::OK, GetParam().message);
    EXPECT_EQ(launcher->LaunchCommand(GetParam().command, "", 0, &view), host::S_OK);
    EXPECT_EQ(person.Remaining(), 0u);
    EXPECT_EQ(person.History().at(0).dialog.kind, platform::DialogKind::Error);
    EXPECT_EQ(client.startedServers, (std::vector<std::string>{"SCH"}));
    // No current view: the launcher clears the three status panes.
    EXPECT_EQ(client.statuses, (std::vector<StatusCall>{{1, ""}, {2, ""}, {3, ""}}));

    const CheckResult r = Check(GetParam().command, "ContextSensitive=True", &view);
    EXPECT_EQ(r.status, host::S_OK);
    EXPECT_EQ(r.enabled, host::HostTrue);
    EXPECT_EQ(r.checked, host::HostFalse);
    EXPECT_EQ(r.visible, host::HostTrue);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, BoardCommandTest,
    ::testing::Values(
        DocumentMessageCase{"RunAutoTessaro", "Pin Swapping must be run from a PCB Document"},
        DocumentMessageCase{"runautotessaro", "Pin Swapping must be run from a PCB Document"},
        DocumentMessageCase{"RUNMANUALTESSARO", "Pin Swapping must be run from a PCB Document"},
        DocumentMessageCase{"RunManualPartSwapper",
                            "Part Swapping must be run from a PCB Document"},
        DocumentMessageCase{"runmanualDifferentialPairSwapper",
                            "Differential-Pair Swapping must be run from a PCB Document"}));

TEST_F(ServerModuleTest, AfterACommandTheCurrentViewRefreshesItsStatus) {
    FakeDocument sheet("C:\\Design\\Sheet1.sch", "SCH");
    FakeView view(&sheet);
    client.currentView = &view;
    person.AllowUnscriptedNotices();
    EXPECT_EQ(launcher->LaunchCommand("RunManualTessaro", "", 0, &view), host::S_OK);
    EXPECT_EQ(view.statusRefreshes, 1);
    EXPECT_TRUE(client.statuses.empty());
}

TEST_F(ServerModuleTest, AFailingHostCallEndsTheCommandWithAFailureStatus) {
    FakeDocument document("C:\\Design\\Board.pcb", "PCB");
    FakeView view(&document);
    client.failStartServer = true;
    EXPECT_EQ(launcher->LaunchCommand("RunAutoTessaro", "", 0, &view), host::E_UNEXPECTED);
    EXPECT_TRUE(person.History().empty());
    EXPECT_TRUE(client.statuses.empty());
}

TEST_F(ServerModuleTest, ConfigureRunsWithoutAskingAnything) {
    FakeDocument document("C:\\Design\\Board.pcb", "PCB");
    FakeView view(&document);
    EXPECT_EQ(launcher->LaunchCommand("ConfigureTessaro", "UniqueId=ABC", 0, &view), host::S_OK);
    EXPECT_TRUE(person.History().empty());
}

TEST_F(ServerModuleTest, InTestModeTheRefusalIsPrintedAndTheProcessEnds) {
    platform::RegistryCreateKey(platform::RegistryRoot::LocalMachine,
                                "\\Software\\Zentrel\\TestMode");
    std::ostringstream output;
    platform::SetStandardOutput(&output);
    platform::SetExitHandler([](int code) { throw platform::ProcessExit{code}; });
    FakeDocument sheet("C:\\Design\\Sheet1.sch", "SCH");
    FakeView view(&sheet);
    try {
        launcher->LaunchCommand("RunManualPartSwapper", "", 0, &view);
        FAIL() << "the process did not end";
    } catch (const platform::ProcessExit& exit) {
        EXPECT_EQ(exit.code, 1);
    }
    EXPECT_EQ(output.str(),
              "ShowDialogWithCaption withError Part Swapping must be run from a PCB Document\n");
}

struct ConfigureCheckCase {
    const char* name;
    const char* kind;
    const char* parameters;
    bool currentSheet;
    int components;
    bool visible;
};

class ConfigureCheckTest : public ServerModuleTest,
                           public ::testing::WithParamInterface<ConfigureCheckCase> {};

TEST_P(ConfigureCheckTest, OffersTheConfigurationByContext) {
    const ConfigureCheckCase& c = GetParam();
    FakeDocument document("C:\\Design\\Doc", c.kind);
    FakeView view(&document);
    FakeSchDocument sheet;
    sheet.components = c.components;
    FakeSchServer schServer;
    schServer.current = c.currentSheet ? &sheet : nullptr;
    client.schServer = &schServer;

    const CheckResult r = Check("configuretessaro", c.parameters, &view);
    EXPECT_EQ(r.status, host::S_OK);
    EXPECT_EQ(r.enabled, host::HostTrue);
    EXPECT_EQ(r.checked, host::HostFalse);
    EXPECT_EQ(r.visible, c.visible ? host::HostTrue : host::HostFalse);
    EXPECT_EQ(r.caption, "");
    for (host::SchObjectSet kinds : sheet.askedKinds) {
        EXPECT_EQ(kinds, host::SchObjectSet{1} << 24) << "only components count";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Contexts, ConfigureCheckTest,
    ::testing::Values(
        ConfigureCheckCase{"FromPcb", "PCB", "ContextSensitive=True", true, 0, true},
        ConfigureCheckCase{"SchWithoutParameter", "SCH", "", true, 0, true},
        ConfigureCheckCase{"SchNotSensitive", "SCH", "ContextSensitive=False", true, 0, true},
        ConfigureCheckCase{"SchNoComponent", "SCH", "ContextSensitive=TRUE", true, 0, false},
        ConfigureCheckCase{"SchOneComponent", "SCH", "ContextSensitive=TRUE", true, 1, true},
        ConfigureCheckCase{"SchNoCurrentSheet", "SCH", "ContextSensitive=True", false, 3, false},
        ConfigureCheckCase{"LowerCaseAndSpaces", "sch", "UniqueId=X|contextsensitive = true", true,
                           0, false},
        ConfigureCheckCase{"LowerCaseWithComponents", "sch", "contextsensitive = true", true, 2,
                           true},
        ConfigureCheckCase{"SchLib", "SCHLIB", "ContextSensitive=True", true, 0, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ServerModuleTest, AFailingCheckKeepsTheFlagsSetSoFar) {
    FakeDocument document("C:\\Design\\Sheet1.sch", "SCH");
    document.failKind = true;
    FakeView view(&document);
    const CheckResult r = Check("ConfigureTessaro", "ContextSensitive=True", &view);
    EXPECT_EQ(r.status, host::E_UNEXPECTED);
    EXPECT_EQ(r.enabled, host::HostTrue);
    EXPECT_EQ(r.checked, host::HostFalse);
    EXPECT_EQ(r.visible, host::HostTrue);
}

}  // namespace
}  // namespace tessaro
