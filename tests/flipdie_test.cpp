// flipdie played like a designer would: the plate stack, the die shoes and the guide sets of an
// inverted compound die, checked in the report against hand-computed sizes, levels and volumes.
#include "scenario.hpp"

#include "kernel/kernel.hpp"
#include "model/store.hpp"

#include <uf_modl.h>

#include <unistd.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using scenario::Json;
constexpr double pi = std::numbers::pi;

// The plate stack every case starts from (mm): 200 x 100 plates, die shoes meeting the stack
// (TAMC + 0.5 = AMBC + KXDBC + SGDBC = AMBC + KXDBC + XGDBC).
Json base_values() {
    return Json{{"tiao_liao", 1},  {"jian_xi", 0.1}, {"chang", 200}, {"kuan", 100}, {"SMZC", 40},
                {"SDBC", 8},       {"SGDBC", 15},    {"KXDBC", 10},  {"AMBC", 20},  {"XLBC", 12},
                {"XGDBC", 15},     {"XDBC", 8},      {"XMZC", 45},   {"TAMC", 44.5}, {"mo_bing", 40},
                {"enum0", 0}};
}
// Levels of the base stack.
constexpr double T = 1, Ztop = 54, Zs = 54, H = 98;

// A 60 x 30 rectangle off the origin, as four lines: no single side has the outline's box.
Json rectangle_outline() {
    return Json::array({Json::parse(
        R"({"name": "blank", "curve": {"polyline": [[-20, -10, 0], [40, -10, 0], [40, 20, 0], [-20, 20, 0]], "closed": true}})")});
}

Json circle_outline(double cx, double cy, double r) {
    Json circle = {{"center", {cx, cy, 0.0}}, {"radius", r}};
    return Json::array({Json{{"name", "blank"}, {"curve", Json{{"circle", circle}}}}});
}

Json with(Json values, const Json &changes) {
    for (auto &[key, value] : changes.items()) values[key] = value;
    return values;
}

Json step(const Json &values, const Json &press = Json::array({"apply"})) {
    Json selected = values;
    if (!selected.contains("edge_select0")) selected["edge_select0"] = Json::array({"blank"});
    return Json{{"plugin", "flipdie"}, {"values", selected}, {"press", press}};
}

Json session(const Json &objects, const std::vector<Json> &steps) {
    Json s{{"objects", objects}, {"steps", Json::array()}};
    for (const Json &one : steps) s["steps"].push_back(one);
    return s;
}

Json play(const Json &objects, const Json &values) { return scenario::play(session(objects, {step(values)})); }

void expect_bbox(const Json &body, std::array<double, 6> expected, const std::string &what) {
    for (std::size_t i = 0; i < 6; ++i)
        EXPECT_NEAR(body["bbox"][i].get<double>(), expected[i], 1e-6) << what << ", bbox entry " << i;
}

std::vector<Json> bodies(const Json &report) { return report["bodies"].get<std::vector<Json>>(); }

std::vector<Json> bodies_named(const Json &report, const std::string &name) {
    std::vector<Json> found;
    for (const Json &b : report["bodies"])
        if (b["name"] == name) found.push_back(b);
    return found;
}

std::vector<std::string> notes(const Json &report) {
    std::vector<std::string> texts;
    for (const Json &m : report["messages"])
        if (m["kind"] == "note") texts.push_back(m["text"]);
    return texts;
}

int boxes(const Json &report) {
    int n = 0;
    for (const Json &m : report["messages"]) n += m["kind"] == "box";
    return n;
}

// The body with this tag (fails the test when there is none).
const Json &body_tagged(const Json &report, const Json &tag) {
    for (const Json &b : report["bodies"])
        if (b["tag"] == tag) return b;
    ADD_FAILURE() << "no body " << tag;
    static const Json none = Json::object();
    return none;
}

