// tiltplate through the host as a designer runs it: retainer plates in a frame turned to a selected
// punch face, under a fixed plate (z 0..20) above a backing plate (z -26..-6). The punch stands on the
// backing plate (z -6..50); plates are 6 thick, e = 2, M4 screws.
#include "retainer_plate_scenario.hpp"

#include <uf.h>
#include <uf_modl.h>

#include <algorithm>
#include <cmath>

using namespace plates;
using scenario::Json;

namespace {

Json face_near(double x, double y) { return Json::array({{{"face", "punch"}, {"near", {x, y, 20}}}}); }

Json rect_values(Json face, double L, double W) {
    return {{"face_select0", std::move(face)}, {"bodySelect0", {"punch"}}, {"enum0", 0}, {"expression03", L},
            {"expression04", W},               {"expression05", 6},        {"expression06", 2}, {"enum01", 1}};
}

Json round_values(Json face, double D) {
    return {{"face_select0", std::move(face)}, {"bodySelect0", {"punch"}}, {"enum0", 1}, {"expression01", D},
            {"expression02", 6},               {"expression06", 2},        {"enum01", 1}};
}

Json play_tiltplate(Json values, Json punch_object = box_punch(), Json objects = plate_stack()) {
    if (!punch_object.is_null()) objects.push_back(std::move(punch_object));
    return scenario::play(session("tiltplate", std::move(objects), std::move(values)));
}

void expect_absolute_wcs(const Json &report) {
    EXPECT_EQ(report["wcs"]["origin"], Json({0.0, 0.0, 0.0}));
    EXPECT_EQ(report["wcs"]["x"], Json({1.0, 0.0, 0.0}));
    EXPECT_EQ(report["wcs"]["y"], Json({0.0, 1.0, 0.0}));
}

const Json &only_plate(const Json &report) {
    static const Json none = Json::object();
    auto found = scenario::bodies_of_color(report, 190);
    if (found.size() != 1) {
        ADD_FAILURE() << found.size() << " plates of colour 190";
        return none;
    }
    return *find_tag(report, found[0]["tag"].get<long long>());
}

int dian_ban_containment(const Json &report, double x, double y, double z) {
    double point[3] = {x, y, z};
    int status = 0;
    UF_initialize();
    UF_MODL_ask_point_containment(point, scenario::body(report, "dian_ban")["tag"].get<tag_t>(), &status);
    UF_terminate();
    return status;
}

constexpr double kBoxPunchVolume = 12.0 * 8.0 * 56.0;

}  // namespace

TEST(TiltplateRect, NormalPlusYIsSideAWithPlateFromMinus2To18AndScrewAt13_5) {
    // Face y = 4, O = (0, 4, 0), angle 0: local and absolute axes agree.
    Json report = play_tiltplate(rect_values(face_near(0, 4), 20, 20));
    expect_clean(report);
    expect_absolute_wcs(report);
    const Json &plate = only_plate(report);
    expect_bbox(plate, {-10, 4 - 2, -6, 10, 4 + 18, 0});
    EXPECT_NEAR(plate["volume"].get<double>(), rect_plate_volume(20, 20, 6, 4.5), 1e-6);
    EXPECT_NEAR(centre(plates::screw(report), 0), 0, 1e-6);
    EXPECT_NEAR(centre(plates::screw(report), 1), 4 + 13.5, 1e-6);
    EXPECT_NEAR(plates::screw(report)["bbox"][2].get<double>(), -10, 1e-6);
    // The notch takes the e-deep strip of the whole face over the plate's height.
    EXPECT_NEAR(scenario::body(report, "punch")["volume"].get<double>(), kBoxPunchVolume - 12 * 2 * 6, 1e-6);
    // Relief pocket 8 deep below the backing plate's top, on the screw axis.
    EXPECT_NEAR(scenario::body(report, "dian_ban")["volume"].get<double>(), kPlateVolume - pi * 4.5 * 4.5 * 8, 1e-6);
    EXPECT_EQ(dian_ban_containment(report, 0, 17.5 + 4.4, -13.9), 2);
    EXPECT_EQ(dian_ban_containment(report, 0, 17.5 + 4.6, -13.9), 1);
    EXPECT_NEAR(scenario::body(report, "gu_ding_ban")["volume"].get<double>(), kPlateVolume - pi * 4 * 6, 1e-6);
    EXPECT_EQ(report["bodies"].size(), 5u);
}

TEST(TiltplateRect, NormalMinusYIsSideBWithPlateFromMinus18To2AndScrewAtMinus12_5) {
    // Face y = -4: the turned Y axis stays (0, 1, 0), which points into the punch, so the plate takes
    // the local -Y side.
    Json report = play_tiltplate(rect_values(face_near(0, -4), 20, 20));
    expect_clean(report);
    expect_absolute_wcs(report);
    expect_bbox(only_plate(report), {-10, -4 - 18, -6, 10, -4 + 2, 0});
    EXPECT_NEAR(centre(plates::screw(report), 1), -4 - 12.5, 1e-6);
    EXPECT_NEAR(scenario::body(report, "punch")["volume"].get<double>(), kBoxPunchVolume - 12 * 2 * 6, 1e-6);
    EXPECT_EQ(dian_ban_containment(report, 0, -16.5, -13.9), 2);
}

