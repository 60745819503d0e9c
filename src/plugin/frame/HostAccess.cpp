// The process-wide client and the host services reached from it or from the host's named
// modules. Modules are looked up on every call: the host may load or unload them while the
// plug-in lives, and a missing one simply means the service is not available.
#include "frame/HostAccess.h"

#include "platform/Platform.h"

namespace tessaro {

namespace {

// A plain reference, set when the server module is made: it neither keeps the client
// alive nor is cleared when the module goes.
host::IClient* g_client = nullptr;

template <class Func>
Func FindExport(platform::ModuleHandle module, std::string_view exportName) {
    if (module == 0) return nullptr;
    return reinterpret_cast<Func>(platform::GetProcAddress(module, exportName));
}

}  // namespace

host::IClient* Client() {
    return g_client;
}
void SetClient(host::IClient* client) {
    g_client = client;
}

host::IPCB_ServerInterface* PCBServer() {
    return g_client ? g_client->GetPCBServer() : nullptr;
}

host::ISch_ServerInterface* SchServer() {
    return g_client ? g_client->GetSchServer() : nullptr;
}

host::IWorkspace* Workspace() {
    auto getWorkspace = FindExport<host::GetWorkspaceFunc>(
        platform::LoadLibrary("WorkspaceManager.DLL"), "GetWorkspace");
    return getWorkspace ? getWorkspace() : nullptr;
}

host::IDeviceManager* DeviceManager() {
    // The device manager ships either beside the host program or in its "System" folder.
    platform::ModuleHandle module = platform::LoadLibrary("VantorManager.dll");
    if (module == 0) module = platform::LoadLibrary("System\\VantorManager.dll");
    auto getDeviceManager = FindExport<host::GetDeviceManagerFunc>(module, "GetDeviceManager");
    return getDeviceManager ? getDeviceManager() : nullptr;
}

void BeginBusyCursor() {
    auto begin = FindExport<host::BeginCursorFunc>(
        platform::GetModuleHandle(platform::HostProgramModule), "ClientAPI_BeginCursor");
    if (begin) begin(host::eCursorBusy);
}

void EndBusyCursor() {
    auto end = FindExport<host::EndCursorFunc>(
        platform::GetModuleHandle(platform::HostProgramModule), "ClientAPI_EndCursor");
    if (end) end();
}

std::u16string W(std::string_view text) {
    return platform::Widen(text);
}
std::string N(std::u16string_view text) {
    return platform::Narrow(text);
}

std::string ExtractFileName(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace tessaro
