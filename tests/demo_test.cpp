// The full-die demo and the rename steps it relies on: every plug-in plays in one session, each part
// lands where the die needs it, and nothing interferes but what the die set's own layout gives.
#include "io/checks.hpp"
#include "scenario.hpp"

#include <map>
#include <set>

namespace {

using scenario::Json;

Json two_blocks() {
    return Json::parse(R"({"name": "rename", "objects": [
        {"name": "a", "block": {"corner": [0, 0, 0], "size": [10, 10, 10]}},
        {"name": "b", "block": {"corner": [10, 0, 0], "size": [10, 10, 10]}},
        {"name": "b", "block": {"corner": [30, 0, 0], "size": [10, 10, 10]}}], "steps": []})");
}

}  // namespace

TEST(RenameSteps, NameTheBodyAtAPointOrByItsName) {
    Json session = two_blocks();
    session["steps"] = Json::parse(R"([
        {"rename": {"at": [15, 5, 5]}, "to": "middle"},
        {"rename": "a", "to": "first", "comment": "by its old name"}])");
    Json report = scenario::play(session);
    EXPECT_EQ(scenario::body(report, "middle")["bbox"][0], 10.0);
    EXPECT_EQ(scenario::body(report, "first")["bbox"][0], 0.0);
    EXPECT_EQ(report["bodies"][2]["name"], "b");
    EXPECT_TRUE(report["steps"].empty()) << "rename steps are not dialog steps";
}

TEST(RenameSteps, WhatNamesNoSingleBodyIsRefusedBeforeAnythingIsRenamed) {
    const std::pair<const char *, const char *> cases[] = {
        {R"({"rename": {"at": [25, 5, 5]}, "to": "x"})", "no body holds the point"},
        {R"({"rename": {"at": [10, 5, 5]}, "to": "x"})", "no body holds the point"},  // on two faces, inside none
        {R"({"rename": "b", "to": "x"})", "exactly one body"},
        {R"({"rename": "nothing", "to": "x"})", "no object named 'nothing'"},
        {R"({"rename": {"at": [5, 5]}, "to": "x"})", "'at' expects [x, y, z]"},
        {R"({"rename": "a"})", "'to' expects the body's new name"},
        {R"({"rename": "a", "to": ""})", "'to' expects the body's new name"},
        {R"({"rename": "a", "to": "x", "values": {}})", "unknown key 'values'"},
    };
    for (auto [step, expected] : cases) {
        Json session = two_blocks();
        session["steps"] = Json::array({Json::parse(step)});
        const std::string error = scenario::error_of(session);
        EXPECT_NE(error.find(expected), std::string::npos) << step << " gave: " << error;
        EXPECT_NE(error.find("step 1"), std::string::npos) << error;
    }
}

class Demo : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        report = new Json(scenario::play_file("examples/demo.json"));
        (*report)["checks"] = diekit::io::checks_json(diekit::io::check_interference());
    }
    static void TearDownTestSuite() { delete report; }
    static Json *report;
};
Json *Demo::report = nullptr;

TEST_F(Demo, EveryPlugInPlaysAndSucceeds) {
    std::set<std::string> plugins;
    for (auto &step : (*report)["steps"]) {
        plugins.insert(step["plugin"].get<std::string>());
        for (auto &result : step["results"]) EXPECT_EQ(result, 0) << step["plugin"];
    }
    EXPECT_EQ(plugins, (std::set<std::string>{"flipdie", "formpunch", "keepplate", "tiltplate", "boxspring", "wirespring",
                                              "stripbolt", "flatinsert", "tiltinsert", "tiltledge"}));
    EXPECT_TRUE((*report)["messages"].empty()) << (*report)["messages"].dump();
}

TEST_F(Demo, TheDieHasItsPartsInTheirCounts) {
    std::map<int, int> by_colour;
    for (auto &b : (*report)["bodies"]) ++by_colour[b["color"].get<int>()];
    EXPECT_EQ(by_colour[165], 4) << "piercing punches";
    EXPECT_EQ(by_colour[190], 2) << "retainer plates";
    EXPECT_EQ(by_colour[181], 4) << "die inserts";
    std::map<std::string, int> parts;
    for (auto &g : (*report)["groups"]) ++parts[g["file"].get<std::string>()];
    EXPECT_EQ(parts["Rectangular spring/SPRING20X25.prt"], 4);
    EXPECT_EQ(parts["Plug screw/PBB13X35.prt"], 4);
    EXPECT_EQ(parts["chong zi ya ban/M4X12.prt"], 2);
    for (const char *name : {"gu_ding_ban", "tu_ao_mo", "xia_dian_ban", "xie_liao_ban", "xia_gu_ding_ban", "chong_zi_a",
                             "chong_zi_b", "chong_zi_c", "chong_zi_d", "tui_kuai", "dian_ban"})
        EXPECT_EQ(scenario::body(*report, name)["lumps"], 1) << name;
    // Punch D carries the shoulder at its top, hanging 5 into the upper retainer plate.
    EXPECT_EQ(scenario::body(*report, "chong_zi_d")["bbox"][5], 53.5);
}

TEST_F(Demo, EveryPartHasItsPocketSoNothingOverlaps) {
    // Every punch, spring, bolt, screw, insert, retainer plate, guide set and the knock-out rod sits in
    // its own opening: bodies touch, none shares volume with another.
    EXPECT_TRUE((*report)["checks"]["overlaps"].empty()) << (*report)["checks"]["overlaps"].dump();
    EXPECT_GT((*report)["checks"]["touching"].size(), 40u);
}
