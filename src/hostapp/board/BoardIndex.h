// The board's spatial index: every object on the board under its bounding rectangle, in a
// Boost.Geometry R-tree kept up to date as objects come, go and change shape.
#pragma once

#include <utility>

#include "hostapp/board/Board.h"
#include "hostapp/board/BoardObjects.h"
#include "hostapp/board/BoostGeometry.h"

namespace hostapp {

struct Board::Index {
    using Point = bg::model::point<double, 2, bg::cs::cartesian>;
    using Box = bg::model::box<Point>;
    using Value = std::pair<Box, Primitive*>;
    using Tree = bgi::rtree<Value, bgi::rstar<16>>;

    static Box BoxOf(const geom::Bounds& b) {
        return Box(Point(b.left, b.bottom), Point(b.right, b.top));
    }

    // Connection lines are long and cross the whole board: kept apart, they do not slow
    // down the searches among copper that connectivity makes.
    Tree& For(const Primitive* prim) { return prim->IsCopper() ? copper : lines; }
    void Insert(Primitive* prim, const geom::Bounds& b) { For(prim).insert({BoxOf(b), prim}); }
    void Remove(Primitive* prim, const geom::Bounds& b) { For(prim).remove({BoxOf(b), prim}); }

    Tree copper;
    Tree lines;
};

}  // namespace hostapp
