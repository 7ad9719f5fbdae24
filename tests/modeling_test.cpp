// The host's modelling contract: exact boxes, retained booleans and tags, chamfers on chosen edges,
// feature edges, parameter removal, object cycling, blocks along a turned WCS, point mapping.
#include "host_fixture.hpp"

#include <uf_csys.h>
#include <uf_modl.h>
#include <uf_mtx.h>
#include <uf_obj.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

class ModelingTest : public HostTest {
protected:
    tag_t block(double x, double y, double z, const char *dx, const char *dy, const char *dz) {
        double corner[3] = {x, y, z};
        std::string a = dx, b = dy, c = dz;
        char *len[3] = {a.data(), b.data(), c.data()};
        tag_t feature = 0, body = 0;
        EXPECT_EQ(UF_MODL_create_block1(UF_NULLSIGN, corner, len, &feature), 0);
        EXPECT_EQ(UF_MODL_ask_feat_body(feature, &body), 0);
        return body;
    }
    std::vector<double> box(tag_t object) {
        double b[6];
        EXPECT_EQ(UF_MODL_ask_bounding_box(object, b), 0);
        return {b, b + 6};
    }
    double volume(tag_t body) { return diekit::kernel::volume(store().body(body).shape); }
};

TEST_F(ModelingTest, BoxesAreExactSoThatTruncationKeepsWholeSizes) {
    auto b = box(block(-5.35, -3.1, 0, "10.700000", "6.200000", "25.000000"));
    EXPECT_NEAR(b[3] - b[0], 10.7, 1e-9);
    EXPECT_NEAR(b[4] - b[1], 6.2, 1e-9);
    auto exact = box(block(1.3, 0, 0, "14.000000", "3", "3"));
    EXPECT_EQ(std::trunc(exact[3] - exact[0]), 14.0);
}

TEST_F(ModelingTest, RetainedTargetMakesANewBodyAndAConsumedToolIsDeleted) {
    tag_t plate = block(0, 0, 0, "100", "50", "10");
    tag_t tool = block(10, 10, -5, "20", "20", "30");
    tag_t feature = 0, insert = 0;
    ASSERT_EQ(UF_MODL_intersect_bodies_with_retained_options(plate, tool, true, false, &feature), 0);
    ASSERT_EQ(UF_MODL_ask_feat_body(feature, &insert), 0);
    EXPECT_NE(insert, plate);
    EXPECT_NEAR(volume(insert), 20 * 20 * 10, 1e-6);
    EXPECT_NEAR(volume(plate), 100 * 50 * 10, 1e-6) << "a retained target stays as it was";
    EXPECT_EQ(store().find(tool), nullptr) << "the tool was not retained";

    ASSERT_EQ(UF_MODL_subtract_bodies_with_retained_options(plate, insert, false, true, &feature), 0);
    tag_t result = 0;
    UF_MODL_ask_feat_body(feature, &result);
    EXPECT_EQ(result, plate) << "the target keeps its tag";
    EXPECT_NEAR(volume(plate) + volume(insert), 100 * 50 * 10, 1e-6);
    EXPECT_NE(store().find(insert), nullptr);
}

TEST_F(ModelingTest, BooleanThatLeavesNothingIsAnErrorAndChangesNothing) {
    tag_t a = block(0, 0, 0, "10", "10", "10");
    tag_t b = block(50, 0, 0, "10", "10", "10");
    tag_t feature = 7;
    EXPECT_EQ(UF_MODL_intersect_bodies_with_retained_options(a, b, false, false, &feature), diekit::kErrEmptyResult);
    EXPECT_EQ(feature, NULL_TAG);
    EXPECT_NEAR(volume(a), 1000, 1e-9);
    EXPECT_NE(store().find(b), nullptr);
}

