// stripbolt played as a designer would: the bolt's length set through the newest L'k before its
// cutting body is cut, the placement shared with the springs, the layouts, and the refusals.
#include "placement_scenario.hpp"

#include "model/store.hpp"

#include <cmath>
#include <filesystem>

using namespace placement;

namespace {

// PBB10X35 (enum0 0): head 16 x 7 with a hexagon socket 5 across flats and 3.5 deep, shoulder 10
// down to L, thread 8 x 12. Cutting body: counterbore 17 from 1 above the head to 7.5 below its top,
// then 11 down to 1 beyond the thread.
double bolt_10(double overall) {
    const double L = overall - 12;
    return disc(16, 7) + disc(10, L - 7) + disc(8, 12) - std::sqrt(3.0) / 2 * 25 * 3.5;
}

// What the cutting body takes from a plate `thickness` thick whose face the head stands on.
double head_plate_cut(double thickness) { return disc(17, 7.5) + disc(11, thickness - 7.5); }

Json bolt(Json selection, double overall, Json point = {40, 30, 0}, int size = 0) {
    return step("stripbolt", {{"point0", point}, {"enum0", size}, {"expression0", overall}, {"selection0", selection}});
}

std::string formula(const Json &report, const std::string &name) {
    for (auto &e : report["expressions"])
        if (e["name"] == name) return e["formula"];
    ADD_FAILURE() << "no expression " << name;
    return "";
}

std::size_t live_coordinate_systems() {
    std::size_t count = 0;
    for (auto *object : diekit::model::Store::instance().objects())
        if (object->kind == diekit::model::Kind::Csys) ++count;
    return count;
}

}  // namespace

TEST(StripperBolt, TheTypedLengthIsTheOverallLengthAndTheCutFollowsIt) {
    Json report = scenario::play(session({plate("upper", 20, 40), plate("stripper", 0, 20)},
                                         {bolt({"stripper", "upper"}, 38)}));
    EXPECT_EQ(formula(report, "L'1"), "26.000000");
    auto bolts = named(report, "stripper_bolt");
    ASSERT_EQ(bolts.size(), 1u);
    // Hanging from the top 40, head up, 38 overall.
    expect_bbox(bolts[0], {32, 22, 2, 48, 38, 40});
    EXPECT_NEAR(volume(bolts[0]), bolt_10(38), 1e-6);
    // The regenerated cutting body: counterbore 7.5 deep, the hole down to 40 - 39 = 1.
    EXPECT_NEAR(volume(scenario::body(report, "upper")), plate_volume(20, 40) - head_plate_cut(20), 1e-6);
    EXPECT_NEAR(volume(scenario::body(report, "stripper")), plate_volume(0, 20) - disc(11, 19), 1e-6);
    EXPECT_TRUE(named(report, "bolt_clearance").empty());
    EXPECT_EQ(report["bodies"].size(), 3u);
    expect_all_plain(report);
    EXPECT_TRUE(report["messages"].empty());
    // The WCS is neither used nor changed.
    expect_absolute_wcs(report);
    EXPECT_EQ(live_coordinate_systems(), 0u);
}

TEST(StripperBolt, TheSuffixSearchEditsOnlyTheNewestSetOfExpressions) {
    // Bolt (L'1, D'1, H'1, ...), then a spring (D'2, DB'2, F'2), then a bolt (L'3, D'3, H'3, ...).
    Json report = scenario::play(session(
        {plate("upper", 20, 40), plate("stripper", 0, 20)},
        {bolt({"upper", "stripper"}, 40, {40, 30, 0}),
         step("boxspring", {{"point0", {-40, -30, 0}}, {"enum0", 3}, {"expression0", 30}, {"selection0", {"upper"}}}),
         bolt({"upper", "stripper"}, 50, {40, -30, 0})}));
    EXPECT_EQ(formula(report, "L'1"), "28.000000");
    EXPECT_EQ(formula(report, "F'2"), "25");
    EXPECT_EQ(formula(report, "L'3"), "38.000000");
    auto bolts = named(report, "stripper_bolt");
    ASSERT_EQ(bolts.size(), 2u);
    EXPECT_NEAR(top(bolts[0]) - bottom(bolts[0]), 40, 1e-9);
    EXPECT_NEAR(top(bolts[1]) - bottom(bolts[1]), 50, 1e-9);
    EXPECT_NEAR(volume(bolts[1]), bolt_10(50), 1e-6);
    EXPECT_TRUE(report["messages"].empty());
}

