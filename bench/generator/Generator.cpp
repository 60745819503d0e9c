// GenerateDesign: a synthetic FPGA board. Everything is laid out first as component plans
// (pins with their pad geometry and net), from which the board and the schematic are both
// written, so that the two always agree.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "BoardGenerator.h"
#include "GeneratorRandom.h"
#include "hostapp/design/DesignFile.h"

namespace generator {

namespace {

using namespace hostapp::design;

constexpr int kTop = 1;
constexpr int kBottom = 32;
constexpr int kMulti = 74;

constexpr double kBallPitch = 1.0;    // mm, FPGA ball grid
constexpr double kBallSize = 0.5;     // mm, round ball pad
constexpr double kFanoutWidth = 0.1;  // mm, track from a ball to its via
constexpr double kViaDiameter = 0.45;
constexpr int kPinsPerNetworkGate = 2;
constexpr int kNetworkGates = 4;
constexpr double kSideGap = 3.0;  // mm between neighbouring components on one side

// Rows of a ball grid skip letters that read like digits or each other.
std::string RowName(int row) {
    static const char kLetters[] = "ABCDEFGHJKLMNPRTUVWY";
    constexpr int kCount = 20;
    std::string name;
    if (row >= kCount) name += kLetters[row / kCount - 1];
    name += kLetters[row % kCount];
    return name;
}

struct PinPlan {
    std::string designator;
    std::string name;
    std::string type = "Passive";
    std::string net;
    std::string pinSwap, partSwap, sequence, pairSwap;
    int part = 1;
    double x = 0, y = 0;  // mm, board position
    PadShape shape = PadShape::Round;
    double sizeX = 0, sizeY = 0;
    int layer = kTop;
    bool fanout = false;        // routed out with a track and a via
    double viaX = 0, viaY = 0;  // mm, the via's place when routed out
};

struct ComponentPlan {
    std::string designator;
    std::string comment;
    std::string footprint;
    std::string libraryReference;
    std::string uniqueId;
    int partCount = 1;
    bool pinSwap = false;
    bool partSwap = false;
    std::vector<PinPlan> pins;
};

// A dual-row package before it is placed: pins in numbering order down the left row and up
// the right row, positions relative to the package centre with the rows running along y.
struct Package {
    double pitch = 0;
    double rowOffset = 0;  // each row's distance from the centre line
    PadShape shape = PadShape::Rectangular;
    double padX = 0, padY = 0;
    int layer = kTop;

