// keepplate through the host as a designer runs it: rectangular and round retainer plates beside a
// 12 x 8 punch (x -6..6, y -4..4, z -6..50) under a fixed plate (z 0..20) above a backing plate
// (z -26..-6).
#include "retainer_plate_scenario.hpp"

#include <uf.h>
#include <uf_modl.h>

using namespace plates;
using scenario::Json;

namespace {

Json rect_values(Json side, double L, double W, double e, int size) {
    return {{"vector0", std::move(side)}, {"bodySelect0", {"punch"}}, {"enum0", 0}, {"expression03", L},
            {"expression04", W},          {"expression05", 6},        {"expression06", e}, {"enum01", size}};
}

Json round_values(Json side, double D, double e, int size) {
    return {{"vector0", std::move(side)}, {"bodySelect0", {"punch"}}, {"enum0", 1}, {"expression01", D},
            {"expression02", 6},          {"expression06", e},        {"enum01", size}};
}

Json play_keepplate(Json values, Json objects = Json()) {
    if (objects.is_null()) {
        objects = plate_stack();
        objects.push_back(box_punch());
    }
    return scenario::play(session("keepplate", std::move(objects), std::move(values)));
}

// 1 when the point lies in or on the named body (asked through the host after the session).
int containment(const Json &report, const std::string &name, double x, double y, double z) {
    double point[3] = {x, y, z};
    int status = 0;
    UF_initialize();
    UF_MODL_ask_point_containment(point, scenario::body(report, name)["tag"].get<tag_t>(), &status);
    UF_terminate();
    return status;
}

constexpr double kPunchVolume = 12.0 * 8.0 * 56.0;

}  // namespace

TEST(KeepplateRect, PlusXPlateHangsUnderTheFixedPlateWithItsHoleScrewPocketAndNotch) {
    Json report = play_keepplate(rect_values({1, 0, 0}, 20, 16, 2, 1));
    expect_clean(report);
    ASSERT_EQ(report["steps"][0]["results"][0], 0);  // Apply

    auto plates_190 = scenario::bodies_of_color(report, 190);
    ASSERT_EQ(plates_190.size(), 1u);
    const Json &plate = plates_190[0];
    // From P.xmax - e, centred on the punch in y, its top in the fixed plate's bottom plane.
    expect_bbox(plate, {4, -8, -6, 24, 8, 0});
    EXPECT_EQ(plate["name"], "");
    // Four vertical R2 corners and nothing else rounded, an M4 clearance hole of 4.5.
    EXPECT_NEAR(plate["volume"].get<double>(), rect_plate_volume(20, 16, 6, 4.5), 1e-6);

    // The punch loses the e-deep, T-high strip of its +X face.
    const Json &punch = scenario::body(report, "punch");
    EXPECT_NEAR(punch["volume"].get<double>(), kPunchVolume - 2 * 8 * 6, 1e-6);
    expect_bbox(punch, {-6, -4, -6, 6, 4, 50});
    EXPECT_EQ(containment(report, "punch", 5, 0, -3), 2);
    EXPECT_EQ(containment(report, "punch", 5, 0, 3), 1);

    // The M4X12 screw sits e beyond the plate centre, head under the plate, shank up into the
    // fixed plate, which loses exactly the shank part above z = 0.
    const Json &screw = plates::screw(report);
    EXPECT_EQ(report["groups"][0]["file"], "chong zi ya ban/M4X12.prt");
    expect_bbox(screw, {16 - 3.5, -3.5, -10, 16 + 3.5, 3.5, 6});
    EXPECT_NEAR(screw["volume"].get<double>(), screw_volume(4, 12, 7, 4, 3, 2), 1e-6);
    EXPECT_NEAR(scenario::body(report, "gu_ding_ban")["volume"].get<double>(), kPlateVolume - pi * 4 * 6, 1e-6);

    // The relief pocket: diameter 9, 8 deep below the backing plate's top face, on the screw axis.
    EXPECT_NEAR(scenario::body(report, "dian_ban")["volume"].get<double>(), kPlateVolume - pi * 4.5 * 4.5 * 8, 1e-6);
    EXPECT_EQ(containment(report, "dian_ban", 16 + 4.4, 0, -13.9), 2);
    EXPECT_EQ(containment(report, "dian_ban", 16 + 4.6, 0, -13.9), 1);
    EXPECT_EQ(containment(report, "dian_ban", 16, 0, -14.1), 1);

    // The fixed plate, backing plate, punch, plate and screw; no helper body stays.
    EXPECT_EQ(report["bodies"].size(), 5u);
}

