// The workspace: its documents, the design's project and the project of free documents,
// compiling, and the message panel.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/Workspace.h"
#include "hostapp/design/DesignData.h"
#include "hostapp/workspace/CompiledDesign.h"
#include "hostapp/workspace/HostOwned.h"

namespace hostapp {
class FaultInjector;
struct MessageEntry;
}  // namespace hostapp

namespace hostapp::ws {

class Project;

// A document of the workspace: a sheet, a library, the board, or a compiled design.
class Document : public HostOwned<host::IDocument> {
  public:
    Document(std::string kind, std::string fullPath, std::string fileName, Project* project,
             FaultInjector& faults);

    host::IProject* DM_Project() override;
    std::u16string DM_DocumentKind() override;
    std::u16string DM_FullPath() override;
    std::u16string DM_FileName() override;
    int DM_ComponentCount() override { return static_cast<int>(components_.components.size()); }
    host::IComponent* DM_Components(int index) override;
    void DM_UpdateDocument() override;

    const std::string& Kind() const { return kind_; }
    const std::string& Path() const { return fullPath_; }
    const std::string& FileName() const { return fileName_; }
    Project* OwnerProject() const { return project_; }
    void SetProject(Project* project) { project_ = project; }
    // The components the document lists (a library's, or a compiled design's).
    void SetComponents(ComponentSet components) { components_ = std::move(components); }
    const ComponentSet& Components() const { return components_; }
    int Updates() const { return updates_; }

  private:
    std::string kind_;
    std::string fullPath_;
    std::string fileName_;
    Project* project_;
    ComponentSet components_;
    int updates_ = 0;
    FaultInjector& faults_;
};

struct ProjectSetup {
    std::string fileName;  // "" for the project of free documents
    std::string fullPath;
    std::string kind;      // "PCB" gives the PCB-project interface
    bool compiled = true;  // a compiled design is up to date when the project opens
    bool compiles = true;  // compiling yields a compiled design
    design::SwapSettings swapping;
};

// The PCB-project interface of a project: one identity with the project itself.
class PcbProjectFacet : public host::IPcbProject {
  public:
    explicit PcbProjectFacet(Project& project) : project_(project) {}
    host::Status QueryInterface(const host::Guid& iid, void** out) override;
    std::uint32_t AddRef() override;
    std::uint32_t Release() override;
    std::u16string DM_ProjectFullPath() override;
    bool DM_NeedsCompile() override;

  private:
    Project& project_;
};

class Project : public HostOwned<host::IProject> {
  public:
    Project(ProjectSetup setup, FaultInjector& faults);

    host::Status QueryInterface(const host::Guid& iid, void** out) override;
    std::u16string DM_ProjectFileName() override;
    std::u16string DM_ProjectFullPath() override;
    bool DM_Compile() override;
    // `first`: a compiled design now exists; `second`: compiling reported errors.
    void DM_CompileEx(int argument, bool& first, bool& second) override;
    host::IDocument* DM_DocumentFlattened() override;
    host::IComponentMappings* DM_ComponentMappings(const std::u16string& pcbPath) override;
    bool DM_PinSwapAllowAll() override { return setup_.swapping.allPins; }
    bool DM_PinSwapAllowWhereSchematic() override { return setup_.swapping.whereSchematicAllows; }

    // What compiling reads: the project's sheets, and the board its mappings are made for.
    void SetSources(std::vector<sch::SchDocument*> sheets, const design::BoardData* board,
                    std::string boardPath);
    bool IsPcbProject() const;
    bool NeedsCompile() const { return needsCompile_; }
    const ProjectSetup& Setup() const { return setup_; }
    FaultInjector& Faults() const { return faults_; }
    // The compiled design as last built (also while compiling is failing), or nullptr.
    Document* CompiledDesign() const { return compiled_.get(); }

  private:
    void Compile();
    Document* Flattened();  // the current compiled design, built on first need

    ProjectSetup setup_;
    FaultInjector& faults_;
    PcbProjectFacet pcbFacet_;
    std::vector<sch::SchDocument*> sheets_;
    const design::BoardData* board_ = nullptr;
    std::string boardPath_;
    bool needsCompile_;
    bool available_;  // the compiled design is the project's current result
    // Built once: a compiled design depends only on the sheets' components, pins and nets,
    // which do not change while the design is open (pins read their attributes live). Keeping
    // one object also keeps every pointer the plug-in took from an earlier compile valid.
    std::unique_ptr<Document> compiled_;
    std::unique_ptr<ComponentMappings> mappings_;
};

class MessagesManager : public HostOwned<host::IMessagesManager> {
  public:
    MessagesManager(std::function<void(MessageEntry)> sink, FaultInjector& faults);
    void AddMessage(const std::u16string& messageClass, const std::u16string& text,
                    const std::u16string& source, const std::u16string& document,
                    const std::u16string& callbackProcess, const std::u16string& callbackParameters,
                    int imageIndex, int reserved1, int reserved2, int reserved3) override;

  private:
    std::function<void(MessageEntry)> sink_;
    FaultInjector& faults_;
};

class Workspace : public HostOwned<host::IWorkspace> {
  public:
    Workspace(Project& freeDocuments, MessagesManager& messages, FaultInjector& faults);
    host::IDocument* DM_GetDocumentFromPath(const std::u16string& path) override;
    host::IProject* DM_FreeDocumentsProject() override { return &freeDocuments_; }
    host::IMessagesManager* DM_MessagesManager() override { return &messages_; }

    void AddDocument(Document* document) { documents_.push_back(document); }
    Document* FindDocument(const std::string& path) const;

  private:
    Project& freeDocuments_;
    MessagesManager& messages_;
    FaultInjector& faults_;
    std::vector<Document*> documents_;
};

}  // namespace hostapp::ws
