// A quick way through the crossing scans of the exchange operations. Every tried exchange
// scans all swappable sub-nets for lines that cross the two changed ones. While a scan
// session is open, the ends, layers and boxes of every swappable sub-net's line are kept in
// flat arrays, and the scan runs the crossing test on four lines at a time from them instead
// of reaching each line through its sub-net. Once PrepareGroup names the group being
// optimised, the crossings of its sub-nets with all other lines (which do not move while the
// group is searched) are kept per sub-net and net slot, so a tried exchange tests its two
// lines against the group's own lines only. The answers are exactly those of Crosses.
//
// A session belongs to one data set. While it is open, a sub-net's line may change only
// through the operations of Cost.cpp (the exchanges, UpdateNetHotSpots, PrepareGroup), which
// keep the arrays current; code that sets NetIndex itself must call PrepareGroup (or close
// the session) before the next exchange.
#pragma once

#include <vector>

#include "model/Optimizer_Data.h"

namespace tessaro {

class TCrossingScan {
  public:
    // Opens a session for the data set unless one is already open for it (then this one
    // only borrows it).
    explicit TCrossingScan(TSwapDataSet& dataSet);
    ~TCrossingScan();
    TCrossingScan(const TCrossingScan&) = delete;
    TCrossingScan& operator=(const TCrossingScan&) = delete;

    // Whether a session is open for the data set.
    static bool IsOpenFor(const TSwapDataSet& dataSet);

  private:
    bool owner_ = false;
};

namespace cost_detail {

// The far end of a sub-net's connection line: its current net's nearest hot spot.
inline THotSpot* LineEnd(const TSwapSubNet* s) {
    const std::int32_t i = s->NetIndex;
    if (i < 0 || static_cast<std::size_t>(i) >= s->NetHotSpots.size()) return nullptr;
    return s->NetHotSpots[static_cast<std::size_t>(i)];
}

// Bring the kept line of one sub-net (or of all) up to date; nothing without an open session.
void RefreshLine(const TSwapDataSet& dataSet, const TSwapSubNet* subNet);
void RefreshAllLines(const TSwapDataSet& dataSet);
// As RefreshAllLines, and from now on the group's sub-nets are the ones expected to change:
// their crossings with the other lines are kept per net slot until another line changes.
void FocusOnGroup(const TSwapDataSet& dataSet, const TSwapGroup* group);
// Fills `out` with the swappable sub-nets whose lines cross the sub-net's, in SwapSubNets
// order; false (and `out` untouched) without an open session.
bool ScanCrossings(const TSwapDataSet& dataSet, const TSwapSubNet* subNet,
                   std::vector<TSwapSubNet*>& out);

// The position of the first `item` in `list`, or `count` when it is not there. Crossing lists
// run to hundreds of entries on tangled boards and a commit searches many of them.
std::size_t FindFirst(TSwapSubNet* const* list, std::size_t count, const TSwapSubNet* item);

}  // namespace cost_detail

}  // namespace tessaro
