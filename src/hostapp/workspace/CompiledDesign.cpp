#include "hostapp/workspace/CompiledDesign.h"

#include <algorithm>
#include <deque>
#include <map>

#include "hostapp/HostApplication.h"
#include "hostapp/schematic/SchObjects.h"
#include "platform/Platform.h"

namespace hostapp::ws {

using platform::Widen;

namespace {

std::string FoldCase(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

template <class T>
T* At(const std::vector<std::unique_ptr<T>>& list, int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= list.size()) return nullptr;
    return list[static_cast<std::size_t>(index)].get();
}

}  // namespace

std::string LastIdSegment(const std::string& uniqueId) {
    auto slash = uniqueId.rfind('\\');
    return slash == std::string::npos ? uniqueId : uniqueId.substr(slash + 1);
}

// ---- NetItem --------------------------------------------------------------------------------

std::u16string NetItem::DM_PinNumber() {
    return Widen(data_.pinNumber);
}
std::u16string NetItem::DM_PinName() {
    return Widen(data_.pinName);
}
std::u16string NetItem::DM_ElectricalType() {
    return Widen(data_.electricalType);
}
std::u16string NetItem::DM_GroupingValue() {
    return Widen(data_.groupingValue);
}
host::INet* NetItem::DM_FlattenedNet() {
    return data_.net;
}
std::u16string NetItem::DM_FullIdentifier() {
    return Widen(data_.fullIdentifier);
}
std::u16string NetItem::DM_OwnerDocumentFullPath() {
    return Widen(data_.ownerDocumentPath);
}

// ---- CompiledNet ----------------------------------------------------------------------------

std::u16string CompiledNet::DM_NetName() {
    return Widen(name_);
}

void CompiledNet::AddPin(NetItem* pin) {
    all_.push_back(pin);
    pins_.push_back(pin);
}

const std::vector<NetItem*>* CompiledNet::List(host::NetMemberList list) const {
    switch (list) {
        case host::eAllMembers:
            return &all_;
        case host::eNonPinMembers:
            return &nonPins_;
        case host::ePinMembers:
            return &pins_;
    }
    return nullptr;
}

int CompiledNet::DM_MemberCount(host::NetMemberList list) {
    const auto* members = List(list);
    return members ? static_cast<int>(members->size()) : 0;
}

host::INetItem* CompiledNet::DM_Member(host::NetMemberList list, int index) {
    const auto* members = List(list);
    if (!members || index < 0 || static_cast<std::size_t>(index) >= members->size()) return nullptr;
    return (*members)[static_cast<std::size_t>(index)];
}

// ---- CompiledPart ---------------------------------------------------------------------------

int CompiledPart::DM_PartID() {
    return placed_.Data().part;
}
host::ISch_Object* CompiledPart::DM_SchObject() {
    return &placed_;
}
std::u16string CompiledPart::DM_UniqueIdText() {
    return Widen(placed_.Data().uniqueId);
}

// ---- CompiledComponent ------------------------------------------------------------------------

CompiledComponent::CompiledComponent(std::string designator, std::string uniqueId,
                                     std::string device, FaultInjector& faults)
    : designator_(std::move(designator)),
      uniqueId_(std::move(uniqueId)),
      device_(std::move(device)),
      faults_(faults) {}

std::u16string CompiledComponent::DM_PhysicalDesignator() {
    return Widen(designator_);
}
std::u16string CompiledComponent::DM_UniqueId() {
    return Widen(uniqueId_);
}
std::u16string CompiledComponent::DM_Device() {
    return Widen(device_);
}
host::INetItem* CompiledComponent::DM_Pins(int index) {
    return At(pins_, index);
}
host::IPart* CompiledComponent::DM_SubParts(int index) {
    return At(parts_, index);
}

void CompiledComponent::DM_Refresh() {
    faults_.Check("IComponent.DM_Refresh");
    // Pins read their attributes live from the schematic, so there is nothing stale to
    // reload; the count lets callers see that the refresh was asked for.
    ++refreshes_;
}

NetItem& CompiledComponent::AddPin(NetItemData data) {
    pins_.push_back(std::make_unique<NetItem>(std::move(data)));
    return *pins_.back();
}

void CompiledComponent::AddPart(sch::SchComponent& placed) {
    parts_.push_back(std::make_unique<CompiledPart>(placed));
}

// ---- Gathering components
// ------------------------------------------------------------------------

ComponentSet GatherComponents(const std::vector<sch::SchDocument*>& documents, bool withNets,
                              FaultInjector& faults) {
    // Placed sub-parts grouped by unique id, groups in order of their first placement. An
    // entry without unique id cannot be told apart from others: it stands alone.
    std::vector<std::vector<sch::SchComponent*>> groups;
    std::map<std::string, std::size_t> groupOfId;
    for (auto* document : documents)
        for (const auto& placed : document->Components()) {
            const std::string& id = placed->Data().uniqueId;
            if (id.empty()) {
                groups.push_back({placed.get()});
                continue;
            }
            auto [it, added] = groupOfId.emplace(FoldCase(id), groups.size());
            if (added) groups.emplace_back();
            groups[it->second].push_back(placed.get());
        }

    ComponentSet set;
    std::map<std::string, CompiledNet*> netOfName;
    for (auto& group : groups) {
        std::stable_sort(group.begin(), group.end(),
                         [](auto* a, auto* b) { return a->Data().part < b->Data().part; });
        const auto& first = group.front()->Data();
        std::string device;
        for (auto* placed : group)
            if (device.empty()) device = placed->Data().device;
        auto component =
            std::make_unique<CompiledComponent>(first.designator, first.uniqueId, device, faults);
        for (auto* placed : group) {
            component->AddPart(*placed);
            for (std::size_t i = 0; i < placed->Pins(); ++i) {
                auto& pin = placed->PinAt(i);
                const auto& data = pin.Data();
                NetItemData item;
                item.pinNumber = data.designator;
                item.pinName = data.name;
                item.electricalType = data.type;
                item.groupingValue = component->Designator();
                item.partId = placed->Data().part;
                item.schObject = &pin;
                item.fullIdentifier = component->Designator() + "-" + data.designator;
                item.ownerDocumentPath = placed->DocumentPath();
                NetItem& netItem = component->AddPin(std::move(item));
                if (!withNets || data.net.empty()) continue;
                auto& net = netOfName[data.net];
                if (!net) {
                    set.nets.push_back(std::make_unique<CompiledNet>(data.net));
                    net = set.nets.back().get();
                }
                net->AddPin(&netItem);
                netItem.SetNet(net);
            }
        }
        set.components.push_back(std::move(component));
    }
    return set;
}

// ---- ComponentMappings
// ---------------------------------------------------------------------------

host::IComponent* ComponentMappings::DM_MatchedSourceComponent(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= matched_.size()) return nullptr;
    return matched_[static_cast<std::size_t>(index)].first;
}

