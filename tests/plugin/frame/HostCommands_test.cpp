// The frame against the stand-in host: commands run through the module's launcher, the
// document and project checks, and the host services reached through named modules.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "frame/HostAccess.h"
#include "frame/Main_Tessaro.h"
#include "frame/Preconditions.h"
#include "hostapp/HostApplication.h"
#include "hostapp/design/DesignData.h"
#include "platform/Person.h"
#include "platform/Platform.h"

namespace tessaro {
namespace {

using namespace hostapp::design;
using platform::Button;

constexpr const char* Folder = "/designs/tiny";
constexpr const char* Sheet = "tiny.sch";
constexpr const char* BoardFile = "tiny.pcb";

// One component U1 with two pins on one sheet and its footprint on the board.
DesignData TinyDesign() {
    DesignData design;
    design.unit = Unit::Mil;
    ProjectData project;
    project.file = "tiny.prj";
    design.project = project;

    SchComponentData u1;
    u1.uniqueId = "U1ID";
    u1.designator = "U1";
    for (const char* pin : {"1", "2"}) {
        SchPinData p;
        p.designator = pin;
        p.name = pin;
        p.net = std::string("N") + pin;
        p.pinSwap = "1";
        u1.pins.push_back(p);
    }
    design.schematics.push_back(SheetData{Sheet, {u1}});

    BoardData board;
    board.file = BoardFile;
    board.nets = {"N1", "N2"};
    BoardComponentData pcb;
    pcb.uniqueId = "U1ID";
    pcb.designator = "U1";
    pcb.pinSwap = true;
    for (int i = 1; i <= 2; ++i) {
        PadData pad;
        pad.name = std::to_string(i);
        pad.at = {i * 1000000, 0};
        pad.sizeX = pad.sizeY = 200000;
        pad.net = "N" + std::to_string(i);
        pcb.pads.push_back(pad);
    }
    board.components.push_back(pcb);
    design.board = board;
    return design;
}

class HostFrameTest : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::ResetPlatform();
        platform::SetCurrentPerson(&person);
    }
    void TearDown() override {
        if (module) module->Release();
        module = nullptr;
        app.reset();
        platform::ResetPlatform();
    }

    // Opens the design and makes the plug-in's module for its client.
    void Open(DesignData design) {
        app = std::make_unique<hostapp::HostApplication>(std::move(design), Folder);
        ASSERT_EQ(CreateServerModule(app->Client(), &module), host::S_OK);
        ASSERT_EQ(module->GetCommandLauncher(&launcher), host::S_OK);
    }

    struct Flags {
        host::Status status;
        std::int32_t enabled, checked, visible;
        std::string caption, image;
    };
    Flags Check(const char* command, const char* parameters, host::IServerDocumentView* view) {
        Flags f{};
        char caption[host::CheckTextSize] = "x";
        char image[host::CheckTextSize] = "y";
        f.status = launcher->GetCommandState(command, parameters, view, &f.enabled, &f.checked,
                                             &f.visible, caption, image);
        f.caption = caption;
        f.image = image;
        return f;
    }

    platform::ScriptedPerson person;
    std::unique_ptr<hostapp::HostApplication> app;
    host::IServerModule* module = nullptr;
    host::ICommandLauncher* launcher = nullptr;
};

TEST_F(HostFrameTest, AnUnknownCommandDoesNothing) {
    Open(TinyDesign());
    host::IServerDocumentView* view = app->OpenView();
    EXPECT_EQ(launcher->LaunchCommand("SwapEverything", "", 0, view), host::S_OK);
    EXPECT_TRUE(person.History().empty());
    const Flags f = Check("SwapEverything", "", view);
    EXPECT_EQ(f.status, host::S_OK);
    EXPECT_EQ(f.enabled, host::HostTrue);
    EXPECT_EQ(f.checked, host::HostFalse);
    EXPECT_EQ(f.visible, host::HostTrue);
    EXPECT_EQ(f.caption, "");
    EXPECT_EQ(f.image, "");
}

TEST_F(HostFrameTest, ABoardCommandFromASchematicIsRefused) {
    Open(TinyDesign());
    host::IServerDocumentView* view = app->OpenView(Sheet);
    person.ExpectDialog("Error", Button::OK, "Pin Swapping must be run from a PCB Document");
    EXPECT_EQ(launcher->LaunchCommand("RunManualTessaro", "", 0, view), host::S_OK);
    EXPECT_EQ(person.Remaining(), 0u);
    EXPECT_TRUE(app->Messages().empty());
}

