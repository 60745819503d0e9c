#include "cli/RunCommand.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>

#include "cli/CommandLinePerson.h"
#include "cli/DesignErrors.h"
#include "cli/StatusDisplay.h"
#include "cli/Transcript.h"
#include "host/Plugin.h"
#include "hostapp/HostApplication.h"
#include "hostapp/board/Board.h"
#include "hostapp/design/DesignFile.h"
#include "hostapp/render/SvgRenderer.h"
#include "platform/Person.h"
#include "platform/Platform.h"

namespace cli {
namespace {

constexpr const char* TestModeKey = "\\Software\\Zentrel\\TestMode";

// Whatever the run set on the platform is undone when it ends, however it ends.
struct PlatformScope {
    bool createdTestModeKey = false;
    ~PlatformScope() {
        platform::SetCurrentPerson(nullptr);
        platform::SetExitHandler(nullptr);
        platform::SetQueueObserver(nullptr);
        platform::SetFixedRandomSeed(std::nullopt);
        if (createdTestModeKey)
            platform::RegistryDeleteKey(platform::RegistryRoot::LocalMachine, TestModeKey);
    }
};

std::string HexStatus(host::Status status) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(status));
    return text;
}

// Checks every --pick against the design before anything runs, and converts points to board
// units: a pick the design cannot have is a bad argument, not a surprise halfway through.
bool ResolvePicks(const RunOptions& options, hostapp::HostApplication& app,
                  std::vector<Pick>& picks, std::ostream& err) {
    std::optional<hostapp::design::Unit> unit;  // the design file's, asked only when needed
    for (const auto& ref : options.picks) {
        Pick pick{ref, {}};
        if (ref.kind == PickRef::Kind::Point) {
            if (!unit) unit = app.Snapshot().unit;
            try {
                pick.point = {hostapp::design::ToInternal(ref.x, *unit),
                              hostapp::design::ToInternal(ref.y, *unit)};
            } catch (const std::exception&) {
                err << "tessaro: --pick " << ref.text << ": the point lies outside the board's "
                    << "range\n";
                return false;
            }
        } else if (ref.kind == PickRef::Kind::Pad) {
            auto* board = app.GetBoard();
            if (!board || !board->FindPadByRef(ref.text)) {
                err << "tessaro: --pick " << ref.text << ": the board has no such pad\n";
                return false;
            }
        }
        picks.push_back(pick);
    }
    return true;
}

}  // namespace

