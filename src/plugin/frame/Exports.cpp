// The plug-in library's exports: the only symbols the host looks up by name.
#include "frame/Main_Tessaro.h"
#include "optimizers/RouteTessaro.h"

#define TESSARO_EXPORT extern "C" __attribute__((visibility("default")))

TESSARO_EXPORT host::Status ServerFactory(host::IClient* client, host::IServerModule** module) {
    return tessaro::CreateServerModule(client, module);
}

// The router's pin-swap hook, GetRouteTessaro, is exported here as well.
TESSARO_EXPORT host::Status GetRouteTessaro(host::IRouterSwapHook** hook) {
    return tessaro::CreateRouteTessaro(hook);
}
