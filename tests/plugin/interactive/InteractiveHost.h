// A fixture design opened in the stand-in host with the plug-in's code talking to it and a
// scripted person at the screen: what the interactive swappers and the router hook tests
// drive.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "hostapp/HostApplication.h"
#include "hostapp/board/Board.h"
#include "hostapp/design/DesignData.h"
#include "platform/Person.h"

namespace tessaro::testing {

hostapp::design::DesignData ReadFixture(const std::string& name);

// One at a time: the host owns the process-wide platform state (modules, person, client).
class InteractiveHost {
  public:
    explicit InteractiveHost(const std::string& fixture);
    explicit InteractiveHost(hostapp::design::DesignData design);
    ~InteractiveHost();
    InteractiveHost(const InteractiveHost&) = delete;
    InteractiveHost& operator=(const InteractiveHost&) = delete;

    hostapp::HostApplication& App() { return *app_; }
    hostapp::Board& Board();
    std::string BoardPath() const { return app_->BoardPath(); }

    // Where to click: the centre of a pad ("U1-5"), or a point given in millimetres.
    platform::BoardPoint PadPoint(const std::string& ref);
    static platform::BoardPoint Millimetres(double x, double y);

    host::IPCB_Pad* Pad(const std::string& ref);
    // The net a pad carries on the board now ("" for none).
    std::string PadNet(const std::string& ref);
    std::vector<std::string> PadNets(const std::vector<std::string>& refs);

    // Picks scripted in order: a pad or cancel.
    InteractiveHost& ExpectPadPick(const std::string& prompt, const std::string& ref);
    InteractiveHost& ExpectCancel(const std::string& prompt);
    InteractiveHost& ExpectError(const std::string& text);

    const std::vector<hostapp::MessageEntry>& Messages() const { return app_->Messages(); }
    std::vector<std::string> MessageTexts() const;

    platform::ScriptedPerson person;

  private:
    std::unique_ptr<hostapp::HostApplication> app_;
};

}  // namespace tessaro::testing