double expression(const Json &report, const std::string &name) {
    for (const Json &e : report["expressions"])
        if (e["name"] == name) return e["value"].get<double>();
    ADD_FAILURE() << "no expression " << name;
    return NAN;
}

// 1 when the point lies in or on the body, 2 outside (the host's containment query).
int where(const Json &body, double x, double y, double z) {
    double point[3] = {x, y, z};
    int status = 0;
    EXPECT_EQ(UF_MODL_ask_point_containment(point, body["tag"].get<tag_t>(), &status), 0);
    return status;
}

// Shared volume of two bodies of the last played session.
double shared_volume(const Json &a, const Json &b) {
    auto &store = diekit::model::Store::instance();
    return diekit::kernel::volume(diekit::kernel::common(store.body(a["tag"].get<tag_t>()).shape,
                                                         store.body(b["tag"].get<tag_t>()).shape));
}

// Die shank: collar D+10 x 6, shank D to SMZC + 50, bore 11, top rim chamfered 2 x 45.
double shank_volume(double D, double SMZC) {
    const double h = SMZC + 50, R = D / 2;
    return pi * std::pow(R + 5, 2) * 6 + pi * R * R * (h - 6) - pi * 5.5 * 5.5 * h - 2 * pi * (R - 2.0 / 3) * 2;
}
// Knock-out rod: 10 to SMZC + 80, head 13 x 4, top rim chamfered 1 x 45.
double rod_volume(double SMZC) {
    return pi * 25 * (SMZC + 80) + pi * (6.5 * 6.5 - 25) * 4 - 2 * pi * (5 - 1.0 / 3) * 0.5;
}

}  // namespace

// ---------------------------------------------------------------- the plate stack (create_mould)

class FlipdieMould : public ::testing::Test {
protected:
    static void SetUpTestSuite() { report = new Json(play(rectangle_outline(), base_values())); }
    static void TearDownTestSuite() { delete report; }
    static Json *report;
};
Json *FlipdieMould::report = nullptr;

TEST_F(FlipdieMould, TwelveBodiesInOrderWithTheirColoursLevelsAndNames) {
    const std::vector<Json> all = bodies(*report);
    ASSERT_GE(all.size(), 12u);
    struct Row {
        const char *what;
        int color;
        const char *name;
        double z0, z1;
    };
    const Row rows[12] = {
        {"die plate", 100, "", T, T + 20},
        {"ejector block", 5, "tui_kuai", T, T + 20},
        {"pad", 206, "dian_ban", T + 20, T + 24},
        {"hollow backing plate", 120, "", T + 20, T + 30},
        {"upper retainer plate", 95, "", T + 30, Ztop - 8},
        {"upper backing plate", 98, "", Ztop - 8, Ztop},
        {"stripper plate", 128, "", -12, 0},
        {"lower retainer plate", 95, "", -45, -45 + 15},
        {"punch-die", 119, "", -45, -0.5},
        {"lower backing plate", 98, "", -53, -45},
        {"die shank", 105, "", Ztop, Ztop + 90},
        {"knock-out rod", 160, "", Ztop - 8, Ztop - 8 + 120},
    };
    for (std::size_t i = 0; i < 12; ++i) {
        SCOPED_TRACE(rows[i].what);
        EXPECT_EQ(all[i]["color"], rows[i].color);
        EXPECT_EQ(all[i]["name"], rows[i].name);
        EXPECT_NEAR(all[i]["bbox"][2].get<double>(), rows[i].z0, 1e-6);
        EXPECT_NEAR(all[i]["bbox"][5].get<double>(), rows[i].z1, 1e-6);
        EXPECT_EQ(all[i]["lumps"], 1);
    }
    for (std::size_t i : {0u, 3u, 4u, 5u, 6u, 7u, 9u}) {
        EXPECT_NEAR(all[i]["bbox"][0].get<double>(), -100, 1e-6) << rows[i].what;
        EXPECT_NEAR(all[i]["bbox"][4].get<double>(), 50, 1e-6) << rows[i].what;
    }
    EXPECT_EQ(report->at("steps")[0]["results"], Json::array({0}));
    EXPECT_EQ(boxes(*report), 0);
    for (const Json &b : report->at("bodies")) EXPECT_FALSE(b["parametric"].get<bool>()) << b.dump();
}

