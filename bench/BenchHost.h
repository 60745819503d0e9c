// What every benchmark needs: a generated board opened in the stand-in host, the plug-in's
// code talking to it, and a person who agrees to everything.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>

#include "frame/HostAccess.h"
#include "generator/BoardGenerator.h"
#include "hostapp/HostApplication.h"
#include "model/Analyze.h"
#include "model/Optimizer_Data.h"
#include "platform/Person.h"
#include "platform/Platform.h"

namespace bench {

class AgreeingPerson : public platform::Person {
  public:
    platform::Button Answer(const platform::Dialog& dialog) override {
        for (platform::Button b : dialog.buttons)
            if (b == platform::Button::Yes || b == platform::Button::OK) return b;
        return dialog.buttons.empty() ? platform::Button::OK : dialog.buttons.front();
    }
    std::optional<platform::BoardPoint> PickPoint(const std::string&) override {
        return std::nullopt;
    }
    int Choose(const std::string&, const std::vector<std::string>&) override { return -1; }
};

// FPGA banks of `pinsPerBank` swappable pins each (one pin swap group per bank).
inline generator::GeneratorOptions Board(int banks, int pinsPerBank, std::uint32_t seed = 1) {
    generator::GeneratorOptions options;
    options.seed = seed;
    options.banks = banks;
    options.pinsPerBank = pinsPerBank;
    return options;
}

class Host {
  public:
    explicit Host(const generator::GeneratorOptions& options)
        : Host(generator::GenerateDesign(options)) {}
    explicit Host(hostapp::design::DesignData design) {
        platform::ResetPlatform();
        app_ = std::make_unique<hostapp::HostApplication>(std::move(design), "/bench");
        tessaro::SetClient(app_->Client());
        platform::SetCurrentPerson(&person_);
        platform::SetFixedRandomSeed(1);
    }
    ~Host() {
        platform::SetCurrentPerson(nullptr);
        tessaro::SetClient(nullptr);
        app_.reset();
        platform::ResetPlatform();
    }
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    std::string BoardPath() const { return app_->BoardPath(); }
    hostapp::HostApplication& App() { return *app_; }

    std::unique_ptr<tessaro::TSwapDataSet> Analysed(bool buildOnly = false) {
        auto data = std::make_unique<tessaro::TSwapDataSet>(BoardPath(), tessaro::smPinSwap);
        if (!tessaro::Analyze(*data, "", buildOnly))
            throw std::runtime_error("the analysis refused the generated board");
        return data;
    }

  private:
    AgreeingPerson person_;
    std::unique_ptr<hostapp::HostApplication> app_;
};

}  // namespace bench