TEST(TiltplateSides, NormalMinusXPutsBothPlateFormsOutsideThePunch) {
    // ny = 0 gives a = +-90 degrees; whichever way the frame turns, the plate lies on the face's
    // outer side and reaches e = 2 into the punch.
    Json rect = play_tiltplate(rect_values(face_near(-6, 0), 20, 20));
    expect_clean(rect);
    expect_absolute_wcs(rect);
    expect_bbox(only_plate(rect), {-6 - 18, -10, -6, -6 + 2, 10, 0});
    // Side B's screw row (12.5 out from the face), the side the rectangular builder takes here.
    EXPECT_NEAR(centre(plates::screw(rect), 0), -6 - 12.5, 1e-6);
    EXPECT_NEAR(centre(plates::screw(rect), 1), 0, 1e-6);
    EXPECT_NEAR(scenario::body(rect, "punch")["volume"].get<double>(), kBoxPunchVolume - 8 * 2 * 6, 1e-6);

    Json disc = play_tiltplate(round_values(face_near(-6, 0), 16));
    expect_clean(disc);
    expect_absolute_wcs(disc);
    expect_bbox(only_plate(disc), {-6 - 14, -8, -6, -6 + 2, 8, 0});
    EXPECT_NEAR(only_plate(disc)["volume"].get<double>(), disc_volume(16, 6, 4.5), 1e-6);
    EXPECT_NEAR(centre(plates::screw(disc), 0), -12, 1e-6);
    EXPECT_NEAR(scenario::body(disc, "punch")["volume"].get<double>(), kBoxPunchVolume - 8 * 2 * 6, 1e-6);
}

TEST(TiltplateTurned, PlatesFollowFacesTurned30DegreesInEveryQuadrant) {
    // A 16 x 10 punch turned 30 degrees; each long face is 16 long.
    const double c = std::cos(pi / 6), s = std::sin(pi / 6);
    auto turned = [&](double x, double y) { return std::pair{x * c - y * s, x * s + y * c}; };
    Json punch_object = punch("punch", {turned(-8, -5), turned(8, -5), turned(8, 5), turned(-8, 5)});
    const double turned_volume = 16.0 * 10.0 * 56.0;

    struct Face {
        double nx, ny;  // outward normal
    };
    // Normals in the second and fourth quadrants (nx and ny of opposite signs) and the first and third.
    const Face faces[] = {{-s, c}, {s, -c}, {c, s}, {-c, -s}};
    for (const Face &f : faces) {
        // Face midpoint: 5 out along the long faces' normal, 8 along the short faces'.
        const bool long_face = std::abs(f.nx) < 0.6;
        const double half_thickness = long_face ? 5 : 8;
        const double face_length = long_face ? 16 : 10;
        const double ox = half_thickness * f.nx, oy = half_thickness * f.ny;
        const double tx = f.ny, ty = -f.nx;  // along the face
        SCOPED_TRACE("normal " + std::to_string(f.nx) + ", " + std::to_string(f.ny));

        // Rectangular plate 20 x 16: its centre 6 out from the face.
        Json rect = play_tiltplate(rect_values(face_near(ox, oy), 20, 16), punch_object);
        expect_clean(rect);
        expect_absolute_wcs(rect);
        const Json &plate = only_plate(rect);
        const double cx = ox + 6 * f.nx, cy = oy + 6 * f.ny;
        const double hx = 8 * std::abs(tx) + 6 * std::abs(f.nx) + 2, hy = 8 * std::abs(ty) + 6 * std::abs(f.ny) + 2;
        expect_bbox(plate, {cx - hx, cy - hy, -6, cx + hx, cy + hy, 0}, 1e-5);
        EXPECT_NEAR(plate["volume"].get<double>(), rect_plate_volume(20, 16, 6, 4.5), 1e-6);
        const Json &screw = plates::screw(rect);
        const double out = (centre(screw, 0) - ox) * f.nx + (centre(screw, 1) - oy) * f.ny;
        const double along = (centre(screw, 0) - ox) * tx + (centre(screw, 1) - oy) * ty;
        // The turned Y axis is the normal when ny > 0 (side A, screw at W - 6.5 = 9.5), its opposite
        // otherwise (side B, screw at W - e - 5.5 = 8.5 out from the face).
        EXPECT_NEAR(out, f.ny > 0 ? 9.5 : 8.5, 1e-5);
        EXPECT_NEAR(along, 0, 1e-5);
        EXPECT_NEAR(scenario::body(rect, "punch")["volume"].get<double>(), turned_volume - face_length * 2 * 6, 1e-4);

        // Round plate of diameter 16: centre 6 out from the face.
        Json disc = play_tiltplate(round_values(face_near(ox, oy), 16), punch_object);
        expect_clean(disc);
        expect_absolute_wcs(disc);
        expect_bbox(only_plate(disc), {cx - 8, cy - 8, -6, cx + 8, cy + 8, 0}, 1e-5);
        EXPECT_NEAR(centre(plates::screw(disc), 0), cx, 1e-5);
        EXPECT_NEAR(centre(plates::screw(disc), 1), cy, 1e-5);
        EXPECT_NEAR(scenario::body(disc, "punch")["volume"].get<double>(), turned_volume - face_length * 2 * 6, 1e-4);
    }
}