TEST_F(FlipdieMould, DiePlateLosesTheOutlineGrownByTheClearanceAndTheEjectorFillsTheOpening) {
    const Json plate = bodies(*report)[0];
    const double opening = 60.2 * 30.2;  // sharp corners stay sharp when the faces move out
    EXPECT_NEAR(plate["volume"].get<double>(), (200 * 100 - opening) * 20, 1e-6);
    const Json &ejector = scenario::body(*report, "tui_kuai");
    EXPECT_NEAR(ejector["volume"].get<double>(), opening * 20, 1e-6);
    expect_bbox(ejector, {-20.1, -10.1, T, 40.1, 20.1, T + 20}, "ejector");
    EXPECT_LT(shared_volume(plate, ejector), 1e-6);
}

// The pad and the hollow plate's opening follow the box of the whole outline, grown by 2 and 6;
// the sign-2 opening block cuts the hollow plate only, not the pad it also touches.
TEST_F(FlipdieMould, PadAndHollowPlateOpeningFollowTheBoxOfTheWholeOutline) {
    const Json &pad = scenario::body(*report, "dian_ban");
    expect_bbox(pad, {-22, -12, T + 20, 42, 22, T + 24}, "pad");
    EXPECT_NEAR(pad["volume"].get<double>(), 64 * 34 * 4, 1e-6);
    const Json hollow = bodies(*report)[3];
    EXPECT_NEAR(hollow["volume"].get<double>(), (200 * 100 - 72 * 42) * 10, 1e-6);
    EXPECT_EQ(where(hollow, 10, 5, T + 25), 2);     // inside the opening
    EXPECT_EQ(where(hollow, 10, 5 + 21.5, T + 25), 1);  // beyond it
}

TEST_F(FlipdieMould, LowerPlatesTakeTheOutlineAndThePunchDieIsTheOutlineItself) {
    const std::vector<Json> all = bodies(*report);
    EXPECT_NEAR(all[6]["volume"].get<double>(), (200 * 100 - 60 * 30) * 12, 1e-6);  // stripper plate
    EXPECT_NEAR(all[7]["volume"].get<double>(), (200 * 100 - 60 * 30) * 15, 1e-6);  // lower retainer
    expect_bbox(all[8], {-20, -10, -45, 40, 20, -0.5}, "punch-die");
    EXPECT_NEAR(all[8]["volume"].get<double>(), 60 * 30 * 44.5, 1e-6);
    EXPECT_NEAR(all[9]["volume"].get<double>(), 200 * 100 * 8, 1e-6);
    EXPECT_LT(shared_volume(all[7], all[8]), 1e-6);
}

// The rod stands in the upper backing plate, which has its bore: 14 over the head's 4, then 11.
TEST_F(FlipdieMould, ShankAndRodHaveTheirTopRimsChamferedAndTheRodSlidesInItsBore) {
    const std::vector<Json> all = bodies(*report);
    EXPECT_NEAR(all[5]["volume"].get<double>(), 200 * 100 * 8 - pi * (7 * 7 + 5.5 * 5.5) * 4, 1e-6);
    EXPECT_LT(shared_volume(all[5], all[11]), 1e-6);
    expect_bbox(all[10], {-25, -25, Ztop, 25, 25, Ztop + 90}, "shank");
    EXPECT_NEAR(all[10]["volume"].get<double>(), shank_volume(40, 40), 1e-6);
    expect_bbox(all[11], {-6.5, -6.5, Ztop - 8, 6.5, 6.5, Ztop + 112}, "rod");
    EXPECT_NEAR(all[11]["volume"].get<double>(), rod_volume(40), 1e-6);
    // The chamfer takes the outer rim only: the bore's rim is sharp, the shank's surface is cut back.
    EXPECT_EQ(where(all[10], 19.9, 0, Ztop + 89.95), 2);
    EXPECT_EQ(where(all[10], 5.55, 0, Ztop + 89.99), 1);
}

