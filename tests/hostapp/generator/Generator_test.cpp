// The synthetic design generator: deterministic from its seed, and every design it makes is
// one the plug-in can swap on (groups as asked, schematic and board agreeing, copper on every
// swappable pin).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "generator/BoardGenerator.h"
#include "hostapp/design/DesignFile.h"
#include "hostapp/design/DesignTestFiles.h"

namespace {

using generator::GenerateDesign;
using generator::GeneratorOptions;
using hostapp::design::BoardComponentData;
using hostapp::design::DesignData;
using hostapp::design::PadData;
using hostapp::design::Point;
using hostapp::design::SchComponentData;
using hostapp::design::SerializeDesign;

GeneratorOptions Options(int banks, int pinsPerBank, int memories, int connectors, int networks,
                         int pairs, std::uint32_t seed = 1) {
    GeneratorOptions options;
    options.seed = seed;
    options.banks = banks;
    options.pinsPerBank = pinsPerBank;
    options.memories = memories;
    options.connectors = connectors;
    options.resistorNetworks = networks;
    options.differentialPairs = pairs;
    return options;
}

TEST(GeneratorDeterminism, SameSeedSameBytesOtherSeedOtherBytes) {
    const GeneratorOptions options = Options(3, 20, 1, 2, 2, 3, 42);
    const std::string first = SerializeDesign(GenerateDesign(options));
    EXPECT_EQ(SerializeDesign(GenerateDesign(options)), first);
    GeneratorOptions other = options;
    other.seed = 43;
    EXPECT_NE(SerializeDesign(GenerateDesign(other)), first);
}

// The bundled example is the generator's output for the options its guide records; the
// `tessaro generate` command reproduces it from them.
TEST(GeneratorDeterminism, BundledExampleIsReproducible) {
    const std::string example = design_test::ReadText(design_test::ExamplePath("demo.json"));
    EXPECT_EQ(SerializeDesign(GenerateDesign(Options(4, 64, 2, 2, 2, 4, 1))), example);
}

// The first two balls of the grid are in one bank, so that the guide's examples of a manual
// swap ("--pick U1-A1 --pick U1-A2") pick two pins that may exchange nets.
TEST(GeneratorLayout, FirstBallsShareABank) {
    for (const GeneratorOptions& options :
         {Options(4, 64, 2, 2, 2, 4), Options(2, 3, 0, 1, 0, 0)}) {
        const DesignData design = GenerateDesign(options);
        const auto& pins = design.schematics.at(0).components.at(0).pins;
        ASSERT_EQ(pins.at(0).designator, "A1");
        ASSERT_EQ(pins.at(1).designator, "A2");
        EXPECT_FALSE(pins[0].pinSwap.empty());
        EXPECT_EQ(pins[0].pinSwap, pins[1].pinSwap);
    }
}

TEST(GeneratorOptions, OutOfRangeOptionsAreRefused) {
    EXPECT_THROW(GenerateDesign(Options(-1, 8, 1, 1, 1, 1)), std::invalid_argument);
    EXPECT_THROW(GenerateDesign(Options(2, -8, 1, 1, 1, 1)), std::invalid_argument);
    EXPECT_THROW(GenerateDesign(Options(2, 8, 1, 1, -1, 1)), std::invalid_argument);
    EXPECT_THROW(GenerateDesign(Options(2, 100000, 1, 1, 1, 1)), std::invalid_argument);
}

const BoardComponentData& BoardComponent(const DesignData& design, const std::string& name) {
    for (const BoardComponentData& component : design.board->components) {
        if (component.designator == name) return component;
    }
    throw std::runtime_error("no board component " + name);
}

std::vector<const SchComponentData*> SchParts(const DesignData& design, const std::string& name) {
    std::vector<const SchComponentData*> parts;
    for (const SchComponentData& component : design.schematics.at(0).components) {
        if (component.designator == name) parts.push_back(&component);
    }
    return parts;
}

// Proper crossing of two segments (shared ends do not count).
bool Cross(Point a, Point b, Point c, Point d) {
    auto side = [](Point p, Point q, Point r) {
        const double v = double(q.x - p.x) * (r.y - p.y) - double(q.y - p.y) * (r.x - p.x);
        return (v > 0) - (v < 0);
    };
    return side(a, b, c) * side(a, b, d) < 0 && side(c, d, a) * side(c, d, b) < 0;
}

class GeneratorInvariants : public ::testing::TestWithParam<GeneratorOptions> {
  protected:
    void SetUp() override { design_ = GenerateDesign(GetParam()); }
    DesignData design_;
};

TEST_P(GeneratorInvariants, ReadsBackUnderTheStrictReader) {
    // The reader checks that every net is listed, layers, sizes and designators.
    const std::string text = SerializeDesign(design_);
    EXPECT_EQ(SerializeDesign(hostapp::design::ParseDesign(text, "generated.json")), text);
}

TEST_P(GeneratorInvariants, ProjectAndSwitchesAllowSwapping) {
    ASSERT_TRUE(design_.project && design_.board);
    EXPECT_EQ(design_.project->kind, "PCB");
    EXPECT_TRUE(design_.project->saved && design_.project->compiled && design_.project->compiles);
    EXPECT_FALSE(design_.project->swapping.allPins);
    EXPECT_TRUE(design_.project->swapping.whereSchematicAllows);
    EXPECT_EQ(design_.unit, hostapp::design::Unit::Millimetre);
    EXPECT_TRUE(BoardComponent(design_, "U1").pinSwap);
    ASSERT_EQ(design_.schematics.size(), 1u);
}

TEST_P(GeneratorInvariants, SchematicPinsCarryTheBoardPadNets) {
    std::map<std::string, const BoardComponentData*> byId;
    for (const BoardComponentData& component : design_.board->components) {
        byId[component.uniqueId] = &component;
    }
    std::map<std::string, int> pinsSeen;  // uniqueId -> schematic pins over all sub-parts
    for (const SchComponentData& component : design_.schematics[0].components) {
        ASSERT_EQ(byId.count(component.uniqueId), 1u) << component.designator;
        const BoardComponentData& board = *byId[component.uniqueId];
        EXPECT_EQ(board.designator, component.designator);
        for (const auto& pin : component.pins) {
            const auto pad =
                std::find_if(board.pads.begin(), board.pads.end(),
                             [&](const PadData& p) { return p.name == pin.designator; });
            ASSERT_NE(pad, board.pads.end()) << component.designator << "-" << pin.designator;
            EXPECT_EQ(pin.net, pad->net) << component.designator << "-" << pin.designator;
            ++pinsSeen[component.uniqueId];
        }
    }
    for (const BoardComponentData& component : design_.board->components) {
        EXPECT_EQ(pinsSeen[component.uniqueId], static_cast<int>(component.pads.size()))
            << component.designator;
    }
}

TEST_P(GeneratorInvariants, BanksAreSwapGroupsOfTheAskedSize) {
    const GeneratorOptions& options = GetParam();
    const auto fpga = SchParts(design_, "U1");
    ASSERT_EQ(fpga.size(), 1u);
    std::map<std::string, int> groups;
    int power = 0;
    for (const auto& pin : fpga[0]->pins) {
        if (!pin.pinSwap.empty()) ++groups[pin.pinSwap];
        if (pin.type == "Power") {
            ++power;
            EXPECT_TRUE(pin.pinSwap.empty() && pin.partSwap.empty() && pin.pairSwap.empty() &&
                        pin.sequence.empty());
            EXPECT_TRUE(pin.net == "GND" || pin.net == "VCC");
        }
    }
    EXPECT_GT(power, 0);
    ASSERT_EQ(static_cast<int>(groups.size()), options.pinsPerBank > 0 ? options.banks : 0);
    for (int bank = 1; bank <= options.banks; ++bank) {
        EXPECT_EQ(groups[std::to_string(bank)], options.pinsPerBank) << "bank " << bank;
    }
}

// Balls sit on a 1 mm grid on the top layer; each swappable ball has a track to a through via
// of its own net, so its sub-net has copper beyond the pad.
TEST_P(GeneratorInvariants, SwappableBallsAreRoutedOut) {
    const BoardComponentData& fpga = BoardComponent(design_, "U1");
    // Millimetre places round to whole internal units one by one: within 1 of the grid.
    const double pitch = hostapp::design::FromInternal(1, hostapp::design::Unit::Millimetre);
    auto onGrid = [pitch](std::int32_t offset, double steps) {
        const double mm = offset * pitch;
        return std::abs(mm - std::round(mm / steps) * steps) <= pitch;
    };
    std::set<std::pair<int, int>> places;
    const auto& sch = SchParts(design_, "U1")[0]->pins;
    int routed = 0;
    for (const PadData& pad : fpga.pads) {
        EXPECT_EQ(pad.layer, 1);
        EXPECT_TRUE(places.insert({pad.at.x, pad.at.y}).second) << pad.name;
        EXPECT_TRUE(onGrid(pad.at.x - fpga.pads[0].at.x, 1.0)) << pad.name;
        EXPECT_TRUE(onGrid(pad.at.y - fpga.pads[0].at.y, 1.0)) << pad.name;
        const auto pin = std::find_if(sch.begin(), sch.end(),
                                      [&](const auto& p) { return p.designator == pad.name; });
        if (pin->pinSwap.empty() && pin->pairSwap.empty()) continue;
        const auto track = std::find_if(design_.board->tracks.begin(), design_.board->tracks.end(),
                                        [&](const auto& t) { return t.start == pad.at; });
        ASSERT_NE(track, design_.board->tracks.end()) << pad.name;
        EXPECT_EQ(track->net, pad.net);
        EXPECT_EQ(track->layer, 1);
        // Half a pitch diagonally, to the middle between four balls.
        EXPECT_NEAR(std::abs(track->end.x - pad.at.x) * pitch, 0.5, 2 * pitch) << pad.name;
        EXPECT_NEAR(std::abs(track->end.y - pad.at.y) * pitch, 0.5, 2 * pitch) << pad.name;
        const auto via = std::find_if(design_.board->vias.begin(), design_.board->vias.end(),
                                      [&](const auto& v) { return v.at == track->end; });
        ASSERT_NE(via, design_.board->vias.end()) << pad.name;
        EXPECT_EQ(via->net, pad.net);
        EXPECT_EQ(via->from, 1);
        EXPECT_EQ(via->to, 32);
        ++routed;
    }
    EXPECT_EQ(static_cast<std::size_t>(routed), design_.board->vias.size());
    // No two balls share a via site.
    std::set<std::pair<int, int>> viaPlaces;
    for (const auto& via : design_.board->vias) viaPlaces.insert({via.at.x, via.at.y});
    EXPECT_EQ(viaPlaces.size(), design_.board->vias.size());
}

TEST_P(GeneratorInvariants, ResistorNetworksSwapAsGates) {
    const GeneratorOptions& options = GetParam();
    for (int k = 1; k <= options.resistorNetworks; ++k) {
        const std::string name = "RN" + std::to_string(k);
        EXPECT_TRUE(BoardComponent(design_, name).partSwap);
        const auto parts = SchParts(design_, name);
        ASSERT_EQ(parts.size(), 4u) << name;
        std::set<int> numbers;
        for (const SchComponentData* part : parts) {
            numbers.insert(part->part);
            EXPECT_EQ(part->partCount, 4);
            ASSERT_EQ(part->pins.size(), 2u);
            std::set<std::string> sequences;
            for (const auto& pin : part->pins) {
                EXPECT_EQ(pin.partSwap, "1");
                sequences.insert(pin.sequence);
            }
            EXPECT_EQ(sequences, (std::set<std::string>{"1", "2"}));
        }
        EXPECT_EQ(numbers, (std::set<int>{1, 2, 3, 4}));
    }
}

TEST_P(GeneratorInvariants, DifferentialPairsAreNamedOnBoardProjectAndPins) {
    const GeneratorOptions& options = GetParam();
    ASSERT_EQ(static_cast<int>(design_.board->differentialPairs.size()), options.differentialPairs);
    ASSERT_EQ(static_cast<int>(design_.project->differentialPairs.size()),
              options.differentialPairs);
    std::map<std::string, std::string> pairSwapByNet;
    for (const auto& pin : SchParts(design_, "U1")[0]->pins) {
        if (!pin.pairSwap.empty()) pairSwapByNet[pin.net] = pin.pairSwap;
    }
    EXPECT_EQ(static_cast<int>(pairSwapByNet.size()), 2 * options.differentialPairs);
    for (std::size_t i = 0; i < design_.board->differentialPairs.size(); ++i) {
        const auto& pair = design_.board->differentialPairs[i];
        EXPECT_EQ(pair.name, design_.project->differentialPairs[i].name);
        EXPECT_EQ(pair.positive, design_.project->differentialPairs[i].positive);
        EXPECT_EQ(pair.negative, design_.project->differentialPairs[i].negative);
        ASSERT_EQ(pairSwapByNet.count(pair.positive), 1u) << pair.name;
        ASSERT_EQ(pairSwapByNet.count(pair.negative), 1u) << pair.name;
        EXPECT_EQ(pairSwapByNet[pair.positive], pairSwapByNet[pair.negative]);
    }
    // Pairs share their pair swap group with others, or swapping them could do nothing.
    if (options.differentialPairs >= 2) {
        std::map<std::string, int> groupSizes;
        for (const auto& [net, group] : pairSwapByNet) ++groupSizes[group];
        EXPECT_GE(groupSizes.begin()->second, 4);
    }
}

// Within each bank, the straight lines from the balls to the pins their nets go to cross:
// the nets were handed out in a shuffled order.
TEST_P(GeneratorInvariants, BankConnectionsAreTangled) {
    const GeneratorOptions& options = GetParam();
    if (options.memories + options.connectors == 0 || options.pinsPerBank < 16) return;
    std::map<std::string, Point> farEnd;
    for (const BoardComponentData& component : design_.board->components) {
        if (component.designator == "U1") continue;
        for (const PadData& pad : component.pads) farEnd[pad.net] = pad.at;
    }
    std::map<std::string, std::vector<std::pair<Point, Point>>> lines;  // by bank
    const BoardComponentData& fpga = BoardComponent(design_, "U1");
    const auto& pins = SchParts(design_, "U1")[0]->pins;
    for (std::size_t i = 0; i < pins.size(); ++i) {
        if (pins[i].pinSwap.empty() || farEnd.count(pins[i].net) == 0) continue;
        lines[pins[i].pinSwap].push_back({fpga.pads[i].at, farEnd[pins[i].net]});
    }
    for (const auto& [bank, bankLines] : lines) {
        int crossings = 0;
        for (std::size_t a = 0; a < bankLines.size(); ++a) {
            for (std::size_t b = a + 1; b < bankLines.size(); ++b) {
                crossings += Cross(bankLines[a].first, bankLines[a].second, bankLines[b].first,
                                   bankLines[b].second);
            }
        }
        EXPECT_GT(crossings, static_cast<int>(bankLines.size())) << "bank " << bank;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Options, GeneratorInvariants,
    ::testing::Values(GeneratorOptions{},              // the defaults
                      Options(4, 64, 2, 2, 2, 4),      // the bundled example
                      Options(2, 200, 1, 1, 1, 2, 7),  // the largest groups asked for
                      Options(3, 10, 0, 0, 1, 0, 3),   // nothing beyond the FPGA to wire to
                      Options(1, 5, 0, 2, 0, 9, 5),    // pairs only on connectors
                      Options(0, 0, 1, 0, 0, 1, 9)),   // no bank at all
    [](const auto& info) { return "Case" + std::to_string(info.index); });

}  // namespace
