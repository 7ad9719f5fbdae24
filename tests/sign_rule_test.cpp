// The sign rule of blocks, cylinders and extrusions: 1 unites with, 2 subtracts from the body made
// most recently by a sign-0 feature when the new feature touches it; otherwise 1 makes a new body and
// 2 is an error that changes nothing.
#include "ops_helpers.hpp"

using namespace ops;

using SignRuleTest = HostTest;

TEST_F(SignRuleTest, SignOneJoinsTheLastNewBodyWhenOverlappingOrOnlyTouching) {
    tag_t plate = body_of(block({0, 0, 0}, 20, 20, 10));
    tag_t feature = NULL_TAG;
    ASSERT_EQ(cylinder({10, 10, 5}, {0, 0, 1}, 15, 6, 1, feature), 0) << last_log();
    EXPECT_EQ(body_of(feature), plate);
    EXPECT_NEAR(volume(plate), 4000 + pi * 9 * 15 - pi * 9 * 5, 1e-6);  // sum minus the overlap
    // Standing on the top face: touching is enough.
    ASSERT_EQ(cylinder({3, 3, 10}, {0, 0, 1}, 3, 2, 1, feature), 0) << last_log();
    EXPECT_EQ(body_of(feature), plate);
    EXPECT_EQ(lumps(plate), 1);
    EXPECT_NEAR(volume(plate), 4000 + pi * 9 * 10 + pi * 3, 1e-6);
    EXPECT_EQ(body_count(), 1u);
}

TEST_F(SignRuleTest, SignTwoSubtractsFromTheLastNewBodyAndIsRefusedWhenNothingIsTouched) {
    tag_t plate = body_of(block({0, 0, 0}, 20, 20, 10));
    tag_t feature = NULL_TAG;
    ASSERT_EQ(cylinder({10, 10, -1}, {0, 0, 1}, 12, 6, 2, feature), 0) << last_log();
    EXPECT_EQ(body_of(feature), plate);
    EXPECT_NEAR(volume(plate), 4000 - pi * 9 * 10, 1e-6);

    feature = 99;
    EXPECT_EQ(cylinder({100, 100, 0}, {0, 0, 1}, 5, 5, 2, feature), diekit::kErrNoTarget);
    EXPECT_EQ(feature, NULL_TAG);
    EXPECT_EQ(body_count(), 1u);
    EXPECT_NEAR(volume(plate), 4000 - pi * 9 * 10, 1e-6);

    // A cut that would leave nothing is refused as well.
    std::string s = text(40);
    char *lengths[3] = {s.data(), s.data(), s.data()};
    double corner[3] = {-10, -10, -10};
    EXPECT_EQ(UF_MODL_create_block1(UF_NEGATIVE, corner, lengths, &feature), diekit::kErrEmptyResult);
    EXPECT_EQ(feature, NULL_TAG);
    EXPECT_NEAR(volume(plate), 4000 - pi * 9 * 10, 1e-6);
}

TEST_F(SignRuleTest, OnlyTheMostRecentSignZeroBodyIsATarget) {
    tag_t first = body_of(block({0, 0, 0}, 10, 10, 10));
    tag_t second = body_of(block({50, 0, 0}, 10, 10, 10));
    tag_t feature = NULL_TAG;
    // Into the first block, which is no longer the most recent new body.
    EXPECT_EQ(cylinder({5, 5, -1}, {0, 0, 1}, 12, 4, 2, feature), diekit::kErrNoTarget);
    EXPECT_NEAR(volume(first), 1000, 1e-9);

    // Sign 1 away from the target makes a new body, which does not become the target.
    ASSERT_EQ(cylinder({100, 0, 0}, {0, 0, 1}, 10, 4, 1, feature), 0) << last_log();
    tag_t loose = body_of(feature);
    EXPECT_NE(loose, second);
    EXPECT_EQ(body_count(), 3u);
    EXPECT_NEAR(volume(loose), pi * 4 * 10, 1e-6);
    EXPECT_EQ(store().last_new_body(), second);
    EXPECT_EQ(cylinder({100, 0, -1}, {0, 0, 1}, 12, 2, 2, feature), diekit::kErrNoTarget);
    EXPECT_NEAR(volume(loose), pi * 4 * 10, 1e-6);

    // Once the target is consumed by a boolean, sign 1 makes a new body again.
    tag_t cut = NULL_TAG;
    ASSERT_EQ(UF_MODL_subtract_bodies_with_retained_options(first, second, false, false, &cut), 0);
    ASSERT_EQ(cylinder({55, 5, 10}, {0, 0, 1}, 5, 2, 1, feature), 0) << last_log();
    EXPECT_EQ(body_count(), 3u);
    EXPECT_NEAR(volume(body_of(feature)), pi * 5, 1e-6);
}

TEST_F(SignRuleTest, BuilderChainsOfSignedBlocksCylindersAndExtrusions) {
    // Die shank: collar (sign 0), shank (sign 1) and bore (sign 2) end as one body.
    tag_t collar = NULL_TAG, shank = NULL_TAG, bore = NULL_TAG;
    ASSERT_EQ(cylinder({0, 0, 60}, {0, 0, 1}, 6, 40, 0, collar), 0);
    ASSERT_EQ(cylinder({0, 0, 60}, {0, 0, 1}, 90, 30, 1, shank), 0);
    ASSERT_EQ(cylinder({0, 0, 60}, {0, 0, 1}, 90, 11, 2, bore), 0);
    tag_t body = body_of(collar);
    EXPECT_EQ(body_of(shank), body);
    EXPECT_EQ(body_of(bore), body);
    EXPECT_NEAR(volume(body), pi * (400 * 6 + 225 * 84 - 30.25 * 90), 1e-5);
    expect_box(body, {-20, -20, 60, 20, 20, 150});

    // Hollow backing plate: block, then a sign-2 block opening in it.
    tag_t plate = body_of(block({-100, -50, 20}, 200, 100, 15));
    tag_t opening = block({-20, -10, 20}, 40, 20, 15, 2);
    EXPECT_EQ(body_of(opening), plate);
    EXPECT_NEAR(volume(plate), 15 * (20000 - 800), 1e-6);

    // Stripper plate: block, then the outline extruded with sign 2 through it; sign 1 adds a boss.
    tag_t stripper = body_of(block({-100, -50, -15}, 200, 100, 15));
    auto outline = polygon({{-10, -5}, {10, -5}, {10, 5}, {-10, 5}});
    tag_t cut = NULL_TAG, boss = NULL_TAG;
    ASSERT_EQ(extrude(outline, -15, 15, {0, 0, 1}, 2, cut), 0) << last_log();
    EXPECT_EQ(body_of(cut), stripper);
    EXPECT_NEAR(volume(stripper), 15 * (20000 - 200), 1e-6);
    auto square = polygon({{50, 0}, {60, 0}, {60, 10}, {50, 10}});
    ASSERT_EQ(extrude(square, 0, 5, {0, 0, 1}, 1, boss), 0) << last_log();
    EXPECT_EQ(body_of(boss), stripper);
    EXPECT_NEAR(volume(stripper), 15 * (20000 - 200) + 500, 1e-6);
    EXPECT_EQ(body_count(), 3u);
}