int RunDesignCommand(const RunOptions& options, const Environment& env, std::ostream& err) {
    // Declared before the application: the host may still report while it closes.
    std::ofstream transcriptFile;
    Transcript transcript(nullptr);
    StatusDisplay display(env.liveStatus);
    std::unique_ptr<CommandLinePerson> person;
    std::unique_ptr<hostapp::HostApplication> app;
    std::unique_ptr<hostapp::LoadedPlugin> plugin;  // released before the application

    try {
        app = hostapp::HostApplication::Open(options.designPath);
    } catch (const hostapp::design::DesignFileError& e) {
        err << DescribeDesignError(e, options.designPath) << "\n";
        return ExitBadArguments;
    } catch (const std::exception& e) {
        err << options.designPath << ": " << e.what() << "\n";
        return ExitBadArguments;
    }

    // Everything the arguments name must exist before the command runs.
    if (!options.svgPath.empty() && !app->GetBoard()) {
        err << "tessaro: --svg: " << options.designPath << " has no board\n";
        return ExitBadArguments;
    }
    std::vector<Pick> picks;
    if (!ResolvePicks(options, *app, picks, err)) return ExitBadArguments;
    host::IServerDocumentView* view = app->OpenView(options.document);
    if (!view) {
        err << "tessaro: " << options.designPath << " has no document "
            << (options.document.empty() ? std::string("to run from") : options.document) << "\n";
        return ExitBadArguments;
    }
    std::string optionsPath =
        options.optionsPath.empty() ? DefaultOptionsPath() : options.optionsPath;
    if (!optionsPath.empty()) {
        std::error_code ec;  // a folder that cannot be made shows when the store is written
        std::filesystem::create_directories(std::filesystem::path(optionsPath).parent_path(), ec);
        try {
            app->SetOptionStoreFile(optionsPath);
        } catch (const std::exception& e) {
            err << "tessaro: " << e.what() << "\n";
            return ExitBadArguments;
        }
    }

    if (!options.transcriptPath.empty()) {
        transcriptFile.open(options.transcriptPath, std::ios::binary | std::ios::trunc);
        if (!transcriptFile) {
            err << "tessaro: cannot write the transcript " << options.transcriptPath << "\n";
            return ExitBadArguments;
        }
        transcript = Transcript(&transcriptFile);
    }

    hostapp::Board* board = app->GetBoard();
    Terminal terminal = env.terminal;
    terminal.beforeAsking = [&display] { display.Finish(); };
    person = std::make_unique<CommandLinePerson>(
        options.answers, options.defaultAnswer, std::move(picks),
        [board](const std::string& ref) -> std::optional<platform::BoardPoint> {
            host::IPCB_Pad* pad = board ? board->FindPadByRef(ref) : nullptr;
            if (!pad) return std::nullopt;
            return platform::BoardPoint{pad->X(), pad->Y()};
        },
        terminal);
    person->SetRecorder([&transcript](const platform::Interaction& i) { transcript.Add(i); });
    app->OnMessage([&transcript](const hostapp::MessageEntry& m) { transcript.AddMessage(m); });
    app->OnStatus([&transcript, &display](int code, const std::string& text) {
        transcript.AddStatus(code, text);
        display.Update(code, text);
    });

    PlatformScope scope;
    platform::SetCurrentPerson(person.get());
    if (options.testMode) {
        scope.createdTestModeKey =
            !platform::RegistryKeyExists(platform::RegistryRoot::LocalMachine, TestModeKey);
        platform::RegistryCreateKey(platform::RegistryRoot::LocalMachine, TestModeKey);
    }
    if (options.seed) platform::SetFixedRandomSeed(*options.seed);
    if (options.escapeAfter) {
        // The key is down once the queue has been looked at N times: the next look sees it.
        const std::uint64_t pressAt = *options.escapeAfter + 1;
        platform::SetQueueObserver([pressAt](std::uint64_t looks) {
            if (looks == pressAt)
                platform::PostMessage(0, platform::WM_KEYDOWN, platform::VK_ESCAPE);
        });
    }
    // The plug-in ends the process itself when test mode stops a dialog: the transcript and
    // what the plug-in printed are kept, the design is not written, nothing else runs.
    platform::SetExitHandler([&transcript, &display](int code) {
        transcript.Flush();
        display.Finish();
        platform::StandardOutput().flush();
        std::cout.flush();
        std::cerr.flush();
        std::_Exit(code);
    });

    try {
        plugin = app->LoadPlugin(env.pluginPath);
    } catch (const std::exception& e) {
        err << "tessaro: " << e.what() << "\n";
        return ExitBadArguments;
    }
    host::ICommandLauncher* launcher = plugin->Launcher();
    if (!launcher) {
        err << "tessaro: the plug-in offers no command launcher\n";
        return ExitCommandFailed;
    }

    std::int32_t enabled = host::HostFalse, checked = host::HostFalse, visible = host::HostFalse;
    char caption[host::CheckTextSize] = {};
    char image[host::CheckTextSize] = {};
    host::Status status =
        launcher->GetCommandState(options.command.c_str(), options.parameters.c_str(), view,
                                  &enabled, &checked, &visible, caption, image);
    if (!host::Failed(status) && (enabled == host::HostFalse || visible == host::HostFalse)) {
        display.Finish();
        err << "tessaro: " << options.command << " is not offered from this document\n";
        return ExitBadArguments;
    }
    if (!host::Failed(status))
        status =
            launcher->LaunchCommand(options.command.c_str(), options.parameters.c_str(), 0, view);
    display.Finish();

    if (person->Unanswered()) {
        err << "no answer for: " << *person->Unanswered() << "\n";
        return ExitNoAnswer;
    }
    if (host::Failed(status)) {
        err << "tessaro: " << options.command << " failed (status " << HexStatus(status) << ")\n";
        return ExitCommandFailed;
    }

    try {
        if (!options.outputPath.empty())
            hostapp::design::WriteDesignFile(app->Snapshot(), options.outputPath);
        if (!options.svgPath.empty())
            hostapp::WriteBoardSvg(*board, options.svgPath,
                                   std::filesystem::path(options.designPath).filename().string() +
                                       ": " + options.command);
    } catch (const std::exception& e) {
        err << "tessaro: " << e.what() << "\n";
        return ExitBadArguments;
    }
    return ExitRan;
}

}  // namespace cli
