#include "plugin/cost/SwapHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <stdexcept>

#include <sys/wait.h>
#include <unistd.h>

#include "frame/HostAccess.h"
#include "model/Analyze.h"
#include "platform/Platform.h"

namespace tessaro::optim_test {

using namespace hostapp::design;

namespace {
constexpr std::int32_t UnitsPerMil = 10000;
}

DesignBuilder::DesignBuilder() {
    design_.unit = Unit::Mil;
    ProjectData project;
    project.file = "optim.prj";
    project.swapping.allPins = true;
    design_.project = project;
    design_.schematics.push_back(SheetData{"optim.sch", {}});
    BoardData board;
    board.file = "optim.pcb";
    design_.board = board;
}

SchComponentData& DesignBuilder::Sch(const std::string& designator) {
    auto& components = design_.schematics[0].components;
    for (auto& c : components)
        if (c.designator == designator) return c;
    SchComponentData c;
    c.uniqueId = designator + "ID";
    c.designator = designator;
    c.comment = designator;
    c.libraryReference = designator;
    components.push_back(c);
    return components.back();
}

BoardComponentData& DesignBuilder::Pcb(const std::string& designator, bool swaps) {
    auto& components = design_.board->components;
    for (auto& c : components)
        if (c.designator == designator) return c;
    BoardComponentData c;
    c.uniqueId = designator + "ID";
    c.designator = designator;
    c.pinSwap = swaps;
    components.push_back(c);
    return components.back();
}

void DesignBuilder::AddNet(const std::string& net) {
    auto& nets = design_.board->nets;
    if (!net.empty() && std::find(nets.begin(), nets.end(), net) == nets.end()) nets.push_back(net);
}

DesignBuilder& DesignBuilder::SwapPin(const std::string& designator, const std::string& pad,
                                      int xMil, int yMil, const std::string& net,
                                      const std::string& swapId, int layer) {
    SchPinData pin;
    pin.designator = pad;
    pin.name = pad;
    pin.net = net;
    pin.pinSwap = swapId;
    Sch(designator).pins.push_back(pin);
    PadData p;
    p.name = pad;
    p.at = {xMil * UnitsPerMil, yMil * UnitsPerMil};
    p.layer = layer;
    p.sizeX = p.sizeY = 20 * UnitsPerMil;
    p.net = net;
    Pcb(designator, true).pads.push_back(p);
    AddNet(net);
    return *this;
}

DesignBuilder& DesignBuilder::FixedPin(const std::string& designator, const std::string& pad,
                                       int xMil, int yMil, const std::string& net, int layer) {
    SchPinData pin;
    pin.designator = pad;
    pin.name = pad;
    pin.net = net;
    Sch(designator).pins.push_back(pin);
    PadData p;
    p.name = pad;
    p.at = {xMil * UnitsPerMil, yMil * UnitsPerMil};
    p.layer = layer;
    p.sizeX = p.sizeY = 20 * UnitsPerMil;
    p.net = net;
    Pcb(designator, false).pads.push_back(p);
    AddNet(net);
    return *this;
}

DesignBuilder& DesignBuilder::Track(int x1Mil, int y1Mil, int x2Mil, int y2Mil,
                                    const std::string& net, int layer) {
    TrackData t;
    t.start = {x1Mil * UnitsPerMil, y1Mil * UnitsPerMil};
    t.end = {x2Mil * UnitsPerMil, y2Mil * UnitsPerMil};
    t.width = 8 * UnitsPerMil;
    t.layer = layer;
    t.net = net;
    design_.board->tracks.push_back(t);
    AddNet(net);
    return *this;
}

DesignBuilder& DesignBuilder::Imperial() {
    design_.board->displayUnit = DisplayUnit::Imperial;
    return *this;
}

DesignData DesignBuilder::Build() const {
    return design_;
}

DesignData FanDesign(const std::vector<int>& order, int pitchMil) {
    DesignBuilder b;
    for (std::size_t i = 0; i < order.size(); ++i) {
        const std::string net = "N" + std::to_string(i + 1);
        const int x = static_cast<int>(i) * pitchMil;
        b.SwapPin("U1", std::to_string(i + 1), x, 0, net);
        b.FixedPin("J1", std::to_string(i + 1), order[i] * pitchMil, 1000, net);
    }
    return b.Build();
}

DesignData ShuffledFan(int pins, unsigned seed, int groups) {
    std::vector<int> order(static_cast<std::size_t>(pins));
    std::iota(order.begin(), order.end(), 0);
    std::mt19937 random(seed);
    std::shuffle(order.begin(), order.end(), random);
    DesignBuilder b;
    for (int i = 0; i < pins; ++i) {
        const std::string net = "N" + std::to_string(i + 1);
        const std::string swapId = std::to_string(1 + i * groups / pins);
        const int x = i * 100;
        // Every third pin leaves on the bottom layer; every fourth has a stub of routing,
        // so lines start away from the pad and on several layers.
        const int padLayer = i % 3 == 0 ? 74 : 1;
        b.SwapPin("U1", std::to_string(i + 1), x, 0, net, swapId, padLayer);
        if (i % 4 == 1) b.Track(x, 0, x + 30, 60, net, 1);
        const int targetLayer = order[static_cast<std::size_t>(i)] % 2 == 0 ? 1 : 32;
        b.FixedPin("J1", std::to_string(i + 1), order[static_cast<std::size_t>(i)] * 100, 1500, net,
                   targetLayer);
    }
    return b.Build();
}

SwapHost::SwapHost(DesignData design) {
    platform::ResetPlatform();
    AbortRequested = false;
    app_ = std::make_unique<hostapp::HostApplication>(std::move(design),
                                                      ::testing::TempDir() + "optim");
    SetClient(app_->Client());
    person.AllowUnscriptedNotices();
    platform::SetCurrentPerson(&person);
}

SwapHost::~SwapHost() {
    platform::SetCurrentPerson(nullptr);
    SetClient(nullptr);
    app_.reset();
    AbortRequested = false;
    platform::ResetPlatform();
}

std::unique_ptr<TSwapDataSet> SwapHost::Analysed(bool buildOnly) {
    auto data = std::make_unique<TSwapDataSet>(BoardPath(), smPinSwap);
    if (!Analyze(*data, "", buildOnly)) throw std::logic_error("the analysis refused the board");
    return data;
}

std::string SwapHost::PadNet(const std::string& ref) {
    host::IPCB_Pad* pad = Board().FindPadByRef(ref);
    if (!pad) throw std::logic_error("no pad " + ref);
    host::IPCB_Net* net = pad->Net();
    return net ? platform::Narrow(net->Name()) : std::string();
}

TSwapSubNet* SubNetOf(TSwapDataSet& data, SwapHost& host, const std::string& ref) {
    TSwapPin* pin = data.FindPinByPad(host.Board().FindPadByRef(ref));
    if (!pin || !pin->SubNet) throw std::logic_error("no swappable sub-net at " + ref);
    return pin->SubNet;
}

void Recount(TSwapDataSet& data) {
    for (TSwapSubNet* s : data.SwapSubNets) data.BuildCrossings(s);
    data.XOvers = data.CountCrossings();
    data.ConnectionCost = FreshLength(data);
}

double FreshLength(const TSwapDataSet& data) {
    double length = 0;
    for (const TSwapSubNet* s : data.SwapSubNets) length += data.ConnectionLength(s);
    return length;
}

namespace {

pid_t RunInChild(const std::function<std::string()>& run, int (&channel)[2]) {
    if (pipe(channel) != 0) throw std::runtime_error("pipe failed");
    const pid_t pid = fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        close(channel[0]);
        std::string out;
        try {
            out = run();
        } catch (const std::exception& e) {
            out = std::string("exception: ") + e.what();
        }
        const char* p = out.data();
        std::size_t left = out.size();
        while (left > 0) {
            const ssize_t n = write(channel[1], p, left);
            if (n <= 0) break;
            p += n;
            left -= static_cast<std::size_t>(n);
        }
        _exit(0);
    }
    close(channel[1]);
    return pid;
}

std::string ReadAll(int fd) {
    std::string out;
    char buffer[4096];
    ssize_t n;
    while ((n = read(fd, buffer, sizeof buffer)) > 0)
        out.append(buffer, static_cast<std::size_t>(n));
    close(fd);
    return out;
}

}  // namespace

std::pair<std::string, std::string> TwinRuns(const std::function<std::string()>& run) {
    int first[2], second[2];
    // Both children are forked before the parent allocates anything.
    const pid_t a = RunInChild(run, first);
    const pid_t b = RunInChild(run, second);
    std::pair<std::string, std::string> out;
    out.first = ReadAll(first[0]);
    out.second = ReadAll(second[0]);
    int status = 0;
    waitpid(a, &status, 0);
    waitpid(b, &status, 0);
    return out;
}

}  // namespace tessaro::optim_test