TEST(KeepplateRect, EachAxisSideUsesItsOwnRowWithLAlongXAndWAlongY) {
    struct Row {
        std::vector<double> side;
        std::vector<double> plate_box;
        double screw_x, screw_y;
        double punch_loss;
    };
    // L = 20, W = 12, e = 2; punch x -6..6, y -4..4.
    const Row rows[] = {
        {{1, 0, 0}, {4, -6, -6, 24, 6, 0}, 16, 0, 2 * 8 * 6},
        {{-1, 0, 0}, {-24, -6, -6, -4, 6, 0}, -16, 0, 2 * 8 * 6},
        {{0, 1, 0}, {-10, 2, -6, 10, 14, 0}, 0, 10, 2 * 12 * 6},
        {{0, -1, 0}, {-10, -14, -6, 10, -2, 0}, 0, -10, 2 * 12 * 6},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(Json(row.side).dump());
        Json report = play_keepplate(rect_values(Json(row.side), 20, 12, 2, 1));
        expect_clean(report);
        auto plates_190 = scenario::bodies_of_color(report, 190);
        ASSERT_EQ(plates_190.size(), 1u);
        expect_bbox(plates_190[0], row.plate_box);
        EXPECT_NEAR(plates_190[0]["volume"].get<double>(), rect_plate_volume(20, 12, 6, 4.5), 1e-6);
        EXPECT_NEAR(centre(plates::screw(report), 0), row.screw_x, 1e-6);
        EXPECT_NEAR(centre(plates::screw(report), 1), row.screw_y, 1e-6);
        EXPECT_NEAR(scenario::body(report, "punch")["volume"].get<double>(), kPunchVolume - row.punch_loss, 1e-6);
    }
}

TEST(KeepplateRect, NonAxisDirectionsBuildNothing) {
    for (Json side : {Json{0.6, 0.8, 0}, Json{0.9999999, 0, 0}, Json{0, 0, 1}}) {
        SCOPED_TRACE(side.dump());
        Json report = play_keepplate(rect_values(side, 20, 16, 2, 1));
        expect_clean(report);
        EXPECT_EQ(report["bodies"].size(), 3u);
        EXPECT_TRUE(report["groups"].empty());
        EXPECT_NEAR(scenario::body(report, "punch")["volume"].get<double>(), kPunchVolume, 1e-6);
        EXPECT_NEAR(scenario::body(report, "dian_ban")["volume"].get<double>(), kPlateVolume, 1e-6);
        EXPECT_TRUE(scenario::bodies_of_color(report, 190).empty());
    }
}

