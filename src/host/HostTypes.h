// Basic types of the host's interfaces: statuses, interface identifiers, counted
// references, object kinds, layers and their sets.
#pragma once

#include <bitset>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <utility>

// Interfaces shared between the host and the plug-in keep default visibility so that their
// type information is one across both libraries (dynamic_cast between them works).
#define TESSARO_HOST_INTERFACE __attribute__((visibility("default")))

namespace host {

// ---- Statuses -----------------------------------------------------------------------------

using Status = std::int32_t;
constexpr Status S_OK = 0;
constexpr Status E_UNEXPECTED = static_cast<Status>(0x8000FFFF);
constexpr Status E_NOINTERFACE = static_cast<Status>(0x80004002);
constexpr Status E_POINTER = static_cast<Status>(0x80004003);
constexpr Status E_FAIL = static_cast<Status>(0x80004005);
inline bool Failed(Status s) {
    return s < 0;
}

// A host operation that fails raises this at the call, carrying its status.
class TESSARO_HOST_INTERFACE HostError : public std::runtime_error {
  public:
    HostError(Status status, const std::string& what) : std::runtime_error(what), status_(status) {}
    Status status() const { return status_; }

  private:
    Status status_;
};

// ---- Interface identifiers and counted references ---------------------------------------------

struct Guid {
    std::uint32_t data1 = 0;
    std::uint16_t data2 = 0;
    std::uint16_t data3 = 0;
    std::uint8_t data4[8] = {};
    friend bool operator==(const Guid& a, const Guid& b) {
        return std::memcmp(&a, &b, sizeof(Guid)) == 0;
    }
};

// The root of every interface: identity queries and reference counting. Host-owned objects
// (documents, boards, pads, nets, schematic objects) answer AddRef/Release without dying:
// the host keeps them alive while their document is open. Objects the plug-in hands to the
// host die with their last Release.
class TESSARO_HOST_INTERFACE IUnknown {
  public:
    virtual Status QueryInterface(const Guid& iid, void** out) = 0;
    virtual std::uint32_t AddRef() = 0;
    virtual std::uint32_t Release() = 0;

  protected:
    virtual ~IUnknown() = default;
};

constexpr Guid IID_IUnknown{0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

// A counted reference: AddRef on copy, Release on destruction.
template <class T>
class Ref {
  public:
    Ref() = default;
    Ref(T* p) : p_(p) {  // NOLINT: implicit by design, like the original counted references
        if (p_) p_->AddRef();
    }
    Ref(const Ref& o) : Ref(o.p_) {}
    Ref(Ref&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    ~Ref() { reset(); }
    Ref& operator=(Ref o) noexcept {
        std::swap(p_, o.p_);
        return *this;
    }
    // Takes over a reference that was already counted for us (an out-argument).
    static Ref Adopt(T* p) {
        Ref r;
        r.p_ = p;
        return r;
    }
    void reset() {
        if (p_) std::exchange(p_, nullptr)->Release();
    }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    T& operator*() const { return *p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // Gives up the pointer without releasing it.
    T* detach() { return std::exchange(p_, nullptr); }

  private:
    T* p_ = nullptr;
};

// ---- Board object kinds, layers and their sets
// ----------------------------------------------------

enum ObjectKind : int {
    eNoObject = 0,
    eArcObject = 1,
    ePadObject = 2,
    eViaObject = 3,
    eTrackObject = 4,
    eTextObject = 5,
    eFillObject = 6,
    eConnectionObject = 7,
    eNetObject = 8,
    eComponentObject = 9,
    ePolyObject = 10,
    eRegionObject = 11,
    eComponentBodyObject = 12,
    eDimensionObject = 13,
    eCoordinateObject = 14,
    eClassObject = 15,
    eRuleObject = 16,
    eFromToObject = 17,
    eDifferentialPairObject = 18,
    eViolationObject = 19,
};

// A set of object kinds: bit k stands for kind k (so arcs, pads, vias and tracks are 30).
using ObjectSet = std::uint32_t;
constexpr ObjectSet MkSet(ObjectKind k) {
    return ObjectSet{1} << k;
}
template <class... K>
constexpr ObjectSet MkSet(ObjectKind k, K... rest) {
    return MkSet(k) | MkSet(rest...);
}
inline bool InSet(ObjectSet set, int kind) {
    return kind >= 0 && kind < 32 && (set >> kind) & 1u;
}
constexpr ObjectSet AllObjects = 131070;  // kinds 1 to 16

// Layers by the host's numbers.
using Layer = std::uint8_t;
constexpr Layer eNoLayer = 0;
constexpr Layer eTopLayer = 1;
constexpr Layer eMidLayer1 = 2;
constexpr Layer eMidLayer30 = 31;
constexpr Layer eBottomLayer = 32;
constexpr Layer eMultiLayer = 74;
constexpr Layer eConnectLayer = 75;
constexpr int MaxLayer = 82;
inline bool IsSignalLayer(int layer) {
    return layer >= eTopLayer && layer <= eBottomLayer;
}

class LayerSet {
  public:
    LayerSet() = default;
    static LayerSet Of(std::initializer_list<int> layers) {
        LayerSet s;
        for (int l : layers) s.Include(l);
        return s;
    }
    static LayerSet SignalLayers() { return Range(eTopLayer, eBottomLayer); }
    static LayerSet AllLayers() { return Range(1, MaxLayer); }
    static LayerSet Range(int from, int to) {
        LayerSet s;
        for (int l = from; l <= to; ++l) s.Include(l);
        return s;
    }
    LayerSet& Include(int layer) {
        if (layer >= 0 && layer <= MaxLayer) bits_.set(static_cast<std::size_t>(layer));
        return *this;
    }
    bool Contains(int layer) const {
        return layer >= 0 && layer <= MaxLayer && bits_.test(static_cast<std::size_t>(layer));
    }
    bool Empty() const { return bits_.none(); }

  private:
    std::bitset<MaxLayer + 1> bits_;
};

struct Rect {
    std::int32_t left = 0, bottom = 0, right = 0, top = 0;
};

}  // namespace host
