// The schematic editor's interfaces: its server, documents, components and pins.
#pragma once

#include <string>

#include "host/HostTypes.h"

namespace host {

// Schematic object kinds by the host's numbers.
enum SchObjectKind : int { eSchPin = 2, eSchComponent = 24 };
using SchObjectSet = std::uint64_t;  // bit k stands for kind k
constexpr SchObjectSet MkSchSet(SchObjectKind k) {
    return SchObjectSet{1} << k;
}

class TESSARO_HOST_INTERFACE ISch_Object : public IUnknown {
  public:
    virtual SchObjectKind ObjectId() = 0;
    // The full path of the document that holds the object.
    virtual std::u16string OwnerDocumentFullPath() = 0;
};

class TESSARO_HOST_INTERFACE ISch_Pin : public ISch_Object {
  public:
    virtual std::u16string Designator() = 0;
    virtual std::u16string Name() = 0;
    // The number of the sub-part (gate) the pin belongs to; 0 for pins of every part.
    virtual int OwnerPartId() = 0;
    // The four swap attributes, stored as written.
    virtual std::u16string SwapIdPin() = 0;
    virtual void SetSwapIdPin(const std::u16string& value) = 0;
    virtual std::u16string SwapIdPart() = 0;
    virtual void SetSwapIdPart(const std::u16string& value) = 0;
    virtual std::u16string SwapIdPartPin() = 0;  // the part sequence id
    virtual void SetSwapIdPartPin(const std::u16string& value) = 0;
    virtual std::u16string SwapIdPair() = 0;
    virtual void SetSwapIdPair(const std::u16string& value) = 0;
};

class TESSARO_HOST_INTERFACE ISch_Component : public ISch_Object {
  public:
    virtual std::u16string UniqueId() = 0;
    virtual std::u16string Designator() = 0;
    virtual int CurrentPartId() = 0;
    // The component's pins in the host's child order.
    virtual int PinCount() = 0;
    virtual ISch_Pin* Pin(int index) = 0;
};

class TESSARO_HOST_INTERFACE ISch_Document : public IUnknown {
  public:
    virtual std::u16string FullPath() = 0;
    // The number of objects of the kinds among those the document gives as the context of
    // the command being run (the selection, or the object under the cursor).
    virtual int ContextObjectCount(SchObjectSet kinds) = 0;
    virtual ISch_Object* ContextObject(SchObjectSet kinds, int index) = 0;
};

class TESSARO_HOST_INTERFACE ISch_ServerInterface : public IUnknown {
  public:
    virtual ISch_Document* GetCurrentSchDocument() = 0;
};

}  // namespace host
