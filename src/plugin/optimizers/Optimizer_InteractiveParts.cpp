// The sub-part and differential-pair swappers: two sub-parts of one group exchange the nets
// of their pins, the i-th sub-net of one (in sequence-id order) with the i-th of the other.
#include <string>

#include "frame/HostAccess.h"
#include "frame/Messages.h"
#include "links/Rt_ConnectedObjectFinder.h"
#include "optimizers/Optimizer_Interactive.h"

namespace tessaro {

namespace {

// Both swappers report under this source; only the pair command's closing summary uses its
// own name.
constexpr const char* PartSwapSource = "Part Swapper";

// The designator the board side of the group's component reports.
std::string GroupDesignator(const TSwapGroup* group) {
    const TSwapComponent* component = group->Component;
    if (!component) return std::string();
    if (component->PcbComponent) return N(component->PcbComponent->DM_PhysicalDesignator());
    return component->Describe();
}

}  // namespace

TSwapOptimizer_InteractiveParts::TSwapOptimizer_InteractiveParts(TSwapDataSet* owner)
    : TSwapOptimizer_Abstract(owner) {}

bool TSwapOptimizer_InteractiveParts::Execute() {
    return RunLoop({"Choose First Sub-Part to Swap", "This sub-net is part of an Invalid Sub-Part",
                    "Choose a different Sub-Part of the same group",
                    "The two Sub-Parts do not have matching pins"});
}

std::string TSwapOptimizer_InteractiveParts::SecondPrompt(const TSwapGroup* group,
                                                          const TSwapSubPart*) const {
    return "Choose a different Sub-Part from " + GroupDesignator(group);
}

bool TSwapOptimizer_InteractiveParts::RunLoop(const Texts& texts) {
    TSwapDataSet& data = Data();
    HighlightPartGroups();
    TSwapSubNet* first = nullptr;
    while (data.PickSubNet(texts.firstPrompt, first)) {
        TSwapSubPart* a = first && first->Pin ? first->Pin->SubPart : nullptr;
        if (!a) {
            ShowError(texts.invalidFirstPick, "Error");
        } else {
            TSwapGroup* group = first->Pin->PartGroup ? first->Pin->PartGroup : a->Group;
            HighlightOtherSubParts(group, a);
            TSwapSubNet* second = nullptr;
            if (data.PickSubNet(SecondPrompt(group, a), second)) {
                TSwapSubPart* b = second && second->Pin ? second->Pin->SubPart : nullptr;
                // Only another sub-part of the same group is interchangeable with the first;
                // anything else would move nets between unrelated gates or components.
                if (!b || b == a || b->Group != a->Group)
                    ShowError(texts.wrongSecondPick, "Error");
                else if (SameShape(a, b))
                    SwapSubParts(a, b);
                else
                    ShowError(texts.shapeMismatch, "Error");
            }
        }
        HighlightPartGroups();
    }
    return true;
}

void TSwapOptimizer_InteractiveParts::HighlightPartGroups() {
    host::IPCB_Board* board = Board();
    WithHighlightFrame(board, [&] {
        for (const TSwapGroup* group : Data().PartSwapGroups)
            for (const auto& [id, subPart] : group->SubParts)
                for (const auto& [sequence, subNet] : subPart->SubNets)
                    HighlightSubNet(board, subNet);
    });
}

void TSwapOptimizer_InteractiveParts::HighlightOtherSubParts(const TSwapGroup* group,
                                                             const TSwapSubPart* chosen) {
    host::IPCB_Board* board = Board();
    board->ClearHighlightMask(1);
    WithHighlightFrame(board, [&] {
        for (const auto& [id, subPart] : group->SubParts) {
            if (subPart == chosen) continue;
            for (const auto& [sequence, subNet] : subPart->SubNets) HighlightSubNet(board, subNet);
        }
    });
}

bool TSwapOptimizer_InteractiveParts::SameShape(const TSwapSubPart* a, const TSwapSubPart* b) {
    return a->SubNets.Count() == b->SubNets.Count();
}

void TSwapOptimizer_InteractiveParts::SwapSubParts(TSwapSubPart* a, TSwapSubPart* b) {
    TSwapDataSet& data = Data();
    InPcbModification([&] {
        data.Log("Interactive Sub-Part Swap: Component=" + a->Group->Component->Describe() +
                 " GroupID=" + a->Group->ID);
        data.Log("  PartA:" + a->Describe());
        data.Log("  PartB:" + b->Describe());
        for (int i = 0; i < a->SubNets.Count(); ++i) {
            TSwapSubNet* x = a->SubNets.Object(i);
            TSwapSubNet* y = b->SubNets.Object(i);
            data.Log("  Swap Pins(" + std::to_string(i) + "):");
            data.Log("    PinA:" + x->Describe());
            data.Log("    PinB:" + y->Describe());
            host::IPCB_Net* nx = x->PrimNet();
            host::IPCB_Net* ny = y->PrimNet();
            data.RemovePrimsFromNet(x, nx);
            data.RemovePrimsFromNet(y, ny);
            data.AddPrimsToNet(x, ny);
            data.AddPrimsToNet(y, nx);
            if (nx) nx->Refresh();
            if (ny) ny->Refresh();
        }
    });
    std::string text;
    if (data.SwapMode == smPairSwap) {
        text = "Differential-Pair Swap: " + a->SubPartId + " With " + b->SubPartId;
    } else {
        text = "Interactive Sub-Part Swap: " + a->Component()->Describe() + "(" +
               a->SubPartNumber() + ")" + " With " + b->Component()->Describe() + "(" +
               b->SubPartNumber() + ")";
    }
    data.Log(text);
    data.Log("");
    AddInformationMessage(text, data.FileName, PartSwapSource);
}

TSwapOptimizer_InteractivePairs::TSwapOptimizer_InteractivePairs(TSwapDataSet* owner)
    : TSwapOptimizer_InteractiveParts(owner) {}

bool TSwapOptimizer_InteractivePairs::Execute() {
    return RunLoop({"Choose First Differential Pair to Swap",
                    "This sub-net is part of an Invalid Differential Pair",
                    "Choose a different Differential Pair of the same group",
                    "The Differential Pairs do not have matching pins"});
}

std::string TSwapOptimizer_InteractivePairs::SecondPrompt(const TSwapGroup* group,
                                                          const TSwapSubPart* first) const {
    return "Choose a different Differential Pair from " + first->SubPartId + "[" +
           GroupDesignator(group) + "]";
}

}  // namespace tessaro
