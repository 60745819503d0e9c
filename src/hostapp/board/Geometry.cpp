#include "hostapp/board/Geometry.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "hostapp/board/BoostGeometry.h"

namespace hostapp::geom {

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;
constexpr double kAngleSlack = 1e-12;

using bgPoint = bg::model::d2::point_xy<double>;
using bgSegment = bg::model::segment<bgPoint>;
using bgPolygon = bg::model::polygon<bgPoint>;

bgPoint P(Vec v) {
    return bgPoint(v.x, v.y);
}

double Length(Vec a, Vec b) {
    return std::hypot(a.x - b.x, a.y - b.y);
}

bgPolygon ToPolygon(const std::vector<Vec>& outline) {
    bgPolygon poly;
    for (Vec v : outline) bg::append(poly.outer(), P(v));
    bg::correct(poly);
    return poly;
}

double PointSegment(Vec p, Vec a, Vec b) {
    if (a.x == b.x && a.y == b.y) return Length(p, a);
    return bg::distance(P(p), bgSegment(P(a), P(b)));
}

double SegmentSegment(Vec a1, Vec a2, Vec b1, Vec b2) {
    if (a1.x == a2.x && a1.y == a2.y) return PointSegment(a1, b1, b2);
    if (b1.x == b2.x && b1.y == b2.y) return PointSegment(b1, a1, a2);
    return bg::distance(bgSegment(P(a1), P(a2)), bgSegment(P(b1), P(b2)));
}

double SegmentPolygon(Vec a, Vec b, const std::vector<Vec>& outline) {
    const bgPolygon poly = ToPolygon(outline);
    if (a.x == b.x && a.y == b.y) return bg::distance(P(a), poly);
    return bg::distance(bgSegment(P(a), P(b)), poly);
}

double PolygonPolygon(const std::vector<Vec>& s, const std::vector<Vec>& t) {
    return bg::distance(ToPolygon(s), ToPolygon(t));
}

double AngleOf(Vec from, Vec to) {
    return std::atan2(to.y - from.y, to.x - from.x);
}

Vec OnCircle(const ArcCurve& arc, double angle) {
    return {arc.centre.x + arc.radius * std::cos(angle),
            arc.centre.y + arc.radius * std::sin(angle)};
}

// Distance from a point to an arc curve: radial when the point's direction lies within the
// sweep, else to the nearer end.
double PointArc(Vec p, const ArcCurve& arc) {
    const double d = Length(p, arc.centre);
    if (d == 0) return arc.radius;
    if (arc.Covers(AngleOf(arc.centre, p))) return std::abs(d - arc.radius);
    return std::min(Length(p, arc.StartPoint()), Length(p, arc.EndPoint()));
}

// The minimum between a segment and an arc lies at an end of one of them, at an interior
// pair joined by a line normal to both (radial through the foot of the centre on the
// segment), or is 0 where the segment cuts the circle within the sweep.
double SegmentArc(Vec a, Vec b, const ArcCurve& arc) {
    double best =
        std::min({PointArc(a, arc), PointArc(b, arc), PointSegment(arc.StartPoint(), a, b),
                  PointSegment(arc.EndPoint(), a, b)});
    const Vec ab{b.x - a.x, b.y - a.y};
    const double len2 = ab.x * ab.x + ab.y * ab.y;
    if (len2 == 0) return best;
    const Vec ac{arc.centre.x - a.x, arc.centre.y - a.y};
    const double t = (ac.x * ab.x + ac.y * ab.y) / len2;
    if (t > 0 && t < 1) {
        const Vec foot{a.x + t * ab.x, a.y + t * ab.y};
        const double d = Length(foot, arc.centre);
        if (d > 0) {
            if (arc.Covers(AngleOf(arc.centre, foot)))
                best = std::min(best, std::abs(d - arc.radius));
        } else {
            // The segment passes through the centre: the normals are the two perpendiculars.
            const double perp = std::atan2(ab.y, ab.x) + std::numbers::pi / 2;
            if (arc.Covers(perp) || arc.Covers(perp + std::numbers::pi))
                best = std::min(best, arc.radius);
        }
    }
    // Crossings of the segment with the circle.
    const double fx = a.x - arc.centre.x, fy = a.y - arc.centre.y;
    const double qa = len2;
    const double qb = 2 * (fx * ab.x + fy * ab.y);
    const double qc = fx * fx + fy * fy - arc.radius * arc.radius;
    const double disc = qb * qb - 4 * qa * qc;
    if (disc >= 0) {
        const double root = std::sqrt(disc);
        for (double s : {(-qb - root) / (2 * qa), (-qb + root) / (2 * qa)}) {
            if (s < 0 || s > 1) continue;
            const Vec hit{a.x + s * ab.x, a.y + s * ab.y};
            if (arc.Covers(AngleOf(arc.centre, hit))) return 0;
        }
    }
    return best;
}

// Between two arcs: ends against the other arc, interior pairs on the line of centres, and
// 0 where the circles cross within both sweeps.
double ArcArc(const ArcCurve& p, const ArcCurve& q) {
    double best = std::min({PointArc(p.StartPoint(), q), PointArc(p.EndPoint(), q),
                            PointArc(q.StartPoint(), p), PointArc(q.EndPoint(), p)});
    const double d = Length(p.centre, q.centre);
    if (d == 0) {
        // Concentric: any shared direction gives the radial gap.
        const double ends[] = {p.start, p.start + p.sweep, q.start, q.start + q.sweep};
        for (double angle : ends)
            if (p.Covers(angle) && q.Covers(angle))
                best = std::min(best, std::abs(p.radius - q.radius));
        return best;
    }
    const double towardsQ = AngleOf(p.centre, q.centre);
    for (double ap : {towardsQ, towardsQ + std::numbers::pi}) {
        if (!p.Covers(ap)) continue;
        for (double aq : {towardsQ, towardsQ + std::numbers::pi}) {
            if (!q.Covers(aq)) continue;
            best = std::min(best, Length(OnCircle(p, ap), OnCircle(q, aq)));
        }
    }
    // Circle crossings.
    if (d <= p.radius + q.radius && d >= std::abs(p.radius - q.radius)) {
        const double along = (d * d + p.radius * p.radius - q.radius * q.radius) / (2 * d);
        const double half = std::sqrt(std::max(0.0, p.radius * p.radius - along * along));
        const Vec ux{(q.centre.x - p.centre.x) / d, (q.centre.y - p.centre.y) / d};
        const Vec mid{p.centre.x + along * ux.x, p.centre.y + along * ux.y};
        for (double sign : {-1.0, 1.0}) {
            const Vec hit{mid.x - sign * half * ux.y, mid.y + sign * half * ux.x};
            if (p.Covers(AngleOf(p.centre, hit)) && q.Covers(AngleOf(q.centre, hit))) return 0;
        }
    }
    return best;
}

double ArcPolygon(const ArcCurve& arc, const std::vector<Vec>& outline) {
    if (bg::covered_by(P(arc.StartPoint()), ToPolygon(outline))) return 0;
    double best = std::numeric_limits<double>::infinity();
    for (std::size_t i = 0; i < outline.size(); ++i) {
        best = std::min(best, SegmentArc(outline[i], outline[(i + 1) % outline.size()], arc));
        if (best == 0) break;
    }
    return best;
}

double CoreDistance(const Shape& s, const Shape& t) {
    using C = Shape::Core;
    switch (s.core) {
        case C::Segment:
            switch (t.core) {
                case C::Segment:
                    return SegmentSegment(s.a, s.b, t.a, t.b);
                case C::Arc:
                    return SegmentArc(s.a, s.b, t.arc);
                case C::Polygon:
                    return SegmentPolygon(s.a, s.b, t.polygon);
            }
            break;
        case C::Arc:
            switch (t.core) {
                case C::Segment:
                    return SegmentArc(t.a, t.b, s.arc);
                case C::Arc:
                    return ArcArc(s.arc, t.arc);
                case C::Polygon:
                    return ArcPolygon(s.arc, t.polygon);
            }
            break;
        case C::Polygon:
            switch (t.core) {
                case C::Segment:
                    return SegmentPolygon(t.a, t.b, s.polygon);
                case C::Arc:
                    return ArcPolygon(t.arc, s.polygon);
                case C::Polygon:
                    return PolygonPolygon(s.polygon, t.polygon);
            }
            break;
    }
    return std::numeric_limits<double>::infinity();
}

}  // namespace