    int Half(int pins) const { return (pins + 1) / 2; }
    double Length(int pins) const { return (Half(pins) - 1) * pitch + padY; }
    double Depth() const { return 2 * rowOffset + padX; }
    void Local(int index, int pins, double& x, double& y) const {
        const int half = Half(pins);
        const double top = (half - 1) * pitch / 2;
        if (index < half) {
            x = -rowOffset;
            y = top - index * pitch;
        } else {
            x = rowOffset;
            y = -top + (index - half) * pitch;
        }
    }
};

const Package kMemoryPackage{0.8, 3.5, PadShape::Rectangular, 1.6, 0.5, kTop};
const Package kConnectorPackage{1.27, 1.27, PadShape::Round, 0.9, 0.9, kMulti};
const Package kNetworkPackage{0.8, 1.0, PadShape::Rectangular, 0.9, 0.45, kTop};

double Snap(double mm) {
    return std::round(mm * 20) / 20;
}  // 0.05 mm grid

struct Ball {
    int row = 0, column = 0;
    int ring = 0;
    double sweep = 0;  // position along the ring, clockwise from the top-left corner, 0..4
};

// The FPGA's grid in rings from the outside in, each walked clockwise from its top-left
// ball, so that neighbours in the walk are neighbours on the board.
std::vector<Ball> RingWalk(int n) {
    std::vector<Ball> walk;
    auto add = [&](int row, int column, int ring) {
        Ball ball{row, column, ring, 0};
        // Doubled coordinates keep the centre of an even grid on whole numbers.
        const int x = 2 * column - (n - 1);
        const int y = (n - 1) - 2 * row;
        const int m = std::max(std::abs(x), std::abs(y));
        if (m > 0) {
            const double span = 2.0 * m;
            if (y == m && x < m) {
                ball.sweep = (x + m) / span;
            } else if (x == m && y > -m) {
                ball.sweep = 1 + (m - y) / span;
            } else if (y == -m && x > -m) {
                ball.sweep = 2 + (m - x) / span;
            } else {
                ball.sweep = 3 + (y + m) / span;
            }
        }
        walk.push_back(ball);
    };
    for (int k = 0; k < (n + 1) / 2; ++k) {
        const int last = n - 1 - k;
        for (int c = k; c <= last; ++c) add(k, c, k);
        for (int r = k + 1; r <= last; ++r) add(r, last, k);
        if (last > k) {
            for (int c = last - 1; c >= k; --c) add(last, c, k);
            for (int r = last - 1; r > k; --r) add(r, k, k);
        }
    }
    return walk;
}

void Validate(const GeneratorOptions& o) {
    auto check = [](int value, int max, const char* name) {
        if (value < 0 || value > max) {
            throw std::invalid_argument(std::string(name) + " must be between 0 and " +
                                        std::to_string(max) + ", not " + std::to_string(value));
        }
    };
    check(o.banks, 64, "banks");
    check(o.pinsPerBank, 1000, "pinsPerBank");
    check(o.memories, 64, "memories");
    check(o.connectors, 64, "connectors");
    check(o.resistorNetworks, 256, "resistorNetworks");
    check(o.differentialPairs, 1000, "differentialPairs");
}

class Builder {
  public:
    explicit Builder(const GeneratorOptions& options) : o_(options), random_(options.seed) {}

    DesignData Build() {
        PlanFpga();
        PlanPeripherals();
        AssignUniqueIds();
        ConnectBanks();
        Place();
        return Emit();
    }

  private:
    // --- the FPGA -----------------------------------------------------------------------

    void PlanFpga() {
        const int io = o_.banks * o_.pinsPerBank;
        const int signals = io + 2 * o_.differentialPairs;
        const int power = std::max(4, (signals + 7) / 8);
        n_ = 2;
        while (n_ * n_ < signals + power) ++n_;

        const std::vector<Ball> walk = RingWalk(n_);
        // Outer rings carry the IO banks, the next balls the pairs, the core the supplies.
        std::vector<Ball> ioBalls(walk.begin(), walk.begin() + io);
        std::stable_sort(ioBalls.begin(), ioBalls.end(), [](const Ball& a, const Ball& b) {
            return a.sweep != b.sweep ? a.sweep < b.sweep : a.ring < b.ring;
        });

        // Which plan pin each ball becomes, filled in grid order below.
        std::vector<PinPlan> byBall(static_cast<std::size_t>(n_ * n_));
        auto at = [&](const Ball& ball) -> PinPlan& {
            return byBall[static_cast<std::size_t>(ball.row * n_ + ball.column)];
        };
        for (int b = 0; b < o_.banks; ++b) {
            for (int k = 0; k < o_.pinsPerBank; ++k) {
                PinPlan& pin = at(ioBalls[static_cast<std::size_t>(b * o_.pinsPerBank + k)]);
                pin.name = "IO_B" + std::to_string(b + 1) + "_" + std::to_string(k);
                pin.type = "IO";
                pin.pinSwap = std::to_string(b + 1);
                pin.fanout = true;
            }
        }
        for (int p = 0; p < o_.differentialPairs; ++p) {
            const std::string pair = "DP" + std::to_string(p + 1);
            // Pairs swap among the pairs of their group of four.
            const std::string pairGroup = std::to_string(p / 4 + 1);
            for (int member = 0; member < 2; ++member) {
                PinPlan& pin = at(walk[static_cast<std::size_t>(io + 2 * p + member)]);
                const std::string polarity = member == 0 ? "_P" : "_N";
                pin.name = "IO_" + pair + polarity;
                pin.type = "IO";
                pin.net = pair + polarity;
                pin.pairSwap = pairGroup;
                pin.fanout = true;
            }
            pairs_.push_back({pair, pair + "_P", pair + "_N"});
        }
        for (std::size_t i = static_cast<std::size_t>(signals); i < walk.size(); ++i) {
            PinPlan& pin = at(walk[i]);
            const bool ground = (walk[i].row + walk[i].column) % 2 == 0;
            pin.name = ground ? "GND" : "VCC";
            pin.type = "Power";
            pin.net = pin.name;
        }

        ComponentPlan fpga;
        fpga.designator = "U1";
        fpga.comment = "FPGA";
        fpga.footprint = "BGA-" + std::to_string(n_ * n_);
        fpga.libraryReference = "FPGA";
        fpga.pinSwap = true;
        const double centre = (n_ - 1) / 2.0;
        for (int r = 0; r < n_; ++r) {
            for (int c = 0; c < n_; ++c) {
                PinPlan pin = byBall[static_cast<std::size_t>(r * n_ + c)];
                pin.designator = RowName(r) + std::to_string(c + 1);
                pin.x = (c - centre) * kBallPitch;
                pin.y = (centre - r) * kBallPitch;
                pin.shape = PadShape::Round;
                pin.sizeX = pin.sizeY = kBallSize;
                pin.layer = kTop;
                if (pin.fanout) {
                    // Away from the centre in both axes: no two balls share a via site.
                    pin.viaX = pin.x + (2 * c >= n_ - 1 ? 0.5 : -0.5) * kBallPitch;
                    pin.viaY = pin.y + (2 * r <= n_ - 1 ? 0.5 : -0.5) * kBallPitch;
                }
                fpga.pins.push_back(std::move(pin));
            }
        }
        // Bank pins in sweep order, to hand out nets.
        for (const Ball& ball : ioBalls) {
            bankBalls_.push_back(static_cast<std::size_t>(ball.row * n_ + ball.column));
        }
        components_.push_back(std::move(fpga));
    }

