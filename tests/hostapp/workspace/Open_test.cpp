// Opening a design file: documents get their full paths in the file's folder.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "host/Workspace.h"
#include "hostapp/HostApplication.h"
#include "hostapp/design/DesignFile.h"
#include "hostapp/workspace/SmallDesign.h"
#include "platform/Platform.h"

namespace workspace_test {
namespace {

using hostapp::HostApplication;
using platform::Widen;

TEST(OpenDesignFile, DocumentsLiveInTheFilesFolder) {
    auto folder =
        std::filesystem::temp_directory_path() / ("tessaro-open-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::string file = (folder / "demo.json").string();
    hostapp::design::WriteDesignFile(SmallDesign(), file);

    auto app = HostApplication::Open(file);
    const std::string sheet = (std::filesystem::absolute(folder) / "main.sch").string();
    EXPECT_EQ(app->DocumentPath("main.sch"), sheet);
    EXPECT_EQ(app->BoardPath(), (std::filesystem::absolute(folder) / "demo.pcb").string());
    auto* document = app->Workspace()->DM_GetDocumentFromPath(Widen(sheet));
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(document->DM_FullPath(), Widen(sheet));
    EXPECT_NE(app->GetBoard(), nullptr);
    EXPECT_EQ(app->DocumentPath("unknown.sch"), "");

    // The design as opened is the design as read.
    auto again = app->Snapshot();
    EXPECT_EQ(hostapp::design::SerializeDesign(again),
              hostapp::design::SerializeDesign(hostapp::design::ReadDesignFile(file)));
    app.reset();
    std::filesystem::remove_all(folder);
}

TEST(OpenDesignFile, UnreadableFileRaisesTheReadersError) {
    EXPECT_THROW(HostApplication::Open("/nonexistent/folder/design.json"),
                 hostapp::design::DesignFileError);
}

}  // namespace
}  // namespace workspace_test
