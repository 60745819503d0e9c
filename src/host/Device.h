// The FPGA device manager: device pin data by device name.
#pragma once

#include <string>

#include "host/HostTypes.h"

namespace host {

class TESSARO_HOST_INTERFACE IDevicePin : public IUnknown {
  public:
    virtual std::u16string Name() = 0;
    virtual std::u16string Bank() = 0;
    virtual std::u16string PinType() = 0;
    virtual std::u16string DiffPairName() = 0;  // "" when the pin is in no pair
    virtual bool IsDiffPositive() = 0;
    virtual bool IsDiffNegative() = 0;
};

class TESSARO_HOST_INTERFACE IDevice : public IUnknown {
  public:
    virtual std::u16string Name() = 0;
    virtual int PinCount() = 0;
    virtual IDevicePin* Pin(int index) = 0;
};

class TESSARO_HOST_INTERFACE IDeviceManager : public IUnknown {
  public:
    virtual IDevice* GetDeviceByName(const std::u16string& name) = 0;  // nullptr: unknown
};

// The export "GetDeviceManager" of the module "VantorManager.dll".
using GetDeviceManagerFunc = IDeviceManager* (*)();

}  // namespace host
