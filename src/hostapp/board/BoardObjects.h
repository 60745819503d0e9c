// The host's board objects: primitives (pads, vias, tracks, arcs, fills, regions and
// connection objects), nets, components and differential pairs. Every object is owned by
// the host (a board or the PCB server) and answers AddRef/Release without dying.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/Pcb.h"
#include "hostapp/board/Geometry.h"

namespace hostapp {

class Board;
class FaultInjector;
class Net;
class Component;

// Raises the injected fault of an operation, when faults are injected at all.
void CheckFault(FaultInjector* faults, const char* operation);

// A point where an unrouted connection may end: pad and via centres, track and arc ends.
struct Anchor {
    geom::Vec at;
    host::Layer layer = host::eNoLayer;
};

// The host-side state every board object shares. The concrete classes below join it with
// their interface through PrimitiveOf.
class Primitive {
  public:
    Primitive(host::ObjectKind kind, host::Layer layer, FaultInjector* faults)
        : kind_(kind), layer_(layer), faults_(faults) {}
    virtual ~Primitive() = default;
    Primitive(const Primitive&) = delete;
    Primitive& operator=(const Primitive&) = delete;

    virtual host::IPCB_Primitive* Interface() = 0;
    virtual geom::Shape Copper() const = 0;
    // The signal layers the copper reaches, from..to (a multi-layer object reaches them all).
    virtual std::pair<int, int> LayerSpan() const;
    virtual void AddAnchors(std::vector<Anchor>& out) const;
    // "Pad U1-5", "Track", "Via", ... as the host names the object.
    virtual std::string KindText() const;

    host::ObjectKind Kind() const { return kind_; }
    host::Layer LayerOf() const { return layer_; }
    hostapp::Net* NetOf() const { return net_; }
    hostapp::Component* ComponentOf() const { return component_; }
    Board* OwnerBoard() const { return board_; }
    bool OnBoard() const { return onBoard_; }
    std::uint64_t Order() const { return order_; }
    bool IsCopper() const { return kind_ != host::eConnectionObject; }
    // Keep-outs and excluded primitives do not conduct.
    bool Conducts() const { return IsCopper() && !keepout_ && !excluded_; }
    // The bounding rectangle in whole units, rounded outwards: what the host reports and
    // what its spatial index holds.
    geom::Bounds Extent() const;
    FaultInjector* Faults() const { return faults_; }

    // Host-side settings the design file does not carry.
    void SetKeepout(bool value);
    void SetExcludedFromConnectivity(bool value);
    int ModifyBegins() const { return modifyBegins_; }
    int ModifyEnds() const { return modifyEnds_; }

    // Operations behind the interface, shared by every kind (faults checked by the caller).
    host::IPCB_Board* DoBoard() const;
    void DoSetNet(host::IPCB_Net* net);
    host::IPCB_Component* DoComponent() const;
    host::Rect DoBoundingRectangle() const;
    void DoBeginModify();
    void DoEndModify();
    std::int32_t DoMarker() const { return marker_; }
    void DoSetMarker(std::int32_t v) { marker_ = v; }
    bool DoVisitMark(int which) const;
    void DoSetVisitMark(int which, bool value);
    bool DoIsKeepout() const { return keepout_; }
    bool DoIsExcluded() const { return excluded_; }
    std::u16string DoObjectIdString() const;
    std::u16string DoDescriptor() const;

  protected:
    // Where this primitive's shape changed (connection objects): the board re-indexes it.
    void ShapeChanged();

  private:
    friend class Board;
    friend class Net;

    host::ObjectKind kind_;
    host::Layer layer_;
    FaultInjector* faults_;
    Board* board_ = nullptr;
    hostapp::Net* net_ = nullptr;
    hostapp::Component* component_ = nullptr;
    bool onBoard_ = false;
    std::uint64_t order_ = 0;  // position in the board's order while on the board
    geom::Bounds indexed_;     // the rectangle the board's spatial index holds
    std::int32_t marker_ = 0;
    std::uint64_t marks_[2] = {0, 0};  // visit generations of the two marks
    bool keepout_ = false;
    bool excluded_ = false;
    int modifyDepth_ = 0;
    int modifyBegins_ = 0;
    int modifyEnds_ = 0;

  protected:
    void SetLayerValue(host::Layer layer) { layer_ = layer; }
};

// Joins the shared state with one of the primitive interfaces.
template <class I>
class PrimitiveOf : public I, public Primitive {
  public:
    using Primitive::Primitive;

    host::IPCB_Primitive* Interface() override { return this; }

