#include "hostapp/schematic/SchObjects.h"

#include <utility>

#include "hostapp/HostApplication.h"
#include "platform/Platform.h"

namespace hostapp::sch {

using platform::Narrow;
using platform::Widen;

// ---- SchPin ----------------------------------------------------------------------------------

SchPin::SchPin(design::SchPinData& data, SchComponent& owner, FaultInjector& faults)
    : data_(data), owner_(owner), faults_(faults) {}

std::u16string SchPin::OwnerDocumentFullPath() {
    return Widen(owner_.DocumentPath());
}
std::u16string SchPin::Designator() {
    return Widen(data_.designator);
}
std::u16string SchPin::Name() {
    return Widen(data_.name);
}
int SchPin::OwnerPartId() {
    return owner_.Data().part;
}

// The attributes are kept exactly as written: trimming and "0" handling are the reader's.
std::u16string SchPin::SwapIdPin() {
    return Widen(data_.pinSwap);
}
void SchPin::SetSwapIdPin(const std::u16string& value) {
    faults_.Check("ISch_Pin.SetSwapIdPin");
    data_.pinSwap = Narrow(value);
}
std::u16string SchPin::SwapIdPart() {
    return Widen(data_.partSwap);
}
void SchPin::SetSwapIdPart(const std::u16string& value) {
    faults_.Check("ISch_Pin.SetSwapIdPart");
    data_.partSwap = Narrow(value);
}
std::u16string SchPin::SwapIdPartPin() {
    return Widen(data_.sequence);
}
void SchPin::SetSwapIdPartPin(const std::u16string& value) {
    faults_.Check("ISch_Pin.SetSwapIdPartPin");
    data_.sequence = Narrow(value);
}
std::u16string SchPin::SwapIdPair() {
    return Widen(data_.pairSwap);
}
void SchPin::SetSwapIdPair(const std::u16string& value) {
    faults_.Check("ISch_Pin.SetSwapIdPair");
    data_.pairSwap = Narrow(value);
}

// ---- SchComponent ------------------------------------------------------------------------------

SchComponent::SchComponent(design::SchComponentData& data, std::string documentPath,
                           FaultInjector& faults)
    : data_(data), documentPath_(std::move(documentPath)) {
    pins_.reserve(data_.pins.size());
    for (auto& pin : data_.pins) pins_.push_back(std::make_unique<SchPin>(pin, *this, faults));
}

std::u16string SchComponent::OwnerDocumentFullPath() {
    return Widen(documentPath_);
}
std::u16string SchComponent::UniqueId() {
    return Widen(data_.uniqueId);
}
std::u16string SchComponent::Designator() {
    return Widen(data_.designator);
}
int SchComponent::CurrentPartId() {
    return data_.part;
}
int SchComponent::PinCount() {
    return static_cast<int>(pins_.size());
}
host::ISch_Pin* SchComponent::Pin(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= pins_.size()) return nullptr;
    return pins_[static_cast<std::size_t>(index)].get();
}

// ---- SchDocument -------------------------------------------------------------------------------

SchDocument::SchDocument(design::SheetData& data, std::string fullPath, FaultInjector& faults)
    : fullPath_(std::move(fullPath)) {
    components_.reserve(data.components.size());
    for (auto& component : data.components)
        components_.push_back(std::make_unique<SchComponent>(component, fullPath_, faults));
}

std::u16string SchDocument::FullPath() {
    return Widen(fullPath_);
}

void SchDocument::SetContext(const std::vector<std::string>& uniqueIds) {
    std::vector<host::ISch_Object*> objects;
    for (const auto& component : components_)
        for (const auto& id : uniqueIds)
            if (platform::SameText(component->Data().uniqueId, id)) {
                objects.push_back(component.get());
                break;
            }
    context_ = std::move(objects);
}

std::vector<host::ISch_Object*> SchDocument::ContextObjects(host::SchObjectSet kinds) const {
    std::vector<host::ISch_Object*> all;
    if (context_) {
        all = *context_;
    } else {
        for (const auto& component : components_) all.push_back(component.get());
    }
    std::vector<host::ISch_Object*> matching;
    for (auto* object : all) {
        int kind = object->ObjectId();
        if (kind >= 0 && kind < 64 && ((kinds >> kind) & 1u)) matching.push_back(object);
    }
    return matching;
}

int SchDocument::ContextObjectCount(host::SchObjectSet kinds) {
    return static_cast<int>(ContextObjects(kinds).size());
}

host::ISch_Object* SchDocument::ContextObject(host::SchObjectSet kinds, int index) {
    auto objects = ContextObjects(kinds);
    if (index < 0 || static_cast<std::size_t>(index) >= objects.size()) return nullptr;
    return objects[static_cast<std::size_t>(index)];
}

// ---- SchServer ---------------------------------------------------------------------------------

SchServer::SchServer(std::function<SchDocument*()> currentDocument, FaultInjector& faults)
    : currentDocument_(std::move(currentDocument)), faults_(faults) {}

host::ISch_Document* SchServer::GetCurrentSchDocument() {
    faults_.Check("ISch_ServerInterface.GetCurrentSchDocument");
    return currentDocument_();
}

}  // namespace hostapp::sch
