#include "hostapp/render/SvgRenderer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <limits>
#include <map>
#include <numbers>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "hostapp/board/Board.h"
#include "hostapp/board/BoostGeometry.h"
#include "hostapp/board/LayerNames.h"

namespace hostapp {

namespace {

constexpr double kUnitsPerMm = 10000.0 * 1000.0 / 25.4;  // 10000 to the mil
constexpr double kUnitsPerInch = 10000.0 * 1000.0;

using bgPoint = bg::model::d2::point_xy<double>;
using bgSegment = bg::model::segment<bgPoint>;

struct Line {
    geom::Vec a, b;
};

struct Crossings {
    int pairs = 0;
    std::vector<bool> crossed;      // per line: crosses at least one other
    std::vector<geom::Vec> points;  // one per crossing pair
};

bool Same(geom::Vec p, geom::Vec q) {
    return std::abs(p.x - q.x) < 0.5 && std::abs(p.y - q.y) < 0.5;
}

// Two connection lines cross where they meet anywhere but at an end point they share: lines
// of one net's tree meet at their common anchors, which is no crossing.
bool Cross(const Line& s, const Line& t, geom::Vec& at) {
    if (Same(s.a, s.b) || Same(t.a, t.b)) return false;
    const bgSegment u(bgPoint(s.a.x, s.a.y), bgPoint(s.b.x, s.b.y));
    const bgSegment v(bgPoint(t.a.x, t.a.y), bgPoint(t.b.x, t.b.y));
    if (!bg::intersects(u, v)) return false;
    std::vector<bgPoint> hits;
    bg::intersection(u, v, hits);
    for (const bgPoint& h : hits) {
        const geom::Vec p{h.x(), h.y()};
        const bool sharedEnd = (Same(p, s.a) || Same(p, s.b)) && (Same(p, t.a) || Same(p, t.b));
        if (!sharedEnd) {
            at = p;
            return true;
        }
    }
    return false;
}

Crossings FindCrossings(const std::vector<Line>& lines) {
    using Box = bg::model::box<bgPoint>;
    using Value = std::pair<Box, std::size_t>;
    std::vector<Value> boxes;
    boxes.reserve(lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Line& l = lines[i];
        boxes.emplace_back(Box(bgPoint(std::min(l.a.x, l.b.x), std::min(l.a.y, l.b.y)),
                               bgPoint(std::max(l.a.x, l.b.x), std::max(l.a.y, l.b.y))),
                           i);
    }
    const bgi::rtree<Value, bgi::rstar<16>> tree(boxes.begin(), boxes.end());
    Crossings result;
    result.crossed.assign(lines.size(), false);
    std::vector<Value> near;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        near.clear();
        tree.query(bgi::intersects(boxes[i].first), std::back_inserter(near));
        std::sort(near.begin(), near.end(),
                  [](const Value& x, const Value& y) { return x.second < y.second; });
        for (const auto& [box, j] : near) {
            if (j <= i) continue;
            geom::Vec at;
            if (!Cross(lines[i], lines[j], at)) continue;
            ++result.pairs;
            result.crossed[i] = result.crossed[j] = true;
            result.points.push_back(at);
        }
    }
    return result;
}

std::vector<Line> ShownLines(Board& board) {
    std::vector<Line> lines;
    for (const Connection* c : board.Connections()) lines.push_back({c->From(), c->To()});
    return lines;
}

std::string Escape(const std::string& text) {
    std::string out;
    for (char ch : text) {
        switch (ch) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += ch;
        }
    }
    return out;
}

std::string Num(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.3f", v);
    return buf;
}

std::string LengthText(double units, design::DisplayUnit unit) {
    char buf[64];
    if (unit == design::DisplayUnit::Imperial) {
        std::snprintf(buf, sizeof buf, "%.3f in", units / kUnitsPerInch);
    } else {
        std::snprintf(buf, sizeof buf, "%.2f mm", units / kUnitsPerMm);
    }
    return buf;
}

