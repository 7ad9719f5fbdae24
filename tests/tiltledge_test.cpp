// tiltledge played as a designer plays it: the shoulder along a punch edge at any angle in plan,
// united with the punch, and its clearance pocket cut into every other body it runs into.
#include "scenario.hpp"

#include "kernel/kernel.hpp"
#include "model/store.hpp"

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

namespace {

using scenario::Json;
using diekit::kernel::Frame;
using diekit::kernel::Shape;
using diekit::kernel::Vec3;

constexpr double kPi = std::numbers::pi;

double radians(double degrees) { return degrees * kPi / 180; }

// A punch 30 long in the direction (sin phi, cos phi) and 10 wide, centred on the origin in plan,
// from z0 to z1; the shoulder edge is its long side on the (cos phi, -sin phi) side at height `at`.
struct Punch {
    double phi = 30;
    double z0 = -10, z1 = 50;
    double at = 50;

    Vec3 u() const { return {std::sin(radians(phi)), std::cos(radians(phi)), 0}; }
    Vec3 n() const { return {std::cos(radians(phi)), -std::sin(radians(phi)), 0}; }
    Vec3 edge_middle() const { return {5 * n().x, 5 * n().y, at}; }
    double volume() const { return 30 * 10 * (z1 - z0); }

    Json fixture() const {
        Json outline = Json::array();
        for (auto [su, sn] : {std::pair{-1, -1}, {1, -1}, {1, 1}, {-1, 1}})
            outline.push_back({su * 15 * u().x + sn * 5 * n().x, su * 15 * u().y + sn * 5 * n().y});
        return {{"name", "punch"}, {"prism", {{"outline", outline}, {"z", {z0, z1}}}}};
    }
    // The WCS the builder turns to: Y along the edge, origin at the edge's middle on z = 0.
    Frame frame() const {
        const double theta = std::atan(std::tan(radians(phi)));
        Frame f;
        f.origin = {edge_middle().x, edge_middle().y, 0};
        f.x = {std::cos(theta), -std::sin(theta), 0};
        f.y = {std::sin(theta), std::cos(theta), 0};
        return f;
    }
};

Json block(const std::string &name, Vec3 corner, Vec3 size) {
    return {{"name", name}, {"block", {{"corner", {corner.x, corner.y, corner.z}}, {"size", {size.x, size.y, size.z}}}}};
}

// One Apply on the punch's edge with the extra dialog values and the other bodies.
Json session(const Punch &punch, const std::vector<Json> &others, const Json &values) {
    Json objects = Json::array({punch.fixture()});
    for (auto &o : others) objects.push_back(o);
    const Vec3 m = punch.edge_middle();
    Json v = {{"edge_select0", {{{"edge", "punch"}, {"near", {m.x, m.y, m.z}}}}}, {"bodySelect0", {"punch"}}};
    for (auto &[key, value] : values.items()) v[key] = value;
    return {{"objects", objects},
            {"steps", Json::array({{{"plugin", "tiltledge"}, {"values", v}, {"press", {"apply", "cancel"}}}})}};
}

Vec3 to_absolute(const Frame &f, Vec3 local) {
    return {f.origin.x + f.x.x * local.x + f.y.x * local.y, f.origin.y + f.x.y * local.x + f.y.y * local.y,
            f.origin.z + local.z};
}

// A block along the frame's axes from a corner given in frame coordinates.
Shape frame_block(const Frame &f, Vec3 corner, double dx, double dy, double dz) {
    return diekit::kernel::make_box(f, to_absolute(f, corner), dx, dy, dz);
}

// The clearance body as the builder must make it: 0.5 wider on each side across; with rounded ends
// the block is L + 1 long from -(L + 1)/2 - 0.5 and carries cylinders of diameter 2W + 1 at +-(L + 1)/2.
Shape expected_clearance(const Frame &f, double L, double W, double T, double zb, bool rounded) {
    if (!rounded) return frame_block(f, {-W - 0.5, -L / 2, zb}, 2 * W + 1, L, T);
    Shape slot = frame_block(f, {-W - 0.5, -(L + 1) / 2 - 0.5, zb}, 2 * W + 1, L + 1, T);
    for (double y : {-(L + 1) / 2, (L + 1) / 2})
        slot = diekit::kernel::fuse(slot, diekit::kernel::make_cylinder(to_absolute(f, {0, y, zb}), {0, 0, 1}, T, 2 * W + 1));
    return slot;
}

const Shape &shape(const Json &body) { return diekit::model::Store::instance().body(body["tag"].get<tag_t>()).shape; }
double volume(const Json &body) { return body["volume"].get<double>(); }
double common_volume(const Shape &a, const Shape &b) { return diekit::kernel::volume(diekit::kernel::common(a, b)); }

void expect_all_plain(const Json &report) {
    for (auto &b : report["bodies"]) EXPECT_EQ(b["parametric"], false) << b["tag"];
}

// The WCS turned to the edge. An edge parallel to X may be read as +90 or -90 degrees (the sign of a
// round-off Δy decides), which turns the axes by 180 degrees; both are right.
void expect_wcs_at_edge(const Json &report, const Frame &f) {
    const Json &wcs = report["wcs"];
    const double flip = std::abs(f.y.y) < 1e-9 && wcs["y"][0].get<double>() * f.y.x < 0 ? -1 : 1;
    const std::vector<double> origin = {f.origin.x, f.origin.y, 0}, x = {flip * f.x.x, flip * f.x.y, 0},
                              y = {flip * f.y.x, flip * f.y.y, 0};
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(wcs["origin"][i].get<double>(), origin[i], 1e-9) << "origin " << i;
        EXPECT_NEAR(wcs["x"][i].get<double>(), x[i], 1e-12) << "x " << i;
        EXPECT_NEAR(wcs["y"][i].get<double>(), y[i], 1e-12) << "y " << i;
    }
    EXPECT_EQ(wcs["shown"], true);
}