// Command names in any letter case reach their drivers: each one's first refusal shows it.
struct DispatchCase {
    const char* command;
    bool withProject;
    bool saved;
    const char* message;
};

class HostDispatchTest : public HostFrameTest,
                         public ::testing::WithParamInterface<DispatchCase> {};

TEST_P(HostDispatchTest, ReachesTheCommandsDriver) {
    DesignData design = TinyDesign();
    if (!GetParam().withProject) design.project.reset();
    if (design.project) design.project->saved = GetParam().saved;
    Open(std::move(design));
    person.ExpectDialog("Error", Button::OK, GetParam().message);
    EXPECT_EQ(launcher->LaunchCommand(GetParam().command, "", 0, app->OpenView()), host::S_OK);
    EXPECT_EQ(person.Remaining(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, HostDispatchTest,
    ::testing::Values(
        DispatchCase{"runautotessaro", false, true,
                     "Pin/Net Optimization requires that the board is part of a PCB Project"},
        DispatchCase{"RUNMANUALTESSARO", true, false, "Project needs to be saved"},
        DispatchCase{"runManualPartSwapper", false, true, "Document not in a PCB project"},
        DispatchCase{"RunManualDifferentialPairSwapper", true, false,
                     "Project needs to be saved"}));

TEST_F(HostFrameTest, TheConfigurationIsOfferedForComponentsInTheSchematicContext) {
    Open(TinyDesign());
    const char* sensitive = "ContextSensitive=TRUE";
    host::IServerDocumentView* board = app->OpenView(BoardFile);
    EXPECT_EQ(Check("ConfigureTessaro", sensitive, board).visible, host::HostTrue);

    host::IServerDocumentView* sheet = app->OpenView(Sheet);
    app->SetSchematicContext(Sheet, {});
    EXPECT_EQ(Check("ConfigureTessaro", sensitive, sheet).visible, host::HostFalse);
    EXPECT_EQ(Check("ConfigureTessaro", "", sheet).visible, host::HostTrue);
    EXPECT_EQ(Check("ConfigureTessaro", "contextsensitive = true", sheet).visible, host::HostFalse);
    app->SetSchematicContext(Sheet, {"U1ID"});
    const Flags withComponent = Check("ConfigureTessaro", sensitive, sheet);
    EXPECT_EQ(withComponent.enabled, host::HostTrue);
    EXPECT_EQ(withComponent.checked, host::HostFalse);
    EXPECT_EQ(withComponent.visible, host::HostTrue);

    // Asked with the sheet's view while the board is the current document: no current sheet.
    app->OpenView(BoardFile);
    EXPECT_EQ(Check("ConfigureTessaro", sensitive, sheet).visible, host::HostFalse);
}

TEST_F(HostFrameTest, InTestModeARefusalIsPrintedAndEndsTheProcess) {
    Open(TinyDesign());
    platform::RegistryCreateKey(platform::RegistryRoot::LocalMachine,
                                "\\Software\\Zentrel\\TestMode");
    std::ostringstream output;
    platform::SetStandardOutput(&output);
    platform::SetExitHandler([](int code) { throw platform::ProcessExit{code}; });
    host::IServerDocumentView* sheet = app->OpenView(Sheet);
    try {
        launcher->LaunchCommand("RunManualDifferentialPairSwapper", "", 0, sheet);
        FAIL() << "the process did not end";
    } catch (const platform::ProcessExit& exit) {
        EXPECT_EQ(exit.code, 1);
    }
    EXPECT_EQ(output.str(),
              "ShowDialogWithCaption withError Differential-Pair Swapping must be run from a "
              "PCB Document\n");
    EXPECT_TRUE(person.History().empty());
}

TEST_F(HostFrameTest, FindsTheBoardOfAPcbViewOnly) {
    Open(TinyDesign());
    EXPECT_EQ(FindBoardForContext(app->OpenView(BoardFile)), app->BoardPath());
    EXPECT_EQ(FindBoardForContext(app->OpenView(Sheet)), std::nullopt);
    EXPECT_EQ(FindBoardForContext(nullptr), std::nullopt);
}

struct ProjectCase {
    const char* name;
    std::optional<ProjectData> project;
    bool boardIsFree;  // the board sits among the workspace's free documents
    int checkCode;
    int ensureCode;
    const char* message;  // of the code EnsureProjectReady gives
};

void PrintTo(const ProjectCase& c, std::ostream* out) {
    *out << c.name;
}

ProjectData Project(const char* kind, bool saved, bool compiled, bool compiles) {
    ProjectData p;
    p.file = "tiny.prj";
    p.kind = kind;
    p.saved = saved;
    p.compiled = compiled;
    p.compiles = compiles;
    return p;
}

class ProjectStateTest : public HostFrameTest, public ::testing::WithParamInterface<ProjectCase> {};

TEST_P(ProjectStateTest, ReportsTheFirstObstacleAndCompilesOnlyAStaleProject) {
    const ProjectCase& c = GetParam();
    DesignData design = TinyDesign();
    design.project = c.project;
    if (c.boardIsFree) design.freeDocuments.push_back(BoardFile);
    Open(std::move(design));
    const std::string path = app->BoardPath();

    int code = -1;
    EXPECT_EQ(CheckProjectState(path, code), c.checkCode == psReady);
    EXPECT_EQ(code, c.checkCode);
    code = -1;
    EXPECT_EQ(EnsureProjectReady(path, code), c.ensureCode == psReady);
    EXPECT_EQ(code, c.ensureCode);
    EXPECT_EQ(ProjectStateMessage(code), c.message);

    // Only a stale compilation is put right: afterwards the check agrees with the result.
    int after = -1;
    CheckProjectState(path, after);
    EXPECT_EQ(after, c.ensureCode == psReady ? psReady : c.checkCode);
    if (host::IProject* project = FindDocumentProject(path)) {
        const bool compiled = c.project->compiled || c.ensureCode == psReady;
        EXPECT_EQ(project->DM_DocumentFlattened() != nullptr, compiled);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Projects, ProjectStateTest,
    ::testing::Values(
        ProjectCase{"Ready", Project("PCB", true, true, true), false, psReady, psReady, ""},
        ProjectCase{"NoProject", std::nullopt, false, psNotInPcbProject, psNotInPcbProject,
                    "Document not in a PCB project"},
        ProjectCase{"FreeDocument", Project("PCB", true, true, true), true, psNotInPcbProject,
                    psNotInPcbProject, "Document not in a PCB project"},
        ProjectCase{"NotAPcbProject", Project("FPGA", true, true, true), false, psNotInPcbProject,
                    psNotInPcbProject, "Document not in a PCB project"},
        ProjectCase{"Unsaved", Project("PCB", false, true, true), false, psNeedsSaving,
                    psNeedsSaving, "Project needs to be saved"},
        ProjectCase{"UnsavedAndStale", Project("PCB", false, false, true), false, psNeedsSaving,
                    psNeedsSaving, "Project needs to be saved"},
        ProjectCase{"Stale", Project("PCB", true, false, true), false, psNeedsCompiling, psReady,
                    ""},
        ProjectCase{"CompileFails", Project("PCB", true, false, false), false, psNeedsCompiling,
                    psCompileFailed, "Error compiling project"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ProjectStateMessageTest, NamesEveryCode) {
    EXPECT_EQ(ProjectStateMessage(psNeedsCompiling), "Project compilation out of date");
    EXPECT_EQ(ProjectStateMessage(7), "");
    EXPECT_EQ(ProjectStateMessage(-1), "");
}

TEST_F(HostFrameTest, HostServicesComeFromTheHostsModules) {
    EXPECT_EQ(Workspace(), nullptr) << "no host loaded";
    EXPECT_EQ(DeviceManager(), nullptr);
    BeginBusyCursor();  // nothing to call: nothing happens
    EndBusyCursor();

    Open(TinyDesign());
    EXPECT_EQ(Workspace(), app->Workspace());
    EXPECT_EQ(DeviceManager(), nullptr) << "this host offers no device manager";
    EXPECT_EQ(PCBServer(), app->Client()->GetPCBServer());
    EXPECT_EQ(SchServer(), app->Client()->GetSchServer());
    BeginBusyCursor();
    EXPECT_EQ(app->CursorDepth(), 1);
    EndBusyCursor();
    EXPECT_EQ(app->CursorDepth(), 0);
}

TEST(HostAccessTest, ExtractFileNameKeepsThePartAfterTheLastSeparator) {
    EXPECT_EQ(ExtractFileName("C:\\Designs\\Board.pcb"), "Board.pcb");
    EXPECT_EQ(ExtractFileName("/designs/tiny/tiny.pcb"), "tiny.pcb");
    EXPECT_EQ(ExtractFileName("C:\\mixed/dir\\x.sch"), "x.sch");
    EXPECT_EQ(ExtractFileName("plain.sch"), "plain.sch");
    EXPECT_EQ(ExtractFileName("folder/"), "");
}

}  // namespace
}  // namespace tessaro