// Copper colours: top red, bottom blue, inner layers each their own hue.
std::string LayerColour(int layer) {
    if (layer == host::eTopLayer) return "#d43c3c";
    if (layer == host::eBottomLayer) return "#3c78d8";
    if (layer == host::eMultiLayer) return "#d8b040";
    static const char* const inner[] = {"#3cb44b", "#f58231", "#911eb4", "#42d4f4",
                                        "#f032e6", "#bfef45", "#fabed4", "#469990"};
    return inner[(layer - host::eMidLayer1) % 8];
}

// Maps board units (y up) to drawing millimetres (y down): the board sits below the title,
// centred across the drawing's width.
class Frame {
  public:
    Frame(geom::Bounds extent, double left, double top) : extent_(extent), left_(left), top_(top) {}
    double X(double x) const { return (x - extent_.left) / kUnitsPerMm + left_; }
    double Y(double y) const { return (extent_.top - y) / kUnitsPerMm + top_; }
    static double L(double length) { return length / kUnitsPerMm; }
    double BoardWidth() const { return L(extent_.right - extent_.left); }
    double BoardHeight() const { return L(extent_.top - extent_.bottom); }

  private:
    geom::Bounds extent_;
    double left_;
    double top_;
};

void DrawPrimitive(std::ostream& out, const Frame& f, Primitive* prim, const std::string& colour) {
    switch (prim->Kind()) {
        case host::eTrackObject: {
            auto* t = static_cast<Track*>(prim);
            out << "<line x1=\"" << Num(f.X(t->Start().x)) << "\" y1=\"" << Num(f.Y(t->Start().y))
                << "\" x2=\"" << Num(f.X(t->End().x)) << "\" y2=\"" << Num(f.Y(t->End().y))
                << "\" stroke=\"" << colour << "\" stroke-width=\"" << Num(f.L(t->WidthValue()))
                << "\" stroke-linecap=\"round\"/>\n";
            break;
        }
        case host::eArcObject: {
            auto* a = static_cast<Arc*>(prim);
            const geom::ArcCurve c = a->Curve();
            const std::string stroke = "\" fill=\"none\" stroke=\"" + colour +
                                       "\" stroke-width=\"" + Num(f.L(a->WidthValue())) +
                                       "\" stroke-linecap=\"round\"/>\n";
            if (c.sweep >= 2 * std::numbers::pi - 1e-9) {
                out << "<circle cx=\"" << Num(f.X(c.centre.x)) << "\" cy=\"" << Num(f.Y(c.centre.y))
                    << "\" r=\"" << Num(f.L(c.radius)) << stroke;
            } else {
                // Flipping y keeps the arc counter-clockwise to the eye, which in SVG's own
                // y-down angles is the negative sweep (flag 0).
                const geom::Vec s = c.StartPoint(), e = c.EndPoint();
                out << "<path d=\"M " << Num(f.X(s.x)) << " " << Num(f.Y(s.y)) << " A "
                    << Num(f.L(c.radius)) << " " << Num(f.L(c.radius)) << " 0 "
                    << (c.sweep > std::numbers::pi ? 1 : 0) << " 0 " << Num(f.X(e.x)) << " "
                    << Num(f.Y(e.y)) << stroke;
            }
            break;
        }
        case host::eFillObject:
        case host::eRegionObject: {
            const geom::Shape s = prim->Copper();
            out << "<polygon points=\"";
            if (s.core == geom::Shape::Core::Polygon) {
                for (geom::Vec v : s.polygon) out << Num(f.X(v.x)) << "," << Num(f.Y(v.y)) << " ";
            } else {
                out << Num(f.X(s.a.x)) << "," << Num(f.Y(s.a.y)) << " " << Num(f.X(s.b.x)) << ","
                    << Num(f.Y(s.b.y));
            }
            out << "\" fill=\"" << colour << "\" fill-opacity=\"0.55\" stroke=\"" << colour
                << "\" stroke-width=\"0.05\"/>\n";
            break;
        }
        default:
            break;
    }
}

