// Copper shapes of board objects and the true distances between them. A shape is a core
// (a point, a segment, an arc curve or a filled polygon) widened by a radius: a track is its
// centre line widened by half its width, a via a point widened by half its diameter, a fill a
// polygon widened by nothing. Distances are measured between the cores and then reduced by
// both radii, which is exact for every pair of such shapes.
#pragma once

#include <vector>

namespace hostapp::geom {

struct Vec {
    double x = 0;
    double y = 0;
};

// An arc of a circle, counter-clockwise from `start` through `sweep` (radians, 0 < sweep <=
// 2 pi).
struct ArcCurve {
    Vec centre;
    double radius = 0;
    double start = 0;
    double sweep = 0;

    Vec StartPoint() const;
    Vec EndPoint() const;
    // Whether the direction `angle` (radians) lies within the arc's sweep.
    bool Covers(double angle) const;
};

struct Shape {
    enum class Core { Segment, Arc, Polygon };
    Core core = Core::Segment;
    Vec a, b;                  // Segment (a == b: a point)
    ArcCurve arc;              // Arc
    std::vector<Vec> polygon;  // Polygon: an outline, not repeated at the end
    double radius = 0;         // how far the copper reaches beyond the core

    static Shape Disc(Vec centre, double radius);
    static Shape Capsule(Vec a, Vec b, double radius);
    static Shape ArcBand(const ArcCurve& arc, double radius);
    // A filled polygon; an outline without area degenerates to its edges as lines.
    static Shape Area(std::vector<Vec> outline);
    static Shape Box(Vec lo, Vec hi);
    // A box whose corners are rounded with half its smaller side: a capsule along the longer
    // side (a disc when square).
    static Shape RoundedBox(Vec centre, double sizeX, double sizeY);
};

struct Bounds {
    double left = 0, bottom = 0, right = 0, top = 0;
};

// The smallest axis-aligned rectangle holding the shape's copper.
Bounds BoundsOf(const Shape& shape);

// The distance between the copper of two shapes; 0 when they touch or overlap.
double Distance(const Shape& s, const Shape& t);
// The distance from a point to the copper of a shape; 0 inside it.
double Distance(const Shape& s, Vec p);

// Whether the two closed segments meet (touching ends and collinear overlaps included).
bool SegmentsIntersect(Vec a1, Vec a2, Vec b1, Vec b2, Vec* where = nullptr);

}  // namespace hostapp::geom
