// An FPGA device manager offered as "VantorManager.dll", with device pins chosen by the test.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/Device.h"
#include "platform/Platform.h"

namespace tessaro::model_test {

class FakeDevicePin : public host::IDevicePin {
  public:
    FakeDevicePin(std::string name, std::string pair, bool positive, bool negative)
        : name_(std::move(name)),
          pair_(std::move(pair)),
          positive_(positive),
          negative_(negative) {}
    host::Status QueryInterface(const host::Guid&, void** out) override {
        *out = nullptr;
        return host::E_NOINTERFACE;
    }
    std::uint32_t AddRef() override { return 1; }
    std::uint32_t Release() override { return 1; }
    std::u16string Name() override { return platform::Widen(name_); }
    std::u16string Bank() override { return u"0"; }
    std::u16string PinType() override { return u"IO"; }
    std::u16string DiffPairName() override { return platform::Widen(pair_); }
    bool IsDiffPositive() override { return positive_; }
    bool IsDiffNegative() override { return negative_; }

  private:
    std::string name_, pair_;
    bool positive_, negative_;
};

class FakeDevice : public host::IDevice, public host::IDeviceManager {
  public:
    FakeDevice(std::string name, std::vector<FakeDevicePin> pins)
        : name_(std::move(name)), pins_(std::move(pins)) {}
    host::Status QueryInterface(const host::Guid&, void** out) override {
        *out = nullptr;
        return host::E_NOINTERFACE;
    }
    std::uint32_t AddRef() override { return 1; }
    std::uint32_t Release() override { return 1; }
    std::u16string Name() override { return platform::Widen(name_); }
    int PinCount() override { return static_cast<int>(pins_.size()); }
    host::IDevicePin* Pin(int index) override { return &pins_[static_cast<std::size_t>(index)]; }
    host::IDevice* GetDeviceByName(const std::u16string& name) override {
        return platform::SameText(platform::Narrow(name), name_) ? this : nullptr;
    }

    // Offers this device through the module the plug-in looks for, until destroyed.
    void Register() {
        current = this;
        host::GetDeviceManagerFunc get = [] { return static_cast<host::IDeviceManager*>(current); };
        platform::RegisterModule("VantorManager.dll",
                                 {{"GetDeviceManager", reinterpret_cast<void*>(get)}});
    }
    ~FakeDevice() override {
        if (current == this) {
            platform::UnregisterModule("VantorManager.dll");
            current = nullptr;
        }
    }

  private:
    static inline FakeDevice* current = nullptr;
    std::string name_;
    std::vector<FakeDevicePin> pins_;
};

}  // namespace tessaro::model_test
