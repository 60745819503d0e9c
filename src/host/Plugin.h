// The interfaces the plug-in implements and hands to the host, and its exported entries.
#pragma once

#include <cstdint>
#include <string>

#include "host/Client.h"
#include "host/HostTypes.h"
#include "host/Pcb.h"

namespace host {

constexpr Guid IID_IServerModule{
    0xCF7702C4, 0x5044, 0x49E3, {0xBE, 0x46, 0x37, 0xB9, 0xF8, 0xFB, 0x82, 0x03}};
constexpr Guid IID_IOptionsPage{
    0x37898B64, 0x0BA4, 0x498D, {0x8C, 0x2F, 0x93, 0x55, 0xA9, 0x8B, 0xAA, 0x40}};
constexpr Guid IID_ICommandLauncher{
    0xB3F5F50A, 0xC728, 0x462B, {0x8C, 0x35, 0x0A, 0xF0, 0x7A, 0xEF, 0xE6, 0xD5}};
constexpr Guid IID_IProcessControl{
    0xBAF46BDA, 0x19A1, 0x4848, {0xBF, 0xAC, 0x2B, 0xEC, 0x07, 0x8C, 0x89, 0x11}};
constexpr Guid IID_IRouterSwapHook{
    0x8D510271, 0x8535, 0x4E41, {0xBA, 0x43, 0xA3, 0x7C, 0x88, 0x74, 0x22, 0x71}};
constexpr Guid IID_IInterfaceList{
    0x285DEA8A, 0xB865, 0x11D1, {0xAA, 0xA7, 0x00, 0xC0, 0x4F, 0xB1, 0x7A, 0x72}};

// Flags of the launcher's check are 32-bit booleans: true is all bits set.
constexpr std::int32_t HostTrue = -1;
constexpr std::int32_t HostFalse = 0;
// Size of each text buffer the host passes to the launcher's check.
constexpr std::size_t CheckTextSize = 256;

class TESSARO_HOST_INTERFACE ICommandLauncher {
  public:
    virtual Status LaunchCommand(const char* command, const char* parameters, int unused,
                                 IServerDocumentView* context) = 0;
    virtual Status GetCommandState(const char* command, const char* parameters,
                                   IServerDocumentView* context, std::int32_t* enabled,
                                   std::int32_t* checked, std::int32_t* visible, char* caption,
                                   char* imageFile) = 0;

  protected:
    ~ICommandLauncher() = default;
};

class TESSARO_HOST_INTERFACE IProcessControl {
  public:
    virtual Status GetProcessDepth(std::int32_t* out) = 0;
    virtual Status PostProcess() = 0;  // decrement
    virtual Status PreProcess() = 0;   // increment
    virtual Status SetProcessDepth(std::int32_t value) = 0;

  protected:
    ~IProcessControl() = default;
};

class TESSARO_HOST_INTERFACE IServerModule : public IUnknown {
  public:
    virtual Status ReceiveNotification_Idle() = 0;             // 1
    virtual Status ReceiveNotification(void* a, void* b) = 0;  // 2
    virtual Status CreateDocument(const char16_t* kind, const char16_t* fileName,
                                  IServerDocument** out) = 0;                         // 3
    virtual Status DestroyDocument(IServerDocument* document) = 0;                    // 4
    virtual Status GetClient(IClient** out) = 0;                                      // 5
    virtual Status GetCommandLauncher(ICommandLauncher** out) = 0;                    // 6
    virtual Status GetDocumentCount(std::int32_t* out) = 0;                           // 7
    virtual Status GetDocument(std::int32_t index, IServerDocument** out) = 0;        // 8
    virtual Status GetModuleHandle(std::uintptr_t* out) = 0;                          // 9
    virtual Status GetModuleName(std::u16string* out) = 0;                            // 10
    virtual Status GetProcessControl(IProcessControl** out) = 0;                      // 11
    virtual Status GetRegisteredObjectCount(std::int32_t* out) = 0;                   // 12
    virtual Status GetRegisteredObject(std::int32_t index, IUnknown** out) = 0;       // 13
    virtual Status GetOptionsView(const char16_t* documentKind, IUnknown** out) = 0;  // 14
    virtual Status GetUnused1(void* a, IUnknown** out) = 0;                           // 15
    virtual Status GetUnused2(void* a, void* b, IUnknown** out) = 0;                  // 16
    virtual Status RemoveRegisteredObject(IUnknown* object) = 0;                      // 17
    virtual Status RegisterObject(IUnknown* object) = 0;                              // 18
    virtual Status CreateServerDocument(const char16_t* kind, const char16_t* fileName, bool flag,
                                        IServerDocument** out) = 0;  // 19
};

class TESSARO_HOST_INTERFACE IOptionsPage : public IUnknown {
  public:
    virtual Status GetOptionsPage(const char16_t* name, IUnknown** out) = 0;
    virtual Status OptionsPageChanged() = 0;
    virtual Status OptionsPageApplied() = 0;
};

// A counted list of counted references (the toolkit's standard interface list).
class TESSARO_HOST_INTERFACE IInterfaceList : public IUnknown {
  public:
    virtual Status Count(std::int32_t* out) = 0;
    virtual Status Item(std::int32_t index, IUnknown** out) = 0;  // counted for the caller
};

class TESSARO_HOST_INTERFACE IRouterSwapHook : public IUnknown {
  public:
    virtual Status OpenBoard(const char16_t* documentPath, std::uint8_t pairMode,
                             std::uint8_t* opened) = 0;
    virtual Status IsSwappablePrimitive(IPCB_Primitive* prim, std::uint8_t* found) = 0;
    virtual Status FirstSwapCandidate(IPCB_Pad* pad, IPCB_Pad** candidate) = 0;
    virtual Status NextSwapCandidate(IPCB_Pad** candidate) = 0;
    virtual Status CanSwapPads(IPCB_Pad* a, IPCB_Pad* b, std::uint8_t* allowed) = 0;
    virtual Status GetSubPartPads(IPCB_Pad* pad, IInterfaceList** list) = 0;
};

// The plug-in's exports.
using ServerFactoryFunc = Status (*)(IClient* client, IServerModule** module);
using GetRouteTessaroFunc = Status (*)(IRouterSwapHook** hook);

}  // namespace host