// The offset moves the end faces of the opening's prism as well: shrunk, the opening must still
// run through the plate, not leave a closed cavity under skins 0.1 thick.
TEST(FlipdieOutline, NegativeClearanceShrinksTheDieOpeningWhichStillRunsThrough) {
    const Json report = play(rectangle_outline(), with(base_values(), {{"jian_xi", -0.1}}));
    const double opening = 59.8 * 29.8;
    const Json plate = bodies(report)[0];
    EXPECT_NEAR(plate["volume"].get<double>(), (200 * 100 - opening) * 20, 1e-6);
    EXPECT_EQ(where(plate, 10, 5, T + 0.05), 2);
    EXPECT_EQ(where(plate, 10, 5, T + 19.95), 2);
    const Json &ejector = scenario::body(report, "tui_kuai");
    EXPECT_NEAR(ejector["volume"].get<double>(), opening * 20, 1e-6);
    expect_bbox(ejector, {-19.9, -9.9, T, 39.9, 19.9, T + 20}, "ejector");
}

// "%f" would start the stripper's opening at -12.000000 over a plate bottom at -12.00000045, and the
// lower retainer's at -45.000000 over -45.00000045: beyond the kernel's tolerance, a skin would close
// each opening. A skin shows in the plate's area: it adds the opening's section twice.
TEST(FlipdieOutline, OpeningsRunThroughPlatesWhoseLevelsFallBetweenSixDecimals) {
    const Json report = play(rectangle_outline(), with(base_values(), {{"XLBC", 12.00000045}, {"TAMC", 44.50000045}}));
    const std::vector<Json> all = bodies(report);
    ASSERT_GE(all.size(), 8u);
    auto &store = diekit::model::Store::instance();
    for (std::size_t i : {6u, 7u}) {
        const double h = all[i]["bbox"][5].get<double>() - all[i]["bbox"][2].get<double>();
        const double through = 2 * (200 * 100 - 60 * 30) + 2 * (200 + 100) * h + 2 * (60 + 30) * h;
        EXPECT_NEAR(diekit::kernel::area(store.body(all[i]["tag"].get<tag_t>()).shape), through, 1e-3) << "body " << i;
    }
}

TEST(FlipdieOutline, ASingleClosedCircleWorksLikeAnOutlineOfSeveralCurves) {
    const Json report = play(circle_outline(10, 5, 20), base_values());
    const std::vector<Json> all = bodies(report);
    ASSERT_GE(all.size(), 12u);
    EXPECT_NEAR(all[0]["volume"].get<double>(), 200 * 100 * 20 - pi * 20.1 * 20.1 * 20, 1e-6);
    expect_bbox(scenario::body(report, "tui_kuai"), {-10.1, -15.1, T, 30.1, 25.1, T + 20}, "ejector");
    expect_bbox(scenario::body(report, "dian_ban"), {-12, -17, T + 20, 32, 27, T + 24}, "pad");
    EXPECT_NEAR(all[3]["volume"].get<double>(), (200 * 100 - 52 * 52) * 10, 1e-6);
    EXPECT_NEAR(all[8]["volume"].get<double>(), pi * 400 * 44.5, 1e-6);
    EXPECT_EQ(boxes(report), 0);
}

