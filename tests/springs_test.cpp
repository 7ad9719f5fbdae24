// boxspring and wirespring played as a designer would: which plate decides the anchor, which way
// the spring points, how long it ends, where its clearance is cut, the mirror layouts, and the
// selections the builders refuse.
#include "placement_scenario.hpp"

#include <filesystem>

using namespace placement;

namespace {

// Rectangular spring 20 x 25 (enum0 3): tube 20 / 10; clearance 21 from 1 above the anchor to 1
// beyond the free end. Linear spring 8 x 7 (enum0 3): tube 8 / 6.2; clearance 9, same margins.
double box_spring_20(double length) { return disc(20, length) - disc(10, length); }

Json box_spring(Json selection, double length, Json point = {30, -20, 0}, int size = 3) {
    return step("boxspring", {{"point0", point}, {"enum0", size}, {"expression0", length}, {"selection0", selection}});
}

Json play_one(Json plates, Json the_step) { return scenario::play(session(std::move(plates), {std::move(the_step)})); }

}  // namespace

TEST(SpringPlacement, UpwardHangsFromTheHighestTopAndCutsEveryPlate) {
    // Selected lower plate first: the ordering pass must bring the top 40 forward.
    Json report = play_one({plate("upper", 20, 40), plate("stripper", 0, 20)},
                           box_spring({"stripper", "upper"}, 30));
    EXPECT_EQ(report["steps"][0]["results"], Json({0}));
    auto springs = named(report, "spring");
    ASSERT_EQ(springs.size(), 1u);
    // Factor 1.200000: 25 becomes 30, the anchor end stays at the top 40, centred on the point.
    expect_bbox(springs[0], {20.0, -30.0, 10.0, 40.0, -10.0, 40.0});
    EXPECT_NEAR(volume(springs[0]), box_spring_20(30), 1e-6);
    // The clearance (21 across, 26 * 1.2 below and 1.2 above the anchor) through the upper plate
    // and 11.2 into the stripper plate, then deleted.
    EXPECT_NEAR(volume(scenario::body(report, "upper")), plate_volume(20, 40) - disc(21, 20), 1e-6);
    EXPECT_NEAR(volume(scenario::body(report, "stripper")), plate_volume(0, 20) - disc(21, 11.2), 1e-6);
    EXPECT_TRUE(named(report, "spring_clearance").empty());
    EXPECT_EQ(report["bodies"].size(), 3u);
    expect_all_plain(report);
    expect_absolute_wcs(report);
    EXPECT_TRUE(report["messages"].empty());
}

TEST(SpringPlacement, DownwardTurnsTheSpringOverOnTheBottomOfThePlateOrderedLast) {
    // Tops -20 and -45, bottoms -40 and -70: the anchor is -70 and the spring points up.
    Json report = play_one({plate("die", -40, -20), plate("lower", -70, -45)}, box_spring({"die", "lower"}, 25));
    auto springs = named(report, "spring");
    ASSERT_EQ(springs.size(), 1u);
    expect_bbox(springs[0], {20.0, -30.0, -70.0, 40.0, -10.0, -45.0});
    EXPECT_NEAR(volume(scenario::body(report, "lower")), plate_volume(-70, -45) - disc(21, 25), 1e-6);
    EXPECT_NEAR(volume(scenario::body(report, "die")), plate_volume(-40, -20), 1e-6);  // not reached
    expect_all_plain(report);
    expect_absolute_wcs(report);

    // The bottom of the plate ordered last is the anchor even when the other plate reaches lower.
    report = play_one({plate("deep", -90, -20), plate("lower", -70, -45)}, box_spring({"lower", "deep"}, 25));
    springs = named(report, "spring");
    ASSERT_EQ(springs.size(), 1u);
    EXPECT_NEAR(bottom(springs[0]), -70, 1e-9);
    EXPECT_NEAR(top(springs[0]), -45, 1e-9);
}

