// The lines of the swappable sub-nets, kept in flat arrays while a scan session is open, and
// the scan that tests one line against all of them.
#include "model/CostScan.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <unordered_map>

#include "model/Geometry.h"

namespace tessaro {
namespace {

constexpr double Infinity = std::numeric_limits<double>::infinity();

// Within this extent every product and difference of the crossing test is an exact integer
// in double precision, so the test gives the same answer whichever line comes first and
// however the arithmetic is grouped. Beyond it the scan keeps the fixed order of Crosses.
constexpr std::int64_t ExactExtent = std::int64_t{1} << 26;

constexpr std::size_t Lanes = 4;

// One line as the scan sees it. A line that cannot cross anything (a missing end, or no
// length) gets an empty box, which meets nothing.
struct LineValues {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // near end (BestHotSpot), far end
    double l1 = 0, l2 = 0;                  // layers
    double minX = Infinity, maxX = -Infinity, minY = Infinity, maxY = -Infinity;
    bool single = false;  // both ends on one layer that is not the multi-layer
    bool usable = false;
};

LineValues ValuesOf(const TSwapSubNet* s) {
    LineValues v;
    const THotSpot* a = s->BestHotSpot;
    const THotSpot* b = cost_detail::LineEnd(s);
    if (!a || !b || SamePosition(a, b)) return v;
    v.x1 = a->X;
    v.y1 = a->Y;
    v.x2 = b->X;
    v.y2 = b->Y;
    v.l1 = a->Layer;
    v.l2 = b->Layer;
    v.minX = std::min(v.x1, v.x2);
    v.maxX = std::max(v.x1, v.x2);
    v.minY = std::min(v.y1, v.y2);
    v.maxY = std::max(v.y1, v.y2);
    v.single = a->Layer == b->Layer && a->Layer != host::eMultiLayer;
    v.usable = true;
    return v;
}

// The lines in structure-of-arrays form, padded to whole vectors with unusable entries.
struct Lines {
    std::vector<double> x1, y1, x2, y2, l1, l2, minX, maxX, minY, maxY;
    std::vector<std::int64_t> single;  // -1 or 0, a lane mask

    void Resize(std::size_t n) {
        const std::size_t padded = (n + Lanes - 1) / Lanes * Lanes;
        for (auto* a : {&x1, &y1, &x2, &y2, &l1, &l2}) a->assign(padded, 0.0);
        minX.assign(padded, Infinity);
        minY.assign(padded, Infinity);
        maxX.assign(padded, -Infinity);
        maxY.assign(padded, -Infinity);
        single.assign(padded, 0);
    }
    void Set(std::size_t i, const LineValues& v) {
        x1[i] = v.x1;
        y1[i] = v.y1;
        x2[i] = v.x2;
        y2[i] = v.y2;
        l1[i] = v.l1;
        l2[i] = v.l2;
        minX[i] = v.minX;
        maxX[i] = v.maxX;
        minY[i] = v.minY;
        maxY[i] = v.maxY;
        single[i] = v.single ? -1 : 0;
    }
};

// The one open session (everything runs on the user-interface thread).
struct Session {
    const TSwapDataSet* owner = nullptr;
    Lines lines;
    std::vector<std::uint32_t> hits;
    std::unordered_map<const TSwapSubNet*, std::size_t> position;
    // The extent of every point the session has held.
    double loX = Infinity, hiX = -Infinity, loY = Infinity, hiY = -Infinity;