// The example's blank: two rounded corners and a notch, lines and arcs in a closed chain.
TEST(FlipdieOutline, ExampleBlankOfLinesAndArcsBuildsTheWholeDie) {
    const Json report = scenario::play_file("examples/flipdie.json");
    const std::vector<Json> all = bodies(report);
    ASSERT_EQ(all.size(), 12u + 2 + 8);
    const double blank = 80 * 50 - 2 * (100 - 25 * pi) - 50 * pi;  // 3800
    EXPECT_NEAR(all[8]["volume"].get<double>(), blank * 51.5, 1e-6);
    expect_bbox(scenario::body(report, "dian_ban"), {-42, -27, 23.5, 42, 27, 27.5}, "pad");
    EXPECT_LT(shared_volume(all[0], scenario::body(report, "tui_kuai")), 1e-6);
    // The shoes meet the stack; bushings and pillars stand in their holes without overlapping.
    EXPECT_NEAR(all[12]["bbox"][2].get<double>(), all[5]["bbox"][5].get<double>(), 1e-9);
    EXPECT_NEAR(all[13]["bbox"][5].get<double>(), all[9]["bbox"][2].get<double>(), 1e-9);
    for (const Json &bushing : bodies_named(report, "bushing")) EXPECT_LT(shared_volume(all[12], bushing), 1e-6);
    for (const Json &pillar : bodies_named(report, "pillar")) EXPECT_LT(shared_volume(all[13], pillar), 1e-6);
    for (const Json &b : all) EXPECT_FALSE(b["parametric"].get<bool>());
    EXPECT_EQ(boxes(report), 0);
    EXPECT_TRUE(notes(report).empty());
    // Every object list and every text or array the host handed out was given back.
    EXPECT_EQ(diekit::model::Store::instance().live_lists(), 0u);
    EXPECT_EQ(diekit::model::Store::instance().live_allocations(), 0u);
}

TEST(FlipdieOutline, ZeroClearanceIsRefusedAndTheOtherBuildersStillRun) {
    const Json report = play(rectangle_outline(), with(base_values(), {{"jian_xi", 0}}));
    EXPECT_EQ(notes(report), std::vector<std::string>{"请输入冲裁间隙"});
    EXPECT_EQ(report["steps"][0]["results"], Json::array({0}));
    for (int colour : {100, 5, 206, 120, 95, 98, 128, 119, 105, 160})
        EXPECT_TRUE(scenario::bodies_of_color(report, colour).empty()) << colour;
    EXPECT_EQ(scenario::bodies_of_color(report, 108).size(), 2u);
    EXPECT_EQ(report["groups"].size(), 4u);
    for (const Json &b : report["bodies"]) EXPECT_FALSE(b["parametric"].get<bool>());
}

// Without a curve there is no outline box to size the ejector, pad and opening from: the plate
// stack is refused like a zero clearance, and the shoes and guide sets still come.
TEST(FlipdieOutline, NoOutlineSelectedIsRefusedAndTheOtherBuildersStillRun) {
    Json values = base_values();
    values["edge_select0"] = Json::array();
    const Json report = play(rectangle_outline(), values);
    EXPECT_EQ(notes(report), std::vector<std::string>{"请选择凸凹模轮廓曲线"});
    EXPECT_TRUE(scenario::bodies_of_color(report, 100).empty());
    EXPECT_EQ(scenario::bodies_of_color(report, 108).size(), 2u);
    EXPECT_EQ(report["groups"].size(), 4u);
}

// ---------------------------------------------------------------- die shoes and guide sets

namespace {

struct Size {
    int index;
    double smzc;
    const char *file;
    double pillar, bushing;  // hole diameters
    double w, L1, L2;
    std::array<std::array<double, 2>, 4> corners;  // holes 1 to 4 of the shoes
    double k1, k2, top;                            // bushing guide length, pillar depth, pillar top
};

void PrintTo(const Size &s, std::ostream *os) { *os << "guide size " << s.index; }

const Size sizes[] = {
    {0, 40, "Outside the guide pin/16X100.prt", 16, 25, 120, 15, H - 17.5,
     {{{100, 80}, {95, -80}, {-100, 80}, {-100, -80}}}, 25, 62.5, 20},
    {4, 80, "Outside the guide pin/25X100.prt", 25, 38, 120, 25, H - 22.5,
     {{{95, 80}, {90, -80}, {-95, 80}, {-95, -80}}}, 55, 67.5, 50},
    {8, 80, "Outside the guide pin/38X100.prt", 38, 52, 160, 25, H - 30.5,
     {{{90, 90}, {85, -90}, {-90, 90}, {-90, -90}}}, 55, 75.5, 50},
};

}  // namespace