// Fixed plate z 30..50 around the punch, backing plate z 50..65 on it (touching the shoulder's top).
std::vector<Json> plates() {
    return {block("fixed_plate", {-50, -40, 30}, {100, 80, 20}), block("backing_plate", {-50, -40, 50}, {100, 80, 15})};
}

TEST(TiltLedgeScenario, WholeEdgeShoulderHangsBelowTheEdgeAndIsPocketedInTheFixedPlate) {
    for (double phi : {30.0, 90.0}) {  // turned in plan, and parallel to X (theta = +-90 degrees)
        SCOPED_TRACE("edge at " + std::to_string(phi) + " degrees");
        Punch punch;
        punch.phi = phi;
        const Json report = scenario::play(session(punch, plates(), {{"expression03", 1}, {"expression04", 5}}));
        ASSERT_EQ(report["steps"][0]["results"], Json::array({0, 0}));
        const Frame f = punch.frame();

        // Shoulder 2 x 30 x 5 from z 45 to 50, straddling the edge: half of it is new punch material.
        const Json &p = scenario::body(report, "punch");
        EXPECT_NEAR(volume(p), punch.volume() + 150, 1e-6);
        EXPECT_NEAR(common_volume(shape(p), frame_block(f, {-1, -15, 45}, 2, 30, 5)), 300, 1e-6);
        EXPECT_EQ(p["lumps"], 1);

        // Clearance 3 x 30 x 5 cut from the fixed plate; the backing plate only touches it.
        const Json &fixed = scenario::body(report, "fixed_plate");
        EXPECT_NEAR(volume(fixed), 100 * 80 * 20 - 450, 1e-6);
        EXPECT_NEAR(common_volume(shape(fixed), expected_clearance(f, 30, 1, 5, 45, false)), 0, 1e-6);
        const Json &backing = scenario::body(report, "backing_plate");
        EXPECT_NEAR(volume(backing), 100 * 80 * 15, 1e-6);
        EXPECT_EQ(report["bodies"].size(), 3u) << "the clearance body is used up by the last cut";

        expect_wcs_at_edge(report, f);
        expect_all_plain(report);
        EXPECT_TRUE(report["messages"].empty()) << report["messages"].dump();
    }
}

