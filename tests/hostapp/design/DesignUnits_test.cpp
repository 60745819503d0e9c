// Units and layers of design files: values round to whole internal units (10000 to the mil,
// so 25.4 mm = 1000 mil = 10^7), lengths are written back with the fewest digits that read
// back the same, and layers have one name each.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <stdexcept>
#include <string>

#include "hostapp/design/DesignFile.h"

namespace {

using hostapp::design::FromInternal;
using hostapp::design::LayerFromText;
using hostapp::design::LayerToText;
using hostapp::design::LengthToText;
using hostapp::design::ParseDesign;
using hostapp::design::ToInternal;
using hostapp::design::Unit;

struct Conversion {
    double value;
    Unit unit;
    std::int32_t internal;
};

TEST(DesignUnits, ToInternalRoundsToNearestWholeUnit) {
    const Conversion cases[] = {
        {1, Unit::Mil, 10000},
        {0.5, Unit::Mil, 5000},
        {0.00004, Unit::Mil, 0},  // 0.4 internal
        {0.00006, Unit::Mil, 1},  // 0.6 internal
        {-2.5, Unit::Mil, -25000},
        {25.4, Unit::Millimetre, 10000000},
        {0.0254, Unit::Millimetre, 10000},
        {1, Unit::Millimetre, 393701},    // 393700.787...
        {-1, Unit::Millimetre, -393701},  // symmetric about zero
        {0.001, Unit::Millimetre, 394},   // 393.7007...
        {2.5, Unit::Internal, 3},         // halves away from zero
        {-2.5, Unit::Internal, -3},
        {2.4999, Unit::Internal, 2},
        {2147483647, Unit::Internal, 2147483647},
        {-2147483648.0, Unit::Internal, std::numeric_limits<std::int32_t>::min()},
    };
    for (const Conversion& c : cases) {
        EXPECT_EQ(ToInternal(c.value, c.unit), c.internal)
            << c.value << " in unit " << static_cast<int>(c.unit);
    }
}

TEST(DesignUnits, ValuesBeyondTheBoardRangeAreRefused) {
    EXPECT_THROW(ToInternal(2147483648.0, Unit::Internal), std::out_of_range);
    EXPECT_THROW(ToInternal(214749, Unit::Mil), std::out_of_range);
    EXPECT_THROW(ToInternal(5455, Unit::Millimetre), std::out_of_range);
    EXPECT_THROW(ToInternal(std::nan(""), Unit::Mil), std::out_of_range);
    EXPECT_NO_THROW(ToInternal(5454, Unit::Millimetre));
}

TEST(DesignUnits, LengthsAreWrittenWithTheFewestDigits) {
    struct Written {
        std::int32_t internal;
        Unit unit;
        const char* text;
    };
    const Written cases[] = {
        {393701, Unit::Millimetre, "1"},  // "1" mm stays "1"
        {-393701, Unit::Millimetre, "-1"},
        {10000000, Unit::Millimetre, "25.4"},
        {196850, Unit::Millimetre, "0.5"},
        {1, Unit::Millimetre, "0.000003"},  // 1 internal = 0.00000254 mm
        {0, Unit::Millimetre, "0"},
        {10000, Unit::Mil, "1"},
        {12345, Unit::Mil, "1.2345"},
        {-1, Unit::Mil, "-0.0001"},
        {-7, Unit::Internal, "-7"},
    };
    for (const Written& c : cases) {
        EXPECT_EQ(LengthToText(c.internal, c.unit), c.text) << c.internal;
    }
}

// Every internal value, written in any unit, reads back as itself.
TEST(DesignUnits, WrittenLengthsReadBackExactly) {
    std::uint64_t state = 12345;
    for (int i = 0; i < 20000; ++i) {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        const auto value = static_cast<std::int32_t>(state >> 32);
        for (Unit unit : {Unit::Millimetre, Unit::Mil, Unit::Internal}) {
            const std::string text = LengthToText(value, unit);
            ASSERT_EQ(ToInternal(std::stod(text), unit), value) << text;
            // One decimal fewer, however rounded, no longer reads back as the value.
            const std::size_t point = text.find('.');
            if (point == std::string::npos) continue;
            const int decimals = static_cast<int>(text.size() - point - 1);
            char shorter[64];
            std::snprintf(shorter, sizeof shorter, "%.*f", decimals - 1, FromInternal(value, unit));
            ASSERT_NE(ToInternal(std::stod(shorter), unit), value) << text << " " << shorter;
        }
    }
}

TEST(DesignLayers, NamesAndNumbersMatch) {
    EXPECT_EQ(LayerToText(1), "top");
    EXPECT_EQ(LayerToText(2), "mid1");
    EXPECT_EQ(LayerToText(31), "mid30");
    EXPECT_EQ(LayerToText(32), "bottom");
    EXPECT_EQ(LayerToText(74), "multi");
    for (int layer = 1; layer <= 32; ++layer) {
        EXPECT_EQ(LayerFromText(LayerToText(layer)), layer);
    }
    EXPECT_EQ(LayerFromText("multi"), 74);
}

TEST(DesignLayers, OtherNamesAreNoLayers) {
    for (const char* name : {"mid0", "mid31", "mid01", "Mid1", "TOP", "top ", "", "mid", "mid-1",
                             "mid+1", "1", "layer1", "multilayer"}) {
        EXPECT_FALSE(LayerFromText(name).has_value()) << name;
    }
}

// In a file, a layer may be given by name or by the host's number; both read the same and
// write back as the name.
TEST(DesignLayers, NumbersInAFileReadAsLayers) {
    const std::string text = R"({"format": "tessaro-design", "version": 1, "unit": "mil",
        "board": {"file": "b.pcb",
          "pads": [{"at": [0, 0], "layer": 74, "size": [10, 10]}],
          "tracks": [{"start": [0, 0], "end": [1, 0], "width": 1, "layer": 2},
                     {"start": [0, 0], "end": [1, 0], "width": 1, "layer": "mid1"}],
          "vias": [{"at": [0, 0], "diameter": 4, "from": 1, "to": 32}]}})";
    const auto design = ParseDesign(text, "layers.json");
    EXPECT_EQ(design.board->pads[0].layer, 74);
    EXPECT_EQ(design.board->tracks[0].layer, 2);
    EXPECT_EQ(design.board->tracks[1].layer, 2);
    EXPECT_EQ(design.board->vias[0].from, 1);
    EXPECT_EQ(design.board->vias[0].to, 32);
    const std::string written = hostapp::design::SerializeDesign(design);
    EXPECT_NE(written.find(R"("layer": "multi")"), std::string::npos);
    EXPECT_EQ(written.find(R"("layer": 2)"), std::string::npos);
}