    // --- memories, connectors, resistor networks ----------------------------------------

    struct Sink {
        std::size_t component;
        std::size_t pin;
    };

    void PlanPeripherals() {
        const int io = o_.banks * o_.pinsPerBank;
        const int networkSinks = std::min(kNetworkGates * o_.resistorNetworks, io);
        const int rest = io - networkSinks;
        const int carriers = o_.memories + o_.connectors;

        // Memories and connectors alternate, so that every side gets some of each.
        std::vector<std::pair<bool, int>> order;  // (memory?, index)
        for (int i = 0; i < std::max(o_.memories, o_.connectors); ++i) {
            if (i < o_.memories) order.push_back({true, i});
            if (i < o_.connectors) order.push_back({false, i});
        }
        std::vector<std::size_t> memoryIndex, connectorIndex;
        for (std::size_t j = 0; j < order.size(); ++j) {
            ComponentPlan plan;
            const bool memory = order[j].first;
            const int number = order[j].second;
            plan.designator =
                memory ? "U" + std::to_string(number + 2) : "J" + std::to_string(number + 1);
            plan.comment = memory ? "SRAM" : "Header";
            plan.libraryReference = memory ? "SRAM" : "CONN";
            const int share = rest / std::max(carriers, 1) +
                              (static_cast<int>(j) < rest % std::max(carriers, 1) ? 1 : 0);
            for (int d = 0; d < share; ++d) {
                PinPlan pin;
                pin.name = memory ? "DQ" + std::to_string(d) : "P" + std::to_string(d + 1);
                pin.type = memory ? "IO" : "Passive";
                plan.pins.push_back(std::move(pin));
            }
            (memory ? memoryIndex : connectorIndex).push_back(components_.size());
            packages_.push_back(memory ? &kMemoryPackage : &kConnectorPackage);
            components_.push_back(std::move(plan));
        }

        // Resistor networks: four gates of two pins, the first pin of each gate on an FPGA
        // net, the second on a net of its own that runs on to a connector.
        std::vector<std::pair<std::string, std::string>> extras;  // (name, net) to carry on
        std::vector<Sink> networkSinkPins;
        for (int k = 0; k < o_.resistorNetworks; ++k) {
            ComponentPlan plan;
            plan.designator = "RN" + std::to_string(k + 1);
            plan.comment = "4x 33R";
            plan.footprint = "SOIC-8";
            plan.libraryReference = "RESNET4";
            plan.partCount = kNetworkGates;
            plan.partSwap = true;
            plan.pins.resize(kNetworkGates * kPinsPerNetworkGate);
            for (int g = 1; g <= kNetworkGates; ++g) {
                PinPlan& inner = plan.pins[static_cast<std::size_t>(g - 1)];
                PinPlan& outer = plan.pins[static_cast<std::size_t>(2 * kNetworkGates - g)];
                const std::string gate = std::to_string(g);
                inner.name = "R" + gate + "A";
                outer.name = "R" + gate + "B";
                outer.net = plan.designator + "_" + gate;
                for (PinPlan* pin : {&inner, &outer}) {
                    pin->part = g;
                    pin->partSwap = "1";
                }
                inner.sequence = "1";
                outer.sequence = "2";
                extras.push_back({outer.net, outer.net});
                networkSinkPins.push_back({components_.size(), static_cast<std::size_t>(g - 1)});
            }
            packages_.push_back(&kNetworkPackage);
            components_.push_back(std::move(plan));
        }

        // The order in which FPGA banks take their far ends: networks first, then the
        // memories and connectors in turn.
        for (int i = 0; i < networkSinks; ++i) sinks_.push_back(networkSinkPins[i]);
        for (std::size_t j = 0; j < order.size(); ++j) {
            const std::size_t component = j + 1;
            for (std::size_t p = 0; p < components_[component].pins.size(); ++p) {
                sinks_.push_back({component, p});
            }
        }

        // Network outputs and pair ends land on connectors (or memories when there are
        // none), one after the other.
        const std::vector<std::size_t>& hosts =
            !connectorIndex.empty() ? connectorIndex : memoryIndex;
        std::size_t next = 0;
        auto carry = [&](const std::vector<std::pair<std::string, std::string>>& signals) {
            if (hosts.empty()) return;
            ComponentPlan& host = components_[hosts[next++ % hosts.size()]];
            for (const auto& [name, net] : signals) {
                PinPlan pin;
                pin.name = name;
                pin.net = net;
                pin.type = "Passive";
                host.pins.push_back(std::move(pin));
            }
        };
        for (const auto& extra : extras) carry({extra});
        for (const DifferentialPairData& pair : pairs_) {
            carry({{pair.positive, pair.positive}, {pair.negative, pair.negative}});
        }

        // Supplies, and an unconnected pin where the rows would be uneven.
        for (std::size_t j = 0; j < order.size(); ++j) {
            ComponentPlan& plan = components_[j + 1];
            for (const char* supply : {"GND", "VCC"}) {
                PinPlan pin;
                pin.name = supply;
                pin.net = supply;
                pin.type = "Power";
                plan.pins.push_back(std::move(pin));
            }
            if (plan.pins.size() % 2 != 0) {
                PinPlan pin;
                pin.name = "NC";
                plan.pins.push_back(std::move(pin));
            }
            const int count = static_cast<int>(plan.pins.size());
            const bool memory = order[j].first;
            plan.footprint =
                memory ? "TSOP-" + std::to_string(count) : "HDR-2x" + std::to_string(count / 2);
        }
        for (ComponentPlan& plan : components_) {
            if (&plan == &components_.front()) continue;
            for (std::size_t p = 0; p < plan.pins.size(); ++p) {
                plan.pins[p].designator = std::to_string(p + 1);
            }
        }
    }

