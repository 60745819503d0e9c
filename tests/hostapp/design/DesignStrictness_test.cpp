// Reading refuses every kind of bad input with the JSON path of the culprit. Each case makes
// one change to a valid design (the small fixture) and names where reading must stop.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>

#include "hostapp/design/DesignFile.h"
#include "hostapp/design/DesignTestFiles.h"

namespace {

using hostapp::design::DesignFileError;
using hostapp::design::ParseDesign;
using Json = nlohmann::ordered_json;

struct BadEdit {
    const char* name;
    const char* op;  // JSON patch operation on the fixture
    const char* target;
    const char* value;  // JSON text; unused for "remove"
    const char* expectedPath;
    const char* reasonContains;
};

std::ostream& operator<<(std::ostream& out, const BadEdit& edit) {
    return out << edit.name;
}

const Json& Fixture() {
    static const Json fixture =
        Json::parse(design_test::ReadText(design_test::FixturePath("design-small.json")));
    return fixture;
}

class DesignStrictness : public ::testing::TestWithParam<BadEdit> {};

TEST_P(DesignStrictness, RefusesWithPathAndReason) {
    const BadEdit& edit = GetParam();
    Json operation = {{"op", edit.op}, {"path", edit.target}};
    if (std::string(edit.op) != "remove") operation["value"] = Json::parse(edit.value);
    const std::string text = Fixture().patch(Json::array({operation})).dump(2);
    try {
        ParseDesign(text, "bad.json");
        FAIL() << "read without complaint";
    } catch (const DesignFileError& error) {
        EXPECT_EQ(error.file(), "bad.json");
        EXPECT_EQ(error.jsonPath(), edit.expectedPath) << error.what();
        EXPECT_NE(error.reason().find(edit.reasonContains), std::string::npos) << error.what();
    }
}

const BadEdit kBadEdits[] = {
    // The file itself.
    {"FormatWrong", "replace", "/format", R"("other-design")", "/format", "tessaro-design"},
    {"FormatMissing", "remove", "/format", "", "/format", "missing"},
    {"VersionTwo", "replace", "/version", "2", "/version", "not supported"},
    {"VersionAsText", "replace", "/version", R"("1")", "/version", "not supported"},
    {"UnitUnknown", "replace", "/unit", R"("inch")", "/unit", "unknown unit"},
    {"UnitMissing", "remove", "/unit", "", "/unit", "missing"},
    {"UnknownTopKey", "add", "/boards", "{}", "/boards", "unknown key"},
    // Unknown keys anywhere, with their own path.
    {"UnknownTrackKey", "add", "/board/tracks/1/wdith", "0.2", "/board/tracks/1/wdith",
     "unknown key"},
    {"UnknownPinKey", "add", "/schematics/0/components/1/pins/0/swap", R"("1")",
     "/schematics/0/components/1/pins/0/swap", "unknown key"},
    {"UnknownKeyNeedsEscaping", "add", "/project/swapping/all~1pins", "true",
     "/project/swapping/all~1pins", "unknown key"},
    // Wrong types.
    {"LengthAsText", "replace", "/board/tracks/1/width", R"("0.25")", "/board/tracks/1/width",
     "expected a number"},
    {"SwitchAsText", "replace", "/project/saved", R"("yes")", "/project/saved",
     "expected true or false"},
    {"NameAsNumber", "replace", "/schematics/0/components/0/pins/1/pinSwap", "1",
     "/schematics/0/components/0/pins/1/pinSwap", "expected a string"},
    {"PartWithFraction", "replace", "/schematics/0/components/0/part", "1.5",
     "/schematics/0/components/0/part", "whole number"},
    {"ProjectAsArray", "replace", "/project", "[]", "/project", "expected an object"},
    {"TracksAsObject", "replace", "/board/tracks", "{}", "/board/tracks", "expected an array"},
    {"DevicesAsObject", "replace", "/devices", "{}", "/devices", "expected an array"},
    // Required keys.
    {"TrackWidthMissing", "remove", "/board/tracks/0/width", "", "/board/tracks/0/width",
     "missing"},
    {"BoardFileMissing", "remove", "/board/file", "", "/board/file", "missing"},
    {"PinDesignatorEmpty", "replace", "/schematics/0/components/0/pins/3/designator", R"("")",
     "/schematics/0/components/0/pins/3/designator", "must not be empty"},
    // Nets: every net named on the board, in the schematic or in a pair is listed.
    {"TrackNetUnlisted", "replace", "/board/tracks/1/net", R"("D9")", "/board/tracks/1/net",
     "not listed in /board/nets"},
    {"ComponentPadNetUnlisted", "replace", "/board/components/1/pads/2/net", R"("R3")",
     "/board/components/1/pads/2/net", "not listed"},
    {"FreePadNetUnlisted", "replace", "/board/pads/0/net", R"("X")", "/board/pads/0/net",
     "not listed"},
    {"ViaNetUnlisted", "replace", "/board/vias/1/net", R"("X")", "/board/vias/1/net", "not listed"},
    {"ArcNetUnlisted", "replace", "/board/arcs/0/net", R"("X")", "/board/arcs/0/net", "not listed"},
    {"FillNetUnlisted", "replace", "/board/fills/0/net", R"("X")", "/board/fills/0/net",
     "not listed"},
    {"RegionNetUnlisted", "replace", "/board/regions/0/net", R"("X")", "/board/regions/0/net",
     "not listed"},
    {"SchematicPinNetUnlisted", "replace", "/schematics/0/components/0/pins/2/net", R"("d2")",
     "/schematics/0/components/0/pins/2/net", "not listed"},
    {"ProjectPairNetUnlisted", "replace", "/project/differentialPairs/0/negative", R"("CLK_M")",
     "/project/differentialPairs/0/negative", "not listed"},
    {"BoardPairNetUnlisted", "replace", "/board/differentialPairs/0/positive", R"("CLKP")",
     "/board/differentialPairs/0/positive", "not listed"},
    {"PairOfOneNet", "replace", "/board/differentialPairs/0/negative", R"("CLK_P")",
     "/board/differentialPairs/0/negative", "two different nets"},
    {"NetListedTwice", "add", "/board/nets/-", R"("D0")", "/board/nets/8", "listed twice"},
    {"EmptyNetListed", "add", "/board/nets/0", R"("")", "/board/nets/0", "must not be empty"},
    // Layers.
    {"LayerNameUnknown", "replace", "/board/tracks/1/layer", R"("mid31")", "/board/tracks/1/layer",
     "unknown layer"},
    {"LayerNameCase", "replace", "/board/tracks/1/layer", R"("Top")", "/board/tracks/1/layer",
     "unknown layer"},
    {"LayerNumberUnknown", "replace", "/board/fills/0/layer", "33", "/board/fills/0/layer",
     "unknown layer"},
    {"LayerNumberConnections", "replace", "/board/fills/0/layer", "75", "/board/fills/0/layer",
     "unknown layer"},
    {"PadOnInnerLayer", "replace", "/board/pads/0/layer", R"("mid2")", "/board/pads/0/layer",
     "a pad sits on"},
    {"TrackOnMultiLayer", "replace", "/board/tracks/0/layer", "74", "/board/tracks/0/layer",
     "\"multi\" is not a layer"},
    {"ViaToMultiLayer", "replace", "/board/vias/0/to", R"("multi")", "/board/vias/0/to",
     "\"multi\" is not a layer"},
    {"LayerAsBoolean", "replace", "/board/regions/0/layer", "true", "/board/regions/0/layer",
     "a layer name or number"},
    // Malformed values.
    {"PointOfOneNumber", "replace", "/board/tracks/0/start", "[1]", "/board/tracks/0/start",
     "two numbers"},
    {"PointAsObject", "replace", "/board/vias/0/at", R"({"x": 1, "y": 2})", "/board/vias/0/at",
     "two numbers"},
    {"PointCoordinateAsText", "replace", "/board/pads/0/at/1", R"("5")", "/board/pads/0/at/1",
     "expected a number"},
    {"CoordinateOffTheBoard", "replace", "/board/pads/0/at/0", "1e6", "/board/pads/0/at/0",
     "coordinate range"},
    {"PadShapeUnknown", "replace", "/board/components/0/pads/1/shape", R"("oval")",
     "/board/components/0/pads/1/shape", "unknown pad shape"},
    {"PadSizeNegative", "replace", "/board/components/0/pads/1/size/1", "-0.5",
     "/board/components/0/pads/1/size/1", "negative"},
    {"TrackWidthNegative", "replace", "/board/tracks/1/width", "-0.1", "/board/tracks/1/width",
     "negative"},
    {"ViaDiameterNegative", "replace", "/board/vias/0/diameter", "-1", "/board/vias/0/diameter",
     "negative"},
    {"ArcRadiusNegative", "replace", "/board/arcs/0/radius", "-1", "/board/arcs/0/radius",
     "negative"},
    {"OutlineOfTwoPoints", "replace", "/board/regions/0/outline", "[[0, 0], [1, 1]]",
     "/board/regions/0/outline", "at least 3 points"},
    {"DisplayUnitUnknown", "replace", "/board/displayUnit", R"("inches")", "/board/displayUnit",
     "unknown display unit"},
    {"ComponentKindUnknown", "replace", "/board/components/0/kind", "7", "/board/components/0/kind",
     "between 0 and 6"},
    // Identity.
    {"BoardDesignatorTwice", "replace", "/board/components/2/designator", R"("u1")",
     "/board/components/2/designator", "already used by /board/components/0"},
    {"BoardUniqueIdTwice", "replace", "/board/components/2/uniqueId", R"("C0FFEE02")",
     "/board/components/2/uniqueId", "already used by /board/components/1"},
    {"PartBeyondPartCount", "replace", "/schematics/0/components/1/part", "3",
     "/schematics/0/components/1/part", "beyond partCount"},
    {"SubPartsDisagreeOnDesignator", "replace", "/schematics/0/components/2/designator", R"("RN2")",
     "/schematics/0/components/2/designator", "one designator"},
    {"SubPartsDisagreeOnPartCount", "replace", "/schematics/0/components/2/partCount", "3",
     "/schematics/0/components/2/partCount", "one partCount"},
    {"SubPartPlacedTwice", "replace", "/schematics/0/components/2/part", "1",
     "/schematics/0/components/2/part", "placed twice"},
    {"FileNameTwice", "replace", "/libraries/0/file", R"("Small.sch")", "/libraries/0/file",
     "already used by /schematics/0/file"},
    {"FreeDocumentUnknown", "replace", "/freeDocuments/0", R"("missing.sch")", "/freeDocuments/0",
     "names no sheet"},
    {"FreeDocumentTwice", "add", "/freeDocuments/-", R"("notes.sch")", "/freeDocuments/1",
     "listed twice"},
};

INSTANTIATE_TEST_SUITE_P(BadEdits, DesignStrictness, ::testing::ValuesIn(kBadEdits),
                         [](const auto& info) { return std::string(info.param.name); });

// Problems the JSON text itself has, before any design is seen.
struct BadText {
    const char* name;
    std::string text;
    std::string expectedPath;
    const char* reasonContains;
};

std::ostream& operator<<(std::ostream& out, const BadText& bad) {
    return out << bad.name;
}

class DesignTextStrictness : public ::testing::TestWithParam<BadText> {};

TEST_P(DesignTextStrictness, RefusesWithPathAndReason) {
    const BadText& bad = GetParam();
    try {
        ParseDesign(bad.text, "bad.json");
        FAIL() << "read without complaint";
    } catch (const DesignFileError& error) {
        EXPECT_EQ(error.jsonPath(), bad.expectedPath) << error.what();
        EXPECT_NE(error.reason().find(bad.reasonContains), std::string::npos) << error.what();
    }
}

std::string Repeated(const std::string& step, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) text += step;
    return text;
}

