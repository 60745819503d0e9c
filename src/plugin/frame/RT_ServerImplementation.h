// The generic server module the host talks to: the module itself, its command launcher with
// the table of command handlers, and the process-control counter. Command sets derive from
// TServerModule and register their commands with the launcher.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/Client.h"
#include "host/Plugin.h"

namespace tessaro {

// A command's run callback: the view it was invoked from and its parameter text.
using TRunCallback = void (*)(host::IServerDocumentView* context, const char* parameters);
// A command's check callback: may change whether the command is enabled, checked and
// visible, and the two texts (buffers of host::CheckTextSize characters).
using TCheckCallback = void (*)(host::IServerDocumentView* context, const char* parameters,
                                std::int32_t& enabled, std::int32_t& checked, std::int32_t& visible,
                                char* caption, char* imageFile);

class TCommandHandler {
  public:
    TCommandHandler(TRunCallback run, TCheckCallback check) : run_(run), check_(check) {}
    void Run(host::IServerDocumentView* context, const char* parameters) const;
    void Check(host::IServerDocumentView* context, const char* parameters, std::int32_t& enabled,
               std::int32_t& checked, std::int32_t& visible, char* caption, char* imageFile) const;

  private:
    TRunCallback run_;
    TCheckCallback check_;
};

// Lives exactly as long as its module; its interface is not reference counted.
class TCommandLauncher : public host::ICommandLauncher {
  public:
    explicit TCommandLauncher(std::string serverName) : serverName_(std::move(serverName)) {}
    virtual ~TCommandLauncher() = default;
    TCommandLauncher(const TCommandLauncher&) = delete;
    TCommandLauncher& operator=(const TCommandLauncher&) = delete;

    // Adds a command; a name already present in any letter case is ignored.
    void RegisterCommand(const std::string& name, TRunCallback run, TCheckCallback check);
    // The handler of a command, names compared without regard to case; nullptr if unknown.
    const TCommandHandler* FindCommand(std::string_view name) const;
    const std::string& ServerName() const { return serverName_; }
    std::size_t CommandCount() const { return commands_.size(); }
    const std::string& CommandName(std::size_t index) const { return commands_[index].name; }

    host::Status LaunchCommand(const char* command, const char* parameters, int unused,
                               host::IServerDocumentView* context) override;
    host::Status GetCommandState(const char* command, const char* parameters,
                                 host::IServerDocumentView* context, std::int32_t* enabled,
                                 std::int32_t* checked, std::int32_t* visible, char* caption,
                                 char* imageFile) override;

  private:
    struct Entry {
        std::string name;
        std::unique_ptr<TCommandHandler> handler;
    };
    std::string serverName_;
    std::vector<Entry> commands_;  // sorted by name without regard to case
};

// A counter the host keeps on the module (nesting of its processes); not reference counted.
class TProcessControl : public host::IProcessControl {
  public:
    virtual ~TProcessControl() = default;
    host::Status GetProcessDepth(std::int32_t* out) override;
    host::Status PostProcess() override;
    host::Status PreProcess() override;
    host::Status SetProcessDepth(std::int32_t value) override;

  private:
    std::int32_t depth_ = 0;
};

// The module the host holds by reference; it dies with its last Release.
class TServerModule : public host::IServerModule, public host::IOptionsPage {
  public:
    TServerModule(host::IClient* client, std::string serverName);
    ~TServerModule() override;
    TServerModule(const TServerModule&) = delete;
    TServerModule& operator=(const TServerModule&) = delete;

    TCommandLauncher& Launcher() { return *launcher_; }

    // Identity and reference counting, shared by both interfaces.
    host::Status QueryInterface(const host::Guid& iid, void** out) override;
    std::uint32_t AddRef() override;
    std::uint32_t Release() override;

    // The server-module interface.
    host::Status ReceiveNotification_Idle() override;
    host::Status ReceiveNotification(void* a, void* b) override;
    host::Status CreateDocument(const char16_t* kind, const char16_t* fileName,
                                host::IServerDocument** out) override;
    host::Status DestroyDocument(host::IServerDocument* document) override;
    host::Status GetClient(host::IClient** out) override;
    host::Status GetCommandLauncher(host::ICommandLauncher** out) override;
    host::Status GetDocumentCount(std::int32_t* out) override;
    host::Status GetDocument(std::int32_t index, host::IServerDocument** out) override;
    host::Status GetModuleHandle(std::uintptr_t* out) override;
    host::Status GetModuleName(std::u16string* out) override;
    host::Status GetProcessControl(host::IProcessControl** out) override;
    host::Status GetRegisteredObjectCount(std::int32_t* out) override;
    host::Status GetRegisteredObject(std::int32_t index, host::IUnknown** out) override;
    host::Status GetOptionsView(const char16_t* documentKind, host::IUnknown** out) override;
    host::Status GetUnused1(void* a, host::IUnknown** out) override;
    host::Status GetUnused2(void* a, void* b, host::IUnknown** out) override;
    host::Status RemoveRegisteredObject(host::IUnknown* object) override;
    host::Status RegisterObject(host::IUnknown* object) override;
    host::Status CreateServerDocument(const char16_t* kind, const char16_t* fileName, bool flag,
                                      host::IServerDocument** out) override;

    // The options-page interface: this module registers no pages.
    host::Status GetOptionsPage(const char16_t* name, host::IUnknown** out) override;
    host::Status OptionsPageChanged() override;
    host::Status OptionsPageApplied() override;

  protected:
    // Makes a server document of a kind; none by default.
    virtual host::Ref<host::IServerDocument> DocumentFactory(const std::u16string& kind,
                                                             const std::u16string& fileName,
                                                             bool flag);

  private:
    std::uint32_t references_ = 0;
    host::Ref<host::IClient> client_;
    std::vector<host::Ref<host::IServerDocument>> documents_;
    std::string serverName_;
    std::vector<host::Ref<host::IUnknown>> registeredObjects_;
    std::unique_ptr<TCommandLauncher> launcher_;
    std::unique_ptr<TProcessControl> processControl_;
};

// The process-wide module references: set when a module is made, cleared when it goes.
host::IServerModule* ModuleInterface();
TServerModule* Module();

}  // namespace tessaro
