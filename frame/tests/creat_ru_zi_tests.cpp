// flatinsert's straight insert builder on box geometry, run through the dialog like a designer.
#include <cmath>
#include <set>
#include <utility>

#include "plugin_runner.hpp"

using runner::PluginTest;
using runner::run;
using namespace fake;

namespace {

// Die plate 100 x 80 x 20 centred on the origin, top at z = 20.
const Box plate_box{{-50, -40, 0}, {50, 40, 20}};
// Punch with a 10.7 x 6.2 section running through the plate.
const Box shank{{3.0, -2.0, -10}, {13.7, 4.2, 40}};

class InsertTest : public PluginTest {
protected:
    tag_t plate = NULL_TAG;
    void SetUp() override {
        PluginTest::SetUp();
        plate = add_body({plate_box}, 100);
    }
    void build(std::vector<tag_t> punches, std::vector<tag_t> plates, std::vector<Step> extra = {}) {
        std::vector<Step> script = {select("bodySelect0", std::move(punches)), select("bodySelect01", std::move(plates))};
        script.insert(script.end(), extra.begin(), extra.end());
        script.push_back(press("apply"));
        run("flatinsert", script);
    }
    std::vector<tag_t> inserts() const {
        std::vector<tag_t> found;
        for (tag_t t : live_bodies())
            if (host().objects[t].color == 181) found.push_back(t);
        return found;
    }
};

void expect_box(const Box &expected, const Box &actual) {
    for (int k = 0; k < 3; ++k) {
        EXPECT_NEAR(expected.lo[k], actual.lo[k], 1e-9) << "lo " << k;
        EXPECT_NEAR(expected.hi[k], actual.hi[k], 1e-9) << "hi " << k;
    }
}

}  // namespace

// Section 10.7 x 6.2 with c = 2: a 14 x 10 insert centred on the section (margins 1.65 and 1.9).
// A head wider than the shank outside the plate widens the search box but not the insert.
TEST_F(InsertTest, InsertIsWholeMillimetreSectionPlusMarginCentredOnTheSection) {
    const Box head{{0, -5, 40}, {17, 8, 50}};
    for (const bool with_head : {false, true}) {
        SCOPED_TRACE(with_head ? "punch with wide head" : "plain punch");
        SetUp();
        std::vector<Box> punch_boxes{shank};
        if (with_head) punch_boxes.push_back(head);
        const tag_t punch = add_body(punch_boxes);
        build({punch}, {plate});

        ASSERT_EQ(2u, host().blocks_made.size());
        const BlockCall &search = host().blocks_made[0];
        EXPECT_EQ(with_head ? "21.000000" : "14.000000", search.lengths[0]);
        EXPECT_EQ(with_head ? "17.000000" : "10.000000", search.lengths[1]);
        EXPECT_EQ("20.000000", search.lengths[2]);
        EXPECT_NEAR(0.0, search.corner[2], 1e-12);

        const BlockCall &insert_box = host().blocks_made[1];
        EXPECT_EQ((std::array<std::string, 3>{"14.000000", "10.000000", "20.000000"}), insert_box.lengths);
        EXPECT_NEAR(8.35 - 7, insert_box.corner[0], 1e-9);
        EXPECT_NEAR(1.1 - 5, insert_box.corner[1], 1e-9);

        const std::vector<tag_t> made = inserts();
        ASSERT_EQ(1u, made.size());
        expect_box(Box{{1.35, -3.9, 0}, {15.35, 6.1, 20}}, bounds(made[0]));
        EXPECT_NEAR(14 * 10 * 20, volume(made[0]), 1e-6);
        EXPECT_NEAR(100 * 80 * 20 - 14 * 10 * 20, volume(plate), 1e-6);
        // Search box and section are gone; punch, plate and insert remain.
        EXPECT_EQ((std::vector<tag_t>{plate, punch, made[0]}), live_bodies());
        EXPECT_EQ(0, host().live_lists);
        EXPECT_EQ(3, host().max_bracket_depth);
        EXPECT_EQ(0, host().bracket_depth);
        EXPECT_EQ(std::vector<int>{0}, host().results);
    }
}