void DrawPad(std::ostream& out, const Frame& f, Pad* pad, bool swappable) {
    const std::string colour = LayerColour(pad->LayerOf());
    const double w = f.L(pad->Width()), h = f.L(pad->Height());
    const double x = f.X(pad->CentreX()), y = f.Y(pad->CentreY());
    const std::string outline = swappable
                                    ? "\" class=\"swappable\" stroke=\"#30f0f0\" stroke-width=\"" +
                                          Num(std::max(0.06, std::min(w, h) * 0.12)) + "\""
                                    : "\"";
    if (pad->ShapeKind() == host::PadShape::Rectangular) {
        out << "<rect x=\"" << Num(x - w / 2) << "\" y=\"" << Num(y - h / 2) << "\" width=\""
            << Num(w) << "\" height=\"" << Num(h) << "\" fill=\"" << colour << outline << "/>\n";
    } else {
        const double r = std::min(w, h) / 2;
        out << "<rect x=\"" << Num(x - w / 2) << "\" y=\"" << Num(y - h / 2) << "\" width=\""
            << Num(w) << "\" height=\"" << Num(h) << "\" rx=\"" << Num(r) << "\" ry=\"" << Num(r)
            << "\" fill=\"" << colour << outline << "/>\n";
    }
    if (pad->LayerOf() == host::eMultiLayer) {
        out << "<circle cx=\"" << Num(x) << "\" cy=\"" << Num(y) << "\" r=\""
            << Num(std::min(w, h) / 4) << "\" fill=\"#101010\"/>\n";
    }
}

geom::Bounds Extent(const std::vector<Primitive*>& objects) {
    if (objects.empty()) return {0, 0, 10 * kUnitsPerMm, 10 * kUnitsPerMm};
    geom::Bounds b{std::numeric_limits<double>::max(), std::numeric_limits<double>::max(),
                   std::numeric_limits<double>::lowest(), std::numeric_limits<double>::lowest()};
    for (Primitive* prim : objects) {
        const geom::Bounds e = prim->Extent();
        b = {std::min(b.left, e.left), std::min(b.bottom, e.bottom), std::max(b.right, e.right),
             std::max(b.top, e.top)};
    }
    return b;
}

}  // namespace

RatsnestSummary SummariseRatsnest(Board& board) {
    const std::vector<Line> lines = ShownLines(board);
    RatsnestSummary summary;
    summary.connections = static_cast<int>(lines.size());
    for (const Line& l : lines) summary.totalLength += std::hypot(l.a.x - l.b.x, l.a.y - l.b.y);
    summary.crossings = FindCrossings(lines).pairs;
    return summary;
}

