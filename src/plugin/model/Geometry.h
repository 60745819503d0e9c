// Distances between hot spots and the crossing test of two connection lines. Shared by the
// cost bookkeeping (Cost.cpp), MeasureBoard and the optimisers' own distance measures.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "model/Optimizer_Data.h"

namespace tessaro {

// Straight distance; 0 when either end is missing.
inline double Euclid(const THotSpot* a, const THotSpot* b) {
    if (!a || !b) return 0;
    const double dx = static_cast<double>(a->X) - static_cast<double>(b->X);
    const double dy = static_cast<double>(a->Y) - static_cast<double>(b->Y);
    return std::sqrt(dx * dx + dy * dy);
}

// |dx| + |dy| in 64-bit integers: two points at opposite corners of a large board are more
// than 2^31 units apart in Manhattan terms, which 32-bit arithmetic would wrap.
inline std::int64_t ManhattanUnits(const THotSpot* a, const THotSpot* b) {
    const std::int64_t dx = static_cast<std::int64_t>(a->X) - b->X;
    const std::int64_t dy = static_cast<std::int64_t>(a->Y) - b->Y;
    return (dx < 0 ? -dx : dx) + (dy < 0 ? -dy : dy);
}

inline double Manhattan(const THotSpot* a, const THotSpot* b) {
    if (!a || !b) return 0;
    return static_cast<double>(ManhattanUnits(a, b));
}

// Same x and y; layer and sub-net do not matter.
inline bool SamePosition(const THotSpot* a, const THotSpot* b) {
    return a->X == b->X && a->Y == b->Y;
}

// Whether two lines can meet at all given the layers of their ends. Two lines that each stay
// on one signal layer meet only on that layer; otherwise some end of one must share its
// layer with some end of the other (the multi-layer matches only itself).
inline bool LayersAllowCrossing(const THotSpot* a1, const THotSpot* a2, const THotSpot* b1,
                                const THotSpot* b2) {
    const bool aSingle = a1->Layer == a2->Layer && a1->Layer != host::eMultiLayer;
    const bool bSingle = b1->Layer == b2->Layer && b1->Layer != host::eMultiLayer;
    if (aSingle && bSingle) return a1->Layer == b1->Layer;
    return a1->Layer == b1->Layer || a1->Layer == b2->Layer || a2->Layer == b1->Layer ||
           a2->Layer == b2->Layer;
}

// The crossing test must give the same answer wherever it is evaluated (here, and four lines
// at a time in CostScan.cpp): no multiply-add may be fused, whatever the target offers.
#if defined(__clang__)
#define TESSARO_UNFUSED_BEGIN _Pragma("clang fp contract(off)")
#define TESSARO_UNFUSED_END
#elif defined(__GNUC__)
#define TESSARO_UNFUSED_BEGIN \
    _Pragma("GCC push_options") _Pragma("GCC optimize(\"fp-contract=off\")")
#define TESSARO_UNFUSED_END _Pragma("GCC pop_options")
#else
#define TESSARO_UNFUSED_BEGIN
#define TESSARO_UNFUSED_END
#endif

TESSARO_UNFUSED_BEGIN
// Franklin Antonio's segment intersection test ("Faster Line Segment Intersection"): bounding
// boxes first, then the parametric test. Every bound is inclusive, so segments that touch at
// an end or overlap collinearly intersect.
inline bool SegmentsIntersect(double x1, double y1, double x2, double y2, double x3, double y3,
                              double x4, double y4) {
    const double ax = x2 - x1;
    const double bx = x3 - x4;
    double lo, hi;
    if (ax < 0) {
        lo = x2;
        hi = x1;
    } else {
        hi = x2;
        lo = x1;
    }
    if (bx > 0) {
        if (hi < x4 || x3 < lo) return false;
    } else {
        if (hi < x3 || x4 < lo) return false;
    }

    const double ay = y2 - y1;
    const double by = y3 - y4;
    if (ay < 0) {
        lo = y2;
        hi = y1;
    } else {
        hi = y2;
        lo = y1;
    }
    if (by > 0) {
        if (hi < y4 || y3 < lo) return false;
    } else {
        if (hi < y3 || y4 < lo) return false;
    }

    const double cx = x1 - x3;
    const double cy = y1 - y3;
    const double d = by * cx - bx * cy;
    const double f = ay * bx - ax * by;
    if (f > 0) {
        if (d < 0 || d > f) return false;
    } else {
        if (d > 0 || d < f) return false;
    }
    const double e = ax * cy - ay * cx;
    if (f > 0) {
        if (e < 0 || e > f) return false;
    } else {
        if (e > 0 || e < f) return false;
    }
    return true;
}
TESSARO_UNFUSED_END

// The crossing test of two connection lines A = (a1, a2) and B = (b1, b2).
inline bool LinesCross(const THotSpot* a1, const THotSpot* a2, const THotSpot* b1,
                       const THotSpot* b2) {
    if (!a1 || !a2 || !b1 || !b2) return false;
    // A line of no length connects nothing, and two lines between the same points are the
    // same connection drawn twice: neither counts as a crossing.
    if (SamePosition(a1, a2) || SamePosition(b1, b2)) return false;
    if ((SamePosition(a1, b1) && SamePosition(a2, b2)) ||
        (SamePosition(a1, b2) && SamePosition(a2, b1)))
        return false;
    if (!LayersAllowCrossing(a1, a2, b1, b2)) return false;
    return SegmentsIntersect(a1->X, a1->Y, a2->X, a2->Y, b1->X, b1->Y, b2->X, b2->Y);
}

}  // namespace tessaro
