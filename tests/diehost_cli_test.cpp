// The diehost command as a whole process: exit status, one-line reasons, outputs whole or absent.
#include "diehost_command.hpp"

#include <gtest/gtest.h>

#include <algorithm>
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
        std::string text;
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
        // Numbers beyond what they stand for are refused, never wrapped onto another tag, member or colour.
        {R"({"steps": [{"plugin": "flatinsert", "values": {"bodySelect0": [{"tag": 4294967297}]}}]})",
         "'tag' expects a tag"},
        {R"({"steps": [{"plugin": "keepplate", "values": {"enum0": 4294967296}}]})", "member 4294967296 outside 0..1"},
        {R"({"objects": [{"block": {"corner": [0, 0, 0], "size": [1, 1, 1]}, "color": 4294967396}]})",
         "colour index 1..216"},
        {R"({"objects": [{"block": {"corner": [0, 0, 0], "size": [1e308, 1, 1]}}]})", "model range"},
        {R"({"objects": [{"cylinder": {"base": [0, 9.3e18, 0], "height": 1, "diameter": 1}}]})", "model range"},
        {R"({"steps": [{"plugin": "flatinsert", "values": {"expression0": 1e999}}]})", "number overflow"},
        // Text the reader cannot take: nested without end, not UTF-8.
        {"{\"steps\": " + std::string(100, '[') + std::string(100, ']') + "}", "nested deeper than 64 levels"},
        {"{\"name\": \"die \xC3\x28\"}", "is not UTF-8"},
        {R"({"steps": [{"plugin": "flatinsert", "press": "ok"}]})", "'press' expects a list"},
        // A NUL in a formula is shown escaped, and the reason after it is not lost.
        {R"({"steps": [{"plugin": "flatinsert", "values": {"expression0": "1\u0000+2"}}]})", "'1\\x00+2': unknown"},
    };
    for (auto &c : cases) {
        fs::path step = dir / "never.step", report = dir / "never.json";
        auto outcome = run("run " + session("s.json", c.text).string() + " --step " + step.string() + " --report " +
                           report.string() + " --quiet");
        EXPECT_EQ(outcome.status, 1) << c.text << "\n" << outcome.output;
        EXPECT_NE(outcome.output.find(c.reason), std::string::npos) << c.text << "\n" << outcome.output;
        EXPECT_EQ(std::count(outcome.output.begin(), outcome.output.end(), '\n'), 1) << "one line: " << outcome.output;
        EXPECT_EQ(outcome.output.find("json.exception"), std::string::npos) << outcome.output;
        EXPECT_FALSE(fs::exists(step)) << c.text;
        EXPECT_FALSE(fs::exists(report)) << c.text;
    }
    auto missing = run("run " + (dir / "absent.json").string());
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.output.find("cannot read session file"), std::string::npos);
    auto folder = run("run " + dir.string());
    EXPECT_EQ(folder.status, 1);
    EXPECT_NE(folder.output.find("is not a file"), std::string::npos) << folder.output;
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

// A step whose builder failed (no named plates, a negative margin) is said on stderr, one warning
// per failed host call or error box naming the step, and the report's step carries the same texts;
// --strict then exits 1 and writes nothing, while a clean run passes it.
TEST_F(DiehostCli, FailedStepsAreSaidAndStrictRunsWriteNothing) {
    auto example = [](const char *name) {
        return nlohmann::json::parse(std::ifstream(std::string(DIEKIT_SOURCE_DIR) + "/examples/" + name + ".json"));
    };
    nlohmann::json no_plates = example("keepplate");
    for (auto &object : no_plates["objects"])
        if (object["name"] != "punch") object["name"] = "plate_" + object["name"].get<std::string>();
    nlohmann::json negative_margin = example("flatinsert");
    negative_margin["steps"][0]["values"]["expression0"] = -2;
    const struct {
        nlohmann::json session;
        std::string warning;
    } cases[] = {
        {no_plates, "diehost: warning: step 1 (keepplate): error box 'keepplate': keepplate: no retainer plate was built: "
                    "the part has no body named gu_ding_ban"},
        {negative_margin, "diehost: warning: step 1 (flatinsert): UF_MODL_create_block1: edge length '-2.000000'"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.warning);
        const fs::path file = session("failing.json", c.session.dump());
        const fs::path report = dir / "r.json", step = dir / "r.step";
        auto outcome = run("run " + file.string() + " --report " + report.string() + " --quiet");
        ASSERT_EQ(outcome.status, 0) << outcome.output;
        EXPECT_NE(outcome.output.find(c.warning), std::string::npos) << outcome.output;
        EXPECT_NE(outcome.output.find("diehost: step 1 ("), std::string::npos) << "summary line: " << outcome.output;
        const auto json = nlohmann::json::parse(std::ifstream(report));
        const auto &warnings = json["steps"][0]["warnings"];
        ASSERT_FALSE(warnings.empty());
        for (const auto &w : warnings)
            EXPECT_NE(outcome.output.find("diehost: warning: " + w.get<std::string>() + "\n"), std::string::npos) << w;
        fs::remove(report);

        outcome = run("run " + file.string() + " --report " + report.string() + " --step " + step.string() +
                      " --strict --quiet");
        EXPECT_EQ(outcome.status, 1) << outcome.output;
        EXPECT_NE(outcome.output.find("--strict: 1 step(s) had failed host calls or error boxes"), std::string::npos)
            << outcome.output;
        EXPECT_FALSE(fs::exists(report));
        EXPECT_FALSE(fs::exists(step));
    }
    const fs::path report = dir / "clean.json";
    auto clean = run("run " + std::string(DIEKIT_SOURCE_DIR) + "/examples/keepplate.json --strict --quiet --report " +
                     report.string());
    EXPECT_EQ(clean.status, 0) << clean.output;
    EXPECT_EQ(clean.output.find("warning"), std::string::npos) << clean.output;
    EXPECT_TRUE(fs::exists(report));
}