TEST(TiltLedgeScenario, RoundedClearanceIsASlotReachingHalfAMillimetreFurtherAtTheMinusYEnd) {
    Punch punch;
    const Json report = scenario::play(session(punch, plates(), {{"toggle0", true}}));
    const Frame f = punch.frame();
    const Json &fixed = scenario::body(report, "fixed_plate");
    // 3 x 31 block from y -16 to 15 and two discs of diameter 3 at y = +-15.5: area 93 + pi 1.5^2.
    EXPECT_NEAR(volume(fixed), 100 * 80 * 20 - (93 + kPi * 1.5 * 1.5) * 5, 1e-6);
    EXPECT_NEAR(common_volume(shape(fixed), expected_clearance(f, 30, 1, 5, 45, true)), 0, 1e-6);
    // Beside the discs, the block's corner is cut at y = -15.9 but not at y = +15.1.
    auto plate_has = [&](double x, double y) {
        return diekit::kernel::classify(shape(fixed), to_absolute(f, {x, y, 47.5})) != diekit::kernel::Where::Outside;
    };
    EXPECT_FALSE(plate_has(1.45, -15.9));
    EXPECT_TRUE(plate_has(1.45, 15.1));
    EXPECT_FALSE(plate_has(0, 16.9)) << "the +y disc reaches 17";
    EXPECT_TRUE(plate_has(0, 17.1));
    EXPECT_NEAR(volume(scenario::body(report, "punch")), punch.volume() + 150, 1e-6);
    EXPECT_EQ(report["bodies"].size(), 3u);
}

TEST(TiltLedgeScenario, PocketIsCutFromEveryInterferingBodyButThePunchAndNothingElseChanges) {
    Punch punch;
    const std::vector<Json> others = {block("lower", {-50, -40, 30}, {100, 80, 18}),    // z 30..48
                                      block("upper", {-50, -40, 48}, {100, 80, 17}),    // z 48..65
                                      block("far", {60, 60, 0}, {10, 10, 10}),          // apart
                                      block("under", {-50, -40, 20}, {100, 80, 25})};   // z 20..45: touches
    const Json report = scenario::play(session(punch, others, Json::object()));
    const Frame f = punch.frame();
    const Shape clearance = expected_clearance(f, 30, 1, 5, 45, false);
    EXPECT_NEAR(volume(scenario::body(report, "lower")), 100 * 80 * 18 - 450 * 3 / 5.0, 1e-6);
    EXPECT_NEAR(volume(scenario::body(report, "upper")), 100 * 80 * 17 - 450 * 2 / 5.0, 1e-6);
    EXPECT_NEAR(common_volume(shape(scenario::body(report, "lower")), clearance), 0, 1e-6);
    EXPECT_NEAR(common_volume(shape(scenario::body(report, "upper")), clearance), 0, 1e-6);
    EXPECT_NEAR(volume(scenario::body(report, "far")), 1000, 1e-9);
    EXPECT_NEAR(volume(scenario::body(report, "under")), 100 * 80 * 25, 1e-6);
    EXPECT_NEAR(volume(scenario::body(report, "punch")), punch.volume() + 150, 1e-6) << "the punch is not pocketed";
    EXPECT_EQ(report["bodies"].size(), 5u);
}

TEST(TiltLedgeScenario, AtOrBelowTheLevelZeroTheShoulderStandsOnTheEdge) {
    for (double z0 : {0.0, -20.0}) {
        SCOPED_TRACE("edge at z " + std::to_string(z0));
        Punch punch;
        punch.z0 = z0;  // the punch rises from the edge, which is now its bottom edge
        punch.z1 = z0 + 40;
        punch.at = z0;
        const Json report = scenario::play(
            session(punch, {block("plate", {-50, -40, z0}, {100, 80, 20})}, {{"expression04", 5}}));
        const Frame f = punch.frame();
        const Json &p = scenario::body(report, "punch");
        EXPECT_NEAR(volume(p), punch.volume() + 150, 1e-6);
        EXPECT_NEAR(common_volume(shape(p), frame_block(f, {-1, -15, z0}, 2, 30, 5)), 300, 1e-6) << "z0 .. z0 + 5";
        EXPECT_NEAR(p["bbox"][2].get<double>(), z0, 1e-9) << "nothing below the edge";
        const Json &plate = scenario::body(report, "plate");
        EXPECT_NEAR(volume(plate), 100 * 80 * 20 - 450, 1e-6);
        EXPECT_NEAR(common_volume(shape(plate), expected_clearance(f, 30, 1, 5, z0, false)), 0, 1e-6);
    }
}