TEST(KeepplateScrewTable, SizeChoosesHolePocketAndScrewPart) {
    struct Row {
        int size;
        double hole, pocket;
        const char *file;
        double d, L, dk, k, s, t;
    };
    const Row rows[] = {
        {0, 3.5, 7, "chong zi ya ban/M3X10.prt", 3, 10, 5.5, 3, 2.5, 1.3},
        {2, 5.5, 11, "chong zi ya ban/M5X16.prt", 5, 16, 8.5, 5, 4, 2.5},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.file);
        for (int shape : {0, 1}) {
            Json report = play_keepplate(shape == 0 ? rect_values({0, 1, 0}, 20, 16, 2, row.size)
                                                    : round_values({0, 1, 0}, 16, 2, row.size));
            expect_clean(report);
            ASSERT_EQ(report["groups"].size(), 1u);
            EXPECT_EQ(report["groups"][0]["file"], row.file);
            const Json &screw = plates::screw(report);
            EXPECT_NEAR(screw["volume"].get<double>(), screw_volume(row.d, row.L, row.dk, row.k, row.s, row.t), 1e-6);
            // Head below the plate's bottom (z -6), shank L up from it.
            EXPECT_NEAR(screw["bbox"][2].get<double>(), -6 - row.k, 1e-6);
            EXPECT_NEAR(screw["bbox"][5].get<double>(), -6 + row.L, 1e-6);
            auto plate = scenario::bodies_of_color(report, 190);
            ASSERT_EQ(plate.size(), 1u);
            const double expected = shape == 0 ? rect_plate_volume(20, 16, 6, row.hole) : disc_volume(16, 6, row.hole);
            EXPECT_NEAR(plate[0]["volume"].get<double>(), expected, 1e-6);
            EXPECT_NEAR(scenario::body(report, "dian_ban")["volume"].get<double>(),
                        kPlateVolume - pi * row.pocket * row.pocket / 4 * 8, 1e-6);
            // The fixed plate loses the shank above its bottom face: L - T of it.
            EXPECT_NEAR(scenario::body(report, "gu_ding_ban")["volume"].get<double>(),
                        kPlateVolume - pi * row.d * row.d / 4 * (row.L - 6), 1e-6);
        }
    }
}

TEST(KeepplateRound, MinusXDiscIsChamferedOnItsOwnEdgesAndCoaxialWithScrewAndPocket) {
    // D = 20, e = 3: centre at P.xmin - 7, disc x -23..-3; the punch loses x -6..-3 under the plate.
    Json report = play_keepplate(round_values({-1, 0, 0}, 20, 3, 1));
    expect_clean(report);
    auto discs = scenario::bodies_of_color(report, 190);
    ASSERT_EQ(discs.size(), 1u);
    expect_bbox(discs[0], {-23, -10, -6, -3, 10, 0});
    // Both circular edges chamfered 0.3, the 4.5 hole's edges sharp.
    EXPECT_NEAR(discs[0]["volume"].get<double>(), disc_volume(20, 6, 4.5), 1e-6);
    EXPECT_NEAR(scenario::body(report, "punch")["volume"].get<double>(), kPunchVolume - 3 * 8 * 6, 1e-6);
    EXPECT_EQ(containment(report, "punch", -4.5, 0, -3), 2);

    const Json &screw = plates::screw(report);
    EXPECT_NEAR(centre(screw, 0), -13, 1e-6);
    EXPECT_NEAR(centre(screw, 1), 0, 1e-6);
    EXPECT_NEAR(screw["bbox"][2].get<double>(), -10, 1e-6);
    // The hole and the pocket share the axis: just inside their radii is empty, just outside is material.
    EXPECT_EQ(containment(report, "dian_ban", -13 - 4.4, 0, -10), 2);
    EXPECT_EQ(containment(report, "dian_ban", -13 - 4.6, 0, -10), 1);
    EXPECT_EQ(containment(report, "dian_ban", -13, 0, -14.1), 1);
    double hole_edge[3] = {-13 + 2.2, 0, -3};
    double plate_edge[3] = {-13 + 2.3, 0, -3};
    int in_hole = 0, in_plate = 0;
    UF_initialize();
    UF_MODL_ask_point_containment(hole_edge, discs[0]["tag"].get<tag_t>(), &in_hole);
    UF_MODL_ask_point_containment(plate_edge, discs[0]["tag"].get<tag_t>(), &in_plate);
    UF_terminate();
    EXPECT_EQ(in_hole, 2);
    EXPECT_EQ(in_plate, 1);
    EXPECT_EQ(report["bodies"].size(), 5u);
}

