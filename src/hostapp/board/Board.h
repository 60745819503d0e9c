// A PCB document's board as the host holds it: every object of the design's board data,
// the spatial index, connectivity and the live ratsnest, highlighting and the person's picks.
// Also the PCB server that keeps the open boards and makes new connection and net objects.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "host/Pcb.h"
#include "hostapp/board/BoardObjects.h"
#include "hostapp/design/DesignData.h"

namespace hostapp {

class FaultInjector;

// What the board was asked to do, for tests and for what the person at the screen sees.
struct BoardActivity {
    int highlightClears = 0;
    int highlightClearShown = 0;
    int highlightAdds = 0;
    int highlightShows = 0;
    int lastShowHighlight = 0;
    int lastShowMask = 0;
    int maskClears = 0;
    int redraws = 0;
    int notices[4] = {0, 0, 0, 0};  // by host::BoardNotice
    int modifyBegins = 0;           // primitive modification brackets opened
    int modifyEnds = 0;
};

class Board final : public host::IPCB_Board {
  public:
    Board(const design::BoardData& data, std::string fullPath, FaultInjector* faults);
    ~Board() override;
    Board(const Board&) = delete;
    Board& operator=(const Board&) = delete;

    // ---- host::IPCB_Board ----
    host::Status QueryInterface(const host::Guid& iid, void** out) override;
    std::uint32_t AddRef() override { return 1; }
    std::uint32_t Release() override { return 1; }
    std::u16string FileName() override;
    host::DisplayUnit GetDisplayUnit() override;
    std::u16string LayerName(host::Layer layer) override;
    std::unique_ptr<host::IPCB_Iterator> BoardIterator_Create() override;
    std::unique_ptr<host::IPCB_Iterator> SpatialIterator_Create() override;
    void AddPCBObject(host::IPCB_Primitive* prim) override;
    void RemovePCBObject(host::IPCB_Primitive* prim) override;
    void AddNet(host::IPCB_Net* net) override;
    void RemoveNet(host::IPCB_Net* net) override;
    host::IPCB_Net* FindNet(const std::u16string& name) override;
    void Notify(host::IUnknown* object, host::BoardNotice notice) override;
    void ResetVisitMarks() override;
    double PrimPrimDistance(host::IPCB_Primitive* a, host::IPCB_Primitive* b) override;
    int DifferentialPairCount() override;
    host::IPCB_DifferentialPair* DifferentialPair(int index) override;
    host::IPCB_Component* ComponentByUniqueId(const std::u16string& uniqueId) override;
    bool ChooseLocation(std::int32_t& x, std::int32_t& y, const std::u16string& prompt) override;
    host::IPCB_Primitive* GetObjectAtXYAskUserIfAmbiguous(std::int32_t x, std::int32_t y,
                                                          host::ObjectSet kinds,
                                                          const host::LayerSet& layers) override;
    void HighlightList_Clear() override;
    void HighlightList_ClearShown() override;
    void HighlightList_Add(host::IPCB_Primitive* prim) override;
    void HighlightList_Show(int highlight, int mask) override;
    void ClearHighlightMask(int mode) override;
    void ViewRedraw() override;

    // ---- The host's own side ----
    const std::string& FullPath() const { return fullPath_; }
    design::DisplayUnit Unit() const { return displayUnit_; }

    // Writes what the board now holds into the board data it was built from: every pad's
    // and primitive's net, the components' switches and the net list (nets removed from the
    // board dropped, nets added to it appended). Everything else stays as read.
    void WriteBack(design::BoardData& data) const;

    // "U1-5": designator, "-", pad name, without regard to letter case.
    host::IPCB_Pad* FindPadByRef(const std::string& ref);
    host::IPCB_Pad* FindPad(const std::string& designator, const std::string& padName);
    host::IPCB_Net* NetByName(const std::string& name);
    Pad* PadObject(const std::string& ref);  // the host's pad behind FindPadByRef
    Net* NetObject(const std::string& name);
    Component* ComponentObject(const std::string& designator);

    // Everything on the board, in board order (connection objects of hidden nets included).
    std::vector<Primitive*> Objects() const;
    const std::vector<Component*>& Components() const { return componentList_; }
    const std::vector<Net*>& Nets() const { return nets_; }
    // Connection objects on the board in board order; by default only those shown.
    std::vector<Connection*> Connections(bool includeHidden = false);

    // Brings every net whose copper changed up to date (also done before any iteration).
    void UpdateRatsnest();

