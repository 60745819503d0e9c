// The generic server module, command launcher and process control. Every operation the host
// calls clears its out-values first and turns any error into a failure status (HostEntry.h).
#include "frame/RT_ServerImplementation.h"

#include <algorithm>
#include <stdexcept>

#include "frame/HostAccess.h"
#include "frame/HostEntry.h"
#include "frame/Messages.h"
#include "platform/Platform.h"
#include "ui/Application.h"

// The linker marks the start of this library's image: its address is the module's instance
// handle, as the image base is on the host's original platform.
extern "C" const char __ehdr_start[] __attribute__((weak, visibility("hidden")));

namespace tessaro {

namespace {

host::IServerModule* g_moduleInterface = nullptr;
TServerModule* g_module = nullptr;

// A module that goes (or never finished being made) takes the process-wide references with
// it, unless a newer module has replaced them in the meantime.
void ForgetModule(TServerModule* module) {
    if (g_module != module) return;
    g_module = nullptr;
    g_moduleInterface = nullptr;
}

std::u16string TextOrEmpty(const char16_t* text) {
    return text ? std::u16string(text) : u"";
}

}  // namespace

host::IServerModule* ModuleInterface() {
    return g_moduleInterface;
}
TServerModule* Module() {
    return g_module;
}

// ---- TCommandHandler ------------------------------------------------------------------------

void TCommandHandler::Run(host::IServerDocumentView* context, const char* parameters) const {
    if (run_) run_(context, parameters);
}

void TCommandHandler::Check(host::IServerDocumentView* context, const char* parameters,
                            std::int32_t& enabled, std::int32_t& checked, std::int32_t& visible,
                            char* caption, char* imageFile) const {
    if (check_) check_(context, parameters, enabled, checked, visible, caption, imageFile);
}

// ---- TCommandLauncher -----------------------------------------------------------------------

void TCommandLauncher::RegisterCommand(const std::string& name, TRunCallback run,
                                       TCheckCallback check) {
    auto at = std::lower_bound(commands_.begin(), commands_.end(), name,
                               [](const Entry& entry, const std::string& key) {
                                   return platform::CompareText(entry.name, key) < 0;
                               });
    if (at != commands_.end() && platform::SameText(at->name, name)) return;
    commands_.insert(at, Entry{name, std::make_unique<TCommandHandler>(run, check)});
}

const TCommandHandler* TCommandLauncher::FindCommand(std::string_view name) const {
    auto at = std::lower_bound(commands_.begin(), commands_.end(), name,
                               [](const Entry& entry, std::string_view key) {
                                   return platform::CompareText(entry.name, key) < 0;
                               });
    if (at == commands_.end() || platform::CompareText(at->name, name) != 0) return nullptr;
    return at->handler.get();
}

host::Status TCommandLauncher::LaunchCommand(const char* command, const char* parameters,
                                             int /*unused*/, host::IServerDocumentView* context) {
    return GuardedEntry([&] {
        const TCommandHandler* handler = FindCommand(command ? command : "");
        if (handler == nullptr) return host::S_OK;
        handler->Run(context, parameters ? parameters : "");
        // The command may have changed what the status bar shows about the document.
        host::IClient* client = Client();
        if (client == nullptr) return host::S_OK;
        if (host::IServerDocumentView* view = client->GetCurrentView()) {
            view->UpdateStatusBar();
        } else {
            for (int pane : {host::eStatusPane1, host::eStatusPane2, host::eStatusPane3}) {
                ShowStatusText(pane, "");
            }
        }
        return host::S_OK;
    });
}

host::Status TCommandLauncher::GetCommandState(const char* command, const char* parameters,
                                               host::IServerDocumentView* context,
                                               std::int32_t* enabled, std::int32_t* checked,
                                               std::int32_t* visible, char* caption,
                                               char* imageFile) {
    return GuardedEntry([&] {
        std::int32_t& a = OutArgument(enabled);
        std::int32_t& b = OutArgument(checked);
        std::int32_t& c = OutArgument(visible);
        OutArgument(caption);
        OutArgument(imageFile);
        a = host::HostTrue;
        b = host::HostFalse;
        c = host::HostTrue;
        caption[0] = '\0';
        imageFile[0] = '\0';
        const TCommandHandler* handler = FindCommand(command ? command : "");
        if (handler != nullptr) {
            handler->Check(context, parameters ? parameters : "", a, b, c, caption, imageFile);
        }
        return host::S_OK;
    });
}

// ---- TProcessControl ------------------------------------------------------------------------

host::Status TProcessControl::GetProcessDepth(std::int32_t* out) {
    return GuardedEntry([&] {
        OutArgument(out) = depth_;
        return host::S_OK;
    });
}

// The counter wraps like the host's 32-bit integers instead of overflowing.
host::Status TProcessControl::PostProcess() {
    depth_ = static_cast<std::int32_t>(static_cast<std::uint32_t>(depth_) - 1u);
    return host::S_OK;
}

host::Status TProcessControl::PreProcess() {
    depth_ = static_cast<std::int32_t>(static_cast<std::uint32_t>(depth_) + 1u);
    return host::S_OK;
}

host::Status TProcessControl::SetProcessDepth(std::int32_t value) {
    depth_ = value;
    return host::S_OK;
}

// ---- TServerModule --------------------------------------------------------------------------

TServerModule::TServerModule(host::IClient* client, std::string serverName) {
    SetClient(client);
    g_moduleInterface = static_cast<host::IServerModule*>(this);
    g_module = this;
    try {
        client_ = client;
        serverName_ = std::move(serverName);
        launcher_ = std::make_unique<TCommandLauncher>(serverName_);
        processControl_ = std::make_unique<TProcessControl>();
        if (client == nullptr) throw host::HostError(host::E_POINTER, "no client");
        // Forms of the plug-in stay above the host's main window.
        ui::Application::Instance().SetOwnerWindow(client->GetMainWindowHandle());
    } catch (...) {
        ForgetModule(this);
        throw;
    }
}

TServerModule::~TServerModule() {
    registeredObjects_.clear();
    launcher_.reset();
    documents_.clear();
    processControl_.reset();
    ForgetModule(this);
}

host::Status TServerModule::QueryInterface(const host::Guid& iid, void** out) {
    return GuardedEntry([&] {
        void*& result = OutArgument(out);
        result = nullptr;
        if (iid == host::IID_IUnknown || iid == host::IID_IServerModule) {
            result = static_cast<host::IServerModule*>(this);
        } else if (iid == host::IID_IOptionsPage) {
            result = static_cast<host::IOptionsPage*>(this);
        } else {
            return host::E_NOINTERFACE;
        }
        AddRef();
        return host::S_OK;
    });
}

std::uint32_t TServerModule::AddRef() {
    return ++references_;
}

std::uint32_t TServerModule::Release() {
    if (references_ == 0) return 0;  // not counted: nothing to give back
    const std::uint32_t left = --references_;
    if (left == 0) delete this;
    return left;
}

host::Status TServerModule::ReceiveNotification_Idle() {
    return GuardedEntry([&] {
        ui::Application& application = ui::Application::Instance();
        platform::Message waiting;
        if (platform::PeekMessage(waiting, false)) {
            platform::PostMessage(application.Handle(), platform::WM_USER);
        }
        application.HandleIdle();
        return host::S_OK;
    });
}

host::Status TServerModule::ReceiveNotification(void*, void*) {
    return host::S_OK;
}

host::Status TServerModule::CreateDocument(const char16_t* kind, const char16_t* fileName,
                                           host::IServerDocument** out) {
    return CreateServerDocument(kind, fileName, true, out);
}

host::Status TServerModule::DestroyDocument(host::IServerDocument* document) {
    return GuardedEntry([&] {
        auto at = std::find_if(documents_.begin(), documents_.end(),
                               [&](const auto& entry) { return entry.get() == document; });
        if (at != documents_.end()) documents_.erase(at);
        return host::S_OK;
    });
}

host::Status TServerModule::GetClient(host::IClient** out) {
    return GuardedEntry([&] {
        host::IClient*& result = OutArgument(out);
        result = nullptr;
        if (client_) {
            client_->AddRef();
            result = client_.get();
        }
        return host::S_OK;
    });
}

host::Status TServerModule::GetCommandLauncher(host::ICommandLauncher** out) {
    return GuardedEntry([&] {
        host::ICommandLauncher*& result = OutArgument(out);
        result = launcher_.get();
        return host::S_OK;
    });
}

host::Status TServerModule::GetDocumentCount(std::int32_t* out) {
    return GuardedEntry([&] {
        OutArgument(out) = static_cast<std::int32_t>(documents_.size());
        return host::S_OK;
    });
}

host::Status TServerModule::GetDocument(std::int32_t index, host::IServerDocument** out) {
    return GuardedEntry([&] {
        host::IServerDocument*& result = OutArgument(out);
        result = nullptr;
        if (index < 0 || static_cast<std::size_t>(index) >= documents_.size()) {
            throw std::out_of_range("document index");
        }
        host::IServerDocument* document = documents_[static_cast<std::size_t>(index)].get();
        if (document) document->AddRef();
        result = document;
        return host::S_OK;
    });
}

host::Status TServerModule::GetModuleHandle(std::uintptr_t* out) {
    return GuardedEntry([&] {
        OutArgument(out) = reinterpret_cast<std::uintptr_t>(__ehdr_start);
        return host::S_OK;
    });
}

host::Status TServerModule::GetModuleName(std::u16string* out) {
    return GuardedEntry([&] {
        std::u16string& result = OutArgument(out);
        result.clear();
        result = W(serverName_);
        return host::S_OK;
    });
}

host::Status TServerModule::GetProcessControl(host::IProcessControl** out) {
    return GuardedEntry([&] {
        OutArgument(out) = processControl_.get();
        return host::S_OK;
    });
}

host::Status TServerModule::GetRegisteredObjectCount(std::int32_t* out) {
    return GuardedEntry([&] {
        OutArgument(out) = static_cast<std::int32_t>(registeredObjects_.size());
        return host::S_OK;
    });
}

host::Status TServerModule::GetRegisteredObject(std::int32_t index, host::IUnknown** out) {
    return GuardedEntry([&] {
        host::IUnknown*& result = OutArgument(out);
        result = nullptr;
        if (index < 0 || static_cast<std::size_t>(index) >= registeredObjects_.size()) {
            throw std::out_of_range("registered object index");
        }
        host::IUnknown* object = registeredObjects_[static_cast<std::size_t>(index)].get();
        if (object) object->AddRef();
        result = object;
        return host::S_OK;
    });
}

host::Status TServerModule::GetOptionsView(const char16_t*, host::IUnknown** out) {
    return GuardedEntry([&] {
        OutArgument(out) = nullptr;
        return host::S_OK;
    });
}

host::Status TServerModule::GetUnused1(void*, host::IUnknown** out) {
    return GuardedEntry([&] {
        OutArgument(out) = nullptr;
        return host::S_OK;
    });
}

host::Status TServerModule::GetUnused2(void*, void*, host::IUnknown** out) {
    return GuardedEntry([&] {
        OutArgument(out) = nullptr;
        return host::S_OK;
    });
}

host::Status TServerModule::RemoveRegisteredObject(host::IUnknown* object) {
    return GuardedEntry([&] {
        auto at = std::find_if(registeredObjects_.begin(), registeredObjects_.end(),
                               [&](const auto& entry) { return entry.get() == object; });
        if (at != registeredObjects_.end()) registeredObjects_.erase(at);
        return host::S_OK;
    });
}

host::Status TServerModule::RegisterObject(host::IUnknown* object) {
    return GuardedEntry([&] {
        registeredObjects_.emplace_back(object);
        return host::S_OK;
    });
}

host::Status TServerModule::CreateServerDocument(const char16_t* kind, const char16_t* fileName,
                                                 bool flag, host::IServerDocument** out) {
    return GuardedEntry([&] {
        host::IServerDocument*& result = OutArgument(out);
        result = nullptr;
        host::Ref<host::IServerDocument> document =
            DocumentFactory(TextOrEmpty(kind), TextOrEmpty(fileName), flag);
        if (document) {
            documents_.push_back(document);
            document->AddRef();  // the caller's reference
            result = document.get();
        }
        return host::S_OK;
    });
}

host::Ref<host::IServerDocument> TServerModule::DocumentFactory(const std::u16string&,
                                                                const std::u16string&, bool) {
    return {};
}

host::Status TServerModule::GetOptionsPage(const char16_t*, host::IUnknown** out) {
    return GuardedEntry([&] {
        OutArgument(out) = nullptr;
        return host::S_OK;
    });
}

host::Status TServerModule::OptionsPageChanged() {
    return host::S_OK;
}
host::Status TServerModule::OptionsPageApplied() {
    return host::S_OK;
}

}  // namespace tessaro
