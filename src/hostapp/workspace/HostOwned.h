// The counting every host-owned object shares. The host keeps its documents and their
// objects alive while the application lives, so the plug-in's counted references only count:
// a last Release never frees anything the host still lists.
#pragma once

#include <cstdint>

#include "host/HostTypes.h"

namespace hostapp::ws {

template <class Interface>
class HostOwned : public Interface {
  public:
    host::Status QueryInterface(const host::Guid& iid, void** out) override {
        if (!out) return host::E_POINTER;
        *out = nullptr;
        if (iid == host::IID_IUnknown) {
            *out = static_cast<host::IUnknown*>(this);
            AddRef();
            return host::S_OK;
        }
        return host::E_NOINTERFACE;
    }
    std::uint32_t AddRef() override { return ++references_; }
    std::uint32_t Release() override {
        // An unbalanced Release from a faulty caller must not wrap the count round.
        if (references_ > 0) --references_;
        return references_;
    }
    // References the plug-in holds now: a leak check for tests.
    std::uint32_t References() const { return references_; }

  private:
    std::uint32_t references_ = 0;
};

}  // namespace hostapp::ws
