// The schematic server and its objects: the current sheet, context objects, and pin swap
// attributes written by the plug-in reaching the saved design.
#include <gtest/gtest.h>

#include "host/Pcb.h"
#include "host/Sch.h"
#include "host/Workspace.h"
#include "hostapp/HostApplication.h"
#include "hostapp/workspace/SmallDesign.h"
#include "platform/Platform.h"

namespace workspace_test {
namespace {

using hostapp::HostApplication;
using platform::Widen;

host::ISch_Pin* SchPinOf(HostApplication& app, int component, int pin) {
    auto* project =
        app.Workspace()->DM_GetDocumentFromPath(Widen(PathOf("main.sch")))->DM_Project();
    project->DM_Compile();
    auto* item = project->DM_DocumentFlattened()->DM_Components(component)->DM_Pins(pin);
    return dynamic_cast<host::ISch_Pin*>(item->DM_SchObject());
}

TEST(SchematicPins, WrittenAttributesAreSavedExactlyAsWritten) {
    HostApplication app(SmallDesign(), Folder);
    auto* pin = SchPinOf(app, 0, 3);  // U1 pin 4, on the second part
    ASSERT_NE(pin, nullptr);
    EXPECT_EQ(pin->SwapIdPin(), u"1");
    pin->SetSwapIdPin(u" 3 ");
    pin->SetSwapIdPart(u"0");
    pin->SetSwapIdPartPin(u"2");
    pin->SetSwapIdPair(u"Pair\u00e9");
    EXPECT_EQ(pin->SwapIdPin(), u" 3 ");

    auto saved = app.Snapshot();
    const auto& data = saved.schematics[0].components[2].pins[0];
    EXPECT_EQ(data.designator, "4");
    EXPECT_EQ(data.pinSwap, " 3 ");
    EXPECT_EQ(data.partSwap, "0");
    EXPECT_EQ(data.sequence, "2");
    EXPECT_EQ(data.pairSwap, "Pair\xc3\xa9");
    // Nothing else moved.
    EXPECT_EQ(saved.schematics[0].components[2].pins[1].pinSwap, "1");
    EXPECT_EQ(saved.schematics[0].components[0].pins[0].pinSwap, "1");
}

TEST(SchematicPins, LibraryPinsReachTheSavedLibrary) {
    HostApplication app(SmallDesign(), Folder);
    auto* library = app.Workspace()->DM_GetDocumentFromPath(Widen(PathOf("parts.lib")));
    auto* pin =
        dynamic_cast<host::ISch_Pin*>(library->DM_Components(0)->DM_Pins(0)->DM_SchObject());
    ASSERT_NE(pin, nullptr);
    pin->SetSwapIdPin(u"");
    EXPECT_EQ(app.Snapshot().libraries[0].components[1].pins[0].pinSwap, "");
}

TEST(SchematicPins, DocumentBecomesModifiedOnlyWhenMarked) {
    HostApplication app(SmallDesign(), Folder);
    auto* pin = SchPinOf(app, 0, 0);
    pin->SetSwapIdPin(u"7");
    auto* sheet = app.Client()->GetDocumentByPath(pin->OwnerDocumentFullPath());
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->Kind(), u"SCH");
    EXPECT_FALSE(sheet->Modified());
    sheet->SetModified(true);
    EXPECT_TRUE(sheet->Modified());
    EXPECT_FALSE(app.Client()->GetDocumentByPath(Widen(PathOf("power.sch")))->Modified());

