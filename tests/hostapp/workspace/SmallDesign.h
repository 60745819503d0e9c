// A small design for the workspace tests: a PCB project with two sheets, a library and a
// board. U1 is a two-part component whose second part is placed after R1; C1 has no board
// partner and J9 no schematic partner.
#pragma once

#include <string>
#include <vector>

#include "hostapp/design/DesignData.h"

namespace workspace_test {

using hostapp::design::DesignData;

constexpr const char* Folder = "/designs/demo";
constexpr const char* U1Id = "\\SHEET1\\C0FFEE01";  // the board has "C0FFEE01"

hostapp::design::SchPinData Pin(std::string designator, std::string net, std::string pinSwap = "");
hostapp::design::SchComponentData Placed(std::string designator, std::string uniqueId, int part,
                                         int partCount,
                                         std::vector<hostapp::design::SchPinData> pins);
hostapp::design::BoardComponentData Footprint(std::string designator, std::string uniqueId,
                                              const std::vector<std::string>& padNames);
DesignData SmallDesign();

// The full path of a document of SmallDesign.
std::string PathOf(const std::string& fileName);

}  // namespace workspace_test