    void AssignUniqueIds() {
        std::set<std::string> used;
        for (ComponentPlan& plan : components_) {
            std::string id;
            do {
                char text[16];
                std::snprintf(text, sizeof text, "%08X",
                              static_cast<unsigned>(random_.Next() >> 32));
                id = text;
            } while (!used.insert(id).second);
            plan.uniqueId = id;
        }
    }

    // Each bank's k-th far end gets the net of a bank pin drawn at random: the straight
    // fan-out becomes a tangle that swapping can undo.
    void ConnectBanks() {
        ComponentPlan& fpga = components_.front();
        for (int b = 0; b < o_.banks; ++b) {
            std::vector<std::size_t> pins;
            for (int k = 0; k < o_.pinsPerBank; ++k) {
                pins.push_back(bankBalls_[static_cast<std::size_t>(b * o_.pinsPerBank + k)]);
            }
            Shuffle(pins, random_);
            for (int k = 0; k < o_.pinsPerBank; ++k) {
                // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) on "B" + std::string.
                std::string net = "B";
                net += std::to_string(b + 1);
                net += "_D";
                net += std::to_string(k);
                fpga.pins[pins[static_cast<std::size_t>(k)]].net = net;
                const std::size_t sink = static_cast<std::size_t>(b * o_.pinsPerBank + k);
                if (sink < sinks_.size()) {
                    components_[sinks_[sink].component].pins[sinks_[sink].pin].net = net;
                }
            }
        }
    }

