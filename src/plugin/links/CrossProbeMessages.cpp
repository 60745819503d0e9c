// Entries of the host's message list: information lines, and errors that cross-probe to the
// schematic pin or the PCB pad concerned.
#include "frame/HostAccess.h"
#include "frame/Parameters.h"
#include "links/Rt_ConnectedObjectFinder.h"
#include "model/Optimizer_Data.h"

namespace tessaro {

namespace {

constexpr int InformationImage = 27;
constexpr int CrossProbeErrorImage = 73;
constexpr const char* CrossProbeSource = "Dynamic Net/Pin Allocation";

void AddEntry(const std::string& messageClass, const std::string& text, const std::string& source,
              const std::string& documentPath, const std::string& process,
              const std::string& parameters, int image) {
    host::IWorkspace* workspace = Workspace();
    host::IMessagesManager* messages = workspace ? workspace->DM_MessagesManager() : nullptr;
    if (messages == nullptr) return;
    messages->AddMessage(W(messageClass), W(text), W(source), W(ExtractFileName(documentPath)),
                         W(process), W(parameters), image, 0, 0, 0);
}

}  // namespace

void AddInformationMessage(const std::string& text, const std::string& documentPath,
                           const std::string& source) {
    AddEntry("[Information]", text, source, documentPath, "", "", InformationImage);
}

void AddSchCrossProbeError(const std::string& text, const std::string& documentPath,
                           const std::string& objectKind, const std::string& primaryId) {
    std::string parameters;
    SetCommandParameter(parameters, "FullDocumentPath", documentPath);
    SetCommandParameter(parameters, "Kind", "NetlistObject");
    SetCommandParameter(parameters, "ObjectKind", objectKind);
    SetCommandParameter(parameters, "TargetFileName", ExtractFileName(documentPath));
    SetCommandParameter(parameters, "PrimaryId", primaryId);
    AddEntry("[Error]", text, CrossProbeSource, documentPath, "SCH:CrossProbeNotify", parameters,
             CrossProbeErrorImage);
}

void AddPcbCrossProbeError(const std::string& text, const std::string& documentPath,
                           const std::string& kind, const std::string& id) {
    std::string parameters;
    SetCommandParameter(parameters, "TargetFileName", ExtractFileName(documentPath));
    SetCommandParameter(parameters, "Kind", kind);
    SetCommandParameter(parameters, "Id", id);
    AddEntry("[Error]", text, CrossProbeSource, documentPath, "PCB:CrossProbeNotify", parameters,
             CrossProbeErrorImage);
}

void ReportUnswappableSchPin(host::INetItem* schPin) {
    if (schPin == nullptr) return;
    const std::string id = N(schPin->DM_FullIdentifier());
    AddSchCrossProbeError("Schematic Pin " + id + " cannot be swapped on Schematic",
                          N(schPin->DM_OwnerDocumentFullPath()), "Pin", id);
}

void ReportUnmatchedPad(const TSwapDataSet& dataSet, host::IPCB_Pad* pad,
                        host::IPCB_Component* component) {
    if (pad == nullptr) return;
    const std::string padName = N(pad->Name());
    const std::string componentName = component ? N(component->Name()) : std::string();
    AddPcbCrossProbeError("PCB Pin " + padName + " cannot be matched to a schematic pin",
                          dataSet.FileName, "Pad", componentName + "-" + padName);
}

}  // namespace tessaro
