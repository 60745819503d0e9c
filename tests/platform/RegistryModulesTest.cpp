#include "platform/PlatformFixture.h"

using namespace platform;

namespace {

using RegistryTest = PlatformTest;
using ModulesTest = PlatformTest;

TEST_F(RegistryTest, PathsMatchWithoutLetterCaseOrRootBackslash) {
    RegistryCreateKey(RegistryRoot::LocalMachine, "\\Software\\Zentrel\\TestMode");
    for (const char* path : {"\\Software\\Zentrel\\TestMode", "SOFTWARE\\zentrel\\testmode",
                             "\\software\\Zentrel\\TestMode\\", "Software\\\\Zentrel\\TestMode"})
        EXPECT_TRUE(RegistryKeyExists(RegistryRoot::LocalMachine, path)) << path;
    EXPECT_FALSE(RegistryKeyExists(RegistryRoot::LocalMachine, "\\Software\\Zentrel\\TestMod"));
    EXPECT_FALSE(RegistryKeyExists(RegistryRoot::CurrentUser, "\\Software\\Zentrel\\TestMode"))
        << "the two roots are separate";
}

TEST_F(RegistryTest, CreatingAKeyCreatesItsParentsAndDeletingRemovesItsSubkeys) {
    RegistryCreateKey(RegistryRoot::CurrentUser, "\\A\\B\\C");
    RegistryCreateKey(RegistryRoot::CurrentUser, "\\A\\BC");
    EXPECT_TRUE(RegistryKeyExists(RegistryRoot::CurrentUser, "\\A"));
    EXPECT_TRUE(RegistryKeyExists(RegistryRoot::CurrentUser, "\\A\\B"));

    RegistryDeleteKey(RegistryRoot::CurrentUser, "\\a\\b");
    EXPECT_FALSE(RegistryKeyExists(RegistryRoot::CurrentUser, "\\A\\B"));
    EXPECT_FALSE(RegistryKeyExists(RegistryRoot::CurrentUser, "\\A\\B\\C"));
    EXPECT_TRUE(RegistryKeyExists(RegistryRoot::CurrentUser, "\\A\\BC"))
        << "a sibling that merely shares a prefix stays";
    EXPECT_TRUE(RegistryKeyExists(RegistryRoot::CurrentUser, "\\A"));
}

int Seven() {
    return 7;
}
int Eight() {
    return 8;
}

TEST_F(ModulesTest, NamesMatchWithoutLetterCaseAndExportsExactly) {
    ModuleHandle m =
        RegisterModule("WorkspaceManager.DLL", {{"GetWorkspace", reinterpret_cast<void*>(&Seven)}});
    ASSERT_NE(m, 0u);
    EXPECT_EQ(LoadLibrary("workspacemanager.dll"), m);
    EXPECT_EQ(GetModuleHandle("WORKSPACEMANAGER.DLL"), m);
    EXPECT_EQ(GetProcAddress(m, "GetWorkspace"), reinterpret_cast<void*>(&Seven));
    EXPECT_EQ(GetProcAddress(m, "getworkspace"), nullptr);
    EXPECT_EQ(LoadLibrary("VantorManager.dll"), 0u);
    EXPECT_EQ(GetProcAddress(0, "GetWorkspace"), nullptr);
}

TEST_F(ModulesTest, TheHostProgramIsTheModuleWithTheEmptyName) {
    ModuleHandle host = RegisterModule(HostProgramModule,
                                       {{"ClientAPI_BeginCursor", reinterpret_cast<void*>(&Seven)},
                                        {"ClientAPI_EndCursor", reinterpret_cast<void*>(&Eight)}});
    ModuleHandle other = RegisterModule("tessaro.dll", {});
    EXPECT_EQ(GetModuleHandle(""), host);
    EXPECT_NE(host, other);
    EXPECT_EQ(GetProcAddress(GetModuleHandle(""), "ClientAPI_EndCursor"),
              reinterpret_cast<void*>(&Eight));
}

TEST_F(ModulesTest, ReRegisteringKeepsTheHandleAndUnregisteringForgetsTheModule) {
    ModuleHandle first = RegisterModule("Lib.dll", {{"F", reinterpret_cast<void*>(&Seven)}});
    ModuleHandle again = RegisterModule("LIB.DLL", {{"F", reinterpret_cast<void*>(&Eight)}});
    EXPECT_EQ(first, again);
    EXPECT_EQ(GetProcAddress(first, "F"), reinterpret_cast<void*>(&Eight));

    UnregisterModule("lib.dll");
    EXPECT_EQ(GetModuleHandle("Lib.dll"), 0u);
    EXPECT_EQ(GetProcAddress(first, "F"), nullptr) << "a stale handle finds nothing";
}

}  // namespace
