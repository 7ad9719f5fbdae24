// flatinsert played like a designer: straight inserts cut out of a die plate around the selected
// punches, checked on the report (boxes, volumes, colours, plain bodies, messages) and, for the
// chamfered corners, on the insert's solid.
#include "scenario.hpp"

#include "kernel/kernel.hpp"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using scenario::Json;

// Die plate 200 x 120 x 25, top at z = 25.
constexpr double kPlateX0 = -100, kPlateY0 = -60, kPlateZ0 = 0;
constexpr double kPlateH = 25;
constexpr double kPlateVolume = 200.0 * 120.0 * kPlateH;

Json plate() {
    return Json{{"name", "plate"}, {"block", {{"corner", {kPlateX0, kPlateY0, kPlateZ0}}, {"size", {200, 120, kPlateH}}}},
                {"color", 100}};
}

// A prism punch through the plate from an (x, y) rectangle.
Json rect_punch(const std::string &name, double x0, double y0, double x1, double y1) {
    return Json{{"name", name},
                {"prism", {{"outline", {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}}, {"z", {-10, 50}}}}};
}

Json session(const Json &objects, const Json &values, const std::vector<std::string> &press = {"apply"},
             const std::string &part = "") {
    Json s;
    if (!part.empty()) s["part"] = part;
    s["objects"] = objects;
    s["steps"] = Json::array({Json{{"plugin", "flatinsert"}, {"values", values}, {"press", press}}});
    return s;
}

Json selection(const std::vector<std::string> &punches, double c = 2, double d = 1) {
    return Json{{"bodySelect0", punches}, {"bodySelect01", {"plate"}}, {"expression0", c}, {"expression01", d}};
}

struct Insert {
    double x0, y0, x1, y1;  // the insert's plan box
    double volume;
};

double rel(double a, double b) { return std::fabs(a - b) / std::max(std::fabs(b), 1.0); }

// The inserts (colour 181, in punch order) have the given boxes through the plate's thickness and
// volumes; the plate lost exactly their volume; every body is plain and one solid.
void expect_inserts(const Json &report, const std::vector<Insert> &expected, double plate_before = kPlateVolume) {
    const std::vector<Json> inserts = scenario::bodies_of_color(report, 181);
    ASSERT_EQ(inserts.size(), expected.size());
    double taken = 0;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE("insert " + std::to_string(i));
        const Json &bbox = inserts[i]["bbox"];
        const Insert &e = expected[i];
        const double want[6] = {e.x0, e.y0, kPlateZ0, e.x1, e.y1, kPlateZ0 + kPlateH};
        for (int k = 0; k < 6; ++k) EXPECT_NEAR(bbox[k].get<double>(), want[k], 1e-9) << "bbox " << k;
        EXPECT_LT(rel(inserts[i]["volume"].get<double>(), e.volume), 1e-9) << inserts[i]["volume"] << " vs " << e.volume;
        EXPECT_EQ(inserts[i]["lumps"], 1);
        taken += inserts[i]["volume"].get<double>();
    }
    const double plate_after = scenario::body(report, "plate")["volume"].get<double>();
    EXPECT_LT(rel(plate_before, plate_after + taken), 1e-9) << plate_before << " vs " << plate_after << " + " << taken;
    for (const Json &b : report["bodies"]) EXPECT_FALSE(b["parametric"].get<bool>()) << b.dump();
}

double box_volume(double length, double width) { return length * width * kPlateH; }
// What one chamfer of size d takes from a vertical corner edge of the plate's height.
double corner_cut(double d) { return d * d / 2 * kPlateH; }

}  // namespace

// ---- the insert box ----

