#include "hostapp/workspace/SmallDesign.h"

#include <utility>

namespace workspace_test {

using namespace hostapp::design;

SchPinData Pin(std::string designator, std::string net, std::string pinSwap) {
    SchPinData pin;
    pin.name = "P" + designator;
    pin.designator = std::move(designator);
    pin.net = std::move(net);
    pin.pinSwap = std::move(pinSwap);
    return pin;
}

SchComponentData Placed(std::string designator, std::string uniqueId, int part, int partCount,
                        std::vector<SchPinData> pins) {
    SchComponentData component;
    component.designator = std::move(designator);
    component.uniqueId = std::move(uniqueId);
    component.part = part;
    component.partCount = partCount;
    component.pins = std::move(pins);
    return component;
}

BoardComponentData Footprint(std::string designator, std::string uniqueId,
                             const std::vector<std::string>& padNames) {
    BoardComponentData component;
    component.designator = std::move(designator);
    component.uniqueId = std::move(uniqueId);
    std::int32_t x = 0;
    for (const auto& name : padNames) {
        PadData pad;
        pad.name = name;
        pad.at = Point{x, 0};
        pad.shape = PadShape::Rectangular;
        pad.sizeX = 15000;
        pad.sizeY = 6000;
        component.pads.push_back(pad);
        x += 254000;
    }
    return component;
}

DesignData SmallDesign() {
    DesignData design;
    ProjectData project;
    project.file = "demo.prj";
    design.project = project;

    SheetData main{"main.sch", {}};
    main.components.push_back(
        Placed("U1", U1Id, 1, 2, {Pin("1", "A", "1"), Pin("2", "B", "1"), Pin("3", "OUT1")}));
    main.components.push_back(Placed("R1", "R0000001", 1, 1, {Pin("1", "A"), Pin("2", "GND")}));
    main.components.push_back(
        Placed("U1", U1Id, 2, 2, {Pin("4", "C", "1"), Pin("5", "D", "1"), Pin("6", "")}));
    main.components.back().device = "XC7A35T";
    design.schematics.push_back(main);
    design.schematics.push_back(SheetData{
        "power.sch", {Placed("C1", "CAP00001", 1, 1, {Pin("1", "VCC"), Pin("2", "GND")})}});

    SheetData library{"parts.lib", {}};
    library.components.push_back(Placed("U?", "LIB7408", 2, 2, {Pin("4", "", "2")}));
    library.components.push_back(Placed("U?", "LIB7408", 1, 2, {Pin("1", "", "1")}));
    design.libraries.push_back(library);

    BoardData board;
    board.file = "demo.pcb";
    board.nets = {"A", "B", "C", "D", "GND", "VCC", "OUT1"};
    board.components.push_back(Footprint("U1", "C0FFEE01", {"1", "2", "3", "4", "5", "6"}));
    board.components.push_back(Footprint("R1", "r0000001", {"1", "2"}));
    board.components.push_back(Footprint("J9", "J9000001", {"1"}));
    design.board = board;
    return design;
}

std::string PathOf(const std::string& fileName) {
    return std::string(Folder) + "/" + fileName;
}

}  // namespace workspace_test
