#include "plugin/interactive/InteractiveHost.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "frame/HostAccess.h"
#include "hostapp/design/DesignFile.h"
#include "platform/Platform.h"

namespace tessaro::testing {

hostapp::design::DesignData ReadFixture(const std::string& name) {
    return hostapp::design::ReadDesignFile(std::string(TESSARO_FIXTURE_DIR) + "/" + name);
}

InteractiveHost::InteractiveHost(const std::string& fixture)
    : InteractiveHost(ReadFixture(fixture)) {}

InteractiveHost::InteractiveHost(hostapp::design::DesignData design) {
    platform::ResetPlatform();
    app_ = std::make_unique<hostapp::HostApplication>(std::move(design),
                                                      ::testing::TempDir() + "interactive");
    SetClient(app_->Client());
    platform::SetCurrentPerson(&person);
}

InteractiveHost::~InteractiveHost() {
    platform::SetCurrentPerson(nullptr);
    SetClient(nullptr);
    app_.reset();
    platform::ResetPlatform();
}

hostapp::Board& InteractiveHost::Board() {
    hostapp::Board* board = app_->GetBoard();
    if (!board) throw std::logic_error("the fixture has no board");
    return *board;
}

host::IPCB_Pad* InteractiveHost::Pad(const std::string& ref) {
    host::IPCB_Pad* pad = Board().FindPadByRef(ref);
    if (!pad) throw std::logic_error("no pad " + ref + " in the fixture");
    return pad;
}

platform::BoardPoint InteractiveHost::PadPoint(const std::string& ref) {
    host::IPCB_Pad* pad = Pad(ref);
    return {pad->X(), pad->Y()};
}

platform::BoardPoint InteractiveHost::Millimetres(double x, double y) {
    using hostapp::design::ToInternal;
    using hostapp::design::Unit;
    return {ToInternal(x, Unit::Millimetre), ToInternal(y, Unit::Millimetre)};
}

std::string InteractiveHost::PadNet(const std::string& ref) {
    host::IPCB_Net* net = Pad(ref)->Net();
    return net ? platform::Narrow(net->Name()) : std::string();
}

std::vector<std::string> InteractiveHost::PadNets(const std::vector<std::string>& refs) {
    std::vector<std::string> nets;
    for (const std::string& ref : refs) nets.push_back(PadNet(ref));
    return nets;
}

InteractiveHost& InteractiveHost::ExpectPadPick(const std::string& prompt, const std::string& ref) {
    person.ExpectPick(prompt, PadPoint(ref));
    return *this;
}

InteractiveHost& InteractiveHost::ExpectCancel(const std::string& prompt) {
    person.ExpectPick(prompt, std::nullopt);
    return *this;
}

InteractiveHost& InteractiveHost::ExpectError(const std::string& text) {
    person.ExpectDialog("Error", platform::Button::OK, text);
    return *this;
}

std::vector<std::string> InteractiveHost::MessageTexts() const {
    std::vector<std::string> texts;
    for (const hostapp::MessageEntry& entry : Messages()) texts.push_back(entry.text);
    return texts;
}

}  // namespace tessaro::testing
