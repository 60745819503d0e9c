// The cost of an assignment: hot spots of nets, connection lengths, crossings, and the
// exchange operations that keep XOvers and ConnectionCost current while optimisers move nets
// between sub-nets. Also the display of connection lines and the measurement of a board.
#include <algorithm>
#include <functional>

#include "frame/HostAccess.h"
#include "model/CostScan.h"
#include "model/Geometry.h"
#include "model/Optimizer_Data.h"

namespace tessaro {

using cost_detail::LineEnd;

namespace {

// The sub-net whose neighbours are being sorted: the comparison reads it from here.
const TSwapSubNet* neighbourSortSubject = nullptr;

void RemoveFirst(std::vector<TSwapSubNet*>& list, const TSwapSubNet* item) {
    const std::size_t at = cost_detail::FindFirst(list.data(), list.size(), item);
    if (at < list.size()) list.erase(list.begin() + static_cast<std::ptrdiff_t>(at));
}

// Scratch lists of CommitExchange, kept between calls so that an exchange allocates nothing
// once they have grown.
std::vector<TSwapSubNet*> commitCopyA;
std::vector<TSwapSubNet*> commitCopyB;

}  // namespace

// ---- Hot spots of nets ------------------------------------------------------------------------

void TSwapDataSet::BuildNetHotSpots(TSwapNet* net, TSwapGroup* group) {
    net->HotSpots.clear();
    for (TSwapSubNet* s : net->SubNets) {
        if (s->PinGroup() == group) continue;
        const std::vector<THotSpot*> spots = s->HotSpots.InOrder();
        net->HotSpots.insert(net->HotSpots.end(), spots.begin(), spots.end());
    }
}

void TSwapDataSet::PrepareGroup(TSwapGroup* group) {
    for (TSwapNet* net : group->Nets)
        if (net) BuildNetHotSpots(net, group);
    for (TSwapSubNet* s : group->SubNets) UpdateNetHotSpots(s);
    // The group's nets may have been reset behind the kept lines' back (ResetGroupNets), and
    // the group is the one to be optimised next.
    cost_detail::FocusOnGroup(*this, group);
}

THotSpot* TSwapDataSet::NearestNetHotSpot(TSwapSubNet* subNet, TSwapNet* net) const {
    const THotSpot* best = subNet->BestHotSpot;
    if (!best) return nullptr;
    THotSpot* nearest = nullptr;
    double nearestCost = MinimumSearchStart;
    for (THotSpot* h : net->HotSpots) {
        if (!h || h->SubNet == subNet) continue;
        double c = Euclid(h, best);
        if (h->Layer != best->Layer) c += LayerPenalty;
        if (c < nearestCost) {
            nearestCost = c;
            nearest = h;
        }
    }
    return nearest;
}

void TSwapDataSet::UpdateNetHotSpots(TSwapSubNet* subNet) {
    TSwapGroup* group = subNet->PinGroup();
    if (!group) return;
    subNet->NetHotSpots.assign(group->Nets.size(), nullptr);
    if (subNet->BestHotSpot) {
        for (std::size_t i = 0; i < group->Nets.size(); ++i)
            if (group->Nets[i]) subNet->NetHotSpots[i] = NearestNetHotSpot(subNet, group->Nets[i]);
    }
    cost_detail::RefreshLine(*this, subNet);
}

// ---- Lengths -----------------------------------------------------------------------------------

double TSwapDataSet::ConnectionLength(const TSwapSubNet* subNet) const {
    const THotSpot* best = subNet->BestHotSpot;
    const THotSpot* end = LineEnd(subNet);
    if (!best || !end || !subNet->CurrentNet()) return 0;
    double length = Manhattan(best, end);
    if (best->Layer != end->Layer) length += LayerPenalty;
    return length;
}

double TSwapDataSet::EuclideanLength(const TSwapSubNet* subNet) const {
    const THotSpot* best = subNet->BestHotSpot;
    const THotSpot* end = LineEnd(subNet);
    if (!best || !end || !subNet->CurrentNet()) return 0;
    return Euclid(best, end);
}

// ---- Crossings ---------------------------------------------------------------------------------

bool TSwapDataSet::Crosses(const TSwapSubNet* a, const TSwapSubNet* b) const {
    // Always the same order of the two lines, so that a/b and b/a round alike.
    if (std::less<const TSwapSubNet*>()(b, a)) std::swap(a, b);
    return LinesCross(a->BestHotSpot, LineEnd(a), b->BestHotSpot, LineEnd(b));
}

void TSwapDataSet::BuildCrossings(TSwapSubNet* subNet) {
    if (cost_detail::ScanCrossings(*this, subNet, subNet->Crossings)) return;
    subNet->Crossings.clear();
    for (TSwapSubNet* other : SwapSubNets)
        if (other != subNet && Crosses(subNet, other)) subNet->Crossings.push_back(other);
}

void TSwapDataSet::BuildNeighbours(TSwapSubNet* subNet) {
    TSwapGroup* group = subNet->PinGroup();
    subNet->Neighbours.clear();
    if (!group) return;
    neighbourSortSubject = subNet;
    struct ClearSubject {
        ~ClearSubject() { neighbourSortSubject = nullptr; }
    } clearSubject;
    // Each distance is taken once, beside its sub-net; the sort compares the distances only,
    // so it makes the same comparisons and moves as sorting the sub-nets by distance.
    std::vector<std::pair<double, TSwapSubNet*>> byDistance;
    byDistance.reserve(group->SubNets.size());
    for (TSwapSubNet* other : group->SubNets)
        if (other != subNet)
            byDistance.emplace_back(Euclid(neighbourSortSubject->BestHotSpot, other->BestHotSpot),
                                    other);
    std::sort(byDistance.begin(), byDistance.end(),
              [](const auto& x, const auto& y) { return x.first < y.first; });
    subNet->Neighbours.reserve(byDistance.size());
    for (const auto& entry : byDistance) subNet->Neighbours.push_back(entry.second);
}

std::int32_t TSwapDataSet::CountCrossings() const {
    // Every pair of lines; the boxes of the lines spare the full test for pairs far apart.
    struct Line {
        const TSwapSubNet* subNet;
        std::int32_t minX, maxX, minY, maxY;
    };
    std::vector<Line> lines;
    lines.reserve(SwapSubNets.size());
    for (const TSwapSubNet* s : SwapSubNets) {
        const THotSpot* a = s->BestHotSpot;
        const THotSpot* b = LineEnd(s);
        if (!a || !b || SamePosition(a, b)) {
            lines.push_back({s, 1, 0, 1, 0});  // crosses nothing: skipped below
            continue;
        }
        lines.push_back({s, std::min(a->X, b->X), std::max(a->X, b->X), std::min(a->Y, b->Y),
                         std::max(a->Y, b->Y)});
    }
    std::int32_t count = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Line& p = lines[i];
        if (p.minX > p.maxX) continue;
        for (std::size_t j = i + 1; j < lines.size(); ++j) {
            const Line& q = lines[j];
            if (q.minX > q.maxX) continue;
            if ((q.minX <= p.maxX) & (p.minX <= q.maxX) & (q.minY <= p.maxY) & (p.minY <= q.maxY)) {
                if (Crosses(p.subNet, q.subNet)) ++count;
            }
        }
    }
    return count;
}