// Toggle k chamfers the vertical edge through its corner: toggle0 (x max, y max), toggle01
// (x max, y min), toggle02 (x min, y max), toggle03 (x min, y min).
TEST_F(InsertTest, CornerTogglesChooseTheirVerticalEdges) {
    const double x0 = 1.35, y0 = -3.9, x1 = 15.35, y1 = 6.1;
    const std::vector<std::pair<double, double>> corner = {{x1, y1}, {x1, y0}, {x0, y1}, {x0, y0}};
    const std::vector<std::string> toggles = {"toggle0", "toggle01", "toggle02", "toggle03"};
    for (int mask = 0; mask < 16; ++mask) {
        SCOPED_TRACE("toggle mask " + std::to_string(mask));
        SetUp();
        const tag_t punch = add_body({shank});
        std::vector<Step> steps{set_value("expression01", 1.5)};
        for (int k = 0; k < 4; ++k)
            if (mask & (1 << k)) steps.push_back(set_logical(toggles[k], true));
        build({punch}, {plate}, steps);

        ASSERT_EQ(1u, host().chamfers.size());
        const Chamfer &c = host().chamfers[0];
        EXPECT_EQ(1, c.subtype);
        EXPECT_EQ("1.500000", c.offset1);
        EXPECT_EQ("1.500000", c.offset2);
        EXPECT_EQ("45", c.angle);
        std::set<std::pair<double, double>> chosen;
        for (tag_t e : c.edges) {
            const Object &edge = host().objects[e];
            EXPECT_EQ(edge.p0[0], edge.p1[0]);
            EXPECT_EQ(edge.p0[1], edge.p1[1]);
            EXPECT_EQ(0.0, edge.p0[2]);
            EXPECT_EQ(20.0, edge.p1[2]);
            chosen.insert({edge.p0[0], edge.p0[1]});
        }
        std::set<std::pair<double, double>> wanted;
        for (int k = 0; k < 4; ++k)
            if (mask & (1 << k)) wanted.insert(corner[k]);
        EXPECT_EQ(wanted.size(), c.edges.size());
        for (const auto &[x, y] : wanted) {
            bool found = false;
            for (const auto &[cx, cy] : chosen) found |= std::fabs(cx - x) < 1e-9 && std::fabs(cy - y) < 1e-9;
            EXPECT_TRUE(found) << x << ", " << y;
        }
        EXPECT_EQ(1u, inserts().size());  // a refused (empty) chamfer still leaves the insert
    }
}

TEST_F(InsertTest, SeveralPunchesPocketTheSamePlateOncePerPunch) {
    const tag_t left = add_body({Box{{-30, -5, -10}, {-20, 5, 40}}});    // 10 x 10 -> 14 x 14
    const tag_t right = add_body({Box{{20, -3, -10}, {32.5, 3, 40}}});   // 12.5 x 6 -> 16 x 10
    build({left, right}, {plate});
    const std::vector<tag_t> made = inserts();
    ASSERT_EQ(2u, made.size());
    expect_box(Box{{-32, -7, 0}, {-18, 7, 20}}, bounds(made[0]));
    expect_box(Box{{18.25, -5, 0}, {34.25, 5, 20}}, bounds(made[1]));
    EXPECT_NEAR(100 * 80 * 20 - (14 * 14 + 16 * 10) * 20, volume(plate), 1e-6);
    EXPECT_EQ(0, host().live_lists);
}

TEST_F(InsertTest, MissingSelectionsBuildNothing) {
    const tag_t punch = add_body({shank});
    build({punch}, {});
    EXPECT_TRUE(host().blocks_made.empty());
    EXPECT_EQ(std::vector<std::string>{"flatinsert: select a die plate; no insert was built"}, host().notes);

    SetUp();
    build({}, {plate});
    EXPECT_TRUE(host().blocks_made.empty());
    EXPECT_TRUE(host().notes.empty());
    EXPECT_EQ(1u, host().parms_removed.size());  // the removal after it still runs
}

// A corner toggle that cannot be read ends the builder with the frame's report; its lists are
// released, the bracket is closed and the parameter removal after it still runs.
TEST_F(InsertTest, ExceptionIsReportedAndTheRestOfApplyRuns) {
    const tag_t punch = add_body({shank});
    host().failing_blocks.insert("toggle02");
    build({punch}, {plate});
    ASSERT_EQ(1u, host().boxes.size());
    EXPECT_EQ("Block Styler", host().boxes[0].title);
    EXPECT_EQ(0, host().boxes[0].type);
    EXPECT_NE(std::string::npos, host().boxes[0].text.find("toggle02"));
    EXPECT_TRUE(host().chamfers.empty());
    EXPECT_EQ(0, host().live_lists);
    EXPECT_EQ(0, host().bracket_depth);
    EXPECT_EQ(1u, host().parms_removed.size());
    EXPECT_EQ(std::vector<int>{0}, host().results);
}
