// The "Tessaro" server module and its factory.
#include "frame/Main_Tessaro.h"

#include <memory>

#include "frame/Commands_Tessaro.h"
#include "frame/HostEntry.h"

namespace tessaro {

TTessaroServerModule::TTessaroServerModule(host::IClient* client)
    : TServerModule(client, "Tessaro") {
    RegisterTessaroCommands(Launcher());
}

host::Status CreateServerModule(host::IClient* client, host::IServerModule** module) {
    return GuardedEntry([&] {
        host::IServerModule*& result = OutArgument(module);
        result = nullptr;
        auto made = std::make_unique<TTessaroServerModule>(client);
        host::IServerModule* handed = made.release();
        handed->AddRef();
        result = handed;
        return host::S_OK;
    });
}

}  // namespace tessaro
