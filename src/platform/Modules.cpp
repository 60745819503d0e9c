// Named modules and their exports: the host registers its own program and its libraries
// here, and the plug-in finds them by name as it would find loaded libraries. Module names
// compare without regard to letter case; export names are exact.
#include <utility>

#include "platform/Platform.h"
#include "platform/PlatformState.h"

namespace platform {
namespace {

const detail::ModuleEntry* FindByHandle(ModuleHandle module) {
    if (module == 0) return nullptr;
    for (const auto& [key, entry] : detail::GetState().modules)
        if (entry.handle == module) return &entry;
    return nullptr;
}

}  // namespace

ModuleHandle RegisterModule(std::string_view name, Exports exports) {
    auto& state = detail::GetState();
    auto& entry = state.modules[detail::FoldUpper(name)];
    // A module registered again keeps its handle: holders of the old handle see the new exports.
    if (entry.handle == 0) entry.handle = state.nextModule++;
    entry.name = std::string(name);
    entry.exports = std::move(exports);
    return entry.handle;
}

void UnregisterModule(std::string_view name) {
    detail::GetState().modules.erase(detail::FoldUpper(name));
}

ModuleHandle LoadLibrary(std::string_view name) {
    return GetModuleHandle(name);
}

ModuleHandle GetModuleHandle(std::string_view name) {
    auto& modules = detail::GetState().modules;
    auto it = modules.find(detail::FoldUpper(name));
    return it == modules.end() ? 0 : it->second.handle;
}

void* GetProcAddress(ModuleHandle module, std::string_view exportName) {
    const auto* entry = FindByHandle(module);
    if (!entry) return nullptr;
    auto it = entry->exports.find(std::string(exportName));
    return it == entry->exports.end() ? nullptr : it->second;
}

void ResetModules() {
    detail::GetState().modules.clear();
}

}  // namespace platform
