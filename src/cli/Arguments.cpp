#include "cli/Arguments.h"

#include <CLI/CLI.hpp>
#include <charconv>
#include <cmath>
#include <map>
#include <sstream>
#include <stdexcept>

namespace cli {
namespace {

std::optional<double> ParseNumber(std::string text) {
    // Surrounding blanks are forgiven ("1.5, 2"); from_chars ignores the locale.
    auto first = text.find_first_not_of(" \t");
    auto last = text.find_last_not_of(" \t");
    if (first == std::string::npos) return std::nullopt;
    text = text.substr(first, last - first + 1);
    if (!text.empty() && text[0] == '+') text.erase(0, 1);
    double value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::string Lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// How many pad references each hook query takes after its verb.
const std::map<std::string, int>& HookVerbs() {
    static const std::map<std::string, int> verbs{
        {"swappable", 1}, {"candidates", 1}, {"subparts", 1}, {"can-swap", 2}};
    return verbs;
}

void AddRunOptions(CLI::App& run, RunOptions& r, std::vector<std::string>& answers,
                   std::vector<std::string>& picks, std::uint64_t& escapeAfter, std::uint32_t& seed,
                   bool& yes, bool& no) {
    run.add_option("COMMAND", r.command, "the plug-in command, e.g. RunAutoTessaro")->required();
    run.add_option("DESIGN", r.designPath, "the design file")->required();
    run.add_option("--document", r.document,
                   "the document the command is invoked from (default: the board, else the "
                   "first schematic sheet)");
    run.add_option("--parameters", r.parameters,
                   "the command's parameter text, e.g. ContextSensitive=True|UniqueId=C0FFEE01");
    run.add_option("--answer", answers,
                   "answer the next dialog with that caption; repeatable, used in order")
        ->type_name("CAPTION=BUTTON")
        ->allow_extra_args(false);
    auto* yesFlag = run.add_flag("--yes", yes, "answer every other confirmation Yes (OK)");
    auto* noFlag = run.add_flag("--no", no, "answer every other confirmation No (Cancel)");
    yesFlag->excludes(noFlag);
    run.add_option("--pick", picks,
                   "the next board pick: a pad U1-5, a point x,y in the file's unit, or cancel; "
                   "picks run out as cancel")
        ->type_name("REF")
        ->allow_extra_args(false);
    run.add_option("--escape-after", escapeAfter,
                   "press Escape once the message queue has been looked at N times")
        ->type_name("N")
        ->check(CLI::NonNegativeNumber);
    run.add_option("--seed", seed, "seed the iterative optimiser with N instead of the clock")
        ->type_name("N")
        ->check(CLI::NonNegativeNumber);
    run.add_flag("--test-mode", r.testMode,
                 "the registry key \\Software\\Zentrel\\TestMode exists");
    run.add_option("--options", r.optionsPath, "the option store file");
    run.add_option("--output", r.outputPath,
                   "write the design after the command; without it nothing is written");
    run.add_option("--transcript", r.transcriptPath,
                   "write every interaction as one JSON object a line");
    run.add_option("--svg", r.svgPath, "draw the board after the command");
}

}  // namespace

std::optional<platform::Button> ParseButton(const std::string& text) {
    const std::string word = Lower(text);
    if (word == "ok") return platform::Button::OK;
    if (word == "cancel") return platform::Button::Cancel;
    if (word == "yes") return platform::Button::Yes;
    if (word == "no") return platform::Button::No;
    return std::nullopt;
}

AnswerRule ParseAnswerRule(const std::string& text) {
    // The button never holds "=", so a caption may.
    auto eq = text.rfind('=');
    if (eq == std::string::npos || eq == 0)
        throw std::invalid_argument("--answer \"" + text + "\": expected CAPTION=BUTTON");
    auto button = ParseButton(text.substr(eq + 1));
    if (!button)
        throw std::invalid_argument("--answer \"" + text +
                                    "\": the button is Yes, No, OK or Cancel");
    return AnswerRule{text.substr(0, eq), *button};
}

PickRef ParsePickRef(const std::string& text) {
    PickRef pick;
    pick.text = text;
    if (Lower(text) == "cancel") {
        pick.kind = PickRef::Kind::Cancel;
        return pick;
    }
    auto comma = text.find(',');
    if (comma != std::string::npos) {
        auto x = ParseNumber(text.substr(0, comma));
        auto y = ParseNumber(text.substr(comma + 1));
        if (!x || !y)
            throw std::invalid_argument("--pick \"" + text + "\": a point is written x,y");
        pick.kind = PickRef::Kind::Point;
        pick.x = *x;
        pick.y = *y;
        return pick;
    }
    // A pad: designator, "-", pad name. The board itself decides whether it exists.
    auto dash = text.rfind('-');
    if (dash == std::string::npos || dash == 0 || dash + 1 == text.size())
        throw std::invalid_argument("--pick \"" + text +
                                    "\": expected a pad (U1-5), a point (x,y) or cancel");
    pick.kind = PickRef::Kind::Pad;
    return pick;
}

std::vector<std::string> GroupHookQueries(const std::vector<std::string>& words) {
    // Queries may come as separate words or quoted whole; both split into the same words.
    std::vector<std::string> tokens;
    for (const auto& word : words) {
        std::istringstream split(word);
        std::string token;
        while (split >> token) tokens.push_back(token);
    }
    std::vector<std::string> queries;
    for (std::size_t i = 0; i < tokens.size();) {
        auto verb = HookVerbs().find(tokens[i]);
        if (verb == HookVerbs().end())
            throw std::invalid_argument("unknown query \"" + tokens[i] +
                                        "\": swappable, candidates, subparts or can-swap");
        std::string query = tokens[i];
        for (int k = 0; k < verb->second; ++k) {
            if (i + 1 + k >= tokens.size() || HookVerbs().count(tokens[i + 1 + k]))
                throw std::invalid_argument("query \"" + verb->first + "\" needs " +
                                            std::to_string(verb->second) + " pad(s)");
            query += " " + tokens[i + 1 + k];
        }
        queries.push_back(query);
        i += 1 + static_cast<std::size_t>(verb->second);
    }
    if (queries.empty()) throw std::invalid_argument("no query given");
    return queries;
}

Invocation ParseArguments(const std::vector<std::string>& args, std::ostream& out,
                          std::ostream& err) {
    Invocation inv;
    CLI::App app{"Pin, part and differential-pair swapping on PCB designs.", "tessaro"};
    app.require_subcommand(1);

    std::vector<std::string> answers, picks, hookWords;
    std::uint64_t escapeAfter = 0;
    std::uint32_t runSeed = 0;
    bool yes = false, no = false;
    auto* run = app.add_subcommand("run", "run a plug-in command on a design");
    AddRunOptions(*run, inv.run, answers, picks, escapeAfter, runSeed, yes, no);

    auto* render = app.add_subcommand("render", "draw a design's board as SVG");
    render->add_option("DESIGN", inv.render.designPath, "the design file")->required();
    render->add_option("--output", inv.render.outputPath, "the SVG file to write")->required();

    auto& g = inv.generate.generator;
    auto* generate = app.add_subcommand("generate", "write a synthetic design");
    generate->add_option("--seed", g.seed, "the generator's seed")
        ->check(CLI::NonNegativeNumber)
        ->capture_default_str();
    generate->add_option("--banks", g.banks, "pin swap groups of the FPGA")
        ->check(CLI::NonNegativeNumber)
        ->capture_default_str();
    generate->add_option("--pins-per-bank", g.pinsPerBank, "swappable IO pins per bank")
        ->check(CLI::NonNegativeNumber)
        ->capture_default_str();
    generate->add_option("--memories", g.memories, "parallel memories")
        ->check(CLI::NonNegativeNumber)
        ->capture_default_str();
    generate->add_option("--connectors", g.connectors, "connectors")
        ->check(CLI::NonNegativeNumber)
        ->capture_default_str();
    generate->add_option("--resistor-networks", g.resistorNetworks, "quad resistor networks")
        ->check(CLI::NonNegativeNumber)
        ->capture_default_str();
    generate->add_option("--differential-pairs", g.differentialPairs, "differential pairs")
        ->check(CLI::NonNegativeNumber)
        ->capture_default_str();
    generate->add_option("--output", inv.generate.outputPath, "the design file to write")
        ->required();

    auto* hook = app.add_subcommand("hook", "ask the router hook about pads");
    hook->add_option("DESIGN", inv.hook.designPath, "the design file")->required();
    hook->add_flag("--pair-mode", inv.hook.pairMode, "differential-pair mode");
    hook->add_option("--transcript", inv.hook.transcriptPath, "write the answers here too");
    hook->add_option("QUERY", hookWords,
                     "swappable PAD | candidates PAD | subparts PAD | can-swap PAD PAD ...")
        ->required();

    std::vector<const char*> argv;
    for (const auto& a : args) argv.push_back(a.c_str());
    try {
        app.parse(static_cast<int>(argv.size()), argv.data());
    } catch (const CLI::ParseError& e) {
        int code = app.exit(e, out, err);
        inv.exitCode = code == 0 ? ExitRan : ExitBadArguments;
        return inv;
    }

    try {
        if (run->parsed()) {
            inv.subcommand = Invocation::Subcommand::Run;
            for (const auto& a : answers) inv.run.answers.push_back(ParseAnswerRule(a));
            for (const auto& p : picks) inv.run.picks.push_back(ParsePickRef(p));
            inv.run.defaultAnswer =
                yes ? DefaultAnswer::Yes : (no ? DefaultAnswer::No : DefaultAnswer::None);
            if (run->count("--escape-after")) inv.run.escapeAfter = escapeAfter;
            if (run->count("--seed")) inv.run.seed = runSeed;
        } else if (render->parsed()) {
            inv.subcommand = Invocation::Subcommand::Render;
        } else if (generate->parsed()) {
            inv.subcommand = Invocation::Subcommand::Generate;
        } else {
            inv.subcommand = Invocation::Subcommand::Hook;
            inv.hook.queries = GroupHookQueries(hookWords);
        }
    } catch (const std::invalid_argument& e) {
        err << "tessaro: " << e.what() << "\n";
        inv.exitCode = ExitBadArguments;
    }
    return inv;
}

}  // namespace cli
