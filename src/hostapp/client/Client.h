// The client the plug-in talks to: open server documents and their views, the servers, the
// status bar and progress display, and the option store.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/Client.h"
#include "host/Pcb.h"
#include "host/Sch.h"
#include "hostapp/workspace/HostOwned.h"

namespace hostapp {
class FaultInjector;
}

namespace hostapp::client {

class ServerDocument : public ws::HostOwned<host::IServerDocument> {
  public:
    ServerDocument(std::string fullPath, std::string kind, bool modified, FaultInjector& faults);
    std::u16string FileName() override;
    std::u16string Kind() override;
    bool Modified() override { return modified_; }
    void SetModified(bool value) override;

    const std::string& Path() const { return fullPath_; }
    const std::string& KindText() const { return kind_; }

  private:
    std::string fullPath_;
    std::string kind_;
    bool modified_;
    FaultInjector& faults_;
};

class DocumentView : public ws::HostOwned<host::IServerDocumentView> {
  public:
    explicit DocumentView(ServerDocument& document) : document_(document) {}
    host::IServerDocument* OwnerDocument() override { return &document_; }
    // A view's own status texts are the editor's cursor position and the like, which this
    // host has none of; the panes keep what was last written to them.
    void UpdateStatusBar() override {}

    ServerDocument& Document() const { return document_; }

  private:
    ServerDocument& document_;
};

// Groups of keys with text values; group and key names compare without regard to case.
// With a file, every write is saved at once, so an interrupted command loses nothing.
class OptionStore : public ws::HostOwned<host::IOptionStore> {
  public:
    explicit OptionStore(FaultInjector& faults) : faults_(faults) {}
    std::u16string ReadString(const std::u16string& group, const std::u16string& key,
                              const std::u16string& defaultValue) override;
    void WriteString(const std::u16string& group, const std::u16string& key,
                     const std::u16string& value) override;

    // Loads the file when it exists (raises std::runtime_error naming the file when it
    // cannot be read as an option file) and saves to it from then on.
    void SetFile(const std::string& path);

  private:
    struct NoCase {
        bool operator()(const std::string& a, const std::string& b) const;
    };
    using Group = std::map<std::string, std::string, NoCase>;
    void Save() const;

    std::map<std::string, Group, NoCase> groups_;
    std::string file_;
    FaultInjector& faults_;
};

class Client : public ws::HostOwned<host::IClient> {
  public:
    struct Servers {
        host::ISch_ServerInterface* sch = nullptr;
        host::IPCB_ServerInterface* pcb = nullptr;
    };
    Client(std::uintptr_t mainWindow, Servers servers, host::IOptionStore& options,
           std::function<void(int, const std::u16string&)> status, FaultInjector& faults);

    std::uintptr_t GetMainWindowHandle() override { return mainWindow_; }
    host::IServerDocumentView* GetCurrentView() override { return currentView_; }
    host::IServerDocument* GetDocumentByPath(const std::u16string& path) override;
    bool StartServer(const std::u16string& kind) override;
    host::ISch_ServerInterface* GetSchServer() override { return servers_.sch; }
    host::IPCB_ServerInterface* GetPCBServer() override { return servers_.pcb; }
    void UpdateStatus(int code, const std::u16string& text) override;
    host::IOptionStore* GetOptionStore() override { return &options_; }

    void AddDocument(ServerDocument* document) { documents_.push_back(document); }
    ServerDocument* FindDocument(const std::string& path) const;
    void SetCurrentView(DocumentView* view) { currentView_ = view; }
    DocumentView* CurrentView() const { return currentView_; }

  private:
    std::uintptr_t mainWindow_;
    Servers servers_;
    host::IOptionStore& options_;
    std::function<void(int, const std::u16string&)> status_;
    FaultInjector& faults_;
    std::vector<ServerDocument*> documents_;
    DocumentView* currentView_ = nullptr;
};

}  // namespace hostapp::client
