// Writing the model's assignment to the board: every swappable sub-net whose net changed
// moves its copper to its new net. Also the nets' connection display around a run and the
// board redraw.
#include <exception>

#include "frame/HostAccess.h"
#include "frame/Messages.h"
#include "model/Optimizer_Data.h"
#include "platform/Person.h"

namespace tessaro {

namespace {

// The stand-in's ways of ending a command or the process are not failures of a move: they
// must pass on untouched.
bool EndsTheCommand(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const platform::ProcessExit&) {
        return true;
    } catch (const platform::NoAnswer&) {
        return true;
    } catch (const platform::ScriptedPerson::UnexpectedInteraction&) {
        return true;
    } catch (...) {
        return false;
    }
}

// One primitive's change of net inside its modification bracket; the bracket is closed also
// when the change fails.
template <class Change>
void ModifyPrim(host::IPCB_Primitive* prim, Change change) {
    prim->BeginModify();
    try {
        change();
    } catch (...) {
        try {
            prim->EndModify();
        } catch (...) {
        }
        throw;
    }
    prim->EndModify();
}

std::string NameOrNull(const TSwapNet* net) {
    return net ? net->Name() : "NULL";
}

// Puts every primitive of the sub-net back on `net` (nullptr: no net) after a failed move,
// as far as the board lets it.
void RestorePrims(TSwapSubNet* subNet, host::IPCB_Net* net) {
    for (host::IPCB_Primitive* prim : subNet->Prims) {
        try {
            host::IPCB_Net* now = prim->Net();
            if (now == net) continue;
            ModifyPrim(prim, [&] {
                if (now) now->RemovePCBObject(prim);
                if (net) net->AddPCBObject(prim);
                prim->SetNet(net);
            });
        } catch (...) {
            if (EndsTheCommand(std::current_exception())) throw;
        }
    }
}

}  // namespace

void TSwapDataSet::AddPrimsToNet(TSwapSubNet* subNet, host::IPCB_Net* net) {
    if (!net) return;
    for (host::IPCB_Primitive* prim : subNet->Prims)
        ModifyPrim(prim, [&] {
            net->AddPCBObject(prim);
            prim->SetNet(net);
        });
}

void TSwapDataSet::RemovePrimsFromNet(TSwapSubNet* subNet, host::IPCB_Net* net) {
    if (!net) return;
    for (host::IPCB_Primitive* prim : subNet->Prims)
        ModifyPrim(prim, [&] {
            net->RemovePCBObject(prim);
            prim->SetNet(nullptr);
        });
}

void TSwapDataSet::ApplySubNet(TSwapSubNet* subNet) {
    TSwapNet* target = subNet->CurrentNet();
    if (target == subNet->BoardNet) return;
    host::IPCB_Net* oldNet = subNet->BoardNet ? subNet->BoardNet->IPCBNet : nullptr;
    try {
        if (subNet->BoardNet) RemovePrimsFromNet(subNet, oldNet);
        if (target) AddPrimsToNet(subNet, target->IPCBNet);
        subNet->BoardNet = target;
    } catch (...) {
        if (EndsTheCommand(std::current_exception())) throw;
        // A half-done move would leave the copper on no net (or split between two): it goes
        // back where the board had it, and BoardNet stays true to the board.
        RestorePrims(subNet, oldNet);
        ShowError("Failed to update PCB Document", "Error");
    }
}

void TSwapDataSet::ApplyChanges() {
    Log("Export Changes To PCB");
    for (const TSwapSubNet* s : SwapSubNets) {
        if (s->NetIndex == s->OriginalNetIndex || !s->Pin) continue;
        const TSwapNet* oldNet = s->OriginalNet;
        const TSwapNet* newNet = s->CurrentNet();
        if (oldNet == newNet) continue;
        std::string line = "Sub-Net with Pin:" + s->Pin->PinName() + " ";
        if (!oldNet)
            line += "Added to Net:" + NameOrNull(newNet);
        else if (newNet)
            line += "Moved From Net:" + NameOrNull(oldNet) + " To Net:" + NameOrNull(newNet);
        else
            line += "Removed From Net:" + NameOrNull(oldNet);
        Log(line);
    }

    host::IPCB_ServerInterface* server = PCBServer();
    bool bracketOpen = false;
    auto close = [&] {
        if (bracketOpen) {
            bracketOpen = false;
            server->PostProcess();
        }
        EndProgress();
        RedrawBoard();
    };
    try {
        RedrawBoard();
        BeginProgress("Updating PCB with Pin/Net Changes...", static_cast<int>(SwapSubNets.size()));
        if (server) {
            server->PreProcess();
            bracketOpen = true;
        }
        for (TSwapSubNet* s : SwapSubNets) {
            ApplySubNet(s);
            StepProgress();
        }
    } catch (...) {
        try {
            close();
        } catch (...) {
        }
        throw;
    }
    close();
}

void TSwapDataSet::HideNetConnections() {
    for (const auto& entry : Nets)
        if (host::IPCB_Net* net = entry.second->IPCBNet) net->HideNetConnects();
}

void TSwapDataSet::RestoreNetConnections() {
    for (const auto& entry : Nets)
        if (host::IPCB_Net* net = entry.second->IPCBNet; net && entry.second->ConnectionsShown)
            net->ShowNetConnects();
    for (const auto& entry : Nets)
        if (host::IPCB_Net* net = entry.second->IPCBNet) net->RebuildNetConnects();
}

void TSwapDataSet::RedrawBoard() {
    if (host::IPCB_Board* board = Board()) board->ViewRedraw();
}

}  // namespace tessaro