    host::Status QueryInterface(const host::Guid& iid, void** out) override {
        if (!out) return host::E_POINTER;
        if (iid == host::IID_IUnknown) {
            *out = static_cast<host::IUnknown*>(static_cast<host::IPCB_Primitive*>(this));
            return host::S_OK;
        }
        *out = nullptr;
        return host::E_NOINTERFACE;
    }
    std::uint32_t AddRef() override { return 1; }
    std::uint32_t Release() override { return 1; }

    host::ObjectKind ObjectId() override {
        CheckFault(Faults(), "IPCB_Primitive.ObjectId");
        return Kind();
    }
    host::IPCB_Board* Board() override {
        CheckFault(Faults(), "IPCB_Primitive.Board");
        return DoBoard();
    }
    host::Layer GetLayer() override {
        CheckFault(Faults(), "IPCB_Primitive.GetLayer");
        return LayerOf();
    }
    host::IPCB_Net* Net() override;
    void SetNet(host::IPCB_Net* net) override {
        CheckFault(Faults(), "IPCB_Primitive.SetNet");
        DoSetNet(net);
    }
    host::IPCB_Component* Component() override {
        CheckFault(Faults(), "IPCB_Primitive.Component");
        return DoComponent();
    }
    host::Rect BoundingRectangle() override {
        CheckFault(Faults(), "IPCB_Primitive.BoundingRectangle");
        return DoBoundingRectangle();
    }
    void BeginModify() override {
        CheckFault(Faults(), "IPCB_Primitive.BeginModify");
        DoBeginModify();
    }
    void EndModify() override {
        CheckFault(Faults(), "IPCB_Primitive.EndModify");
        DoEndModify();
    }
    std::int32_t Marker() override {
        CheckFault(Faults(), "IPCB_Primitive.Marker");
        return DoMarker();
    }
    void SetMarker(std::int32_t value) override {
        CheckFault(Faults(), "IPCB_Primitive.SetMarker");
        DoSetMarker(value);
    }
    bool VisitMark1() override {
        CheckFault(Faults(), "IPCB_Primitive.VisitMark1");
        return DoVisitMark(0);
    }
    void SetVisitMark1(bool value) override {
        CheckFault(Faults(), "IPCB_Primitive.SetVisitMark1");
        DoSetVisitMark(0, value);
    }
    bool VisitMark2() override {
        CheckFault(Faults(), "IPCB_Primitive.VisitMark2");
        return DoVisitMark(1);
    }
    void SetVisitMark2(bool value) override {
        CheckFault(Faults(), "IPCB_Primitive.SetVisitMark2");
        DoSetVisitMark(1, value);
    }
    bool IsKeepout() override {
        CheckFault(Faults(), "IPCB_Primitive.IsKeepout");
        return DoIsKeepout();
    }
    bool IsExcludedFromConnectivity() override {
        CheckFault(Faults(), "IPCB_Primitive.IsExcludedFromConnectivity");
        return DoIsExcluded();
    }
    std::u16string ObjectIdString() override {
        CheckFault(Faults(), "IPCB_Primitive.ObjectIdString");
        return DoObjectIdString();
    }
    std::u16string Descriptor() override {
        CheckFault(Faults(), "IPCB_Primitive.Descriptor");
        return DoDescriptor();
    }
};

class Pad final : public PrimitiveOf<host::IPCB_Pad> {
  public:
    Pad(std::string name, geom::Vec at, host::Layer layer, host::PadShape shape, std::int32_t sizeX,
        std::int32_t sizeY, FaultInjector* faults);

    geom::Shape Copper() const override;
    void AddAnchors(std::vector<Anchor>& out) const override;
    std::string KindText() const override;

    std::int32_t X() override;
    std::int32_t Y() override;
    std::u16string Name() override;
    host::PadShape Shape() override;
    std::int32_t SizeX() override;
    std::int32_t SizeY() override;
    bool IsSwapExcluded() override;
    std::u16string JumperId() override;

    const std::string& PadName() const { return name_; }
    std::int32_t CentreX() const { return x_; }
    std::int32_t CentreY() const { return y_; }
    host::PadShape ShapeKind() const { return shape_; }
    std::int32_t Width() const { return sizeX_; }
    std::int32_t Height() const { return sizeY_; }
    void SetSwapExcluded(bool value) { swapExcluded_ = value; }
    void SetJumperId(std::string id) { jumperId_ = std::move(id); }

  private:
    std::string name_;
    std::int32_t x_, y_;
    host::PadShape shape_;
    std::int32_t sizeX_, sizeY_;
    bool swapExcluded_ = false;
    std::string jumperId_;
};

class Via final : public PrimitiveOf<host::IPCB_Via> {
  public:
    Via(geom::Vec at, std::int32_t diameter, host::Layer from, host::Layer to,
        FaultInjector* faults);