// Section rounded down to whole millimetres plus 2c, centred on the section; a 14-wide punch (prism
// or cylinder, exact boxes) gives 14 + 2c; the search box is the punch's truncated box plus 2c from
// its minimum corner, so with a small c it clips the section on the maximum side.
TEST(FlatinsertBox, WholeMillimetreSectionPlusMarginCentredOnTheSection) {
    struct Case {
        const char *what;
        Json punch;
        double c;
        Insert expected;
    };
    const std::vector<Case> cases = {
        // 10.7 x 6.2 section: 14 x 10 with margins 1.65 and 1.9 around the section's centre (8.35, 1.1).
        {"10.7 x 6.2, c = 2", rect_punch("p", 3.0, -2.0, 13.7, 4.2), 2, {1.35, -3.9, 15.35, 6.1, box_volume(14, 10)}},
        {"exactly 14 wide", rect_punch("p", -20.7, 20, -6.7, 26), 2, {-22.7, 18, -4.7, 28, box_volume(18, 10)}},
        {"diameter 14", Json::parse(R"({"name": "p", "cylinder": {"base": [-50, 10, -10], "height": 60, "diameter": 14}})"),
         2, {-59, 1, -41, 19, box_volume(18, 18)}},
        {"hexagon 16 x 16",
         Json::parse(R"({"name": "p", "prism": {"outline": [[44, 20], [52, 16], [60, 20], [60, 28], [52, 32], [44, 28]],
                         "z": [-10, 50]}})"),
         2, {42, 14, 62, 34, box_volume(20, 20)}},
        // Search box x from 2.5, 11 long: the section is 3.0 .. 13.5, 10 + 1 wide, centred on 8.25.
        {"10.7 x 6.2, c = 0.5", rect_punch("p", 3.0, -2.0, 13.7, 4.2), 0.5, {2.75, -2.4, 13.75, 4.6, box_volume(11, 7)}},
        // c = 0: the search box 10 x 6 from the punch's minimum corner is the section and the insert.
        {"c = 0", rect_punch("p", 3.0, -2.0, 13.7, 4.2), 0, {3.0, -2.0, 13.0, 4.0, box_volume(10, 6)}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const Json report = scenario::play(session(Json::array({plate(), c.punch}), selection({"p"}, c.c)));
        expect_inserts(report, {c.expected});
        // Plate, punch and insert: the search box and the section are gone.
        EXPECT_EQ(report["bodies"].size(), 3u);
        EXPECT_TRUE(report["messages"].empty()) << report["messages"].dump();
        EXPECT_EQ(report["steps"][0]["results"], Json::array({0}));
    }
}

// Four punches in one plate: each pocketed once, the punches untouched, nothing else left.
TEST(FlatinsertBox, SeveralPunchesInOnePlateAndOverlappingInsertsStaySeparate) {
    Json objects = Json::array({plate(), rect_punch("rect", 3.0, -2.0, 13.7, 4.2), rect_punch("wide", -20.7, 20, -6.7, 26),
                                Json::parse(R"({"name": "round", "cylinder": {"base": [-50, 10, -10], "height": 60,
                                                "diameter": 14}})")});
    Json values = selection({"rect", "wide", "round"}, 2, 1.5);
    values["toggle0"] = true;
    values["toggle03"] = true;
    Json report = scenario::play(session(objects, values));
    const double two_corners = 2 * corner_cut(1.5);
    expect_inserts(report, {{1.35, -3.9, 15.35, 6.1, box_volume(14, 10) - two_corners},
                            {-22.7, 18, -4.7, 28, box_volume(18, 10) - two_corners},
                            {-59, 1, -41, 19, box_volume(18, 18) - two_corners}});
    EXPECT_EQ(report["bodies"].size(), 7u);
    EXPECT_NEAR(scenario::body(report, "rect")["volume"].get<double>(), 10.7 * 6.2 * 60, 1e-6);
    EXPECT_NEAR(scenario::body(report, "round")["volume"].get<double>(), M_PI * 49 * 60, 1e-6);

    // Boxes x -2 .. 12 and 11 .. 25 overlap by 1: the second insert is what the plate still has there.
    objects = Json::array({plate(), rect_punch("left", 0, -5, 10, 5), rect_punch("right", 13, -5, 23, 5)});
    report = scenario::play(session(objects, selection({"left", "right"})));
    expect_inserts(report, {{-2, -7, 12, 7, box_volume(14, 14)}, {12, -7, 25, 7, box_volume(13, 14)}});
    EXPECT_EQ(report["bodies"].size(), 5u);
}