// A curve named like a plate is not the plate: the named-body lookups take bodies only.
Json curve_named(const char *name) {
    return {{"name", name}, {"curve", {{"polyline", {{-50, -30, 10}, {50, -30, 10}, {50, 30, 10}}}}}};
}

TEST(TiltplateInputs, HorizontalOrCurvedFaceOrMissingInputsBuildNothingSaySoAndLeaveTheWcs) {
    struct Case {
        Json values;
        Json objects;
        const char *said;
        Json punch = box_punch();
        double punch_volume = kBoxPunchVolume;
        const char *kind = "box";  // an error box: the step built nothing
    };
    Json no_face = rect_values(Json::array(), 20, 20);
    no_face.erase("face_select0");
    Json no_punch = rect_values(face_near(0, 4), 20, 20);
    no_punch.erase("bodySelect0");
    Json top = rect_values(Json::array({{{"face", "punch"}, {"near", {0, 0, 50}}}}), 20, 20);
    const Json round_punch = Json::parse(R"({"name": "punch", "cylinder": {"base": [0, 0, -6], "height": 56, "diameter": 12}})");
    const Case cases[] = {
        {top, plate_stack(), "side face"},
        {rect_values(face_near(6, 0), 20, 20), plate_stack(), "flat", round_punch, pi * 36 * 56, "note"},
        {no_face, plate_stack(), "face"},
        {no_punch, plate_stack(), "punch body"},
        {rect_values(face_near(0, 4), 20, 20), Json::array({plate_stack()[1]}), "gu_ding_ban"},
        {rect_values(face_near(0, 4), 20, 20), Json::array({curve_named("gu_ding_ban"), plate_stack()[1]}), "gu_ding_ban"},
        {rect_values(face_near(0, 4), 20, 20), Json::array({plate_stack()[0]}), "dian_ban"},
    };
    for (const Case &c : cases) {
        for (int shape : {0, 1}) {
            SCOPED_TRACE(std::string(c.said) + (shape == 0 ? " rectangular" : " round"));
            Json values = c.values;
            values["enum0"] = shape;
            values["expression01"] = 16;
            Json report = play_tiltplate(values, c.punch, c.objects);
            const auto curves = std::count_if(c.objects.begin(), c.objects.end(), [](const Json &o) { return o.contains("curve"); });
            EXPECT_EQ(report["bodies"].size(), c.objects.size() - static_cast<std::size_t>(curves) + 1);
            EXPECT_TRUE(report["groups"].empty());
            EXPECT_NEAR(scenario::body(report, "punch")["volume"].get<double>(), c.punch_volume, 1e-6);
            expect_absolute_wcs(report);
            ASSERT_EQ(report["messages"].size(), 1u) << report["messages"].dump();
            EXPECT_EQ(report["messages"][0]["kind"], c.kind);
            if (report["messages"][0]["kind"] == "box") {
                EXPECT_EQ(report["messages"][0]["type"], 0);
            }
            EXPECT_NE(report["messages"][0]["text"].get<std::string>().find(c.said), std::string::npos)
                << report["messages"][0]["text"];
        }
    }
    // Made before the plates, a curve of the plate's name does not hide the plate.
    Json objects = plate_stack();
    objects.insert(objects.begin(), curve_named("gu_ding_ban"));
    Json report = play_tiltplate(rect_values(face_near(0, 4), 20, 20), box_punch(), objects);
    expect_bbox(only_plate(report), {-10, 4 - 2, -6, 10, 4 + 18, 0});
    EXPECT_LT(scenario::body(report, "gu_ding_ban")["volume"].get<double>(), kPlateVolume - 1) << "the screw's hole";
    EXPECT_TRUE(report["messages"].empty()) << report["messages"].dump();
}

TEST(TiltplateExample, BothExamplesBuildOnePlateOnTheTurnedFaceAndResetTheWcs) {
    for (const char *file : {"examples/tiltplate.json", "examples/tiltplate_round.json"}) {
        SCOPED_TRACE(file);
        Json report = scenario::play_file(file);
        expect_clean(report);
        expect_absolute_wcs(report);
        EXPECT_EQ(report["wcs"]["shown"], true);
        EXPECT_EQ(scenario::bodies_of_color(report, 190).size(), 1u);
        EXPECT_EQ(report["groups"].size(), 1u);
        // The long face loses its 16 x 2 x 6 strip (the outline is given to six decimals).
        EXPECT_NEAR(scenario::body(report, "punch")["volume"].get<double>(), 16.0 * 10 * 56 - 16 * 2 * 6, 1e-3);
        EXPECT_TRUE(report["messages"].empty()) << report["messages"].dump();
    }
}
