// The states a design's project can be in, as the plug-in's precondition checks see them
// through the workspace, the project and the client.
#include <gtest/gtest.h>

#include <functional>

#include "host/Workspace.h"
#include "hostapp/HostApplication.h"
#include "hostapp/workspace/SmallDesign.h"
#include "platform/Platform.h"

namespace workspace_test {
namespace {

using hostapp::HostApplication;
using platform::Widen;

struct ProjectCase {
    const char* name;
    std::function<void(DesignData&)> arrange;
    bool boardInProject;  // the board's project is not the free-documents project
    bool pcbInterface;    // that project answers IID_IPcbProject
    bool fileModified;    // its project file is open with unsaved changes
    bool needsCompile;
    bool compiledBefore;  // a compiled design before compiling
    bool compiledAfter;   // and after compiling
};

class ProjectStates : public testing::TestWithParam<ProjectCase> {};

// Both compile forms must leave the project in the same state.
enum class CompileForm { Plain, Extended };

void CheckCase(const ProjectCase& c, CompileForm form) {
    DesignData design = SmallDesign();
    c.arrange(design);
    HostApplication app(design, Folder);
    auto* workspace = app.Workspace();
    auto* document = workspace->DM_GetDocumentFromPath(Widen(app.BoardPath()));
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(document->DM_DocumentKind(), u"PCB");
    host::IProject* project = document->DM_Project();
    ASSERT_NE(project, nullptr);
    EXPECT_EQ(project != workspace->DM_FreeDocumentsProject(), c.boardInProject);

    host::IPcbProject* pcbProject = nullptr;
    host::Status status =
        project->QueryInterface(host::IID_IPcbProject, reinterpret_cast<void**>(&pcbProject));
    EXPECT_EQ(pcbProject != nullptr, c.pcbInterface);
    EXPECT_EQ(status, c.pcbInterface ? host::S_OK : host::E_NOINTERFACE);
    if (pcbProject) {
        auto* file = app.Client()->GetDocumentByPath(pcbProject->DM_ProjectFullPath());
        EXPECT_EQ(file != nullptr && file->Modified(), c.fileModified);
        EXPECT_EQ(pcbProject->DM_NeedsCompile(), c.needsCompile);
        pcbProject->Release();
    }

    EXPECT_EQ(project->DM_DocumentFlattened() != nullptr, c.compiledBefore);
    bool compiled;
    if (form == CompileForm::Plain) {
        compiled = project->DM_Compile();
    } else {
        bool errors = true;
        project->DM_CompileEx(0, compiled, errors);
        EXPECT_EQ(errors, !compiled);
    }
    EXPECT_EQ(compiled, c.compiledAfter);
    EXPECT_EQ(project->DM_DocumentFlattened() != nullptr, c.compiledAfter);
    if (c.pcbInterface) {
        host::IPcbProject* again = nullptr;
        project->QueryInterface(host::IID_IPcbProject, reinterpret_cast<void**>(&again));
        ASSERT_NE(again, nullptr);
        EXPECT_EQ(again->DM_NeedsCompile(), !c.compiledAfter);
        again->Release();
    }
}

TEST_P(ProjectStates, AsThePreconditionChecksSeeThem) {
    CheckCase(GetParam(), CompileForm::Plain);
}

TEST_P(ProjectStates, CompileWithTwoResultsAgrees) {
    CheckCase(GetParam(), CompileForm::Extended);
}

const ProjectCase kProjectCases[] = {
    {"ReadyPcbProject", [](DesignData&) {}, true, true, false, false, true, true},
    {"NoProject", [](DesignData& d) { d.project.reset(); }, false, false, false, false, false,
     false},
    {"BoardIsFreeDocument", [](DesignData& d) { d.freeDocuments = {"DEMO.pcb"}; }, false, false,
     false, false, false, false},
    {"NonPcbProject", [](DesignData& d) { d.project->kind = "FPGA"; }, true, false, false, false,
     true, true},
    {"UnsavedProject", [](DesignData& d) { d.project->saved = false; }, true, true, true, false,
     true, true},
    {"UnsavedAndStale",
     [](DesignData& d) {
         d.project->saved = false;
         d.project->compiled = false;
     },
     true, true, true, true, false, true},
    {"NeedsCompilingThenCompiled", [](DesignData& d) { d.project->compiled = false; }, true, true,
     false, true, false, true},
    {"CompileFails", [](DesignData& d) { d.project->compiles = false; }, true, true, false, false,
     true, false},
    {"StaleAndCompileFails",
     [](DesignData& d) {
         d.project->compiled = false;
         d.project->compiles = false;
     },
     true, true, false, true, false, false},
};

INSTANTIATE_TEST_SUITE_P(Workspace, ProjectStates, testing::ValuesIn(kProjectCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A document named among the free documents sits in the free-documents project while the
// rest of the design stays in the real one.
TEST(FreeDocuments, OnlyTheNamedDocumentsLeaveTheProject) {
    DesignData design = SmallDesign();
    design.freeDocuments = {"power.sch"};
    HostApplication app(design, Folder);
    auto* workspace = app.Workspace();
    auto projectOf = [&](const char* file) {
        auto* document = workspace->DM_GetDocumentFromPath(Widen(PathOf(file)));
        return document ? document->DM_Project() : nullptr;
    };
    auto* freeProject = workspace->DM_FreeDocumentsProject();
    EXPECT_EQ(projectOf("power.sch"), freeProject);
    EXPECT_NE(projectOf("main.sch"), freeProject);
    EXPECT_NE(projectOf("demo.pcb"), freeProject);
    EXPECT_EQ(projectOf("main.sch"), projectOf("demo.pcb"));
    EXPECT_EQ(projectOf("nothing.sch"), nullptr);

    // The free sheet's components are no part of the compiled project.
    auto* compiled = projectOf("main.sch")->DM_DocumentFlattened();
    ASSERT_NE(compiled, nullptr);
    for (int i = 0; i < compiled->DM_ComponentCount(); ++i)
        EXPECT_NE(compiled->DM_Components(i)->DM_PhysicalDesignator(), u"C1");
}

TEST(FreeDocuments, WithoutProjectEveryDocumentIsFree) {
    DesignData design = SmallDesign();
    design.project.reset();
    HostApplication app(design, Folder);
    auto* workspace = app.Workspace();
    for (const char* file : {"main.sch", "power.sch", "parts.lib", "demo.pcb"}) {
        auto* document = workspace->DM_GetDocumentFromPath(Widen(PathOf(file)));
        ASSERT_NE(document, nullptr) << file;
        EXPECT_EQ(document->DM_Project(), workspace->DM_FreeDocumentsProject()) << file;
    }
    EXPECT_EQ(workspace->DM_FreeDocumentsProject()->DM_DocumentFlattened(), nullptr);
}

TEST(ProjectSettings, SwapPermissionsAndNamesComeFromTheDesign) {
    DesignData design = SmallDesign();
    design.project->swapping = {true, false};
    HostApplication app(design, Folder);
    auto* project = app.Workspace()->DM_GetDocumentFromPath(Widen(app.BoardPath()))->DM_Project();
    EXPECT_TRUE(project->DM_PinSwapAllowAll());
    EXPECT_FALSE(project->DM_PinSwapAllowWhereSchematic());
    EXPECT_EQ(project->DM_ProjectFileName(), u"demo.prj");
    EXPECT_EQ(project->DM_ProjectFullPath(), Widen(PathOf("demo.prj")));
    EXPECT_EQ(app.DocumentPath("demo.prj"), PathOf("demo.prj"));
}

}  // namespace
}  // namespace workspace_test