TEST_F(ModelingTest, ChamferTakesExactlyTheEdgesThatHoldTheCornerPoints) {
    double corner[3] = {0, 0, 0};
    char l[] = "20", w[] = "10", h[] = "5";
    char *len[3] = {l, w, h};
    tag_t feature = 0, body = 0;
    UF_MODL_create_block1(UF_NULLSIGN, corner, len, &feature);
    UF_MODL_ask_feat_body(feature, &body);
    uf_list_p_t edges = nullptr, chosen = nullptr;
    ASSERT_EQ(UF_MODL_ask_feat_edges(feature, &edges), 0);
    int count = 0;
    UF_MODL_ask_list_count(edges, &count);
    EXPECT_EQ(count, 12);
    UF_MODL_create_list(&chosen);
    double corners[2][3] = {{20, 10, 2.5}, {0, 0, 2.5}};
    for (int i = 0; i < count; ++i) {
        tag_t edge = 0;
        UF_MODL_ask_list_item(edges, i, &edge);
        for (auto &p : corners) {
            int status = 0;
            ASSERT_EQ(UF_MODL_ask_point_containment(p, edge, &status), 0);
            if (status == 1) UF_MODL_put_list_item(chosen, edge);
        }
    }
    UF_MODL_ask_list_count(chosen, &count);
    ASSERT_EQ(count, 2);
    char d[] = "1.000000", angle[] = "45";
    tag_t chamfer = 0;
    ASSERT_EQ(UF_MODL_create_chamfer(1, d, d, angle, chosen, &chamfer), 0);
    EXPECT_NEAR(volume(body), 20 * 10 * 5 - 2 * 0.5 * 5, 1e-9);
    EXPECT_EQ(diekit::kernel::faces(store().body(body).shape).size(), 8u);
    // The edge tags of the old shape are stale now; the block feature still finds its edges.
    tag_t old_edge = 0;
    UF_MODL_ask_list_item(edges, 0, &old_edge);
    int status = 0;
    EXPECT_EQ(UF_MODL_ask_point_containment(corners[0], old_edge, &status), diekit::kErrStaleTag);
    uf_list_p_t after = nullptr;
    ASSERT_EQ(UF_MODL_ask_feat_edges(feature, &after), 0);
    UF_MODL_ask_list_count(after, &count);
    EXPECT_EQ(count, 10) << "the two chamfered corner edges are no longer the block's";
    uf_list_p_t empty = nullptr;
    UF_MODL_create_list(&empty);
    EXPECT_NE(UF_MODL_create_chamfer(1, d, d, angle, empty, &chamfer), 0);
    EXPECT_EQ(chamfer, NULL_TAG);
    for (auto *l : {&edges, &chosen, &after, &empty}) EXPECT_EQ(UF_MODL_delete_list(l), 0);
}

TEST_F(ModelingTest, ParameterRemovalMakesBodiesPlainAndForgetsTheirFeatures) {
    double corner[3] = {0, 0, 0};
    char l[] = "3";
    char *len[3] = {l, l, l};
    tag_t feature = 0, body = 0;
    UF_MODL_create_block1(UF_NULLSIGN, corner, len, &feature);
    UF_MODL_ask_feat_body(feature, &body);
    EXPECT_TRUE(store().body(body).parametric);
    uf_list_p_t list = nullptr;
    UF_MODL_create_list(&list);
    UF_MODL_put_list_item(list, body);
    ASSERT_EQ(UF_MODL_delete_object_parms(list), 0);
    EXPECT_FALSE(store().body(body).parametric);
    tag_t again = 0;
    EXPECT_EQ(UF_MODL_ask_feat_body(feature, &again), diekit::kErrStaleTag);
    UF_MODL_delete_list(&list);
}