    void Grow(const LineValues& v) {
        if (!v.usable) return;
        loX = std::min({loX, v.x1, v.x2});
        hiX = std::max({hiX, v.x1, v.x2});
        loY = std::min({loY, v.y1, v.y2});
        hiY = std::max({hiY, v.y1, v.y2});
    }
    bool Exact(const LineValues& a) const {
        const double lx = std::min({loX, a.x1, a.x2}), hx = std::max({hiX, a.x1, a.x2});
        const double ly = std::min({loY, a.y1, a.y2}), hy = std::max({hiY, a.y1, a.y2});
        return hx - lx < static_cast<double>(ExactExtent) &&
               hy - ly < static_cast<double>(ExactExtent);
    }
};
Session session;

}  // namespace

namespace cost_detail {

// The crossing test of line a against every line of the arrays, four at a time. Every
// condition of the test is evaluated and combined without branches; the arithmetic is that
// of SegmentsIntersect with a as the first segment, which within the exact extent gives the
// same answers as any order. Writes the indices of crossing lines to `out`, returns their
// number.
__attribute__((target_clones("avx2", "default"))) std::size_t CrossingKernel(
    const double* const* columns, const std::int64_t* single, std::size_t count,
    const double* a, bool aSingle, std::uint32_t* out) {
    typedef double V __attribute__((vector_size(32)));
    typedef std::int64_t M __attribute__((vector_size(32)));
    auto load = [](const double* p) {
        V v;
        std::memcpy(&v, p, sizeof v);
        return v;
    };
    auto splat = [](double x) { return V{x, x, x, x}; };
    const double *x1 = columns[0], *y1 = columns[1], *x2 = columns[2], *y2 = columns[3];
    const double *l1 = columns[4], *l2 = columns[5];
    const double *minX = columns[6], *maxX = columns[7], *minY = columns[8], *maxY = columns[9];

    const V ax1 = splat(a[0]), ay1 = splat(a[1]), ax2 = splat(a[2]), ay2 = splat(a[3]);
    const V al1 = splat(a[4]), al2 = splat(a[5]);
    const V aMinX = splat(a[6]), aMaxX = splat(a[7]), aMinY = splat(a[8]), aMaxY = splat(a[9]);
    const V Ax = splat(a[2] - a[0]), Ay = splat(a[3] - a[1]);
    const V zero = splat(0.0);
    const M aSingleMask = aSingle ? M{-1, -1, -1, -1} : M{0, 0, 0, 0};

    std::size_t found = 0;
    for (std::size_t i = 0; i < count; i += Lanes) {
        const V x3 = load(x1 + i), y3 = load(y1 + i), x4 = load(x2 + i), y4 = load(y2 + i);
        const M box = (load(minX + i) <= aMaxX) & (aMinX <= load(maxX + i)) &
                      (load(minY + i) <= aMaxY) & (aMinY <= load(maxY + i));
        const V bl1 = load(l1 + i), bl2 = load(l2 + i);
        const M anyShared = (al1 == bl1) | (al1 == bl2) | (al2 == bl1) | (al2 == bl2);
        M bSingle;
        std::memcpy(&bSingle, single + i, sizeof bSingle);
        const M bothSingle = aSingleMask & bSingle;
        const M layers = (bothSingle & (al1 == bl1)) | (~bothSingle & anyShared);
        const M sameEnds = ((ax1 == x3) & (ay1 == y3) & (ax2 == x4) & (ay2 == y4)) |
                           ((ax1 == x4) & (ay1 == y4) & (ax2 == x3) & (ay2 == y3));
        const V Bx = x3 - x4, By = y3 - y4, Cx = ax1 - x3, Cy = ay1 - y3;
        const V d = By * Cx - Bx * Cy;
        const V f = Ay * Bx - Ax * By;
        const V e = Ax * Cy - Ay * Cx;
        const M positive = f > zero;
        const M dInside =
            (positive & (d >= zero) & (d <= f)) | (~positive & (d <= zero) & (d >= f));
        const M eInside =
            (positive & (e >= zero) & (e <= f)) | (~positive & (e <= zero) & (e >= f));
        const M hit = box & layers & ~sameEnds & dInside & eInside;
        for (std::size_t lane = 0; lane < Lanes; ++lane) {
            out[found] = static_cast<std::uint32_t>(i + lane);
            found += hit[lane] != 0;
        }
    }
    return found;
}

}  // namespace cost_detail

TCrossingScan::TCrossingScan(TSwapDataSet& dataSet) {
    if (session.owner) return;  // borrowed (or another data set's session: plain scans)
    session.owner = &dataSet;
    owner_ = true;
    cost_detail::RefreshAllLines(dataSet);
}

TCrossingScan::~TCrossingScan() {
    if (!owner_) return;
    session = Session{};
}

bool TCrossingScan::IsOpenFor(const TSwapDataSet& dataSet) { return session.owner == &dataSet; }

namespace cost_detail {

void RefreshAllLines(const TSwapDataSet& dataSet) {
    if (session.owner != &dataSet) return;
    const auto& subNets = dataSet.SwapSubNets;
    session.lines.Resize(subNets.size());
    session.hits.assign(session.lines.x1.size(), 0);
    session.position.clear();
    session.position.reserve(subNets.size());
    for (std::size_t i = 0; i < subNets.size(); ++i) {
        const LineValues v = ValuesOf(subNets[i]);
        session.lines.Set(i, v);
        session.Grow(v);
        session.position.emplace(subNets[i], i);
    }
}

void RefreshLine(const TSwapDataSet& dataSet, const TSwapSubNet* subNet) {
    if (session.owner != &dataSet) return;
    auto it = session.position.find(subNet);
    if (it == session.position.end()) return;
    const LineValues v = ValuesOf(subNet);
    session.lines.Set(it->second, v);
    session.Grow(v);
}

bool ScanCrossings(const TSwapDataSet& dataSet, const TSwapSubNet* subNet,
                   std::vector<TSwapSubNet*>& out) {
    if (session.owner != &dataSet) return false;
    if (session.position.size() != dataSet.SwapSubNets.size()) RefreshAllLines(dataSet);
    out.clear();
    const LineValues a = ValuesOf(subNet);
    if (!a.usable) return true;  // a line of no length, or with a missing end, crosses nothing
    const Lines& lines = session.lines;
    const std::size_t count = lines.x1.size();

    if (!session.Exact(a)) {
        // Coordinates too far apart for exact products: the full test in its fixed order.
        for (std::size_t i = 0; i < dataSet.SwapSubNets.size(); ++i) {
            if (lines.minX[i] > a.maxX || a.minX > lines.maxX[i] || lines.minY[i] > a.maxY ||
                a.minY > lines.maxY[i])
                continue;
            TSwapSubNet* other = dataSet.SwapSubNets[i];
            if (other != subNet && dataSet.Crosses(subNet, other)) out.push_back(other);
        }
        return true;
    }

    const double* columns[] = {lines.x1.data(),   lines.y1.data(),   lines.x2.data(),
                               lines.y2.data(),   lines.l1.data(),   lines.l2.data(),
                               lines.minX.data(), lines.maxX.data(), lines.minY.data(),
                               lines.maxY.data()};
    const double values[] = {a.x1, a.y1, a.x2, a.y2, a.l1, a.l2, a.minX, a.maxX, a.minY, a.maxY};
    const std::size_t found = CrossingKernel(columns, lines.single.data(), count, values,
                                             a.single, session.hits.data());
    for (std::size_t k = 0; k < found; ++k) {
        TSwapSubNet* other = dataSet.SwapSubNets[session.hits[k]];
        if (other != subNet) out.push_back(other);
    }
    return true;
}

}  // namespace cost_detail
}  // namespace tessaro
