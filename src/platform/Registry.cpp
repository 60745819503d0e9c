// The registry: keys only (the application asks whether a key exists). Paths compare without
// regard to letter case; a leading "\" is the root, and creating a key creates its parents,
// as the real registry does.
#include <set>
#include <string>

#include "platform/Platform.h"
#include "platform/PlatformState.h"

namespace platform {
namespace {

std::set<std::string>& Keys(RegistryRoot root) {
    auto& state = detail::GetState();
    return root == RegistryRoot::LocalMachine ? state.localMachineKeys : state.currentUserKeys;
}

// "\Software\\Zentrel\" and "software\zentrel" are the same key: "SOFTWARE\ZENTREL".
std::string Normalise(std::string_view path) {
    std::string result;
    std::string segment;
    auto flush = [&] {
        if (segment.empty()) return;
        if (!result.empty()) result += '\\';
        result += detail::FoldUpper(segment);
        segment.clear();
    };
    for (char c : path) {
        if (c == '\\')
            flush();
        else
            segment += c;
    }
    flush();
    return result;
}

bool IsBelow(const std::string& key, const std::string& parent) {
    return key.size() > parent.size() && key.compare(0, parent.size(), parent) == 0 &&
           key[parent.size()] == '\\';
}

}  // namespace

bool RegistryKeyExists(RegistryRoot root, std::string_view path) {
    std::string key = Normalise(path);
    return key.empty() || Keys(root).count(key) != 0;  // the root itself always exists
}

void RegistryCreateKey(RegistryRoot root, std::string_view path) {
    std::string key = Normalise(path);
    auto& keys = Keys(root);
    for (std::size_t pos = key.find('\\'); pos != std::string::npos; pos = key.find('\\', pos + 1))
        keys.insert(key.substr(0, pos));
    if (!key.empty()) keys.insert(key);
}

void RegistryDeleteKey(RegistryRoot root, std::string_view path) {
    std::string key = Normalise(path);
    if (key.empty()) return;  // the root cannot be deleted
    auto& keys = Keys(root);
    for (auto it = keys.begin(); it != keys.end();) {
        if (*it == key || IsBelow(*it, key))
            it = keys.erase(it);
        else
            ++it;
    }
}

void ResetRegistry() {
    auto& state = detail::GetState();
    state.localMachineKeys.clear();
    state.currentUserKeys.clear();
}

}  // namespace platform
