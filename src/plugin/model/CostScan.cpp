// The lines of the swappable sub-nets, kept in flat arrays while a scan session is open, and
// the scan that tests one line against all of them.
//
// The arrays are sorted by sub-net address. Crosses puts the line of the lower address first,
// so for the scanned line every line before it in the arrays comes first and every line after
// it second: two plain loops, each with one fixed order, do the same arithmetic as Crosses.
#include "model/CostScan.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>
#include <numeric>
#include <unordered_map>

#include "model/Geometry.h"

namespace tessaro {
namespace {

constexpr double Infinity = std::numeric_limits<double>::infinity();
constexpr std::size_t Lanes = 4;

// One line as the scan sees it. A line that cannot cross anything (a missing end, or no
// length) gets an empty box, which meets nothing.
struct LineValues {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // near end (BestHotSpot), far end
    host::Layer l1 = 0, l2 = 0;
    bool single = false;  // both ends on one layer that is not the multi-layer
    double minX = Infinity, maxX = -Infinity, minY = Infinity, maxY = -Infinity;
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
    v.single = v.l1 == v.l2 && v.l1 != host::eMultiLayer;
    v.minX = std::min(v.x1, v.x2);
    v.maxX = std::max(v.x1, v.x2);
    v.minY = std::min(v.y1, v.y2);
    v.maxY = std::max(v.y1, v.y2);
    v.usable = true;
    return v;
}

// The layer rule and the same-ends rule of the crossing test (LinesCross), on kept values.
inline bool MayCross(const LineValues& a, const LineValues& b) {
    const bool layers = a.single && b.single
                            ? a.l1 == b.l1
                            : a.l1 == b.l1 || a.l1 == b.l2 || a.l2 == b.l1 || a.l2 == b.l2;
    const bool sameEnds = (a.x1 == b.x1 && a.y1 == b.y1 && a.x2 == b.x2 && a.y2 == b.y2) ||
                          (a.x1 == b.x2 && a.y1 == b.y2 && a.x2 == b.x1 && a.y2 == b.y1);
    return layers && !sameEnds;
}

// Lines in structure-of-arrays form, in address order, padded to whole vectors with
// unusable entries.
struct Lines {
    std::vector<double> x1, y1, x2, y2, minX, maxX, minY, maxY;
    std::vector<LineValues> values;
    std::vector<const TSwapSubNet*> sorted;  // the sub-nets in address order
    std::vector<std::uint32_t> subNetIndex;  // position in SwapSubNets
    std::vector<std::uint8_t> inGroup;       // a sub-net of the group being optimised
    std::unordered_map<const TSwapSubNet*, std::size_t> position;  // in `sorted`

