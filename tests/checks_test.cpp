// The interference report (`diehost check`, the report's "checks"): shared volumes to 1e-6, touching
// bodies told apart from overlapping ones, box pre-filtering, and the command's output.
#include "io/checks.hpp"
#include "kernel/kernel.hpp"
#include "model/store.hpp"
#include "diehost_command.hpp"
#include "scenario.hpp"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <numbers>
#include <set>

namespace {

namespace fs = std::filesystem;
using scenario::Json;

struct Played {
    Json report;
    diekit::io::InterferenceReport checks;
    int tag(const std::string &name) const { return scenario::body(report, name)["tag"]; }
};

Played play_objects(const char *objects) {
    Played played;
    played.report = scenario::play(Json::parse(std::string(R"({"objects": )") + objects + "}"));
    played.checks = diekit::io::check_interference();
    return played;
}

TEST(Interference, ASpringStandingInAPlateWithoutItsPocketIsReportedWithItsSharedVolume) {
    auto played = play_objects(R"([
        {"name": "plate", "block": {"corner": [-100, -60, 0], "size": [200, 120, 25]}},
        {"name": "spring", "cylinder": {"base": [30, 20, 0], "axis": [0, 0, 1], "height": 40, "diameter": 25}},
        {"name": "far", "block": {"corner": [300, 0, 0], "size": [10, 10, 10]}}])");
    ASSERT_EQ(played.checks.overlaps.size(), 1u);
    auto &overlap = played.checks.overlaps[0];
    EXPECT_EQ(overlap.a, static_cast<tag_t>(played.tag("plate")));
    EXPECT_EQ(overlap.b, static_cast<tag_t>(played.tag("spring")));
    // 25 of the spring's 40 stand inside the plate.
    EXPECT_NEAR(overlap.volume, std::numbers::pi * 12.5 * 12.5 * 25, 1e-6);
    EXPECT_TRUE(played.checks.touching.empty());
    EXPECT_EQ(played.checks.bodies, 3u);
    EXPECT_EQ(played.checks.compared, 1u) << "the far block's box meets no other";

    auto json = diekit::io::checks_json(played.checks);
    EXPECT_EQ(json["overlaps"][0]["a"], played.tag("plate"));
    EXPECT_EQ(json["overlaps"][0]["b"], played.tag("spring"));
    EXPECT_NEAR(json["overlaps"][0]["volume"].get<double>(), std::numbers::pi * 12.5 * 12.5 * 25, 1e-6);
    EXPECT_TRUE(json["touching"].empty());
}

TEST(Interference, BodiesThatOnlyTouchAreTouchingNotOverlapping) {
    auto played = play_objects(R"([
        {"name": "lower", "block": {"corner": [0, 0, 0], "size": [100, 80, 20]}},
        {"name": "upper", "block": {"corner": [10, 10, 20], "size": [50, 40, 15]}},
        {"name": "edge_only", "block": {"corner": [100, 80, 0], "size": [10, 10, 20]}},
        {"name": "gap", "block": {"corner": [0, -10.01, 0], "size": [20, 10, 20]}},
        {"name": "thin", "block": {"corner": [-5, 0, 0], "size": [5.001, 10, 10]}}])");
    EXPECT_EQ(played.checks.touching,
              (std::vector<std::pair<tag_t, tag_t>>{{played.tag("lower"), played.tag("upper")},
                                                    {played.tag("lower"), played.tag("edge_only")}}));
    // A sliver of 0.001 × 10 × 10 is still shared volume.
    ASSERT_EQ(played.checks.overlaps.size(), 1u);
    EXPECT_EQ(played.checks.overlaps[0].a, static_cast<tag_t>(played.tag("lower")));
    EXPECT_EQ(played.checks.overlaps[0].b, static_cast<tag_t>(played.tag("thin")));
    EXPECT_NEAR(played.checks.overlaps[0].volume, 0.1, 1e-6);

    auto json = diekit::io::checks_json(played.checks);
    EXPECT_EQ(json["touching"][0], Json::array({played.tag("lower"), played.tag("upper")}));
}

TEST(Interference, BoxesKeepTheComparisonsFewOnAGridOfPunches) {
    // 64 punches on a grid through one plate: 64 pairs meet, not 64·65/2.
    Json objects = Json::array();
    objects.push_back({{"name", "plate"}, {"block", {{"corner", {0, 0, 0}}, {"size", {400, 400, 20}}}}});
    for (int i = 0; i < 8; ++i)
        for (int j = 0; j < 8; ++j)
            objects.push_back({{"name", "p"},
                               {"cylinder", {{"base", {25 + 50 * i, 25 + 50 * j, -10}}, {"axis", {0, 0, 1}}, {"height", 40},
                                             {"diameter", 10}}}});
    scenario::play(Json{{"objects", objects}});
    auto checks = diekit::io::check_interference();
    EXPECT_EQ(checks.bodies, 65u);
    EXPECT_EQ(checks.compared, 64u);
    ASSERT_EQ(checks.overlaps.size(), 64u);
    for (auto &o : checks.overlaps) EXPECT_NEAR(o.volume, std::numbers::pi * 25 * 20, 1e-6);
}

