// tiltinsert played as a designer plays it: inserts turned to the punch's longest top side, the
// axis-aligned insert when the top face has no straight side, corner chamfers, and the WCS after.
#include "scenario.hpp"

#include "kernel/faces.hpp"
#include "kernel/kernel.hpp"
#include "model/store.hpp"

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

namespace {

using scenario::Json;
using diekit::kernel::Frame;
using diekit::kernel::Vec3;

constexpr double kPi = std::numbers::pi;
constexpr double kPlate = 120.0 * 80.0 * 25.0;  // die plate volume before any insert

double radians(double degrees) { return degrees * kPi / 180; }

// A rectangular punch through the plate: `along` long in the direction (sin phi, cos phi) (phi in
// degrees, clockwise from +Y), `across` wide, centred on (cx, cy), from z -10 to 50.
Json rect_punch(const std::string &name, double cx, double cy, double along, double across, double phi) {
    const double t = radians(phi);
    const Vec3 u{std::sin(t), std::cos(t), 0}, n{std::cos(t), -std::sin(t), 0};
    Json outline = Json::array();
    for (auto [su, sn] : {std::pair{-1, -1}, {1, -1}, {1, 1}, {-1, 1}})
        outline.push_back({cx + su * along / 2 * u.x + sn * across / 2 * n.x,
                           cy + su * along / 2 * u.y + sn * across / 2 * n.y});
    return {{"name", name}, {"prism", {{"outline", outline}, {"z", {-10, 50}}}}};
}

Json round_punch(const std::string &name, double cx, double cy, double diameter) {
    return {{"name", name},
            {"cylinder", {{"base", {cx, cy, -10}}, {"axis", {0, 0, 1}}, {"height", 60}, {"diameter", diameter}}}};
}

Json plate() {
    return {{"name", "die_plate"}, {"block", {{"corner", {-60, -40, 0}}, {"size", {120, 80, 25}}}}, {"color", 100}};
}

// One Apply of `plugin` with the punches, the plate, c = 2, d = 1 and the extra values.
Json session(const std::vector<Json> &punches, Json values, const std::string &plugin = "tiltinsert") {
    Json objects = Json::array({plate()});
    Json names = Json::array();
    for (auto &p : punches) {
        objects.push_back(p);
        names.push_back(p["name"]);
    }
    Json v = {{"bodySelect0", names}, {"bodySelect01", {"die_plate"}}, {"expression0", 2}, {"expression01", 1}};
    for (auto &[key, value] : values.items()) v[key] = value;
    return {{"objects", objects},
            {"steps", Json::array({{{"plugin", plugin}, {"values", v}, {"press", {"apply", "cancel"}}}})}};
}

// The system turned by theta about +Z (rows X = (cos, -sin, 0), Y = (sin, cos, 0)) at origin.
Frame turned(double theta, Vec3 origin = {0, 0, 0}) {
    Frame f;
    f.origin = origin;
    f.x = {std::cos(theta), -std::sin(theta), 0};
    f.y = {std::sin(theta), std::cos(theta), 0};
    return f;
}

Vec3 to_absolute(const Frame &f, Vec3 local) {
    return {f.origin.x + f.x.x * local.x + f.y.x * local.y, f.origin.y + f.x.y * local.x + f.y.y * local.y,
            f.origin.z + local.z};
}

const diekit::kernel::Shape &shape(const Json &body) {
    return diekit::model::Store::instance().body(body["tag"].get<tag_t>()).shape;
}

bool inside(const Json &body, Vec3 p) {
    return diekit::kernel::classify(shape(body), p) != diekit::kernel::Where::Outside;
}

// The one insert (colour 181) of the report.
Json only_insert(const Json &report) {
    auto inserts = scenario::bodies_of_color(report, 181);
    EXPECT_EQ(inserts.size(), 1u);
    return inserts.empty() ? Json::object() : inserts.front();
}

void expect_wcs_absolute_and_shown(const Json &report) {
    EXPECT_EQ(report["wcs"]["origin"], Json::array({0.0, 0.0, 0.0}));
    EXPECT_EQ(report["wcs"]["x"], Json::array({1.0, 0.0, 0.0}));
    EXPECT_EQ(report["wcs"]["y"], Json::array({0.0, 1.0, 0.0}));
    EXPECT_EQ(report["wcs"]["shown"], true);
}

void expect_all_plain(const Json &report) {
    for (auto &b : report["bodies"]) EXPECT_EQ(b["parametric"], false) << b["tag"];
}

TEST(TiltInsertScenario, TurnedPunchGetsAnInsertAlongItsSidesCentredOnItsTopFace) {
    // phi is the long side's direction from +Y; the builder's angle is the same line taken with
    // a non-negative Y component, so 135 degrees is read as -45.
    for (double phi : {30.0, -30.0, 60.0, 135.0}) {
        SCOPED_TRACE("long side at " + std::to_string(phi) + " degrees");
        const Json report = scenario::play(session({rect_punch("punch", 20, 5, 20.4, 8.3, phi)}, Json::object()));
        ASSERT_EQ(report["steps"][0]["results"], Json::array({0, 0}));
        const Json insert = only_insert(report);
        ASSERT_FALSE(insert.empty());

        // 12 x 24 along the turned axes: X across (trunc 8.3 + 2c), Y along the 20.4 side (trunc 20.4 + 2c).
        const double theta = std::atan(std::tan(radians(phi)));
        const auto local = diekit::kernel::bounding_box_in(shape(insert), turned(theta));
        EXPECT_NEAR(local[3] - local[0], 12, 1e-9);
        EXPECT_NEAR(local[4] - local[1], 24, 1e-9);
        EXPECT_NEAR(local[2], 0, 1e-9);
        EXPECT_NEAR(local[5], 25, 1e-9);
        const Vec3 centre = to_absolute(turned(theta), {(local[0] + local[3]) / 2, (local[1] + local[4]) / 2, 0});
        EXPECT_NEAR(centre.x, 20, 1e-9);
        EXPECT_NEAR(centre.y, 5, 1e-9);
        EXPECT_NEAR(insert["volume"].get<double>(), 12 * 24 * 25, 1e-6);

        const Json &die_plate = scenario::body(report, "die_plate");
        EXPECT_NEAR(die_plate["volume"].get<double>() + insert["volume"].get<double>(), kPlate, 1e-6);
        EXPECT_NEAR(scenario::body(report, "punch")["volume"].get<double>(), 20.4 * 8.3 * 60, 1e-6);
        EXPECT_EQ(report["bodies"].size(), 3u) << "the insert box leaves nothing behind";
        expect_wcs_absolute_and_shown(report);
        expect_all_plain(report);
        EXPECT_TRUE(report["messages"].empty()) << report["messages"].dump();
    }
}

TEST(TiltInsertScenario, ExtentsThatMissAWholeNumberByRoundingAreNotTruncatedOneShort) {
    // A 10 punch from y = -35.3 to -25.3 measures 9.999999999999996 in doubles: still 10, so its insert
    // is 14 wide and holds the punch, in both insert plug-ins.
    for (const char *plugin : {"flatinsert", "tiltinsert"}) {
        SCOPED_TRACE(plugin);
        const Json report = scenario::play(session({round_punch("punch", -30, -30.3, 10)}, Json::object(), plugin));
        const Json insert = only_insert(report);
        ASSERT_FALSE(insert.empty());
        const std::vector<double> expected = {-37, -37.3, 0, -23, -23.3, 25};
        for (int i = 0; i < 6; ++i) EXPECT_NEAR(insert["bbox"][i].get<double>(), expected[i], 1e-9) << i;
        EXPECT_NEAR(insert["volume"].get<double>(), 14 * 14 * 25, 1e-6);
    }
}

TEST(TiltInsertScenario, AxisParallelPunchesGiveAxisAlignedInsertsWithSidesExchangedAtNinetyDegrees) {
    struct Case {
        double phi;
        double x_extent, y_extent;
    };
    for (const Case &c : {Case{0, 12, 24}, Case{90, 24, 12}, Case{180, 12, 24}, Case{-90, 24, 12}}) {
        SCOPED_TRACE("long side at " + std::to_string(c.phi) + " degrees");
        const Json report = scenario::play(session({rect_punch("punch", -10, 3, 20.4, 8.3, c.phi)}, Json::object()));
        const Json insert = only_insert(report);
        ASSERT_FALSE(insert.empty());
        const auto &b = insert["bbox"];
        EXPECT_NEAR(b[0].get<double>(), -10 - c.x_extent / 2, 1e-9);
        EXPECT_NEAR(b[3].get<double>(), -10 + c.x_extent / 2, 1e-9);
        EXPECT_NEAR(b[1].get<double>(), 3 - c.y_extent / 2, 1e-9);
        EXPECT_NEAR(b[4].get<double>(), 3 + c.y_extent / 2, 1e-9);
        EXPECT_NEAR(insert["volume"].get<double>(), 12 * 24 * 25, 1e-6);
        expect_wcs_absolute_and_shown(report);
    }
}

TEST(TiltInsertScenario, RoundPunchGetsTheStraightBuildersInsert) {
    const Json report = scenario::play(session({round_punch("punch", -30, 0, 10)}, Json::object()));
    const Json insert = only_insert(report);
    ASSERT_FALSE(insert.empty());
    const std::vector<double> expected = {-37, -7, 0, -23, 7, 25};
    for (int i = 0; i < 6; ++i) EXPECT_NEAR(insert["bbox"][i].get<double>(), expected[i], 1e-9) << i;
    EXPECT_NEAR(insert["volume"].get<double>(), 14 * 14 * 25, 1e-6);
    EXPECT_NEAR(scenario::body(report, "die_plate")["volume"].get<double>(), kPlate - 14 * 14 * 25, 1e-6);
    EXPECT_EQ(report["bodies"].size(), 3u) << "the punch section is deleted";
    expect_wcs_absolute_and_shown(report);

    // The straight builder, given the same selection, builds the same insert.
    const Json flat = scenario::play(session({round_punch("punch", -30, 0, 10)}, Json::object(), "flatinsert"));
    const Json flat_insert = only_insert(flat);
    ASSERT_FALSE(flat_insert.empty());
    for (int i = 0; i < 6; ++i)
        EXPECT_NEAR(flat_insert["bbox"][i].get<double>(), insert["bbox"][i].get<double>(), 1e-9) << i;
    EXPECT_NEAR(flat_insert["volume"].get<double>(), insert["volume"].get<double>(), 1e-6);
}

// Each toggle alone cuts only the corner it names: a point 0.2 in from a corner at mid-height lies in
// the triangle a 1 mm chamfer cuts off. corners[k] is the corner of toggle k; full is the sharp volume.
void expect_each_toggle_cuts_its_corner(const Json &punch, const std::vector<Vec3> &corners, double full) {
    const char *toggles[4] = {"toggle0", "toggle01", "toggle02", "toggle03"};
    for (int k = 0; k < 4; ++k) {
        SCOPED_TRACE(toggles[k]);
        const Json report = scenario::play(session({punch}, {{toggles[k], true}}));
        const Json insert = only_insert(report);
        ASSERT_FALSE(insert.empty());
        EXPECT_NEAR(insert["volume"].get<double>(), full - 0.5 * 25, 1e-6) << "one 1 mm chamfer";
        for (int j = 0; j < 4; ++j) EXPECT_EQ(inside(insert, corners[j]), j != k) << "corner of toggle " << j;
        EXPECT_NEAR(scenario::body(report, "die_plate")["volume"].get<double>() + insert["volume"].get<double>(),
                    kPlate, 1e-6) << "the pocket follows the chamfered insert";
    }
}

TEST(TiltInsertScenario, InclinedTogglesNameTheTurnedCornersMinMinMaxMinMinMaxMaxMax) {
    const Frame f = turned(radians(30), {20, 5, 12.5});
    auto at = [&f](double x, double y) { return to_absolute(f, {x, y, 0}); };
    expect_each_toggle_cuts_its_corner(rect_punch("punch", 20, 5, 20.4, 8.3, 30),
                                       {at(-5.8, -11.8), at(5.8, -11.8), at(-5.8, 11.8), at(5.8, 11.8)}, 12 * 24 * 25);
}

TEST(TiltInsertScenario, AxisAlignedTogglesNameTheCornersAsTheStraightBuilder) {
    // Insert [-37, -23] x [-7, 7]: (x max, y max), (x max, y min), (x min, y max), (x min, y min).
    expect_each_toggle_cuts_its_corner(round_punch("punch", -30, 0, 10),
                                       {{-23.2, 6.8, 12.5}, {-23.2, -6.8, 12.5}, {-36.8, 6.8, 12.5}, {-36.8, -6.8, 12.5}},
                                       14 * 14 * 25);
}

TEST(TiltInsertScenario, AxisAlignedInsertIgnoresAWcsLeftTurnedByAnotherCommand) {
    // tiltledge leaves the WCS turned at its edge; the round punch's insert must still be axis-aligned.
    Json s = session({round_punch("punch", -30, 0, 10), rect_punch("ledge_punch", 30, 0, 30, 10, 30)},
                     Json::object());
    s["steps"][0]["values"]["bodySelect0"] = Json::array({"punch"});
    const double t = radians(30);
    const Json edge_near = {30 + 5 * std::cos(t), -5 * std::sin(t), 50};
    const Json ledge = {{"plugin", "tiltledge"},
                        {"values", {{"edge_select0", {{{"edge", "ledge_punch"}, {"near", edge_near}}}},
                                    {"bodySelect0", {"ledge_punch"}}}},
                        {"press", {"apply", "cancel"}}};
    s["steps"].insert(s["steps"].begin(), ledge);
    const Json report = scenario::play(s);
    const Json insert = only_insert(report);
    ASSERT_FALSE(insert.empty());
    const std::vector<double> expected = {-37, -7, 0, -23, 7, 25};
    for (int i = 0; i < 6; ++i) EXPECT_NEAR(insert["bbox"][i].get<double>(), expected[i], 1e-9) << i;
    expect_wcs_absolute_and_shown(report);
}

TEST(TiltInsertScenario, NoPlateOrNoPunchBuildsNothing) {
    Json no_plate = session({rect_punch("punch", 20, 5, 20.4, 8.3, 30)}, Json::object());
    no_plate["steps"][0]["values"].erase("bodySelect01");
    const Json report = scenario::play(no_plate);
    EXPECT_EQ(report["bodies"].size(), 2u);
    EXPECT_NEAR(scenario::body(report, "die_plate")["volume"].get<double>(), kPlate, 1e-6);
    ASSERT_EQ(report["messages"].size(), 1u);
    EXPECT_EQ(report["messages"][0]["kind"], "box");  // an error box: the step built nothing
    EXPECT_EQ(report["messages"][0]["type"], 0);
    EXPECT_NE(report["messages"][0]["text"].get<std::string>().find("die plate"), std::string::npos);

    Json no_punch = session({rect_punch("punch", 20, 5, 20.4, 8.3, 30)}, Json::object());
    no_punch["steps"][0]["values"].erase("bodySelect0");
    const Json quiet = scenario::play(no_punch);
    EXPECT_EQ(quiet["bodies"].size(), 2u);
    EXPECT_TRUE(quiet["messages"].empty());
}

TEST(TiltInsertScenario, ExampleBuildsBothInsertsAndCutsThePlateOnce) {
    const Json report = scenario::play_file("examples/tiltinsert.json");
    ASSERT_EQ(report["steps"][0]["results"], Json::array({0, 0}));
    auto inserts = scenario::bodies_of_color(report, 181);
    ASSERT_EQ(inserts.size(), 2u);
    // Turned 12 x 24 and axis-aligned 14 x 14, each with two 1 mm corner chamfers, 25 thick.
    EXPECT_NEAR(inserts[0]["volume"].get<double>(), 12 * 24 * 25 - 25, 1e-6);
    EXPECT_NEAR(inserts[1]["volume"].get<double>(), 14 * 14 * 25 - 25, 1e-6);
    EXPECT_NEAR(scenario::body(report, "die_plate")["volume"].get<double>(),
                kPlate - inserts[0]["volume"].get<double>() - inserts[1]["volume"].get<double>(), 1e-6);
    expect_wcs_absolute_and_shown(report);
    expect_all_plain(report);
}

}  // namespace