class FlipdieSize : public ::testing::TestWithParam<Size> {};

TEST_P(FlipdieSize, ShoesHaveTheirSizeLevelsHolesAndGrooves) {
    const Size &s = GetParam();
    const Json report = play(rectangle_outline(), with(base_values(), {{"enum0", s.index}, {"SMZC", s.smzc}}));
    const std::vector<Json> shoes = scenario::bodies_of_color(report, 108);
    ASSERT_EQ(shoes.size(), 2u);
    const Json &upper = shoes[0], &lower = shoes[1];
    const double half_w = (100 + s.w) / 2;
    expect_bbox(upper, {-130, -half_w, Zs, 130, half_w, Zs + s.smzc}, "upper shoe");
    expect_bbox(lower, {-130, -half_w, -H, 130, half_w, -H + 45}, "lower shoe");
    EXPECT_NEAR(lower["volume"].get<double>(), 260 * 2 * half_w * 45 - 4 * pi * std::pow(s.pillar / 2, 2) * 45, 1e-6);

    const double zu = Zs + s.smzc / 2, zl = -H + 22.5;
    for (const auto &[x, y] : s.corners) {
        SCOPED_TRACE(testing::Message() << "hole at " << x << ", " << y);
        EXPECT_EQ(where(upper, x, y, zu), 2);
        EXPECT_EQ(where(upper, x + s.bushing / 2 - 0.05, y, zu), 2);
        EXPECT_EQ(where(upper, x + s.bushing / 2 + 0.05, y, zu), 1);
        EXPECT_EQ(where(lower, x, y, zl), 2);
        EXPECT_EQ(where(lower, x - s.pillar / 2 + 0.05, y, zl), 2);
        EXPECT_EQ(where(lower, x - s.pillar / 2 - 0.05, y, zl), 1);
    }
    // Shank bore through the upper shoe with a counterbore (mo_bing + 11) x 6 in its base.
    EXPECT_EQ(where(upper, 19.9, 0, Zs + s.smzc - 1), 2);
    EXPECT_EQ(where(upper, 20.1, 0, Zs + s.smzc - 1), 1);
    EXPECT_EQ(where(upper, 25.4, 0, Zs + 5.9), 2);
    EXPECT_EQ(where(upper, 25.4, 0, Zs + 6.1), 1);
    // Grooves of diameter 5 along the top face, out through the end faces beyond the holes.
    const double y = 50 + (s.index == 8 ? 40 : 30), top = Zs + s.smzc;
    for (const auto &[gx, gy] : std::vector<std::array<double, 2>>{{125, y}, {125, -y}, {-125, y}, {-125, -y}}) {
        EXPECT_EQ(where(upper, gx, gy, top - 2.4), 2) << gx << ", " << gy;
        EXPECT_EQ(where(upper, gx, gy, top - 2.6), 1) << gx << ", " << gy;
        EXPECT_EQ(where(upper, gx, gy + 2.6, top - 0.1), 1) << gx << ", " << gy;
    }
}

