// The compiled design: components from their placed sub-parts, pins as net items, nets with
// their three member lists, and schematic libraries listing their components.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "host/Sch.h"
#include "host/Workspace.h"
#include "hostapp/HostApplication.h"
#include "hostapp/workspace/SmallDesign.h"
#include "platform/Platform.h"

namespace workspace_test {
namespace {

using hostapp::HostApplication;
using platform::Narrow;
using platform::Widen;

host::IDocument* Compiled(HostApplication& app) {
    auto* document = app.Workspace()->DM_GetDocumentFromPath(Widen(PathOf("main.sch")));
    if (!document) return nullptr;
    auto* project = document->DM_Project();
    project->DM_Compile();
    return project->DM_DocumentFlattened();
}

host::IComponent* ByDesignator(host::IDocument* document, const std::u16string& designator) {
    for (int i = 0; i < document->DM_ComponentCount(); ++i)
        if (document->DM_Components(i)->DM_PhysicalDesignator() == designator)
            return document->DM_Components(i);
    return nullptr;
}

TEST(CompiledDesign, ComponentsGatherTheirSubPartsInPartOrder) {
    HostApplication app(SmallDesign(), Folder);
    auto* compiled = Compiled(app);
    ASSERT_NE(compiled, nullptr);
    ASSERT_EQ(compiled->DM_ComponentCount(), 3);
    EXPECT_EQ(compiled->DM_Components(0)->DM_PhysicalDesignator(), u"U1");
    EXPECT_EQ(compiled->DM_Components(1)->DM_PhysicalDesignator(), u"R1");
    EXPECT_EQ(compiled->DM_Components(2)->DM_PhysicalDesignator(), u"C1");

    auto* u1 = compiled->DM_Components(0);
    EXPECT_EQ(u1->DM_UniqueId(), Widen(U1Id));
    EXPECT_EQ(u1->DM_Device(), u"XC7A35T");  // named on the second part only
    ASSERT_EQ(u1->DM_SubPartCount(), 2);
    for (int i = 0; i < 2; ++i) {
        auto* part = u1->DM_SubParts(i);
        EXPECT_EQ(part->DM_PartID(), i + 1);
        EXPECT_EQ(part->DM_UniqueIdText(), Widen(U1Id));
        auto* placed = dynamic_cast<host::ISch_Component*>(part->DM_SchObject());
        ASSERT_NE(placed, nullptr);
        EXPECT_EQ(placed->ObjectId(), host::eSchComponent);
        EXPECT_EQ(placed->CurrentPartId(), i + 1);
        EXPECT_EQ(placed->Designator(), u"U1");
        EXPECT_EQ(placed->UniqueId(), Widen(U1Id));
        EXPECT_EQ(placed->OwnerDocumentFullPath(), Widen(PathOf("main.sch")));
        ASSERT_EQ(placed->PinCount(), 3);
        EXPECT_EQ(placed->Pin(0)->Designator(), i == 0 ? u"1" : u"4");
        EXPECT_EQ(placed->Pin(3), nullptr);
    }
    EXPECT_EQ(u1->DM_SubParts(2), nullptr);
}

TEST(CompiledDesign, PinsAreNetItemsOfEverySubPart) {
    HostApplication app(SmallDesign(), Folder);
    auto* u1 = ByDesignator(Compiled(app), u"U1");
    ASSERT_NE(u1, nullptr);
    ASSERT_EQ(u1->DM_PinCount(), 6);
    const std::u16string numbers[] = {u"1", u"2", u"3", u"4", u"5", u"6"};
    const std::u16string nets[] = {u"A", u"B", u"OUT1", u"C", u"D", u""};
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        auto* pin = u1->DM_Pins(i);
        EXPECT_EQ(pin->DM_PinNumber(), numbers[i]);
        EXPECT_EQ(pin->DM_PinName(), u"P" + numbers[i]);
        EXPECT_EQ(pin->DM_ElectricalType(), u"Passive");
        EXPECT_EQ(pin->DM_GroupingValue(), u"U1");
        EXPECT_EQ(pin->DM_PartId(), i < 3 ? 1 : 2);
        EXPECT_EQ(pin->DM_FullIdentifier(), u"U1-" + numbers[i]);
        EXPECT_EQ(pin->DM_OwnerDocumentFullPath(), Widen(PathOf("main.sch")));
        auto* schPin = dynamic_cast<host::ISch_Pin*>(pin->DM_SchObject());
        ASSERT_NE(schPin, nullptr);
        EXPECT_EQ(schPin->ObjectId(), host::eSchPin);
        EXPECT_EQ(schPin->Designator(), numbers[i]);
        EXPECT_EQ(schPin->OwnerPartId(), pin->DM_PartId());
        auto* net = pin->DM_FlattenedNet();
        EXPECT_EQ(net ? net->DM_NetName() : u"", nets[i]);
    }
    EXPECT_EQ(u1->DM_Pins(6), nullptr);
    EXPECT_EQ(u1->DM_Pins(-1), nullptr);
}

TEST(CompiledDesign, NetsGroupPinsByNameWithThreeMemberLists) {
    HostApplication app(SmallDesign(), Folder);
    auto* compiled = Compiled(app);
    auto* gnd = ByDesignator(compiled, u"R1")->DM_Pins(1)->DM_FlattenedNet();
    ASSERT_NE(gnd, nullptr);
    EXPECT_EQ(gnd->DM_NetName(), u"GND");
    // GND joins pins of two sheets: R1-2 and C1-2.
    ASSERT_EQ(gnd->DM_MemberCount(host::ePinMembers), 2);
    EXPECT_EQ(gnd->DM_MemberCount(host::eAllMembers), 2);
    EXPECT_EQ(gnd->DM_MemberCount(host::eNonPinMembers), 0);
    std::set<std::u16string> ids;
    for (int i = 0; i < 2; ++i) {
        ids.insert(gnd->DM_Member(host::ePinMembers, i)->DM_FullIdentifier());
        EXPECT_EQ(gnd->DM_Member(host::eAllMembers, i), gnd->DM_Member(host::ePinMembers, i));
        EXPECT_EQ(gnd->DM_Member(host::ePinMembers, i)->DM_FlattenedNet(), gnd);
    }
    EXPECT_EQ(ids, (std::set<std::u16string>{u"R1-2", u"C1-2"}));
    EXPECT_EQ(gnd->DM_Member(host::eNonPinMembers, 0), nullptr);
    EXPECT_EQ(gnd->DM_Member(host::ePinMembers, 2), nullptr);

    // One net object per name, shared by every pin on it.
    EXPECT_EQ(ByDesignator(compiled, u"C1")->DM_Pins(1)->DM_FlattenedNet(), gnd);
}

// The counts the plug-in's schematic test takes: per member list, the members grouped with
// the pin (same grouping value). A pin that is its component's only pin on the net gives
// all = 1, non-pin = 0, pins = 1; a component with two pins on one net gives 2 for both.
std::map<std::u16string, int> PinCountsOnOwnNet(host::IComponent* component,
                                                host::NetMemberList list) {
    std::map<std::u16string, int> counts;
    for (int p = 0; p < component->DM_PinCount(); ++p) {
        auto* pin = component->DM_Pins(p);
        auto* net = pin->DM_FlattenedNet();
        if (!net) continue;
        int count = 0;
        for (int m = 0; m < net->DM_MemberCount(list); ++m)
            if (net->DM_Member(list, m)->DM_GroupingValue() == pin->DM_GroupingValue()) ++count;
        counts[pin->DM_PinNumber()] = count;
    }
    return counts;
}

TEST(CompiledDesign, GroupingValuesSetApartPinsOfOneComponent) {
    DesignData design = SmallDesign();
    // R1 gets a second pin on GND: both of its GND pins now share the net with each other.
    design.schematics[0].components[1].pins.push_back(Pin("3", "GND"));
    HostApplication app(design, Folder);
    auto* compiled = Compiled(app);

    auto u1 = PinCountsOnOwnNet(ByDesignator(compiled, u"U1"), host::ePinMembers);
    EXPECT_EQ(
        u1, (std::map<std::u16string, int>{{u"1", 1}, {u"2", 1}, {u"3", 1}, {u"4", 1}, {u"5", 1}}));
    EXPECT_EQ(PinCountsOnOwnNet(ByDesignator(compiled, u"U1"), host::eAllMembers), u1);
    for (const auto& [pin, count] :
         PinCountsOnOwnNet(ByDesignator(compiled, u"U1"), host::eNonPinMembers))
        EXPECT_EQ(count, 0) << Narrow(pin);

    auto r1 = PinCountsOnOwnNet(ByDesignator(compiled, u"R1"), host::ePinMembers);
    EXPECT_EQ(r1, (std::map<std::u16string, int>{{u"1", 1}, {u"2", 2}, {u"3", 2}}));
}

TEST(CompiledDesign, StaysOneObjectAcrossCompilesAndCountsRefreshes) {
    HostApplication app(SmallDesign(), Folder);
    auto* first = Compiled(app);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->DM_DocumentKind(), u"COMPILED");
    EXPECT_EQ(first->DM_Project()->DM_ProjectFileName(), u"demo.prj");
    auto* u1 = ByDesignator(first, u"U1");
    EXPECT_EQ(app.ComponentRefreshes(U1Id), 0);
    u1->DM_Refresh();
    u1->DM_Refresh();
    EXPECT_EQ(app.ComponentRefreshes(U1Id), 2);
    EXPECT_EQ(app.ComponentRefreshes("R0000001"), 0);

