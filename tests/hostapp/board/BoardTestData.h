// Small boards for the board and drawing tests, written in millimetres.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "hostapp/design/DesignData.h"

namespace boardtest {

namespace d = hostapp::design;

constexpr double kUnitsPerMm = 10000.0 * 1000.0 / 25.4;

inline std::int32_t Mm(double mm) {
    return static_cast<std::int32_t>(std::lround(mm * kUnitsPerMm));
}
inline double ToMm(double units) {
    return units / kUnitsPerMm;
}
inline d::Point At(double x, double y) {
    return {Mm(x), Mm(y)};
}

inline d::PadData Pad(std::string name, double x, double y, std::string net, int layer = 1,
                      d::PadShape shape = d::PadShape::Round, double sizeX = 1.0,
                      double sizeY = 1.0) {
    d::PadData p;
    p.name = std::move(name);
    p.at = At(x, y);
    p.layer = layer;
    p.shape = shape;
    p.sizeX = Mm(sizeX);
    p.sizeY = Mm(sizeY);
    p.net = std::move(net);
    return p;
}

inline d::TrackData Track(double x1, double y1, double x2, double y2, std::string net,
                          int layer = 1, double width = 0.2) {
    d::TrackData t;
    t.start = At(x1, y1);
    t.end = At(x2, y2);
    t.width = Mm(width);
    t.layer = layer;
    t.net = std::move(net);
    return t;
}

inline d::ViaData Via(double x, double y, std::string net, int from = 1, int to = 32,
                      double diameter = 0.6) {
    d::ViaData v;
    v.at = At(x, y);
    v.diameter = Mm(diameter);
    v.from = from;
    v.to = to;
    v.net = std::move(net);
    return v;
}

inline d::ArcData Arc(double cx, double cy, double radius, double start, double end,
                      std::string net, int layer = 1, double width = 0.2) {
    d::ArcData a;
    a.center = At(cx, cy);
    a.radius = Mm(radius);
    a.startAngle = start;
    a.endAngle = end;
    a.width = Mm(width);
    a.layer = layer;
    a.net = std::move(net);
    return a;
}

inline d::BoardComponentData Component(std::string designator, std::string uniqueId,
                                       std::vector<d::PadData> pads, bool pinSwap = false) {
    d::BoardComponentData c;
    c.designator = std::move(designator);
    c.uniqueId = std::move(uniqueId);
    c.pinSwap = pinSwap;
    c.pads = std::move(pads);
    return c;
}

inline d::BoardData Board(std::vector<std::string> nets) {
    d::BoardData b;
    b.file = "test.pcb";
    b.nets = std::move(nets);
    return b;
}

}  // namespace boardtest
