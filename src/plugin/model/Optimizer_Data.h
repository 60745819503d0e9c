// The swap data model: the in-memory picture of one board (or schematic library) for one
// command run. The data set owns every object in `Objects`; every other list holds plain
// references. Host objects are plain pointers the host keeps alive.
//
// Where the operations live:
//   Optimizer_Data.cpp  construction, lookups, descriptions, dumps, the log
//   Build.cpp           creating and building the data set (components to group nets)
//   Analyze.cpp         Analyze, CollectComponents, warnings, the project test, CheckAbort
//   Cost.cpp            hot spots of nets, lengths, crossings, the exchange operations,
//                       connection lines, MeasureBoard
//   ApplyChanges.cpp    writing the assignment to the board, net display, redraw
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "host/Device.h"
#include "host/Pcb.h"
#include "host/Workspace.h"
#include "model/RT_HashTable.h"
#include "model/SortedStringList.h"

namespace tessaro {

class TSwapDataSet;
class TSwapSubNet;
class TSwapGroup;
class TSwapComponent;
class TSwapSubPart;

enum TSwapMode : std::uint8_t { smPartSwap = 1, smPinSwap = 2, smPairSwap = 3 };

constexpr double LayerPenalty = 300000.0;
constexpr std::int32_t CrossingWeight = 50000;
constexpr double MinimumSearchStart = 1.7e308;
constexpr std::int16_t NoNetSubNetIndex = 9999;

class TSwapDataObject {
  public:
    explicit TSwapDataObject(TSwapDataSet* owner);
    virtual ~TSwapDataObject() = default;
    TSwapDataObject(const TSwapDataObject&) = delete;
    TSwapDataObject& operator=(const TSwapDataObject&) = delete;

    virtual std::string Describe() const;
    virtual void Dump() const;
    virtual const char* ClassName() const { return "TSwapDataObject"; }

    host::IPCB_Board* Board() const;
    TSwapDataSet* Owner = nullptr;
};

// A point at which copper can be reached: a key of the hot spot lists.
class THotSpot : public TBucketKey {
  public:
    THotSpot(std::int32_t x, std::int32_t y, host::Layer layer, TSwapSubNet* subNet);
    std::uint32_t Hash() const override;
    bool Equals(const TBucketKey& other) const override;
    // The text used in descriptions: " XYL(x,y,layer)".
    std::string Text(host::IPCB_Board* board) const;

    std::int32_t X = 0;
    std::int32_t Y = 0;
    host::Layer Layer = 0;
    TSwapSubNet* SubNet = nullptr;
};

// A sub-net's set of hot spots. The hot spots belong to the data set, not to the list.
class THotSpotList : public TGenericBucketList {
  public:
    THotSpotList() : TGenericBucketList(8) {}
    ~THotSpotList() override { ClearUnchecked(); }
    // The hot spots in the list's iteration order.
    std::vector<THotSpot*> InOrder() const;

  protected:
    void ReleaseKey(TBucketKey*) override {}
};

class TSwapPin;

class TSwapComponent : public TSwapDataObject {
  public:
    explicit TSwapComponent(TSwapDataSet* owner);
    std::string Describe() const override;
    void Dump() const override;
    const char* ClassName() const override { return "TSwapComponent"; }

    host::IComponent* PcbComponent = nullptr;
    host::IComponent* SchComponent = nullptr;
    std::vector<TSwapPin*> Pins;
    TSortedStringList<TSwapGroup*> PinSwapGroups;
    TSortedStringList<TSwapGroup*> PartSwapGroups;

    // Configuration state.
    bool PinSwapEnabled = false;
    bool PartSwapEnabled = false;
    void* GridNode = nullptr;
    std::string InitialPinSwapData, InitialPartSwapData, InitialPairSwapData;
    std::string PinSwapData, PartSwapData, PairSwapData;
    bool HadPinSwapData = false, HadPartSwapData = false, HadPairSwapData = false;
    bool HasPinSwapData = false, HasPartSwapData = false, HasPairSwapData = false;
    bool PinSwapDataModified = false, PartSwapDataModified = false, PairSwapDataModified = false;