// A head wider than the shank above or below the plate does not widen the insert, and the insert
// keeps what the plate had inside its box (here a clearance hole around the punch).
TEST(FlatinsertBox, PunchHeadsOutsideThePlateAndHolesInIt) {
    using namespace diekit::kernel;
    const fs::path part = fs::temp_directory_path() / ("flatinsert_heads_" + std::to_string(::getpid()) + ".step");
    auto box = [](double x0, double y0, double z0, double x1, double y1, double z1) {
        return make_box(Frame{}, {x0, y0, z0}, x1 - x0, y1 - y0, z1 - z0);
    };
    const Shape head_up = fuse(box(3.0, -2.0, -10, 13.7, 4.2, 40), box(0, -5, 40, 17, 8, 50));
    const Shape head_down = fuse(box(-30.5, -5, -10, -20.5, 5, 40), box(-35, -9, -20, -16, 9, -10));
    const Shape holed = cut(box(kPlateX0, kPlateY0, kPlateZ0, kPlateX0 + 200, kPlateY0 + 120, kPlateZ0 + kPlateH),
                            box(2.95, -2.05, -1, 13.75, 4.25, 30));
    write_step(part.string(), {{head_up, "head_up", {}}, {head_down, "head_down", {}}, {holed, "plate", {}}});
    const double plate_before = volume(holed);

    const Json report = scenario::play(session(Json::array(), selection({"head_up", "head_down"}), {"apply"}, part.string()));
    fs::remove(part);
    expect_inserts(report, {{1.35, -3.9, 15.35, 6.1, box_volume(14, 10) - 10.8 * 6.3 * kPlateH},
                            {-32.5, -7, -18.5, 7, box_volume(14, 14)}},
                   plate_before);
    EXPECT_EQ(report["bodies"].size(), 5u);
}

// ---- chamfered corners ----

// Toggle k chamfers the vertical edge through its corner: toggle0 (x max, y max), toggle01
// (x max, y min), toggle02 (x min, y max), toggle03 (x min, y min); exactly those, by d at 45°.
TEST(FlatinsertCorners, EachToggleChamfersItsOwnCornerOnly) {
    const double d = 1.5;
    const double x0 = 1.35, y0 = -3.9, x1 = 15.35, y1 = 6.1, zm = kPlateZ0 + kPlateH / 2;
    const char *toggles[4] = {"toggle0", "toggle01", "toggle02", "toggle03"};
    // Each corner and the direction into the insert from it.
    const double corner[4][4] = {{x1, y1, -1, -1}, {x1, y0, -1, 1}, {x0, y1, 1, -1}, {x0, y0, 1, 1}};
    for (int mask = 0; mask < 16; ++mask) {
        SCOPED_TRACE("toggles on: mask " + std::to_string(mask));
        Json values = selection({"p"}, 2, d);
        int on = 0;
        for (int k = 0; k < 4; ++k) {
            values[toggles[k]] = (mask >> k & 1) == 1;
            on += mask >> k & 1;
        }
        const Json report = scenario::play(session(Json::array({plate(), rect_punch("p", 3.0, -2.0, 13.7, 4.2)}), values));
        expect_inserts(report, {{x0, y0, x1, y1, box_volume(14, 10) - on * corner_cut(d)}});
        const std::vector<Json> inserts = scenario::bodies_of_color(report, 181);
        ASSERT_EQ(inserts.size(), 1u);
        const auto &solid = diekit::model::Store::instance().body(inserts[0]["tag"].get<tag_t>()).shape;
        for (int k = 0; k < 4; ++k) {
            const double *c = corner[k];
            // 0.3 in along both axes lies in the cut triangle of a chamfer of 1.5; 1.0 in does not.
            const diekit::kernel::Vec3 in_cut{c[0] + 0.3 * c[2], c[1] + 0.3 * c[3], zm};
            const diekit::kernel::Vec3 beyond_cut{c[0] + 1.0 * c[2], c[1] + 1.0 * c[3], zm};
            const bool chamfered = (mask >> k & 1) == 1;
            EXPECT_EQ(diekit::kernel::classify(solid, in_cut) == diekit::kernel::Where::Outside, chamfered)
                << toggles[k];
            EXPECT_EQ(diekit::kernel::classify(solid, beyond_cut), diekit::kernel::Where::Inside) << toggles[k];
        }
    }
}