    // Keeps `subNets` (positions in SwapSubNets) in address order.
    void Fill(const std::vector<TSwapSubNet*>& swapSubNets, std::vector<std::uint32_t> indices) {
        std::sort(indices.begin(), indices.end(), [&swapSubNets](std::uint32_t x, std::uint32_t y) {
            return std::less<const TSwapSubNet*>()(swapSubNets[x], swapSubNets[y]);
        });
        const std::size_t n = indices.size();
        const std::size_t padded = (n + Lanes - 1) / Lanes * Lanes;
        for (auto* a : {&x1, &y1, &x2, &y2}) a->assign(padded, 0.0);
        minX.assign(padded, Infinity);
        minY.assign(padded, Infinity);
        maxX.assign(padded, -Infinity);
        maxY.assign(padded, -Infinity);
        values.assign(padded, LineValues{});
        sorted.assign(n, nullptr);
        inGroup.assign(n, 0);
        subNetIndex = indices;
        position.clear();
        position.reserve(n);
        for (std::size_t k = 0; k < n; ++k) {
            sorted[k] = swapSubNets[indices[k]];
            position.emplace(sorted[k], k);
            Set(k, ValuesOf(sorted[k]));
        }
    }
    void Set(std::size_t k, const LineValues& v) {
        x1[k] = v.x1;
        y1[k] = v.y1;
        x2[k] = v.x2;
        y2[k] = v.y2;
        minX[k] = v.minX;
        maxX[k] = v.maxX;
        minY[k] = v.minY;
        maxY[k] = v.maxY;
        values[k] = v;
    }
    bool Refresh(const TSwapSubNet* s) {
        auto it = position.find(s);
        if (it == position.end()) return false;
        Set(it->second, ValuesOf(s));
        return true;
    }
};

// What the lines outside the group being optimised contribute to one sub-net's crossings,
// for each of the group's nets it may carry. While a group is searched only its own
// sub-nets change, so these parts stay valid until a line outside the group changes; a tried
// exchange then tests its two lines against the group's own lines only.
struct GroupCache {
    const TSwapGroup* group = nullptr;
    std::size_t slots = 0;
    std::size_t words = 0;  // per crossing set: a bit per SwapSubNets position
    struct Entry {
        const THotSpot* from = nullptr;
        const THotSpot* to = nullptr;
        std::size_t offset = 0;
        std::uint64_t generation = 0;  // known when equal to the cache's generation
    };
    std::vector<Entry> entries;  // by (position in the group's SubNets, slot)
    std::unordered_map<const TSwapSubNet*, std::size_t> member;
    std::vector<std::uint64_t> pool;
    std::uint64_t generation = 1;

