// One-line descriptions and log dumps of the model objects: the model's diagnostic
// vocabulary. The log discards its lines, so nothing the user sees depends on these texts.
#include <cstdio>

#include "frame/HostAccess.h"
#include "model/Optimizer_Data.h"

namespace tessaro {

namespace {

// Board units (10000 to the mil) as millimetres.
std::string Millimetres(std::int32_t units) {
    char text[32];
    std::snprintf(text, sizeof text, "%.4fmm", units * 0.0254 / 10000.0);
    return text;
}

std::string SpotText(const THotSpot* spot, host::IPCB_Board* board) {
    return spot ? spot->Text(board) : std::string();
}

}  // namespace

std::string THotSpot::Text(host::IPCB_Board* board) const {
    const std::string layer = board ? N(board->LayerName(Layer)) : std::to_string(unsigned{Layer});
    return " XYL(" + Millimetres(X) + "," + Millimetres(Y) + "," + layer + ")";
}

std::string TSwapDataObject::Describe() const {
    return std::string("Abstract TSwapDataObject:") + ClassName();
}

void TSwapDataObject::Dump() const {
    if (Owner) Owner->Log(Describe());
}

std::string TSwapComponent::Describe() const {
    return SchComponent ? N(SchComponent->DM_PhysicalDesignator()) : std::string();
}

void TSwapComponent::Dump() const {
    Owner->Log("********** Component *********** " + Describe());
    for (const TSwapPin* pin : Pins) pin->Dump();
}

std::string TSwapPin::Describe() const {
    host::IPCB_Net* boardNet = BoardNet();
    TSwapNet* modelNet = ModelNet();
    return PinName() + " OldNet=" + (boardNet ? N(boardNet->Name()) : std::string("NULL")) +
           " NewNet:" + (modelNet ? modelNet->Name() : std::string("NULL"));
}

void TSwapPin::Dump() const {
    Owner->Log(Describe());
    Owner->Log("PadLocation:" + SpotText(PadLocation, Board()));
}

std::string TSwapNet::Describe() const {
    return "Net:" + Name();
}

void TSwapNet::Dump() const {
    Owner->Log("Export: " + Describe());
    for (const THotSpot* spot : HotSpots) Owner->Log("  " + SpotText(spot, Board()));
}

std::string TSwapSubNet::Describe() const {
    std::string text =
        "SubNet Index:" + std::to_string(Index) + " Prims:" + std::to_string(Prims.size());
    if (BestHotSpot)
        text += " HotSpot:" + BestHotSpot->Text(Board());
    else if (Pin)
        text += " PinSpot:" + SpotText(Pin->PadLocation, Board());
    text += " Net Name:" + NetName();
    const TSwapNet* current = CurrentNet();
    text += " Id:" + (Pin && Pin->Pad ? N(Pin->Pad->Name()) : std::string("NULL")) + "(" +
            (current ? current->Name() : std::string("NULL")) + ")";
    if (Pin && Pin->Component) text += " Comp:" + Pin->Component->Describe();
    return text;
}

void TSwapSubNet::Dump() const {
    Owner->Log(BestHotSpot ? "BestHotSpot:" + BestHotSpot->Text(Board())
                           : std::string("Error: BestHotSpot = Nil"));
    Owner->Log("Export: " + Describe());
    for (host::IPCB_Primitive* prim : Prims)
        if (prim) Owner->Log("  " + N(prim->ObjectIdString()) + " " + N(prim->Descriptor()));
    for (const THotSpot* spot : HotSpots.InOrder()) Owner->Log("  " + spot->Text(Board()));
}

std::string TSwapSubPart::Describe() const {
    const TSwapComponent* component = Component();
    return "SwapPart Component:" + (component ? component->Describe() : std::string()) +
           " SwapGroupID:" + (Group ? Group->ID : std::string()) + " SubPartId:" + SubPartId +
           " SubNets:" + std::to_string(SubNets.Count());
}

std::string TSwapGroup::Describe() const {
    return "SwapGroup For Component:" + (Component ? Component->Describe() : std::string()) +
           " ID:" + ID;
}

void TSwapGroup::Dump() const {
    Owner->Log(Describe());
    for (const auto& [id, subPart] : SubParts) {
        Owner->Log("   SubPart:" + subPart->Describe());
        int position = 0;
        for (const auto& [sequence, subNet] : subPart->SubNets)
            Owner->LogFmt("      [%d] SubNet: %s", position++, subNet->Describe().c_str());
    }
}

std::string TConnectionLine::Describe() const {
    return "TConnectionLine " + (End1 ? End1->Text(Board()) : std::string("End1 = Nil")) + " " +
           (End2 ? End2->Text(Board()) : std::string("End2 = Nil"));
}

std::string TSwapDataSet::Describe() const {
    return "TSwapDataSet";
}

void TSwapDataSet::Dump() const {
    Log("Export Swap Data Set");
    for (const auto& [key, net] : Nets) net->Dump();
    for (const TSwapComponent* component : Components) component->Dump();
}

}  // namespace tessaro