const std::string kHead = R"({"format": "tessaro-design", "version": 1, "unit": "mm", )";

const BadText kBadTexts[] = {
    {"NotJson", "format: tessaro", "", "invalid JSON"},
    {"Empty", "", "", "invalid JSON"},
    {"TrailingText", kHead + R"("devices": []} x)", "", "invalid JSON"},
    {"NotAnObject", "[]", "", "expected an object"},
    {"SyntaxErrorInsideList", kHead + R"("board": {"file": "a.pcb", "nets": ["A", ]}})",
     "/board/nets/1", "invalid JSON"},
    {"DuplicateTopKey", kHead + R"("unit": "mil", "devices": []})", "/unit", "duplicate key"},
    {"DuplicateNestedKey", kHead + R"("board": {"file": "a.pcb", "nets": [], "file": "b.pcb"}})",
     "/board/file", "duplicate key"},
    {"NestedTooDeeply",
     kHead + R"("devices": )" + std::string(100, '[') + std::string(100, ']') + "}",
     // The root object and the devices array count as two of the 64 levels.
     "/devices" + Repeated("/0", 63), "nested deeper"},
    {"NumberTooLarge", kHead + R"("board": {"file": "a.pcb", "pads": [{"at": [1e999, 0]}]}})",
     "/board/pads/0/at/0", "invalid JSON"},
};