    void Forget() {
        ++generation;
        pool.clear();
    }
};

// Crossing sets are kept up to this many words (64 MB); further ones are computed each time.
constexpr std::size_t PoolLimit = std::size_t{1} << 23;

// The one open session (everything runs on the user-interface thread).
struct Session {
    const TSwapDataSet* owner = nullptr;
    Lines lines;       // every swappable sub-net
    Lines groupLines;  // the group being optimised, if any
    GroupCache cache;
    std::vector<std::uint32_t> candidates;
    std::vector<std::uint64_t> found;  // a bit per SwapSubNets position
};
Session session;

// The lanes set in each pattern of four answers, and how many there are.
constexpr std::uint8_t SetBits[16][4] = {{0, 0, 0, 0}, {0, 0, 0, 0}, {1, 0, 0, 0}, {0, 1, 0, 0},
                                         {2, 0, 0, 0}, {0, 2, 0, 0}, {1, 2, 0, 0}, {0, 1, 2, 0},
                                         {3, 0, 0, 0}, {0, 3, 0, 0}, {1, 3, 0, 0}, {0, 1, 3, 0},
                                         {2, 3, 0, 0}, {0, 2, 3, 0}, {1, 2, 3, 0}, {0, 1, 2, 3}};
constexpr std::uint8_t BitCount[16] = {0, 1, 1, 2, 1, 2, 2, 3, 1, 2, 2, 3, 2, 3, 3, 4};

}  // namespace

namespace cost_detail {

// The geometric part of the crossing test (the boxes, then SegmentsIntersect's parametric
// test) of line a against the kept lines at positions begin .. end-1, four at a time and
// without branches. With `keptFirst` the kept line is the first segment, else line a is;
// the arithmetic is SegmentsIntersect's, operation for operation. Writes the positions that
// pass to `out` (room for end - begin + 4 entries) and returns their number. The layer and
// same-ends rules are left to the caller.
TESSARO_UNFUSED_BEGIN
__attribute__((target_clones("avx2", "default"))) std::size_t CrossingKernel(
    const double* const* columns, std::size_t begin, std::size_t end, const double* a,
    bool keptFirst, std::uint32_t* out) {
    typedef double V __attribute__((vector_size(32)));
    typedef std::int64_t M __attribute__((vector_size(32)));
    const double *x1 = columns[0], *y1 = columns[1], *x2 = columns[2], *y2 = columns[3];
    const double *minX = columns[4], *maxX = columns[5], *minY = columns[6], *maxY = columns[7];
    const V ax1 = V{} + a[0], ay1 = V{} + a[1], ax2 = V{} + a[2], ay2 = V{} + a[3];
    const V aMinX = V{} + a[4], aMaxX = V{} + a[5], aMinY = V{} + a[6], aMaxY = V{} + a[7];
    const V zero = V{};
    const M lane = M{0, 1, 2, 3};
    const auto first = static_cast<std::int64_t>(begin), last = static_cast<std::int64_t>(end);

    // Loads by copying: the columns need no particular alignment. (Macros, not helper
    // functions: a vector passed by value outside the AVX clone changes the calling
    // convention.)
#define TESSARO_LOAD(name, column) \
    V name;                        \
    std::memcpy(&name, (column) + i, sizeof name)

    // The parametric test with segment (px1,py1)-(px2,py2) first and (px3,py3)-(px4,py4)
    // second. The accepted range of d and e, [0, f] for f > 0 and [f, 0] otherwise, is
    // [min(f, 0), max(f, 0)].
#define TESSARO_INTERSECT(px1, py1, px2, py2, px3, py3, px4, py4)                           \
    const V Ax = (px2) - (px1), Bx = (px3) - (px4), Ay = (py2) - (py1), By = (py3) - (py4); \
    const V Cx = (px1) - (px3), Cy = (py1) - (py3);                                         \
    const V d = By * Cx - Bx * Cy;                                                          \
    const V f = Ay * Bx - Ax * By;                                                          \
    const V e = Ax * Cy - Ay * Cx;                                                          \
    const V low = f < zero ? f : zero;                                                      \
    const V high = f > zero ? f : zero;                                                     \
    const M inside = (d >= low) & (d <= high) & (e >= low) & (e <= high)

#define TESSARO_STEP(px1, py1, px2, py2, px3, py3, px4, py4)                                      \
    for (std::size_t i = begin / Lanes * Lanes; i < end; i += Lanes) {                            \
        TESSARO_LOAD(bx1, x1);                                                                    \
        TESSARO_LOAD(by1, y1);                                                                    \
        TESSARO_LOAD(bx2, x2);                                                                    \
        TESSARO_LOAD(by2, y2);                                                                    \
        TESSARO_LOAD(bMinX, minX);                                                                \
        TESSARO_LOAD(bMaxX, maxX);                                                                \
        TESSARO_LOAD(bMinY, minY);                                                                \
        TESSARO_LOAD(bMaxY, maxY);                                                                \
        const M index = lane + static_cast<std::int64_t>(i);                                      \
        const M box = (bMinX <= aMaxX) & (aMinX <= bMaxX) & (bMinY <= aMaxY) & (aMinY <= bMaxY) & \
                      (index >= first) & (index < last);                                          \
        TESSARO_INTERSECT(px1, py1, px2, py2, px3, py3, px4, py4);                                \
        const M bits = box & inside & M{1, 2, 4, 8};                                              \
        M folded = bits | __builtin_shufflevector(bits, bits, 2, 3, 0, 1);                        \
        folded = folded | __builtin_shufflevector(folded, folded, 1, 0, 3, 2);                    \
        const auto pattern = static_cast<std::size_t>(folded[0]);                                 \
        const auto base = static_cast<std::uint32_t>(i);                                          \
        for (std::size_t k = 0; k < Lanes; ++k) out[count + k] = base + SetBits[pattern][k];      \
        count += BitCount[pattern];                                                               \
    }

    std::size_t count = 0;
    if (keptFirst) {
        TESSARO_STEP(bx1, by1, bx2, by2, ax1, ay1, ax2, ay2)
    } else {
        TESSARO_STEP(ax1, ay1, ax2, ay2, bx1, by1, bx2, by2)
    }
    return count;
#undef TESSARO_STEP
#undef TESSARO_INTERSECT
#undef TESSARO_LOAD
}
TESSARO_UNFUSED_END

__attribute__((target_clones("avx2", "default"))) std::size_t FindFirst(TSwapSubNet* const* list,
                                                                        std::size_t count,
                                                                        const TSwapSubNet* item) {
    typedef std::uint64_t U __attribute__((vector_size(32)));
    const auto key = reinterpret_cast<std::uintptr_t>(item);
    const U keys = U{} + key;
    std::size_t i = 0;
    for (; i + Lanes <= count; i += Lanes) {
        U values;
        std::memcpy(&values, list + i, sizeof values);
        const auto equal = values == keys;
        if ((equal[0] | equal[1] | equal[2] | equal[3]) != 0) break;
    }
    for (; i < count; ++i)
        if (list[i] == item) return i;
    return count;
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

bool TCrossingScan::IsOpenFor(const TSwapDataSet& dataSet) {
    return session.owner == &dataSet;
}

namespace cost_detail {

void RefreshAllLines(const TSwapDataSet& dataSet) {
    if (session.owner != &dataSet) return;
    const std::size_t n = dataSet.SwapSubNets.size();
    std::vector<std::uint32_t> all(n);
    std::iota(all.begin(), all.end(), 0u);
    session.lines.Fill(dataSet.SwapSubNets, std::move(all));
    session.groupLines.Fill(dataSet.SwapSubNets, {});
    session.cache = GroupCache{};
    session.candidates.assign(session.lines.x1.size() + 2 * Lanes, 0);
    session.found.assign((n + 63) / 64, 0);
}

void FocusOnGroup(const TSwapDataSet& dataSet, const TSwapGroup* group) {
    if (session.owner != &dataSet) return;
    RefreshAllLines(dataSet);
    std::vector<std::uint32_t> members;
    GroupCache& cache = session.cache;
    cache.group = group;
    cache.slots = group->Nets.size();
    cache.words = session.found.size();
    for (std::size_t i = 0; i < group->SubNets.size(); ++i)
        cache.member.emplace(group->SubNets[i], i);
    for (std::uint32_t k = 0; k < dataSet.SwapSubNets.size(); ++k)
        if (cache.member.count(dataSet.SwapSubNets[k])) members.push_back(k);
    for (std::size_t k = 0; k < session.lines.sorted.size(); ++k)
        session.lines.inGroup[k] = cache.member.count(session.lines.sorted[k]) ? 1 : 0;
    session.groupLines.Fill(dataSet.SwapSubNets, std::move(members));
    cache.entries.assign(group->SubNets.size() * cache.slots, GroupCache::Entry{});
}

void RefreshLine(const TSwapDataSet& dataSet, const TSwapSubNet* subNet) {
    if (session.owner != &dataSet) return;
    if (!session.lines.Refresh(subNet)) return;
    // A line of the group moves within the group's own lines; any other line changing
    // makes the kept crossing sets stale.
    if (!session.groupLines.Refresh(subNet)) session.cache.Forget();
}

namespace {

// Tests line a (of `subNet`) against every line of `lines` and calls `hit` with the position
// of each crossing line.
template <class Hit>
void Scan(const Lines& lines, const TSwapSubNet* subNet, const LineValues& a, Hit hit) {
    const std::size_t n = lines.sorted.size();
    if (n == 0) return;
    // The kept lines before `split` have lower addresses: they are the first segment.
    const auto split =
        static_cast<std::size_t>(std::lower_bound(lines.sorted.begin(), lines.sorted.end(), subNet,
                                                  std::less<const TSwapSubNet*>()) -
                                 lines.sorted.begin());
    const double* columns[] = {lines.x1.data(),   lines.y1.data(),   lines.x2.data(),
                               lines.y2.data(),   lines.minX.data(), lines.maxX.data(),
                               lines.minY.data(), lines.maxY.data()};
    const double values[] = {a.x1, a.y1, a.x2, a.y2, a.minX, a.maxX, a.minY, a.maxY};
    std::uint32_t* candidates = session.candidates.data();
    std::size_t count = CrossingKernel(columns, 0, split, values, true, candidates);
    count += CrossingKernel(columns, split, n, values, false, candidates + count);
    // The layer and same-ends rules for the few that pass.
    for (std::size_t c = 0; c < count; ++c) {
        const std::uint32_t k = candidates[c];
        if (lines.sorted[k] != subNet && MayCross(a, lines.values[k])) hit(k);
    }
}

void Mark(std::uint64_t* bits, std::uint32_t index) {
    bits[index / 64] |= std::uint64_t{1} << (index % 64);
}

// The crossings of `subNet`'s line with every line outside the group being optimised, kept
// per net slot; nullptr when they could not be kept.
const std::uint64_t* OutsideCrossings(const TSwapSubNet* subNet, std::size_t memberIndex,
                                      const LineValues& a) {
    GroupCache& cache = session.cache;
    const auto slot = static_cast<std::size_t>(subNet->NetIndex);
    if (slot >= cache.slots) return nullptr;
    GroupCache::Entry& entry = cache.entries[memberIndex * cache.slots + slot];
    const THotSpot* from = subNet->BestHotSpot;
    const THotSpot* to = LineEnd(subNet);
    if (entry.generation == cache.generation && entry.from == from && entry.to == to)
        return cache.pool.data() + entry.offset;
    if (cache.pool.size() + cache.words > PoolLimit) return nullptr;
    const std::size_t offset = cache.pool.size();
    cache.pool.resize(offset + cache.words, 0);
    std::uint64_t* bits = cache.pool.data() + offset;
    const Lines& lines = session.lines;
    Scan(lines, subNet, a, [&](std::uint32_t k) {
        if (!lines.inGroup[k]) Mark(bits, lines.subNetIndex[k]);
    });
    entry = GroupCache::Entry{from, to, offset, cache.generation};
    return bits;
}

}  // namespace

bool ScanCrossings(const TSwapDataSet& dataSet, const TSwapSubNet* subNet,
                   std::vector<TSwapSubNet*>& out) {
    if (session.owner != &dataSet) return false;
    if (session.lines.sorted.size() != dataSet.SwapSubNets.size()) RefreshAllLines(dataSet);
    out.clear();
    const LineValues a = ValuesOf(subNet);
    if (!a.usable) return true;  // a line of no length, or with a missing end, crosses nothing

    std::uint64_t* found = session.found.data();
    const std::size_t words = session.found.size();
    auto member = session.cache.member.find(subNet);
    const std::uint64_t* outside = member == session.cache.member.end()
                                       ? nullptr
                                       : OutsideCrossings(subNet, member->second, a);
    if (outside) {
        std::copy(outside, outside + words, found);
        const Lines& group = session.groupLines;
        Scan(group, subNet, a, [&](std::uint32_t k) { Mark(found, group.subNetIndex[k]); });
    } else {
        const Lines& lines = session.lines;
        Scan(lines, subNet, a, [&](std::uint32_t k) { Mark(found, lines.subNetIndex[k]); });
    }
    // In SwapSubNets order.
    std::size_t total = 0;
    for (std::size_t word = 0; word < words; ++word)
        total += static_cast<std::size_t>(std::popcount(found[word]));
    out.resize(total);
    TSwapSubNet** next = out.data();
    TSwapSubNet* const* subNets = dataSet.SwapSubNets.data();
    for (std::size_t word = 0; word < words; ++word) {
        for (std::uint64_t bits = found[word]; bits != 0; bits &= bits - 1)
            *next++ = subNets[word * 64 + static_cast<std::size_t>(std::countr_zero(bits))];
        found[word] = 0;
    }
    return true;
}

}  // namespace cost_detail
}  // namespace tessaro