    // The component's board object, looked up through the board each time; nullptr without
    // PcbComponent or board.
    host::IPCB_Component* PcbObject() const;
};

class TSwapPin : public TSwapDataObject {
  public:
    TSwapPin(TSwapDataSet* owner, host::IPCB_Pad* pad, host::INetItem* schPin,
             host::IDevicePin* devicePin, TSwapComponent* component);
    std::string Describe() const override;
    void Dump() const override;
    const char* ClassName() const override { return "TSwapPin"; }

    std::string PinName() const;       // "U1-A7"
    host::IPCB_Net* BoardNet() const;  // the pad's net on the board
    class TSwapNet* ModelNet() const;  // CurrentNet of SubNet

    THotSpot* PadLocation = nullptr;
    host::IPCB_Pad* Pad = nullptr;
    host::INetItem* SchPin = nullptr;
    host::IDevicePin* DevicePin = nullptr;
    TSwapComponent* Component = nullptr;
    TSwapGroup* PinGroup = nullptr;
    TSwapGroup* PartGroup = nullptr;
    TSwapSubNet* SubNet = nullptr;
    TSwapSubPart* SubPart = nullptr;
};

class TSwapNet : public TSwapDataObject {
  public:
    TSwapNet(TSwapDataSet* owner, host::IPCB_Net* net);
    std::string Describe() const override;
    void Dump() const override;
    const char* ClassName() const override { return "TSwapNet"; }
    std::string Name() const;  // the host net's name, "NULL" for the null net

    host::IPCB_Net* IPCBNet = nullptr;
    std::vector<THotSpot*> HotSpots;
    bool ConnectionsShown = false;
    std::vector<TSwapSubNet*> SubNets;
};

class TConnectionLine : public TSwapDataObject {
  public:
    explicit TConnectionLine(TSwapDataSet* owner);
    std::string Describe() const override;
    const char* ClassName() const override { return "TConnectionLine"; }

    THotSpot* End1 = nullptr;
    THotSpot* End2 = nullptr;
    host::IPCB_Connection* Connection = nullptr;
};

class TSwapSubNet : public TSwapDataObject {
  public:
    TSwapSubNet(TSwapDataSet* owner, TSwapNet* net, std::int16_t index);
    std::string Describe() const override;
    void Dump() const override;
    const char* ClassName() const override { return "TSwapSubNet"; }

    TSwapNet* CurrentNet() const;
    THotSpot* CurrentNetHotSpot() const;
    TSwapGroup* PinGroup() const;
    TSwapGroup* PartGroup() const;
    TSwapSubPart* SubPart() const;
    bool IsSwappable() const { return Pin != nullptr; }
    host::IPCB_Net* HostNet() const;
    std::string NetName() const;
    // The net the first primitive carries on the board now (nullptr: none).
    host::IPCB_Net* PrimNet() const;

    TSwapPin* Pin = nullptr;
    std::int16_t Index = 0;
    bool Fixed = false;
    THotSpot* BestHotSpot = nullptr;
    std::vector<TSwapSubNet*> Neighbours;
    std::vector<TSwapSubNet*> Crossings;
    std::vector<TSwapSubNet*> SavedCrossings;
    std::vector<host::IPCB_Primitive*> Prims;
    THotSpotList HotSpots;
    std::vector<THotSpot*> NetHotSpots;
    std::int32_t NetIndex = -1;
    std::int32_t SavedNetIndex = -1;
    std::int32_t OriginalNetIndex = -1;
    TConnectionLine* Line = nullptr;
    TSwapNet* OriginalNet = nullptr;
    TSwapNet* BoardNet = nullptr;
};

class TSwapSubPart : public TSwapDataObject {
  public:
    TSwapSubPart(TSwapDataSet* owner, TSwapGroup* group, std::string subPartId);
    std::string Describe() const override;
    const char* ClassName() const override { return "TSwapSubPart"; }
    std::string SubPartNumber() const;
    TSwapComponent* Component() const;