TEST_P(FlipdieSize, GuideSetsStandAtTheCornersFittedToTheStack) {
    const Size &s = GetParam();
    const Json report = play(rectangle_outline(), with(base_values(), {{"enum0", s.index}, {"SMZC", s.smzc}}));
    ASSERT_EQ(report["groups"].size(), 4u);
    // Builders 1 to 4 use corners 1, 3, 2 and 4 of the shoes.
    const int corner_of_builder[4] = {0, 2, 1, 3};
    for (int n = 1; n <= 4; ++n) {
        SCOPED_TRACE(testing::Message() << "set " << n);
        const Json &group = report["groups"][n - 1];
        EXPECT_EQ(group["file"], s.file);
        EXPECT_DOUBLE_EQ(expression(report, "L1'" + std::to_string(n)), s.L1);
        EXPECT_DOUBLE_EQ(expression(report, "L2'" + std::to_string(n)), s.L2);
        const auto [x, y] = s.corners[static_cast<std::size_t>(corner_of_builder[n - 1])];
        ASSERT_EQ(group["members"].size(), 2u);
        const Json &bushing = body_tagged(report, group["members"][0]);
        const Json &pillar = body_tagged(report, group["members"][1]);
        expect_bbox(bushing, {x - s.bushing / 2, y - s.bushing / 2, Zs, x + s.bushing / 2, y + s.bushing / 2,
                              Zs + s.k1 + s.L1}, "bushing");
        expect_bbox(pillar, {x - s.pillar / 2, y - s.pillar / 2, Zs - s.L2 - s.k2, x + s.pillar / 2,
                             y + s.pillar / 2, Zs + s.top}, "pillar");
        EXPECT_EQ(bushing["name"], "bushing");
        EXPECT_EQ(pillar["name"], "pillar");
    }
    EXPECT_TRUE(notes(report).empty());
}

INSTANTIATE_TEST_SUITE_P(Indexes, FlipdieSize, ::testing::ValuesIn(sizes),
                         [](const auto &info) { return "Index" + std::to_string(info.param.index); });