TEST(StripperBolt, LayoutsPlaceTwoDiagonalOrFourBoltsEachWithItsOwnLength) {
    struct Layout {
        const char *toggle;
        std::multiset<std::pair<double, double>> centres;
    };
    const std::vector<Layout> layouts = {
        {"toggle0", {{40, 30}, {-40, 30}}},
        {"toggle01", {{40, 30}, {40, -30}}},
        {"toggle02", {{40, 30}, {-40, -30}}},
        {"toggle03", {{40, 30}, {-40, 30}, {40, -30}, {-40, -30}}},
    };
    const double cut_upper = head_plate_cut(20);
    for (const Layout &layout : layouts) {
        SCOPED_TRACE(layout.toggle);
        Json the_step = bolt({"upper", "stripper"}, 35);
        the_step["values"][layout.toggle] = true;
        Json report = scenario::play(session({plate("upper", 20, 40), plate("stripper", 0, 20)}, {the_step}));
        auto bolts = named(report, "stripper_bolt");
        EXPECT_EQ(centres(bolts), layout.centres);
        for (std::size_t k = 1; k <= bolts.size(); ++k) EXPECT_EQ(formula(report, "L'" + std::to_string(k)), "23.000000");
        for (auto &b : bolts) EXPECT_NEAR(volume(b), bolt_10(35), 1e-6);
        EXPECT_NEAR(volume(scenario::body(report, "upper")),
                    plate_volume(20, 40) - static_cast<double>(bolts.size()) * cut_upper, 1e-6);
        expect_all_plain(report);
    }
}

TEST(StripperBolt, DownwardEachBoltIsTurnedOverAtItsOwnMirroredPoint) {
    Json the_step = bolt({"die", "lower"}, 35, {-40, 30, 0});
    the_step["values"]["toggle02"] = true;
    Json report = scenario::play(session({plate("die", -20, 0), plate("lower", -50, -20)}, {the_step}));
    auto bolts = named(report, "stripper_bolt");
    ASSERT_EQ(bolts.size(), 2u);
    std::multiset<std::pair<double, double>> diagonal = {{-40, 30}, {40, -30}};
    EXPECT_EQ(centres(bolts), diagonal);
    for (auto &b : bolts) {
        EXPECT_NEAR(bottom(b), -50, 1e-9);
        EXPECT_NEAR(top(b), -15, 1e-9);
    }
    // The head stands on the bottom of the lower plate: the counterbore is there.
    EXPECT_NEAR(volume(scenario::body(report, "lower")), plate_volume(-50, -20) - 2 * head_plate_cut(30), 1e-6);
    EXPECT_NEAR(volume(scenario::body(report, "die")), plate_volume(-20, 0) - 2 * disc(11, 6), 1e-6);
    expect_all_plain(report);
}

TEST(StripperBolt, RefusalsLeaveThePlatesAsTheyWere) {
    // No plate selected: each builder of the four-bolt layout says so.
    Json the_step = step("stripbolt", {{"point0", {40, 30, 0}}, {"enum0", 1}, {"expression0", 35}, {"toggle03", true}});
    Json report = scenario::play(session({plate("plate", 0, 20)}, {the_step}));
    EXPECT_EQ(report["bodies"].size(), 1u);
    EXPECT_TRUE(report["expressions"].empty());
    EXPECT_EQ(notes(report).size(), 4u);

    // The part is missing from the library.
    const auto empty_library = std::filesystem::temp_directory_path() / "diekit_stripbolt_empty_library";
    std::filesystem::create_directories(empty_library);
    Json missing = session({plate("plate", 0, 20)}, {bolt({"plate"}, 35, {40, 30, 0}, 3)});
    missing["library"] = empty_library.string();
    report = scenario::play(missing);
    EXPECT_EQ(report["bodies"].size(), 1u);
    EXPECT_TRUE(report["bodies"][0]["parametric"].get<bool>());
    ASSERT_EQ(notes(report).size(), 1u);
    EXPECT_NE(notes(report)[0].find("PBB20X35.prt' could not be imported"), std::string::npos) << notes(report)[0];

    // 12 overall leaves no shoulder under the head: the bolt cannot take it and is not cut at 35.
    report = scenario::play(session({plate("plate", 0, 20)}, {bolt({"plate"}, 12)}));
    EXPECT_EQ(report["bodies"].size(), 1u);
    EXPECT_NEAR(volume(report["bodies"][0]), plate_volume(0, 20), 1e-6);
    EXPECT_TRUE(report["bodies"][0]["parametric"].get<bool>());
    ASSERT_EQ(notes(report).size(), 1u);
    EXPECT_NE(notes(report)[0].find("cannot be set"), std::string::npos) << notes(report)[0];
}