    TSwapGroup* Group = nullptr;
    TSortedStringList<TSwapSubNet*> SubNets;  // by sequence id
    std::string SubPartId;
};

class TSwapGroup : public TSwapDataObject {
  public:
    TSwapGroup(TSwapDataSet* owner, std::string id, TSwapComponent* component);
    std::string Describe() const override;
    void Dump() const override;
    const char* ClassName() const override { return "TSwapGroup"; }

    std::string ID;
    TSwapComponent* Component = nullptr;
    TSortedStringList<TSwapSubPart*> SubParts;
    std::vector<TSwapPin*> Pins;
    std::vector<TSwapSubNet*> SubNets;
    std::vector<TSwapNet*> Nets;
};

class TSwapDataSet : public TSwapDataObject {
  public:
    // Creates the data set for a document (see Build.cpp): board, document, project,
    // compiled design and component mappings.
    TSwapDataSet(const std::string& fileName, TSwapMode mode);
    ~TSwapDataSet() override;
    std::string Describe() const override;
    void Dump() const override;
    const char* ClassName() const override { return "TSwapDataSet"; }

    // Ownership: every model object, hot spot and optimiser is adopted here.
    template <class T, class... Args>
    T* Make(Args&&... args) {
        auto object = std::make_unique<T>(std::forward<Args>(args)...);
        T* raw = object.get();
        Adopt(std::move(object));
        return raw;
    }
    THotSpot* MakeHotSpot(std::int32_t x, std::int32_t y, host::Layer layer, TSwapSubNet* subNet);

    // Lookups.
    TSwapPin* FindPinByPad(host::IPCB_Pad* pad) const;
    TSwapSubNet* FindSubNetByPrim(host::IPCB_Primitive* prim) const;
    TSwapNet* NetFor(TSwapPin* pin, host::IPCB_Net* net);
    bool PickSubNet(const std::string& prompt, TSwapSubNet*& subNet);
    static std::string NetKey(const void* identity);  // sixteen hexadecimal digits

    // The diagnostic log: it accepts lines and discards them.
    void Log(std::string_view line) const;
    template <class... Args>
    void LogFmt(const char* format, Args... args) const;
    void BeginLog() const;
    void EndLog() const;

    // The index behind FindPinByPad and FindSubNetByPrim is rebuilt on the next lookup after
    // this call. The build calls it whenever it changes a sub-net's Prims, a group's Pins or
    // the group lists; code that changes them after the build must call it too.
    void InvalidateLookups() const;

    // Building (Build.cpp).
    // Components of a board through the project's component mappings.
    void CollectComponentsStep(const std::string& filter, bool includeAll);
    // Components of the library document (library mode, or a data set without board).
    void CollectLibraryComponents(const std::string& filter);
    // The board's differential pair holding the net as its positive or negative net.
    host::IPCB_DifferentialPair* DifferentialPairOf(host::IPCB_Net* net) const;
    void BuildPinAndSwapGroupLists(TSwapComponent* component);
    void DropSmallGroups();
    void SortPinSwapGroups();
    void BuildNetList();
    void BuildSubNetLists();
    void BuildSubNetList(TSwapNet* net);
    void FillSubNetFromPin(TSwapSubNet* subNet, TSwapPin* pin);
    void RebuildHotSpots(TSwapSubNet* subNet);
    void LinkSubNetsToPins();
    void BuildSubParts();
    void DropInactiveGroups();
    void ClassifySubNets();
    void ResetGroupNets(TSwapGroup* group);
    void ResetAllGroupNets();
    TSwapSubNet* CreateSubNet(TSwapNet* net, std::int16_t index);
    bool PinHasModeId(TSwapPin* pin) const;
    std::string PinModeId(TSwapPin* pin) const;
    bool IsPairCapable(TSwapPin* pin) const;
    std::string PairName(TSwapPin* pin) const;
    std::string PairLetter(TSwapPin* pin) const;

