#include "optimizers/RouteTessaro.h"

#include <cstdio>
#include <string>

#include "frame/HostAccess.h"
#include "frame/HostEntry.h"
#include "frame/Messages.h"
#include "frame/Preconditions.h"
#include "model/Analyze.h"
#include "optimizers/Assertion.h"

namespace tessaro {

namespace {

constexpr host::Status E_INVALIDARG = static_cast<host::Status>(0x80070057);
constexpr const char* AssertionText = "Assertion failure";

// Every operation the router calls: any failure inside becomes a negative status, so the
// router keeps working and the hook stays usable.
template <class Fn>
host::Status Guarded(Fn&& body) {
    return GuardedEntry([&] {
        body();
        return host::S_OK;
    });
}

// The project's PCB-project interface, or none. A project that does not offer it may answer
// with a failing status or raise; both mean "not a PCB project".
host::Ref<host::IPcbProject> PcbProjectOf(host::IProject* project) {
    void* raw = nullptr;
    try {
        if (host::Failed(project->QueryInterface(host::IID_IPcbProject, &raw))) return {};
    } catch (const host::HostError&) {
        return {};
    }
    return host::Ref<host::IPcbProject>::Adopt(static_cast<host::IPcbProject*>(raw));
}

}  // namespace

// ---- TInterfaceList ------------------------------------------------------------------------

host::Status TInterfaceList::QueryInterface(const host::Guid& iid, void** out) {
    if (!out) return host::E_POINTER;
    *out = nullptr;
    if (iid == host::IID_IInterfaceList || iid == host::IID_IUnknown) {
        *out = static_cast<host::IInterfaceList*>(this);
        AddRef();
        return host::S_OK;
    }
    return host::E_NOINTERFACE;
}

std::uint32_t TInterfaceList::AddRef() {
    return ++refs_;
}

std::uint32_t TInterfaceList::Release() {
    const std::uint32_t left = --refs_;
    if (left == 0) delete this;
    return left;
}

host::Status TInterfaceList::Count(std::int32_t* out) {
    if (!out) return host::E_POINTER;
    *out = static_cast<std::int32_t>(items_.size());
    return host::S_OK;
}

host::Status TInterfaceList::Item(std::int32_t index, host::IUnknown** out) {
    if (!out) return host::E_POINTER;
    *out = nullptr;
    if (index < 0 || static_cast<std::size_t>(index) >= items_.size()) return E_INVALIDARG;
    host::IUnknown* item = items_[static_cast<std::size_t>(index)].get();
    if (item) item->AddRef();
    *out = item;
    return host::S_OK;
}

void TInterfaceList::Add(host::IUnknown* item) {
    items_.emplace_back(item);
}

// ---- Assertions ----------------------------------------------------------------------------

void ShowAssertionFailure(const char* file, int line, const char* message) {
    const std::string fileName = ExtractFileName(file ? file : "");
    char text[1024];
    std::snprintf(text, sizeof text, "Assertion Failed: File: %s, Line: %d, Msg :%s",
                  fileName.c_str(), line, message ? message : "");
    ShowError(text, "Error");
}

// ---- TRouteTessaro -------------------------------------------------------------------------

TRouteTessaro::TRouteTessaro() {
    SetAssertionHandler(&ShowAssertionFailure);
}

TRouteTessaro::~TRouteTessaro() = default;

host::Status TRouteTessaro::QueryInterface(const host::Guid& iid, void** out) {
    if (!out) return host::E_POINTER;
    *out = nullptr;
    if (iid == host::IID_IRouterSwapHook || iid == host::IID_IUnknown) {
        *out = static_cast<host::IRouterSwapHook*>(this);
        AddRef();
        return host::S_OK;
    }
    return host::E_NOINTERFACE;
}

std::uint32_t TRouteTessaro::AddRef() {
    return ++refs_;
}

std::uint32_t TRouteTessaro::Release() {
    const std::uint32_t left = --refs_;
    if (left == 0) delete this;
    return left;
}

void TRouteTessaro::DropDataSet() {
    Candidates = nullptr;
    CandidateIndex = -1;
    DataSet.reset();
}

TSwapGroup* TRouteTessaro::GroupOfPad(host::IPCB_Pad* pad) const {
    if (!DataSet) return nullptr;
    TSwapSubNet* subNet = DataSet->FindSubNetByPrim(pad);
    if (!subNet || !subNet->Pin) return nullptr;
    return DataSet->SwapMode == smPairSwap ? subNet->Pin->PartGroup : subNet->Pin->PinGroup;
}

TSwapSubPart* TRouteTessaro::SubPartOfPad(host::IPCB_Pad* pad) const {
    if (!DataSet || DataSet->SwapMode != smPairSwap) return nullptr;
    TSwapSubNet* subNet = DataSet->FindSubNetByPrim(pad);
    if (!subNet || !subNet->Pin) return nullptr;
    return subNet->Pin->SubPart;
}

host::Status TRouteTessaro::OpenBoard(const char16_t* documentPath, std::uint8_t pairMode,
                                      std::uint8_t* opened) {
    if (!opened) return host::E_POINTER;
    *opened = 0;
    return Guarded([&] {
        // A new open replaces whatever board was open before, also when it fails: answers
        // about the previous board would be stale.
        DropDataSet();
        const std::string path = N(documentPath ? documentPath : u"");
        host::IProject* project = FindDocumentProject(path);
        if (!project) return;
        host::Ref<host::IPcbProject> pcbProject = PcbProjectOf(project);
        if (!pcbProject) return;
        if (pcbProject->DM_NeedsCompile()) {
            bool first = false, second = false;
            project->DM_CompileEx(0, first, second);
        }
        if (!project->DM_DocumentFlattened()) return;

        auto dataSet = std::make_unique<TSwapDataSet>(path, pairMode ? smPairSwap : smPinSwap);
        dataSet->PadsOnly = true;
        dataSet->ReportToMessages = true;
        dataSet->BeginLog();
        const bool analysed = Analyze(*dataSet, "", true);
        dataSet->EndLog();
        if (!analysed) return;
        DataSet = std::move(dataSet);
        *opened = 1;
    });
}

host::Status TRouteTessaro::IsSwappablePrimitive(host::IPCB_Primitive* prim, std::uint8_t* found) {
    if (!found) return host::E_POINTER;
    *found = 0;
    return Guarded([&] {
        if (DataSet && DataSet->FindSubNetByPrim(prim)) *found = 1;
    });
}

host::Status TRouteTessaro::FirstSwapCandidate(host::IPCB_Pad* pad, host::IPCB_Pad** candidate) {
    if (!candidate) return host::E_POINTER;
    *candidate = nullptr;
    return Guarded([&] {
        TSwapGroup* group = GroupOfPad(pad);
        // A pad outside every group leaves a running enumeration as it was.
        if (!group) return;
        Candidates = &group->Pins;
        CandidateIndex = 0;
        *candidate = NextCandidate();
    });
}

host::Status TRouteTessaro::NextSwapCandidate(host::IPCB_Pad** candidate) {
    if (!candidate) return host::E_POINTER;
    *candidate = nullptr;
    return Guarded([&] { *candidate = NextCandidate(); });
}

host::IPCB_Pad* TRouteTessaro::NextCandidate() {
    if (!Candidates) return nullptr;
    TESSARO_ASSERT(CandidateIndex >= 0, AssertionText);
    if (CandidateIndex < 0) return nullptr;
    while (static_cast<std::size_t>(CandidateIndex) < Candidates->size()) {
        TSwapPin* pin = (*Candidates)[static_cast<std::size_t>(CandidateIndex)];
        ++CandidateIndex;
        if (!pin->SubNet) {
            TESSARO_ASSERT(false, AssertionText);
            continue;
        }
        // A pin whose copper holds other pads as well has no swappable sub-net.
        if (pin->SubNet->Pin && pin->SubNet->Pin->PinGroup) {
            pin->Pad->AddRef();  // counted for the caller
            return pin->Pad;
        }
    }
    return nullptr;
}

host::Status TRouteTessaro::CanSwapPads(host::IPCB_Pad* a, host::IPCB_Pad* b,
                                        std::uint8_t* allowed) {
    if (!allowed) return host::E_POINTER;
    *allowed = 0;
    return Guarded([&] {
        TESSARO_ASSERT(a != nullptr, AssertionText);
        TESSARO_ASSERT(b != nullptr, AssertionText);
        if (!DataSet) return;
        TSwapGroup* groupA = GroupOfPad(a);
        if (!groupA) return;
        TSwapGroup* groupB = GroupOfPad(b);
        if (!groupB || groupB != groupA) return;
        if (DataSet->SwapMode == smPinSwap) {
            *allowed = 1;
        } else if (DataSet->SwapMode == smPairSwap) {
            // The two lines of one differential pair never trade places with each other.
            if (SubPartOfPad(a) != SubPartOfPad(b)) *allowed = 1;
        }
    });
}

host::Status TRouteTessaro::GetSubPartPads(host::IPCB_Pad* pad, host::IInterfaceList** list) {
    if (!list) return host::E_POINTER;
    *list = nullptr;
    return Guarded([&] {
        // Before a board is open there is nothing to list.
        if (!DataSet) return;
        TSwapSubNet* subNet = DataSet->FindSubNetByPrim(pad);
        if (!subNet || !subNet->Pin || !subNet->Pin->PartGroup) return;
        const TSwapGroup* group = subNet->Pin->PartGroup;
        host::Ref<TInterfaceList> outer(new TInterfaceList);
        for (const auto& [id, subPart] : group->SubParts) {
            host::Ref<TInterfaceList> inner(new TInterfaceList);
            for (const auto& [sequence, member] : subPart->SubNets) {
                if (member->Pin) {
                    inner->Add(member->Pin->Pad);
                } else {
                    TESSARO_ASSERT(false, AssertionText);
                    inner->Add(nullptr);
                }
            }
            outer->Add(inner.get());
        }
        *list = outer.detach();
    });
}

host::Status CreateRouteTessaro(host::IRouterSwapHook** hook) {
    if (!hook) return host::E_POINTER;
    *hook = nullptr;
    return Guarded([&] {
        host::Ref<TRouteTessaro> created(new TRouteTessaro);
        *hook = created.detach();
    });
}

}  // namespace tessaro