    // Pointers taken before a compile stay valid after it.
    EXPECT_EQ(Compiled(app), first);
    EXPECT_EQ(ByDesignator(first, u"U1"), u1);
}

TEST(CompiledDesign, LibraryListsItsComponentsWithoutNets) {
    HostApplication app(SmallDesign(), Folder);
    auto* library = app.Workspace()->DM_GetDocumentFromPath(Widen(PathOf("parts.lib")));
    ASSERT_NE(library, nullptr);
    EXPECT_EQ(library->DM_DocumentKind(), u"SCHLIB");
    EXPECT_EQ(library->DM_FileName(), u"parts.lib");
    EXPECT_EQ(library->DM_Project(),
              app.Workspace()->DM_GetDocumentFromPath(Widen(PathOf("main.sch")))->DM_Project());
    ASSERT_EQ(library->DM_ComponentCount(), 1);
    auto* component = library->DM_Components(0);
    ASSERT_EQ(component->DM_SubPartCount(), 2);
    EXPECT_EQ(component->DM_SubParts(0)->DM_PartID(), 1);  // placed second in the file
    EXPECT_EQ(component->DM_SubParts(0)->DM_UniqueIdText(), u"LIB7408");
    ASSERT_EQ(component->DM_PinCount(), 2);
    EXPECT_EQ(component->DM_Pins(0)->DM_PinNumber(), u"1");
    EXPECT_EQ(component->DM_Pins(0)->DM_FlattenedNet(), nullptr);
    EXPECT_EQ(component->DM_Pins(1)->DM_OwnerDocumentFullPath(), Widen(PathOf("parts.lib")));
    auto* pin = dynamic_cast<host::ISch_Pin*>(component->DM_Pins(1)->DM_SchObject());
    ASSERT_NE(pin, nullptr);
    EXPECT_EQ(pin->SwapIdPin(), u"2");

    // Sheets are not libraries: they list no components of their own.
    EXPECT_EQ(
        app.Workspace()->DM_GetDocumentFromPath(Widen(PathOf("main.sch")))->DM_ComponentCount(), 0);
}

}  // namespace
}  // namespace workspace_test