    // --- placement ------------------------------------------------------------------------

    // Memories, connectors and networks go round the FPGA's four sides in turn; each side
    // stacks its components along its length, centred, far enough out that the sides clear
    // each other at the corners.
    void Place() {
        const std::size_t count = components_.size() - 1;
        std::vector<int> side(count);
        double length[4] = {0, 0, 0, 0};
        double depth[4] = {0, 0, 0, 0};
        int members[4] = {0, 0, 0, 0};
        for (std::size_t i = 0; i < count; ++i) {
            side[i] = static_cast<int>(i % 4);
            const Package& package = *packages_[i];
            const int pins = static_cast<int>(components_[i + 1].pins.size());
            length[side[i]] += package.Length(pins) + (members[side[i]]++ > 0 ? kSideGap : 0);
            depth[side[i]] = std::max(depth[side[i]], package.Depth());
        }
        const double clear = (n_ - 1) / 2.0 * kBallPitch + 10;
        // Sides 0, 1 (left, right) run along y; sides 2, 3 (top, bottom) along x.
        const double across = std::max(clear, std::max(length[2], length[3]) / 2 + 5) +
                              std::max(depth[0], depth[1]) / 2;
        const double upDown = std::max(clear, std::max(length[0], length[1]) / 2 + 5) +
                              std::max(depth[2], depth[3]) / 2;

        double cursor[4];
        for (int s = 0; s < 4; ++s) cursor[s] = -length[s] / 2;
        for (std::size_t i = 0; i < count; ++i) {
            ComponentPlan& plan = components_[i + 1];
            const Package& package = *packages_[i];
            const int pins = static_cast<int>(plan.pins.size());
            const double along = Snap(cursor[side[i]] + package.Length(pins) / 2);
            cursor[side[i]] += package.Length(pins) + kSideGap;
            double cx = 0, cy = 0;
            switch (side[i]) {
                case 0:
                    cx = -Snap(across);
                    cy = along;
                    break;
                case 1:
                    cx = Snap(across);
                    cy = -along;
                    break;
                case 2:
                    cx = along;
                    cy = Snap(upDown);
                    break;
                default:
                    cx = -along;
                    cy = -Snap(upDown);
                    break;
            }
            const bool turned = side[i] >= 2;
            for (int p = 0; p < pins; ++p) {
                double x = 0, y = 0;
                package.Local(p, pins, x, y);
                PinPlan& pin = plan.pins[static_cast<std::size_t>(p)];
                // A quarter turn for the top and bottom sides.
                pin.x = cx + (turned ? -y : x);
                pin.y = cy + (turned ? x : y);
                pin.shape = package.shape;
                pin.sizeX = turned ? package.padY : package.padX;
                pin.sizeY = turned ? package.padX : package.padY;
                pin.layer = package.layer;
            }
        }
    }

    // --- the design -------------------------------------------------------------------------

    static Point At(double x, double y) {
        return Point{ToInternal(x, Unit::Millimetre), ToInternal(y, Unit::Millimetre)};
    }
    static std::int32_t Mm(double mm) { return ToInternal(mm, Unit::Millimetre); }

