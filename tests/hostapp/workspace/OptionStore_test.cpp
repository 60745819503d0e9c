// The option store: groups of keys, kept in memory or persisted to a small JSON file.
#include <gtest/gtest.h>

#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "host/Client.h"
#include "hostapp/HostApplication.h"
#include "hostapp/workspace/SmallDesign.h"

namespace workspace_test {
namespace {

using hostapp::HostApplication;

class OptionStoreFile : public testing::Test {
  protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("tessaro-options-" + std::to_string(::getpid()) + "-" +
                   testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder_);
        path_ = (folder_ / "options.json").string();
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    std::string ReadFile() const {
        std::ifstream in(path_);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    std::filesystem::path folder_;
    std::string path_;
};

TEST_F(OptionStoreFile, WrittenValuesSurviveTheApplication) {
    {
        HostApplication app(SmallDesign(), Folder);
        app.SetOptionStoreFile(path_);
        auto* store = app.Client()->GetOptionStore();
        store->WriteString(u"Tessaro", u"ShowAllPins", u"True");
        store->WriteString(u"Tessaro", u"Width", u"640");
        store->WriteString(u"Tessaro", u"Width", u"800");
    }
    auto json = nlohmann::json::parse(ReadFile());
    EXPECT_EQ(json["Tessaro"]["Width"], "800");

    HostApplication app(SmallDesign(), Folder);
    app.SetOptionStoreFile(path_);
    auto* store = app.Client()->GetOptionStore();
    EXPECT_EQ(store->ReadString(u"Tessaro", u"ShowAllPins", u"False"), u"True");
    EXPECT_EQ(store->ReadString(u"TESSARO", u"width", u""), u"800");  // names ignore case
    EXPECT_EQ(store->ReadString(u"Tessaro", u"Missing", u"default"), u"default");
    EXPECT_EQ(store->ReadString(u"Other", u"Width", u"none"), u"none");
}

TEST_F(OptionStoreFile, WithoutFileValuesStayInMemory) {
    HostApplication app(SmallDesign(), Folder);
    auto* store = app.Client()->GetOptionStore();
    store->WriteString(u"Tessaro", u"Key", u"Value");
    EXPECT_EQ(store->ReadString(u"Tessaro", u"Key", u""), u"Value");
    EXPECT_FALSE(std::filesystem::exists(path_));
    // Naming a file later keeps what was written and saves from then on.
    app.SetOptionStoreFile(path_);
    store->WriteString(u"Tessaro", u"Other", u"2");
    auto json = nlohmann::json::parse(ReadFile());
    EXPECT_EQ(json["Tessaro"]["Key"], "Value");
    EXPECT_EQ(json["Tessaro"]["Other"], "2");
}

TEST_F(OptionStoreFile, UnreadableFileIsReportedAndLeftAlone) {
    const char* bad[] = {"{not json", "[1, 2]", "{\"Tessaro\": {\"Width\": 800}}",
                         "{\"Tessaro\": \"flat\"}"};
    for (const char* text : bad) {
        SCOPED_TRACE(text);
        {
            std::ofstream out(path_);
            out << text;
        }
        HostApplication app(SmallDesign(), Folder);
        try {
            app.SetOptionStoreFile(path_);
            ADD_FAILURE() << "no error";
        } catch (const std::runtime_error& e) {
            EXPECT_NE(std::string(e.what()).find(path_), std::string::npos) << e.what();
        }
        app.Client()->GetOptionStore()->WriteString(u"Tessaro", u"Width", u"1");
        EXPECT_EQ(ReadFile(), text);
    }
}

}  // namespace
}  // namespace workspace_test
