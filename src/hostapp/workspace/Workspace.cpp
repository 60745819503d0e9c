#include "hostapp/workspace/Workspace.h"

#include <utility>

#include "hostapp/HostApplication.h"
#include "hostapp/schematic/SchObjects.h"
#include "platform/Platform.h"

namespace hostapp::ws {

using platform::Narrow;
using platform::Widen;

// ---- Document ---------------------------------------------------------------------------------

Document::Document(std::string kind, std::string fullPath, std::string fileName, Project* project,
                   FaultInjector& faults)
    : kind_(std::move(kind)),
      fullPath_(std::move(fullPath)),
      fileName_(std::move(fileName)),
      project_(project),
      faults_(faults) {}

host::IProject* Document::DM_Project() {
    return project_;
}
std::u16string Document::DM_DocumentKind() {
    return Widen(kind_);
}
std::u16string Document::DM_FullPath() {
    return Widen(fullPath_);
}
std::u16string Document::DM_FileName() {
    return Widen(fileName_);
}

host::IComponent* Document::DM_Components(int index) {
    const auto& list = components_.components;
    if (index < 0 || static_cast<std::size_t>(index) >= list.size()) return nullptr;
    return list[static_cast<std::size_t>(index)].get();
}

void Document::DM_UpdateDocument() {
    faults_.Check("IDocument.DM_UpdateDocument");
    ++updates_;
}

// ---- PcbProjectFacet --------------------------------------------------------------------------

host::Status PcbProjectFacet::QueryInterface(const host::Guid& iid, void** out) {
    return project_.QueryInterface(iid, out);
}
std::uint32_t PcbProjectFacet::AddRef() {
    return project_.AddRef();
}
std::uint32_t PcbProjectFacet::Release() {
    return project_.Release();
}
std::u16string PcbProjectFacet::DM_ProjectFullPath() {
    return project_.DM_ProjectFullPath();
}
bool PcbProjectFacet::DM_NeedsCompile() {
    project_.Faults().Check("IPcbProject.DM_NeedsCompile");
    return project_.NeedsCompile();
}

// ---- Project ----------------------------------------------------------------------------------

Project::Project(ProjectSetup setup, FaultInjector& faults)
    : setup_(std::move(setup)),
      faults_(faults),
      pcbFacet_(*this),
      needsCompile_(!setup_.compiled),
      available_(setup_.compiled) {}

bool Project::IsPcbProject() const {
    return platform::SameText(setup_.kind, "PCB");
}

host::Status Project::QueryInterface(const host::Guid& iid, void** out) {
    if (!out) return host::E_POINTER;
    *out = nullptr;
    if (iid == host::IID_IPcbProject) {
        if (!IsPcbProject()) return host::E_NOINTERFACE;
        *out = static_cast<host::IPcbProject*>(&pcbFacet_);
        AddRef();
        return host::S_OK;
    }
    return HostOwned::QueryInterface(iid, out);
}

std::u16string Project::DM_ProjectFileName() {
    return Widen(setup_.fileName);
}
std::u16string Project::DM_ProjectFullPath() {
    return Widen(setup_.fullPath);
}

void Project::SetSources(std::vector<sch::SchDocument*> sheets, const design::BoardData* board,
                         std::string boardPath) {
    sheets_ = std::move(sheets);
    board_ = board;
    boardPath_ = std::move(boardPath);
}

void Project::Compile() {
    if (!setup_.compiles) {
        // A failed compile leaves no compiled design and the project still out of date.
        available_ = false;
        needsCompile_ = true;
        return;
    }
    available_ = true;
    needsCompile_ = false;
}

bool Project::DM_Compile() {
    faults_.Check("IProject.DM_Compile");
    Compile();
    return available_;
}

void Project::DM_CompileEx(int /*argument*/, bool& first, bool& second) {
    first = false;
    second = false;
    faults_.Check("IProject.DM_CompileEx");
    Compile();
    first = available_;
    second = !available_;
}

host::IDocument* Project::DM_DocumentFlattened() {
    faults_.Check("IProject.DM_DocumentFlattened");
    return Flattened();
}

Document* Project::Flattened() {
    if (!available_) return nullptr;
    if (!compiled_) {
        compiled_ =
            std::make_unique<Document>("COMPILED", setup_.fullPath, setup_.fileName, this, faults_);
        compiled_->SetComponents(GatherComponents(sheets_, /*withNets=*/true, faults_));
    }
    return compiled_.get();
}

host::IComponentMappings* Project::DM_ComponentMappings(const std::u16string& pcbPath) {
    faults_.Check("IProject.DM_ComponentMappings");
    if (!board_ || !platform::SameText(Narrow(pcbPath), boardPath_)) return nullptr;
    if (!Flattened()) return nullptr;
    if (!mappings_)
        mappings_ = ComponentMappings::Match(compiled_->Components().components, *board_,
                                             boardPath_, faults_);
    return mappings_.get();
}

// ---- MessagesManager ----------------------------------------------------------------------------

MessagesManager::MessagesManager(std::function<void(MessageEntry)> sink, FaultInjector& faults)
    : sink_(std::move(sink)), faults_(faults) {}

void MessagesManager::AddMessage(const std::u16string& messageClass, const std::u16string& text,
                                 const std::u16string& source, const std::u16string& document,
                                 const std::u16string& callbackProcess,
                                 const std::u16string& callbackParameters, int imageIndex,
                                 int /*reserved1*/, int /*reserved2*/, int /*reserved3*/) {
    faults_.Check("IMessagesManager.AddMessage");
    sink_(MessageEntry{Narrow(messageClass), Narrow(text), Narrow(source), Narrow(document),
                       Narrow(callbackProcess), Narrow(callbackParameters), imageIndex});
}

// ---- Workspace ----------------------------------------------------------------------------------

Workspace::Workspace(Project& freeDocuments, MessagesManager& messages, FaultInjector& faults)
    : freeDocuments_(freeDocuments), messages_(messages), faults_(faults) {}

Document* Workspace::FindDocument(const std::string& path) const {
    for (auto* document : documents_)
        if (platform::SameText(document->Path(), path)) return document;
    return nullptr;
}

host::IDocument* Workspace::DM_GetDocumentFromPath(const std::u16string& path) {
    faults_.Check("IWorkspace.DM_GetDocumentFromPath");
    return FindDocument(Narrow(path));
}

}  // namespace hostapp::ws
