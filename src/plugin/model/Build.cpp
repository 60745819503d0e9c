// Building the swap data set: the document's board and project, the components that take
// part, their pins and swap groups, the nets with their connected copper and hot spots, the
// links between copper and pins, sub-parts, and the pruning of what cannot swap. Analyze
// runs the steps in their fixed order.
#include <algorithm>

#include "config/Rt_SchematicPinAndPartSwap.h"
#include "frame/HostAccess.h"
#include "links/Rt_ConnectedObjectFinder.h"
#include "model/Analyze.h"
#include "model/Geometry.h"
#include "model/Optimizer_Data.h"
#include "platform/Platform.h"

namespace tessaro {

namespace {

// Arcs, pads, vias and tracks: the copper the search follows.
constexpr host::ObjectSet FinderObjectKinds = 30;
// Marks the primitives of a pin's own sub-net on the board.
constexpr std::int32_t PinSubNetMarker = 9999;

// The text after the last "\".
std::string LastSegment(const std::string& text) {
    const auto slash = text.rfind('\\');
    return slash == std::string::npos ? text : text.substr(slash + 1);
}

bool HasPad(const TSwapSubNet* subNet) {
    return std::any_of(subNet->Prims.begin(), subNet->Prims.end(), [](host::IPCB_Primitive* p) {
        return p != nullptr && p->ObjectId() == host::ePadObject;
    });
}

}  // namespace

// ---- Step 1: creating the data set
// ---------------------------------------------------------------

TSwapDataSet::TSwapDataSet(const std::string& fileName, TSwapMode mode) : TSwapDataObject(this) {
    FileName = fileName;
    SwapMode = mode;
    const std::u16string path = W(fileName);
    if (host::IPCB_ServerInterface* pcb = PCBServer()) BoardRef = pcb->GetPCBBoardByPath(path);
    host::IWorkspace* workspace = Workspace();
    if (workspace) Document = workspace->DM_GetDocumentFromPath(path);
    if (Document) {
        Project = Document->DM_Project();
        if (Project && workspace && Project == workspace->DM_FreeDocumentsProject())
            Project = nullptr;
    }
    if (Document && platform::SameText(N(Document->DM_DocumentKind()), "SCHLIB")) {
        Project = Document->DM_Project();
        LibraryMode = true;
        return;
    }
    if (Project == nullptr) return;
    host::IDocument* compiled = Project->DM_DocumentFlattened();
    if (compiled == nullptr) {
        Project->DM_Compile();
        compiled = Project->DM_DocumentFlattened();
    }
    Document = compiled;
    if (compiled) {
        const int count = compiled->DM_ComponentCount();
        for (int i = 0; i < count; ++i)
            if (host::IComponent* component = compiled->DM_Components(i)) component->DM_Refresh();
    }
    if (BoardRef) ComponentMappings = Project->DM_ComponentMappings(path);
}

// ---- Step 2: collecting components
// ----------------------------------------------------------------

void TSwapDataSet::CollectComponentsStep(const std::string& filter, bool includeAll) {
    if (ComponentMappings == nullptr) {
        Warn(*this, "No PCB components are linked to schematic components.");
        return;
    }
    if (ComponentMappings->DM_UnmatchedCount() > 0)
        Warn(*this, "Not all PCB components are linked to schematic components.");
    const std::string wanted = LastSegment(filter);
    const int count = ComponentMappings->DM_MatchedCount();
    for (int i = 0; i < count; ++i) {
        host::IComponent* sch = ComponentMappings->DM_MatchedSourceComponent(i);
        host::IComponent* pcb = ComponentMappings->DM_MatchedTargetComponent(i);
        if (sch == nullptr || pcb == nullptr) continue;

        bool hasPinIds = false, hasPartIds = false, hasPairIds = false;
        const int pinCount = sch->DM_PinCount();
        for (int p = 0; p < pinCount; ++p) {
            host::INetItem* pin = sch->DM_Pins(p);
            hasPinIds = hasPinIds || !ReadPinSwapId(pin).empty();
            hasPartIds = hasPartIds || !ReadPartSwapId(pin).empty();
            hasPairIds = hasPairIds || !ReadPairSwapId(pin).empty();
        }
        host::IPCB_Component* board =
            BoardRef ? BoardRef->ComponentByUniqueId(pcb->DM_UniqueId()) : nullptr;
        const bool pinSwap = board && board->PinSwapAllowed();
        const bool partSwap = board && board->PartSwapAllowed();

        bool taken = pinSwap || (partSwap && (hasPartIds || hasPairIds)) || includeAll;
        if (taken && !wanted.empty())
            taken = board && platform::SameText(LastSegment(N(board->UniqueId())), wanted);
        if (!taken) continue;

        auto* component = Make<TSwapComponent>(this);
        component->PcbComponent = pcb;
        component->SchComponent = sch;
        component->PinSwapEnabled = pinSwap;
        component->PartSwapEnabled = partSwap;
        Components.push_back(component);
        Log("Added Component:");
    }
}

void TSwapDataSet::CollectLibraryComponents(const std::string& filter) {
    if (Document == nullptr) return;
    const std::string wanted = LastSegment(filter);
    const int count = Document->DM_ComponentCount();
    for (int i = 0; i < count; ++i) {
        host::IComponent* sch = Document->DM_Components(i);
        if (sch == nullptr) continue;
        if (!wanted.empty()) {
            bool matches = false;
            const int parts = sch->DM_SubPartCount();
            for (int p = 0; p < parts && !matches; ++p)
                if (host::IPart* part = sch->DM_SubParts(p))
                    matches = platform::SameText(LastSegment(N(part->DM_UniqueIdText())), wanted);
            if (!matches) continue;
        }
        const bool taken = std::any_of(Components.begin(), Components.end(),
                                       [&](TSwapComponent* c) { return c->SchComponent == sch; });
        if (taken) continue;
        auto* component = Make<TSwapComponent>(this);
        component->SchComponent = sch;
        Components.push_back(component);
        Log("Added Component:");
    }
}

// ---- Step 3: pins and swap groups
// -------------------------------------------------------------------

host::IPCB_DifferentialPair* TSwapDataSet::DifferentialPairOf(host::IPCB_Net* net) const {
    if (net == nullptr || BoardRef == nullptr) return nullptr;
    const int count = BoardRef->DifferentialPairCount();
    for (int i = 0; i < count; ++i) {
        host::IPCB_DifferentialPair* pair = BoardRef->DifferentialPair(i);
        if (pair && (pair->PositiveNet() == net || pair->NegativeNet() == net)) return pair;
    }
    return nullptr;
}

bool TSwapDataSet::IsPairCapable(TSwapPin* pin) const {
    host::IPCB_Net* net = pin->BoardNet();
    if (DifferentialPairOf(net)) return true;
    if (net && !net->Name().empty()) return false;
    return !ReadPairSwapId(pin->SchPin).empty();
}

bool TSwapDataSet::PinHasModeId(TSwapPin* pin) const {
    switch (SwapMode) {
        case smPartSwap:
            return !ReadPartSwapId(pin->SchPin).empty();
        case smPinSwap:
            return !ReadPinSwapId(pin->SchPin).empty();
        case smPairSwap:
            return IsPairCapable(pin);
    }
    return false;
}

std::string TSwapDataSet::PinModeId(TSwapPin* pin) const {
    switch (SwapMode) {
        case smPartSwap:
            return ReadPartSwapId(pin->SchPin);
        case smPinSwap:
            return ReadPinSwapId(pin->SchPin);
        case smPairSwap:
            return ReadPairSwapId(pin->SchPin);
    }
    return {};
}

std::string TSwapDataSet::PairName(TSwapPin* pin) const {
    host::IPCB_Net* net = pin->BoardNet();
    if (host::IPCB_DifferentialPair* pair = DifferentialPairOf(net)) return N(pair->Name());
    if (net == nullptr && pin->DevicePin) return N(pin->DevicePin->DiffPairName());
    return {};
}

std::string TSwapDataSet::PairLetter(TSwapPin* pin) const {
    host::IPCB_Net* net = pin->BoardNet();
    if (host::IPCB_DifferentialPair* pair = DifferentialPairOf(net)) {
        if (pair->PositiveNet() == net) return "P";
        if (pair->NegativeNet() == net) return "N";
    }
    if (net && !net->Name().empty()) return "X";
    if (pin->DevicePin) {
        if (pin->DevicePin->IsDiffPositive()) return "P";
        if (pin->DevicePin->IsDiffNegative()) return "N";
    }
    return "X";
}

void TSwapDataSet::BuildPinAndSwapGroupLists(TSwapComponent* component) {
    Log("BuildPinAndSwapGroupLists");
    host::IComponent* sch = component->SchComponent;
    TSortedStringList<host::INetItem*> schPins;
    if (sch) {
        const int count = sch->DM_PinCount();
        for (int i = 0; i < count; ++i)
            if (host::INetItem* pin = sch->DM_Pins(i)) schPins.Add(N(pin->DM_PinNumber()), pin);
    }
    TSortedStringList<host::IDevicePin*> devicePins;
    if (host::IDeviceManager* devices = DeviceManager(); devices && sch) {
        if (host::IDevice* device = devices->GetDeviceByName(sch->DM_Device())) {
            const int count = device->PinCount();
            for (int i = 0; i < count; ++i)
                if (host::IDevicePin* pin = device->Pin(i)) devicePins.Add(N(pin->Name()), pin);
        }
    }

    host::IPCB_Component* pcb = component->PcbObject();
    if (pcb == nullptr) return;
    std::unique_ptr<host::IPCB_Iterator> iterator = pcb->GroupIterator_Create();
    iterator->AddFilter_ObjectSet(host::MkSet(host::ePadObject));
    TSortedStringList<TSwapGroup*>& groups =
        SwapMode == smPinSwap ? component->PinSwapGroups : component->PartSwapGroups;
    std::vector<TSwapGroup*>& allGroups = SwapMode == smPinSwap ? PinSwapGroups : PartSwapGroups;
    for (host::IPCB_Primitive* object = iterator->FirstPCBObject(); object != nullptr;
         object = iterator->NextPCBObject()) {
        auto* pad = dynamic_cast<host::IPCB_Pad*>(object);
        if (pad == nullptr) continue;
        const std::string name = N(pad->Name());
        host::INetItem* schPin = schPins.Find(name);
        host::IDevicePin* devicePin = devicePins.Find(name);
        if (schPin == nullptr) {
            ReportUnmatchedPad(*this, pad, pcb);
            ++UnmatchedPins;
            continue;
        }
        auto* pin = Make<TSwapPin>(this, pad, schPin, devicePin, component);
        if (!PinHasModeId(pin)) continue;
        if (!PinMaySwap(*this, pin)) {
            ReportUnswappableSchPin(schPin);
            ++UnswappablePins;
            continue;
        }
        component->Pins.push_back(pin);
        const std::string id = PinModeId(pin);
        TSwapGroup* group = groups.Find(id);
        if (group == nullptr) {
            group = Make<TSwapGroup>(this, id, component);
            groups.Add(id, group);
            allGroups.push_back(group);
        }
        group->Pins.push_back(pin);
        if (SwapMode == smPinSwap)
            pin->PinGroup = group;
        else
            pin->PartGroup = group;
    }
    InvalidateLookups();
}

// ---- Steps 4 and 5: pruning and ordering the groups
// ----------------------------------------------

void TSwapDataSet::DropSmallGroups() {
    auto small = [](TSwapGroup* group) { return group->Pins.size() < 2; };
    std::erase_if(PinSwapGroups, small);
    std::erase_if(PartSwapGroups, small);
    InvalidateLookups();
}

void TSwapDataSet::SortPinSwapGroups() {
    // Equal pin counts may come in any order; a stable sort keeps runs repeatable.
    std::stable_sort(PinSwapGroups.begin(), PinSwapGroups.end(),
                     [](TSwapGroup* a, TSwapGroup* b) { return a->Pins.size() > b->Pins.size(); });
    InvalidateLookups();
}

// ---- Step 6: nets
// ------------------------------------------------------------------------------------

void TSwapDataSet::BuildNetList() {
    Log("Build_NetList------------------------------");
    for (const auto* groups : {&PinSwapGroups, &PartSwapGroups})
        for (TSwapGroup* group : *groups)
            for (TSwapPin* pin : group->Pins) NetFor(pin, pin->BoardNet());
}

// ---- Step 7: sub-nets and hot spots
// ----------------------------------------------------------------

TSwapSubNet* TSwapDataSet::CreateSubNet(TSwapNet* net, std::int16_t index) {
    auto* subNet = Make<TSwapSubNet>(this, net, index);
    SubNets.push_back(subNet);
    InvalidateLookups();
    Log("  CreateSubNet:");
    return subNet;
}

namespace {

bool PassesPrimitiveFilter(host::IPCB_Primitive* prim, bool padsOnly) {
    if (prim == nullptr) return false;
    const host::ObjectKind kind = prim->ObjectId();
    if (padsOnly ? kind != host::ePadObject
                 : (kind < host::eArcObject || kind > host::eTrackObject))
        return false;
    if (kind == host::ePadObject) {
        auto* pad = dynamic_cast<host::IPCB_Pad*>(prim);
        return pad != nullptr && !pad->IsSwapExcluded();
    }
    return true;
}

}  // namespace

void TSwapDataSet::BuildSubNetList(TSwapNet* net) {
    Log("TSwapNet.BuildSubNetList:");
    net->SubNets.clear();
    if (net->IPCBNet == nullptr) return;
    const auto pieces = net->IPCBNet->ConnectedPieces();
    int index = 1;
    for (const auto& piece : pieces) {
        TSwapSubNet* subNet = CreateSubNet(net, static_cast<std::int16_t>(index++));
        net->SubNets.push_back(subNet);
        for (host::IPCB_Primitive* prim : piece)
            if (PassesPrimitiveFilter(prim, PadsOnly)) subNet->Prims.push_back(prim);
        RebuildHotSpots(subNet);
    }
    // Pieces without a pad stay in the data set but are no sub-nets of the net.
    std::erase_if(net->SubNets, [](TSwapSubNet* subNet) { return !HasPad(subNet); });
}

void TSwapDataSet::BuildSubNetLists() {
    Log("Build_SubNetLists-------------------------");
    for (int i = Nets.Count() - 1; i >= 0; --i) {
        TSwapNet* net = Nets.Object(i);
        BuildSubNetList(net);
        if (net->SubNets.empty()) Nets.Delete(i);
    }
    for (const auto* groups : {&PinSwapGroups, &PartSwapGroups})
        for (TSwapGroup* group : *groups)
            for (TSwapPin* pin : group->Pins)
                if (pin->BoardNet() == nullptr)
                    FillSubNetFromPin(CreateSubNet(nullptr, NoNetSubNetIndex), pin);
}

void TSwapDataSet::FillSubNetFromPin(TSwapSubNet* subNet, TSwapPin* pin) {
    subNet->Prims.clear();
    if (PadsOnly) {
        subNet->Prims.push_back(pin->Pad);
    } else if (BoardRef != nullptr) {
        TConnectedObjectFinder finder(BoardRef, FinderObjectKinds, subNet->Prims, pin->Pad);
        finder.Search();
    }
    InvalidateLookups();
    for (host::IPCB_Primitive* prim : subNet->Prims) prim->SetMarker(PinSubNetMarker);
    RebuildHotSpots(subNet);
}

void TSwapDataSet::RebuildHotSpots(TSwapSubNet* subNet) {
    subNet->HotSpots.Clear();
    auto add = [&](std::int32_t x, std::int32_t y, int layer) {
        THotSpot* spot = MakeHotSpot(x, y, static_cast<host::Layer>(layer), subNet);
        // A refused duplicate stays owned by the data set, unused.
        subNet->HotSpots.Add(spot, reinterpret_cast<TCustomPointerBucketList::Value>(spot));
    };
    for (host::IPCB_Primitive* prim : subNet->Prims) {
        if (prim == nullptr) continue;
        switch (prim->ObjectId()) {
            case host::ePadObject:
                if (auto* pad = dynamic_cast<host::IPCB_Pad*>(prim); pad && pad->JumperId().empty())
                    add(pad->X(), pad->Y(), pad->GetLayer());
                break;
            case host::eViaObject:
                if (auto* via = dynamic_cast<host::IPCB_Via*>(prim)) {
                    const int from = via->StartLayer();
                    const int to = via->EndLayer();
                    if (from == host::eTopLayer && to == host::eBottomLayer) {
                        add(via->X(), via->Y(), host::eMultiLayer);
                    } else {
                        for (int layer = from; layer <= to; ++layer) add(via->X(), via->Y(), layer);
                    }
                }
                break;
            case host::eTrackObject:
                if (auto* track = dynamic_cast<host::IPCB_Track*>(prim)) {
                    add(track->X1(), track->Y1(), track->GetLayer());
                    add(track->X2(), track->Y2(), track->GetLayer());
                }
                break;
            default:
                break;
        }
    }
}

// ---- Step 8: linking copper to pins
// ------------------------------------------------------------------

void TSwapDataSet::LinkSubNetsToPins() {
    Log("Build_SubNetToSwapPinLinks-----------------");
    for (TSwapSubNet* subNet : SubNets) {
        TSwapPin* linked = nullptr;
        int pins = 0;
        int foreignPads = 0;
        for (host::IPCB_Primitive* prim : subNet->Prims) {
            if (prim == nullptr || prim->ObjectId() != host::ePadObject) continue;
            auto* pad = dynamic_cast<host::IPCB_Pad*>(prim);
            if (TSwapPin* pin = FindPinByPad(pad)) {
                // A pin already linked to copper of its own keeps it: a later piece that
                // merely touches its pad (copper reached from a pad without net) must not
                // take the pin away from the sub-net that swaps it.
                if (pin->SubNet == nullptr || pin->SubNet->Pin != pin) pin->SubNet = subNet;
                linked = pin;
                ++pins;
            } else {
                ++foreignPads;
            }
        }
        if (pins != 1 || foreignPads != 0) continue;
        subNet->Pin = linked;
        THotSpot* best = nullptr;
        double farthest = -1;
        for (THotSpot* spot : subNet->HotSpots.InOrder()) {
            const double distance = Euclid(spot, linked->PadLocation);
            if (distance > farthest) {
                farthest = distance;
                best = spot;
            }
        }
        subNet->BestHotSpot = best ? best : linked->PadLocation;
        if (linked->PinGroup) linked->PinGroup->SubNets.push_back(subNet);
        if (linked->PartGroup) linked->PartGroup->SubNets.push_back(subNet);
    }
}

// ---- Step 9: sub-parts
// --------------------------------------------------------------------------------

void TSwapDataSet::BuildSubParts() {
    if (SwapMode != smPartSwap && SwapMode != smPairSwap) return;
    Log("Build_SubPartsInPartSwapGroups-------------");
    for (TSwapGroup* group : PartSwapGroups) {
        for (TSwapSubNet* subNet : group->SubNets) {
            TSwapPin* pin = subNet->Pin;
            if (pin == nullptr) continue;
            std::string subPartId;
            std::string sequenceId;
            if (SwapMode == smPartSwap) {
                const int number = pin->SchPin ? pin->SchPin->DM_PartId() : 0;
                if (number == 0) continue;
                subPartId = std::to_string(number);
                sequenceId = ReadPartSequenceId(pin->SchPin);
            } else {
                subPartId = PairName(pin);
                sequenceId = PairLetter(pin);
            }
            TSwapSubPart* subPart = group->SubParts.Find(subPartId);
            if (subPart == nullptr) {
                subPart = Make<TSwapSubPart>(this, group, subPartId);
                group->SubParts.Add(subPartId, subPart);
            }
            subPart->SubNets.Add(sequenceId, subNet);
            pin->SubPart = subPart;
        }
        if (SwapMode == smPairSwap) {
            // A differential pair is exactly two sub-nets; other sub-parts cannot swap.
            for (int i = group->SubParts.Count() - 1; i >= 0; --i)
                if (group->SubParts.Object(i)->SubNets.Count() != 2) group->SubParts.Delete(i);
        }
    }
}

// ---- Steps 10 to 12: pruning, classifying, group nets
// ------------------------------------------------

void TSwapDataSet::DropInactiveGroups() {
    std::vector<TSwapGroup*> active;
    for (TSwapGroup* group : PinSwapGroups) {
        const bool hasNet =
            std::any_of(group->SubNets.begin(), group->SubNets.end(),
                        [](TSwapSubNet* s) { return s->Pin && s->Pin->BoardNet(); });
        if (group->Pins.size() > 1 && group->SubNets.size() > 1 && hasNet) {
            active.push_back(group);
        } else {
            for (TSwapSubNet* subNet : group->SubNets) subNet->Pin = nullptr;
        }
    }
    PinSwapGroups = std::move(active);
    InvalidateLookups();
}

void TSwapDataSet::ClassifySubNets() {
    SwapSubNets.clear();
    FixedSubNets.clear();
    for (TSwapSubNet* subNet : SubNets)
        (subNet->Pin ? SwapSubNets : FixedSubNets).push_back(subNet);
}

void TSwapDataSet::ResetGroupNets(TSwapGroup* group) {
    group->Nets.clear();
    if (group->SubNets.empty()) {
        Log("Bad:" + group->Describe());
        return;
    }
    group->Nets.reserve(group->SubNets.size());
    for (std::size_t i = 0; i < group->SubNets.size(); ++i) {
        TSwapSubNet* subNet = group->SubNets[i];
        group->Nets.push_back(subNet->OriginalNet);
        subNet->NetIndex = static_cast<std::int32_t>(i);
        subNet->OriginalNetIndex = static_cast<std::int32_t>(i);
    }
}

void TSwapDataSet::ResetAllGroupNets() {
    for (TSwapGroup* group : PinSwapGroups) ResetGroupNets(group);
}

}  // namespace tessaro
