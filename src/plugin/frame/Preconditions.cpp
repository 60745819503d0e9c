// Document and project checks of the board commands. Saving is checked before compiling:
// compiling an unsaved project would hide the person's unsaved changes from the result.
#include "frame/Preconditions.h"

#include "frame/HostAccess.h"

namespace tessaro {

std::optional<std::string> FindBoardForContext(host::IServerDocumentView* context) {
    host::IClient* client = Client();
    if (client == nullptr) return std::nullopt;
    // The schematic side must be running for the project checks that follow.
    client->StartServer(u"SCH");
    // Without a view or its document there is no PCB document to work on.
    if (context == nullptr) return std::nullopt;
    host::IServerDocument* document = context->OwnerDocument();
    if (document == nullptr) return std::nullopt;
    const std::u16string fileName = document->FileName();
    host::IPCB_ServerInterface* pcbServer = PCBServer();
    if (pcbServer == nullptr || pcbServer->GetPCBBoardByPath(fileName) == nullptr) {
        return std::nullopt;
    }
    return N(fileName);
}

host::IProject* FindDocumentProject(const std::string& documentPath) {
    host::IWorkspace* workspace = Workspace();
    if (workspace == nullptr) return nullptr;
    host::IDocument* document = workspace->DM_GetDocumentFromPath(W(documentPath));
    if (document == nullptr) return nullptr;
    host::IProject* project = document->DM_Project();
    // Documents of no real project sit in the workspace's project of free documents.
    if (project == workspace->DM_FreeDocumentsProject()) return nullptr;
    return project;
}

bool CheckProjectState(const std::string& documentPath, int& code) {
    code = psNotInPcbProject;
    host::IProject* project = FindDocumentProject(documentPath);
    if (project == nullptr) return false;

    void* found = nullptr;
    if (host::Failed(project->QueryInterface(host::IID_IPcbProject, &found)) || found == nullptr) {
        return false;
    }
    auto pcbProject = host::Ref<host::IPcbProject>::Adopt(static_cast<host::IPcbProject*>(found));

    code = psNeedsSaving;
    host::IClient* client = Client();
    const std::u16string projectPath = pcbProject->DM_ProjectFullPath();
    host::IServerDocument* projectFile = client ? client->GetDocumentByPath(projectPath) : nullptr;
    if (projectFile != nullptr && projectFile->Modified()) return false;

    code = psNeedsCompiling;
    if (pcbProject->DM_NeedsCompile()) return false;

    code = psReady;
    return true;
}

bool EnsureProjectReady(const std::string& documentPath, int& code) {
    if (CheckProjectState(documentPath, code)) return true;
    if (code != psNeedsCompiling) return false;
    host::IProject* project = FindDocumentProject(documentPath);
    if (project == nullptr) return false;
    bool first = false;
    bool second = false;
    project->DM_CompileEx(0, first, second);
    if (project->DM_DocumentFlattened() == nullptr) {
        code = psCompileFailed;
        return false;
    }
    code = psReady;
    return true;
}

std::string ProjectStateMessage(int code) {
    switch (code) {
        case psNotInPcbProject:
            return "Document not in a PCB project";
        case psNeedsCompiling:
            return "Project compilation out of date";
        case psNeedsSaving:
            return "Project needs to be saved";
        case psCompileFailed:
            return "Error compiling project";
        default:
            return "";
    }
}

}  // namespace tessaro