    const BoardActivity& Activity() const { return activity_; }
    const std::vector<host::IPCB_Primitive*>& HighlightList() const { return highlight_; }
    const std::vector<host::IPCB_Primitive*>& ShownHighlight() const { return shown_; }

    // ---- Used by the board's objects and iterators ----
    FaultInjector* Faults() const { return faults_; }
    std::uint64_t VisitGeneration() const { return visitGeneration_; }
    void NetChanged(Net* net);      // the net's copper changed: its ratsnest is stale
    void Reindex(Primitive* prim);  // a primitive's shape changed
    void NoteModify(bool begin);
    // Objects whose bounding rectangles meet the area, in board order.
    std::vector<Primitive*> ObjectsInArea(const geom::Bounds& area);
    // Whether iterations see the object (connection lines of hidden nets are not seen).
    bool Listed(const Primitive* prim) const;
    void RebuildNet(Net* net);  // recomputes the net's pieces and connection lines now

  private:
    struct Index;

    Pad* MakePad(const design::PadData& data, Component* owner);
    template <class T>
    T* Own(std::unique_ptr<T> object);
    void Attach(Primitive* prim);  // puts an object on the board
    void Detach(Primitive* prim);  // takes it off (it stays alive)
    void JoinNet(Net* net);
    Net* NetForName(const std::string& name) const;
    void ComputePieces(Net* net);
    void ComputeRatsnest(Net* net);
    std::string OptionText(Primitive* prim);

    std::string fullPath_;
    FaultInjector* faults_;
    design::DisplayUnit displayUnit_;
    std::uint64_t nextOrder_ = 1;
    std::uint64_t nextNetSerial_ = 1;
    std::uint64_t visitGeneration_ = 1;

    std::vector<std::unique_ptr<Primitive>> owned_;  // every object the board made
    std::vector<std::unique_ptr<Net>> ownedNets_;
    std::vector<std::unique_ptr<Component>> components_;
    std::vector<std::unique_ptr<hostapp::DifferentialPair>> pairs_;

    std::map<std::uint64_t, Primitive*> order_;  // on the board, by board order
    std::unique_ptr<Index> index_;
    std::vector<Net*> nets_;
    std::vector<Component*> componentList_;
    std::map<std::uint64_t, Net*> dirty_;  // nets to rebuild, by serial

    // The objects read from the data, in the data's order, for WriteBack.
    std::vector<Pad*> freePads_;
    std::vector<Track*> tracks_;
    std::vector<Arc*> arcs_;
    std::vector<Via*> vias_;
    std::vector<Fill*> fills_;
    std::vector<Region*> regions_;

    std::vector<host::IPCB_Primitive*> highlight_;
    std::vector<host::IPCB_Primitive*> shown_;
    BoardActivity activity_;
};

template <class T>
T* Board::Own(std::unique_ptr<T> object) {
    T* raw = object.get();
    raw->board_ = this;
    owned_.push_back(std::move(object));
    return raw;
}

// The PCB editor's server: the open boards by full path, the factory for new connection and
// net objects (kept alive until the server goes), and the bracket around batches of changes.
class PcbServer final : public host::IPCB_ServerInterface {
  public:
    explicit PcbServer(FaultInjector* faults = nullptr);
    ~PcbServer() override;

    // Opens a board for a document; it lives until closed or until the server goes.
    Board& OpenBoard(const design::BoardData& data, const std::string& fullPath);
    void CloseBoard(const std::string& fullPath);
    Board* FindBoard(const std::string& fullPath) const;

    int PreProcessCount() const { return preProcess_; }
    int PostProcessCount() const { return postProcess_; }
    int OpenBatches() const { return preProcess_ - postProcess_; }
    const std::vector<std::unique_ptr<Connection>>& MadeConnections() const { return connections_; }
    const std::vector<std::unique_ptr<Net>>& MadeNets() const { return nets_; }

    host::Status QueryInterface(const host::Guid& iid, void** out) override;
    std::uint32_t AddRef() override { return 1; }
    std::uint32_t Release() override { return 1; }
    host::IPCB_Board* GetPCBBoardByPath(const std::u16string& path) override;
    host::IPCB_Connection* CreateConnection() override;
    host::IPCB_Net* CreateNet() override;
    void PreProcess() override;
    void PostProcess() override;

  private:
    FaultInjector* faults_;
    // Declared before the boards so that they outlive them.
    std::vector<std::unique_ptr<Connection>> connections_;
    std::vector<std::unique_ptr<Net>> nets_;
    std::vector<std::unique_ptr<Board>> boards_;
    int preProcess_ = 0;
    int postProcess_ = 0;
};

}  // namespace hostapp