// The report against one boolean and one distance per pair whose boxes meet: blocks, copies of one
// B-rep (the guide sets flipdie imports share theirs), bodies inside others and curved bodies.
void expect_same_as_pairwise(const diekit::io::InterferenceReport &checks) {
    using Key = std::pair<tag_t, tag_t>;
    std::map<Key, double> overlaps, expected_overlaps;
    for (auto &o : checks.overlaps) overlaps[{o.a, o.b}] = o.volume;
    std::set<Key> touching(checks.touching.begin(), checks.touching.end()), expected_touching;
    const auto bodies = diekit::model::Store::instance().bodies();
    for (std::size_t i = 0; i < bodies.size(); ++i)
        for (std::size_t j = i + 1; j < bodies.size(); ++j) {
            const auto &a = bodies[i]->shape, &b = bodies[j]->shape;
            if (diekit::kernel::distance(a, b) > diekit::kernel::kTolerance) continue;
            const double shared = diekit::kernel::volume(diekit::kernel::common(a, b));
            if (shared > 1e-6) expected_overlaps[{bodies[i]->tag, bodies[j]->tag}] = shared;
            else expected_touching.insert({bodies[i]->tag, bodies[j]->tag});
        }
    EXPECT_TRUE(checks.uncompared.empty());
    EXPECT_EQ(touching, expected_touching);
    ASSERT_EQ(overlaps.size(), expected_overlaps.size());
    for (auto &[key, volume] : expected_overlaps) {
        ASSERT_TRUE(overlaps.count(key)) << key.first << " / " << key.second;
        // Blocks are answered from their boxes, not from a boolean: round-off apart, the same volume.
        EXPECT_NEAR(overlaps[key], volume, 1e-9 * volume) << key.first << " / " << key.second;
    }
}

TEST(Interference, SharedVolumesAndTouchingAreThoseOfOneBooleanPerPair) {
    play_objects(R"([
        {"name": "block", "block": {"corner": [0, 0, 0], "size": [40, 30, 20]}},
        {"name": "same", "block": {"corner": [0, 0, 0], "size": [40, 30, 20]}},
        {"name": "moved", "block": {"corner": [15, 10, 5], "size": [40, 30, 20]}},
        {"name": "inside", "block": {"corner": [2, 2, 2], "size": [5, 5, 5]}},
        {"name": "beside", "block": {"corner": [40, 0, 0], "size": [10, 30, 20]}},
        {"name": "near", "block": {"corner": [0, 30.0005, 0], "size": [10, 10, 10]}},
        {"name": "rod", "cylinder": {"base": [20, 15, -10], "axis": [0, 0, 1], "height": 50, "diameter": 8}},
        {"name": "sleeve", "cylinder": {"base": [20, 15, 25], "axis": [0, 0, 1], "height": 5, "diameter": 8}},
        {"name": "slanted", "cylinder": {"base": [0, 0, 0], "axis": [1, 1, 1], "height": 30, "diameter": 6}},
        {"name": "wedge", "prism": {"outline": [[30, 20], [60, 20], [45, 45]], "z": [10, 30]}}])");
    expect_same_as_pairwise(diekit::io::check_interference());

    scenario::play_file("examples/flipdie.json");
    expect_same_as_pairwise(diekit::io::check_interference());
}

