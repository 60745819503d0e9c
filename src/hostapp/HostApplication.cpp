#include "hostapp/HostApplication.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <utility>

#include "hostapp/board/Board.h"
#include "hostapp/client/Client.h"
#include "hostapp/design/DesignFile.h"
#include "hostapp/schematic/SchObjects.h"
#include "hostapp/workspace/Workspace.h"
#include "platform/Platform.h"

namespace hostapp {

using platform::Narrow;
using platform::Widen;

// ---- FaultInjector -----------------------------------------------------------------------------

void FaultInjector::FailOn(const std::string& operation, int onCall, bool repeat,
                           host::Status status) {
    rules_.push_back(Rule{operation, std::max(onCall, 1), repeat, status});
}

void FaultInjector::Clear() {
    rules_.clear();
    calls_.clear();
}

void FaultInjector::Check(const char* operation) {
    std::string_view name(operation);
    for (auto& rule : rules_) {
        if (rule.operation != name) continue;
        ++rule.seen;
        if (rule.seen == rule.onCall || (rule.repeat && rule.seen > rule.onCall))
            throw host::HostError(rule.status, "injected fault in " + rule.operation);
    }
    auto it = calls_.find(name);
    if (it == calls_.end()) it = calls_.emplace(std::string(name), 0).first;
    ++it->second;
}

int FaultInjector::Calls(const std::string& operation) const {
    auto it = calls_.find(operation);
    return it == calls_.end() ? 0 : it->second;
}

// ---- LoadedPlugin ------------------------------------------------------------------------------

LoadedPlugin::~LoadedPlugin() {
    if (module_) module_->Release();
    if (library_) dlclose(library_);
}

host::ICommandLauncher* LoadedPlugin::Launcher() const {
    host::ICommandLauncher* launcher = nullptr;
    if (module_ && host::Failed(module_->GetCommandLauncher(&launcher))) return nullptr;
    return launcher;
}

// ---- The process-wide face of the host program
// ------------------------------------------------------

namespace {

constexpr const char* WorkspaceModule = "WorkspaceManager.DLL";

// What the host program's exports reach: the most recently opened application that is still
// open (the exports are plain functions, as the host program's are).
struct Session {
    host::IWorkspace* workspace = nullptr;
    std::vector<int> cursors;
};

std::vector<Session*>& LiveSessions() {
    static std::vector<Session*> sessions;
    return sessions;
}

Session* CurrentSession() {
    return LiveSessions().empty() ? nullptr : LiveSessions().back();
}

host::IWorkspace* GetWorkspaceExport() {
    Session* session = CurrentSession();
    return session ? session->workspace : nullptr;
}

void BeginCursorExport(int cursor) {
    if (Session* session = CurrentSession()) session->cursors.push_back(cursor);
}

void EndCursorExport() {
    // An end without a begin is the caller's slip; it must not disturb an outer cursor.
    Session* session = CurrentSession();
    if (session && !session->cursors.empty()) session->cursors.pop_back();
}

template <class F>
void* ExportOf(F* function) {
    return reinterpret_cast<void*>(function);
}

void RegisterHostModules() {
    host::GetWorkspaceFunc getWorkspace = &GetWorkspaceExport;
    host::BeginCursorFunc beginCursor = &BeginCursorExport;
    host::EndCursorFunc endCursor = &EndCursorExport;
    platform::RegisterModule(WorkspaceModule, {{"GetWorkspace", ExportOf(getWorkspace)}});
    platform::RegisterModule(platform::HostProgramModule,
                             {{"ClientAPI_BeginCursor", ExportOf(beginCursor)},
                              {"ClientAPI_EndCursor", ExportOf(endCursor)}});
}

void UnregisterHostModules() {
    platform::UnregisterModule(WorkspaceModule);
    platform::UnregisterModule(platform::HostProgramModule);
}

bool SameFile(const std::string& a, const std::string& b) {
    return platform::SameText(a, b);
}

}  // namespace

// ---- HostApplication::Impl ---------------------------------------------------------------------

struct HostApplication::Impl {
    struct DocumentEntry {
        std::string fileName;
        std::string kind;
        std::string path;
        ws::Document* document = nullptr;
        client::ServerDocument* server = nullptr;
        sch::SchDocument* schematic = nullptr;
        std::unique_ptr<client::DocumentView> view;
    };

    Impl(design::DesignData data, std::string folderPath);
    ~Impl();