double TSwapDataSet::TotalCost() const {
    // In double: thousands of crossings times the crossing weight leave 32 bits behind.
    return static_cast<double>(XOvers) * CrossingWeight + ConnectionCost;
}

std::int32_t TSwapDataSet::CountFixedSubNets() const {
    return static_cast<std::int32_t>(std::count_if(SwapSubNets.begin(), SwapSubNets.end(),
                                                   [](const TSwapSubNet* s) { return s->Fixed; }));
}

void TSwapDataSet::InitialiseCost() {
    for (const auto& entry : Nets) BuildNetHotSpots(entry.second, nullptr);
    for (TSwapSubNet* s : SwapSubNets) UpdateNetHotSpots(s);
    for (TSwapSubNet* s : SwapSubNets)
        if (s->NetIndex >= 0) SetEnds(s->Line, s->BestHotSpot, s->CurrentNetHotSpot());
    TCrossingScan scan(*this);
    std::int64_t listed = 0;
    for (TSwapSubNet* s : SwapSubNets) {
        if (s->NetIndex < 0) continue;
        BuildNeighbours(s);
        BuildCrossings(s);
        listed += static_cast<std::int64_t>(s->Crossings.size());
    }
    // Every crossing pair now stands in both of its lists (a sub-net without a net slot has
    // no line and crosses nothing), so half the listed entries is CountCrossings without
    // testing every pair again.
    XOvers = static_cast<std::int32_t>(listed / 2);
    ConnectionCost = 0;
    for (const TSwapSubNet* s : SwapSubNets) ConnectionCost += ConnectionLength(s);
}