host::IComponent* ComponentMappings::DM_MatchedTargetComponent(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= matched_.size()) return nullptr;
    return matched_[static_cast<std::size_t>(index)].second;
}

std::unique_ptr<ComponentMappings> ComponentMappings::Match(
    const std::vector<std::unique_ptr<CompiledComponent>>& schematic,
    const design::BoardData& board, const std::string& boardPath, FaultInjector& faults) {
    auto mappings = std::make_unique<ComponentMappings>();
    // Board components waiting for a partner, by folded last id segment, in board order.
    std::map<std::string, std::deque<std::size_t>> waiting;
    for (std::size_t i = 0; i < board.components.size(); ++i) {
        const auto& data = board.components[i];
        auto side = std::make_unique<CompiledComponent>(data.designator, data.uniqueId, "", faults);
        for (const auto& pad : data.pads) {
            NetItemData item;
            item.pinNumber = pad.name;
            item.pinName = pad.name;
            item.groupingValue = data.designator;
            item.fullIdentifier = data.designator + "-" + pad.name;
            item.ownerDocumentPath = boardPath;
            side->AddPin(std::move(item));
        }
        mappings->boardSide_.push_back(std::move(side));
        waiting[FoldCase(LastIdSegment(data.uniqueId))].push_back(i);
    }

    int unmatchedSchematic = 0;
    for (const auto& component : schematic) {
        auto it = waiting.find(FoldCase(LastIdSegment(component->UniqueIdText())));
        if (it == waiting.end() || it->second.empty()) {
            ++unmatchedSchematic;
            continue;
        }
        std::size_t target = it->second.front();
        it->second.pop_front();
        mappings->matched_.emplace_back(component.get(), mappings->boardSide_[target].get());
    }
    int unmatchedBoard = 0;
    for (const auto& [segment, left] : waiting) unmatchedBoard += static_cast<int>(left.size());
    mappings->unmatched_ = unmatchedSchematic + unmatchedBoard;
    return mappings;
}

}  // namespace hostapp::ws