    geom::Shape Copper() const override;
    std::pair<int, int> LayerSpan() const override;
    void AddAnchors(std::vector<Anchor>& out) const override;
    std::string KindText() const override { return "Via"; }

    std::int32_t X() override;
    std::int32_t Y() override;
    std::int32_t Diameter() override;
    host::Layer StartLayer() override;
    host::Layer EndLayer() override;

    std::int32_t CentreX() const { return x_; }
    std::int32_t CentreY() const { return y_; }
    std::int32_t Size() const { return diameter_; }
    host::Layer From() const { return from_; }
    host::Layer To() const { return to_; }

  private:
    std::int32_t x_, y_, diameter_;
    host::Layer from_, to_;
};

class Track final : public PrimitiveOf<host::IPCB_Track> {
  public:
    Track(geom::Vec start, geom::Vec end, std::int32_t width, host::Layer layer,
          FaultInjector* faults);

    geom::Shape Copper() const override;
    void AddAnchors(std::vector<Anchor>& out) const override;
    std::string KindText() const override { return "Track"; }

    std::int32_t X1() override;
    std::int32_t Y1() override;
    std::int32_t X2() override;
    std::int32_t Y2() override;
    std::int32_t Width() override;

    geom::Vec Start() const { return {double(x1_), double(y1_)}; }
    geom::Vec End() const { return {double(x2_), double(y2_)}; }
    std::int32_t WidthValue() const { return width_; }

  private:
    std::int32_t x1_, y1_, x2_, y2_, width_;
};

class Arc final : public PrimitiveOf<host::IPCB_Arc> {
  public:
    Arc(geom::Vec centre, std::int32_t radius, double startAngle, double endAngle,
        std::int32_t width, host::Layer layer, FaultInjector* faults);

    geom::Shape Copper() const override;
    void AddAnchors(std::vector<Anchor>& out) const override;
    std::string KindText() const override { return "Arc"; }

    std::int32_t XCenter() override;
    std::int32_t YCenter() override;
    std::int32_t Radius() override;
    double StartAngle() override;
    double EndAngle() override;
    std::int32_t Width() override;

    geom::ArcCurve Curve() const;
    std::int32_t WidthValue() const { return width_; }

  private:
    std::int32_t cx_, cy_, radius_;
    double startAngle_, endAngle_;
    std::int32_t width_;
};

class Fill final : public PrimitiveOf<host::IPCB_Fill> {
  public:
    Fill(geom::Vec corner1, geom::Vec corner2, host::Layer layer, FaultInjector* faults);

    geom::Shape Copper() const override;
    std::string KindText() const override { return "Fill"; }
    host::Rect Corners() override;

  private:
    host::Rect rect_;
};

class Region final : public PrimitiveOf<host::IPCB_Region> {
  public:
    Region(std::vector<geom::Vec> outline, host::Layer layer, FaultInjector* faults);

    geom::Shape Copper() const override;
    std::string KindText() const override { return "Region"; }
    std::vector<std::pair<std::int32_t, std::int32_t>> Outline() override;

    const std::vector<geom::Vec>& Points() const { return outline_; }

  private:
    std::vector<geom::Vec> outline_;
};

// An unrouted connection line. The host makes them for each net's ratsnest; a plug-in makes
// its own through the PCB server's factory, and the ratsnest never touches those.
class Connection final : public PrimitiveOf<host::IPCB_Connection> {
  public:
    Connection(bool ratsnest, FaultInjector* faults);

    geom::Shape Copper() const override;
    std::string KindText() const override { return "Connection"; }

    std::int32_t X1() override;
    std::int32_t Y1() override;
    std::int32_t X2() override;
    std::int32_t Y2() override;
    host::Layer Layer1() override;
    host::Layer Layer2() override;
    void SetX1(std::int32_t v) override;
    void SetY1(std::int32_t v) override;
    void SetX2(std::int32_t v) override;
    void SetY2(std::int32_t v) override;
    void SetLayer1(host::Layer v) override;
    void SetLayer2(host::Layer v) override;
    void SetLayer(host::Layer v) override;

    bool IsRatsnest() const { return ratsnest_; }
    geom::Vec From() const { return {double(x1_), double(y1_)}; }
    geom::Vec To() const { return {double(x2_), double(y2_)}; }
    host::Layer FromLayer() const { return layer1_; }
    host::Layer ToLayer() const { return layer2_; }
    // Sets both ends at once (the ratsnest's own update).
    void Place(const Anchor& from, const Anchor& to);