TEST(SpringPlacement, PlatesAreOrderedByTopAndTheSelectionOrderDecidesAcrossTheParting) {
    // Tops 10, 30, 20 in that order: the anchor is 30 and each plate is cut as deep as reached.
    Json report = play_one({plate("p10", 0, 10), plate("p30", 20, 30), plate("p20", 10, 20)},
                           box_spring({"p10", "p30", "p20"}, 25));
    auto springs = named(report, "spring");
    ASSERT_EQ(springs.size(), 1u);
    EXPECT_NEAR(top(springs[0]), 30, 1e-9);
    EXPECT_NEAR(bottom(springs[0]), 5, 1e-9);
    EXPECT_NEAR(volume(scenario::body(report, "p30")), plate_volume(20, 30) - disc(21, 10), 1e-6);
    EXPECT_NEAR(volume(scenario::body(report, "p20")), plate_volume(10, 20) - disc(21, 10), 1e-6);
    EXPECT_NEAR(volume(scenario::body(report, "p10")), plate_volume(0, 10) - disc(21, 6), 1e-6);

    // Tops 10 and -5 selected in that order: t1 = t2 = -5, downward, anchored on the bottom -25.
    Json plates = {plate("up", 0, 10), plate("down", -25, -5)};
    report = play_one(plates, box_spring({"up", "down"}, 25));
    springs = named(report, "spring");
    ASSERT_EQ(springs.size(), 1u);
    EXPECT_NEAR(bottom(springs[0]), -25, 1e-9);
    EXPECT_NEAR(top(springs[0]), 0, 1e-9);
    EXPECT_NEAR(volume(scenario::body(report, "down")), plate_volume(-25, -5) - disc(21, 20), 1e-6);
    EXPECT_NEAR(volume(scenario::body(report, "up")), plate_volume(0, 10) - disc(21, 1), 1e-6);

    // The other way round: t2 = 10, t1 = -5, upward from the top 10.
    report = play_one(plates, box_spring({"down", "up"}, 25));
    springs = named(report, "spring");
    ASSERT_EQ(springs.size(), 1u);
    EXPECT_NEAR(top(springs[0]), 10, 1e-9);
    EXPECT_NEAR(bottom(springs[0]), -15, 1e-9);

    // Tops -10 and 10 after an exchange: a sum of exactly 0 goes down, to the bottom -30.
    report = play_one({plate("low", -30, -10), plate("high", 0, 10)}, box_spring({"low", "high"}, 25));
    springs = named(report, "spring");
    ASSERT_EQ(springs.size(), 1u);
    EXPECT_NEAR(bottom(springs[0]), -30, 1e-9);
    EXPECT_NEAR(top(springs[0]), -5, 1e-9);
}

TEST(SpringPlacement, EqualTopsAreNeverExchanged) {
    // Both tops -10: whichever was selected second stays last and gives the anchor its bottom.
    Json plates = {plate("shallow", -30, -10), plate("deep", -50, -10)};
    Json report = play_one(plates, box_spring({"shallow", "deep"}, 25));
    ASSERT_EQ(named(report, "spring").size(), 1u);
    EXPECT_NEAR(bottom(named(report, "spring")[0]), -50, 1e-9);
    report = play_one(plates, box_spring({"deep", "shallow"}, 25));
    ASSERT_EQ(named(report, "spring").size(), 1u);
    EXPECT_NEAR(bottom(named(report, "spring")[0]), -30, 1e-9);
}

TEST(SpringPlacement, TheLengthIsTheFreeLengthTimesTheSixDecimalFactor) {
    Json report = scenario::play(session(
        {plate("plate", -10, 40)},
        {box_spring({"plate"}, 19, {-60, 0, 0}, 5),    // 19 / 38 = 0.500000
         box_spring({"plate"}, 25, {0, 0, 0}, 0),      // 1.000000: as modelled
         box_spring({"plate"}, 10, {60, 0, 0}, 5)}));  // 0.263158: 38 * 0.263158 = 10.000004
    auto springs = named(report, "spring");
    ASSERT_EQ(springs.size(), 3u);
    EXPECT_NEAR(top(springs[0]) - bottom(springs[0]), 19, 1e-9);
    EXPECT_NEAR(volume(springs[0]), disc(32, 19) - disc(16, 19), 1e-6);
    EXPECT_NEAR(top(springs[1]) - bottom(springs[1]), 25, 1e-9);
    EXPECT_NEAR(volume(springs[1]), disc(10, 25) - disc(5, 25), 1e-6);
    EXPECT_NEAR(top(springs[2]) - bottom(springs[2]), 38 * 0.263158, 1e-9);
    for (auto &s : springs) EXPECT_NEAR(top(s), 40, 1e-9);

    // Linear springs are all modelled 7 long: 14 gives 2.000000, 7 leaves them, 35 is five times.
    report = scenario::play(session(
        {plate("plate", -10, 40)},
        {step("wirespring", {{"point0", {-60, 0, 0}}, {"enum0", 3}, {"expression0", 14}, {"selection0", {"plate"}}}),
         step("wirespring", {{"point0", {0, 0, 0}}, {"enum0", 3}, {"expression0", 7}, {"selection0", {"plate"}}}),
         step("wirespring", {{"point0", {60, 0, 0}}, {"enum0", 3}, {"expression0", 35}, {"selection0", {"plate"}}})}));
    springs = named(report, "spring");
    ASSERT_EQ(springs.size(), 3u);
    const double lengths[3] = {14, 7, 35};
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(top(springs[i]) - bottom(springs[i]), lengths[i], 1e-9);
        EXPECT_NEAR(volume(springs[i]), disc(8, lengths[i]) - disc(6.2, lengths[i]), 1e-6);
    }
    // Clearance 9 across, from 1 * 5 above the top 40 down to 8 * 5 below it: 40 deep in the plate.
    const double cuts = disc(9, 16) + disc(9, 8) + disc(9, 40);
    EXPECT_NEAR(volume(scenario::body(report, "plate")), plate_volume(-10, 40) - cuts, 1e-6);
    expect_all_plain(report);
    expect_absolute_wcs(report);
}