INSTANTIATE_TEST_SUITE_P(BadTexts, DesignTextStrictness, ::testing::ValuesIn(kBadTexts),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DesignFileError, MessageNamesFilePathAndReason) {
    try {
        ParseDesign(kHead + R"("board": {"file": "a.pcb", "tracks": [{}]}})", "x/design.json");
        FAIL() << "read without complaint";
    } catch (const DesignFileError& error) {
        EXPECT_STREQ(error.what(), "x/design.json: /board/tracks/0/start: required key is missing");
    }
}

TEST(DesignFileError, ReadingAMissingFileNamesIt) {
    const std::string path = ::testing::TempDir() + "/no-such-design.json";
    try {
        hostapp::design::ReadDesignFile(path);
        FAIL() << "read a file that does not exist";
    } catch (const DesignFileError& error) {
        EXPECT_EQ(error.file(), path);
        EXPECT_NE(error.reason().find("cannot open"), std::string::npos) << error.what();
    }
}

TEST(DesignFileError, ReadingAFolderNamesIt) {
    try {
        hostapp::design::ReadDesignFile(::testing::TempDir());
        FAIL() << "read a folder";
    } catch (const DesignFileError& error) {
        EXPECT_NE(error.reason().find("folder"), std::string::npos) << error.what();
    }
}