  private:
    bool ratsnest_;
    std::int32_t x1_ = 0, y1_ = 0, x2_ = 0, y2_ = 0;
    host::Layer layer1_ = host::eTopLayer, layer2_ = host::eTopLayer;
};

class Net final : public host::IPCB_Net {
  public:
    Net(std::string name, FaultInjector* faults);

    host::Status QueryInterface(const host::Guid& iid, void** out) override;
    std::uint32_t AddRef() override { return 1; }
    std::uint32_t Release() override { return 1; }

    std::u16string Name() override;
    void SetName(const std::u16string& name) override;
    void AddPCBObject(host::IPCB_Primitive* prim) override;
    void RemovePCBObject(host::IPCB_Primitive* prim) override;
    bool ConnectionsVisible() override;
    void HideNetConnects() override;
    void ShowNetConnects() override;
    void RebuildNetConnects() override;
    void Refresh() override;
    std::vector<std::vector<host::IPCB_Primitive*>> ConnectedPieces() override;

    const std::string& NetName() const { return name_; }
    Board* OwnerBoard() const { return board_; }
    bool OnBoard() const { return onBoard_; }
    bool Visible() const { return visible_; }
    // How often the net's connection lines were recomputed, and how often it was refreshed.
    int RatsnestRebuilds() const { return rebuilds_; }
    int Refreshes() const { return refreshes_; }
    // The conducting copper of the net on its board, in board order.
    std::vector<Primitive*> Copper() const;
    // The connection lines the host keeps for this net (shown or not).
    const std::vector<Connection*>& Ratsnest() const { return ratsnest_; }

  private:
    friend class Board;
    friend class Primitive;

    std::string name_;
    FaultInjector* faults_;
    Board* board_ = nullptr;
    bool onBoard_ = false;
    std::uint64_t serial_ = 0;  // order of joining the board: rebuilds run in this order
    bool visible_ = true;
    bool dirty_ = false;
    int rebuilds_ = 0;
    int refreshes_ = 0;
    std::map<std::uint64_t, Primitive*> members_;  // copper on the board, by board order
    std::vector<std::vector<Primitive*>> pieces_;
    std::vector<Connection*> ratsnest_;
};

class Component final : public host::IPCB_Component {
  public:
    Component(std::string designator, std::string uniqueId, host::ComponentKind kind, bool pinSwap,
              bool partSwap, FaultInjector* faults);

    host::Status QueryInterface(const host::Guid& iid, void** out) override;
    std::uint32_t AddRef() override { return 1; }
    std::uint32_t Release() override { return 1; }

    std::u16string Name() override;
    std::u16string UniqueId() override;
    host::ComponentKind Kind() override;
    bool PinSwapAllowed() override;
    void SetPinSwapAllowed(bool value) override;
    bool PartSwapAllowed() override;
    void SetPartSwapAllowed(bool value) override;
    std::unique_ptr<host::IPCB_Iterator> GroupIterator_Create() override;

    const std::string& Designator() const { return designator_; }
    const std::string& Id() const { return uniqueId_; }
    host::ComponentKind KindValue() const { return kind_; }
    bool PinSwap() const { return pinSwap_; }
    bool PartSwap() const { return partSwap_; }
    const std::vector<Pad*>& Pads() const { return pads_; }

  private:
    friend class Board;

    std::string designator_;
    std::string uniqueId_;
    host::ComponentKind kind_;
    bool pinSwap_;
    bool partSwap_;
    FaultInjector* faults_;
    std::vector<Pad*> pads_;  // owned by the board, in the file's order
};

class DifferentialPair final : public host::IPCB_DifferentialPair {
  public:
    DifferentialPair(std::string name, Net* positive, Net* negative, FaultInjector* faults);

    host::Status QueryInterface(const host::Guid& iid, void** out) override;
    std::uint32_t AddRef() override { return 1; }
    std::uint32_t Release() override { return 1; }

    std::u16string Name() override;
    host::IPCB_Net* PositiveNet() override;
    host::IPCB_Net* NegativeNet() override;

  private:
    std::string name_;
    Net* positive_;
    Net* negative_;
    FaultInjector* faults_;
};

template <class I>
host::IPCB_Net* PrimitiveOf<I>::Net() {
    CheckFault(Faults(), "IPCB_Primitive.Net");
    return NetOf();
}

// The host's object behind an interface pointer; raises host::HostError for an object that
// the host did not make.
Primitive* HostPrimitive(host::IPCB_Primitive* prim);
Net* HostNet(host::IPCB_Net* net);

}  // namespace hostapp
