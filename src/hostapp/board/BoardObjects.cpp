#include "hostapp/board/BoardObjects.h"

#include <cmath>
#include <numbers>

#include "hostapp/HostApplication.h"
#include "hostapp/board/Board.h"
#include "hostapp/board/BoardIterators.h"
#include "hostapp/board/LayerNames.h"
#include "platform/Platform.h"

namespace hostapp {

void CheckFault(FaultInjector* faults, const char* operation) {
    if (faults) faults->Check(operation);
}

namespace {

host::Status AnswerUnknown(host::IUnknown* self, const host::Guid& iid, void** out) {
    if (!out) return host::E_POINTER;
    if (iid == host::IID_IUnknown) {
        *out = self;
        return host::S_OK;
    }
    *out = nullptr;
    return host::E_NOINTERFACE;
}

double Radians(double degrees) {
    return degrees * std::numbers::pi / 180.0;
}

}  // namespace

Primitive* HostPrimitive(host::IPCB_Primitive* prim) {
    if (!prim) throw host::HostError(host::E_POINTER, "no primitive given");
    auto* own = dynamic_cast<Primitive*>(prim);
    if (!own) throw host::HostError(host::E_FAIL, "not a primitive of this host");
    return own;
}

Net* HostNet(host::IPCB_Net* net) {
    if (!net) throw host::HostError(host::E_POINTER, "no net given");
    auto* own = dynamic_cast<Net*>(net);
    if (!own) throw host::HostError(host::E_FAIL, "not a net of this host");
    return own;
}

// ---- Primitive -------------------------------------------------------------------------------

std::pair<int, int> Primitive::LayerSpan() const {
    if (layer_ == host::eMultiLayer) return {host::eTopLayer, host::eBottomLayer};
    return {layer_, layer_};
}

void Primitive::AddAnchors(std::vector<Anchor>&) const {}

std::string Primitive::KindText() const {
    return "Object";
}

void Primitive::SetKeepout(bool value) {
    if (keepout_ == value) return;
    keepout_ = value;
    if (board_ && onBoard_) board_->NetChanged(net_);
}

void Primitive::SetExcludedFromConnectivity(bool value) {
    if (excluded_ == value) return;
    excluded_ = value;
    if (board_ && onBoard_) board_->NetChanged(net_);
}

host::IPCB_Board* Primitive::DoBoard() const {
    return board_;
}

void Primitive::DoSetNet(host::IPCB_Net* net) {
    hostapp::Net* target = net ? HostNet(net) : nullptr;
    if (target == net_) return;
    if (target && target->onBoard_ && board_ && target->board_ != board_)
        throw host::HostError(host::E_FAIL, "the net belongs to another board");
    hostapp::Net* old = net_;
    const bool member = onBoard_ && IsCopper();
    if (member && old) old->members_.erase(order_);
    net_ = target;
    if (member) {
        if (target) target->members_[order_] = this;
        board_->NetChanged(old);
        board_->NetChanged(target);
    }
}

host::IPCB_Component* Primitive::DoComponent() const {
    return component_;
}

geom::Bounds Primitive::Extent() const {
    const geom::Bounds b = geom::BoundsOf(Copper());
    return {std::floor(b.left), std::floor(b.bottom), std::ceil(b.right), std::ceil(b.top)};
}

host::Rect Primitive::DoBoundingRectangle() const {
    const geom::Bounds b = Extent();
    return {static_cast<std::int32_t>(b.left), static_cast<std::int32_t>(b.bottom),
            static_cast<std::int32_t>(b.right), static_cast<std::int32_t>(b.top)};
}

void Primitive::DoBeginModify() {
    ++modifyDepth_;
    ++modifyBegins_;
    if (board_) board_->NoteModify(true);
}

void Primitive::DoEndModify() {
    if (modifyDepth_ > 0) --modifyDepth_;
    ++modifyEnds_;
    if (board_) board_->NoteModify(false);
}

bool Primitive::DoVisitMark(int which) const {
    const std::uint64_t generation = board_ ? board_->VisitGeneration() : 1;
    return marks_[which] == generation;
}

void Primitive::DoSetVisitMark(int which, bool value) {
    marks_[which] = value ? (board_ ? board_->VisitGeneration() : 1) : 0;
}

std::u16string Primitive::DoObjectIdString() const {
    return platform::Widen(KindText());
}

std::u16string Primitive::DoDescriptor() const {
    const auto [from, to] = LayerSpan();
    if (kind_ == host::eViaObject)
        return platform::Widen(LayerNameText(from) + " to " + LayerNameText(to));
    return platform::Widen(LayerNameText(layer_));
}

void Primitive::ShapeChanged() {
    if (board_ && onBoard_) board_->Reindex(this);
}

// ---- Pad -------------------------------------------------------------------------------------

Pad::Pad(std::string name, geom::Vec at, host::Layer layer, host::PadShape shape,
         std::int32_t sizeX, std::int32_t sizeY, FaultInjector* faults)
    : PrimitiveOf(host::ePadObject, layer, faults),
      name_(std::move(name)),
      x_(static_cast<std::int32_t>(at.x)),
      y_(static_cast<std::int32_t>(at.y)),
      shape_(shape),
      sizeX_(sizeX),
      sizeY_(sizeY) {}

geom::Shape Pad::Copper() const {
    const geom::Vec c{double(x_), double(y_)};
    if (shape_ == host::PadShape::Rectangular)
        return geom::Shape::Box({c.x - sizeX_ / 2.0, c.y - sizeY_ / 2.0},
                                {c.x + sizeX_ / 2.0, c.y + sizeY_ / 2.0});
    // Round pads of unequal sides are ovals: like rounded pads, a capsule along the longer side.
    return geom::Shape::RoundedBox(c, sizeX_, sizeY_);
}

void Pad::AddAnchors(std::vector<Anchor>& out) const {
    out.push_back({{double(x_), double(y_)}, LayerOf()});
}

std::string Pad::KindText() const {
    const hostapp::Component* owner = ComponentOf();
    return owner ? "Pad " + owner->Designator() + "-" + name_ : "Pad " + name_;
}

std::int32_t Pad::X() {
    CheckFault(Faults(), "IPCB_Pad.X");
    return x_;
}
std::int32_t Pad::Y() {
    CheckFault(Faults(), "IPCB_Pad.Y");
    return y_;
}
std::u16string Pad::Name() {
    CheckFault(Faults(), "IPCB_Pad.Name");
    return platform::Widen(name_);
}
host::PadShape Pad::Shape() {
    CheckFault(Faults(), "IPCB_Pad.Shape");
    return shape_;
}
std::int32_t Pad::SizeX() {
    CheckFault(Faults(), "IPCB_Pad.SizeX");
    return sizeX_;
}
std::int32_t Pad::SizeY() {
    CheckFault(Faults(), "IPCB_Pad.SizeY");
    return sizeY_;
}
bool Pad::IsSwapExcluded() {
    CheckFault(Faults(), "IPCB_Pad.IsSwapExcluded");
    return swapExcluded_;
}
std::u16string Pad::JumperId() {
    CheckFault(Faults(), "IPCB_Pad.JumperId");
    return platform::Widen(jumperId_);
}

// ---- Via -------------------------------------------------------------------------------------

Via::Via(geom::Vec at, std::int32_t diameter, host::Layer from, host::Layer to,
         FaultInjector* faults)
    : PrimitiveOf(host::eViaObject, host::eMultiLayer, faults),
      x_(static_cast<std::int32_t>(at.x)),
      y_(static_cast<std::int32_t>(at.y)),
      diameter_(diameter),
      from_(from),
      to_(to) {}

geom::Shape Via::Copper() const {
    return geom::Shape::Disc({double(x_), double(y_)}, diameter_ / 2.0);
}

std::pair<int, int> Via::LayerSpan() const {
    return {std::min<int>(from_, to_), std::max<int>(from_, to_)};
}

void Via::AddAnchors(std::vector<Anchor>& out) const {
    const bool through = from_ == host::eTopLayer && to_ == host::eBottomLayer;
    out.push_back({{double(x_), double(y_)}, through ? host::eMultiLayer : from_});
}

std::int32_t Via::X() {
    CheckFault(Faults(), "IPCB_Via.X");
    return x_;
}
std::int32_t Via::Y() {
    CheckFault(Faults(), "IPCB_Via.Y");
    return y_;
}
std::int32_t Via::Diameter() {
    CheckFault(Faults(), "IPCB_Via.Diameter");
    return diameter_;
}
host::Layer Via::StartLayer() {
    CheckFault(Faults(), "IPCB_Via.StartLayer");
    return from_;
}
host::Layer Via::EndLayer() {
    CheckFault(Faults(), "IPCB_Via.EndLayer");
    return to_;
}

// ---- Track -----------------------------------------------------------------------------------

Track::Track(geom::Vec start, geom::Vec end, std::int32_t width, host::Layer layer,
             FaultInjector* faults)
    : PrimitiveOf(host::eTrackObject, layer, faults),
      x1_(static_cast<std::int32_t>(start.x)),
      y1_(static_cast<std::int32_t>(start.y)),
      x2_(static_cast<std::int32_t>(end.x)),
      y2_(static_cast<std::int32_t>(end.y)),
      width_(width) {}

geom::Shape Track::Copper() const {
    return geom::Shape::Capsule(Start(), End(), width_ / 2.0);
}

void Track::AddAnchors(std::vector<Anchor>& out) const {
    out.push_back({Start(), LayerOf()});
    out.push_back({End(), LayerOf()});
}

std::int32_t Track::X1() {
    CheckFault(Faults(), "IPCB_Track.X1");
    return x1_;
}
std::int32_t Track::Y1() {
    CheckFault(Faults(), "IPCB_Track.Y1");
    return y1_;
}
std::int32_t Track::X2() {
    CheckFault(Faults(), "IPCB_Track.X2");
    return x2_;
}
std::int32_t Track::Y2() {
    CheckFault(Faults(), "IPCB_Track.Y2");
    return y2_;
}
std::int32_t Track::Width() {
    CheckFault(Faults(), "IPCB_Track.Width");
    return width_;
}

// ---- Arc -------------------------------------------------------------------------------------

Arc::Arc(geom::Vec centre, std::int32_t radius, double startAngle, double endAngle,
         std::int32_t width, host::Layer layer, FaultInjector* faults)
    : PrimitiveOf(host::eArcObject, layer, faults),
      cx_(static_cast<std::int32_t>(centre.x)),
      cy_(static_cast<std::int32_t>(centre.y)),
      radius_(radius),
      startAngle_(startAngle),
      endAngle_(endAngle),
      width_(width) {}

geom::ArcCurve Arc::Curve() const {
    // Counter-clockwise from the start angle to the end angle; equal angles are a full circle.
    double sweep = std::fmod(endAngle_ - startAngle_, 360.0);
    if (sweep <= 0) sweep += 360.0;
    return {{double(cx_), double(cy_)}, double(radius_), Radians(startAngle_), Radians(sweep)};
}

geom::Shape Arc::Copper() const {
    return geom::Shape::ArcBand(Curve(), width_ / 2.0);
}

void Arc::AddAnchors(std::vector<Anchor>& out) const {
    const geom::ArcCurve c = Curve();
    out.push_back({c.StartPoint(), LayerOf()});
    out.push_back({c.EndPoint(), LayerOf()});
}

std::int32_t Arc::XCenter() {
    CheckFault(Faults(), "IPCB_Arc.XCenter");
    return cx_;
}
std::int32_t Arc::YCenter() {
    CheckFault(Faults(), "IPCB_Arc.YCenter");
    return cy_;
}
std::int32_t Arc::Radius() {
    CheckFault(Faults(), "IPCB_Arc.Radius");
    return radius_;
}
double Arc::StartAngle() {
    CheckFault(Faults(), "IPCB_Arc.StartAngle");
    return startAngle_;
}
double Arc::EndAngle() {
    CheckFault(Faults(), "IPCB_Arc.EndAngle");
    return endAngle_;
}
std::int32_t Arc::Width() {
    CheckFault(Faults(), "IPCB_Arc.Width");
    return width_;
}

// ---- Fill and region -------------------------------------------------------------------------

Fill::Fill(geom::Vec corner1, geom::Vec corner2, host::Layer layer, FaultInjector* faults)
    : PrimitiveOf(host::eFillObject, layer, faults) {
    rect_.left = static_cast<std::int32_t>(std::min(corner1.x, corner2.x));
    rect_.right = static_cast<std::int32_t>(std::max(corner1.x, corner2.x));
    rect_.bottom = static_cast<std::int32_t>(std::min(corner1.y, corner2.y));
    rect_.top = static_cast<std::int32_t>(std::max(corner1.y, corner2.y));
}

geom::Shape Fill::Copper() const {
    return geom::Shape::Box({double(rect_.left), double(rect_.bottom)},
                            {double(rect_.right), double(rect_.top)});
}

host::Rect Fill::Corners() {
    CheckFault(Faults(), "IPCB_Fill.Corners");
    return rect_;
}

Region::Region(std::vector<geom::Vec> outline, host::Layer layer, FaultInjector* faults)
    : PrimitiveOf(host::eRegionObject, layer, faults), outline_(std::move(outline)) {}

geom::Shape Region::Copper() const {
    return geom::Shape::Area(outline_);
}

std::vector<std::pair<std::int32_t, std::int32_t>> Region::Outline() {
    CheckFault(Faults(), "IPCB_Region.Outline");
    std::vector<std::pair<std::int32_t, std::int32_t>> out;
    out.reserve(outline_.size());
    for (geom::Vec v : outline_)
        out.emplace_back(static_cast<std::int32_t>(v.x), static_cast<std::int32_t>(v.y));
    return out;
}

// ---- Connection ------------------------------------------------------------------------------

Connection::Connection(bool ratsnest, FaultInjector* faults)
    : PrimitiveOf(host::eConnectionObject, host::eConnectLayer, faults), ratsnest_(ratsnest) {}

geom::Shape Connection::Copper() const {
    return geom::Shape::Capsule(From(), To(), 0);
}

void Connection::Place(const Anchor& from, const Anchor& to) {
    const auto x1 = static_cast<std::int32_t>(std::lround(from.at.x));
    const auto y1 = static_cast<std::int32_t>(std::lround(from.at.y));
    const auto x2 = static_cast<std::int32_t>(std::lround(to.at.x));
    const auto y2 = static_cast<std::int32_t>(std::lround(to.at.y));
    layer1_ = from.layer;
    layer2_ = to.layer;
    // Most lines of a rebuilt net stay where they were: those need no re-indexing.
    if (x1 == x1_ && y1 == y1_ && x2 == x2_ && y2 == y2_) return;
    x1_ = x1;
    y1_ = y1;
    x2_ = x2;
    y2_ = y2;
    ShapeChanged();
}

std::int32_t Connection::X1() {
    CheckFault(Faults(), "IPCB_Connection.X1");
    return x1_;
}
std::int32_t Connection::Y1() {
    CheckFault(Faults(), "IPCB_Connection.Y1");
    return y1_;
}
std::int32_t Connection::X2() {
    CheckFault(Faults(), "IPCB_Connection.X2");
    return x2_;
}
std::int32_t Connection::Y2() {
    CheckFault(Faults(), "IPCB_Connection.Y2");
    return y2_;
}
host::Layer Connection::Layer1() {
    CheckFault(Faults(), "IPCB_Connection.Layer1");
    return layer1_;
}
host::Layer Connection::Layer2() {
    CheckFault(Faults(), "IPCB_Connection.Layer2");
    return layer2_;
}
void Connection::SetX1(std::int32_t v) {
    CheckFault(Faults(), "IPCB_Connection.SetX1");
    x1_ = v;
    ShapeChanged();
}
void Connection::SetY1(std::int32_t v) {
    CheckFault(Faults(), "IPCB_Connection.SetY1");
    y1_ = v;
    ShapeChanged();
}
void Connection::SetX2(std::int32_t v) {
    CheckFault(Faults(), "IPCB_Connection.SetX2");
    x2_ = v;
    ShapeChanged();
}
void Connection::SetY2(std::int32_t v) {
    CheckFault(Faults(), "IPCB_Connection.SetY2");
    y2_ = v;
    ShapeChanged();
}
void Connection::SetLayer1(host::Layer v) {
    CheckFault(Faults(), "IPCB_Connection.SetLayer1");
    layer1_ = v;
}
void Connection::SetLayer2(host::Layer v) {
    CheckFault(Faults(), "IPCB_Connection.SetLayer2");
    layer2_ = v;
}
void Connection::SetLayer(host::Layer v) {
    CheckFault(Faults(), "IPCB_Connection.SetLayer");
    SetLayerValue(v);
}

// ---- Net -------------------------------------------------------------------------------------

Net::Net(std::string name, FaultInjector* faults) : name_(std::move(name)), faults_(faults) {}

host::Status Net::QueryInterface(const host::Guid& iid, void** out) {
    return AnswerUnknown(this, iid, out);
}

std::u16string Net::Name() {
    CheckFault(faults_, "IPCB_Net.Name");
    return platform::Widen(name_);
}

void Net::SetName(const std::u16string& name) {
    CheckFault(faults_, "IPCB_Net.SetName");
    name_ = platform::Narrow(name);
}

// Membership and the primitive's own net are one fact here: adding a primitive to a net
// moves it there, removing it leaves it without net.
void Net::AddPCBObject(host::IPCB_Primitive* prim) {
    CheckFault(faults_, "IPCB_Net.AddPCBObject");
    HostPrimitive(prim)->DoSetNet(this);
}

void Net::RemovePCBObject(host::IPCB_Primitive* prim) {
    CheckFault(faults_, "IPCB_Net.RemovePCBObject");
    Primitive* own = HostPrimitive(prim);
    if (own->NetOf() == this) own->DoSetNet(nullptr);
}

bool Net::ConnectionsVisible() {
    CheckFault(faults_, "IPCB_Net.ConnectionsVisible");
    return visible_;
}

void Net::HideNetConnects() {
    CheckFault(faults_, "IPCB_Net.HideNetConnects");
    visible_ = false;
}

void Net::ShowNetConnects() {
    CheckFault(faults_, "IPCB_Net.ShowNetConnects");
    visible_ = true;
}

void Net::RebuildNetConnects() {
    CheckFault(faults_, "IPCB_Net.RebuildNetConnects");
    if (board_ && onBoard_) board_->RebuildNet(this);
}

void Net::Refresh() {
    CheckFault(faults_, "IPCB_Net.Refresh");
    ++refreshes_;
    if (board_ && onBoard_ && dirty_) board_->RebuildNet(this);
}

std::vector<std::vector<host::IPCB_Primitive*>> Net::ConnectedPieces() {
    CheckFault(faults_, "IPCB_Net.ConnectedPieces");
    if (board_ && onBoard_ && dirty_) board_->RebuildNet(this);
    std::vector<std::vector<host::IPCB_Primitive*>> out;
    out.reserve(pieces_.size());
    for (const auto& piece : pieces_) {
        auto& group = out.emplace_back();
        group.reserve(piece.size());
        for (Primitive* p : piece) group.push_back(p->Interface());
    }
    return out;
}

std::vector<Primitive*> Net::Copper() const {
    std::vector<Primitive*> out;
    out.reserve(members_.size());
    for (const auto& [order, prim] : members_)
        if (prim->Conducts()) out.push_back(prim);
    return out;
}

// ---- Component and differential pair ---------------------------------------------------------

Component::Component(std::string designator, std::string uniqueId, host::ComponentKind kind,
                     bool pinSwap, bool partSwap, FaultInjector* faults)
    : designator_(std::move(designator)),
      uniqueId_(std::move(uniqueId)),
      kind_(kind),
      pinSwap_(pinSwap),
      partSwap_(partSwap),
      faults_(faults) {}

host::Status Component::QueryInterface(const host::Guid& iid, void** out) {
    return AnswerUnknown(this, iid, out);
}

std::u16string Component::Name() {
    CheckFault(faults_, "IPCB_Component.Name");
    return platform::Widen(designator_);
}
std::u16string Component::UniqueId() {
    CheckFault(faults_, "IPCB_Component.UniqueId");
    return platform::Widen(uniqueId_);
}
host::ComponentKind Component::Kind() {
    CheckFault(faults_, "IPCB_Component.Kind");
    return kind_;
}
bool Component::PinSwapAllowed() {
    CheckFault(faults_, "IPCB_Component.PinSwapAllowed");
    return pinSwap_;
}
void Component::SetPinSwapAllowed(bool value) {
    CheckFault(faults_, "IPCB_Component.SetPinSwapAllowed");
    pinSwap_ = value;
}
bool Component::PartSwapAllowed() {
    CheckFault(faults_, "IPCB_Component.PartSwapAllowed");
    return partSwap_;
}
void Component::SetPartSwapAllowed(bool value) {
    CheckFault(faults_, "IPCB_Component.SetPartSwapAllowed");
    partSwap_ = value;
}
std::unique_ptr<host::IPCB_Iterator> Component::GroupIterator_Create() {
    CheckFault(faults_, "IPCB_Component.GroupIterator_Create");
    return std::make_unique<ObjectIterator>(ObjectIterator::Scope::Group, nullptr, this, faults_);
}

DifferentialPair::DifferentialPair(std::string name, Net* positive, Net* negative,
                                   FaultInjector* faults)
    : name_(std::move(name)), positive_(positive), negative_(negative), faults_(faults) {}

host::Status DifferentialPair::QueryInterface(const host::Guid& iid, void** out) {
    return AnswerUnknown(this, iid, out);
}
std::u16string DifferentialPair::Name() {
    CheckFault(faults_, "IPCB_DifferentialPair.Name");
    return platform::Widen(name_);
}
host::IPCB_Net* DifferentialPair::PositiveNet() {
    CheckFault(faults_, "IPCB_DifferentialPair.PositiveNet");
    return positive_;
}
host::IPCB_Net* DifferentialPair::NegativeNet() {
    CheckFault(faults_, "IPCB_DifferentialPair.NegativeNet");
    return negative_;
}

}  // namespace hostapp