// Coordinates in the file's unit arrive in internal units.
TEST(DesignUnits, FileUnitAppliesToEveryLength) {
    const std::string head = R"({"format": "tessaro-design", "version": 1, "unit": ")";
    const std::string board = R"(", "board": {"file": "b.pcb",
        "tracks": [{"start": [1, -2], "end": [0.5, 0], "width": 0.25, "layer": "top"}],
        "arcs": [{"center": [0, 0], "radius": 3, "startAngle": -45, "endAngle": 90.5,
                  "width": 0.1, "layer": "bottom"}]}})";
    for (Unit unit : {Unit::Millimetre, Unit::Mil, Unit::Internal}) {
        const auto design = ParseDesign(head + hostapp::design::UnitToText(unit) + board, "u.json");
        const auto& track = design.board->tracks.at(0);
        EXPECT_EQ(track.start.x, ToInternal(1, unit));
        EXPECT_EQ(track.start.y, ToInternal(-2, unit));
        EXPECT_EQ(track.end.x, ToInternal(0.5, unit));
        EXPECT_EQ(track.width, ToInternal(0.25, unit));
        const auto& arc = design.board->arcs.at(0);
        EXPECT_EQ(arc.radius, ToInternal(3, unit));
        // Angles are degrees whatever the unit.
        EXPECT_EQ(arc.startAngle, -45);
        EXPECT_EQ(arc.endAngle, 90.5);
    }
}

}  // namespace
