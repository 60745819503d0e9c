// The `tessaro` command line: what each subcommand was asked to do, parsed and checked.
// Parsing prints its own help and errors; the caller only runs what comes back.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/HookCommand.h"
#include "generator/BoardGenerator.h"
#include "platform/Person.h"

namespace cli {

// Exit codes of the command.
enum ExitCode : int {
    ExitRan = 0,
    ExitDialogEndedProcess = 1,  // the plug-in's own exit in test mode
    ExitBadArguments = 2,        // also: a design file that cannot be read
    ExitNoAnswer = 3,
    ExitCommandFailed = 4,
};

// `--answer CAPTION=BUTTON`.
struct AnswerRule {
    std::string caption;
    platform::Button button = platform::Button::OK;
};

// `--yes` / `--no`: how confirmations without an --answer are answered.
enum class DefaultAnswer { None, Yes, No };

// `--pick REF`: a pad "U1-5", a point "x,y" in the design file's unit, or "cancel".
struct PickRef {
    enum class Kind { Pad, Point, Cancel } kind = Kind::Cancel;
    std::string text;  // as given, for the transcript
    double x = 0;      // Point, in the design file's unit
    double y = 0;
};

struct RunOptions {
    std::string command;
    std::string designPath;
    std::string document;  // "" : the board, else the first sheet
    std::string parameters;
    std::vector<AnswerRule> answers;
    DefaultAnswer defaultAnswer = DefaultAnswer::None;
    std::vector<PickRef> picks;
    std::optional<std::uint64_t> escapeAfter;
    std::optional<std::uint32_t> seed;
    bool testMode = false;
    std::string optionsPath;  // "" : the default under the user's configuration folder
    std::string outputPath;   // "" : nothing is written
    std::string transcriptPath;
    std::string svgPath;
};

struct RenderOptions {
    std::string designPath;
    std::string outputPath;
};

struct GenerateOptions {
    generator::GeneratorOptions generator;
    std::string outputPath;
};

struct Invocation {
    enum class Subcommand { Run, Render, Generate, Hook } subcommand = Subcommand::Run;
    RunOptions run;
    RenderOptions render;
    GenerateOptions generate;
    HookOptions hook;  // without the plug-in path, which the caller knows
    // Set when parsing already decided the outcome: 0 after --help, 2 for bad arguments.
    std::optional<int> exitCode;
};

// args[0] is the program name. Help goes to `out`, errors to `err`.
Invocation ParseArguments(const std::vector<std::string>& args, std::ostream& out,
                          std::ostream& err);

// The pieces of the run options, also for tests. Each raises std::invalid_argument with a
// message for the user.
AnswerRule ParseAnswerRule(const std::string& text);
PickRef ParsePickRef(const std::string& text);
std::optional<platform::Button> ParseButton(const std::string& text);
// Groups query words into queries: "can-swap U1-1 U1-2 swappable U1-3" gives two.
std::vector<std::string> GroupHookQueries(const std::vector<std::string>& words);

}  // namespace cli
