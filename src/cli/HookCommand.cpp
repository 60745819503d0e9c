// `tessaro hook`: opens a design in the stand-in host, loads the plug-in, takes its router
// hook through the exported GetRouteTessaro and asks it about pads, as the host's router
// would. Every answer is one line of JSON.
#include "cli/HookCommand.h"

#include <cstdint>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli/Arguments.h"
#include "cli/CommandLinePerson.h"
#include "cli/DesignErrors.h"
#include "cli/Transcript.h"
#include "host/Plugin.h"
#include "hostapp/HostApplication.h"
#include "hostapp/board/Board.h"
#include "hostapp/design/DesignFile.h"
#include "platform/Person.h"
#include "platform/Platform.h"

namespace cli {

namespace {

using Json = nlohmann::ordered_json;

// Candidate enumerations end long before this; a hook that never ends one is broken.
constexpr int MaxCandidates = 1000000;

std::string Line(const Json& value) {
    return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

struct Query {
    enum class Kind { Swappable, Candidates, CanSwap, SubParts } kind;
    std::string verb;
    std::vector<std::string> padRefs;
    std::vector<host::IPCB_Pad*> pads;  // resolved on the board
};

std::vector<std::string> Words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

// Parses one query; nullopt with `error` set when it is malformed.
std::optional<Query> ParseQuery(const std::string& text, std::string& error) {
    const std::vector<std::string> words = Words(text);
    if (words.empty()) {
        error = "empty query";
        return std::nullopt;
    }
    struct Verb {
        const char* name;
        Query::Kind kind;
        std::size_t pads;
    };
    static const Verb verbs[] = {{"swappable", Query::Kind::Swappable, 1},
                                 {"candidates", Query::Kind::Candidates, 1},
                                 {"can-swap", Query::Kind::CanSwap, 2},
                                 {"subparts", Query::Kind::SubParts, 1}};
    for (const Verb& verb : verbs) {
        if (words[0] != verb.name) continue;
        if (words.size() != verb.pads + 1) {
            error = "\"" + text + "\": " + verb.name + " takes " + std::to_string(verb.pads) +
                    (verb.pads == 1 ? " pad" : " pads") + " (DESIGNATOR-PAD)";
            return std::nullopt;
        }
        return Query{verb.kind, verb.name, {words.begin() + 1, words.end()}, {}};
    }
    error = "\"" + text +
            "\": unknown query (expected swappable PAD, candidates PAD, can-swap PAD PAD or "
            "subparts PAD)";
    return std::nullopt;
}

// The pad's name as the queries write it: the component's designator, "-", the pad's name.
std::string PadRef(host::IPCB_Pad* pad) {
    std::string name = platform::Narrow(pad->Name());
    if (host::IPCB_Component* component = pad->Component())
        return platform::Narrow(component->Name()) + "-" + name;
    return name;
}

// Makes the person current for the lifetime of the command.
class PersonScope {
  public:
    explicit PersonScope(platform::Person& person) { platform::SetCurrentPerson(&person); }
    ~PersonScope() { platform::SetCurrentPerson(nullptr); }
    PersonScope(const PersonScope&) = delete;
    PersonScope& operator=(const PersonScope&) = delete;
};

class HookFailure : public std::runtime_error {
  public:
    HookFailure(const std::string& operation, host::Status status)
        : std::runtime_error("the router hook's " + operation + " failed with status " +
                             std::to_string(status)) {}
};

void Check(host::Status status, const char* operation) {
    if (host::Failed(status)) throw HookFailure(operation, status);
}

host::Ref<host::IPCB_Pad> AdoptPad(host::IPCB_Pad* pad) {
    return host::Ref<host::IPCB_Pad>::Adopt(pad);
}

Json Candidates(host::IRouterSwapHook& hook, host::IPCB_Pad* pad) {
    Json pads = Json::array();
    host::IPCB_Pad* raw = nullptr;
    Check(hook.FirstSwapCandidate(pad, &raw), "FirstSwapCandidate");
    for (host::Ref<host::IPCB_Pad> candidate = AdoptPad(raw); candidate;
         candidate = AdoptPad(raw)) {
        if (pads.size() >= static_cast<std::size_t>(MaxCandidates))
            throw std::runtime_error("the router hook's candidate enumeration does not end");
        pads.push_back(PadRef(candidate.get()));
        raw = nullptr;
        Check(hook.NextSwapCandidate(&raw), "NextSwapCandidate");
    }
    return pads;
}

// The items of an interface list, each counted for us.
std::vector<host::Ref<host::IUnknown>> Items(host::IInterfaceList& list) {
    std::int32_t count = 0;
    Check(list.Count(&count), "list Count");
    std::vector<host::Ref<host::IUnknown>> items;
    for (std::int32_t i = 0; i < count; ++i) {
        host::IUnknown* item = nullptr;
        Check(list.Item(i, &item), "list Item");
        items.push_back(host::Ref<host::IUnknown>::Adopt(item));
    }
    return items;
}

Json SubParts(host::IRouterSwapHook& hook, host::IPCB_Pad* pad) {
    host::IInterfaceList* raw = nullptr;
    Check(hook.GetSubPartPads(pad, &raw), "GetSubPartPads");
    auto outer = host::Ref<host::IInterfaceList>::Adopt(raw);
    if (!outer) return nullptr;
    Json subParts = Json::array();
    for (const host::Ref<host::IUnknown>& item : Items(*outer)) {
        void* innerRaw = nullptr;
        if (!item || host::Failed(item->QueryInterface(host::IID_IInterfaceList, &innerRaw)))
            throw std::runtime_error("the router hook's sub-part list holds a non-list item");
        auto inner =
            host::Ref<host::IInterfaceList>::Adopt(static_cast<host::IInterfaceList*>(innerRaw));
        Json pads = Json::array();
        for (const host::Ref<host::IUnknown>& member : Items(*inner)) {
            // A sub-net without pin stands in its sub-part as an empty item.
            auto* memberPad = dynamic_cast<host::IPCB_Pad*>(member.get());
            if (memberPad)
                pads.push_back(PadRef(memberPad));
            else
                pads.push_back(nullptr);
        }
        subParts.push_back(std::move(pads));
    }
    return subParts;
}

Json Answer(host::IRouterSwapHook& hook, const Query& query) {
    Json line{{"query", query.verb}};
    switch (query.kind) {
        case Query::Kind::Swappable: {
            std::uint8_t found = 0;
            Check(hook.IsSwappablePrimitive(query.pads[0], &found), "IsSwappablePrimitive");
            line["pad"] = query.padRefs[0];
            line["found"] = found != 0;
            break;
        }
        case Query::Kind::Candidates:
            line["pad"] = query.padRefs[0];
            line["pads"] = Candidates(hook, query.pads[0]);
            break;
        case Query::Kind::CanSwap: {
            std::uint8_t allowed = 0;
            Check(hook.CanSwapPads(query.pads[0], query.pads[1], &allowed), "CanSwapPads");
            line["pads"] = query.padRefs;
            line["allowed"] = allowed != 0;
            break;
        }
        case Query::Kind::SubParts:
            line["pad"] = query.padRefs[0];
            line["subparts"] = SubParts(hook, query.pads[0]);
            break;
    }
    return line;
}

}  // namespace

int RunHookCommand(const HookOptions& options, std::ostream& out, std::ostream& err) {
    const char* me = "tessaro hook: ";

    // Every query is checked before anything runs, so a typing mistake answers nothing.
    std::vector<Query> queries;
    for (const std::string& text : options.queries) {
        std::string error;
        std::optional<Query> query = ParseQuery(text, error);
        if (!query) {
            err << me << "malformed query " << error << '\n';
            return ExitBadArguments;
        }
        queries.push_back(std::move(*query));
    }

    std::unique_ptr<hostapp::HostApplication> app;
    try {
        app = hostapp::HostApplication::Open(options.designPath);
    } catch (const hostapp::design::DesignFileError& e) {
        err << me << DescribeDesignError(e, options.designPath) << '\n';
        return ExitBadArguments;
    } catch (const std::exception& e) {
        err << me << e.what() << '\n';
        return ExitBadArguments;
    }
    hostapp::Board* board = app->GetBoard();
    if (!board) {
        err << me << options.designPath << " has no board\n";
        return ExitBadArguments;
    }
    for (Query& query : queries) {
        for (const std::string& ref : query.padRefs) {
            host::IPCB_Pad* pad = board->FindPadByRef(ref);
            if (!pad) {
                err << me << "no pad " << ref << " on the board of " << options.designPath
                    << " (pads are named DESIGNATOR-PAD, e.g. U1-5)\n";
                return ExitBadArguments;
            }
            query.pads.push_back(pad);
        }
    }

    std::ofstream transcriptFile;
    if (!options.transcriptPath.empty()) {
        transcriptFile.open(options.transcriptPath, std::ios::out | std::ios::trunc);
        if (!transcriptFile) {
            err << me << "cannot write the transcript " << options.transcriptPath << '\n';
            return ExitBadArguments;
        }
    }
    Transcript transcript(options.transcriptPath.empty() ? nullptr : &transcriptFile);
    app->OnMessage(
        [&transcript](const hostapp::MessageEntry& entry) { transcript.AddMessage(entry); });
    // Nobody sits at the screen during hook queries: notices need no answer, picks run out
    // as cancel and a question stops the command.
    CommandLinePerson person({}, DefaultAnswer::None, {}, [](const std::string&) {
        return std::optional<platform::BoardPoint>();
    });
    person.SetRecorder(
        [&transcript](const platform::Interaction& interaction) { transcript.Add(interaction); });
    PersonScope personScope(person);

    // The plug-in goes before the application that loaded it, the hook before the plug-in.
    std::unique_ptr<hostapp::LoadedPlugin> plugin;
    try {
        plugin = app->LoadPlugin(options.pluginPath);
    } catch (const std::exception& e) {
        err << me << e.what() << '\n';
        return ExitCommandFailed;
    }
    host::GetRouteTessaroFunc factory = plugin->RouteHookFactory();
    if (!factory) {
        err << me << "the plug-in " << options.pluginPath << " does not export GetRouteTessaro\n";
        return ExitCommandFailed;
    }
    try {
        host::IRouterSwapHook* raw = nullptr;
        Check(factory(&raw), "GetRouteTessaro");
        if (!raw) throw std::runtime_error("GetRouteTessaro gave no hook");
        auto hook = host::Ref<host::IRouterSwapHook>::Adopt(raw);

        std::uint8_t opened = 0;
        Check(hook->OpenBoard(platform::Widen(app->BoardPath()).c_str(), options.pairMode ? 1 : 0,
                              &opened),
              "OpenBoard");
        out << Line(Json{{"query", "open"}, {"opened", opened != 0}}) << '\n';
        for (const Query& query : queries) out << Line(Answer(*hook, query)) << '\n';
        out.flush();
    } catch (const std::exception& e) {
        out.flush();
        err << me << e.what() << '\n';
        return person.Unanswered() ? ExitNoAnswer : ExitCommandFailed;
    }
    if (person.Unanswered()) {
        err << me << "no answer for: " << *person.Unanswered() << '\n';
        return ExitNoAnswer;
    }
    return ExitRan;
}

}  // namespace cli
