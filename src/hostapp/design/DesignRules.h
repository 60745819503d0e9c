// What reading and writing agree on beyond units and layer names: which layers each kind of
// object may sit on, and the words for shapes and display units.
#pragma once

#include <optional>
#include <string>

#include "hostapp/design/DesignData.h"

namespace hostapp::design::detail {

constexpr int kTopLayer = 1;
constexpr int kBottomLayer = 32;
constexpr int kMultiLayer = 74;

// Pads sit on the top or bottom layer, or on every layer (through-hole).
inline bool IsPadLayer(int layer) {
    return layer == kTopLayer || layer == kBottomLayer || layer == kMultiLayer;
}
// Tracks, arcs, fills, regions and via ends lie on one signal layer.
inline bool IsSignalLayer(int layer) {
    return layer >= kTopLayer && layer <= kBottomLayer;
}

inline std::string PadShapeToText(PadShape shape) {
    switch (shape) {
        case PadShape::Round:
            return "round";
        case PadShape::Rectangular:
            return "rect";
        case PadShape::Rounded:
            return "rounded";
    }
    return "round";
}

inline std::optional<PadShape> PadShapeFromText(const std::string& text) {
    if (text == "round") return PadShape::Round;
    if (text == "rect") return PadShape::Rectangular;
    if (text == "rounded") return PadShape::Rounded;
    return std::nullopt;
}

inline std::string DisplayUnitToText(DisplayUnit unit) {
    return unit == DisplayUnit::Imperial ? "imperial" : "metric";
}

// The highest component kind the host knows (0 standard, 3 and 4 net ties).
constexpr int kMaxComponentKind = 6;

}  // namespace hostapp::design::detail
