// Schematic pins and components small enough to set up in one line, for the swap text
// tests: the attributes are stored exactly as written, like the host stores them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/Sch.h"
#include "host/Workspace.h"
#include "platform/Platform.h"

namespace tessaro::testing {

template <class Interface>
class Uncounted : public Interface {
  public:
    host::Status QueryInterface(const host::Guid&, void** out) override {
        *out = nullptr;
        return host::E_NOINTERFACE;
    }
    std::uint32_t AddRef() override { return 1; }
    std::uint32_t Release() override { return 1; }
};

struct PinAttributes {
    std::string designator;
    std::string pinSwap;
    std::string partSwap;
    std::string sequence;
    std::string pairSwap;
};

class FakeSchPin : public Uncounted<host::ISch_Pin> {
  public:
    explicit FakeSchPin(PinAttributes a) : attributes(std::move(a)) {}
    host::SchObjectKind ObjectId() override { return host::eSchPin; }
    std::u16string OwnerDocumentFullPath() override { return u"/designs/sheet.sch"; }
    std::u16string Designator() override { return platform::Widen(attributes.designator); }
    std::u16string Name() override { return u""; }
    int OwnerPartId() override { return 1; }
    std::u16string SwapIdPin() override { return platform::Widen(attributes.pinSwap); }
    void SetSwapIdPin(const std::u16string& v) override {
        attributes.pinSwap = platform::Narrow(v);
    }
    std::u16string SwapIdPart() override { return platform::Widen(attributes.partSwap); }
    void SetSwapIdPart(const std::u16string& v) override {
        attributes.partSwap = platform::Narrow(v);
    }
    std::u16string SwapIdPartPin() override { return platform::Widen(attributes.sequence); }
    void SetSwapIdPartPin(const std::u16string& v) override {
        attributes.sequence = platform::Narrow(v);
    }
    std::u16string SwapIdPair() override { return platform::Widen(attributes.pairSwap); }
    void SetSwapIdPair(const std::u16string& v) override {
        attributes.pairSwap = platform::Narrow(v);
    }

    PinAttributes attributes;
};

class FakeSchComponent : public Uncounted<host::ISch_Component> {
  public:
    explicit FakeSchComponent(const std::vector<PinAttributes>& pins) {
        for (const PinAttributes& p : pins) this->pins.push_back(std::make_unique<FakeSchPin>(p));
    }
    host::SchObjectKind ObjectId() override { return host::eSchComponent; }
    std::u16string OwnerDocumentFullPath() override { return u"/designs/sheet.sch"; }
    std::u16string UniqueId() override { return u"ABC"; }
    std::u16string Designator() override { return u"U1"; }
    int CurrentPartId() override { return 1; }
    int PinCount() override { return static_cast<int>(pins.size()); }
    host::ISch_Pin* Pin(int index) override { return pins[static_cast<std::size_t>(index)].get(); }

    const PinAttributes& At(std::size_t i) const { return pins[i]->attributes; }

    std::vector<std::unique_ptr<FakeSchPin>> pins;
};

// A compiled-project pin whose schematic object is chosen by the test.
class FakeNetItem : public Uncounted<host::INetItem> {
  public:
    FakeNetItem(std::string designator, host::ISch_Object* object)
        : designator(std::move(designator)), object(object) {}
    std::u16string DM_PinNumber() override { return platform::Widen(designator); }
    std::u16string DM_PinName() override { return u""; }
    std::u16string DM_ElectricalType() override { return u"Passive"; }
    std::u16string DM_GroupingValue() override { return u"U1"; }
    int DM_PartId() override { return 1; }
    host::ISch_Object* DM_SchObject() override { return object; }
    host::INet* DM_FlattenedNet() override { return nullptr; }
    std::u16string DM_FullIdentifier() override { return platform::Widen("U1-" + designator); }
    std::u16string DM_OwnerDocumentFullPath() override { return u"/designs/sheet.sch"; }

    std::string designator;
    host::ISch_Object* object;
};

// A project component with pins of the given designators.
class FakeProjectComponent : public Uncounted<host::IComponent> {
  public:
    explicit FakeProjectComponent(const std::vector<std::string>& designators) {
        for (const std::string& d : designators)
            pins.push_back(std::make_unique<FakeNetItem>(d, nullptr));
    }
    std::u16string DM_PhysicalDesignator() override { return u"U1"; }
    std::u16string DM_UniqueId() override { return u"ABC"; }
    std::u16string DM_Device() override { return u""; }
    int DM_PinCount() override { return static_cast<int>(pins.size()); }
    host::INetItem* DM_Pins(int index) override {
        return pins[static_cast<std::size_t>(index)].get();
    }
    int DM_SubPartCount() override { return 0; }
    host::IPart* DM_SubParts(int) override { return nullptr; }
    void DM_Refresh() override {}

    std::vector<std::unique_ptr<FakeNetItem>> pins;
};

}  // namespace tessaro::testing
