// The plug-in's server module and the factory behind the exported ServerFactory.
#pragma once

#include "frame/RT_ServerImplementation.h"
#include "host/Client.h"
#include "host/Plugin.h"

namespace tessaro {

// The "Tessaro" server: the generic module with the plug-in's five commands. It makes no
// server documents.
class TTessaroServerModule : public TServerModule {
  public:
    explicit TTessaroServerModule(host::IClient* client);
};

// Clears *module, makes one module for the client and hands back its server-module interface
// with one reference counted for the caller. Any error gives 0x8000FFFF and no module.
host::Status CreateServerModule(host::IClient* client, host::IServerModule** module);

}  // namespace tessaro
