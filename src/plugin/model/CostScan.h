// A quick way through the crossing scans of the exchange operations. Every tried exchange
// scans all swappable sub-nets for lines that cross the two changed ones; most lines lie far
// apart. While a scan session is open, the bounding box of every swappable sub-net's line
// is kept in one compact array, so the scan reads that array and runs the full crossing test
// only where two boxes meet. The boxes only filter: the result is exactly that of testing
// every pair.
//
// A session belongs to one data set. While it is open, a sub-net's line may change only
// through the operations of Cost.cpp (the exchanges, UpdateNetHotSpots, PrepareGroup), which
// keep the boxes current; code that sets NetIndex itself must call PrepareGroup (or close the
// session) before the next exchange.
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

// Bring the kept box of one sub-net (or of all) up to date; nothing without an open session.
void RefreshLine(const TSwapDataSet& dataSet, const TSwapSubNet* subNet);
void RefreshAllLines(const TSwapDataSet& dataSet);
// Fills `out` with the swappable sub-nets whose lines cross the sub-net's, in SwapSubNets
// order; false (and `out` untouched) without an open session.
bool ScanCrossings(const TSwapDataSet& dataSet, const TSwapSubNet* subNet,
                   std::vector<TSwapSubNet*>& out);

}  // namespace cost_detail

}  // namespace tessaro