void WriteBoardSvg(Board& board, const std::string& path, const std::string& title) {
    const std::vector<Line> lines = ShownLines(board);
    const Crossings crossings = FindCrossings(lines);
    RatsnestSummary summary;
    summary.connections = static_cast<int>(lines.size());
    for (const Line& l : lines) summary.totalLength += std::hypot(l.a.x - l.b.x, l.a.y - l.b.y);
    summary.crossings = crossings.pairs;

    std::vector<Primitive*> objects;
    for (Primitive* prim : board.Objects())
        if (board.Listed(prim)) objects.push_back(prim);
    const geom::Bounds extent = Extent(objects);

    // Every size follows the board's, so small and large boards read alike.
    const double boardW = Frame::L(extent.right - extent.left);
    const double boardH = Frame::L(extent.top - extent.bottom);
    const double span = std::max({boardW, boardH, 1.0});
    const double font = std::clamp(span * 0.035, 0.8, 12.0);
    const double titleFont = font * 1.4;
    const double margin = std::max(span * 0.05, font);
    const double header = titleFont * 2;
    const double charWidth = 0.6;  // of the font size, for sans-serif text
    const double width =
        std::max({boardW + 2 * margin,
                  static_cast<double>(title.size()) * charWidth * titleFont + 2 * margin,
                  26 * charWidth * font + 2 * margin});
    const Frame f(extent, (width - boardW) / 2, header + margin);

    // The legend: three lines of numbers, then the layer swatches in rows.
    std::map<int, std::vector<Primitive*>> byLayer;
    for (Primitive* prim : objects) {
        const int k = prim->Kind();
        if (k == host::eTrackObject || k == host::eArcObject || k == host::eFillObject ||
            k == host::eRegionObject)
            byLayer[prim->LayerOf()].push_back(prim);
    }
    std::vector<int> drawOrder;
    if (byLayer.count(host::eBottomLayer)) drawOrder.push_back(host::eBottomLayer);
    for (const auto& [layer, prims] : byLayer)
        if (layer != host::eTopLayer && layer != host::eBottomLayer) drawOrder.push_back(layer);
    if (byLayer.count(host::eTopLayer)) drawOrder.push_back(host::eTopLayer);
    struct Swatch {
        std::string name;
        std::string colour;
        bool outline;
        double x, y;
    };
    std::vector<Swatch> swatches;
    for (int layer : drawOrder)
        swatches.push_back({LayerNameText(layer), LayerColour(layer), false, 0, 0});
    swatches.push_back(
        {LayerNameText(host::eMultiLayer), LayerColour(host::eMultiLayer), false, 0, 0});
    swatches.push_back({"swappable", "#30f0f0", true, 0, 0});
    const double legendTop = header + boardH + 2 * margin + font;
    const double swatchFont = font * 0.8;
    double sx = margin, sy = legendTop + 3 * 1.5 * font;
    for (Swatch& sw : swatches) {
        const double need =
            swatchFont * 1.4 + static_cast<double>(sw.name.size()) * charWidth * swatchFont;
        if (sx > margin && sx + need > width - margin) {
            sx = margin;
            sy += swatchFont * 1.6;
        }
        sw.x = sx;
        sw.y = sy;
        sx += need + swatchFont * 1.5;
    }
    const double height = sy + swatchFont * 1.6 + margin;
    const double pxPerMm = std::clamp(1400.0 / std::max(width, height), 2.0, 40.0);

    std::ostringstream out;
    // Nothing is stroked unless it says so (simple renderers stroke by default).
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << Num(width * pxPerMm)
        << "\" height=\"" << Num(height * pxPerMm) << "\" viewBox=\"0 0 " << Num(width) << " "
        << Num(height) << "\" stroke=\"none\" font-family=\"Helvetica, Arial, sans-serif\">\n";
    out << "<rect x=\"0\" y=\"0\" width=\"" << Num(width) << "\" height=\"" << Num(height)
        << "\" fill=\"#1e1e1e\"/>\n";
    out << "<text x=\"" << Num(margin) << "\" y=\"" << Num(titleFont * 1.3) << "\" font-size=\""
        << Num(titleFont) << "\" font-weight=\"bold\" fill=\"#f0f0f0\">" << Escape(title)
        << "</text>\n";
    // The substrate, a margin's half around the copper.
    out << "<rect x=\"" << Num(f.X(extent.left) - margin / 2) << "\" y=\""
        << Num(header + margin / 2) << "\" width=\"" << Num(boardW + margin) << "\" height=\""
        << Num(boardH + margin) << "\" rx=\"" << Num(margin / 4)
        << "\" fill=\"#0f3d22\" stroke=\"#2f6d42\" stroke-width=\"" << Num(margin / 20) << "\"/>\n";

    // Copper from the bottom up: bottom, inner layers, top; then multi-layer objects.
    for (int layer : drawOrder) {
        out << "<g id=\"layer-" << layer << "\" opacity=\"0.85\">\n";
        for (Primitive* prim : byLayer[layer]) DrawPrimitive(out, f, prim, LayerColour(layer));
        out << "</g>\n";
    }

    out << "<g id=\"pads\">\n";
    for (Primitive* prim : objects) {
        if (prim->Kind() != host::ePadObject) continue;
        auto* pad = static_cast<Pad*>(prim);
        const Component* owner = pad->ComponentOf();
        DrawPad(out, f, pad, owner && (owner->PinSwap() || owner->PartSwap()));
    }
    out << "</g>\n<g id=\"vias\">\n";
    for (Primitive* prim : objects) {
        if (prim->Kind() != host::eViaObject) continue;
        auto* via = static_cast<Via*>(prim);
        const double x = f.X(via->CentreX()), y = f.Y(via->CentreY()), r = f.L(via->Size()) / 2;
        out << "<circle cx=\"" << Num(x) << "\" cy=\"" << Num(y) << "\" r=\"" << Num(r)
            << "\" fill=\"#b8b8b8\"/>\n<circle cx=\"" << Num(x) << "\" cy=\"" << Num(y) << "\" r=\""
            << Num(r / 2) << "\" fill=\"#101010\"/>\n";
    }
    const double labelFont = font * 0.55;
    out << "</g>\n<g id=\"designators\" font-size=\"" << Num(labelFont)
        << "\" fill=\"#e8e8e8\" text-anchor=\"middle\">\n";
    for (Component* component : board.Components()) {
        if (component->Pads().empty()) continue;
        double top = std::numeric_limits<double>::lowest(),
               left = std::numeric_limits<double>::max(),
               right = std::numeric_limits<double>::lowest();
        for (Pad* pad : component->Pads()) {
            const geom::Bounds e = pad->Extent();
            top = std::max(top, e.top);
            left = std::min(left, e.left);
            right = std::max(right, e.right);
        }
        out << "<text x=\"" << Num(f.X((left + right) / 2)) << "\" y=\""
            << Num(f.Y(top) - labelFont * 0.4) << "\">" << Escape(component->Designator())
            << "</text>\n";
    }

    const double lineWidth = std::clamp(span / 400, 0.04, 0.5);
    out << "</g>\n<g id=\"ratsnest\" stroke-linecap=\"round\">\n";
    for (std::size_t i = 0; i < lines.size(); ++i) {
        out << "<line x1=\"" << Num(f.X(lines[i].a.x)) << "\" y1=\"" << Num(f.Y(lines[i].a.y))
            << "\" x2=\"" << Num(f.X(lines[i].b.x)) << "\" y2=\"" << Num(f.Y(lines[i].b.y))
            << "\" stroke=\"" << (crossings.crossed[i] ? "#ff4040" : "#f0e68c")
            << "\" stroke-width=\"" << Num(lineWidth) << "\"/>\n";
    }
    for (geom::Vec p : crossings.points) {
        out << "<circle cx=\"" << Num(f.X(p.x)) << "\" cy=\"" << Num(f.Y(p.y)) << "\" r=\""
            << Num(lineWidth * 1.8) << "\" fill=\"#ff4040\"/>\n";
    }
    out << "</g>\n";

    // The legend: what the connections amount to, and the colour of each layer drawn.
    const design::DisplayUnit unit = board.Unit();
    out << "<g id=\"legend\" font-size=\"" << Num(font) << "\" fill=\"#f0f0f0\">\n";
    const std::string texts[] = {"Connections: " + std::to_string(summary.connections),
                                 "Total length: " + LengthText(summary.totalLength, unit),
                                 "Crossings: " + std::to_string(summary.crossings)};
    for (int i = 0; i < 3; ++i) {
        out << "<text x=\"" << Num(margin) << "\" y=\"" << Num(legendTop + font + i * 1.5 * font)
            << "\">" << Escape(texts[i]) << "</text>\n";
    }
    for (const Swatch& sw : swatches) {
        const double side = swatchFont;
        out << "<rect x=\"" << Num(sw.x) << "\" y=\"" << Num(sw.y) << "\" width=\"" << Num(side)
            << "\" height=\"" << Num(side) << "\" ";
        if (sw.outline) {
            out << "fill=\"none\" stroke=\"" << sw.colour << "\" stroke-width=\"" << Num(side / 6)
                << "\"/>\n";
        } else {
            out << "fill=\"" << sw.colour << "\"/>\n";
        }
        out << "<text x=\"" << Num(sw.x + side * 1.4) << "\" y=\"" << Num(sw.y + side * 0.9)
            << "\" font-size=\"" << Num(swatchFont) << "\">" << Escape(sw.name) << "</text>\n";
    }
    out << "</g>\n</svg>\n";

    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file) throw std::runtime_error("cannot write " + path);
    file << out.str();
    if (!file.flush()) throw std::runtime_error("cannot write " + path);
}

}  // namespace hostapp
