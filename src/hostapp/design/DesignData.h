// A design file in memory: plain values, every length and coordinate already in the host's
// internal units (10000 to the mil), every layer as the host's layer number. Reading and
// writing live in DesignFile.h; the live documents are built from this in HostApplication.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace hostapp::design {

enum class Unit { Millimetre, Mil, Internal };

struct Point {
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct DifferentialPairData {
    std::string name;
    std::string positive;  // net names
    std::string negative;
};

struct SwapSettings {
    bool allPins = false;
    bool whereSchematicAllows = true;
};

struct ProjectData {
    std::string file;
    std::string kind = "PCB";
    bool saved = true;
    bool compiled = true;
    bool compiles = true;
    SwapSettings swapping;
    std::vector<DifferentialPairData> differentialPairs;
};

struct SchPinData {
    std::string designator;
    std::string name;
    std::string type = "Passive";
    std::string net;  // "" for none
    // The four swap attributes, exactly as stored.
    std::string pinSwap;
    std::string partSwap;
    std::string sequence;
    std::string pairSwap;
};

// One placed sub-part; entries sharing uniqueId are the sub-parts of one component.
struct SchComponentData {
    std::string uniqueId;
    std::string designator;
    std::string comment;
    std::string footprint;
    std::string libraryReference;
    std::string device;
    int part = 1;
    int partCount = 1;
    std::vector<SchPinData> pins;
};

struct SheetData {
    std::string file;
    std::vector<SchComponentData> components;
};

enum class PadShape { Round, Rectangular, Rounded };

struct PadData {
    std::string name;
    Point at;
    int layer = 1;  // 1 top, 32 bottom, 74 multi-layer (through-hole)
    PadShape shape = PadShape::Round;
    std::int32_t sizeX = 0;
    std::int32_t sizeY = 0;
    std::string net;
};

struct BoardComponentData {
    std::string uniqueId;
    std::string designator;
    int kind = 0;  // 0 standard, 3 and 4 net ties
    bool pinSwap = false;
    bool partSwap = false;
    std::vector<PadData> pads;
};

struct TrackData {
    Point start;
    Point end;
    std::int32_t width = 0;
    int layer = 1;
    std::string net;
};

struct ArcData {
    Point center;
    std::int32_t radius = 0;
    double startAngle = 0;  // degrees
    double endAngle = 0;
    std::int32_t width = 0;
    int layer = 1;
    std::string net;
};

struct ViaData {
    Point at;
    std::int32_t diameter = 0;
    int from = 1;
    int to = 32;
    std::string net;
};

struct FillData {
    Point corner1;
    Point corner2;
    int layer = 1;
    std::string net;
};

struct RegionData {
    std::vector<Point> outline;
    int layer = 1;
    std::string net;
};

enum class DisplayUnit { Metric, Imperial };

struct BoardData {
    std::string file;
    DisplayUnit displayUnit = DisplayUnit::Metric;
    std::vector<std::string> nets;
    std::vector<DifferentialPairData> differentialPairs;
    std::vector<BoardComponentData> components;
    std::vector<PadData> pads;  // free pads
    std::vector<TrackData> tracks;
    std::vector<ArcData> arcs;
    std::vector<ViaData> vias;
    std::vector<FillData> fills;
    std::vector<RegionData> regions;
};

struct DesignData {
    Unit unit = Unit::Millimetre;
    std::optional<ProjectData> project;  // none: every document is a free document
    std::vector<SheetData> schematics;
    std::vector<SheetData> libraries;
    std::vector<std::string> freeDocuments;
    std::optional<BoardData> board;
    std::string devicesJson = "[]";  // kept as written until device data has a model
};

}  // namespace hostapp::design
