// Drawing a board as SVG: copper by layer, pads, vias, the unrouted connections with their
// crossings marked, swappable components outlined, and a legend.
#pragma once

#include <cstdint>
#include <string>

namespace hostapp {

class Board;

// What the legend states about the board's unrouted connections.
struct RatsnestSummary {
    int connections = 0;
    double totalLength = 0;  // internal units
    int crossings = 0;
};

RatsnestSummary SummariseRatsnest(Board& board);
void WriteBoardSvg(Board& board, const std::string& path, const std::string& title);

}  // namespace hostapp
