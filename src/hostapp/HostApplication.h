// The stand-in host application as its users (the command, tests, benchmarks) see it: a
// design opened into a workspace with its project, documents and board, the client the
// plug-in talks to, the message panel and status bar, fault injection, and loading the
// plug-in library.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/Client.h"
#include "host/Pcb.h"
#include "host/Plugin.h"
#include "host/Workspace.h"
#include "hostapp/design/DesignData.h"

namespace hostapp {

class Board;  // the concrete board (hostapp/board/Board.h)

// One entry of the host's message panel.
struct MessageEntry {
    std::string messageClass;
    std::string text;
    std::string source;
    std::string document;
    std::string process;
    std::string parameters;
    int image = 0;
};

// Makes chosen host operations fail, for tests of failure paths. Host operations name
// themselves as "Interface.Operation" (for example "IPCB_Net.AddPCBObject") and call Check.
class FaultInjector {
  public:
    // The operation fails (raises host::HostError with the status) on its call number
    // `onCall` (1 = the next call) and, with `repeat`, on every call after it.
    void FailOn(const std::string& operation, int onCall = 1, bool repeat = false,
                host::Status status = host::E_FAIL);
    void Clear();
    // Raises when the operation is due to fail; counts the call otherwise.
    void Check(const char* operation);
    int Calls(const std::string& operation) const;

  private:
    struct Rule {
        std::string operation;
        int onCall;
        bool repeat;
        host::Status status;
        int seen = 0;  // calls of the operation since the rule was set
    };
    std::vector<Rule> rules_;
    std::map<std::string, int, std::less<>> calls_;  // calls that went through
};

// The plug-in library loaded with dlopen; its server module made through ServerFactory.
class LoadedPlugin {
  public:
    LoadedPlugin(const LoadedPlugin&) = delete;
    LoadedPlugin& operator=(const LoadedPlugin&) = delete;
    ~LoadedPlugin();  // releases the module, then closes the library
    host::IServerModule* Module() const { return module_; }
    host::ICommandLauncher* Launcher() const;
    host::GetRouteTessaroFunc RouteHookFactory() const { return route_; }

  private:
    friend class HostApplication;
    LoadedPlugin() = default;
    void* library_ = nullptr;
    host::IServerModule* module_ = nullptr;
    host::GetRouteTessaroFunc route_ = nullptr;
};

class HostApplication {
  public:
    // Opens a design already in memory; documents get full paths in `folder`.
    HostApplication(design::DesignData design, std::string folder);
    // Reads a design file (raises design::DesignFileError) and opens it.
    static std::unique_ptr<HostApplication> Open(const std::string& designPath);
    ~HostApplication();

    host::IClient* Client();
    host::IWorkspace* Workspace();
    FaultInjector& Faults();

    // The full path of a document of the design by its file name.
    std::string DocumentPath(const std::string& fileName) const;
    std::string BoardPath() const;  // "" without board
    // A view of the document with that file name (empty: the board, else the first sheet);
    // nullptr when the design has no such document. It becomes the client's current view.
    host::IServerDocumentView* OpenView(const std::string& fileName = "");
    Board* GetBoard();  // nullptr without board

    // The message panel and status bar, as the person at the screen sees them.
    const std::vector<MessageEntry>& Messages() const;
    void OnMessage(std::function<void(const MessageEntry&)> observer);
    void OnStatus(std::function<void(int code, const std::string& text)> observer);
    // The option store persists to this file (none: kept in memory).
    void SetOptionStoreFile(const std::string& path);

    // The design as the host now holds it: board nets, schematic pin attributes and the PCB
    // switches as changed; everything else as read.
    design::DesignData Snapshot() const;

    // Loads the plug-in: dlopen, dlsym("ServerFactory") with this client, dlsym
    // ("GetRouteTessaro"). Raises std::runtime_error naming the library on failure.
    // The plug-in must be released before the application that loaded it.
    std::unique_ptr<LoadedPlugin> LoadPlugin(const std::string& libraryPath);

    // ---- What the person at the screen (or a test) can see and arrange -----------------------

    // The text of status-bar pane 1, 2 or 3 ("" for any other pane).
    std::string StatusPane(int pane) const;
    // The objects a schematic document gives as a command's context: its placed sub-parts
    // with these unique ids (none for an empty list) instead of all of them; Reset restores
    // all. Unknown documents are ignored.
    void SetSchematicContext(const std::string& fileName,
                             const std::vector<std::string>& uniqueIds);
    void ResetSchematicContext(const std::string& fileName);
    // Cursors begun through "ClientAPI_BeginCursor" and not yet ended.
    int CursorDepth() const;
    // How often the workspace was told that a document changed (DM_UpdateDocument).
    int DocumentUpdates(const std::string& fileName) const;
    // How often a compiled component (by unique id) was refreshed; 0 before compiling.
    int ComponentRefreshes(const std::string& uniqueId) const;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace hostapp
