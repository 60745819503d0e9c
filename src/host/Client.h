// The host client: the root of all host access, reached from the IClient given to the
// plug-in's ServerFactory.
#pragma once

#include <string>

#include "host/HostTypes.h"

namespace host {

class IPCB_ServerInterface;
class ISch_ServerInterface;

class TESSARO_HOST_INTERFACE IServerDocument : public IUnknown {
  public:
    virtual std::u16string FileName() = 0;  // the full path
    virtual std::u16string Kind() = 0;      // "PCB", "SCH", "SCHLIB"
    virtual bool Modified() = 0;
    virtual void SetModified(bool value) = 0;
};

class TESSARO_HOST_INTERFACE IServerDocumentView : public IUnknown {
  public:
    virtual IServerDocument* OwnerDocument() = 0;
    virtual void UpdateStatusBar() = 0;
};

// The host's option store, in groups of keys.
class TESSARO_HOST_INTERFACE IOptionStore : public IUnknown {
  public:
    virtual std::u16string ReadString(const std::u16string& group, const std::u16string& key,
                                      const std::u16string& defaultValue) = 0;
    virtual void WriteString(const std::u16string& group, const std::u16string& key,
                             const std::u16string& value) = 0;
};

// Status codes of the client's status operation: panes 1 to 3 take a text; the negative
// codes drive the progress display.
enum StatusCode : int {
    eStatusPane1 = 1,
    eStatusPane2 = 2,
    eStatusPane3 = 3,
    eStatusBeginPhase = -3,
    eStatusEndPhase = -4,
    eProgressStart = -5,
    eProgressEnd = -6,
    eProgressStep = -7,
};

// Cursors of the host program's export "ClientAPI_BeginCursor".
constexpr int eCursorBusy = -11;
using BeginCursorFunc = void (*)(int cursor);
using EndCursorFunc = void (*)();

class TESSARO_HOST_INTERFACE IClient : public IUnknown {
  public:
    virtual std::uintptr_t GetMainWindowHandle() = 0;
    virtual IServerDocumentView* GetCurrentView() = 0;  // nullptr: none
    virtual IServerDocument* GetDocumentByPath(const std::u16string& path) = 0;
    virtual bool StartServer(const std::u16string& kind) = 0;
    virtual ISch_ServerInterface* GetSchServer() = 0;
    virtual IPCB_ServerInterface* GetPCBServer() = 0;
    virtual void UpdateStatus(int code, const std::u16string& text) = 0;
    virtual IOptionStore* GetOptionStore() = 0;
};

}  // namespace host
