// Writing is byte-stable: a written design reads and writes back to the same bytes, in every
// unit, and saving replaces a file only with a design that reads again.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "hostapp/design/DesignFile.h"
#include "hostapp/design/DesignTestFiles.h"

namespace {

namespace fs = std::filesystem;
using hostapp::design::DesignData;
using hostapp::design::DesignFileError;
using hostapp::design::ParseDesign;
using hostapp::design::SerializeDesign;
using hostapp::design::Unit;

// Files that were written by SerializeDesign and must read back byte for byte.
class CanonicalFile : public ::testing::TestWithParam<std::string> {};

TEST_P(CanonicalFile, ReadsAndWritesBackIdentically) {
    const std::string text = design_test::ReadText(GetParam());
    EXPECT_EQ(SerializeDesign(ParseDesign(text, GetParam())), text);
}

INSTANTIATE_TEST_SUITE_P(Files, CanonicalFile,
                         ::testing::Values(design_test::FixturePath("design-small.json"),
                                           design_test::ExamplePath("demo.json")));

// A design written in another unit holds the same internal values: converting the fixture
// to mil or internal units and back gives the fixture's own bytes.
TEST(DesignRoundTrip, EveryUnitKeepsEveryValue) {
    const std::string path = design_test::FixturePath("design-small.json");
    const std::string original = design_test::ReadText(path);
    for (Unit unit : {Unit::Mil, Unit::Internal, Unit::Millimetre}) {
        DesignData design = ParseDesign(original, path);
        design.unit = unit;
        const std::string converted = SerializeDesign(design);
        DesignData back = ParseDesign(converted, "converted.json");
        EXPECT_EQ(SerializeDesign(back), converted) << hostapp::design::UnitToText(unit);
        back.unit = Unit::Millimetre;
        EXPECT_EQ(SerializeDesign(back), original) << hostapp::design::UnitToText(unit);
    }
}

// Hand-written files in any spacing, key order and spelling of numbers and layers settle on
// the canonical text after one save, and stay there.
TEST(DesignRoundTrip, HandWrittenFilesSettleAfterOneSave) {
    const std::string text = R"({"unit":"mm","version":1,"format":"tessaro-design",
        "board":{"nets":["A"],"file":"b.pcb","tracks":[
            {"net":"A","layer":1,"width":0.250,"end":[1.0E1,-0],"start":[0.0,1.000]}],
          "arcs":[{"center":[0,0],"radius":1,"startAngle":-0.0,"endAngle":1e2,"width":0.1,
                   "layer":"mid30"}]},
        "devices":[{"name":"D1","pins":[{"name":"A1","bank":"14"}],"speed":-1.5,"x":null}]})";
    const std::string once = SerializeDesign(ParseDesign(text, "hand.json"));
    EXPECT_EQ(SerializeDesign(ParseDesign(once, "once.json")), once);
    EXPECT_NE(once.find(R"({ "start": [0, 1], "end": [10, 0], "width": 0.25, "layer": "top", )"
                        R"("net": "A" })"),
              std::string::npos)
        << once;
    EXPECT_NE(once.find(R"("startAngle": 0, "endAngle": 100)"), std::string::npos) << once;
}

// Device data is not interpreted yet: it is kept, member order and all.
TEST(DesignRoundTrip, DevicesAreKeptAsWritten) {
    const std::string text = R"({"format": "tessaro-design", "version": 1, "unit": "mm",
        "devices": [{"zeta": 1, "alpha": [1, 2.5, "x"], "nested": {"b": true, "a": null}}]})";
    const DesignData design = ParseDesign(text, "devices.json");
    EXPECT_EQ(design.devicesJson,
              R"([{"zeta":1,"alpha":[1,2.5,"x"],"nested":{"b":true,"a":null}}])");
    const std::string written = SerializeDesign(design);
    EXPECT_EQ(ParseDesign(written, "written.json").devicesJson, design.devicesJson);
}

TEST(DesignRoundTrip, ValuesNoFileCanHoldAreRefusedWhenWriting) {
    DesignData design;
    design.board.emplace();
    design.board->file = "b.pcb";
    design.board->tracks.push_back({{0, 0}, {1, 1}, 10, 75, ""});  // the connection layer
    EXPECT_THROW(SerializeDesign(design), std::invalid_argument);

    DesignData devices;
    devices.devicesJson = R"({"not": "an array"})";
    EXPECT_THROW(SerializeDesign(devices), std::invalid_argument);

    DesignData text;
    text.freeDocuments.push_back("bad\xff.sch");
    EXPECT_THROW(SerializeDesign(text), std::invalid_argument);
}

class DesignFileOnDisk : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = fs::path(::testing::TempDir()) /
                  ("design-file-" +
                   std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    static DesignData Small() {
        return hostapp::design::ReadDesignFile(design_test::FixturePath("design-small.json"));
    }

    fs::path folder_;
};

TEST_F(DesignFileOnDisk, WriteReplacesTheFileAndLeavesNothingElse) {
    const std::string path = (folder_ / "design.json").string();
    std::ofstream(path) << "old contents";
    const DesignData design = Small();
    hostapp::design::WriteDesignFile(design, path);
    EXPECT_EQ(design_test::ReadText(path), SerializeDesign(design));
    int files = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder_)) ++files;
    EXPECT_EQ(files, 1);  // no temporary file left beside it
    EXPECT_EQ(SerializeDesign(hostapp::design::ReadDesignFile(path)), SerializeDesign(design));
}

// A design that would not read back (here: a pad on a net the board does not list) is not
// written, and the file that was there stays as it was.
TEST_F(DesignFileOnDisk, UnreadableDesignLeavesTheOldFile) {
    const std::string path = (folder_ / "design.json").string();
    DesignData design = Small();
    hostapp::design::WriteDesignFile(design, path);
    const std::string before = design_test::ReadText(path);

    design.board->components.at(0).pads.at(0).net = "NOT_A_NET";
    try {
        hostapp::design::WriteDesignFile(design, path);
        FAIL() << "wrote a design that does not read back";
    } catch (const DesignFileError& error) {
        EXPECT_EQ(error.jsonPath(), "/board/components/0/pads/0/net");
    }
    EXPECT_EQ(design_test::ReadText(path), before);
    int files = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder_)) ++files;
    EXPECT_EQ(files, 1);
}

TEST_F(DesignFileOnDisk, WritingIntoAMissingFolderFailsCleanly) {
    const std::string path = (folder_ / "absent" / "design.json").string();
    EXPECT_THROW(hostapp::design::WriteDesignFile(Small(), path), DesignFileError);
    EXPECT_FALSE(fs::exists(folder_ / "absent"));
}

}  // namespace