// tiltledge leaves the WCS turned at its edge on purpose: the inserts stay along the absolute axes,
// with their chamfers, and the WCS is left as it was.
TEST(FlatinsertCorners, ATurnedWcsTurnsNeitherTheInsertNorLosesItsChamfers) {
    const double t = 30 * std::acos(-1.0) / 180;
    const Json ledge_punch = Json::parse(R"({"name": "ledge_punch", "prism": {"outline":
        [[145.5, -12.1], [155.5, 5.2], [160.5, 2.4], [150.5, -14.9]], "z": [-10, 50]}})");
    const Json ledge = {{"plugin", "tiltledge"},
                        {"values", {{"edge_select0", {{{"edge", "ledge_punch"}, {"near", {155.5 + 2.5 * std::cos(t), 5.2 - 1.4, 50}}}}},
                                    {"bodySelect0", {"ledge_punch"}}}},
                        {"press", {"apply", "cancel"}}};
    const Json objects = Json::array({plate(), rect_punch("p", 3.0, -2.0, 13.7, 4.2), ledge_punch});
    Json only_ledge = session(objects, selection({"p"}));
    only_ledge["steps"] = Json::array({ledge});
    const Json turned = scenario::play(only_ledge)["wcs"];
    ASSERT_GT(std::abs(turned["x"][1].get<double>()), 0.1) << "tiltledge turned the WCS: " << turned.dump();

    Json values = selection({"p"}, 2, 1);
    for (const char *toggle : {"toggle0", "toggle01", "toggle02", "toggle03"}) values[toggle] = true;
    Json both = session(objects, values);
    both["steps"].insert(both["steps"].begin(), ledge);
    const Json report = scenario::play(both);
    const std::vector<Json> inserts = scenario::bodies_of_color(report, 181);
    ASSERT_EQ(inserts.size(), 1u);
    const double want[6] = {1.35, -3.9, kPlateZ0, 15.35, 6.1, kPlateZ0 + kPlateH};
    for (int k = 0; k < 6; ++k) EXPECT_NEAR(inserts[0]["bbox"][k].get<double>(), want[k], 1e-9) << "bbox " << k;
    EXPECT_LT(rel(inserts[0]["volume"].get<double>(), box_volume(14, 10) - 4 * corner_cut(1)), 1e-9);
    EXPECT_EQ(report["wcs"], turned);
}

// ---- buttons and selections ----