    // Cost (Cost.cpp).
    void BuildNetHotSpots(TSwapNet* net, TSwapGroup* group);
    void PrepareGroup(TSwapGroup* group);
    THotSpot* NearestNetHotSpot(TSwapSubNet* subNet, TSwapNet* net) const;
    void UpdateNetHotSpots(TSwapSubNet* subNet);
    double ConnectionLength(const TSwapSubNet* subNet) const;
    double EuclideanLength(const TSwapSubNet* subNet) const;
    bool Crosses(const TSwapSubNet* a, const TSwapSubNet* b) const;
    void BuildCrossings(TSwapSubNet* subNet);
    void BuildNeighbours(TSwapSubNet* subNet);
    std::int32_t CountCrossings() const;
    double TotalCost() const;
    std::int32_t CountFixedSubNets() const;
    void InitialiseCost();
    void TryExchange(TSwapSubNet* a, TSwapSubNet* b);
    void CommitExchange(TSwapSubNet* a, TSwapSubNet* b);
    void RollbackExchange(TSwapSubNet* a, TSwapSubNet* b);
    void SetEnds(TConnectionLine* line, THotSpot* end1, THotSpot* end2);
    void RemoveConnection(TConnectionLine* line);
    void RemoveConnectionLines();
    void MeasureBoard(double& length, std::int32_t& count);

    // Board update (ApplyChanges.cpp).
    void ApplyChanges();
    void ApplySubNet(TSwapSubNet* subNet);
    void AddPrimsToNet(TSwapSubNet* subNet, host::IPCB_Net* net);
    void RemovePrimsFromNet(TSwapSubNet* subNet, host::IPCB_Net* net);
    void HideNetConnections();
    void RestoreNetConnections();
    void RedrawBoard();

    std::vector<TSwapComponent*> Components;
    TSortedStringList<TSwapNet*> Nets;
    std::vector<TSwapSubNet*> FixedSubNets;
    std::vector<TSwapSubNet*> SwapSubNets;
    std::vector<TSwapSubNet*> SubNets;
    std::vector<TSwapGroup*> PinSwapGroups;
    std::vector<TSwapGroup*> PartSwapGroups;
    host::IPCB_Board* BoardRef = nullptr;  // the document's board (Board() of every object)
    std::string FileName;
    host::IProject* Project = nullptr;
    host::IComponentMappings* ComponentMappings = nullptr;
    std::int32_t XOvers = 0;
    double ConnectionCost = 0;
    TSwapNet* NullNet = nullptr;
    std::int32_t UnswappablePins = 0;
    std::int32_t UnmatchedPins = 0;
    host::IPCB_Net* PinSwapNet = nullptr;
    TSwapMode SwapMode = smPinSwap;
    host::IDocument* Document = nullptr;
    bool LibraryMode = false;
    bool ReportToMessages = false;
    bool PadsOnly = false;

    // Every owned object, hot spots included.
    std::size_t ObjectCount() const { return objects_.size(); }

  private:
    void Adopt(std::unique_ptr<TSwapDataObject> object);
    void Adopt(std::unique_ptr<THotSpot> hotSpot);
    void RebuildLookups() const;

    // Model objects and hot spots in one creation order; freed in that order.
    struct Owned {
        std::unique_ptr<TSwapDataObject> object;
        std::unique_ptr<THotSpot> hotSpot;
    };
    std::vector<Owned> objects_;

    // Lookups are asked per pad in loops; the index keeps the first-match rule of a linear
    // search (first group in list order, first sub-net in creation order).
    mutable std::unordered_map<const host::IPCB_Primitive*, TSwapSubNet*> subNetByPrim_;
    mutable std::unordered_map<const host::IPCB_Pad*, TSwapPin*> pinByPad_;
    mutable bool lookupsStale_ = true;
    // The list sizes the index was built for: a changed size also makes it stale.
    mutable std::size_t lookupShape_[3] = {0, 0, 0};
};

template <class... Args>
void TSwapDataSet::LogFmt(const char*, Args...) const {
    // The log discards its lines; formatting them would only cost time.
}

}  // namespace tessaro
