#include "optimizers/Optimizer_Interactive.h"

#include <cinttypes>
#include <cstdio>

#include "frame/HostAccess.h"
#include "frame/Messages.h"
#include "links/Rt_ConnectedObjectFinder.h"

namespace tessaro {

namespace {

constexpr const char* PinSwapSource = "Pin/Net Swapper";

std::string NetDisplayName(host::IPCB_Net* net) {
    return net ? N(net->Name()) : std::string("[No Net]");
}

}  // namespace

std::string CandidateNetKey(const host::IPCB_Net* net) {
    char key[17];
    std::snprintf(key, sizeof key, "%016" PRIXPTR, reinterpret_cast<std::uintptr_t>(net));
    return key;
}

void HighlightSubNet(host::IPCB_Board* board, const TSwapSubNet* subNet) {
    for (host::IPCB_Primitive* prim : subNet->Prims) board->HighlightList_Add(prim);
}

void InPcbModification(const std::function<void()>& change) {
    host::IPCB_ServerInterface* server = PCBServer();
    if (!server) throw host::HostError(host::E_UNEXPECTED, "The PCB server is not available");
    server->PreProcess();
    try {
        change();
    } catch (...) {
        try {
            server->PostProcess();
        } catch (...) {
            // The change's own failure is the one worth reporting.
        }
        throw;
    }
    server->PostProcess();
}

TSwapOptimizer_InteractivePins::TSwapOptimizer_InteractivePins(TSwapDataSet* owner)
    : TSwapOptimizer_Abstract(owner) {}

bool TSwapOptimizer_InteractivePins::Execute() {
    TSwapDataSet& data = Data();
    HighlightSwappable();
    TSwapSubNet* a = nullptr;
    while (data.PickSubNet("Choose Sub-Net to move", a)) {
        if (!a || !a->Pin || !a->Pin->PinGroup) {
            // Without a pin swap group there are no candidates to offer and no pin to name.
            ShowError("This sub-net has no swappable pin", "Error");
            continue;
        }
        TSwapGroup* group = a->Pin->PinGroup;
        CollectCandidateNets(group);
        HighlightCandidates(group, a);
        TSwapSubNet* picked = nullptr;
        if (data.PickSubNet("Choose Target Net for Sub-Net " + a->Pin->PinName(), picked) &&
            picked) {
            if (TSwapSubNet* b = ResolveTarget(picked, group)) SwapPins(a, b);
        }
        HighlightSwappable();
    }
    return true;
}

TSwapSubNet* TSwapOptimizer_InteractivePins::ResolveTarget(TSwapSubNet* picked,
                                                           const TSwapGroup* group) const {
    host::IPCB_Net* net = picked->PrimNet();
    if (picked->Pin && picked->Pin->PinGroup == group) return picked;
    if (net) {
        // Copper outside the group stands for its net: the group's own sub-net on that net
        // is the one exchanged.
        TSwapSubNet* onNet = FindGroupSubNetOnNet(net, group);
        if (!onNet) ShowError("There is no valid swappable sub-net for this net", "Error");
        return onNet;
    }
    ShowError("Invalid Net for this sub-net", "Error");
    return nullptr;
}

void TSwapOptimizer_InteractivePins::HighlightSwappable() {
    host::IPCB_Board* board = Board();
    WithHighlightFrame(board, [&] {
        for (TSwapSubNet* subNet : Data().SwapSubNets)
            if (subNet->Pin && subNet->Pin->PinGroup) HighlightSubNet(board, subNet);
    });
}

void TSwapOptimizer_InteractivePins::CollectCandidateNets(const TSwapGroup* group) {
    CandidateNets.Clear();
    for (TSwapSubNet* subNet : group->SubNets) {
        host::IPCB_Net* net = subNet->PrimNet();
        std::string key = CandidateNetKey(net);
        if (!CandidateNets.Contains(key)) CandidateNets.Add(key, net);
    }
}

bool TSwapOptimizer_InteractivePins::IsCandidateNet(const host::IPCB_Net* net) const {
    return CandidateNets.Contains(CandidateNetKey(net));
}

// The candidates were collected from the group beforehand (CollectCandidateNets).
void TSwapOptimizer_InteractivePins::HighlightCandidates(const TSwapGroup* /*group*/,
                                                         const TSwapSubNet* chosen) {
    host::IPCB_Board* board = Board();
    host::IPCB_Net* chosenNet = chosen->PrimNet();
    WithHighlightFrame(board, [&] {
        for (TSwapSubNet* subNet : Data().SubNets) {
            if (subNet == chosen) continue;
            host::IPCB_Net* net = subNet->PrimNet();
            if (!IsCandidateNet(net)) continue;
            // The chosen pin's own net is no place to move it to.
            if (chosenNet && net == chosenNet) continue;
            HighlightSubNet(board, subNet);
        }
    });
}

TSwapSubNet* TSwapOptimizer_InteractivePins::FindGroupSubNetOnNet(const host::IPCB_Net* net,
                                                                  const TSwapGroup* group) const {
    for (TSwapSubNet* subNet : Data().SwapSubNets)
        if (subNet->PrimNet() == net && subNet->Pin && subNet->Pin->PinGroup == group)
            return subNet;
    return nullptr;
}

void TSwapOptimizer_InteractivePins::SwapPins(TSwapSubNet* a, TSwapSubNet* b) {
    TSwapDataSet& data = Data();
    host::IPCB_Net* na = nullptr;
    host::IPCB_Net* nb = nullptr;
    InPcbModification([&] {
        na = a->PrimNet();
        nb = b->PrimNet();
        // Both picks on one sub-net: moving its copper out and back in twice would only
        // churn the board, so the board is left as it is.
        if (a == b) return;
        data.RemovePrimsFromNet(a, na);
        data.RemovePrimsFromNet(b, nb);
        data.AddPrimsToNet(a, nb);
        data.AddPrimsToNet(b, na);
        if (na) na->Refresh();
        if (nb) nb->Refresh();
    });
    const std::string text = "Interactive Pin-Swap:" + a->Pin->PinName() + "(" +
                             NetDisplayName(na) + ")" + " With " + b->Pin->PinName() + "(" +
                             NetDisplayName(nb) + ")";
    data.Log(text);
    AddInformationMessage(text, data.FileName, PinSwapSource);
}

}  // namespace tessaro
