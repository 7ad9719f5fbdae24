// formpunch played as a designer plays it: a punch extruded from a closed outline in z = 0, exact
// openings in the plates above the parting plane, growing clearance openings in those below, and for
// types B and C a turned rectangular head with its pockets.
#include "scenario.hpp"

#include "kernel/kernel.hpp"
#include "model/store.hpp"

#include <uf.h>
#include <uf_modl.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

namespace {

using scenario::Json;

constexpr double kPi = std::numbers::pi;
constexpr int kPunchColour = 165;

// A plate 80 x 60 about the origin from z0 to z1.
Json plate(const std::string &name, double z0, double z1) {
    return {{"name", name}, {"block", {{"corner", {-40, -30, z0}}, {"size", {80, 60, z1 - z0}}}}, {"color", 100}};
}
double plate_volume(double z0, double z1) { return 80.0 * 60.0 * (z1 - z0); }

Json block(const std::string &name, std::vector<double> corner, std::vector<double> size) {
    return {{"name", name}, {"block", {{"corner", corner}, {"size", size}}}};
}

// The rectangle x0..x1, y0..y1 in z = 0 as four line curves named "outline".
Json rect_outline(double x0, double y0, double x1, double y1) {
    return {{"name", "outline"},
            {"curve", {{"polyline", {{x0, y0, 0}, {x1, y0, 0}, {x1, y1, 0}, {x0, y1, 0}}}, {"closed", true}}}};
}

Json play(Json objects, Json values) {
    Json step = {{"plugin", "formpunch"}, {"values", std::move(values)}, {"press", {"apply", "cancel"}}};
    return scenario::play({{"objects", std::move(objects)}, {"steps", Json::array({step})}});
}

double volume(const Json &report, const std::string &name) { return scenario::body(report, name)["volume"].get<double>(); }

// The only body of the punch colour.
const Json &punch(const Json &report) {
    static const Json none = Json::object();
    for (auto &b : report["bodies"])
        if (b["color"] == kPunchColour) return b;
    ADD_FAILURE() << "no body of colour " << kPunchColour;
    return none;
}

void expect_bbox(const Json &b, std::vector<double> expected) {
    ASSERT_EQ(b["bbox"].size(), 6u) << b.dump();
    for (int i = 0; i < 6; ++i) EXPECT_NEAR(b["bbox"][i].get<double>(), expected[i], 1e-6) << "bbox[" << i << "]";
}

// Plain single solids and no failed host call: what every completed Apply leaves.
void expect_plain_and_clean(const Json &report) {
    for (auto &b : report["bodies"]) {
        EXPECT_EQ(b["parametric"], false) << b.dump();
        EXPECT_EQ(b["lumps"], 1) << b.dump();
    }
    for (auto &line : diekit::model::Store::instance().log_lines()) ADD_FAILURE() << "host call failed: " << line;
}

void expect_wcs_absolute(const Json &report) {
    EXPECT_EQ(report["wcs"]["origin"], Json({0.0, 0.0, 0.0}));
    EXPECT_EQ(report["wcs"]["x"], Json({1.0, 0.0, 0.0}));
    EXPECT_EQ(report["wcs"]["y"], Json({0.0, 1.0, 0.0}));
}

// What the plug-in said in one line: notes, and the error boxes of builds that did nothing.
std::vector<std::string> notes(const Json &report) {
    std::vector<std::string> texts;
    for (auto &m : report["messages"])
        if (m["kind"] == "note" || (m["kind"] == "box" && m["type"] == 0)) texts.push_back(m["text"].get<std::string>());
    return texts;
}

// 1 when the point lies in or on the body with this tag (asked through the host after the session).
int containment(const Json &body, double x, double y, double z) {
    double point[3] = {x, y, z};
    int status = 0;
    UF_initialize();
    UF_MODL_ask_point_containment(point, body["tag"].get<tag_t>(), &status);
    UF_terminate();
    return status;
}

// ---- type A ----

// Plates with tops 30, 20, -5 and -25; the outline 12 x 8 at x -6..6, y -4..4.
Json four_plates() {
    return Json::array({plate("p30", 20, 30), plate("p20", 5, 20), plate("m5", -15, -5), plate("m25", -40, -25),
                        rect_outline(-6, -4, 6, 4)});
}

Json type_a(Json plates, double jian_xi) {
    return {{"edge_select0", {"outline"}}, {"selection0", std::move(plates)}, {"expression0", jian_xi}, {"enum0", 0}};
}

TEST(FormpunchA, UpperPlatesExactLowerPlatesGrowingClearanceInAnySelectionOrder) {
    const double j = 0.2;
    for (Json order : {Json{"p30", "p20", "m5", "m25"}, Json{"m25", "m5", "p20", "p30"}, Json{"m5", "p30", "m25", "p20"}}) {
        SCOPED_TRACE(order.dump());
        Json report = play(four_plates(), type_a(order, j));
        expect_plain_and_clean(report);
        EXPECT_EQ(report["steps"][0]["results"], Json::array({0, 0}));
        EXPECT_NEAR(volume(report, "p30"), plate_volume(20, 30) - 12 * 8 * 10, 1e-6);
        EXPECT_NEAR(volume(report, "p20"), plate_volume(5, 20) - 12 * 8 * 15, 1e-6);
        // Nearest the parting plane: jian_xi on every side, sharp corners; the next: jian_xi + 0.5.
        EXPECT_NEAR(volume(report, "m5"), plate_volume(-15, -5) - (12 + 2 * j) * (8 + 2 * j) * 10, 1e-6);
        EXPECT_NEAR(volume(report, "m25"), plate_volume(-40, -25) - (13 + 2 * j) * (9 + 2 * j) * 15, 1e-6);

        const Json &p = punch(report);
        expect_bbox(p, {-6, -4, -1, 6, 4, 30});
        EXPECT_NEAR(p["volume"].get<double>(), 12 * 8 * 31, 1e-6);
        EXPECT_EQ(p["name"], "");
        EXPECT_EQ(report["bodies"].size(), 5u);
    }
}

TEST(FormpunchA, ArcOutlineGetsRoundClearanceAndATopOfExactlyZeroIsLower) {
    // A slot: two lines and two half circles of radius 4 (x -8..8, y -4..4).
    Json objects = Json::array({plate("z10", 0, 10), plate("z0", -10, 0),
                                {{"name", "outline"}, {"curve", {{"polyline", {{-4, -4, 0}, {4, -4, 0}}}}}},
                                {{"name", "outline"}, {"curve", {{"arc", {{4, -4, 0}, {8, 0, 0}, {4, 4, 0}}}}}},
                                {{"name", "outline"}, {"curve", {{"polyline", {{4, 4, 0}, {-4, 4, 0}}}}}},
                                {{"name", "outline"}, {"curve", {{"arc", {{-4, 4, 0}, {-8, 0, 0}, {-4, -4, 0}}}}}}});
    const double j = 0.3;
    Json report = play(objects, type_a({"z0", "z10"}, j));
    expect_plain_and_clean(report);
    auto slot_area = [](double r) { return 8 * 2 * r + kPi * r * r; };
    EXPECT_NEAR(volume(report, "z10"), plate_volume(0, 10) - slot_area(4) * 10, 1e-6);
    EXPECT_NEAR(volume(report, "z0"), plate_volume(-10, 0) - slot_area(4 + j) * 10, 1e-6);
    expect_bbox(punch(report), {-8, -4, -1, 8, 4, 10});
    EXPECT_NEAR(punch(report)["volume"].get<double>(), slot_area(4) * 11, 1e-6);
}

// Whether an opening runs through or stops under a skin shows in the plate's area: a skin adds the
// opening's section twice. An 80 x 60 plate h thick with a through opening of section a, perimeter p.
double through_plate_area(double h, double a, double p) { return 2 * (80 * 60 - a) + 2 * (80 + 60) * h + p * h; }

double area(const Json &report, const std::string &name) {
    return diekit::kernel::area(diekit::model::Store::instance().body(scenario::body(report, name)["tag"].get<tag_t>()).shape);
}

TEST(FormpunchA, OpeningsRunThroughTheirPlatesWhateverTheClearanceOrTheLevels) {
    {
        // A negative clearance moves the prism's ends inwards with its sides: the opening nearest the
        // parting plane (clearance -0.2) must still reach both faces.
        SCOPED_TRACE("clearance -0.2");
        Json report = play(four_plates(), type_a({"p30", "p20", "m5", "m25"}, -0.2));
        expect_plain_and_clean(report);
        EXPECT_NEAR(area(report, "m5"), through_plate_area(10, 11.6 * 7.6, 2 * (11.6 + 7.6)), 1e-6);
        EXPECT_NEAR(volume(report, "m5"), plate_volume(-15, -5) - 11.6 * 7.6 * 10, 1e-6);
        EXPECT_NEAR(area(report, "m25"), through_plate_area(15, 12.6 * 8.6, 2 * (12.6 + 8.6)), 1e-6);
    }
    {
        // "%f" would pull ends inside by 4.5e-7, more than the kernel's tolerance: the bottoms of "u"
        // (3.33333355 to "3.333334") and "m" (-13.33333345 to "-13.333333"), the top of "v"
        // (24.00000045 to "24.000000").
        SCOPED_TRACE("levels between six decimals");
        Json objects = Json::array({plate("u", 3.33333355, 13.33333355), plate("v", 14, 24.00000045),
                                    plate("m", -13.33333345, -3.33333345), rect_outline(-6, -4, 6, 4)});
        Json report = play(objects, type_a({"u", "v", "m"}, 0));
        expect_plain_and_clean(report);
        for (const char *name : {"u", "v", "m"}) EXPECT_NEAR(area(report, name), through_plate_area(10, 96, 40), 1e-3) << name;
    }
}

TEST(FormpunchA, OnlyUpperOrOnlyLowerPlates) {
    {
        SCOPED_TRACE("only upper");
        Json report = play(four_plates(), type_a({"p20", "p30"}, 0.2));
        expect_plain_and_clean(report);
        EXPECT_NEAR(volume(report, "p30"), plate_volume(20, 30) - 96 * 10, 1e-6);
        EXPECT_NEAR(volume(report, "p20"), plate_volume(5, 20) - 96 * 15, 1e-6);
        EXPECT_NEAR(volume(report, "m5"), plate_volume(-15, -5), 1e-6);
        expect_bbox(punch(report), {-6, -4, -1, 6, 4, 30});
    }
    {
        // The punch runs from -1 to the top of the highest plate, here below the parting plane.
        SCOPED_TRACE("only lower");
        Json report = play(four_plates(), type_a({"m25", "m5"}, 0.2));
        expect_plain_and_clean(report);
        EXPECT_NEAR(volume(report, "p30"), plate_volume(20, 30), 1e-6);
        EXPECT_NEAR(volume(report, "m5"), plate_volume(-15, -5) - 12.4 * 8.4 * 10, 1e-6);
        EXPECT_NEAR(volume(report, "m25"), plate_volume(-40, -25) - 13.4 * 9.4 * 15, 1e-6);
        expect_bbox(punch(report), {-6, -4, -5, 6, 4, -1});
    }
}

TEST(FormpunchInput, MissingSelectionOrUnusableOutlineBuildsNothingAndSaysWhy) {
    struct Case {
        const char *what;
        Json objects;
        Json values;
        const char *note;
    };
    Json open_outline = {{"name", "outline"}, {"curve", {{"polyline", {{0, 0, 0}, {10, 0, 0}, {10, 8, 0}, {0, 8, 0}}}}}};
    Json bent_outline = {{"name", "outline"},
                         {"curve", {{"polyline", {{0, 0, 0}, {10, 0, 0}, {10, 8, 3}, {0, 8, 0}}}, {"closed", true}}}};
    Json no_outline = type_a({"p30", "m5"}, 0.2);
    no_outline.erase("edge_select0");
    const Case cases[] = {
        {"no plate", four_plates(), type_a(Json::array(), 0.2), "select the plates"},
        {"no outline", four_plates(), no_outline, "select the curves"},
        {"open outline", Json::array({plate("p30", 20, 30), plate("m5", -15, -5), open_outline}), type_a({"p30", "m5"}, 0.2),
         "not closed"},
        {"outline not planar", Json::array({plate("p30", 20, 30), plate("m5", -15, -5), bent_outline}),
         type_a({"p30", "m5"}, 0.2), "not planar"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        for (int type : {0, 1, 2}) {
            Json values = c.values;
            values["enum0"] = type;
            Json report = play(c.objects, values);
            EXPECT_EQ(report["steps"][0]["results"], Json::array({0, 0}));
            std::size_t plates = 0;
            for (auto &b : report["bodies"]) {
                EXPECT_NE(b["color"], kPunchColour);
                if (b["name"] == "p30") {
                    EXPECT_NEAR(b["volume"].get<double>(), plate_volume(20, 30), 1e-6);
                }
                ++plates;
            }
            EXPECT_EQ(plates, c.objects.size() - 1) << "only the fixture plates remain";
            const auto texts = notes(report);
            ASSERT_EQ(texts.size(), 1u);
            EXPECT_NE(texts[0].find(c.note), std::string::npos) << texts[0];
            EXPECT_NE(texts[0].find("nothing was built"), std::string::npos) << texts[0];
            expect_wcs_absolute(report);
        }
    }
}

// ---- types B and C ----
//
// The ejector block "tui_kuai" (z 1..21) under the pad "dian_ban" (z 21..25), a fixed plate above
// (z 25..40, the highest top) and a lower plate (z -20..0), all selected.

Json head_stack(Json outline) {
    return Json::array({block("tui_kuai", {-30, -25, 1}, {60, 50, 20}), block("dian_ban", {-30, -25, 21}, {60, 50, 4}),
                        plate("gu_ding", 25, 40), plate("lower", -20, 0), std::move(outline)});
}

Json head_values(int type, Json extra) {
    Json v = {{"edge_select0", {"outline"}},
              {"selection0", {"lower", "tui_kuai", "gu_ding", "dian_ban"}},
              {"expression0", 0.1},
              {"enum0", type}};
    for (auto &[key, value] : extra.items()) v[key] = value;
    return v;
}

std::string imported_file(const Json &report) {
    if (report["groups"].size() != 1) {
        ADD_FAILURE() << "expected one imported group, found " << report["groups"].size();
        return "";
    }
    return report["groups"][0]["file"].get<std::string>();
}

// A half-round relief of radius 1.5 in the head's bottom face, from 2 off the centre to the head's end:
// the part of the two of them outside a punch that covers `covered` of that length on each side.
double relief_outside_punch(double half_length, double covered) {
    return 2 * (kPi * 1.5 * 1.5 / 2) * (half_length - std::max(covered, 2.0));
}

TEST(FormpunchB, GivenSizeHeadAxisParallelWhenNotTurned) {
    // Punch 12 x 8 centred at (5, 3); head 20 x 14 (jiao_du is ignored with toggle0 off).
    Json report = play(head_stack(rect_outline(-1, -1, 11, 7)),
                       head_values(1, {{"enum01", 0}, {"expression01", 20}, {"expression02", 14},
                                       {"toggle0", false}, {"expression05", 30}}));
    expect_plain_and_clean(report);
    expect_wcs_absolute(report);
    EXPECT_EQ(report["steps"][0]["results"], Json::array({0, 0}));

    // The head from 5 below the top of tui_kuai (z 16) to the punch top (40), centred on (5, 3).
    const Json &p = punch(report);
    expect_bbox(p, {-5, -4, -1, 15, 10, 40});
    // Width 14 < length 20: the reliefs run along local X and cut the punch where it is not.
    EXPECT_EQ(imported_file(report), "chong_zi_yuan_hu_90.prt");
    const double head = (20 * 14 - 12 * 8) * 24.0;
    EXPECT_NEAR(p["volume"].get<double>(), 12 * 8 * 41 + head - relief_outside_punch(10, 6), 1e-6);
    EXPECT_EQ(containment(p, 14, 3, 16.5), 2) << "relief at the +X end";
    EXPECT_EQ(containment(p, 14, 3, 17.6), 1);
    EXPECT_EQ(containment(p, 13, 9, 16.5), 1) << "no relief on the side";

    // Pockets of the relief block, 22 x 16 from 8 below the top of tui_kuai: through dian_ban, 8 deep
    // into tui_kuai, which also takes the punch below its pocket.
    EXPECT_NEAR(volume(report, "dian_ban"), 60 * 50 * 4 - 22 * 16 * 4, 1e-6);
    EXPECT_NEAR(volume(report, "tui_kuai"), 60 * 50 * 20 - 22 * 16 * 8 - 12 * 8 * 12, 1e-6);
    // The fixed plate holds the head without clearance; the lower plate has the clearance opening.
    EXPECT_NEAR(volume(report, "gu_ding"), plate_volume(25, 40) - 20 * 14 * 15, 1e-6);
    EXPECT_NEAR(volume(report, "lower"), plate_volume(-20, 0) - 12.2 * 8.2 * 20, 1e-6);
    // The four plates and the punch: the blocks and reliefs are used up.
    EXPECT_EQ(report["bodies"].size(), 5u);
}

TEST(FormpunchB, TurnedHeadFollowsTheFrameAboutTheTopCentre) {
    Json report = play(head_stack(rect_outline(-1, -1, 11, 7)),
                       head_values(1, {{"enum01", 0}, {"expression01", 20}, {"expression02", 14},
                                       {"toggle0", true}, {"expression05", 30}}));
    expect_plain_and_clean(report);
    expect_wcs_absolute(report);
    // The frame's X axis is (cos 30, -sin 30): the head's half extents in plan are
    // 10 cos 30 + 7 sin 30 and 10 sin 30 + 7 cos 30 about (5, 3).
    const double c = std::cos(kPi / 6), s = std::sin(kPi / 6);
    const double hx = 10 * c + 7 * s, hy = 10 * s + 7 * c;
    const Json &p = punch(report);
    expect_bbox(p, {5 - hx, 3 - hy, -1, 5 + hx, 3 + hy, 40});
    // 9.5 along the frame's X lies in the head; the mirror point across the X axis does not.
    EXPECT_EQ(containment(p, 5 + 9.5 * c, 3 - 9.5 * s, 30), 1);
    EXPECT_EQ(containment(p, 5 + 9.5 * c, 3 + 9.5 * s, 30), 2);
    // The pockets and the fixed plate's opening keep their areas, turned.
    EXPECT_NEAR(volume(report, "dian_ban"), 60 * 50 * 4 - 22 * 16 * 4, 1e-6);
    EXPECT_NEAR(volume(report, "gu_ding"), plate_volume(25, 40) - 20 * 14 * 15, 1e-6);
}

TEST(FormpunchB, HeadSizedFromThePunchWithMargin) {
    // Punch 12.7 x 8.2 about (0, 0): head 14 x 10, relief 16 x 12, both from z 16 (5 below 21).
    Json report = play(head_stack(rect_outline(-6.35, -4.1, 6.35, 4.1)),
                       head_values(1, {{"enum01", 1}, {"expression051", 1}, {"expression01", 20},
                                       {"expression02", 30}, {"toggle0", false}}));
    expect_plain_and_clean(report);
    const Json &p = punch(report);
    expect_bbox(p, {-7, -5, -1, 7, 5, 40});
    // kuang > chang in the dialog: the reliefs along local Y, whatever the measured size.
    EXPECT_EQ(imported_file(report), "chong_zi_yuan_hu.prt");
    const double prism = 12.7 * 8.2;
    EXPECT_NEAR(p["volume"].get<double>(), prism * 41 + (140 - prism) * 24 - relief_outside_punch(5, 4.1), 1e-6);
    EXPECT_NEAR(volume(report, "dian_ban"), 60 * 50 * 4 - 16 * 12 * 4, 1e-6);
    EXPECT_NEAR(volume(report, "tui_kuai"), 60 * 50 * 20 - 16 * 12 * 5 - prism * 15, 1e-6);
    EXPECT_NEAR(volume(report, "gu_ding"), plate_volume(25, 40) - 14 * 10 * 15, 1e-6);
}

TEST(FormpunchB, EqualLengthAndWidthTakeTheNinetyDegreeReliefs) {
    Json report = play(head_stack(rect_outline(-6, -4, 6, 4)),
                       head_values(1, {{"enum01", 0}, {"expression01", 16}, {"expression02", 16}}));
    expect_plain_and_clean(report);
    EXPECT_EQ(imported_file(report), "chong_zi_yuan_hu_90.prt");
    expect_bbox(punch(report), {-8, -8, -1, 8, 8, 40});
}

TEST(FormpunchB, WithoutTuiKuaiThePunchIsBuiltWithoutAHead) {
    Json objects = head_stack(rect_outline(-6, -4, 6, 4));
    objects.erase(objects.begin());  // no tui_kuai
    Json values = head_values(1, {{"enum01", 0}, {"toggle0", true}, {"expression05", 20}});
    values["selection0"] = {"lower", "gu_ding", "dian_ban"};
    for (int type : {1, 2}) {
        SCOPED_TRACE(type);
        values["enum0"] = type;
        Json report = play(objects, values);
        expect_plain_and_clean(report);
        expect_wcs_absolute(report);
        const Json &p = punch(report);
        expect_bbox(p, {-6, -4, -1, 6, 4, 40});
        EXPECT_NEAR(p["volume"].get<double>(), 12 * 8 * 41, 1e-6);
        EXPECT_TRUE(report["groups"].empty());
        // The upper plates hold the straight punch; the lower plate has its clearance.
        EXPECT_NEAR(volume(report, "gu_ding"), plate_volume(25, 40) - 96 * 15, 1e-6);
        EXPECT_NEAR(volume(report, "dian_ban"), 60 * 50 * 4 - 96 * 4, 1e-6);
        EXPECT_NEAR(volume(report, "lower"), plate_volume(-20, 0) - 12.2 * 8.2 * 20, 1e-6);
        const auto texts = notes(report);
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_NE(texts[0].find("tui_kuai"), std::string::npos) << texts[0];
    }
}

TEST(FormpunchC, StepBlockOnTopOfThePunchAndItsPocketInTheHighestPlate) {
    // Punch 6 x 4 about (0, 0), head 8 x 12, step 10 x 6: the step reaches 1 past the head in x, so
    // it adds to the punch and its 11 x 7 pocket shows around the head in the highest plate.
    Json report = play(head_stack(rect_outline(-3, -2, 3, 2)),
                       head_values(2, {{"enum01", 0}, {"expression01", 8}, {"expression02", 12},
                                       {"expression03", 10}, {"expression04", 6}, {"toggle0", false}}));
    expect_plain_and_clean(report);
    expect_wcs_absolute(report);
    EXPECT_EQ(report["steps"][0]["results"], Json::array({0, 0}));
    const Json &p = punch(report);
    expect_bbox(p, {-5, -6, -1, 5, 6, 40});
    EXPECT_EQ(imported_file(report), "chong_zi_yuan_hu.prt");
    // Prism, head (less its reliefs from |y| 2 to 6, none inside the punch's |y| <= 2 apart from
    // where the prism fills them) and the two 1 x 6 x 5 ends of the step outside the head.
    const double head = (8 * 12 - 6 * 4) * 24.0;
    EXPECT_NEAR(p["volume"].get<double>(), 6 * 4 * 41 + head - relief_outside_punch(6, 2) + 2 * 1 * 6 * 5, 1e-6);
    EXPECT_EQ(containment(p, 4.5, 0, 39), 1) << "the step's end";
    EXPECT_EQ(containment(p, 4.5, 0, 34.9), 2) << "below the step";

    // Highest plate: the 11 x 7 pocket 5 deep joined with the head's 8 x 12 opening.
    const Json &gu_ding = scenario::body(report, "gu_ding");
    EXPECT_NEAR(gu_ding["volume"].get<double>(), plate_volume(25, 40) - (8 * 12 + 11 * 7 - 8 * 7) * 5.0 - 8 * 12 * 10,
                1e-6);
    EXPECT_EQ(containment(gu_ding, 5.4, 3.4, 35.1), 2) << "pocket corner";
    EXPECT_EQ(containment(gu_ding, 5.4, 3.4, 34.9), 1) << "under the pocket";
    EXPECT_EQ(report["bodies"].size(), 5u);
}

TEST(FormpunchExamples, BothExamplesBuildCleanly) {
    {
        SCOPED_TRACE("examples/formpunch.json");
        Json report = scenario::play_file("examples/formpunch.json");
        expect_plain_and_clean(report);
        EXPECT_EQ(report["steps"][0]["results"], Json::array({0, 0}));
        // Slot 24 x 10 with a 4 x 3 key: 14 x 10 + two half circles of radius 5 + the key.
        const double area = 14 * 10 + kPi * 25 + 4 * 3;
        const Json &p = punch(report);
        expect_bbox(p, {-12, -8, -1, 12, 5, 30});
        EXPECT_NEAR(p["volume"].get<double>(), area * 31, 1e-6);
        EXPECT_NEAR(volume(report, "upper_backing"), 120 * 80 * 10 - area * 10, 1e-6);
        // The die plate's top is the parting plane: it and the plate below get clearance openings,
        // every side out by d with sharp corners (the arcs by d in radius, the key's sides and bottom too).
        auto grown = [](double d) { return 14 * (10 + 2 * d) + kPi * (5 + d) * (5 + d) + 3 * (4 + 2 * d); };
        EXPECT_NEAR(volume(report, "die_plate"), 120 * 80 * 20 - grown(0.1) * 20, 1e-6);
        EXPECT_NEAR(volume(report, "lower_backing"), 120 * 80 * 25 - grown(0.6) * 25, 1e-6);
    }
    {
        SCOPED_TRACE("examples/formpunch_head.json");
        // The die set's own build may log failed host calls of its own; the punches must add none.
        scenario::play_file("examples/flipdie.json");
        const std::size_t die_set_failures = diekit::model::Store::instance().log_lines().size();
        Json report = scenario::play_file("examples/formpunch_head.json");
        EXPECT_EQ(diekit::model::Store::instance().log_lines().size(), die_set_failures);
        for (auto &b : report["bodies"]) EXPECT_EQ(b["parametric"], false) << b.dump();
        expect_wcs_absolute(report);
        for (int step : {1, 2}) EXPECT_EQ(report["steps"][step]["results"], Json::array({0, 0}));
        auto punches = scenario::bodies_of_color(report, kPunchColour);
        ASSERT_EQ(punches.size(), 2u);
        // Type C: the 12 x 10 head about (22, 5) from z 18.5 with the 16 x 6 step in its top 5.
        expect_bbox(punches[1], {14, 0, -1, 30, 10, 27.5});
        EXPECT_EQ(containment(punches[1], 29.5, 5, 26), 1);
        EXPECT_EQ(containment(punches[1], 29.5, 5, 21), 2);
        // The pad loses the two relief blocks (18 x 15 and 14 x 12) and the step pocket's ends
        // (17 x 7 reaching 1.5 past the relief at each end), all through its 4 mm.
        EXPECT_NEAR(volume(report, "dian_ban"), 84 * 54 * 4 - (18 * 15 + 14 * 12 + 2 * 1.5 * 7) * 4.0, 1e-6);
    }
}

}  // namespace
