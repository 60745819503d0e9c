// The schematic editor's live objects: placed sub-parts (components) with their pins, the
// open sheets and libraries, and the schematic server. Pins read and write the design's own
// pin records, so whatever the plug-in writes is what a snapshot of the design saves.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/Sch.h"
#include "hostapp/design/DesignData.h"
#include "hostapp/workspace/HostOwned.h"

namespace hostapp {
class FaultInjector;
}

namespace hostapp::sch {

class SchComponent;

class SchPin : public ws::HostOwned<host::ISch_Pin> {
  public:
    SchPin(design::SchPinData& data, SchComponent& owner, FaultInjector& faults);

    host::SchObjectKind ObjectId() override { return host::eSchPin; }
    std::u16string OwnerDocumentFullPath() override;
    std::u16string Designator() override;
    std::u16string Name() override;
    int OwnerPartId() override;
    std::u16string SwapIdPin() override;
    void SetSwapIdPin(const std::u16string& value) override;
    std::u16string SwapIdPart() override;
    void SetSwapIdPart(const std::u16string& value) override;
    std::u16string SwapIdPartPin() override;
    void SetSwapIdPartPin(const std::u16string& value) override;
    std::u16string SwapIdPair() override;
    void SetSwapIdPair(const std::u16string& value) override;

    const design::SchPinData& Data() const { return data_; }
    SchComponent& Owner() const { return owner_; }

  private:
    design::SchPinData& data_;
    SchComponent& owner_;
    FaultInjector& faults_;
};

// One placed sub-part of a component on a sheet or in a library.
class SchComponent : public ws::HostOwned<host::ISch_Component> {
  public:
    SchComponent(design::SchComponentData& data, std::string documentPath, FaultInjector& faults);

    host::SchObjectKind ObjectId() override { return host::eSchComponent; }
    std::u16string OwnerDocumentFullPath() override;
    std::u16string UniqueId() override;
    std::u16string Designator() override;
    int CurrentPartId() override;
    int PinCount() override;
    host::ISch_Pin* Pin(int index) override;

    const design::SchComponentData& Data() const { return data_; }
    const std::string& DocumentPath() const { return documentPath_; }
    SchPin& PinAt(std::size_t index) { return *pins_[index]; }
    std::size_t Pins() const { return pins_.size(); }

  private:
    design::SchComponentData& data_;
    std::string documentPath_;
    std::vector<std::unique_ptr<SchPin>> pins_;  // file order
};

// An open sheet or library in the schematic editor.
class SchDocument : public ws::HostOwned<host::ISch_Document> {
  public:
    SchDocument(design::SheetData& data, std::string fullPath, FaultInjector& faults);

    std::u16string FullPath() override;
    int ContextObjectCount(host::SchObjectSet kinds) override;
    host::ISch_Object* ContextObject(host::SchObjectSet kinds, int index) override;

    const std::string& Path() const { return fullPath_; }
    const std::vector<std::unique_ptr<SchComponent>>& Components() const { return components_; }
    // The command's context: every placed sub-part of the document unless a test names
    // some (by unique id; an empty list is a context without objects).
    void SetContext(const std::vector<std::string>& uniqueIds);
    void ResetContext() { context_.reset(); }

  private:
    std::vector<host::ISch_Object*> ContextObjects(host::SchObjectSet kinds) const;

    std::string fullPath_;
    std::vector<std::unique_ptr<SchComponent>> components_;
    std::optional<std::vector<host::ISch_Object*>> context_;
};

// The schematic server: its current document is the sheet behind the client's current view.
class SchServer : public ws::HostOwned<host::ISch_ServerInterface> {
  public:
    SchServer(std::function<SchDocument*()> currentDocument, FaultInjector& faults);
    host::ISch_Document* GetCurrentSchDocument() override;

  private:
    std::function<SchDocument*()> currentDocument_;
    FaultInjector& faults_;
};

}  // namespace hostapp::sch