// Optional keys may be left out and read as their documented defaults.
TEST(DesignDefaults, OmittedKeysTakeTheirDefaults) {
    const auto design = ParseDesign(kHead + R"("project": {"file": "p.prj"},
                   "schematics": [{"file": "s.sch", "components": [
                       {"uniqueId": "1", "designator": "U1", "pins": [{"designator": "1"}]}]}],
                   "board": {"file": "b.pcb", "components": [{"designator": "U1"}],
                             "vias": [{"at": [0, 0], "diameter": 0.5}]}})",
                                    "defaults.json");
    ASSERT_TRUE(design.project);
    EXPECT_EQ(design.project->kind, "PCB");
    EXPECT_TRUE(design.project->saved && design.project->compiled && design.project->compiles);
    EXPECT_FALSE(design.project->swapping.allPins);
    EXPECT_TRUE(design.project->swapping.whereSchematicAllows);
    const auto& component = design.schematics.at(0).components.at(0);
    EXPECT_EQ(component.part, 1);
    EXPECT_EQ(component.partCount, 1);
    EXPECT_EQ(component.pins.at(0).type, "Passive");
    EXPECT_EQ(component.pins.at(0).net, "");
    ASSERT_TRUE(design.board);
    EXPECT_EQ(design.board->components.at(0).uniqueId, "");
    EXPECT_FALSE(design.board->components.at(0).pinSwap);
    EXPECT_EQ(design.board->vias.at(0).from, 1);
    EXPECT_EQ(design.board->vias.at(0).to, 32);
    EXPECT_EQ(design.devicesJson, "[]");
}

// Without a board there is no net list to check names against.
TEST(DesignDefaults, WithoutBoardSchematicNetsAreFree) {
    const auto design = ParseDesign(kHead + R"("schematics": [{"file": "s.sch", "components": [
                       {"uniqueId": "1", "designator": "U1",
                        "pins": [{"designator": "1", "net": "A"}]}]}]})",
                                    "sheet-only.json");
    EXPECT_FALSE(design.project);
    EXPECT_FALSE(design.board);
    EXPECT_EQ(design.schematics.at(0).components.at(0).pins.at(0).net, "A");
}

}  // namespace
