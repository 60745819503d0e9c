// Reading, counting, checking and writing the swap information of schematic components.
#include "config/Rt_SchematicPinAndPartSwap.h"

#include <algorithm>

#include "frame/HostAccess.h"
#include "frame/Parameters.h"
#include "model/Optimizer_Data.h"
#include "platform/Platform.h"

namespace tessaro {

namespace {

bool IsBlankOrControl(char16_t c) {
    return c <= u' ';
}

char UpperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool SameAscii(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
    return true;
}

bool StartsWithAscii(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && SameAscii(text.substr(0, prefix.size()), prefix);
}

// Appends a piece to a swap text, with "|" between pieces; an empty piece adds nothing.
void AppendPiece(std::string& text, const std::string& piece) {
    if (piece.empty()) return;
    if (!text.empty()) text += '|';
    text += piece;
}

std::string Entry(const char* prefix, const std::string& designator, const std::string& value) {
    return prefix + designator + "=" + value;
}

host::ISch_Pin* SchPinOf(host::INetItem* item) {
    if (item == nullptr) return nullptr;
    return dynamic_cast<host::ISch_Pin*>(item->DM_SchObject());
}

// The trimmed value of the first entry of that name, or empty text.
std::string Lookup(const TParameterList& list, const std::string& name) {
    std::string value;
    if (!list.GetParameterValue(name, value)) return {};
    return TrimSwapText(W(value));
}

bool CanPaste(host::IComponent* target, const std::string& text, const char* prefix) {
    if (text.empty()) return true;
    TParameterList list;
    list.ParseParameters(text);
    const std::string_view prefixView(prefix);
    std::vector<std::string> designators;
    if (target != nullptr) {
        const int count = target->DM_PinCount();
        for (int i = 0; i < count; ++i)
            if (host::INetItem* pin = target->DM_Pins(i))
                designators.push_back(N(pin->DM_PinNumber()));
    }
    for (const auto& item : list.Items()) {
        if (!StartsWithAscii(item->Name, prefixView)) continue;
        const std::string_view rest = std::string_view(item->Name).substr(prefixView.size());
        const bool found = std::any_of(designators.begin(), designators.end(),
                                       [&](const std::string& d) { return SameAscii(rest, d); });
        if (!found) return false;
    }
    return true;
}

}  // namespace

// ---- Reading one pin
// ------------------------------------------------------------------------------

std::string TrimSwapText(std::u16string_view raw) {
    std::size_t begin = 0;
    std::size_t end = raw.size();
    while (begin < end && IsBlankOrControl(raw[begin])) ++begin;
    while (end > begin && IsBlankOrControl(raw[end - 1])) --end;
    return N(raw.substr(begin, end - begin));
}

std::string TrimSwapTextZeroEmpty(std::u16string_view raw) {
    std::string text = TrimSwapText(raw);
    if (text == "0") text.clear();
    return text;
}

std::string PinSwapIdOf(host::ISch_Pin* pin) {
    return pin ? TrimSwapText(pin->SwapIdPin()) : std::string();
}
std::string PartSwapIdOf(host::ISch_Pin* pin) {
    return pin ? TrimSwapTextZeroEmpty(pin->SwapIdPart()) : std::string();
}
std::string PartSequenceIdOf(host::ISch_Pin* pin) {
    return pin ? TrimSwapTextZeroEmpty(pin->SwapIdPartPin()) : std::string();
}
std::string PairSwapIdOf(host::ISch_Pin* pin) {
    return pin ? TrimSwapTextZeroEmpty(pin->SwapIdPair()) : std::string();
}

std::string ReadPinSwapId(host::INetItem* pin) {
    return PinSwapIdOf(SchPinOf(pin));
}
std::string ReadPartSwapId(host::INetItem* pin) {
    return PartSwapIdOf(SchPinOf(pin));
}
std::string ReadPartSequenceId(host::INetItem* pin) {
    return PartSequenceIdOf(SchPinOf(pin));
}
std::string ReadPairSwapId(host::INetItem* pin) {
    return PairSwapIdOf(SchPinOf(pin));
}

// ---- Component swap texts
// ----------------------------------------------------------------------------

std::vector<host::ISch_Pin*> ComponentPins(host::ISch_Component* component) {
    std::vector<host::ISch_Pin*> pins;
    if (component == nullptr) return pins;
    const int count = component->PinCount();
    pins.reserve(static_cast<std::size_t>(std::max(count, 0)));
    for (int i = 0; i < count; ++i)
        if (host::ISch_Pin* pin = component->Pin(i)) pins.push_back(pin);
    return pins;
}

namespace {

// The three texts of a list of pins, in list order.
void ReadPinsSwapData(const std::vector<host::ISch_Pin*>& pins, std::string& pinSwapData,
                      std::string& partSwapData, std::string& pairSwapData) {
    pinSwapData.clear();
    partSwapData.clear();
    pairSwapData.clear();
    for (host::ISch_Pin* pin : pins) {
        const std::string designator = N(pin->Designator());

        const std::string pinId = PinSwapIdOf(pin);
        if (!pinId.empty()) AppendPiece(pinSwapData, Entry(PinSwapPrefix, designator, pinId));

        const std::string partId = PartSwapIdOf(pin);
        const std::string sequence = PartSequenceIdOf(pin);
        std::string piece;
        if (!partId.empty()) piece = Entry(PartSwapPrefix, designator, partId);
        if (!sequence.empty()) AppendPiece(piece, Entry(PartPinSwapPrefix, designator, sequence));
        AppendPiece(partSwapData, piece);

        const std::string pairId = PairSwapIdOf(pin);
        if (!pairId.empty()) AppendPiece(pairSwapData, Entry(PairSwapPrefix, designator, pairId));
    }
}

}  // namespace

void ReadComponentSwapData(host::ISch_Component* component, std::string& pinSwapData,
                           std::string& partSwapData, std::string& pairSwapData) {
    ReadPinsSwapData(ComponentPins(component), pinSwapData, partSwapData, pairSwapData);
}

std::string ReadComponentPinSwapData(host::ISch_Component* component) {
    std::string pin, part, pair;
    ReadComponentSwapData(component, pin, part, pair);
    return pin;
}

std::string ReadComponentPartSwapData(host::ISch_Component* component) {
    std::string pin, part, pair;
    ReadComponentSwapData(component, pin, part, pair);
    return part;
}

std::string ReadComponentPairSwapData(host::ISch_Component* component) {
    std::string pin, part, pair;
    ReadComponentSwapData(component, pin, part, pair);
    return pair;
}

host::ISch_Component* SchematicObjectOf(host::IComponent* component) {
    if (component == nullptr || component->DM_SubPartCount() <= 0) return nullptr;
    host::IPart* part = component->DM_SubParts(0);
    if (part == nullptr) return nullptr;
    return dynamic_cast<host::ISch_Component*>(part->DM_SchObject());
}

std::vector<host::ISch_Pin*> ComponentPins(host::IComponent* component) {
    // A placed sub-part may list only its own pins, while the texts are written into every
    // sub-part: reading one sub-part alone would drop (and on writing clear) the others'.
    // The first pin of a designator stands for it.
    std::vector<host::ISch_Pin*> pins;
    if (component == nullptr) return pins;
    std::vector<std::string> seen;
    const int parts = component->DM_SubPartCount();
    for (int i = 0; i < parts; ++i) {
        host::IPart* part = component->DM_SubParts(i);
        auto* object = part ? dynamic_cast<host::ISch_Component*>(part->DM_SchObject()) : nullptr;
        for (host::ISch_Pin* pin : ComponentPins(object)) {
            std::string designator = N(pin->Designator());
            const bool known = std::any_of(seen.begin(), seen.end(), [&](const std::string& d) {
                return platform::SameText(d, designator);
            });
            if (known) continue;
            seen.push_back(std::move(designator));
            pins.push_back(pin);
        }
    }
    return pins;
}

void ReadComponentSwapData(const TSwapComponent& component, std::string& pinSwapData,
                           std::string& partSwapData, std::string& pairSwapData) {
    ReadPinsSwapData(ComponentPins(component.SchComponent), pinSwapData, partSwapData,
                     pairSwapData);
}

void ApplyPinSwapData(host::ISch_Component* component, const std::string& text) {
    TParameterList list;
    list.ParseParameters(text);
    for (host::ISch_Pin* pin : ComponentPins(component)) {
        const std::string designator = N(pin->Designator());
        pin->SetSwapIdPin(W(Lookup(list, PinSwapPrefix + designator)));
    }
}

void ApplyPartSwapData(host::ISch_Component* component, const std::string& text) {
    TParameterList list;
    list.ParseParameters(text);
    for (host::ISch_Pin* pin : ComponentPins(component)) {
        const std::string designator = N(pin->Designator());
        pin->SetSwapIdPart(W(Lookup(list, PartSwapPrefix + designator)));
        pin->SetSwapIdPartPin(W(Lookup(list, PartPinSwapPrefix + designator)));
    }
}

void ApplyPairSwapData(host::ISch_Component* component, const std::string& text) {
    TParameterList list;
    list.ParseParameters(text);
    for (host::ISch_Pin* pin : ComponentPins(component)) {
        const std::string designator = N(pin->Designator());
        pin->SetSwapIdPair(W(Lookup(list, PairSwapPrefix + designator)));
    }
}

int CountSwapEntries(const std::string& text, const std::string& prefix) {
    TParameterList list;
    list.ParseParameters(text);
    return static_cast<int>(
        std::count_if(list.Items().begin(), list.Items().end(),
                      [&](const auto& item) { return StartsWithAscii(item->Name, prefix); }));
}

int PinSwapCount(const std::string& pinSwapData) {
    return CountSwapEntries(pinSwapData, PinSwapPrefix);
}

int PartSwapCount(const std::string& partSwapData) {
    return std::max(CountSwapEntries(partSwapData, PartSwapPrefix),
                    CountSwapEntries(partSwapData, PartPinSwapPrefix));
}

bool CanPastePinSwapData(host::IComponent* target, const std::string& text) {
    return CanPaste(target, text, PinSwapPrefix);
}

bool CanPastePartSwapData(host::IComponent* target, const std::string& text) {
    return CanPaste(target, text, PartSwapPrefix);
}

// ---- Configuration state of a model component -------------------------------------------------

void LoadComponentSwapData(TSwapComponent& component) {
    ReadComponentSwapData(component, component.InitialPinSwapData, component.InitialPartSwapData,
                          component.InitialPairSwapData);
    component.PinSwapData = component.InitialPinSwapData;
    component.PartSwapData = component.InitialPartSwapData;
    component.PairSwapData = component.InitialPairSwapData;
    component.HadPinSwapData = !component.InitialPinSwapData.empty();
    component.HadPartSwapData = !component.InitialPartSwapData.empty();
    component.HadPairSwapData = !component.InitialPairSwapData.empty();
    RecomputeSwapDataFlags(component);
}

void SetPinSwapData(TSwapComponent& component, const std::string& text) {
    component.PinSwapData = text;
    component.HasPinSwapData = !text.empty();
    component.PinSwapDataModified = text != component.InitialPinSwapData;
}

void SetPartSwapData(TSwapComponent& component, const std::string& text) {
    component.PartSwapData = text;
    component.HasPartSwapData = !text.empty();
    component.PartSwapDataModified = text != component.InitialPartSwapData;
}

void SetPairSwapData(TSwapComponent& component, const std::string& text) {
    component.PairSwapData = text;
    component.HasPairSwapData = !text.empty();
    component.PairSwapDataModified = text != component.InitialPairSwapData;
}

void RecomputeSwapDataFlags(TSwapComponent& component) {
    SetPinSwapData(component, component.PinSwapData);
    SetPartSwapData(component, component.PartSwapData);
    SetPairSwapData(component, component.PairSwapData);
}

void WriteComponentSwapData(const TSwapComponent& component) {
    host::IComponent* sch = component.SchComponent;
    if (sch == nullptr) return;
    const int count = sch->DM_SubPartCount();
    for (int i = 0; i < count; ++i) {
        host::IPart* part = sch->DM_SubParts(i);
        if (part == nullptr) continue;
        auto* object = dynamic_cast<host::ISch_Component*>(part->DM_SchObject());
        if (object == nullptr) continue;
        if (component.PinSwapDataModified) ApplyPinSwapData(object, component.PinSwapData);
        if (component.PartSwapDataModified) ApplyPartSwapData(object, component.PartSwapData);
        if (component.PairSwapDataModified) ApplyPairSwapData(object, component.PairSwapData);
        MarkDocumentModified(object);
    }
}

// ---- Documents
// -----------------------------------------------------------------------------------

void MarkDocumentModified(const std::string& documentPath) {
    host::IClient* client = Client();
    if (client == nullptr) return;
    host::IServerDocument* document = client->GetDocumentByPath(W(documentPath));
    if (document == nullptr) return;
    document->SetModified(true);
    if (host::IWorkspace* workspace = Workspace()) {
        if (host::IDocument* projectDocument =
                workspace->DM_GetDocumentFromPath(document->FileName()))
            projectDocument->DM_UpdateDocument();
    }
}

void MarkDocumentModified(host::ISch_Object* object) {
    if (object != nullptr) MarkDocumentModified(N(object->OwnerDocumentFullPath()));
}

void MarkDocumentModified(host::IPart* part) {
    if (part != nullptr) MarkDocumentModified(part->DM_SchObject());
}

// ---- TSwapIDList
// -----------------------------------------------------------------------------------

std::vector<TSwapIDList::Entry>::iterator TSwapIDList::LowerBound(const std::string& designator) {
    return std::lower_bound(entries_.begin(), entries_.end(), designator,
                            [](const Entry& e, const std::string& d) {
                                return platform::CompareText(e.Designator, d) < 0;
                            });
}

TSwapID& TSwapIDList::Add(const std::string& designator, bool* added) {
    auto it = LowerBound(designator);
    const bool exists =
        it != entries_.end() && platform::CompareText(it->Designator, designator) == 0;
    if (added) *added = !exists;
    if (exists) return it->Id;
    return entries_.insert(it, Entry{designator, TSwapID{}})->Id;
}

TSwapID* TSwapIDList::Find(const std::string& designator) {
    auto it = LowerBound(designator);
    if (it == entries_.end() || platform::CompareText(it->Designator, designator) != 0)
        return nullptr;
    return &it->Id;
}

const TSwapID* TSwapIDList::Find(const std::string& designator) const {
    return const_cast<TSwapIDList*>(this)->Find(designator);
}

TSwapIDList TSwapIDList::FromComponent(host::ISch_Component* component) {
    TSwapIDList list;
    for (host::ISch_Pin* pin : ComponentPins(component)) {
        bool added = false;
        TSwapID& id = list.Add(N(pin->Designator()), &added);
        if (!added) continue;
        id.PairSwapId = PairSwapIdOf(pin);
        id.PartSwapId = PartSwapIdOf(pin);
        id.PartSequenceId = PartSequenceIdOf(pin);
    }
    return list;
}

}  // namespace tessaro