TEST(TiltLedgeScenario, GivenLengthModeCentresAShoulderOfLengthAOnTheEdge) {
    Punch punch;
    const Json report = scenario::play(session(
        punch, plates(), {{"enum0", 1}, {"expression0", 20}, {"expression01", 1.5}, {"expression02", 4}}));
    const Frame f = punch.frame();
    const Json &p = scenario::body(report, "punch");
    // 3 x 20 x 4 from z 46 to 50, centred on the edge's middle: half of it outside the punch.
    EXPECT_NEAR(volume(p), punch.volume() + 120, 1e-6);
    EXPECT_NEAR(common_volume(shape(p), frame_block(f, {-1.5, -10, 46}, 3, 20, 4)), 240, 1e-6);
    const Json &fixed = scenario::body(report, "fixed_plate");
    EXPECT_NEAR(volume(fixed), 100 * 80 * 20 - 4 * 20 * 4, 1e-6);
    EXPECT_NEAR(common_volume(shape(fixed), expected_clearance(f, 20, 1.5, 4, 46, false)), 0, 1e-6);
    expect_wcs_at_edge(report, f);
}

TEST(TiltLedgeScenario, WithoutInterferingBodyTheClearanceBodyStaysInThePart) {
    Punch punch;
    const Json report = scenario::play(session(punch, {block("far", {60, 60, 0}, {10, 10, 10})}, Json::object()));
    ASSERT_EQ(report["bodies"].size(), 3u);
    EXPECT_NEAR(volume(scenario::body(report, "punch")), punch.volume() + 150, 1e-6);
    EXPECT_NEAR(volume(scenario::body(report, "far")), 1000, 1e-9);
    const Json &clearance = report["bodies"][2];
    EXPECT_EQ(clearance["name"], "");
    EXPECT_NEAR(volume(clearance), 450, 1e-6);
    EXPECT_NEAR(common_volume(shape(clearance), expected_clearance(punch.frame(), 30, 1, 5, 45, false)), 450, 1e-6);
    expect_all_plain(report);
}

TEST(TiltLedgeScenario, UnusableSelectionsBuildNothingAndSaySo) {
    struct Case {
        const char *what;
        Json values;
    };
    Punch punch;
    const std::vector<Json> others = {block("fixed_plate", {-50, -40, 30}, {100, 80, 20}),
                                      {{"name", "round"},
                                       {"cylinder", {{"base", {40, 0, 0}}, {"axis", {0, 0, 1}}, {"height", 50}, {"diameter", 8}}}}};
    const Vec3 corner{15 * punch.u().x + 5 * punch.n().x, 15 * punch.u().y + 5 * punch.n().y, 20};
    const std::vector<Case> cases = {
        {"no edge", {{"edge_select0", Json::array()}}},
        {"no body", {{"bodySelect0", Json::array()}}},
        {"a round edge", {{"edge_select0", {{{"edge", "round"}, {"near", {44, 0, 50}}}}}}},
        {"a vertical edge", {{"edge_select0", {{{"edge", "punch"}, {"near", {corner.x, corner.y, corner.z}}}}}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const Json report = scenario::play(session(punch, others, c.values));
        ASSERT_EQ(report["messages"].size(), 1u) << report["messages"].dump();
        EXPECT_EQ(report["messages"][0]["kind"], "box");  // an error box: the step built nothing
        EXPECT_EQ(report["messages"][0]["type"], 0);
        EXPECT_NE(report["messages"][0]["text"].get<std::string>().find("no shoulder was built"), std::string::npos);
        EXPECT_EQ(report["bodies"].size(), 3u);
        EXPECT_NEAR(volume(scenario::body(report, "punch")), punch.volume(), 1e-6);
        EXPECT_NEAR(volume(scenario::body(report, "fixed_plate")), 100 * 80 * 20, 1e-6);
        EXPECT_EQ(report["wcs"]["x"], Json::array({1.0, 0.0, 0.0})) << "the WCS is not touched";
    }
}

TEST(TiltLedgeScenario, ExampleShoulderIsUnitedAndItsSlotCutIntoTheFixedPlateOnly) {
    const Json report = scenario::play_file("examples/tiltledge.json");
    ASSERT_EQ(report["steps"][0]["results"], Json::array({0, 0}));
    Punch punch;
    EXPECT_NEAR(volume(scenario::body(report, "punch")), punch.volume() + 150, 1e-6);
    EXPECT_NEAR(volume(scenario::body(report, "fixed_plate")), 100 * 80 * 20 - (93 + kPi * 1.5 * 1.5) * 5, 1e-6);
    EXPECT_NEAR(volume(scenario::body(report, "backing_plate")), 100 * 80 * 15, 1e-6);
    EXPECT_EQ(report["bodies"].size(), 3u);
    expect_wcs_at_edge(report, punch.frame());
    expect_all_plain(report);
}

}  // namespace
