// The diehost command as a whole process: exit status, one-line reasons, outputs whole or absent.
#include "diehost_command.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>

namespace {

namespace fs = std::filesystem;

using Outcome = CommandOutcome;

class DiehostCli : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("diehost_cli_" + std::to_string(::getpid()));
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    Outcome run(const std::string &arguments) { return run_diehost(arguments); }
    fs::path session(const std::string &name, const std::string &text) {
        fs::path path = dir / name;
        std::ofstream(path) << text;
        return path;
    }
    fs::path dir;
};

TEST_F(DiehostCli, PlaysTheExampleAndWritesBothOutputs) {
    fs::path step = dir / "out.step", report = dir / "out.json";
    auto outcome = run("run " + std::string(DIEKIT_SOURCE_DIR) + "/examples/flatinsert.json --step " + step.string() +
                       " --report " + report.string() + " --quiet");
    ASSERT_EQ(outcome.status, 0) << outcome.output;
    EXPECT_GT(fs::file_size(step), 1000u);
    auto json = nlohmann::json::parse(std::ifstream(report));
    EXPECT_EQ(json["steps"][0]["plugin"], "flatinsert");
    for (auto &entry : fs::directory_iterator(dir))
        EXPECT_EQ(entry.path().string().find(".tmp"), std::string::npos) << "temporary left: " << entry.path();
}

TEST_F(DiehostCli, UnplayableSessionsExitNonZeroWithAReasonAndWriteNothing) {
    struct Case {
        const char *text;
        const char *reason;
    } cases[] = {
        {"{ not json", "is not valid JSON"},
        {R"({"steps": [{"plugin": "nosuchplugin"}]})", "cannot load plug-in 'nosuchplugin'"},
        {R"({"steps": [{"plugin": "flatinsert", "values": {"bogus": 1}}]})", "step 1 (flatinsert): unknown block 'bogus'"},
        {R"({"steps": [{"plugin": "flatinsert", "values": {"expression0": "x"}}]})", "block 'expression0'"},
        {R"({"steps": [{"plugin": "flatinsert", "values": {"toggle0": 1}}]})", "expects true or false"},
        {R"({"objects": [{"name": "p", "block": {"corner": [0, 0, 0], "size": [1, 0, 1]}}]})", "object 1 ('p')"},
        {R"({"objects": [{"name": "c", "curve": {"polyline": [[0, 0, 0], [1, 0, 0]]}}],
             "steps": [{"plugin": "flatinsert", "values": {"bodySelect0": ["c"]}}]})", "refuses curve"},
        {R"({"stepz": []})", "unknown key 'stepz'"},
        {R"({"steps": [{"plugin": "../flatinsert"}]})", "is not a plug-in name"},
    };
    for (auto &c : cases) {
        fs::path step = dir / "never.step", report = dir / "never.json";
        auto outcome = run("run " + session("s.json", c.text).string() + " --step " + step.string() + " --report " +
                           report.string());
        EXPECT_EQ(outcome.status, 1) << c.text << "\n" << outcome.output;
        EXPECT_NE(outcome.output.find(c.reason), std::string::npos) << c.text << "\n" << outcome.output;
        EXPECT_FALSE(fs::exists(step)) << c.text;
        EXPECT_FALSE(fs::exists(report)) << c.text;
    }
    auto missing = run("run " + (dir / "absent.json").string());
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.output.find("cannot read session file"), std::string::npos);
}

TEST_F(DiehostCli, AnOutputThatCannotBeWrittenLeavesTheOtherUnwritten) {
    fs::path report = dir / "r.json";
    auto outcome = run("run " + std::string(DIEKIT_SOURCE_DIR) + "/examples/flatinsert.json --report " +
                       report.string() + " --step " + (dir / "no/such/dir/x.step").string() + " --quiet");
    EXPECT_EQ(outcome.status, 1) << outcome.output;
    EXPECT_FALSE(fs::exists(report)) << "outputs are written all or none";
}

TEST_F(DiehostCli, HelpExplainsTheOptions) {
    auto outcome = run("run --help");
    EXPECT_EQ(outcome.status, 0);
    for (const char *option : {"--step", "--report", "--plugins", "--library", "--quiet"})
        EXPECT_NE(outcome.output.find(option), std::string::npos) << option;
}

}  // namespace
