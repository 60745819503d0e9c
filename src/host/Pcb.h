// The PCB editor's interfaces: the PCB server, boards, their primitives, nets, components,
// differential pairs and iterators. Coordinates are the host's board units (10000 to the
// mil); layers are the host's layer numbers (HostTypes.h).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/HostTypes.h"

namespace host {

class IPCB_Board;
class IPCB_Net;
class IPCB_Component;
class IComponent;

class TESSARO_HOST_INTERFACE IPCB_Primitive : public IUnknown {
  public:
    virtual ObjectKind ObjectId() = 0;
    virtual IPCB_Board* Board() = 0;
    // The primitive's layer (eMultiLayer for through-hole pads and vias).
    virtual Layer GetLayer() = 0;
    virtual IPCB_Net* Net() = 0;  // nullptr: no net
    virtual void SetNet(IPCB_Net* net) = 0;
    // The component the primitive belongs to, or nullptr for a free primitive.
    virtual IPCB_Component* Component() = 0;
    virtual Rect BoundingRectangle() = 0;

    // Modification bracket: every change of a primitive on a board stands inside one.
    virtual void BeginModify() = 0;
    virtual void EndModify() = 0;

    // The integer marker, free for a plug-in's use.
    virtual std::int32_t Marker() = 0;
    virtual void SetMarker(std::int32_t value) = 0;
    // Two visit marks for searches; the board's ResetVisitMarks clears both on every object.
    virtual bool VisitMark1() = 0;
    virtual void SetVisitMark1(bool value) = 0;
    virtual bool VisitMark2() = 0;
    virtual void SetVisitMark2(bool value) = 0;

    // Exclusions from connectivity: a keep-out primitive, and a primitive the designer
    // excluded from connectivity. Neither conducts.
    virtual bool IsKeepout() = 0;
    virtual bool IsExcludedFromConnectivity() = 0;

    // Two texts that describe the primitive for diagnostics ("Pad U1-1", "Top Layer").
    virtual std::u16string ObjectIdString() = 0;
    virtual std::u16string Descriptor() = 0;
};

enum class PadShape { Round, Rectangular, Rounded };

class TESSARO_HOST_INTERFACE IPCB_Pad : public IPCB_Primitive {
  public:
    virtual std::int32_t X() = 0;
    virtual std::int32_t Y() = 0;
    virtual std::u16string Name() = 0;
    virtual PadShape Shape() = 0;
    virtual std::int32_t SizeX() = 0;
    virtual std::int32_t SizeY() = 0;
    // The designer excluded this pad from pin swapping.
    virtual bool IsSwapExcluded() = 0;
    // The jumper this pad belongs to ("" for none): a jumper pad is reached through its
    // jumper, not at its own centre.
    virtual std::u16string JumperId() = 0;
};

class TESSARO_HOST_INTERFACE IPCB_Via : public IPCB_Primitive {
  public:
    virtual std::int32_t X() = 0;
    virtual std::int32_t Y() = 0;
    virtual std::int32_t Diameter() = 0;
    virtual Layer StartLayer() = 0;
    virtual Layer EndLayer() = 0;
};

class TESSARO_HOST_INTERFACE IPCB_Track : public IPCB_Primitive {
  public:
    virtual std::int32_t X1() = 0;
    virtual std::int32_t Y1() = 0;
    virtual std::int32_t X2() = 0;
    virtual std::int32_t Y2() = 0;
    virtual std::int32_t Width() = 0;
};

class TESSARO_HOST_INTERFACE IPCB_Arc : public IPCB_Primitive {
  public:
    virtual std::int32_t XCenter() = 0;
    virtual std::int32_t YCenter() = 0;
    virtual std::int32_t Radius() = 0;
    virtual double StartAngle() = 0;  // degrees, counter-clockwise from +x
    virtual double EndAngle() = 0;
    virtual std::int32_t Width() = 0;
};

class TESSARO_HOST_INTERFACE IPCB_Fill : public IPCB_Primitive {
  public:
    virtual Rect Corners() = 0;
};

class TESSARO_HOST_INTERFACE IPCB_Region : public IPCB_Primitive {
  public:
    virtual std::vector<std::pair<std::int32_t, std::int32_t>> Outline() = 0;
};

// A connection object (an unrouted connection line), on layer eConnectLayer; its two ends
// carry layers of their own.
class TESSARO_HOST_INTERFACE IPCB_Connection : public IPCB_Primitive {
  public:
    virtual std::int32_t X1() = 0;
    virtual std::int32_t Y1() = 0;
    virtual std::int32_t X2() = 0;
    virtual std::int32_t Y2() = 0;
    virtual Layer Layer1() = 0;
    virtual Layer Layer2() = 0;
    virtual void SetX1(std::int32_t v) = 0;
    virtual void SetY1(std::int32_t v) = 0;
    virtual void SetX2(std::int32_t v) = 0;
    virtual void SetY2(std::int32_t v) = 0;
    virtual void SetLayer1(Layer v) = 0;
    virtual void SetLayer2(Layer v) = 0;
    virtual void SetLayer(Layer v) = 0;
};

class TESSARO_HOST_INTERFACE IPCB_Net : public IUnknown {
  public:
    virtual std::u16string Name() = 0;
    virtual void SetName(const std::u16string& name) = 0;
    // Net membership of a primitive (SetNet on the primitive sets its own side).
    virtual void AddPCBObject(IPCB_Primitive* prim) = 0;
    virtual void RemovePCBObject(IPCB_Primitive* prim) = 0;
    // Display of the net's connection lines.
    virtual bool ConnectionsVisible() = 0;
    virtual void HideNetConnects() = 0;
    virtual void ShowNetConnects() = 0;
    virtual void RebuildNetConnects() = 0;
    // Brings the net's derived state (pieces, connection lines) up to date and redraws it.
    virtual void Refresh() = 0;
    // The net's copper grouped into connected pieces, in the host's order.
    virtual std::vector<std::vector<IPCB_Primitive*>> ConnectedPieces() = 0;
};

class TESSARO_HOST_INTERFACE IPCB_DifferentialPair : public IUnknown {
  public:
    virtual std::u16string Name() = 0;
    virtual IPCB_Net* PositiveNet() = 0;
    virtual IPCB_Net* NegativeNet() = 0;
};

// Iterates objects of a board, of an area of it (spatial) or of a component (group).
// Filters are set before the first call of FirstPCBObject.
class TESSARO_HOST_INTERFACE IPCB_Iterator {
  public:
    virtual ~IPCB_Iterator() = default;
    virtual void AddFilter_ObjectSet(ObjectSet kinds) = 0;
    virtual void AddFilter_LayerSet(const LayerSet& layers) = 0;
    // Spatial iterators only: objects whose bounding rectangle meets the area.
    virtual void AddFilter_Area(std::int32_t x1, std::int32_t y1, std::int32_t x2,
                                std::int32_t y2) = 0;
    virtual IPCB_Primitive* FirstPCBObject() = 0;
    virtual IPCB_Primitive* NextPCBObject() = 0;
};

enum class ComponentKind : int {
    Standard = 0,
    Mechanical = 1,
    Graphical = 2,
    NetTie = 3,
    NetTieNoBom = 4
};

class TESSARO_HOST_INTERFACE IPCB_Component : public IUnknown {
  public:
    virtual std::u16string Name() = 0;  // the designator as the board shows it
    // The identifier shared with the schematic component ("\" separated path).
    virtual std::u16string UniqueId() = 0;
    virtual ComponentKind Kind() = 0;
    virtual bool PinSwapAllowed() = 0;
    virtual void SetPinSwapAllowed(bool value) = 0;
    virtual bool PartSwapAllowed() = 0;
    virtual void SetPartSwapAllowed(bool value) = 0;
    // Iterates the component's own primitives (pads, in the host's order, and more).
    virtual std::unique_ptr<IPCB_Iterator> GroupIterator_Create() = 0;
};

// Change notices a board receives about an object.
enum BoardNotice : int {
    eNoticeBeginModify = 1,
    eNoticeObjectRegistered = 2,
    eNoticeEndModify = 3
};

enum DisplayUnit : int { eMetric = 0, eImperial = 1 };

class TESSARO_HOST_INTERFACE IPCB_Board : public IUnknown {
  public:
    virtual std::u16string FileName() = 0;
    virtual DisplayUnit GetDisplayUnit() = 0;
    virtual std::u16string LayerName(Layer layer) = 0;