struct Layout {
    const char *toggle;
    std::multiset<std::pair<double, double>> centres;
};

class SpringLayouts : public ::testing::TestWithParam<const char *> {};

TEST_P(SpringLayouts, MirrorsAboutTheDieCentreWithAClearanceCutPerSpring) {
    const std::string plugin = GetParam();
    // One plate 20 thick above the parting plane; boxspring 20 x 25 at 30 and wirespring 8 x 7 at
    // 14 both pass through it.
    const double cut = plugin == "boxspring" ? disc(21, 20) : disc(9, 16);
    const double length = plugin == "boxspring" ? 30 : 14;
    const std::vector<Layout> layouts = {
        {"toggle0", {{50, 30}, {-50, 30}}},
        {"toggle01", {{50, 30}, {50, -30}}},
        {"toggle02", {{50, 30}, {-50, 30}, {50, -30}, {-50, -30}}},
    };
    for (const Layout &layout : layouts) {
        SCOPED_TRACE(layout.toggle);
        Json report = play_one({plate("plate", 20, 40)},
                               step(plugin, {{"point0", {50, 30, 0}}, {"enum0", 3}, {"expression0", length},
                                             {"selection0", {"plate"}}, {layout.toggle, true}}));
        auto springs = named(report, "spring");
        EXPECT_EQ(centres(springs), layout.centres);
        for (auto &s : springs) EXPECT_NEAR(top(s) - bottom(s), length, 1e-9);
        EXPECT_NEAR(volume(scenario::body(report, "plate")),
                    plate_volume(20, 40) - static_cast<double>(layout.centres.size()) * cut, 1e-6);
        expect_all_plain(report);
        expect_absolute_wcs(report);
    }

    // On the y axis the four positions collapse to two, each built (and cut) twice.
    Json report = play_one({plate("plate", 20, 40)},
                           step(plugin, {{"point0", {0, 30, 0}}, {"enum0", 3}, {"expression0", length},
                                         {"selection0", {"plate"}}, {"toggle02", true}}));
    std::multiset<std::pair<double, double>> doubled = {{0, 30}, {0, 30}, {0, -30}, {0, -30}};
    EXPECT_EQ(centres(named(report, "spring")), doubled);
    EXPECT_NEAR(volume(scenario::body(report, "plate")), plate_volume(20, 40) - 2 * cut, 1e-6);
}

INSTANTIATE_TEST_SUITE_P(BothSpringKinds, SpringLayouts, ::testing::Values("boxspring", "wirespring"));

TEST(SpringPlacement, NothingSelectedOrNothingToImportStopsWithNoChangeAndSaysSo) {
    // No plate: each of the four builders says so; the plate and the WCS are as they were.
    Json report = play_one({plate("plate", 0, 20)},
                           step("boxspring", {{"point0", {50, 30, 0}}, {"enum0", 3}, {"expression0", 30}, {"toggle02", true}}));
    EXPECT_EQ(report["bodies"].size(), 1u);
    EXPECT_TRUE(report["bodies"][0]["parametric"].get<bool>());
    EXPECT_TRUE(report["groups"].empty());
    auto texts = notes(report);
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_NE(texts[0].find("select the plates"), std::string::npos) << texts[0];
    expect_absolute_wcs(report);

    // A library without the part: the import fails and nothing is cut.
    const auto empty_library = std::filesystem::temp_directory_path() / "diekit_springs_empty_library";
    std::filesystem::create_directories(empty_library);
    Json missing = session({plate("plate", 0, 20)},
                           {step("wirespring", {{"point0", {50, 30, 0}}, {"enum0", 2}, {"expression0", 14},
                                                {"selection0", {"plate"}}})});
    missing["library"] = empty_library.string();
    report = scenario::play(missing);
    EXPECT_EQ(report["bodies"].size(), 1u);
    EXPECT_NEAR(volume(report["bodies"][0]), plate_volume(0, 20), 1e-6);
    EXPECT_TRUE(report["bodies"][0]["parametric"].get<bool>());
    texts = notes(report);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_NE(texts[0].find("xian_huang_6X7.prt' could not be imported"), std::string::npos) << texts[0];

    // A length that gives no positive factor is refused before anything is imported.
    report = play_one({plate("plate", 0, 20)}, box_spring({"plate"}, 0));
    EXPECT_EQ(report["bodies"].size(), 1u);
    EXPECT_TRUE(report["groups"].empty());
    ASSERT_EQ(notes(report).size(), 1u);
}