Vec ArcCurve::StartPoint() const {
    return OnCircle(*this, start);
}
Vec ArcCurve::EndPoint() const {
    return OnCircle(*this, start + sweep);
}

bool ArcCurve::Covers(double angle) const {
    double d = std::fmod(angle - start, kTwoPi);
    if (d < 0) d += kTwoPi;
    return d <= sweep + kAngleSlack || d >= kTwoPi - kAngleSlack;
}

Shape Shape::Disc(Vec centre, double radius) {
    return Capsule(centre, centre, radius);
}

Shape Shape::Capsule(Vec a, Vec b, double radius) {
    Shape s;
    s.core = Core::Segment;
    s.a = a;
    s.b = b;
    s.radius = radius;
    return s;
}

Shape Shape::ArcBand(const ArcCurve& arc, double radius) {
    if (arc.radius <= 0) return Disc(arc.centre, radius);
    Shape s;
    s.core = Core::Arc;
    s.arc = arc;
    s.radius = radius;
    return s;
}

Shape Shape::Area(std::vector<Vec> outline) {
    if (outline.empty()) return Disc({}, 0);
    double twiceArea = 0;
    for (std::size_t i = 0; i < outline.size(); ++i) {
        const Vec p = outline[i], q = outline[(i + 1) % outline.size()];
        twiceArea += p.x * q.y - q.x * p.y;
    }
    if (outline.size() < 3 || twiceArea == 0) {
        // All points on one line: the outline is the segment between its two extremes.
        const auto [lo, hi] = std::minmax_element(outline.begin(), outline.end(), [](Vec u, Vec v) {
            return u.x < v.x || (u.x == v.x && u.y < v.y);
        });
        return Capsule(*lo, *hi, 0);
    }
    Shape s;
    s.core = Core::Polygon;
    s.polygon = std::move(outline);
    return s;
}