// ---- Exchanges ---------------------------------------------------------------------------------

namespace {

// What a and b add to the totals with their present lines and crossing lists.
void AddContributions(TSwapDataSet& d, TSwapSubNet* a, TSwapSubNet* b, int sign) {
    d.ConnectionCost += sign * (d.ConnectionLength(a) + d.ConnectionLength(b));
    d.XOvers += sign * static_cast<std::int32_t>(a->Crossings.size() + b->Crossings.size());
    // A crossing of a with b stands in both lists but is one crossing.
    if (d.Crosses(a, b)) d.XOvers -= sign;
}

void SetNetIndex(const TSwapDataSet& d, TSwapSubNet* s, std::int32_t index) {
    s->NetIndex = index;
    cost_detail::RefreshLine(d, s);
}

void ExchangeNetIndices(const TSwapDataSet& d, TSwapSubNet* a, TSwapSubNet* b) {
    const std::int32_t ia = a->NetIndex;
    SetNetIndex(d, a, b->NetIndex);
    SetNetIndex(d, b, ia);
}

}  // namespace

void TSwapDataSet::TryExchange(TSwapSubNet* a, TSwapSubNet* b) {
    AddContributions(*this, a, b, -1);
    // Saving by swapping the lists: BuildCrossings refills Crossings from scratch, so the
    // saved copy costs no copying (and no allocation once the lists have grown).
    a->SavedCrossings.swap(a->Crossings);
    a->SavedNetIndex = a->NetIndex;
    if (b != a) b->SavedCrossings.swap(b->Crossings);
    b->SavedNetIndex = b->NetIndex;
    ExchangeNetIndices(*this, a, b);
    BuildCrossings(a);
    BuildCrossings(b);
    AddContributions(*this, a, b, +1);
}

void TSwapDataSet::RollbackExchange(TSwapSubNet* a, TSwapSubNet* b) {
    AddContributions(*this, a, b, -1);
    // The saved lists come back; what SavedCrossings holds afterwards has no meaning.
    a->Crossings.swap(a->SavedCrossings);
    SetNetIndex(*this, a, a->SavedNetIndex);
    if (b != a) b->Crossings.swap(b->SavedCrossings);
    SetNetIndex(*this, b, b->SavedNetIndex);
    AddContributions(*this, a, b, +1);
}

void TSwapDataSet::CommitExchange(TSwapSubNet* a, TSwapSubNet* b) {
    commitCopyA = a->Crossings;
    commitCopyB = b->Crossings;
    RollbackExchange(a, b);
    AddContributions(*this, a, b, -1);
    // Take a and b out of the lists of the lines they crossed before...
    for (std::size_t i = 0; i < a->Crossings.size(); ++i)
        RemoveFirst(a->Crossings[i]->Crossings, a);
    for (std::size_t i = 0; i < b->Crossings.size(); ++i)
        RemoveFirst(b->Crossings[i]->Crossings, b);
    ExchangeNetIndices(*this, a, b);
    a->Crossings = commitCopyA;
    b->Crossings = commitCopyB;
    // ...and put them into the lists of the lines they cross now, once each.
    for (std::size_t i = 0; i < a->Crossings.size(); ++i) {
        auto& theirs = a->Crossings[i]->Crossings;
        RemoveFirst(theirs, a);
        theirs.push_back(a);
    }
    for (std::size_t i = 0; i < b->Crossings.size(); ++i) {
        auto& theirs = b->Crossings[i]->Crossings;
        RemoveFirst(theirs, b);
        theirs.push_back(b);
    }
    AddContributions(*this, a, b, +1);
    SetEnds(a->Line, a->BestHotSpot, a->CurrentNetHotSpot());
    SetEnds(b->Line, b->BestHotSpot, b->CurrentNetHotSpot());
}

// ---- Connection lines on the board ------------------------------------------------------------

namespace {

void SetShape(host::IPCB_Connection* c, std::int32_t x1, std::int32_t y1, host::Layer l1,
              std::int32_t x2, std::int32_t y2, host::Layer l2) {
    c->SetX1(x1);
    c->SetY1(y1);
    c->SetLayer1(l1);
    c->SetX2(x2);
    c->SetY2(y2);
    c->SetLayer2(l2);
}

}  // namespace