TEST(Interference, APairTheKernelCannotCompareIsListedAndTheOthersStillReported) {
    auto played = play_objects(R"([
        {"name": "plate", "block": {"corner": [0, 0, 0], "size": [100, 100, 20]}},
        {"name": "pin", "cylinder": {"base": [50, 50, -5], "axis": [0, 0, 1], "height": 30, "diameter": 10}}])");
    // A body that is only the round face of a cylinder crossing the plate: it has no solid to share
    // volume with, so the kernel cannot compare it with the plate.
    auto &store = diekit::model::Store::instance();
    const auto sleeve = diekit::kernel::make_cylinder({20, 20, -5}, {0, 0, 1}, 30, 10);
    diekit::kernel::Shape round_face;
    for (const auto &face : diekit::kernel::faces(sleeve))
        if (diekit::kernel::bounding_box(face)[5] - diekit::kernel::bounding_box(face)[2] > 1) round_face = face;
    const tag_t odd = store.add_body(round_face, false).tag;

    const auto checks = diekit::io::check_interference();
    const tag_t plate = played.tag("plate"), pin = played.tag("pin");
    ASSERT_EQ(checks.overlaps.size(), 1u);
    EXPECT_EQ(checks.overlaps[0].a, plate);
    EXPECT_EQ(checks.overlaps[0].b, pin);
    EXPECT_NEAR(checks.overlaps[0].volume, std::numbers::pi * 25 * 20, 1e-6);
    ASSERT_EQ(checks.uncompared.size(), 1u);
    EXPECT_EQ(checks.uncompared[0].a, plate);
    EXPECT_EQ(checks.uncompared[0].b, odd);
    EXPECT_NE(checks.uncompared[0].reason.find("no solid"), std::string::npos) << checks.uncompared[0].reason;

    const auto json = diekit::io::checks_json(checks);
    ASSERT_EQ(json["uncompared"].size(), 1u);
    EXPECT_EQ(json["uncompared"][0]["b"], odd);
    const std::string text = diekit::io::checks_text(checks, "odd");
    EXPECT_NE(text.find("1 pair(s) not compared"), std::string::npos) << text;
    EXPECT_NE(text.find("uncompared #" + std::to_string(plate) + " plate / #" + std::to_string(odd)), std::string::npos)
        << text;
}

// ---- the command and the written report ----

// The command's output appended to output; its exit status returned.
int run_diehost(const std::string &arguments, std::string &output) {
    CommandOutcome outcome = ::run_diehost(arguments);
    output += outcome.output;
    return outcome.status;
}

TEST(InterferenceCli, CheckListsOverlapsAndTouchingPairsAndTheReportCarriesThem) {
    const fs::path dir = fs::temp_directory_path() / ("diekit_checks_cli_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path session = dir / "spring.json";
    std::ofstream(session) << R"({"objects": [
        {"name": "plate", "block": {"corner": [-100, -60, 0], "size": [200, 120, 25]}},
        {"name": "spring", "cylinder": {"base": [30, 20, 0], "axis": [0, 0, 1], "height": 40, "diameter": 25}},
        {"name": "backing", "block": {"corner": [-100, -60, -10], "size": [200, 120, 10]}}]})";

    std::string output;
    const fs::path report = dir / "r.json";
    ASSERT_EQ(run_diehost("run " + session.string() + " --quiet --report " + report.string(), output), 0) << output;
    auto json = Json::parse(std::ifstream(report));
    const int plate = scenario::body(json, "plate")["tag"], spring = scenario::body(json, "spring")["tag"],
              backing = scenario::body(json, "backing")["tag"];
    ASSERT_TRUE(json.contains("checks"));
    ASSERT_EQ(json["checks"]["overlaps"].size(), 1u);
    EXPECT_EQ(json["checks"]["overlaps"][0]["a"], plate);
    EXPECT_EQ(json["checks"]["overlaps"][0]["b"], spring);
    EXPECT_EQ(json["checks"]["touching"], Json::array({Json::array({plate, backing}), Json::array({spring, backing})}));

    output.clear();
    ASSERT_EQ(run_diehost("check " + session.string() + " --quiet", output), 0) << output;
    auto id = [](int tag, const char *name) {
        std::string text = "#";
        text += std::to_string(tag) + " " + name;
        return text;
    };
    EXPECT_NE(output.find("spring: 3 bodies, 1 overlapping pair(s), 2 touching pair(s)"), std::string::npos) << output;
    EXPECT_NE(output.find("overlap   " + id(plate, "plate") + " / " + id(spring, "spring") +
                          ": shared volume 12271.846303 mm3"),
              std::string::npos)
        << output;
    EXPECT_NE(output.find("touching  " + id(plate, "plate") + " / " + id(backing, "backing")), std::string::npos) << output;
    EXPECT_NE(output.find("touching  " + id(spring, "spring") + " / " + id(backing, "backing")), std::string::npos)
        << output;

    // run --checks prints the same lines, without writing a report.
    std::string printed;
    ASSERT_EQ(run_diehost("run " + session.string() + " --quiet --checks", printed), 0) << printed;
    EXPECT_EQ(printed, output);

    output.clear();
    std::ofstream(dir / "bad.json") << R"({"steps": [{"plugin": "nosuchplugin"}]})";
    EXPECT_EQ(run_diehost("check " + (dir / "bad.json").string(), output), 1);
    EXPECT_NE(output.find("nosuchplugin"), std::string::npos) << output;
    fs::remove_all(dir);
}

}  // namespace
