// The host's libraries as the plug-in finds them: the workspace through
// "WorkspaceManager.DLL", the busy cursor through the host program's exports, no device
// manager, and the plug-in library itself.
#include <gtest/gtest.h>

#include <memory>

#include "host/Client.h"
#include "host/Device.h"
#include "host/Plugin.h"
#include "host/Workspace.h"
#include "hostapp/HostApplication.h"
#include "hostapp/workspace/SmallDesign.h"
#include "platform/Platform.h"

namespace workspace_test {
namespace {

using hostapp::HostApplication;

host::IWorkspace* WorkspaceThroughModule() {
    auto module = platform::LoadLibrary("workspacemanager.dll");
    if (!module) return nullptr;
    auto get =
        reinterpret_cast<host::GetWorkspaceFunc>(platform::GetProcAddress(module, "GetWorkspace"));
    return get ? get() : nullptr;
}

TEST(HostModules, WorkspaceIsReachableByModuleName) {
    EXPECT_EQ(platform::LoadLibrary("WorkspaceManager.DLL"), 0u);
    {
        HostApplication app(SmallDesign(), Folder);
        EXPECT_EQ(WorkspaceThroughModule(), app.Workspace());
        {
            // The newest open application is the one the exports serve.
            HostApplication second(SmallDesign(), Folder);
            EXPECT_EQ(WorkspaceThroughModule(), second.Workspace());
        }
        EXPECT_EQ(WorkspaceThroughModule(), app.Workspace());
    }
    EXPECT_EQ(platform::LoadLibrary("workspacemanager.dll"), 0u);
    EXPECT_EQ(platform::GetModuleHandle(platform::HostProgramModule), 0u);
}

TEST(HostModules, BusyCursorNestsThroughTheHostProgramsExports) {
    HostApplication app(SmallDesign(), Folder);
    auto program = platform::GetModuleHandle(platform::HostProgramModule);
    ASSERT_NE(program, 0u);
    auto begin = reinterpret_cast<host::BeginCursorFunc>(
        platform::GetProcAddress(program, "ClientAPI_BeginCursor"));
    auto end = reinterpret_cast<host::EndCursorFunc>(
        platform::GetProcAddress(program, "ClientAPI_EndCursor"));
    ASSERT_NE(begin, nullptr);
    ASSERT_NE(end, nullptr);
    begin(host::eCursorBusy);
    begin(host::eCursorBusy);
    EXPECT_EQ(app.CursorDepth(), 2);
    end();
    end();
    EXPECT_EQ(app.CursorDepth(), 0);
    end();  // one end too many is harmless
    EXPECT_EQ(app.CursorDepth(), 0);
}

TEST(HostModules, NoDeviceManagerEvenWithDeviceData) {
    DesignData design = SmallDesign();
    design.devicesJson = R"([{"name": "XC7A35T", "pins": []}])";
    HostApplication app(design, Folder);
    EXPECT_EQ(platform::LoadLibrary("VantorManager.dll"), 0u);
}

std::string BinaryDir() {
    return TESSARO_BIN_DIR;
}

TEST(PluginLibrary, ServerFactoryHandsBackAModuleForOurClient) {
    const std::string path = BinaryDir() + "/libtessaro.so";
    HostApplication app(SmallDesign(), Folder);
    auto plugin = app.LoadPlugin(path);
    ASSERT_NE(plugin, nullptr);
    ASSERT_NE(plugin->Module(), nullptr);
    host::IClient* client = nullptr;
    ASSERT_EQ(plugin->Module()->GetClient(&client), host::S_OK);
    EXPECT_EQ(client, app.Client());
    if (client) client->Release();
    EXPECT_NE(plugin->Launcher(), nullptr);
}

TEST(PluginLibrary, FailuresNameTheLibrary) {
    HostApplication app(SmallDesign(), Folder);
    const std::string missing = BinaryDir() + "/libnothing-here.so";
    try {
        app.LoadPlugin(missing);
        ADD_FAILURE() << "loaded a missing library";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find(missing), std::string::npos) << e.what();
    }
    // A real library that is no plug-in: the platform stand-in.
    const std::string notPlugin = BinaryDir() + "/libtessaro_platform.so";
    try {
        app.LoadPlugin(notPlugin);
        ADD_FAILURE() << "accepted a library without ServerFactory";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find(notPlugin), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("ServerFactory"), std::string::npos) << e.what();
    }
}

}  // namespace
}  // namespace workspace_test
