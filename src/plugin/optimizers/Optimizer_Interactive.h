// The interactive swappers: the person picks copper on the board and the swapper exchanges
// nets on the board at once. Unlike the automatic optimisers they leave the model's net
// assignment alone and work on the nets the sub-nets' primitives carry on the board.
//
//   Optimizer_Interactive.cpp        the pin swapper and the highlighting both kinds share
//   Optimizer_InteractiveParts.cpp   the sub-part and differential-pair swappers
#pragma once

#include <functional>
#include <string>

#include "model/Optimizer_Data.h"
#include "model/SortedStringList.h"
#include "optimizers/Optimizer_Abstract.h"

namespace tessaro {

// The key of a host net in the candidate list: its identity as sixteen upper-case
// hexadecimal digits, "0000000000000000" for no net.
std::string CandidateNetKey(const host::IPCB_Net* net);

// Adds every primitive of the sub-net to the board's highlight list.
void HighlightSubNet(host::IPCB_Board* board, const TSwapSubNet* subNet);

// The highlight frame: clears the board's highlight list, lets `add` fill it, shows it and
// redraws the view.
template <class AddFn>
void WithHighlightFrame(host::IPCB_Board* board, AddFn&& add) {
    board->HighlightList_Clear();
    board->HighlightList_ClearShown();
    add();
    board->HighlightList_Show(1, 1);
    board->ViewRedraw();
}

// Runs `change` inside the PCB server's modification bracket; the bracket is closed also
// when the change raises, so the server is never left inside a modification.
void InPcbModification(const std::function<void()>& change);

// Exchanges the nets of two pins of one pin swap group, picked on the board.
class TSwapOptimizer_InteractivePins : public TSwapOptimizer_Abstract {
  public:
    explicit TSwapOptimizer_InteractivePins(TSwapDataSet* owner);
    const char* ClassName() const override { return "TSwapOptimizer_InteractivePins"; }

    bool Execute() override;

    void HighlightSwappable();
    void CollectCandidateNets(const TSwapGroup* group);
    bool IsCandidateNet(const host::IPCB_Net* net) const;
    void HighlightCandidates(const TSwapGroup* group, const TSwapSubNet* chosen);
    TSwapSubNet* FindGroupSubNetOnNet(const host::IPCB_Net* net, const TSwapGroup* group) const;
    void SwapPins(TSwapSubNet* a, TSwapSubNet* b);

    // The distinct board nets of the current pin swap group (plain references).
    TSortedStringList<host::IPCB_Net*> CandidateNets;

  private:
    // Resolves the second pick against the first one's group; nullptr when refused.
    TSwapSubNet* ResolveTarget(TSwapSubNet* picked, const TSwapGroup* group) const;
};

// Exchanges two sub-parts (gates) of a part swap group, pin by pin.
class TSwapOptimizer_InteractiveParts : public TSwapOptimizer_Abstract {
  public:
    explicit TSwapOptimizer_InteractiveParts(TSwapDataSet* owner);
    const char* ClassName() const override { return "TSwapOptimizer_InteractiveParts"; }

    bool Execute() override;

    void HighlightPartGroups();
    void HighlightOtherSubParts(const TSwapGroup* group, const TSwapSubPart* chosen);
    static bool SameShape(const TSwapSubPart* a, const TSwapSubPart* b);
    void SwapSubParts(TSwapSubPart* a, TSwapSubPart* b);

  protected:
    // The texts that tell the two swappers apart.
    struct Texts {
        const char* firstPrompt;
        const char* invalidFirstPick;
        const char* wrongSecondPick;
        const char* shapeMismatch;
    };
    bool RunLoop(const Texts& texts);
    virtual std::string SecondPrompt(const TSwapGroup* group, const TSwapSubPart* first) const;
};

// Exchanges two differential pairs of a differential-pair swap group: P meets P, N meets N.
class TSwapOptimizer_InteractivePairs : public TSwapOptimizer_InteractiveParts {
  public:
    explicit TSwapOptimizer_InteractivePairs(TSwapDataSet* owner);
    const char* ClassName() const override { return "TSwapOptimizer_InteractivePairs"; }

    bool Execute() override;

  protected:
    std::string SecondPrompt(const TSwapGroup* group, const TSwapSubPart* first) const override;
};

}  // namespace tessaro
