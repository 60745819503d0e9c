// Run and check callbacks of the plug-in's commands. The board commands refuse to work from
// anything but a PCB document and then hand over to their drivers (Drivers.h).
#include "frame/Commands_Tessaro.h"

#include <string>

#include "frame/Drivers.h"
#include "frame/HostAccess.h"
#include "frame/Messages.h"
#include "frame/Parameters.h"
#include "frame/Preconditions.h"
#include "platform/Platform.h"

namespace tessaro {

namespace {

constexpr const char* PinDocumentMessage = "Pin Swapping must be run from a PCB Document";
constexpr const char* PartDocumentMessage = "Part Swapping must be run from a PCB Document";
constexpr const char* PairDocumentMessage =
    "Differential-Pair Swapping must be run from a PCB Document";

// The path of the context's board, or none after telling the person why the command ends.
std::optional<std::string> RequireBoard(host::IServerDocumentView* context,
                                        const char* documentMessage) {
    std::optional<std::string> path = FindBoardForContext(context);
    if (!path) ShowError(documentMessage, "Error");
    return path;
}

void RunConfigureTessaro(host::IServerDocumentView*, const char*) {
    // The swap configuration dialogs are not part of this build yet: the command is offered
    // (see its check) but opens nothing.
}

void RunAutoTessaro(host::IServerDocumentView* context, const char*) {
    if (auto path = RequireBoard(context, PinDocumentMessage)) RunAutoOptimization(*path);
}

void RunManualTessaro(host::IServerDocumentView* context, const char*) {
    if (auto path = RequireBoard(context, PinDocumentMessage)) RunManualSwap(*path, PinSwapCommand);
}

void RunManualPartSwapper(host::IServerDocumentView* context, const char*) {
    if (auto path = RequireBoard(context, PartDocumentMessage)) {
        RunManualSwap(*path, PartSwapCommand);
    }
}

void RunManualDifferentialPairSwapper(host::IServerDocumentView* context, const char*) {
    if (auto path = RequireBoard(context, PairDocumentMessage)) {
        RunManualSwap(*path, PairSwapCommand);
    }
}

void CheckAlwaysOffered(host::IServerDocumentView*, const char*, std::int32_t& enabled,
                        std::int32_t&, std::int32_t& visible, char*, char*) {
    enabled = host::HostTrue;
    visible = host::HostTrue;
}

// From a schematic, with ContextSensitive=True, the configuration is offered only when the
// command's context holds a component to configure.
void CheckConfigureTessaro(host::IServerDocumentView* context, const char* parameters,
                           std::int32_t& enabled, std::int32_t&, std::int32_t& visible, char*,
                           char*) {
    enabled = host::HostTrue;
    visible = host::HostTrue;
    // Without a view there is no schematic context to narrow the offer.
    if (context == nullptr) return;
    host::IServerDocument* document = context->OwnerDocument();
    if (document == nullptr || !platform::SameText(N(document->Kind()), "SCH")) return;
    std::string contextSensitive;
    if (!GetCommandParameter(parameters, "ContextSensitive", contextSensitive) ||
        !platform::SameText(contextSensitive, "True")) {
        return;
    }
    host::ISch_ServerInterface* schServer = SchServer();
    host::ISch_Document* current = schServer ? schServer->GetCurrentSchDocument() : nullptr;
    const bool hasComponent =
        current != nullptr && current->ContextObjectCount(host::MkSchSet(host::eSchComponent)) > 0;
    visible = hasComponent ? host::HostTrue : host::HostFalse;
}

}  // namespace

void RegisterTessaroCommands(TCommandLauncher& launcher) {
    launcher.RegisterCommand("ConfigureTessaro", RunConfigureTessaro, CheckConfigureTessaro);
    launcher.RegisterCommand("RunAutoTessaro", RunAutoTessaro, CheckAlwaysOffered);
    launcher.RegisterCommand("RunManualTessaro", RunManualTessaro, CheckAlwaysOffered);
    launcher.RegisterCommand("RunManualPartSwapper", RunManualPartSwapper, CheckAlwaysOffered);
    launcher.RegisterCommand("RunManualDifferentialPairSwapper", RunManualDifferentialPairSwapper,
                             CheckAlwaysOffered);
}

}  // namespace tessaro