Shape Shape::Box(Vec lo, Vec hi) {
    const double x0 = std::min(lo.x, hi.x), x1 = std::max(lo.x, hi.x);
    const double y0 = std::min(lo.y, hi.y), y1 = std::max(lo.y, hi.y);
    return Area({{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}});
}

Shape Shape::RoundedBox(Vec centre, double sizeX, double sizeY) {
    const double r = std::min(sizeX, sizeY) / 2;
    if (sizeX >= sizeY) {
        const double half = (sizeX - sizeY) / 2;
        return Capsule({centre.x - half, centre.y}, {centre.x + half, centre.y}, r);
    }
    const double half = (sizeY - sizeX) / 2;
    return Capsule({centre.x, centre.y - half}, {centre.x, centre.y + half}, r);
}

Bounds BoundsOf(const Shape& s) {
    Bounds b;
    switch (s.core) {
        case Shape::Core::Segment:
            b = {std::min(s.a.x, s.b.x), std::min(s.a.y, s.b.y), std::max(s.a.x, s.b.x),
                 std::max(s.a.y, s.b.y)};
            break;
        case Shape::Core::Arc: {
            const Vec p = s.arc.StartPoint(), q = s.arc.EndPoint();
            b = {std::min(p.x, q.x), std::min(p.y, q.y), std::max(p.x, q.x), std::max(p.y, q.y)};
            for (int quarter = 0; quarter < 4; ++quarter) {
                const double angle = quarter * std::numbers::pi / 2;
                if (!s.arc.Covers(angle)) continue;
                const Vec e = OnCircle(s.arc, angle);
                b = {std::min(b.left, e.x), std::min(b.bottom, e.y), std::max(b.right, e.x),
                     std::max(b.top, e.y)};
            }
            break;
        }
        case Shape::Core::Polygon:
            b = {s.polygon[0].x, s.polygon[0].y, s.polygon[0].x, s.polygon[0].y};
            for (Vec v : s.polygon)
                b = {std::min(b.left, v.x), std::min(b.bottom, v.y), std::max(b.right, v.x),
                     std::max(b.top, v.y)};
            break;
    }
    return {b.left - s.radius, b.bottom - s.radius, b.right + s.radius, b.top + s.radius};
}

double Distance(const Shape& s, const Shape& t) {
    return std::max(0.0, CoreDistance(s, t) - s.radius - t.radius);
}

double Distance(const Shape& s, Vec p) {
    return Distance(s, Shape::Disc(p, 0));
}

bool SegmentsIntersect(Vec a1, Vec a2, Vec b1, Vec b2, Vec* where) {
    const bgSegment a(P(a1), P(a2)), b(P(b1), P(b2));
    if (!bg::intersects(a, b)) return false;
    if (where) {
        std::vector<bgPoint> hits;
        bg::intersection(a, b, hits);
        if (hits.empty()) {
            *where = a1;
        } else {
            *where = {hits.front().x(), hits.front().y()};
        }
    }
    return true;
}

}  // namespace hostapp::geom
