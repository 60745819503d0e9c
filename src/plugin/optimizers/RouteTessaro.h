// The router's pin-swap hook: the host's interactive router asks it which pads take part in
// swapping and which pads a pad may be exchanged with. It only answers questions; it never
// changes the board or the model's net assignment.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "host/Plugin.h"
#include "model/Optimizer_Data.h"

namespace tessaro {

// A counted list of counted interface references, as the toolkit's standard list; items may
// be null.
class TInterfaceList final : public host::IInterfaceList {
  public:
    host::Status QueryInterface(const host::Guid& iid, void** out) override;
    std::uint32_t AddRef() override;
    std::uint32_t Release() override;
    host::Status Count(std::int32_t* out) override;
    host::Status Item(std::int32_t index, host::IUnknown** out) override;

    void Add(host::IUnknown* item);

  private:
    ~TInterfaceList() override = default;
    std::uint32_t refs_ = 0;
    std::vector<host::Ref<host::IUnknown>> items_;
};

class TRouteTessaro final : public host::IRouterSwapHook {
  public:
    // Also installs the plug-in-wide assertion handler that shows failures and goes on.
    TRouteTessaro();

    host::Status QueryInterface(const host::Guid& iid, void** out) override;
    std::uint32_t AddRef() override;
    std::uint32_t Release() override;

    host::Status OpenBoard(const char16_t* documentPath, std::uint8_t pairMode,
                           std::uint8_t* opened) override;
    host::Status IsSwappablePrimitive(host::IPCB_Primitive* prim, std::uint8_t* found) override;
    host::Status FirstSwapCandidate(host::IPCB_Pad* pad, host::IPCB_Pad** candidate) override;
    host::Status NextSwapCandidate(host::IPCB_Pad** candidate) override;
    host::Status CanSwapPads(host::IPCB_Pad* a, host::IPCB_Pad* b, std::uint8_t* allowed) override;
    host::Status GetSubPartPads(host::IPCB_Pad* pad, host::IInterfaceList** list) override;

    // The pad's pin swap group, or in pair mode its differential-pair swap group.
    TSwapGroup* GroupOfPad(host::IPCB_Pad* pad) const;
    // In pair mode the pad's differential pair; none in the other modes.
    TSwapSubPart* SubPartOfPad(host::IPCB_Pad* pad) const;

    // The data set of the board opened last; none before and after a failed open.
    std::unique_ptr<TSwapDataSet> DataSet;
    // The pins whose pads are being enumerated (a reference into DataSet), and the next one.
    const std::vector<TSwapPin*>* Candidates = nullptr;
    std::int32_t CandidateIndex = -1;

  private:
    ~TRouteTessaro() override;
    // Frees the data set; the enumeration refers into it, so it ends too.
    void DropDataSet();
    host::IPCB_Pad* NextCandidate();

    std::uint32_t refs_ = 0;
};

// The body of the export GetRouteTessaro: a new hook, counted once for the caller.
host::Status CreateRouteTessaro(host::IRouterSwapHook** hook);

// The handler the hook installs: "Assertion Failed: File: %s, Line: %d, Msg :%s" in an error
// box, then execution goes on.
void ShowAssertionFailure(const char* file, int line, const char* message);

}  // namespace tessaro