    virtual std::unique_ptr<IPCB_Iterator> BoardIterator_Create() = 0;
    virtual std::unique_ptr<IPCB_Iterator> SpatialIterator_Create() = 0;

    // Objects made by the PCB server's factory join the board here; removed objects stay
    // alive until the board is closed.
    virtual void AddPCBObject(IPCB_Primitive* prim) = 0;
    virtual void RemovePCBObject(IPCB_Primitive* prim) = 0;
    virtual void AddNet(IPCB_Net* net) = 0;
    virtual void RemoveNet(IPCB_Net* net) = 0;
    virtual IPCB_Net* FindNet(const std::u16string& name) = 0;
    virtual void Notify(IUnknown* object, BoardNotice notice) = 0;

    // Clears both visit marks of every object of the board.
    virtual void ResetVisitMarks() = 0;
    // The distance between the copper of two primitives; 0 when they touch or overlap.
    virtual double PrimPrimDistance(IPCB_Primitive* a, IPCB_Primitive* b) = 0;

    virtual int DifferentialPairCount() = 0;
    virtual IPCB_DifferentialPair* DifferentialPair(int index) = 0;
    virtual IPCB_Component* ComponentByUniqueId(const std::u16string& uniqueId) = 0;

    // Lets the person pick a location; false when the pick was cancelled.
    virtual bool ChooseLocation(std::int32_t& x, std::int32_t& y, const std::u16string& prompt) = 0;
    // The object of the kinds and layers at a location, asking the person when several
    // qualify; nullptr when none does (or the person chose none).
    virtual IPCB_Primitive* GetObjectAtXYAskUserIfAmbiguous(std::int32_t x, std::int32_t y,
                                                            ObjectSet kinds,
                                                            const LayerSet& layers) = 0;

    // Highlighting: a list of objects shown highlighted, and a mask dimming the rest.
    virtual void HighlightList_Clear() = 0;
    virtual void HighlightList_ClearShown() = 0;
    virtual void HighlightList_Add(IPCB_Primitive* prim) = 0;
    virtual void HighlightList_Show(int highlight, int mask) = 0;
    virtual void ClearHighlightMask(int mode) = 0;
    virtual void ViewRedraw() = 0;
};

class TESSARO_HOST_INTERFACE IPCB_ServerInterface : public IUnknown {
  public:
    virtual IPCB_Board* GetPCBBoardByPath(const std::u16string& path) = 0;
    // The factory: new objects, owned by the host, not yet on any board.
    virtual IPCB_Connection* CreateConnection() = 0;
    virtual IPCB_Net* CreateNet() = 0;
    // The bracket around a batch of changes.
    virtual void PreProcess() = 0;
    virtual void PostProcess() = 0;
};

}  // namespace host