// Cancel builds nothing and strips nothing; each Apply and the OK after it run the builder again.
// The second run finds the plate already pocketed: the intersection leaves nothing, so the insert
// box stays behind as a plain body of its own, and the plate and the first insert are unchanged.
TEST(FlatinsertButtons, CancelBuildsNothingAndEveryApplyOrOkRunsTheBuilder) {
    const Json objects = Json::array({plate(), rect_punch("rect", 3.0, -2.0, 13.7, 4.2), rect_punch("wide", -20.7, 20, -6.7, 26)});
    Json values = selection({"rect", "wide"});
    values["toggle01"] = true;
    const std::vector<Insert> inserts = {{1.35, -3.9, 15.35, 6.1, box_volume(14, 10) - corner_cut(1)},
                                         {-22.7, 18, -4.7, 28, box_volume(18, 10) - corner_cut(1)}};

    const Json cancelled = scenario::play(session(objects, values, {"cancel"}));
    EXPECT_EQ(cancelled["bodies"].size(), 3u);
    for (const Json &b : cancelled["bodies"]) EXPECT_TRUE(b["parametric"].get<bool>()) << b.dump();
    EXPECT_NEAR(scenario::body(cancelled, "plate")["volume"].get<double>(), kPlateVolume, 1e-9);
    EXPECT_TRUE(cancelled["messages"].empty());

    const std::vector<std::vector<std::string>> presses = {{"ok"}, {"apply", "cancel"}, {"apply", "apply"}, {"apply", "ok"},
                                                           {"apply", "apply", "ok"}};
    for (const auto &press : presses) {
        const Json report = scenario::play(session(objects, values, press));
        SCOPED_TRACE(report["steps"][0]["pressed"].dump());
        const std::size_t runs = press.size() - (press.back() == "cancel" ? 1 : 0);
        EXPECT_EQ(report["steps"][0]["results"], Json(std::vector<int>(press.size(), 0)));
        expect_inserts(report, inserts);
        // Left over by every run after the first: one sharp-or-chamfered insert box per punch.
        std::size_t leftovers = 0;
        for (const Json &b : report["bodies"]) {
            if (b["color"] == 181 || b["name"] != "") continue;
            ++leftovers;
            const Insert &match = b["bbox"][0].get<double>() > 0 ? inserts[0] : inserts[1];
            EXPECT_NEAR(b["bbox"][0].get<double>(), match.x0, 1e-9);
            EXPECT_NEAR(b["bbox"][4].get<double>(), match.y1, 1e-9);
            EXPECT_LT(rel(b["volume"].get<double>(), match.volume), 1e-9);
        }
        EXPECT_EQ(leftovers, 2 * (runs - 1));
        EXPECT_EQ(report["bodies"].size(), 3 + 2 + 2 * (runs - 1));
        EXPECT_TRUE(report["messages"].empty()) << report["messages"].dump();
    }
}

// Punches without a plate: nothing built and one note; no punch: nothing built and nothing said.
// The parameter removal after the builder runs in both cases.
TEST(FlatinsertButtons, IncompleteSelectionsBuildNothing) {
    const Json objects = Json::array({plate(), rect_punch("p", 3.0, -2.0, 13.7, 4.2)});
    const Json no_plate{{"bodySelect0", {"p"}}, {"expression0", 2}};
    const Json no_punch{{"bodySelect01", {"plate"}}, {"expression0", 2}, {"toggle0", true}};
    for (const Json &values : {no_plate, no_punch}) {
        SCOPED_TRACE(values.dump());
        const Json report = scenario::play(session(objects, values, {"apply", "ok"}));
        EXPECT_EQ(report["steps"][0]["results"], Json::array({0, 0}));
        ASSERT_EQ(report["bodies"].size(), 2u);
        EXPECT_NEAR(scenario::body(report, "plate")["volume"].get<double>(), kPlateVolume, 1e-9);
        EXPECT_NEAR(scenario::body(report, "p")["volume"].get<double>(), 10.7 * 6.2 * 60, 1e-9);
        for (const Json &b : report["bodies"]) EXPECT_FALSE(b["parametric"].get<bool>());
        const std::size_t notes = values.contains("bodySelect01") ? 0 : 2;  // one per Apply or OK
        ASSERT_EQ(report["messages"].size(), notes) << report["messages"].dump();
        for (const Json &m : report["messages"]) {
            EXPECT_EQ(m["kind"], "box");  // an error box: the step built nothing
            EXPECT_EQ(m["type"], 0);
            EXPECT_NE(m["text"].get<std::string>().find("die plate"), std::string::npos) << m["text"];
        }
    }
}
