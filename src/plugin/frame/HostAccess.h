// The plug-in's way to its host: the process-wide client stored when the server module was
// made, and the servers and workspace reached from it. Texts cross the host interfaces as
// wide strings, converted here.
#pragma once

#include <string>
#include <string_view>

#include "host/Client.h"
#include "host/Device.h"
#include "host/Pcb.h"
#include "host/Sch.h"
#include "host/Workspace.h"

namespace tessaro {

// The client given to ServerFactory (nullptr before). A plain reference: it neither keeps
// the client alive nor is cleared when the module goes.
host::IClient* Client();
void SetClient(host::IClient* client);

host::IPCB_ServerInterface* PCBServer();  // nullptr without client
host::ISch_ServerInterface* SchServer();  // nullptr without client
host::IWorkspace* Workspace();            // via "WorkspaceManager.DLL", or nullptr
host::IDeviceManager* DeviceManager();    // via "VantorManager.dll", or nullptr
// The host program's busy cursor ("ClientAPI_BeginCursor" with -11 / "ClientAPI_EndCursor").
void BeginBusyCursor();
void EndBusyCursor();

std::u16string W(std::string_view text);
std::string N(std::u16string_view text);

// The file-name part of a path (after the last "\" or "/").
std::string ExtractFileName(const std::string& path);

}  // namespace tessaro
