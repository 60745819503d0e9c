// What compiling a project produces: components gathered from their placed sub-parts, their
// pins as net items, the nets that group those pins by name, and the matching of schematic
// components to the components of a board. Schematic libraries list their components the
// same way, without nets.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "host/Workspace.h"
#include "hostapp/design/DesignData.h"
#include "hostapp/workspace/HostOwned.h"

namespace hostapp {
class FaultInjector;
}
namespace hostapp::sch {
class SchComponent;
class SchDocument;
}  // namespace hostapp::sch

namespace hostapp::ws {

class CompiledNet;

struct NetItemData {
    std::string pinNumber;  // the pin's designator (a pad's name on the board side)
    std::string pinName;
    std::string electricalType;
    std::string groupingValue;  // the component's designator
    int partId = 0;
    host::ISch_Object* schObject = nullptr;
    CompiledNet* net = nullptr;
    std::string fullIdentifier;  // designator + "-" + pin designator
    std::string ownerDocumentPath;
};

class NetItem : public HostOwned<host::INetItem> {
  public:
    explicit NetItem(NetItemData data) : data_(std::move(data)) {}

    std::u16string DM_PinNumber() override;
    std::u16string DM_PinName() override;
    std::u16string DM_ElectricalType() override;
    std::u16string DM_GroupingValue() override;
    int DM_PartId() override { return data_.partId; }
    host::ISch_Object* DM_SchObject() override { return data_.schObject; }
    host::INet* DM_FlattenedNet() override;
    std::u16string DM_FullIdentifier() override;
    std::u16string DM_OwnerDocumentFullPath() override;

    const NetItemData& Data() const { return data_; }
    void SetNet(CompiledNet* net) { data_.net = net; }

  private:
    NetItemData data_;
};

class CompiledNet : public HostOwned<host::INet> {
  public:
    explicit CompiledNet(std::string name) : name_(std::move(name)) {}

    std::u16string DM_NetName() override;
    int DM_MemberCount(host::NetMemberList list) override;
    host::INetItem* DM_Member(host::NetMemberList list, int index) override;

    const std::string& Name() const { return name_; }
    void AddPin(NetItem* pin);

  private:
    const std::vector<NetItem*>* List(host::NetMemberList list) const;

    std::string name_;
    // A design file names no net objects other than pins, so the non-pin list stays empty
    // and every member is a pin; the lists are still kept apart as the host keeps them.
    std::vector<NetItem*> all_;
    std::vector<NetItem*> nonPins_;
    std::vector<NetItem*> pins_;
};

class CompiledPart : public HostOwned<host::IPart> {
  public:
    explicit CompiledPart(sch::SchComponent& placed) : placed_(placed) {}
    int DM_PartID() override;
    host::ISch_Object* DM_SchObject() override;
    std::u16string DM_UniqueIdText() override;

  private:
    sch::SchComponent& placed_;
};

// A component of a compiled design or library (schematic side), or the board side of a
// component mapping (no sub-parts; pins from its pads).
class CompiledComponent : public HostOwned<host::IComponent> {
  public:
    CompiledComponent(std::string designator, std::string uniqueId, std::string device,
                      FaultInjector& faults);

    std::u16string DM_PhysicalDesignator() override;
    std::u16string DM_UniqueId() override;
    std::u16string DM_Device() override;
    int DM_PinCount() override { return static_cast<int>(pins_.size()); }
    host::INetItem* DM_Pins(int index) override;
    int DM_SubPartCount() override { return static_cast<int>(parts_.size()); }
    host::IPart* DM_SubParts(int index) override;
    void DM_Refresh() override;

    const std::string& Designator() const { return designator_; }
    const std::string& UniqueIdText() const { return uniqueId_; }
    NetItem& AddPin(NetItemData data);
    void AddPart(sch::SchComponent& placed);
    const std::vector<std::unique_ptr<NetItem>>& Pins() const { return pins_; }
    int Refreshes() const { return refreshes_; }

  private:
    std::string designator_;
    std::string uniqueId_;
    std::string device_;
    std::vector<std::unique_ptr<NetItem>> pins_;
    std::vector<std::unique_ptr<CompiledPart>> parts_;
    int refreshes_ = 0;
    FaultInjector& faults_;
};

// Components gathered from the placed sub-parts of some schematic documents.
struct ComponentSet {
    std::vector<std::unique_ptr<CompiledComponent>> components;  // order of first placement
    std::vector<std::unique_ptr<CompiledNet>> nets;              // order of first pin
};

// Entries sharing a unique id become one component with those sub-parts (in part order);
// with `withNets` the pins are grouped into nets by their net names.
ComponentSet GatherComponents(const std::vector<sch::SchDocument*>& documents, bool withNets,
                              FaultInjector& faults);

class ComponentMappings : public HostOwned<host::IComponentMappings> {
  public:
    int DM_MatchedCount() override { return static_cast<int>(matched_.size()); }
    host::IComponent* DM_MatchedSourceComponent(int index) override;
    host::IComponent* DM_MatchedTargetComponent(int index) override;
    int DM_UnmatchedCount() override { return unmatched_; }

    // Schematic components pair with board components whose unique id ends in the same last
    // segment (after the last "\"), compared without regard to case, in schematic order;
    // each board component pairs at most once.
    static std::unique_ptr<ComponentMappings> Match(
        const std::vector<std::unique_ptr<CompiledComponent>>& schematic,
        const design::BoardData& board, const std::string& boardPath, FaultInjector& faults);

  private:
    std::vector<std::unique_ptr<CompiledComponent>> boardSide_;
    std::vector<std::pair<CompiledComponent*, CompiledComponent*>> matched_;
    int unmatched_ = 0;
};

// The text after the last "\" of a unique id (all of it when there is none).
std::string LastIdSegment(const std::string& uniqueId);

}  // namespace hostapp::ws