TEST(KeepplateInputs, MissingPunchOrNamedPlatesBuildNothingAndSaySo) {
    Json no_fixed = Json::array({plate_stack()[1], box_punch()});
    Json no_backing = Json::array({plate_stack()[0], box_punch()});
    Json neither = Json::array({box_punch()});
    Json values = rect_values({1, 0, 0}, 20, 16, 2, 1);
    Json no_punch = values;
    no_punch.erase("bodySelect0");

    struct Case {
        Json objects, values;
        std::vector<std::string> named;
    };
    Json stack = plate_stack();
    stack.push_back(box_punch());
    const Case cases[] = {
        {stack, no_punch, {"punch"}},
        {no_fixed, values, {"gu_ding_ban"}},
        {no_backing, values, {"dian_ban"}},
        {neither, values, {"gu_ding_ban", "dian_ban"}},
    };
    for (const Case &c : cases) {
        for (int shape : {0, 1}) {
            Json v = c.values;
            v["enum0"] = shape;
            SCOPED_TRACE(c.named.back() + (shape == 0 ? " rectangular" : " round"));
            Json report = play_keepplate(v, c.objects);
            EXPECT_EQ(report["bodies"].size(), c.objects.size());
            EXPECT_TRUE(report["groups"].empty());
            ASSERT_EQ(report["messages"].size(), 1u) << report["messages"].dump();
            const Json &message = report["messages"][0];
            EXPECT_EQ(message["kind"], "box");  // an error box: the step built nothing
            EXPECT_EQ(message["type"], 0);
            for (const std::string &name : c.named)
                EXPECT_NE(message["text"].get<std::string>().find(name), std::string::npos) << message["text"];
            EXPECT_EQ(report["steps"][0]["results"][0], 0);  // Apply
        }
    }
}

TEST(KeepplateInputs, OnlyTheFirstSelectedPunchGetsAPlate) {
    Json objects = plate_stack();
    objects.push_back(box_punch());
    objects.push_back(punch("punch2", {{30, -4}, {42, -4}, {42, 4}, {30, 4}}));
    Json values = rect_values({1, 0, 0}, 20, 16, 2, 1);
    values["bodySelect0"] = {"punch", "punch2"};
    Json report = play_keepplate(values, objects);
    expect_clean(report);
    EXPECT_EQ(scenario::bodies_of_color(report, 190).size(), 1u);
    EXPECT_NEAR(scenario::body(report, "punch")["volume"].get<double>(), kPunchVolume - 2 * 8 * 6, 1e-6);
    EXPECT_NEAR(scenario::body(report, "punch2")["volume"].get<double>(), kPunchVolume, 1e-6);
}

TEST(KeepplateExample, BothExamplesBuildOnePlateWithItsScrewCleanly) {
    struct Example {
        const char *file, *screw;
        double punch_volume;
    };
    // The round example's 10 x 10 punch loses 10 x 2 x 6 under the disc, the other's 8 x 2 x 6.
    for (const Example &x : {Example{"examples/keepplate.json", "chong zi ya ban/M4X12.prt", kPunchVolume - 96},
                             Example{"examples/keepplate_round.json", "chong zi ya ban/M5X16.prt", 10 * 10 * 56 - 120}}) {
        SCOPED_TRACE(x.file);
        Json report = scenario::play_file(x.file);
        expect_clean(report);
        EXPECT_EQ(scenario::bodies_of_color(report, 190).size(), 1u);
        ASSERT_EQ(report["groups"].size(), 1u);
        EXPECT_EQ(report["groups"][0]["file"], x.screw);
        EXPECT_NEAR(scenario::body(report, "punch")["volume"].get<double>(), x.punch_volume, 1e-6);
        EXPECT_TRUE(report["messages"].empty()) << report["messages"].dump();
    }
}