namespace {

// The flipdie library beside a copy of its dialog file with one more guide size member, so that
// the builders meet an index outside their tables.
class TenMemberDialog {
public:
    TenMemberDialog() {
        m_dir = fs::temp_directory_path() / ("diekit_flipdie_" + std::to_string(::getpid()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        fs::copy_file(fs::path(DIEKIT_PLUGIN_DIR) / "flipdie.so", m_dir / "flipdie.so");
        std::ifstream in(fs::path(DIEKIT_SOURCE_DIR) / "flipdie" / "flipdie.dlx");
        std::stringstream text;
        text << in.rdbuf();
        const std::string edited =
            std::regex_replace(text.str(), std::regex("<member>38X100</member>"), "$&<member>none</member>");
        EXPECT_NE(edited, text.str());
        std::ofstream(m_dir / "flipdie.dlx") << edited;
    }
    ~TenMemberDialog() { fs::remove_all(m_dir); }
    Json play(const Json &session) {
        diekit::model::Store::instance().set_echo(false);
        diekit::io::RunOptions options;
        options.plugin_dir = m_dir.string();
        return diekit::io::make_report(diekit::io::run_session_json(session, DIEKIT_SOURCE_DIR, options));
    }

private:
    fs::path m_dir;
};

}  // namespace

TEST(FlipdieGuideSize, AnIndexOutsideTheTablesBuildsNoShoeAndNoSetButStillRemovesParameters) {
    TenMemberDialog dialog;
    const Json report = dialog.play(session(rectangle_outline(), {step(with(base_values(), {{"enum0", 9}}))}));
    EXPECT_EQ(report["steps"][0]["results"], Json::array({0}));
    EXPECT_TRUE(scenario::bodies_of_color(report, 108).empty());
    EXPECT_TRUE(report["groups"].empty());
    EXPECT_TRUE(report["expressions"].empty());
    EXPECT_EQ(bodies(report).size(), 12u);
    for (const Json &b : report["bodies"]) EXPECT_FALSE(b["parametric"].get<bool>());
}

// A second Apply with a thicker upper shoe builds a second die over the first; the sets of the
// first Apply keep their lengths, only the new sets are fitted.
TEST(FlipdieGuideSize, ASecondApplyFitsOnlyItsOwnSets) {
    const Json report = scenario::play(session(
        rectangle_outline(), {step(base_values()), step(with(base_values(), {{"SMZC", 50}}))}));
    EXPECT_EQ(bodies(report).size(), 2u * (12 + 2 + 8));
    ASSERT_EQ(report["groups"].size(), 8u);
    for (int n = 1; n <= 8; ++n) {
        const double L1 = n <= 4 ? 15 : 25;
        EXPECT_DOUBLE_EQ(expression(report, "L1'" + std::to_string(n)), L1) << n;
        const Json &bushing = body_tagged(report, report["groups"][n - 1]["members"][0]);
        EXPECT_NEAR(bushing["bbox"][5].get<double>(), Zs + 25 + L1, 1e-6) << n;
    }
}

// Index 4 guides over 55: an upper shoe of exactly 55 gives "L1" = 0 and one of 40 gives -15. Each
// bushing still fills the shoe, its pillar ends 5 below the bushing's top, and with L1 < 0, where the
// guide is shorter than the set's, the designer is told once.
TEST(FlipdieGuideSize, AShoeNoThickerThanTheGuideLengthIsFilledByTheBushing) {
    for (double smzc : {55.0, 40.0}) {
        SCOPED_TRACE(testing::Message() << "SMZC = " << smzc);
        const Json report = play(rectangle_outline(), with(base_values(), {{"enum0", 4}, {"SMZC", smzc}}));
        EXPECT_EQ(report["steps"][0]["results"], Json::array({0}));
        for (const Json &line : report["log"]) {
            EXPECT_NE(line.get<std::string>().rfind("UF_MODL_update", 0), 0u) << line;
        }
        ASSERT_EQ(report["groups"].size(), 4u);
        for (int n = 1; n <= 4; ++n) {
            EXPECT_DOUBLE_EQ(expression(report, "L1'" + std::to_string(n)), smzc - 55);
            const Json &group = report["groups"][n - 1];
            EXPECT_NEAR(body_tagged(report, group["members"][0])["bbox"][5].get<double>(), Zs + smzc, 1e-6);
            EXPECT_NEAR(body_tagged(report, group["members"][1])["bbox"][5].get<double>(), Zs + smzc - 5, 1e-6);
            EXPECT_NEAR(body_tagged(report, group["members"][1])["bbox"][2].get<double>(), Zs - (H - 22.5) - 67.5, 1e-6);
        }
        const auto said = notes(report);
        ASSERT_EQ(said.size(), smzc < 55 ? 1u : 0u);
        for (const std::string &text : said) EXPECT_NE(text.find("guide length 55"), std::string::npos) << text;
    }
}

// A library without the guide sets: each import fails and is reported; no expression of an
// earlier set is touched, and the rest of the die is built.
TEST(FlipdieGuideSize, AMissingLibraryPartIsReportedAndEditsNothing) {
    const fs::path empty = fs::temp_directory_path() / ("diekit_flipdie_lib_" + std::to_string(::getpid()));
    fs::create_directories(empty / "STANDARD");
    Json s = session(rectangle_outline(), {step(base_values())});
    s["library"] = empty.string();
    const Json report = scenario::play(s);
    fs::remove_all(empty);
    EXPECT_EQ(report["steps"][0]["results"], Json::array({0}));
    EXPECT_EQ(notes(report).size(), 4u);
    for (const std::string &text : notes(report)) EXPECT_NE(text.find("16X100.prt"), std::string::npos) << text;
    EXPECT_TRUE(report["groups"].empty());
    EXPECT_EQ(scenario::bodies_of_color(report, 108).size(), 2u);
    for (const Json &line : report["log"]) EXPECT_EQ(line.get<std::string>().find("UF_MODL_edit_exp"), std::string::npos);
}
