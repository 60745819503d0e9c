// Small stand-ins for the host's client and the few objects it hands out, for frame tests
// that need to see exactly which host operations the plug-in calls. Every object is owned by
// the test and lives on the stack; reference counts are only recorded.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "host/Client.h"
#include "host/Pcb.h"
#include "host/Sch.h"
#include "platform/Platform.h"

namespace tessaro::testing {

// Counts references without dying: the test owns the object.
template <class Interface>
class Counted : public Interface {
  public:
    host::Status QueryInterface(const host::Guid&, void** out) override {
        *out = nullptr;
        return host::E_NOINTERFACE;
    }
    std::uint32_t AddRef() override { return static_cast<std::uint32_t>(++references); }
    std::uint32_t Release() override { return static_cast<std::uint32_t>(--references); }
    int references = 0;
};

class FakeDocument : public Counted<host::IServerDocument> {
  public:
    FakeDocument(std::string fileName, std::string kind)
        : fileName(std::move(fileName)), kind(std::move(kind)) {}
    std::u16string FileName() override { return platform::Widen(fileName); }
    std::u16string Kind() override {
        if (failKind) throw host::HostError(host::E_FAIL, "IServerDocument.Kind");
        return platform::Widen(kind);
    }
    bool Modified() override { return modified; }
    void SetModified(bool value) override { modified = value; }

    std::string fileName;
    std::string kind;
    bool modified = false;
    bool failKind = false;
};

class FakeView : public Counted<host::IServerDocumentView> {
  public:
    explicit FakeView(FakeDocument* document) : document(document) {}
    host::IServerDocument* OwnerDocument() override { return document; }
    void UpdateStatusBar() override { ++statusRefreshes; }

    FakeDocument* document;
    int statusRefreshes = 0;
};

class FakeSchDocument : public Counted<host::ISch_Document> {
  public:
    std::u16string FullPath() override { return u"C:\\Design\\Sheet1.sch"; }
    int ContextObjectCount(host::SchObjectSet kinds) override {
        askedKinds.push_back(kinds);
        return kinds == host::MkSchSet(host::eSchComponent) ? components : 0;
    }
    host::ISch_Object* ContextObject(host::SchObjectSet, int) override { return nullptr; }

    int components = 0;
    std::vector<host::SchObjectSet> askedKinds;
};

class FakeSchServer : public Counted<host::ISch_ServerInterface> {
  public:
    host::ISch_Document* GetCurrentSchDocument() override { return current; }
    FakeSchDocument* current = nullptr;
};

struct StatusCall {
    int code;
    std::string text;
    friend bool operator==(const StatusCall&, const StatusCall&) = default;
};

class FakeClient : public Counted<host::IClient> {
  public:
    std::uintptr_t GetMainWindowHandle() override { return mainWindow; }
    host::IServerDocumentView* GetCurrentView() override { return currentView; }
    host::IServerDocument* GetDocumentByPath(const std::u16string&) override { return nullptr; }
    bool StartServer(const std::u16string& kind) override {
        startedServers.push_back(platform::Narrow(kind));
        if (failStartServer) throw host::HostError(host::E_FAIL, "IClient.StartServer");
        return true;
    }
    host::ISch_ServerInterface* GetSchServer() override { return schServer; }
    host::IPCB_ServerInterface* GetPCBServer() override { return nullptr; }
    void UpdateStatus(int code, const std::u16string& text) override {
        statuses.push_back({code, platform::Narrow(text)});
    }
    host::IOptionStore* GetOptionStore() override { return nullptr; }

    std::uintptr_t mainWindow = 0x5150;
    host::IServerDocumentView* currentView = nullptr;
    FakeSchServer* schServer = nullptr;
    bool failStartServer = false;
    std::vector<std::string> startedServers;
    std::vector<StatusCall> statuses;
};

}  // namespace tessaro::testing
