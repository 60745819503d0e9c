// Swap information as the schematic stores it: four text attributes on every schematic pin,
// gathered per component into three parameter texts (pin-swap, part-swap, pair-swap), and
// written back pin by pin. Nothing here keeps state: every operation reads or writes the
// host's objects directly.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "host/Sch.h"
#include "host/Workspace.h"

namespace tessaro {

class TSwapComponent;

// Entry name prefixes of the component swap texts.
inline constexpr const char* PinSwapPrefix = "Pin_";
inline constexpr const char* PartSwapPrefix = "Part_";
inline constexpr const char* PartPinSwapPrefix = "PartPin_";
inline constexpr const char* PairSwapPrefix = "Pair_";

// ---- Reading one pin
// ------------------------------------------------------------------------------

// Leading and trailing blanks and control characters removed.
std::string TrimSwapText(std::u16string_view raw);
// As TrimSwapText, and "0" reads as empty (part swap id, sequence id, pair swap id).
std::string TrimSwapTextZeroEmpty(std::u16string_view raw);

std::string PinSwapIdOf(host::ISch_Pin* pin);
std::string PartSwapIdOf(host::ISch_Pin* pin);
std::string PartSequenceIdOf(host::ISch_Pin* pin);
std::string PairSwapIdOf(host::ISch_Pin* pin);

// One attribute of a pin of the compiled project; empty unless its schematic object is a pin.
std::string ReadPinSwapId(host::INetItem* pin);
std::string ReadPartSwapId(host::INetItem* pin);
std::string ReadPartSequenceId(host::INetItem* pin);
std::string ReadPairSwapId(host::INetItem* pin);

// ---- Component swap texts
// ----------------------------------------------------------------------------

// The component's pins in the host's child order: every read and write walks this list.
std::vector<host::ISch_Pin*> ComponentPins(host::ISch_Component* component);

void ReadComponentSwapData(host::ISch_Component* component, std::string& pinSwapData,
                           std::string& partSwapData, std::string& pairSwapData);
std::string ReadComponentPinSwapData(host::ISch_Component* component);
std::string ReadComponentPartSwapData(host::ISch_Component* component);
std::string ReadComponentPairSwapData(host::ISch_Component* component);
// From a model component: the pins of every placed sub-part of its SchComponent that is a
// schematic component, in sub-part order, each designator once; empty texts without any.
void ReadComponentSwapData(const TSwapComponent& component, std::string& pinSwapData,
                           std::string& partSwapData, std::string& pairSwapData);
// The schematic component of a project component's first sub-part, or nullptr.
host::ISch_Component* SchematicObjectOf(host::IComponent* component);
// The pins of every placed sub-part of a project component, the first of each designator.
std::vector<host::ISch_Pin*> ComponentPins(host::IComponent* component);

// Every pin is written: a pin without an entry in the text loses its value.
void ApplyPinSwapData(host::ISch_Component* component, const std::string& text);
void ApplyPartSwapData(host::ISch_Component* component, const std::string& text);
void ApplyPairSwapData(host::ISch_Component* component, const std::string& text);

// Entries whose name begins with the prefix (ASCII case ignored).
int CountSwapEntries(const std::string& text, const std::string& prefix);
int PinSwapCount(const std::string& pinSwapData);    // "Pin_" entries
int PartSwapCount(const std::string& partSwapData);  // the larger of "Part_" and "PartPin_"

// True when every "Pin_" (resp. "Part_") entry names a pin of the target; the empty text
// always pastes.
bool CanPastePinSwapData(host::IComponent* target, const std::string& text);
bool CanPastePartSwapData(host::IComponent* target, const std::string& text);

// ---- Configuration state of a model component -------------------------------------------------

// Reads the three texts as initial and current texts; had/has flags from non-emptiness,
// modified flags cleared.
void LoadComponentSwapData(TSwapComponent& component);
void SetPinSwapData(TSwapComponent& component, const std::string& text);
void SetPartSwapData(TSwapComponent& component, const std::string& text);
void SetPairSwapData(TSwapComponent& component, const std::string& text);
// After the current texts were assigned directly.
void RecomputeSwapDataFlags(TSwapComponent& component);

// Writes the modified texts into every placed sub-part of the component's SchComponent and
// marks each sub-part's document modified. Sub-parts that are not schematic components are
// skipped.
void WriteComponentSwapData(const TSwapComponent& component);

// ---- Documents
// -----------------------------------------------------------------------------------

// Marks the open document of that path modified and tells the workspace it changed.
void MarkDocumentModified(const std::string& documentPath);
// The document that owns the object.
void MarkDocumentModified(host::ISch_Object* object);
void MarkDocumentModified(host::IPart* part);

// ---- The per-pin record of the component dialog
// ----------------------------------------------------

struct TSwapID {
    std::string PairSwapId;
    std::string PartSwapId;
    std::string PartSequenceId;
};

// TSwapID records by pin designator, sorted without regard to case; the first pin of a
// designator owns the record, later ones are ignored.
class TSwapIDList {
  public:
    struct Entry {
        std::string Designator;
        TSwapID Id;
    };
    // The record of the designator, created when missing; `added` tells which.
    TSwapID& Add(const std::string& designator, bool* added = nullptr);
    TSwapID* Find(const std::string& designator);
    const TSwapID* Find(const std::string& designator) const;
    int Count() const { return static_cast<int>(entries_.size()); }
    const Entry& At(int index) const { return entries_[static_cast<std::size_t>(index)]; }
    void Clear() { entries_.clear(); }

    // One record per pin of the component, filled from the pin's attributes.
    static TSwapIDList FromComponent(host::ISch_Component* component);

  private:
    std::vector<Entry>::iterator LowerBound(const std::string& designator);
    std::vector<Entry> entries_;
};

}  // namespace tessaro