void TSwapDataSet::SetEnds(TConnectionLine* line, THotSpot* end1, THotSpot* end2) {
    line->End1 = end1;
    line->End2 = end2;
    host::IPCB_Board* board = Board();
    if (!board) return;
    if (!line->Connection) {
        host::IPCB_ServerInterface* server = PCBServer();
        if (!server) return;
        host::IPCB_Connection* connection = server->CreateConnection();
        connection->SetLayer(host::eConnectLayer);
        SetShape(connection, 0, 0, host::eTopLayer, 100000, 100000, host::eTopLayer);
        board->AddPCBObject(connection);
        board->Notify(connection, host::eNoticeObjectRegistered);
        line->Connection = connection;
        if (!PinSwapNet) {
            host::IPCB_Net* net = server->CreateNet();
            net->SetName(W("PinSwapNet"));
            board->AddNet(net);
            board->Notify(net, host::eNoticeObjectRegistered);
            PinSwapNet = net;
        }
        connection->SetNet(PinSwapNet);
    }
    host::IPCB_Connection* c = line->Connection;
    board->Notify(c, host::eNoticeBeginModify);
    c->BeginModify();
    try {
        if (end1 && end2)
            SetShape(c, end1->X, end1->Y, end1->Layer, end2->X, end2->Y, end2->Layer);
        else
            SetShape(c, 0, 0, c->Layer1(), 100, 100, c->Layer2());
    } catch (...) {
        // The bracket is closed before the failure goes on; the failure to report is the
        // first one.
        try {
            c->EndModify();
            board->Notify(c, host::eNoticeEndModify);
        } catch (...) {
        }
        throw;
    }
    c->EndModify();
    board->Notify(c, host::eNoticeEndModify);
}

void TSwapDataSet::RemoveConnection(TConnectionLine* line) {
    host::IPCB_Connection* connection = line->Connection;
    if (!connection) return;
    if (host::IPCB_Board* board = Board()) board->RemovePCBObject(connection);
    connection->SetNet(nullptr);
    line->Connection = nullptr;
}

void TSwapDataSet::RemoveConnectionLines() {
    for (TSwapSubNet* s : SwapSubNets) RemoveConnection(s->Line);
}

// ---- Measuring a board
// ---------------------------------------------------------------------------

void TSwapDataSet::MeasureBoard(double& length, std::int32_t& count) {
    length = 0;
    count = 0;
    host::IPCB_Board* board = Board();
    if (!board) return;
    std::vector<TConnectionLine*> lines;
    auto it = board->BoardIterator_Create();
    it->AddFilter_ObjectSet(host::MkSet(host::eConnectionObject));
    it->AddFilter_LayerSet(host::LayerSet::Range(host::eTopLayer, host::eConnectLayer));
    for (host::IPCB_Primitive* prim = it->FirstPCBObject(); prim; prim = it->NextPCBObject()) {
        auto* connection = dynamic_cast<host::IPCB_Connection*>(prim);
        if (!connection) continue;
        TConnectionLine* line = Make<TConnectionLine>(this);
        line->End1 = MakeHotSpot(connection->X1(), connection->Y1(), connection->Layer1(), nullptr);
        line->End2 = MakeHotSpot(connection->X2(), connection->Y2(), connection->Layer2(), nullptr);
        lines.push_back(line);
    }
    for (const TConnectionLine* line : lines) length += Euclid(line->End1, line->End2);

    // Every pair of lines, with the boxes sparing the full test for pairs far apart.
    struct Box {
        std::int32_t minX, maxX, minY, maxY;
    };
    std::vector<Box> boxes;
    boxes.reserve(lines.size());
    for (const TConnectionLine* line : lines) {
        const THotSpot* a = line->End1;
        const THotSpot* b = line->End2;
        boxes.push_back({std::min(a->X, b->X), std::max(a->X, b->X), std::min(a->Y, b->Y),
                         std::max(a->Y, b->Y)});
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Box& p = boxes[i];
        for (std::size_t j = i + 1; j < lines.size(); ++j) {
            const Box& q = boxes[j];
            if ((q.minX <= p.maxX) & (p.minX <= q.maxX) & (q.minY <= p.maxY) & (p.minY <= q.maxY)) {
                if (LinesCross(lines[i]->End1, lines[i]->End2, lines[j]->End1, lines[j]->End2))
                    ++count;
            }
        }
    }
}

}  // namespace tessaro