TEST_F(ModelingTest, CyclingSolidsVisitsBodiesInCreationOrderAndSkipsDeletedOnes) {
    tag_t a = block(0, 0, 0, "1", "1", "1");
    tag_t b = block(5, 0, 0, "1", "1", "1");
    tag_t c = block(9, 0, 0, "1", "1", "1");
    UF_OBJ_delete_object(b);
    std::vector<tag_t> seen;
    tag_t object = NULL_TAG;
    do {
        ASSERT_EQ(UF_OBJ_cycle_objs_in_part(store().part(), UF_solid_type, &object), 0);
        if (object) {
            int type = 0, subtype = 0;
            UF_OBJ_ask_type_and_subtype(object, &type, &subtype);
            if (subtype == UF_solid_body_subtype) seen.push_back(object);
        }
    } while (object != NULL_TAG);
    EXPECT_EQ(seen, (std::vector<tag_t>{a, c}));
}

TEST_F(ModelingTest, BlocksFollowATurnedWcsAndPointsMapBothWays) {
    double z[3] = {0, 0, 1}, m[9];
    ASSERT_EQ(UF_MTX3_rotate_about_axis(z, M_PI / 6, m), 0);
    EXPECT_NEAR(m[0], std::cos(M_PI / 6), 1e-15);
    EXPECT_NEAR(m[1], -std::sin(M_PI / 6), 1e-15);
    EXPECT_NEAR(m[3], std::sin(M_PI / 6), 1e-15);
    double x_axis[3] = {m[0], m[1], m[2]}, y_axis[3] = {m[3], m[4], m[5]}, frame[9];
    ASSERT_EQ(UF_MTX3_initialize(x_axis, y_axis, frame), 0);
    tag_t matrix = 0, csys = 0;
    ASSERT_EQ(UF_CSYS_create_matrix(frame, &matrix), 0);
    double origin[3] = {10, 5, 0};
    ASSERT_EQ(UF_CSYS_create_temp_csys(origin, matrix, &csys), 0);
    ASSERT_EQ(UF_CSYS_set_wcs(csys), 0);
    double local[3] = {2, 3, 4}, absolute[3], back[3];
    ASSERT_EQ(UF_CSYS_map_point(UF_CSYS_ROOT_WCS_COORDS, local, UF_CSYS_ROOT_COORDS, absolute), 0);
    EXPECT_NEAR(absolute[0], 10 + 2 * m[0] + 3 * m[3], 1e-12);
    EXPECT_NEAR(absolute[1], 5 + 2 * m[1] + 3 * m[4], 1e-12);
    EXPECT_NEAR(absolute[2], 4, 1e-12);
    ASSERT_EQ(UF_CSYS_map_point(UF_CSYS_ROOT_COORDS, absolute, UF_CSYS_ROOT_WCS_COORDS, back), 0);
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(back[i], local[i], 1e-12);
    // A 20 x 10 block along the turned axes: its absolute box is the rotated rectangle's.
    auto b = box(block(origin[0], origin[1], 0, "20", "10", "1"));
    double c = std::cos(M_PI / 6), s = std::sin(M_PI / 6);
    EXPECT_NEAR(b[3] - b[0], 20 * c + 10 * s, 1e-9);
    EXPECT_NEAR(b[4] - b[1], 20 * s + 10 * c, 1e-9);
    double parallel[3] = {2, 0, 0};
    EXPECT_EQ(UF_MTX3_initialize(x_axis, x_axis, frame), diekit::kErrBadValue);
    EXPECT_EQ(UF_MTX3_initialize(parallel, parallel, frame), diekit::kErrBadValue);
}

TEST_F(ModelingTest, MemoryHandedOutIsReleasedOnceAndForeignPointersAreRefused) {
    std::size_t before = store().live_allocations();
    tag_t *exps = nullptr;
    int count = -1;
    ASSERT_EQ(UF_MODL_ask_exps_of_part(store().part(), &count, &exps), 0);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(store().live_allocations(), before + 1);
    UF_free(exps);
    EXPECT_EQ(store().live_allocations(), before);
    std::size_t lines = store().log_lines().size();
    int local = 0;
    UF_free(&local);
    EXPECT_EQ(store().log_lines().size(), lines + 1) << "a foreign pointer is logged, not freed";
}

}  // namespace