    DesignData Emit() const {
        DesignData design;
        design.unit = Unit::Millimetre;

        ProjectData project;
        project.file = "generated.prj";
        project.kind = "PCB";
        project.differentialPairs = pairs_;
        design.project = project;

        SheetData sheet;
        sheet.file = "generated.sch";
        BoardData board;
        board.file = "generated.pcb";
        board.differentialPairs = pairs_;

        std::set<std::string> used;
        for (const ComponentPlan& plan : components_) {
            for (int part = 1; part <= plan.partCount; ++part) {
                SchComponentData sch;
                sch.uniqueId = plan.uniqueId;
                sch.designator = plan.designator;
                sch.comment = plan.comment;
                sch.footprint = plan.footprint;
                sch.libraryReference = plan.libraryReference;
                sch.part = part;
                sch.partCount = plan.partCount;
                for (const PinPlan& pin : plan.pins) {
                    if (pin.part != part) continue;
                    sch.pins.push_back(SchPinData{pin.designator, pin.name, pin.type, pin.net,
                                                  pin.pinSwap, pin.partSwap, pin.sequence,
                                                  pin.pairSwap});
                }
                sheet.components.push_back(std::move(sch));
            }

            BoardComponentData component;
            component.uniqueId = plan.uniqueId;
            component.designator = plan.designator;
            component.pinSwap = plan.pinSwap;
            component.partSwap = plan.partSwap;
            for (const PinPlan& pin : plan.pins) {
                component.pads.push_back(PadData{pin.designator, At(pin.x, pin.y), pin.layer,
                                                 pin.shape, Mm(pin.sizeX), Mm(pin.sizeY), pin.net});
                if (!pin.net.empty()) used.insert(pin.net);
                if (pin.fanout) {
                    board.tracks.push_back(TrackData{At(pin.x, pin.y), At(pin.viaX, pin.viaY),
                                                     Mm(kFanoutWidth), kTop, pin.net});
                    board.vias.push_back(
                        ViaData{At(pin.viaX, pin.viaY), Mm(kViaDiameter), kTop, kBottom, pin.net});
                }
            }
            board.components.push_back(std::move(component));
        }
        design.schematics.push_back(std::move(sheet));

        // Nets in a reading order: bank by bank, then pairs, networks, supplies.
        for (int b = 0; b < o_.banks; ++b) {
            for (int k = 0; k < o_.pinsPerBank; ++k) {
                board.nets.push_back("B" + std::to_string(b + 1) + "_D" + std::to_string(k));
            }
        }
        for (const DifferentialPairData& pair : pairs_) {
            board.nets.push_back(pair.positive);
            board.nets.push_back(pair.negative);
        }
        for (const ComponentPlan& plan : components_) {
            if (plan.partCount != kNetworkGates || !plan.partSwap) continue;
            for (int g = 1; g <= kNetworkGates; ++g) {
                board.nets.push_back(plan.designator + "_" + std::to_string(g));
            }
        }
        for (const char* supply : {"GND", "VCC"}) {
            if (used.count(supply) != 0) board.nets.push_back(supply);
        }
        design.board = std::move(board);
        return design;
    }

    const GeneratorOptions& o_;
    SplitMix64 random_;
    int n_ = 0;                              // FPGA grid side
    std::vector<ComponentPlan> components_;  // the FPGA first, then the peripherals
    std::vector<const Package*> packages_;   // per peripheral, in components_ order from 1
    std::vector<std::size_t> bankBalls_;     // FPGA pin indexes, bank by bank in sweep order
    std::vector<Sink> sinks_;
    std::vector<DifferentialPairData> pairs_;
};

}  // namespace

hostapp::design::DesignData GenerateDesign(const GeneratorOptions& options) {
    Validate(options);
    try {
        return Builder(options).Build();
    } catch (const std::out_of_range&) {
        throw std::invalid_argument("the generated board does not fit the host's coordinates");
    }
}

}  // namespace generator