    std::string PathOf(const std::string& fileName) const;
    DocumentEntry* FindEntry(const std::string& fileName);
    const DocumentEntry* FindEntry(const std::string& fileName) const;
    sch::SchDocument* CurrentSchematic() const;
    void PostMessage(MessageEntry entry);
    void PostStatus(int code, const std::u16string& text);

    // The design as the host holds it: schematic pins write straight into it, so nothing
    // here may grow or shrink once the documents are open.
    design::DesignData design;
    std::string folder;
    FaultInjector faults;
    Session session;

    std::vector<MessageEntry> messages;
    std::vector<std::function<void(const MessageEntry&)>> messageObservers;
    std::vector<std::function<void(int, const std::string&)>> statusObservers;
    std::string panes[3];
    platform::WindowHandle mainWindow = 0;

    std::vector<std::unique_ptr<sch::SchDocument>> schematics;
    std::unique_ptr<ws::MessagesManager> messagesManager;
    std::unique_ptr<ws::Project> freeDocuments;
    std::unique_ptr<ws::Project> project;
    std::vector<std::unique_ptr<ws::Document>> documents;
    std::unique_ptr<ws::Workspace> workspace;

    std::unique_ptr<PcbServer> pcbServer;  // owns the board
    Board* board = nullptr;
    std::unique_ptr<sch::SchServer> schServer;
    std::vector<std::unique_ptr<client::ServerDocument>> serverDocuments;
    std::vector<DocumentEntry> entries;
    std::unique_ptr<client::OptionStore> options;
    std::unique_ptr<client::Client> client;
};

HostApplication::Impl::Impl(design::DesignData data, std::string folderPath)
    : design(std::move(data)), folder(std::move(folderPath)) {
    while (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\')) folder.pop_back();

    messagesManager = std::make_unique<ws::MessagesManager>(
        [this](MessageEntry entry) { PostMessage(std::move(entry)); }, faults);
    ws::ProjectSetup freeSetup;
    freeSetup.fileName = "Free Documents";
    freeSetup.kind = "FREE";
    freeSetup.compiled = false;
    freeSetup.compiles = false;
    freeDocuments = std::make_unique<ws::Project>(freeSetup, faults);
    workspace = std::make_unique<ws::Workspace>(*freeDocuments, *messagesManager, faults);

    if (design.project) {
        const auto& p = *design.project;
        ws::ProjectSetup setup;
        setup.fileName = p.file;
        setup.fullPath = PathOf(p.file);
        setup.kind = p.kind;
        setup.compiled = p.compiled;
        setup.compiles = p.compiles;
        setup.swapping = p.swapping;
        project = std::make_unique<ws::Project>(setup, faults);
    }
    auto ownerOf = [&](const std::string& fileName) -> ws::Project* {
        if (!project) return freeDocuments.get();
        for (const auto& name : design.freeDocuments)
            if (SameFile(name, fileName)) return freeDocuments.get();
        return project.get();
    };
    auto open = [&](const std::string& fileName, const std::string& kind) -> DocumentEntry& {
        DocumentEntry entry;
        entry.fileName = fileName;
        entry.kind = kind;
        entry.path = PathOf(fileName);
        documents.push_back(
            std::make_unique<ws::Document>(kind, entry.path, fileName, ownerOf(fileName), faults));
        entry.document = documents.back().get();
        workspace->AddDocument(entry.document);
        serverDocuments.push_back(
            std::make_unique<client::ServerDocument>(entry.path, kind, false, faults));
        entry.server = serverDocuments.back().get();
        entries.push_back(std::move(entry));
        return entries.back();
    };
    entries.reserve(design.schematics.size() + design.libraries.size() + 1);

    std::vector<sch::SchDocument*> projectSheets;
    for (auto& sheet : design.schematics) {
        auto& entry = open(sheet.file, "SCH");
        schematics.push_back(std::make_unique<sch::SchDocument>(sheet, entry.path, faults));
        entry.schematic = schematics.back().get();
        if (project && entry.document->OwnerProject() == project.get())
            projectSheets.push_back(entry.schematic);
    }
    for (auto& library : design.libraries) {
        auto& entry = open(library.file, "SCHLIB");
        schematics.push_back(std::make_unique<sch::SchDocument>(library, entry.path, faults));
        entry.schematic = schematics.back().get();
        entry.document->SetComponents(
            ws::GatherComponents({entry.schematic}, /*withNets=*/false, faults));
    }
    const design::BoardData* projectBoard = nullptr;
    std::string boardPath;
    pcbServer = std::make_unique<PcbServer>(&faults);
    if (design.board) {
        auto& entry = open(design.board->file, "PCB");
        board = &pcbServer->OpenBoard(*design.board, entry.path);
        if (project && entry.document->OwnerProject() == project.get()) {
            projectBoard = &*design.board;
            boardPath = entry.path;
        }
    }
    if (project) {
        project->SetSources(projectSheets, projectBoard, boardPath);
        // The project file is open in the editor; unsaved changes show as its modified flag.
        serverDocuments.push_back(std::make_unique<client::ServerDocument>(
            project->Setup().fullPath, "PROJECT", !design.project->saved, faults));
    }

    // The main window owns the plug-in's forms; the host itself handles no messages in it.
    // It is made after every step that can fail, so a design that fails to open leaves no
    // window behind.
    mainWindow = platform::CreateWindow([](platform::WindowHandle, std::uint32_t, std::uintptr_t,
                                           std::intptr_t) -> std::intptr_t { return 0; });
    schServer = std::make_unique<sch::SchServer>([this] { return CurrentSchematic(); }, faults);
    options = std::make_unique<client::OptionStore>(faults);
    client = std::make_unique<client::Client>(
        mainWindow, client::Client::Servers{schServer.get(), pcbServer.get()}, *options,
        [this](int code, const std::u16string& text) { PostStatus(code, text); }, faults);
    for (auto& document : serverDocuments) client->AddDocument(document.get());

    // Devices stay as raw data until they have a model, so no device manager is offered
    // ("VantorManager.dll" is not registered): the plug-in then sees no FPGA device data,
    // which is what it sees on a host without one.

    session.workspace = workspace.get();
    LiveSessions().push_back(&session);
    RegisterHostModules();
}

HostApplication::Impl::~Impl() {
    auto& sessions = LiveSessions();
    sessions.erase(std::remove(sessions.begin(), sessions.end(), &session), sessions.end());
    if (sessions.empty()) UnregisterHostModules();
    platform::DestroyWindow(mainWindow);
}

std::string HostApplication::Impl::PathOf(const std::string& fileName) const {
    return folder.empty() ? fileName : folder + "/" + fileName;
}

HostApplication::Impl::DocumentEntry* HostApplication::Impl::FindEntry(
    const std::string& fileName) {
    for (auto& entry : entries)
        if (SameFile(entry.fileName, fileName)) return &entry;
    return nullptr;
}

const HostApplication::Impl::DocumentEntry* HostApplication::Impl::FindEntry(
    const std::string& fileName) const {
    return const_cast<Impl*>(this)->FindEntry(fileName);
}

sch::SchDocument* HostApplication::Impl::CurrentSchematic() const {
    auto* view = client->CurrentView();
    if (!view) return nullptr;
    for (const auto& entry : entries)
        if (entry.server == &view->Document()) return entry.schematic;
    return nullptr;
}

void HostApplication::Impl::PostMessage(MessageEntry entry) {
    messages.push_back(std::move(entry));
    // A copy: an observer may add observers while it runs.
    auto observers = messageObservers;
    for (const auto& observer : observers) observer(messages.back());
}

void HostApplication::Impl::PostStatus(int code, const std::u16string& text) {
    std::string narrow = Narrow(text);
    if (code >= host::eStatusPane1 && code <= host::eStatusPane3) panes[code - 1] = narrow;
    auto observers = statusObservers;
    for (const auto& observer : observers) observer(code, narrow);
}

// ---- HostApplication ---------------------------------------------------------------------------

HostApplication::HostApplication(design::DesignData design, std::string folder)
    : impl_(std::make_unique<Impl>(std::move(design), std::move(folder))) {}

std::unique_ptr<HostApplication> HostApplication::Open(const std::string& designPath) {
    design::DesignData data = design::ReadDesignFile(designPath);
    std::string folder = std::filesystem::absolute(designPath).parent_path().string();
    return std::make_unique<HostApplication>(std::move(data), std::move(folder));
}

HostApplication::~HostApplication() = default;

host::IClient* HostApplication::Client() {
    return impl_->client.get();
}
host::IWorkspace* HostApplication::Workspace() {
    return impl_->workspace.get();
}
FaultInjector& HostApplication::Faults() {
    return impl_->faults;
}

std::string HostApplication::DocumentPath(const std::string& fileName) const {
    if (const auto* entry = impl_->FindEntry(fileName)) return entry->path;
    if (impl_->project && SameFile(impl_->design.project->file, fileName))
        return impl_->project->Setup().fullPath;
    return "";
}

std::string HostApplication::BoardPath() const {
    return impl_->design.board ? impl_->PathOf(impl_->design.board->file) : "";
}

host::IServerDocumentView* HostApplication::OpenView(const std::string& fileName) {
    Impl::DocumentEntry* entry = nullptr;
    if (fileName.empty()) {
        if (impl_->design.board) entry = impl_->FindEntry(impl_->design.board->file);
        if (!entry && !impl_->design.schematics.empty())
            entry = impl_->FindEntry(impl_->design.schematics.front().file);
    } else {
        entry = impl_->FindEntry(fileName);
    }
    if (!entry) return nullptr;
    if (!entry->view) entry->view = std::make_unique<client::DocumentView>(*entry->server);
    impl_->client->SetCurrentView(entry->view.get());
    return entry->view.get();
}

Board* HostApplication::GetBoard() {
    return impl_->board;
}

const std::vector<MessageEntry>& HostApplication::Messages() const {
    return impl_->messages;
}

void HostApplication::OnMessage(std::function<void(const MessageEntry&)> observer) {
    impl_->messageObservers.push_back(std::move(observer));
}

void HostApplication::OnStatus(std::function<void(int code, const std::string& text)> observer) {
    impl_->statusObservers.push_back(std::move(observer));
}

void HostApplication::SetOptionStoreFile(const std::string& path) {
    impl_->options->SetFile(path);
}

design::DesignData HostApplication::Snapshot() const {
    design::DesignData data = impl_->design;
    if (impl_->board && data.board) impl_->board->WriteBack(*data.board);
    return data;
}

std::unique_ptr<LoadedPlugin> HostApplication::LoadPlugin(const std::string& libraryPath) {
    dlerror();
    void* library = dlopen(libraryPath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        const char* reason = dlerror();
        throw std::runtime_error("cannot load plug-in " + libraryPath + ": " +
                                 (reason ? reason : "unknown error"));
    }
    std::unique_ptr<LoadedPlugin> plugin(new LoadedPlugin);
    plugin->library_ = library;

    dlerror();
    void* factory = dlsym(library, "ServerFactory");
    if (!factory) {
        const char* reason = dlerror();
        throw std::runtime_error("plug-in " + libraryPath + " has no ServerFactory: " +
                                 (reason ? reason : "the export is null"));
    }
    host::IServerModule* module = nullptr;
    host::Status status =
        reinterpret_cast<host::ServerFactoryFunc>(factory)(impl_->client.get(), &module);
    if (host::Failed(status) || !module) {
        char code[16];
        std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(status));
        if (module) module->Release();
        throw std::runtime_error("plug-in " + libraryPath + ": ServerFactory returned " + code +
                                 (module ? "" : " and no server module"));
    }
    plugin->module_ = module;

    // The router hook is optional: a plug-in without it simply offers the router nothing.
    dlerror();
    plugin->route_ = reinterpret_cast<host::GetRouteTessaroFunc>(dlsym(library, "GetRouteTessaro"));
    dlerror();
    return plugin;
}

std::string HostApplication::StatusPane(int pane) const {
    if (pane < host::eStatusPane1 || pane > host::eStatusPane3) return "";
    return impl_->panes[pane - 1];
}

void HostApplication::SetSchematicContext(const std::string& fileName,
                                          const std::vector<std::string>& uniqueIds) {
    if (auto* entry = impl_->FindEntry(fileName); entry && entry->schematic)
        entry->schematic->SetContext(uniqueIds);
}

void HostApplication::ResetSchematicContext(const std::string& fileName) {
    if (auto* entry = impl_->FindEntry(fileName); entry && entry->schematic)
        entry->schematic->ResetContext();
}

int HostApplication::CursorDepth() const {
    return static_cast<int>(impl_->session.cursors.size());
}

int HostApplication::DocumentUpdates(const std::string& fileName) const {
    const auto* entry = impl_->FindEntry(fileName);
    return entry ? entry->document->Updates() : 0;
}

int HostApplication::ComponentRefreshes(const std::string& uniqueId) const {
    if (!impl_->project || !impl_->project->CompiledDesign()) return 0;
    for (const auto& component : impl_->project->CompiledDesign()->Components().components)
        if (platform::SameText(component->UniqueIdText(), uniqueId)) return component->Refreshes();
    return 0;
}

}  // namespace hostapp
