// The model objects: construction and ownership, hot spot keys, the navigation lookups and
// the discarding log. Descriptions and dumps live in SwapDataDescribe.cpp, the build in
// Build.cpp.
#include "model/Optimizer_Data.h"

#include <cinttypes>
#include <cstdio>
#include <stdexcept>

#include "frame/HostAccess.h"
#include "optimizers/Assertion.h"
#include "platform/Platform.h"

namespace tessaro {

// ---- Objects and ownership ----------------------------------------------------------------

TSwapDataObject::TSwapDataObject(TSwapDataSet* owner) : Owner(owner) {}

host::IPCB_Board* TSwapDataObject::Board() const {
    return Owner ? Owner->BoardRef : nullptr;
}

void TSwapDataSet::Adopt(std::unique_ptr<TSwapDataObject> object) {
    objects_.push_back(Owned{std::move(object), nullptr});
}

void TSwapDataSet::Adopt(std::unique_ptr<THotSpot> hotSpot) {
    objects_.push_back(Owned{nullptr, std::move(hotSpot)});
}

THotSpot* TSwapDataSet::MakeHotSpot(std::int32_t x, std::int32_t y, host::Layer layer,
                                    TSwapSubNet* subNet) {
    return Make<THotSpot>(x, y, layer, subNet);
}

TSwapDataSet::~TSwapDataSet() {
    // Creation order: an object never outlives one made before it.
    for (Owned& owned : objects_) {
        owned.object.reset();
        owned.hotSpot.reset();
    }
    objects_.clear();
    if (PinSwapNet != nullptr && BoardRef != nullptr) {
        try {
            BoardRef->RemoveNet(PinSwapNet);
        } catch (...) {
            // Freeing must finish; the board keeps a net it could not remove.
        }
        PinSwapNet = nullptr;
    }
}

// ---- Hot spots --------------------------------------------------------------------------------

THotSpot::THotSpot(std::int32_t x, std::int32_t y, host::Layer layer, TSwapSubNet* subNet)
    : X(x), Y(y), Layer(layer), SubNet(subNet) {}

std::uint32_t THotSpot::Hash() const {
    const auto y = static_cast<std::uint32_t>(Y);
    const std::uint32_t rotated = (y >> 16) | (y << 16);
    return rotated ^ static_cast<std::uint32_t>(X) ^ static_cast<std::uint32_t>(Layer);
}

bool THotSpot::Equals(const TBucketKey& other) const {
    const auto* spot = dynamic_cast<const THotSpot*>(&other);
    if (spot == nullptr)
        throw std::logic_error(
            "Assertion failed: Optimizer_Data, line 4975: key is not a THotSpot");
    return X == spot->X && Y == spot->Y && Layer == spot->Layer && SubNet == spot->SubNet;
}

// ---- Constructors -------------------------------------------------------------------------------

TSwapComponent::TSwapComponent(TSwapDataSet* owner) : TSwapDataObject(owner) {}

host::IPCB_Component* TSwapComponent::PcbObject() const {
    host::IPCB_Board* board = Board();
    if (PcbComponent == nullptr || board == nullptr) return nullptr;
    return board->ComponentByUniqueId(PcbComponent->DM_UniqueId());
}

TSwapPin::TSwapPin(TSwapDataSet* owner, host::IPCB_Pad* pad, host::INetItem* schPin,
                   host::IDevicePin* devicePin, TSwapComponent* component)
    : TSwapDataObject(owner), Pad(pad), SchPin(schPin), DevicePin(devicePin), Component(component) {
    if (pad != nullptr && owner != nullptr)
        PadLocation = owner->MakeHotSpot(pad->X(), pad->Y(), pad->GetLayer(), nullptr);
}

TSwapNet::TSwapNet(TSwapDataSet* owner, host::IPCB_Net* net)
    : TSwapDataObject(owner),
      IPCBNet(net),
      ConnectionsShown(net ? net->ConnectionsVisible() : false) {}

TConnectionLine::TConnectionLine(TSwapDataSet* owner) : TSwapDataObject(owner) {}

TSwapSubNet::TSwapSubNet(TSwapDataSet* owner, TSwapNet* net, std::int16_t index)
    : TSwapDataObject(owner), Index(index), OriginalNet(net), BoardNet(net) {
    if (owner != nullptr) Line = owner->Make<TConnectionLine>(owner);
}

TSwapSubPart::TSwapSubPart(TSwapDataSet* owner, TSwapGroup* group, std::string subPartId)
    : TSwapDataObject(owner), Group(group), SubPartId(std::move(subPartId)) {}

TSwapGroup::TSwapGroup(TSwapDataSet* owner, std::string id, TSwapComponent* component)
    : TSwapDataObject(owner), ID(std::move(id)), Component(component) {}

// ---- Navigation ---------------------------------------------------------------------------------

std::string TSwapPin::PinName() const {
    std::string name = Component ? Component->Describe() : std::string();
    name += "-";
    if (Pad) name += N(Pad->Name());
    return name;
}

host::IPCB_Net* TSwapPin::BoardNet() const {
    return Pad ? Pad->Net() : nullptr;
}

TSwapNet* TSwapPin::ModelNet() const {
    return SubNet ? SubNet->CurrentNet() : nullptr;
}

std::string TSwapNet::Name() const {
    return IPCBNet ? N(IPCBNet->Name()) : std::string("NULL");
}

TSwapNet* TSwapSubNet::CurrentNet() const {
    TSwapGroup* group = PinGroup();
    if (NetIndex < 0 || group == nullptr) return nullptr;
    // A slot outside the group's nets is no net rather than a read past the list.
    if (static_cast<std::size_t>(NetIndex) >= group->Nets.size()) return nullptr;
    return group->Nets[static_cast<std::size_t>(NetIndex)];
}

THotSpot* TSwapSubNet::CurrentNetHotSpot() const {
    if (NetIndex < 0 || static_cast<std::size_t>(NetIndex) >= NetHotSpots.size()) return nullptr;
    return NetHotSpots[static_cast<std::size_t>(NetIndex)];
}

TSwapGroup* TSwapSubNet::PinGroup() const {
    return Pin ? Pin->PinGroup : nullptr;
}
TSwapGroup* TSwapSubNet::PartGroup() const {
    return Pin ? Pin->PartGroup : nullptr;
}
TSwapSubPart* TSwapSubNet::SubPart() const {
    return Pin ? Pin->SubPart : nullptr;
}

host::IPCB_Net* TSwapSubNet::HostNet() const {
    TSwapNet* net = CurrentNet();
    return net ? net->IPCBNet : nullptr;
}

std::string TSwapSubNet::NetName() const {
    if (TSwapNet* net = CurrentNet(); net && net->IPCBNet) return N(net->IPCBNet->Name());
    if (OriginalNet && OriginalNet->IPCBNet) return N(OriginalNet->IPCBNet->Name());
    return "NULL";
}

host::IPCB_Net* TSwapSubNet::PrimNet() const {
    return Prims.empty() || Prims.front() == nullptr ? nullptr : Prims.front()->Net();
}

std::string TSwapSubPart::SubPartNumber() const {
    if (SubNets.Empty()) return {};
    TSwapSubNet* first = SubNets.Object(0);
    if (first == nullptr || first->Pin == nullptr || first->Pin->SchPin == nullptr) return {};
    return std::to_string(first->Pin->SchPin->DM_PartId());
}

TSwapComponent* TSwapSubPart::Component() const {
    return Group ? Group->Component : nullptr;
}

// ---- Lookups of the data set
// ----------------------------------------------------------------------

void TSwapDataSet::InvalidateLookups() const {
    lookupsStale_ = true;
}

void TSwapDataSet::RebuildLookups() const {
    subNetByPrim_.clear();
    pinByPad_.clear();
    // emplace keeps the first entry of a key: the first sub-net in creation order, the
    // first pin in the search order of the group lists.
    for (TSwapSubNet* subNet : SubNets)
        for (host::IPCB_Primitive* prim : subNet->Prims) subNetByPrim_.emplace(prim, subNet);
    for (const auto* groups : {&PinSwapGroups, &PartSwapGroups})
        for (TSwapGroup* group : *groups)
            for (TSwapPin* pin : group->Pins)
                if (pin->Pad) pinByPad_.emplace(pin->Pad, pin);
    lookupShape_[0] = SubNets.size();
    lookupShape_[1] = PinSwapGroups.size();
    lookupShape_[2] = PartSwapGroups.size();
    lookupsStale_ = false;
}

TSwapPin* TSwapDataSet::FindPinByPad(host::IPCB_Pad* pad) const {
    if (pad == nullptr) return nullptr;
    if (lookupsStale_ || lookupShape_[0] != SubNets.size() ||
        lookupShape_[1] != PinSwapGroups.size() || lookupShape_[2] != PartSwapGroups.size())
        RebuildLookups();
    auto it = pinByPad_.find(pad);
    return it == pinByPad_.end() ? nullptr : it->second;
}

TSwapSubNet* TSwapDataSet::FindSubNetByPrim(host::IPCB_Primitive* prim) const {
    if (prim == nullptr) return nullptr;
    if (lookupsStale_ || lookupShape_[0] != SubNets.size() ||
        lookupShape_[1] != PinSwapGroups.size() || lookupShape_[2] != PartSwapGroups.size())
        RebuildLookups();
    auto it = subNetByPrim_.find(prim);
    return it == subNetByPrim_.end() ? nullptr : it->second;
}

std::string TSwapDataSet::NetKey(const void* identity) {
    char text[17];
    std::snprintf(text, sizeof text, "%016" PRIXPTR, reinterpret_cast<std::uintptr_t>(identity));
    return text;
}

TSwapNet* TSwapDataSet::NetFor(TSwapPin*, host::IPCB_Net* net) {
    const std::string key = NetKey(net);
    TSwapNet* swapNet = Nets.Find(key);
    if (swapNet == nullptr) {
        swapNet = Make<TSwapNet>(this, net);
        Nets.Add(key, swapNet);
    }
    if (net == nullptr) NullNet = swapNet;
    return swapNet;
}

bool TSwapDataSet::PickSubNet(const std::string& prompt, TSwapSubNet*& subNet) {
    host::IPCB_Board* board = BoardRef;
    if (board == nullptr) return false;
    const host::ObjectSet kinds =
        host::MkSet(host::eArcObject, host::ePadObject, host::eViaObject, host::eTrackObject,
                    host::eFillObject, host::eRegionObject);
    const host::LayerSet layers = host::LayerSet::SignalLayers().Include(host::eMultiLayer);
    const std::u16string widePrompt = W(prompt);
    for (;;) {
        std::int32_t x = 0;
        std::int32_t y = 0;
        if (!board->ChooseLocation(x, y, widePrompt)) return false;
        host::IPCB_Primitive* object = board->GetObjectAtXYAskUserIfAmbiguous(x, y, kinds, layers);
        if (TSwapSubNet* found = FindSubNetByPrim(object)) {
            subNet = found;
            return true;
        }
    }
}

// ---- The log
// --------------------------------------------------------------------------------------

void TSwapDataSet::Log(std::string_view) const {
    // Diagnostic lines are accepted and dropped: no behaviour depends on them.
}

namespace {
std::string TimeText() {
    const platform::TimeOfDay t = platform::LocalTime();
    char text[32];
    std::snprintf(text, sizeof text, "%02u:%02u:%02u.%03u", unsigned{t.hour}, unsigned{t.minute},
                  unsigned{t.second}, unsigned{t.millisecond});
    return text;
}
}  // namespace

void TSwapDataSet::BeginLog() const {
    Log("Begin " + TimeText());
}
void TSwapDataSet::EndLog() const {
    Log("End " + TimeText());
}

}  // namespace tessaro
