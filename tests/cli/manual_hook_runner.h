// Runs the built `tessaro` program as a user runs it, in a folder of its own, and reads back
// what it wrote: for the end-to-end tests of the manual swap commands and `tessaro hook`.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace tessaro::cli_testing {

namespace fs = std::filesystem;

struct Outcome {
    int exitCode = -1;
    std::string out;
    std::string err;
};

inline std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// One JSON value per line.
inline std::vector<nlohmann::json> JsonLines(const std::string& text) {
    std::vector<nlohmann::json> values;
    for (const std::string& line : Lines(text)) values.push_back(nlohmann::json::parse(line));
    return values;
}

class CommandFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(info->test_suite_name()) + "-" + info->name();
        for (char& c : name)
            if (c == '/') c = '_';
        dir_ = fs::temp_directory_path() / ("tessaro-" + std::to_string(getpid()) + "-" + name);
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    // A copy of a fixture in the test's folder.
    fs::path Fixture(const std::string& name) {
        const fs::path copy = dir_ / name;
        fs::copy_file(fs::path(TESSARO_SOURCE_DIR) / "tests/fixtures" / name, copy,
                      fs::copy_options::overwrite_existing);
        return copy;
    }

    // Runs the program with no terminal; the option store of `run` stays in the folder.
    Outcome Run(std::vector<std::string> args) {
        const std::string program = std::string(TESSARO_BIN_DIR) + "/tessaro";
        if (!args.empty() && args[0] == "run") {
            args.push_back("--options");
            args.push_back((dir_ / "options.json").string());
        }
        args.insert(args.begin(), program);
        std::vector<char*> argv;
        for (std::string& arg : args) argv.push_back(arg.data());
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
        Outcome outcome;
        const int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        EXPECT_EQ(rc, 0) << "cannot start " << program;
        if (rc != 0) return outcome;
        int status = 0;
        waitpid(pid, &status, 0);
        outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        outcome.out = ReadText(out);
        outcome.err = ReadText(err);
        return outcome;
    }

    fs::path dir_;
};

// The net of a pad ("U1-5") in a design file's board ("" for none).
inline std::string PadNet(const nlohmann::json& design, const std::string& ref) {
    const std::size_t dash = ref.rfind('-');
    const std::string designator = ref.substr(0, dash), name = ref.substr(dash + 1);
    for (const auto& component : design.at("board").at("components")) {
        if (component.at("designator") != designator) continue;
        for (const auto& pad : component.at("pads"))
            if (pad.at("name") == name) return pad.value("net", std::string());
    }
    ADD_FAILURE() << "no pad " << ref << " in the design";
    return "?";
}

inline std::vector<std::string> PadNets(const nlohmann::json& design,
                                        const std::vector<std::string>& refs) {
    std::vector<std::string> nets;
    for (const std::string& ref : refs) nets.push_back(PadNet(design, ref));
    return nets;
}

}  // namespace tessaro::cli_testing
