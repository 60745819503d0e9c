// The built `tessaro` program run as a user runs it, on small designs: exit codes, what it
// prints, what it writes and what it leaves alone.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

extern char** environ;

namespace fs = std::filesystem;

namespace {

struct Result {
    int exitCode = -1;
    std::string out;
    std::string err;
};

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class EndToEndTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("tessaro-cli-" + std::to_string(getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        design_ = dir_ / "crossed.json";
        fs::copy_file(fs::path(TESSARO_SOURCE_DIR) / "tests/cli/fixtures/two-crossed.json",
                      design_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    // Runs the program with no terminal attached; the option store stays in the test folder.
    Result Run(std::vector<std::string> args, bool withOptions = true) {
        std::string program = std::string(TESSARO_BIN_DIR) + "/tessaro";
        if (withOptions && !args.empty() && args[0] == "run") {
            args.push_back("--options");
            args.push_back((dir_ / "options.json").string());
        }
        args.insert(args.begin(), program);
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);

        const std::string out = (dir_ / "stdout").string(), err = (dir_ / "stderr").string();
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        pid_t pid = 0;
        Result result;
        int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        EXPECT_EQ(rc, 0) << "cannot start " << program;
        if (rc != 0) return result;
        int status = 0;
        waitpid(pid, &status, 0);
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        result.out = ReadFile(out);
        result.err = ReadFile(err);
        return result;
    }

    fs::path dir_;
    fs::path design_;
};

TEST_F(EndToEndTest, ABadDesignFileExitsWithTwoNamingFilePathAndReasonAndWritesNothing) {
    std::string text = ReadFile(design_);
    text.replace(text.find("\"arcs\""), 6, "\"arks\"");
    std::ofstream(design_, std::ios::binary | std::ios::trunc) << text;
    const fs::path output = dir_ / "out.json", svg = dir_ / "out.svg";

    Result r = Run({"run", "RunAutoTessaro", design_.string(), "--yes", "--output", output.string(),
                    "--svg", svg.string()});

    EXPECT_EQ(r.exitCode, 2) << r.err;
    EXPECT_NE(r.err.find(design_.filename().string()), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("/board/arks"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(output));
    EXPECT_FALSE(fs::exists(svg));

    Result missing = Run({"render", (dir_ / "nowhere.json").string(), "--output", svg.string()});
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_FALSE(fs::exists(svg));
}

TEST_F(EndToEndTest, BadArgumentsAndUnknownDocumentsExitWithTwo) {
    EXPECT_EQ(Run({"run", "RunAutoTessaro"}).exitCode, 2);
    Result r = Run({"run", "RunAutoTessaro", design_.string(), "--document", "other.sch"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("other.sch"), std::string::npos) << r.err;
    Result pad = Run({"run", "RunManualTessaro", design_.string(), "--pick", "U7-1"});
    EXPECT_EQ(pad.exitCode, 2);
    EXPECT_NE(pad.err.find("U7-1"), std::string::npos) << pad.err;
    const fs::path options = dir_ / "broken-options.json";
    std::ofstream(options) << "[1]";
    Result store =
        Run({"run", "RunAutoTessaro", design_.string(), "--yes", "--options", options.string()},
            /*withOptions=*/false);
    EXPECT_EQ(store.exitCode, 2);
    EXPECT_NE(store.err.find(options.string()), std::string::npos) << store.err;
}

TEST_F(EndToEndTest, InTestModeADialogPrintsItsCaptionAndTextAndEndsTheProcess) {
    const fs::path output = dir_ / "out.json", transcript = dir_ / "t.jsonl";
    const std::string before = ReadFile(design_);

    Result r =
        Run({"run", "RunAutoTessaro", design_.string(), "--document", "crossed.sch", "--test-mode",
             "--output", output.string(), "--transcript", transcript.string()});

    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_EQ(r.out,
              "ShowDialogWithCaption withError Pin Swapping must be run from a PCB Document\n");
    EXPECT_FALSE(fs::exists(output)) << "a process ended by a dialog writes no design";
    EXPECT_TRUE(fs::exists(transcript));
    EXPECT_EQ(ReadFile(design_), before);
}

TEST_F(EndToEndTest, WithoutTestModeTheErrorDialogIsAnsweredAndTranscribed) {
    const fs::path transcript = dir_ / "t.jsonl";
    const std::string before = ReadFile(design_);

    Result r = Run({"run", "RunAutoTessaro", design_.string(), "--document", "crossed.sch",
                    "--transcript", transcript.string()});

    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "");
    std::istringstream lines(ReadFile(transcript));
    std::string first;
    std::getline(lines, first);
    EXPECT_EQ(first,
              "{\"event\":\"dialog\",\"kind\":\"error\",\"caption\":\"Error\",\"text\":\"Pin "
              "Swapping must be run from a PCB Document\",\"buttons\":[\"OK\"],\"answer\":\"OK\"}");
    EXPECT_EQ(ReadFile(design_), before) << "without --output the input stays as it was";
}

TEST_F(EndToEndTest, AConfirmationWithoutAnswerExitsWithThreeAndWritesNothing) {
    const fs::path output = dir_ / "out.json", svg = dir_ / "out.svg";

    Result r = Run({"run", "RunAutoTessaro", design_.string(), "--seed", "1", "--output",
                    output.string(), "--svg", svg.string()});

    EXPECT_EQ(r.exitCode, 3) << r.err;
    EXPECT_EQ(r.err.rfind("no answer for: ", 0), 0u) << r.err;
    EXPECT_FALSE(fs::exists(output));
    EXPECT_FALSE(fs::exists(svg));
}

TEST_F(EndToEndTest, AnsweredRunWritesTheDesignOnlyWhereToldAndItReadsBack) {
    const fs::path output = dir_ / "out.json", svg = dir_ / "out.svg";
    const std::string before = ReadFile(design_);

    Result r = Run({"run", "RunAutoTessaro", design_.string(), "--yes", "--seed", "1", "--output",
                    output.string(), "--svg", svg.string()});

    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadFile(design_), before);
    ASSERT_TRUE(fs::exists(output));
    EXPECT_TRUE(fs::exists(svg));
    // What was written is a design the program reads again.
    Result again = Run({"render", output.string(), "--output", (dir_ / "again.svg").string()});
    EXPECT_EQ(again.exitCode, 0) << again.err;
}

TEST_F(EndToEndTest, EscapeAfterPressesTheKeyThePlugInTurnsIntoTheAbortQuestion) {
    const fs::path generated = dir_ / "gen.json";
    ASSERT_EQ(Run({"generate", "--seed", "2", "--banks", "1", "--pins-per-bank", "8", "--memories",
                   "1", "--connectors", "0", "--resistor-networks", "0", "--differential-pairs",
                   "0", "--output", generated.string()})
                  .exitCode,
              0);
    const std::string abort =
        "{\"event\":\"dialog\",\"kind\":\"confirmation\",\"caption\":\"Confirm\",\"text\":"
        "\"Abort Pin/Net Optimization Yes/No?\",\"buttons\":[\"Yes\",\"No\"],\"answer\":"
        "\"No\"}";
    const fs::path pressed = dir_ / "pressed.jsonl", quiet = dir_ / "quiet.jsonl";

    Result r = Run({"run", "RunAutoTessaro", generated.string(), "--yes", "--answer", "Confirm=No",
                    "--seed", "1", "--escape-after", "0", "--transcript", pressed.string()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(ReadFile(pressed).find(abort), std::string::npos) << ReadFile(pressed);

    Result q = Run({"run", "RunAutoTessaro", generated.string(), "--yes", "--seed", "1",
                    "--transcript", quiet.string()});
    ASSERT_EQ(q.exitCode, 0) << q.err;
    EXPECT_EQ(ReadFile(quiet).find("Abort Pin/Net Optimization"), std::string::npos);
}

TEST_F(EndToEndTest, PointPicksAreInTheDesignFilesUnitAndTranscribedAsGiven) {
    const fs::path output = dir_ / "out.json", transcript = dir_ / "t.jsonl";

    // U1-1 sits at (0,0) and U1-2 at (2,0), 1 mm square: the second pick is inside U1-2.
    Result r = Run({"run", "RunManualTessaro", design_.string(), "--pick", "0,0", "--pick",
                    "2.2,-0.3", "--output", output.string(), "--transcript", transcript.string()});

    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::vector<std::string> picks;
    std::istringstream lines(ReadFile(transcript));
    for (std::string line; std::getline(lines, line);) {
        auto event = nlohmann::json::parse(line);
        if (event.at("event") == "pick") picks.push_back(event.at("answer"));
    }
    EXPECT_EQ(picks, (std::vector<std::string>{"0,0", "2.2,-0.3", "cancel"}));
    auto written = nlohmann::json::parse(ReadFile(output));
    const auto& pads = written.at("board").at("components").at(0).at("pads");
    EXPECT_EQ(pads.at(0).at("net"), "B");
    EXPECT_EQ(pads.at(1).at("net"), "A");
}

TEST_F(EndToEndTest, GenerateWritesADesignThatRenders) {
    const fs::path generated = dir_ / "gen.json";
    Result g = Run({"generate", "--seed", "3", "--banks", "1", "--pins-per-bank", "4", "--memories",
                    "0", "--connectors", "1", "--resistor-networks", "0", "--differential-pairs",
                    "0", "--output", generated.string()});
    ASSERT_EQ(g.exitCode, 0) << g.err;
    Result r = Run({"render", generated.string(), "--output", (dir_ / "gen.svg").string()});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(ReadFile(dir_ / "gen.svg").find("<svg"), std::string::npos);
}

}  // namespace
