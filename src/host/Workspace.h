// The workspace and its projects: documents, compiled designs, component mappings, the
// message panel.
#pragma once

#include <string>

#include "host/HostTypes.h"

namespace host {

class IProject;
class ISch_Object;

class INet;

// A member of a compiled net: a pin (or another net object) of the compiled design.
class TESSARO_HOST_INTERFACE INetItem : public IUnknown {
  public:
    virtual std::u16string DM_PinNumber() = 0;  // the pin's designator
    virtual std::u16string DM_PinName() = 0;
    virtual std::u16string DM_ElectricalType() = 0;
    // The value that groups the members of one component: its designator.
    virtual std::u16string DM_GroupingValue() = 0;
    virtual int DM_PartId() = 0;              // the sub-part number of the pin
    virtual ISch_Object* DM_SchObject() = 0;  // an ISch_Pin for a pin
    virtual INet* DM_FlattenedNet() = 0;      // nullptr: no net
    // The pin's identifier ("U1-5"), and the path of the sheet that holds it.
    virtual std::u16string DM_FullIdentifier() = 0;
    virtual std::u16string DM_OwnerDocumentFullPath() = 0;
};

// A net of the compiled design with its three member lists.
enum NetMemberList : int { eAllMembers = 0, eNonPinMembers = 1, ePinMembers = 2 };
class TESSARO_HOST_INTERFACE INet : public IUnknown {
  public:
    virtual std::u16string DM_NetName() = 0;
    virtual int DM_MemberCount(NetMemberList list) = 0;
    virtual INetItem* DM_Member(NetMemberList list, int index) = 0;
};

// A sub-part (gate) of a compiled component.
class TESSARO_HOST_INTERFACE IPart : public IUnknown {
  public:
    virtual int DM_PartID() = 0;
    virtual ISch_Object* DM_SchObject() = 0;  // an ISch_Component
    virtual std::u16string DM_UniqueIdText() = 0;
};

// A component of a compiled design (schematic side), of a board (PCB side) or of a library.
class TESSARO_HOST_INTERFACE IComponent : public IUnknown {
  public:
    virtual std::u16string DM_PhysicalDesignator() = 0;
    virtual std::u16string DM_UniqueId() = 0;
    virtual std::u16string DM_Device() = 0;  // the FPGA device name, "" for none
    virtual int DM_PinCount() = 0;
    virtual INetItem* DM_Pins(int index) = 0;
    virtual int DM_SubPartCount() = 0;
    virtual IPart* DM_SubParts(int index) = 0;
    virtual void DM_Refresh() = 0;
};

// The project's matching of schematic components to the components of one board.
class TESSARO_HOST_INTERFACE IComponentMappings : public IUnknown {
  public:
    virtual int DM_MatchedCount() = 0;
    virtual IComponent* DM_MatchedSourceComponent(int index) = 0;  // schematic side
    virtual IComponent* DM_MatchedTargetComponent(int index) = 0;  // PCB side
    virtual int DM_UnmatchedCount() = 0;
};

class TESSARO_HOST_INTERFACE IDocument : public IUnknown {
  public:
    virtual IProject* DM_Project() = 0;
    virtual std::u16string DM_DocumentKind() = 0;  // "PCB", "SCH", "SCHLIB", ...
    virtual std::u16string DM_FullPath() = 0;
    virtual std::u16string DM_FileName() = 0;
    // The compiled design's components, or a schematic library's.
    virtual int DM_ComponentCount() = 0;
    virtual IComponent* DM_Components(int index) = 0;
    // Tells the workspace that the document's content changed.
    virtual void DM_UpdateDocument() = 0;
};

class TESSARO_HOST_INTERFACE IProject : public IUnknown {
  public:
    virtual std::u16string DM_ProjectFileName() = 0;
    virtual std::u16string DM_ProjectFullPath() = 0;
    virtual bool DM_Compile() = 0;
    virtual void DM_CompileEx(int argument, bool& first, bool& second) = 0;
    // The compiled design, or nullptr when the project has none (or compiling failed).
    virtual IDocument* DM_DocumentFlattened() = 0;
    virtual IComponentMappings* DM_ComponentMappings(const std::u16string& pcbPath) = 0;
    // The two project swap settings.
    virtual bool DM_PinSwapAllowAll() = 0;
    virtual bool DM_PinSwapAllowWhereSchematic() = 0;
};

constexpr Guid IID_IPcbProject{
    0xE76E45AD, 0x93F4, 0x4BDC, {0x96, 0xE4, 0xA1, 0x99, 0x38, 0x24, 0x8C, 0xAA}};

// The PCB-project interface of a project (QueryInterface with IID_IPcbProject).
class TESSARO_HOST_INTERFACE IPcbProject : public IUnknown {
  public:
    virtual std::u16string DM_ProjectFullPath() = 0;
    virtual bool DM_NeedsCompile() = 0;
};

class TESSARO_HOST_INTERFACE IMessagesManager : public IUnknown {
  public:
    virtual void AddMessage(const std::u16string& messageClass, const std::u16string& text,
                            const std::u16string& source, const std::u16string& document,
                            const std::u16string& callbackProcess,
                            const std::u16string& callbackParameters, int imageIndex,
                            int reserved1 = 0, int reserved2 = 0, int reserved3 = 0) = 0;
};

class TESSARO_HOST_INTERFACE IWorkspace : public IUnknown {
  public:
    virtual IDocument* DM_GetDocumentFromPath(const std::u16string& path) = 0;
    // The project that holds the documents that belong to no real project.
    virtual IProject* DM_FreeDocumentsProject() = 0;
    virtual IMessagesManager* DM_MessagesManager() = 0;
};

// The export "GetWorkspace" of the module "WorkspaceManager.DLL".
using GetWorkspaceFunc = IWorkspace* (*)();

}  // namespace host
