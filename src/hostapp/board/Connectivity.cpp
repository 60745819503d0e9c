// Connectivity and the ratsnest. A net's copper falls into connected pieces (primitives
// touching on a layer they share); its connection lines join the pieces along a minimum
// spanning tree whose edges run between the pieces' nearest anchor points. Only nets whose
// copper changed are recomputed, and each from its own copper alone.
#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <unordered_map>

#include "hostapp/board/Board.h"
#include "hostapp/board/BoardIndex.h"

namespace hostapp {

namespace {

// Copper closer than this touches.
constexpr double kTouching = 1.0;

class DisjointSets {
  public:
    explicit DisjointSets(std::size_t n) : parent_(n) {
        std::iota(parent_.begin(), parent_.end(), std::size_t{0});
    }
    std::size_t Find(std::size_t i) {
        while (parent_[i] != i) i = parent_[i] = parent_[parent_[i]];
        return i;
    }
    void Join(std::size_t a, std::size_t b) {
        a = Find(a);
        b = Find(b);
        if (a == b) return;
        // The smaller index stays the root, so a piece's root is its first member.
        if (b < a) std::swap(a, b);
        parent_[b] = a;
    }

  private:
    std::vector<std::size_t> parent_;
};

bool ShareLayer(const Primitive* a, const Primitive* b) {
    const auto [aFrom, aTo] = a->LayerSpan();
    const auto [bFrom, bTo] = b->LayerSpan();
    return aFrom <= bTo && bFrom <= aTo;
}

double Euclid(const Anchor& a, const Anchor& b) {
    return std::hypot(a.at.x - b.at.x, a.at.y - b.at.y);
}

}  // namespace

void Board::UpdateRatsnest() {
    while (!dirty_.empty()) RebuildNet(dirty_.begin()->second);
}

void Board::RebuildNet(Net* net) {
    if (!net->onBoard_ || net->board_ != this) return;
    dirty_.erase(net->serial_);
    net->dirty_ = false;
    ComputePieces(net);
    ComputeRatsnest(net);
    ++net->rebuilds_;
}

void Board::ComputePieces(Net* net) {
    const std::vector<Primitive*> copper = net->Copper();
    std::unordered_map<const Primitive*, std::size_t> position;
    position.reserve(copper.size());
    std::vector<geom::Shape> shapes;
    shapes.reserve(copper.size());
    for (std::size_t i = 0; i < copper.size(); ++i) {
        position.emplace(copper[i], i);
        shapes.push_back(copper[i]->Copper());
    }

    DisjointSets sets(copper.size());
    std::vector<Index::Value> near;
    for (std::size_t i = 0; i < copper.size(); ++i) {
        geom::Bounds reach = copper[i]->indexed_;
        reach = {reach.left - kTouching, reach.bottom - kTouching, reach.right + kTouching,
                 reach.top + kTouching};
        near.clear();
        index_->copper.query(bgi::intersects(Index::BoxOf(reach)), std::back_inserter(near));
        for (const auto& [box, other] : near) {
            const auto found = position.find(other);
            if (found == position.end() || found->second <= i) continue;
            const std::size_t j = found->second;
            if (sets.Find(i) == sets.Find(j)) continue;
            if (!ShareLayer(copper[i], other)) continue;
            if (geom::Distance(shapes[i], shapes[j]) < kTouching) sets.Join(i, j);
        }
    }

    // Pieces in the order of their first member; members in board order.
    net->pieces_.clear();
    std::unordered_map<std::size_t, std::size_t> pieceOfRoot;
    for (std::size_t i = 0; i < copper.size(); ++i) {
        const std::size_t root = sets.Find(i);
        auto [it, fresh] = pieceOfRoot.emplace(root, net->pieces_.size());
        if (fresh) net->pieces_.emplace_back();
        net->pieces_[it->second].push_back(copper[i]);
    }
}

void Board::ComputeRatsnest(Net* net) {
    const auto& pieces = net->pieces_;
    std::vector<std::vector<Anchor>> anchors(pieces.size());
    for (std::size_t p = 0; p < pieces.size(); ++p) {
        for (const Primitive* prim : pieces[p]) prim->AddAnchors(anchors[p]);
        if (anchors[p].empty()) {
            // Copper with no natural anchor (fills, regions) is reached at its middle.
            const geom::Bounds b = pieces[p].front()->Extent();
            anchors[p].push_back(
                {{(b.left + b.right) / 2, (b.bottom + b.top) / 2}, pieces[p].front()->LayerOf()});
        }
    }

    // Prim's algorithm over the pieces; each piece outside the tree remembers its nearest
    // anchor pair to the tree. Ties go to the lower piece and the first pair found.
    struct Edge {
        Anchor from, to;
    };
    std::vector<Edge> edges;
    const std::size_t n = pieces.size();
    if (n > 1) {
        std::vector<bool> inTree(n, false);
        std::vector<double> best(n, std::numeric_limits<double>::infinity());
        std::vector<Edge> bestEdge(n);
        auto relax = [&](std::size_t joined) {
            for (std::size_t q = 0; q < n; ++q) {
                if (inTree[q]) continue;
                for (const Anchor& a : anchors[joined]) {
                    for (const Anchor& b : anchors[q]) {
                        const double d = Euclid(a, b);
                        if (d < best[q]) {
                            best[q] = d;
                            bestEdge[q] = {a, b};
                        }
                    }
                }
            }
        };
        inTree[0] = true;
        relax(0);
        for (std::size_t step = 1; step < n; ++step) {
            std::size_t next = n;
            for (std::size_t q = 0; q < n; ++q)
                if (!inTree[q] && (next == n || best[q] < best[next])) next = q;
            inTree[next] = true;
            edges.push_back(bestEdge[next]);
            relax(next);
        }
    }

    // The net's lines are reused in place; surplus lines leave the board (alive until the
    // board goes), missing ones are made.
    auto& lines = net->ratsnest_;
    while (lines.size() > edges.size()) {
        Connection* surplus = lines.back();
        lines.pop_back();
        if (surplus->onBoard_) Detach(surplus);
    }
    for (std::size_t i = 0; i < edges.size(); ++i) {
        if (i < lines.size()) {
            lines[i]->Place(edges[i].from, edges[i].to);
            continue;
        }
        auto line = std::make_unique<Connection>(true, faults_);
        Connection* raw = Own(std::move(line));
        raw->net_ = net;
        raw->Place(edges[i].from, edges[i].to);
        Attach(raw);
        lines.push_back(raw);
    }
}

}  // namespace hostapp
