#include "hostapp/board/Board.h"

#include <algorithm>
#include <stdexcept>

#include "hostapp/HostApplication.h"
#include "hostapp/board/BoardIndex.h"
#include "hostapp/board/BoardIterators.h"
#include "hostapp/board/LayerNames.h"
#include "platform/Platform.h"

namespace hostapp {

namespace {

host::Layer LayerFromData(int layer) {
    if (layer < 0 || layer > host::MaxLayer)
        throw std::invalid_argument("layer " + std::to_string(layer) + " is not a board layer");
    return static_cast<host::Layer>(layer);
}

host::PadShape ShapeFromData(design::PadShape shape) {
    switch (shape) {
        case design::PadShape::Rectangular:
            return host::PadShape::Rectangular;
        case design::PadShape::Rounded:
            return host::PadShape::Rounded;
        case design::PadShape::Round:
            break;
    }
    return host::PadShape::Round;
}

geom::Vec V(design::Point p) {
    return {double(p.x), double(p.y)};
}

// The identifier's last "\"-separated segment: what identifiers are compared by.
std::string_view LastSegment(std::string_view id) {
    const auto cut = id.rfind('\\');
    return cut == std::string_view::npos ? id : id.substr(cut + 1);
}

}  // namespace

// ---- Construction ----------------------------------------------------------------------------

Board::Board(const design::BoardData& data, std::string fullPath, FaultInjector* faults)
    : fullPath_(std::move(fullPath)), faults_(faults), displayUnit_(data.displayUnit) {
    for (const std::string& name : data.nets) {
        if (NetForName(name)) continue;
        auto net = std::make_unique<Net>(name, faults_);
        JoinNet(net.get());
        ownedNets_.push_back(std::move(net));
    }
    for (const design::BoardComponentData& c : data.components) {
        auto component = std::make_unique<Component>(c.designator, c.uniqueId,
                                                     static_cast<host::ComponentKind>(c.kind),
                                                     c.pinSwap, c.partSwap, faults_);
        for (const design::PadData& pad : c.pads)
            component->pads_.push_back(MakePad(pad, component.get()));
        componentList_.push_back(component.get());
        components_.push_back(std::move(component));
    }
    for (const design::PadData& pad : data.pads) freePads_.push_back(MakePad(pad, nullptr));

    // Copper names its net; a net missing from the list joins it rather than being lost.
    auto netOf = [this](const std::string& name) -> Net* {
        if (name.empty()) return nullptr;
        if (Net* net = NetForName(name)) return net;
        auto net = std::make_unique<Net>(name, faults_);
        JoinNet(net.get());
        ownedNets_.push_back(std::move(net));
        return ownedNets_.back().get();
    };
    auto place = [&](Primitive* prim, const std::string& net) {
        prim->net_ = netOf(net);
        Attach(prim);
    };
    for (const design::TrackData& t : data.tracks) {
        tracks_.push_back(Own(std::make_unique<Track>(V(t.start), V(t.end), t.width,
                                                      LayerFromData(t.layer), faults_)));
    }
    for (const design::ArcData& a : data.arcs) {
        arcs_.push_back(Own(std::make_unique<Arc>(V(a.center), a.radius, a.startAngle, a.endAngle,
                                                  a.width, LayerFromData(a.layer), faults_)));
    }
    for (const design::ViaData& v : data.vias) {
        vias_.push_back(Own(std::make_unique<Via>(V(v.at), v.diameter, LayerFromData(v.from),
                                                  LayerFromData(v.to), faults_)));
    }
    for (const design::FillData& f : data.fills) {
        fills_.push_back(Own(
            std::make_unique<Fill>(V(f.corner1), V(f.corner2), LayerFromData(f.layer), faults_)));
    }
    for (const design::RegionData& r : data.regions) {
        std::vector<geom::Vec> outline;
        for (design::Point p : r.outline) outline.push_back(V(p));
        regions_.push_back(
            Own(std::make_unique<Region>(std::move(outline), LayerFromData(r.layer), faults_)));
    }

    // Board order: component pads, free pads, tracks, arcs, vias, fills, regions.
    for (std::size_t i = 0; i < data.components.size(); ++i)
        for (std::size_t j = 0; j < data.components[i].pads.size(); ++j)
            place(components_[i]->pads_[j], data.components[i].pads[j].net);
    for (std::size_t i = 0; i < freePads_.size(); ++i) place(freePads_[i], data.pads[i].net);
    for (std::size_t i = 0; i < tracks_.size(); ++i) place(tracks_[i], data.tracks[i].net);
    for (std::size_t i = 0; i < arcs_.size(); ++i) place(arcs_[i], data.arcs[i].net);
    for (std::size_t i = 0; i < vias_.size(); ++i) place(vias_[i], data.vias[i].net);
    for (std::size_t i = 0; i < fills_.size(); ++i) place(fills_[i], data.fills[i].net);
    for (std::size_t i = 0; i < regions_.size(); ++i) place(regions_[i], data.regions[i].net);

    for (const design::DifferentialPairData& pair : data.differentialPairs) {
        pairs_.push_back(std::make_unique<hostapp::DifferentialPair>(
            pair.name, NetForName(pair.positive), NetForName(pair.negative), faults_));
    }

    // The spatial index is packed once over everything read, then kept up to date.
    index_ = std::make_unique<Index>();
    std::vector<Index::Value> values;
    values.reserve(order_.size());
    for (const auto& [order, prim] : order_) {
        prim->indexed_ = prim->Extent();
        values.emplace_back(Index::BoxOf(prim->indexed_), prim);
    }
    index_->copper = Index::Tree(values.begin(), values.end());

    UpdateRatsnest();
}

Board::~Board() = default;

Pad* Board::MakePad(const design::PadData& data, Component* owner) {
    auto pad = std::make_unique<Pad>(data.name, V(data.at), LayerFromData(data.layer),
                                     ShapeFromData(data.shape), data.sizeX, data.sizeY, faults_);
    pad->component_ = owner;
    return Own(std::move(pad));
}

// ---- Objects on and off the board ------------------------------------------------------------

void Board::Attach(Primitive* prim) {
    prim->board_ = this;
    prim->onBoard_ = true;
    prim->order_ = nextOrder_++;
    prim->marks_[0] = prim->marks_[1] = 0;
    order_.emplace(prim->order_, prim);
    if (index_) {
        prim->indexed_ = prim->Extent();
        index_->Insert(prim, prim->indexed_);
    }
    if (prim->IsCopper() && prim->net_) {
        prim->net_->members_[prim->order_] = prim;
        NetChanged(prim->net_);
    }
}

void Board::Detach(Primitive* prim) {
    if (prim->IsCopper() && prim->net_) {
        prim->net_->members_.erase(prim->order_);
        NetChanged(prim->net_);
    }
    if (index_) index_->Remove(prim, prim->indexed_);
    order_.erase(prim->order_);
    prim->onBoard_ = false;
}

void Board::Reindex(Primitive* prim) {
    if (!index_ || !prim->onBoard_ || prim->board_ != this) return;
    index_->Remove(prim, prim->indexed_);
    prim->indexed_ = prim->Extent();
    index_->Insert(prim, prim->indexed_);
}

void Board::JoinNet(Net* net) {
    net->board_ = this;
    net->onBoard_ = true;
    net->serial_ = nextNetSerial_++;
    nets_.push_back(net);
    NetChanged(net);
}

Net* Board::NetForName(const std::string& name) const {
    for (Net* net : nets_)
        if (net->name_ == name) return net;
    return nullptr;
}

void Board::NetChanged(Net* net) {
    if (!net || !net->onBoard_ || net->board_ != this) return;
    net->dirty_ = true;
    dirty_.emplace(net->serial_, net);
}

void Board::NoteModify(bool begin) {
    if (begin) {
        ++activity_.modifyBegins;
    } else {
        ++activity_.modifyEnds;
    }
}

std::vector<Primitive*> Board::Objects() const {
    std::vector<Primitive*> out;
    out.reserve(order_.size());
    for (const auto& [order, prim] : order_) out.push_back(prim);
    return out;
}

bool Board::Listed(const Primitive* prim) const {
    if (!prim->onBoard_) return false;
    if (prim->Kind() != host::eConnectionObject) return true;
    const auto* connection = static_cast<const Connection*>(prim);
    return !(connection->IsRatsnest() && prim->net_ && !prim->net_->visible_);
}

std::vector<Primitive*> Board::ObjectsInArea(const geom::Bounds& area) {
    std::vector<Index::Value> hits;
    const auto meets = bgi::intersects(Index::BoxOf(area));
    index_->copper.query(meets, std::back_inserter(hits));
    index_->lines.query(meets, std::back_inserter(hits));
    std::vector<Primitive*> out;
    out.reserve(hits.size());
    for (const auto& [box, prim] : hits)
        if (Listed(prim)) out.push_back(prim);
    std::sort(out.begin(), out.end(),
              [](const Primitive* a, const Primitive* b) { return a->order_ < b->order_; });
    return out;
}

std::vector<Connection*> Board::Connections(bool includeHidden) {
    UpdateRatsnest();
    std::vector<Connection*> out;
    for (const auto& [order, prim] : order_) {
        if (prim->Kind() != host::eConnectionObject) continue;
        if (!includeHidden && !Listed(prim)) continue;
        out.push_back(static_cast<Connection*>(prim));
    }
    return out;
}

// ---- host::IPCB_Board ------------------------------------------------------------------------

host::Status Board::QueryInterface(const host::Guid& iid, void** out) {
    if (!out) return host::E_POINTER;
    if (iid == host::IID_IUnknown) {
        *out = static_cast<host::IUnknown*>(this);
        return host::S_OK;
    }
    *out = nullptr;
    return host::E_NOINTERFACE;
}

std::u16string Board::FileName() {
    CheckFault(faults_, "IPCB_Board.FileName");
    return platform::Widen(fullPath_);
}

host::DisplayUnit Board::GetDisplayUnit() {
    CheckFault(faults_, "IPCB_Board.GetDisplayUnit");
    return displayUnit_ == design::DisplayUnit::Imperial ? host::eImperial : host::eMetric;
}

std::u16string Board::LayerName(host::Layer layer) {
    CheckFault(faults_, "IPCB_Board.LayerName");
    return platform::Widen(LayerNameText(layer));
}

std::unique_ptr<host::IPCB_Iterator> Board::BoardIterator_Create() {
    CheckFault(faults_, "IPCB_Board.BoardIterator_Create");
    return std::make_unique<ObjectIterator>(ObjectIterator::Scope::Board, this, nullptr, faults_);
}

std::unique_ptr<host::IPCB_Iterator> Board::SpatialIterator_Create() {
    CheckFault(faults_, "IPCB_Board.SpatialIterator_Create");
    return std::make_unique<ObjectIterator>(ObjectIterator::Scope::Area, this, nullptr, faults_);
}

void Board::AddPCBObject(host::IPCB_Primitive* prim) {
    CheckFault(faults_, "IPCB_Board.AddPCBObject");
    Primitive* own = HostPrimitive(prim);
    if (own->onBoard_) {
        if (own->board_ == this) return;
        throw host::HostError(host::E_FAIL, "the object is on another board");
    }
    if (own->board_ && own->board_ != this)
        throw host::HostError(host::E_FAIL, "the object belongs to another board");
    Attach(own);
}

void Board::RemovePCBObject(host::IPCB_Primitive* prim) {
    CheckFault(faults_, "IPCB_Board.RemovePCBObject");
    Primitive* own = HostPrimitive(prim);
    if (!own->onBoard_ || own->board_ != this) return;
    Detach(own);
    if (own->Kind() == host::eConnectionObject && own->net_) {
        auto& lines = own->net_->ratsnest_;
        lines.erase(std::remove(lines.begin(), lines.end(), static_cast<Connection*>(own)),
                    lines.end());
    }
}

void Board::AddNet(host::IPCB_Net* net) {
    CheckFault(faults_, "IPCB_Board.AddNet");
    Net* own = HostNet(net);
    if (own->onBoard_) {
        if (own->board_ == this) return;
        throw host::HostError(host::E_FAIL, "the net is on another board");
    }
    JoinNet(own);
}

// A net that leaves the board takes its connection lines with it; its copper stays on the
// board without net, so nothing on the board names a net the board no longer has.
void Board::RemoveNet(host::IPCB_Net* net) {
    CheckFault(faults_, "IPCB_Board.RemoveNet");
    Net* own = HostNet(net);
    if (!own->onBoard_ || own->board_ != this) return;
    nets_.erase(std::remove(nets_.begin(), nets_.end(), own), nets_.end());
    dirty_.erase(own->serial_);
    own->onBoard_ = false;
    own->dirty_ = false;
    for (Connection* line : own->ratsnest_)
        if (line->onBoard_) Detach(line);
    own->ratsnest_.clear();
    own->pieces_.clear();
    const auto members = own->members_;
    for (const auto& [order, prim] : members) prim->DoSetNet(nullptr);
}

host::IPCB_Net* Board::FindNet(const std::u16string& name) {
    CheckFault(faults_, "IPCB_Board.FindNet");
    const std::string wanted = platform::Narrow(name);
    if (Net* exact = NetForName(wanted)) return exact;
    for (Net* net : nets_)
        if (platform::SameText(net->name_, wanted)) return net;
    return nullptr;
}

void Board::Notify(host::IUnknown*, host::BoardNotice notice) {
    CheckFault(faults_, "IPCB_Board.Notify");
    if (notice >= 1 && notice <= 3) ++activity_.notices[notice];
}

// Marks compare against the board's visit generation, so a new generation clears every
// mark without touching any object.
void Board::ResetVisitMarks() {
    CheckFault(faults_, "IPCB_Board.ResetVisitMarks");
    ++visitGeneration_;
}

double Board::PrimPrimDistance(host::IPCB_Primitive* a, host::IPCB_Primitive* b) {
    CheckFault(faults_, "IPCB_Board.PrimPrimDistance");
    return geom::Distance(HostPrimitive(a)->Copper(), HostPrimitive(b)->Copper());
}

int Board::DifferentialPairCount() {
    CheckFault(faults_, "IPCB_Board.DifferentialPairCount");
    return static_cast<int>(pairs_.size());
}

host::IPCB_DifferentialPair* Board::DifferentialPair(int index) {
    CheckFault(faults_, "IPCB_Board.DifferentialPair");
    if (index < 0 || index >= static_cast<int>(pairs_.size())) return nullptr;
    return pairs_[static_cast<std::size_t>(index)].get();
}

host::IPCB_Component* Board::ComponentByUniqueId(const std::u16string& uniqueId) {
    CheckFault(faults_, "IPCB_Board.ComponentByUniqueId");
    const std::string wanted = platform::Narrow(uniqueId);
    const std::string_view key = LastSegment(wanted);
    for (Component* component : componentList_)
        if (platform::SameText(LastSegment(component->Id()), key)) return component;
    return nullptr;
}

void Board::HighlightList_Clear() {
    CheckFault(faults_, "IPCB_Board.HighlightList_Clear");
    highlight_.clear();
    ++activity_.highlightClears;
}

void Board::HighlightList_ClearShown() {
    CheckFault(faults_, "IPCB_Board.HighlightList_ClearShown");
    shown_.clear();
    ++activity_.highlightClearShown;
}

void Board::HighlightList_Add(host::IPCB_Primitive* prim) {
    CheckFault(faults_, "IPCB_Board.HighlightList_Add");
    highlight_.push_back(HostPrimitive(prim)->Interface());
    ++activity_.highlightAdds;
}

void Board::HighlightList_Show(int highlight, int mask) {
    CheckFault(faults_, "IPCB_Board.HighlightList_Show");
    shown_ = highlight_;
    ++activity_.highlightShows;
    activity_.lastShowHighlight = highlight;
    activity_.lastShowMask = mask;
}

void Board::ClearHighlightMask(int) {
    CheckFault(faults_, "IPCB_Board.ClearHighlightMask");
    ++activity_.maskClears;
}

void Board::ViewRedraw() {
    CheckFault(faults_, "IPCB_Board.ViewRedraw");
    ++activity_.redraws;
}

// ---- The host's own side ---------------------------------------------------------------------

void Board::WriteBack(design::BoardData& data) const {
    if (data.components.size() != components_.size() || data.pads.size() != freePads_.size() ||
        data.tracks.size() != tracks_.size() || data.arcs.size() != arcs_.size() ||
        data.vias.size() != vias_.size() || data.fills.size() != fills_.size() ||
        data.regions.size() != regions_.size())
        throw std::invalid_argument("the board data is not the data this board was built from");
    auto netName = [this](const Primitive* prim) -> std::string {
        const Net* net = prim->net_;
        return net && net->onBoard_ && net->board_ == this ? net->name_ : std::string();
    };
    for (std::size_t i = 0; i < components_.size(); ++i) {
        const Component& component = *components_[i];
        design::BoardComponentData& c = data.components[i];
        if (c.pads.size() != component.pads_.size())
            throw std::invalid_argument("the board data is not the data this board was built from");
        c.pinSwap = component.pinSwap_;
        c.partSwap = component.partSwap_;
        for (std::size_t j = 0; j < c.pads.size(); ++j) c.pads[j].net = netName(component.pads_[j]);
    }
    for (std::size_t i = 0; i < freePads_.size(); ++i) data.pads[i].net = netName(freePads_[i]);
    for (std::size_t i = 0; i < tracks_.size(); ++i) data.tracks[i].net = netName(tracks_[i]);
    for (std::size_t i = 0; i < arcs_.size(); ++i) data.arcs[i].net = netName(arcs_[i]);
    for (std::size_t i = 0; i < vias_.size(); ++i) data.vias[i].net = netName(vias_[i]);
    for (std::size_t i = 0; i < fills_.size(); ++i) data.fills[i].net = netName(fills_[i]);
    for (std::size_t i = 0; i < regions_.size(); ++i) data.regions[i].net = netName(regions_[i]);
    data.nets.clear();
    for (const Net* net : nets_) {
        if (net->name_.empty()) continue;
        if (std::find(data.nets.begin(), data.nets.end(), net->name_) == data.nets.end())
            data.nets.push_back(net->name_);
    }
}

host::IPCB_Pad* Board::FindPad(const std::string& designator, const std::string& padName) {
    if (designator.empty()) {
        for (Pad* pad : freePads_)
            if (platform::SameText(pad->PadName(), padName)) return pad;
        return nullptr;
    }
    for (Component* component : componentList_) {
        if (!platform::SameText(component->Designator(), designator)) continue;
        for (Pad* pad : component->pads_)
            if (platform::SameText(pad->PadName(), padName)) return pad;
    }
    return nullptr;
}

Pad* Board::PadObject(const std::string& ref) {
    // Designators and pad names may hold "-" themselves: try every split.
    for (std::size_t cut = ref.find('-'); cut != std::string::npos; cut = ref.find('-', cut + 1)) {
        if (host::IPCB_Pad* pad = FindPad(ref.substr(0, cut), ref.substr(cut + 1)))
            return static_cast<Pad*>(pad);
    }
    return nullptr;
}

host::IPCB_Pad* Board::FindPadByRef(const std::string& ref) {
    return PadObject(ref);
}

Net* Board::NetObject(const std::string& name) {
    if (Net* exact = NetForName(name)) return exact;
    for (Net* net : nets_)
        if (platform::SameText(net->name_, name)) return net;
    return nullptr;
}

host::IPCB_Net* Board::NetByName(const std::string& name) {
    return NetObject(name);
}

Component* Board::ComponentObject(const std::string& designator) {
    for (Component* component : componentList_)
        if (platform::SameText(component->Designator(), designator)) return component;
    return nullptr;
}

}  // namespace hostapp
