// The analysis before optimising: the build in its fixed order, the problems it found told
// to the person (or to the message panel), and the abort check of long optimisations.
#include "model/Analyze.h"

#include <string>

#include "frame/HostAccess.h"
#include "frame/Messages.h"
#include "model/Optimizer_Data.h"
#include "platform/Platform.h"

namespace tessaro {

bool AbortRequested = false;

namespace {

// Calls of CheckAbort over the plug-in's life; unsigned so that it wraps instead of
// overflowing on very long runs.
std::uint32_t abortChecks = 0;
constexpr std::uint32_t AbortCheckInterval = 50;

constexpr const char* MessageSource = "Tessaro";
constexpr int WarningImage = 7;
constexpr int ErrorImage = 8;

void SendStatus(int code) {
    if (host::IClient* client = Client()) client->UpdateStatus(code, u"");
}

void AddPanelEntry(const TSwapDataSet& dataSet, const char* messageClass, const std::string& text,
                   int image) {
    host::IWorkspace* workspace = Workspace();
    host::IMessagesManager* messages = workspace ? workspace->DM_MessagesManager() : nullptr;
    if (messages == nullptr) return;
    messages->AddMessage(W(messageClass), W(text), W(MessageSource),
                         W(ExtractFileName(dataSet.FileName)), u"", u"", image, 0, 0, 0);
}

bool ProjectPermitsSwapping(const TSwapDataSet& dataSet) {
    host::IProject* project = dataSet.Project;
    return project && (project->DM_PinSwapAllowAll() || project->DM_PinSwapAllowWhereSchematic());
}

// Members of one list of the net that belong to the component with that grouping value.
int CountGroupMembers(host::INet* net, host::NetMemberList list, const std::u16string& grouping) {
    int count = 0;
    const int members = net->DM_MemberCount(list);
    for (int i = 0; i < members; ++i) {
        host::INetItem* member = net->DM_Member(list, i);
        if (member && platform::SameText(N(member->DM_GroupingValue()), N(grouping))) ++count;
    }
    return count;
}

// The schematic allows a pin to swap when it is its component's only pin on its net.
bool SchematicAllowsSwap(host::INetItem* schPin) {
    host::INet* net = schPin->DM_FlattenedNet();
    if (net == nullptr) return false;
    const std::u16string grouping = schPin->DM_GroupingValue();
    const int all = CountGroupMembers(net, host::eAllMembers, grouping);
    const int nonPins = CountGroupMembers(net, host::eNonPinMembers, grouping);
    const int pins = CountGroupMembers(net, host::ePinMembers, grouping);
    return pins == 1 && nonPins <= 1 && nonPins + pins == all;
}

// Runs the build steps; false when no component takes part.
bool Build(TSwapDataSet& dataSet, const std::string& filter) {
    ShowStatusText(2, "Building Swap Map...");
    dataSet.CollectComponentsStep(filter, false);
    if (dataSet.Components.empty()) {
        ReportError(dataSet, "No Components have been enabled for Swapping in PCB Document\r\r" +
                                 ExtractFileName(dataSet.FileName));
        return false;
    }
    for (TSwapComponent* component : dataSet.Components)
        dataSet.BuildPinAndSwapGroupLists(component);
    dataSet.DropSmallGroups();
    dataSet.SortPinSwapGroups();

    ShowStatusText(2, "Analyzing Nets...");
    dataSet.BuildNetList();
    dataSet.BuildSubNetLists();
    dataSet.LinkSubNetsToPins();
    dataSet.BuildSubParts();
    dataSet.DropInactiveGroups();
    dataSet.ClassifySubNets();
    dataSet.ResetAllGroupNets();
    return true;
}

// Reports pads and pins that cannot take part; true when the caller may go on.
bool ConfirmProblems(const TSwapDataSet& dataSet) {
    if (dataSet.UnmatchedPins <= 0 && dataSet.UnswappablePins <= 0) return true;
    if (dataSet.ReportToMessages) {
        if (dataSet.UnmatchedPins > 0)
            Warn(dataSet, std::to_string(dataSet.UnmatchedPins) +
                              " Pins could not be matched to Schematic Pins");
        if (dataSet.UnswappablePins > 0)
            Warn(dataSet, std::to_string(dataSet.UnswappablePins) +
                              " Pins can not be swapped based on current Project Settings");
        return true;
    }
    std::string question = "There are \r\r";
    if (dataSet.UnmatchedPins > 0)
        question += std::to_string(dataSet.UnmatchedPins) +
                    " Pins that could not be matched to Schematic Pins" + "\r\r";
    if (dataSet.UnswappablePins > 0)
        question += std::to_string(dataSet.UnswappablePins) +
                    " Pins that cannot be swapped based on current Project Settings" + "\r\r";
    question += "Confirm Continue?";
    return AskYesNo("Net/Pin Optimizer", question);
}

}  // namespace

bool Analyze(TSwapDataSet& dataSet, const std::string& filter, bool buildOnly) {
    if (!ProjectPermitsSwapping(dataSet))
        ReportError(dataSet,
                    "No Swapping is allowed under current Project Settings.\r\rSwapping can be "
                    "enabled in the Project Options Form.");
    BeginBusyCursor();
    bool result = false;
    try {
        SendStatus(host::eStatusBeginPhase);
        dataSet.UnswappablePins = 0;
        dataSet.UnmatchedPins = 0;
        if (Build(dataSet, filter)) {
            result = ConfirmProblems(dataSet);
            if (result) {
                ShowStatusText(2, "Finding Closest Sub-Net Neighbors...");
                if (!buildOnly) dataSet.InitialiseCost();
            }
        }
    } catch (...) {
        try {
            SendStatus(host::eStatusEndPhase);
        } catch (...) {
            // The first failure is the one the caller must see.
        }
        EndBusyCursor();
        throw;
    }
    SendStatus(host::eStatusEndPhase);
    EndBusyCursor();
    return result;
}

bool CollectComponents(TSwapDataSet& dataSet, const std::string& filter) {
    BeginBusyCursor();
    try {
        dataSet.UnswappablePins = 0;
        dataSet.UnmatchedPins = 0;
        if (dataSet.BoardRef != nullptr)
            dataSet.CollectComponentsStep(filter, true);
        else
            dataSet.CollectLibraryComponents(filter);
    } catch (...) {
        EndBusyCursor();
        throw;
    }
    EndBusyCursor();
    return true;
}

bool PinMaySwap(const TSwapDataSet& dataSet, const TSwapPin* pin) {
    if (pin == nullptr || pin->SchPin == nullptr) return false;
    host::IProject* project = dataSet.Project;
    if (project == nullptr) return false;
    if (project->DM_PinSwapAllowAll()) return true;
    if (project->DM_PinSwapAllowWhereSchematic()) return SchematicAllowsSwap(pin->SchPin);
    return false;
}

void Warn(const TSwapDataSet& dataSet, const std::string& message) {
    if (dataSet.ReportToMessages)
        AddPanelEntry(dataSet, "Warning", message, WarningImage);
    else
        ShowWarning(message, "Warning");
}

void ReportError(const TSwapDataSet& dataSet, const std::string& message) {
    if (dataSet.ReportToMessages) {
        std::string text = message;
        if (const auto cr = text.find('\r'); cr != std::string::npos) text.erase(cr, 1);
        AddPanelEntry(dataSet, "Error", text, ErrorImage);
    } else {
        ShowError(message, "Error");
    }
}

void CheckAbort() {
    if (AbortRequested) return;
    ++abortChecks;
    if (abortChecks % AbortCheckInterval != 0) return;
    platform::Message message;
    while (platform::PeekMessage(message, true)) {
        const bool keyDown =
            message.message == platform::WM_KEYDOWN || message.message == platform::WM_SYSKEYDOWN;
        if (keyDown && message.wParam == platform::VK_ESCAPE) {
            if (ConfirmYesNo("Abort Pin/Net Optimization Yes/No?")) AbortRequested = true;
        } else {
            platform::SendMessage(message.window, message.message, message.wParam, message.lParam);
        }
    }
}

std::int32_t AbortCheckCount() {
    return static_cast<std::int32_t>(abortChecks);
}

}  // namespace tessaro
