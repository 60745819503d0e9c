// Matching schematic components to board components by the last segment of their unique ids.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "host/Workspace.h"
#include "hostapp/HostApplication.h"
#include "hostapp/workspace/SmallDesign.h"
#include "platform/Platform.h"

namespace workspace_test {
namespace {

using hostapp::HostApplication;
using platform::Narrow;
using platform::Widen;

struct Named {
    std::string designator;
    std::string uniqueId;
};

struct MappingCase {
    const char* name;
    std::vector<Named> schematic;
    std::vector<Named> board;
    std::vector<std::pair<std::string, std::string>> matched;  // schematic, board designators
    int unmatched;
};

DesignData MappingDesign(const MappingCase& c) {
    DesignData design = SmallDesign();
    design.schematics = {{"main.sch", {}}};
    for (const auto& s : c.schematic)
        design.schematics[0].components.push_back(
            Placed(s.designator, s.uniqueId, 1, 1, {Pin("1", ""), Pin("2", "")}));
    design.board->components.clear();
    for (const auto& b : c.board)
        design.board->components.push_back(Footprint(b.designator, b.uniqueId, {"1", "2"}));
    return design;
}

class Mappings : public testing::TestWithParam<MappingCase> {};

TEST_P(Mappings, PairInSchematicOrderAndCountTheRest) {
    const auto& c = GetParam();
    HostApplication app(MappingDesign(c), Folder);
    auto* project = app.Workspace()->DM_GetDocumentFromPath(Widen(app.BoardPath()))->DM_Project();
    auto* mappings = project->DM_ComponentMappings(Widen(app.BoardPath()));
    ASSERT_NE(mappings, nullptr);
    std::vector<std::pair<std::string, std::string>> matched;
    for (int i = 0; i < mappings->DM_MatchedCount(); ++i) {
        auto* source = mappings->DM_MatchedSourceComponent(i);
        auto* target = mappings->DM_MatchedTargetComponent(i);
        ASSERT_NE(source, nullptr);
        ASSERT_NE(target, nullptr);
        matched.emplace_back(Narrow(source->DM_PhysicalDesignator()),
                             Narrow(target->DM_PhysicalDesignator()));
    }
    EXPECT_EQ(matched, c.matched);
    EXPECT_EQ(mappings->DM_UnmatchedCount(), c.unmatched);
    EXPECT_EQ(mappings->DM_MatchedSourceComponent(mappings->DM_MatchedCount()), nullptr);
}

const MappingCase kMappingCases[] = {
    {"SameIds",
     {{"U1", "A1"}, {"U2", "A2"}},
     {{"U2", "A2"}, {"U1", "A1"}},
     {{"U1", "U1"}, {"U2", "U2"}},
     0},
    {"LastSegmentOfPaths",
     {{"U1", "\\S1\\A1"}, {"U2", "\\S1\\S2\\A2"}},
     {{"X1", "A1"}, {"X2", "\\OTHER\\A2"}},
     {{"U1", "X1"}, {"U2", "X2"}},
     0},
    {"CaseDoesNotMatter", {{"U1", "abc"}}, {{"U1", "ABC"}}, {{"U1", "U1"}}, 0},
    {"UnmatchedOnBothSides",
     {{"U1", "A1"}, {"C1", "C9"}},
     {{"U1", "A1"}, {"J9", "J9"}},
     {{"U1", "U1"}},
     2},
    {"SecondSchematicClaimantStaysUnmatched",
     {{"U1", "\\X\\A1"}, {"U2", "\\Y\\A1"}},
     {{"B1", "A1"}},
     {{"U1", "B1"}},
     1},
    {"DuplicateBoardIdsPairInBoardOrder",
     {{"U1", "A1"}},
     {{"B1", "A1"}, {"B2", "a1"}},
     {{"U1", "B1"}},
     1},
    {"NothingOnTheBoard", {{"U1", "A1"}}, {}, {}, 1},
};

INSTANTIATE_TEST_SUITE_P(Workspace, Mappings, testing::ValuesIn(kMappingCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MappingTargets, CarryTheBoardSidesIdentityAndPads) {
    HostApplication app(SmallDesign(), Folder);
    auto* project = app.Workspace()->DM_GetDocumentFromPath(Widen(app.BoardPath()))->DM_Project();
    auto* mappings = project->DM_ComponentMappings(Widen(app.BoardPath()));
    ASSERT_NE(mappings, nullptr);
    // U1 and R1 pair (R1 by case); C1 has no footprint and J9 no symbol.
    ASSERT_EQ(mappings->DM_MatchedCount(), 2);
    EXPECT_EQ(mappings->DM_UnmatchedCount(), 2);

    auto* source = mappings->DM_MatchedSourceComponent(0);
    auto* compiled = project->DM_DocumentFlattened();
    EXPECT_EQ(source, compiled->DM_Components(0));  // the compiled component itself
    auto* target = mappings->DM_MatchedTargetComponent(0);
    EXPECT_EQ(target->DM_UniqueId(), u"C0FFEE01");
    EXPECT_EQ(target->DM_PhysicalDesignator(), u"U1");
    ASSERT_EQ(target->DM_PinCount(), 6);
    EXPECT_EQ(target->DM_Pins(4)->DM_PinNumber(), u"5");
    EXPECT_EQ(target->DM_Pins(4)->DM_GroupingValue(), u"U1");
    EXPECT_EQ(mappings->DM_MatchedTargetComponent(1)->DM_UniqueId(), u"r0000001");

    // Asked again, the same mappings.
    EXPECT_EQ(project->DM_ComponentMappings(Widen(app.BoardPath())), mappings);
}

TEST(MappingTargets, NoneForOtherPathsOrWithoutCompiledDesign) {
    {
        HostApplication app(SmallDesign(), Folder);
        auto* project =
            app.Workspace()->DM_GetDocumentFromPath(Widen(app.BoardPath()))->DM_Project();
        EXPECT_EQ(project->DM_ComponentMappings(Widen(PathOf("other.pcb"))), nullptr);
        EXPECT_NE(project->DM_ComponentMappings(Widen(PathOf("DEMO.PCB"))), nullptr);
    }
    {
        DesignData design = SmallDesign();
        design.project->compiled = false;
        HostApplication app(design, Folder);
        auto* project =
            app.Workspace()->DM_GetDocumentFromPath(Widen(app.BoardPath()))->DM_Project();
        EXPECT_EQ(project->DM_ComponentMappings(Widen(app.BoardPath())), nullptr);
        project->DM_Compile();
        EXPECT_NE(project->DM_ComponentMappings(Widen(app.BoardPath())), nullptr);
    }
    {
        // A board among the free documents is no board of the project.
        DesignData design = SmallDesign();
        design.freeDocuments = {"demo.pcb"};
        HostApplication app(design, Folder);
        auto* project =
            app.Workspace()->DM_GetDocumentFromPath(Widen(PathOf("main.sch")))->DM_Project();
        EXPECT_EQ(project->DM_ComponentMappings(Widen(app.BoardPath())), nullptr);
    }
}

}  // namespace
}  // namespace workspace_test
