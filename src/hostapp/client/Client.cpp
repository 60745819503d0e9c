#include "hostapp/client/Client.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <stdexcept>
#include <utility>

#include "hostapp/HostApplication.h"
#include "platform/Platform.h"

namespace hostapp::client {

using platform::Narrow;
using platform::Widen;

// ---- ServerDocument --------------------------------------------------------------------------

ServerDocument::ServerDocument(std::string fullPath, std::string kind, bool modified,
                               FaultInjector& faults)
    : fullPath_(std::move(fullPath)),
      kind_(std::move(kind)),
      modified_(modified),
      faults_(faults) {}

std::u16string ServerDocument::FileName() {
    return Widen(fullPath_);
}
std::u16string ServerDocument::Kind() {
    return Widen(kind_);
}

void ServerDocument::SetModified(bool value) {
    faults_.Check("IServerDocument.SetModified");
    modified_ = value;
}

// ---- OptionStore -------------------------------------------------------------------------------

bool OptionStore::NoCase::operator()(const std::string& a, const std::string& b) const {
    return platform::CompareText(a, b) < 0;
}

std::u16string OptionStore::ReadString(const std::u16string& group, const std::u16string& key,
                                       const std::u16string& defaultValue) {
    faults_.Check("IOptionStore.ReadString");
    auto g = groups_.find(Narrow(group));
    if (g == groups_.end()) return defaultValue;
    auto k = g->second.find(Narrow(key));
    return k == g->second.end() ? defaultValue : Widen(k->second);
}

void OptionStore::WriteString(const std::u16string& group, const std::u16string& key,
                              const std::u16string& value) {
    faults_.Check("IOptionStore.WriteString");
    groups_[Narrow(group)][Narrow(key)] = Narrow(value);
    if (!file_.empty()) Save();
}

void OptionStore::SetFile(const std::string& path) {
    std::map<std::string, Group, NoCase> loaded;
    std::error_code ec;
    if (std::filesystem::exists(path, ec)) {
        std::ifstream in(path, std::ios::binary);
        if (!in) throw std::runtime_error("option file " + path + ": cannot be opened");
        std::stringstream text;
        text << in.rdbuf();
        nlohmann::json json =
            nlohmann::json::parse(text.str(), nullptr, /*allow_exceptions=*/false);
        if (json.is_discarded() || !json.is_object())
            throw std::runtime_error("option file " + path + ": not a JSON object of groups");
        for (const auto& [group, keys] : json.items()) {
            if (!keys.is_object())
                throw std::runtime_error("option file " + path + ": group \"" + group +
                                         "\" is not an object of keys");
            for (const auto& [key, value] : keys.items()) {
                if (!value.is_string())
                    throw std::runtime_error("option file " + path + ": value of \"" + group + "/" +
                                             key + "\" is not a text");
                loaded[group][key] = value.get<std::string>();
            }
        }
    }
    // What was written before the file was named is kept, unless the file says otherwise.
    for (auto& [group, keys] : groups_)
        for (auto& [key, value] : keys) loaded[group].emplace(key, value);
    groups_ = std::move(loaded);
    file_ = path;
}

void OptionStore::Save() const {
    nlohmann::ordered_json json = nlohmann::ordered_json::object();
    for (const auto& [group, keys] : groups_) {
        auto& node = json[group];
        node = nlohmann::ordered_json::object();
        for (const auto& [key, value] : keys) node[key] = value;
    }
    // Written beside the target and renamed over it: a crash mid-write never leaves a
    // truncated option file behind.
    std::string temporary = file_ + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << json.dump(2) << '\n';
        out.close();
        if (!out) throw host::HostError(host::E_FAIL, "cannot write option file " + temporary);
    }
    std::error_code ec;
    std::filesystem::rename(temporary, file_, ec);
    if (ec) {
        std::filesystem::remove(temporary, ec);
        throw host::HostError(host::E_FAIL, "cannot write option file " + file_);
    }
}

// ---- Client ------------------------------------------------------------------------------------

Client::Client(std::uintptr_t mainWindow, Servers servers, host::IOptionStore& options,
               std::function<void(int, const std::u16string&)> status, FaultInjector& faults)
    : mainWindow_(mainWindow),
      servers_(servers),
      options_(options),
      status_(std::move(status)),
      faults_(faults) {}

ServerDocument* Client::FindDocument(const std::string& path) const {
    for (auto* document : documents_)
        if (platform::SameText(document->Path(), path)) return document;
    return nullptr;
}

host::IServerDocument* Client::GetDocumentByPath(const std::u16string& path) {
    faults_.Check("IClient.GetDocumentByPath");
    return FindDocument(Narrow(path));
}

bool Client::StartServer(const std::u16string& kind) {
    faults_.Check("IClient.StartServer");
    // Both editors run from the start; asking for one just says whether it exists.
    std::string name = Narrow(kind);
    if (platform::SameText(name, "SCH") || platform::SameText(name, "SCHLIB"))
        return servers_.sch != nullptr;
    if (platform::SameText(name, "PCB")) return servers_.pcb != nullptr;
    return false;
}

void Client::UpdateStatus(int code, const std::u16string& text) {
    status_(code, text);
}

}  // namespace hostapp::client