    auto* document = app.Workspace()->DM_GetDocumentFromPath(sheet->FileName());
    document->DM_UpdateDocument();
    EXPECT_EQ(app.DocumentUpdates("main.sch"), 1);
    EXPECT_EQ(app.DocumentUpdates("power.sch"), 0);
}

TEST(SchematicPins, SnapshotCarriesTheBoardsSwitches) {
    HostApplication app(SmallDesign(), Folder);
    auto* board = app.Client()->GetPCBServer()->GetPCBBoardByPath(Widen(app.BoardPath()));
    ASSERT_NE(board, nullptr);
    auto* u1 = board->ComponentByUniqueId(u"C0FFEE01");
    ASSERT_NE(u1, nullptr);
    u1->SetPinSwapAllowed(true);
    auto saved = app.Snapshot();
    EXPECT_TRUE(saved.board->components[0].pinSwap);
    EXPECT_FALSE(saved.board->components[0].partSwap);
    EXPECT_FALSE(saved.board->components[1].pinSwap);
}

struct ViewCase {
    const char* name;
    const char* view;              // nullptr: no view opened
    const char* expectedDocument;  // nullptr: no current schematic document
};

class CurrentSchematic : public testing::TestWithParam<ViewCase> {};

TEST_P(CurrentSchematic, IsTheSheetBehindTheCurrentView) {
    const auto& c = GetParam();
    HostApplication app(SmallDesign(), Folder);
    if (c.view) {
        ASSERT_NE(app.OpenView(c.view), nullptr);
    }
    auto* document = app.Client()->GetSchServer()->GetCurrentSchDocument();
    if (!c.expectedDocument) {
        EXPECT_EQ(document, nullptr);
    } else {
        ASSERT_NE(document, nullptr);
        EXPECT_EQ(document->FullPath(), Widen(PathOf(c.expectedDocument)));
    }
}

const ViewCase kViewCases[] = {
    {"NoView", nullptr, nullptr},        {"Board", "demo.pcb", nullptr},
    {"Sheet", "power.sch", "power.sch"}, {"Library", "parts.lib", "parts.lib"},
    {"DefaultIsTheBoard", "", nullptr},
};

INSTANTIATE_TEST_SUITE_P(Workspace, CurrentSchematic, testing::ValuesIn(kViewCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SchematicContext, ComponentsOfTheSheetUnlessTheTestNamesSome) {
    HostApplication app(SmallDesign(), Folder);
    app.OpenView("main.sch");
    auto* sheet = app.Client()->GetSchServer()->GetCurrentSchDocument();
    ASSERT_NE(sheet, nullptr);
    const auto components = host::MkSchSet(host::eSchComponent);
    EXPECT_EQ(sheet->ContextObjectCount(components), 3);  // U1 twice (two parts), R1
    EXPECT_EQ(sheet->ContextObjectCount(host::MkSchSet(host::eSchPin)), 0);

    app.SetSchematicContext("main.sch", {"r0000001"});
    ASSERT_EQ(sheet->ContextObjectCount(components), 1);
    auto* r1 = dynamic_cast<host::ISch_Component*>(sheet->ContextObject(components, 0));
    ASSERT_NE(r1, nullptr);
    EXPECT_EQ(r1->Designator(), u"R1");
    EXPECT_EQ(sheet->ContextObject(components, 1), nullptr);

    app.SetSchematicContext("main.sch", {});
    EXPECT_EQ(sheet->ContextObjectCount(components), 0);
    app.ResetSchematicContext("main.sch");
    EXPECT_EQ(sheet->ContextObjectCount(components), 3);
}

TEST(Views, OpenViewMakesTheClientsCurrentView) {
    HostApplication app(SmallDesign(), Folder);
    EXPECT_EQ(app.Client()->GetCurrentView(), nullptr);
    EXPECT_EQ(app.OpenView("missing.sch"), nullptr);
    auto* board = app.OpenView();
    ASSERT_NE(board, nullptr);
    EXPECT_EQ(board->OwnerDocument()->FileName(), Widen(app.BoardPath()));
    EXPECT_EQ(board->OwnerDocument()->Kind(), u"PCB");
    auto* sheet = app.OpenView("MAIN.SCH");
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(app.Client()->GetCurrentView(), sheet);
    EXPECT_EQ(sheet->OwnerDocument(), app.Client()->GetDocumentByPath(Widen(PathOf("main.sch"))));
    EXPECT_EQ(app.OpenView(), board);  // one view per document

    DesignData noBoard = SmallDesign();
    noBoard.board.reset();
    HostApplication sheetsOnly(noBoard, Folder);
    auto* first = sheetsOnly.OpenView();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->OwnerDocument()->FileName(), Widen(PathOf("main.sch")));
    EXPECT_EQ(sheetsOnly.BoardPath(), "");
    EXPECT_EQ(sheetsOnly.GetBoard(), nullptr);
}

TEST(Views, DocumentsAndServersOfTheClient) {
    HostApplication app(SmallDesign(), Folder);
    auto* client = app.Client();
    EXPECT_NE(client->GetMainWindowHandle(), 0u);
    EXPECT_TRUE(client->StartServer(u"SCH"));
    EXPECT_TRUE(client->StartServer(u"pcb"));
    EXPECT_FALSE(client->StartServer(u"CAM"));
    EXPECT_NE(client->GetSchServer(), nullptr);
    EXPECT_NE(client->GetPCBServer(), nullptr);
    const std::pair<const char*, const char16_t*> kinds[] = {
        {"main.sch", u"SCH"}, {"parts.lib", u"SCHLIB"}, {"demo.pcb", u"PCB"}};
    for (const auto& [file, kind] : kinds) {
        auto* document = client->GetDocumentByPath(Widen(PathOf(file)));
        ASSERT_NE(document, nullptr) << file;
        EXPECT_EQ(document->Kind(), kind);
        EXPECT_EQ(document->FileName(), Widen(PathOf(file)));
        EXPECT_FALSE(document->Modified());
    }
    EXPECT_EQ(client->GetDocumentByPath(Widen(PathOf("nothing.pcb"))), nullptr);
}

}  // namespace
}  // namespace workspace_test
