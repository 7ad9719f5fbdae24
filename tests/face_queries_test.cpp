// Host queries the inclined builders rely on: face ranges and properties, line data of edges, boxes
// aligned with a coordinate system, rotation rows and the WCS, interference.
#include "ops_helpers.hpp"

#include <uf_csys.h>
#include <uf_curve.h>
#include <uf_modl.h>
#include <uf_mtx.h>

#include <cmath>

using namespace diekit;
using namespace ops;

namespace {

using FaceQueryTest = HostTest;

// The face of the body on which the point lies (NULL_TAG when none).
tag_t face_at(tag_t body, Vec3 p) {
    uf_list_p_t faces = nullptr;
    EXPECT_EQ(UF_MODL_ask_body_faces(body, &faces), 0);
    int count = 0;
    UF_MODL_ask_list_count(faces, &count);
    tag_t found = NULL_TAG;
    double point[3] = {p.x, p.y, p.z};
    for (int i = 0; i < count; ++i) {
        tag_t face = NULL_TAG;
        int status = 0;
        UF_MODL_ask_list_item(faces, i, &face);
        UF_MODL_ask_point_containment(point, face, &status);
        if (status == 1) found = face;
    }
    UF_MODL_delete_list(&faces);
    return found;
}

struct Props {
    int status = -1;
    double point[3], u1[3], v1[3], u2[3], v2[3], normal[3], radii[2];
};

// Properties at the middle of the face's parameter ranges, as the inclined insert builder asks.
Props props_at_middle(tag_t face) {
    double uv[4] = {};
    EXPECT_EQ(UF_MODL_ask_face_uv_minmax(face, uv), 0);
    Props p;
    double param[2] = {(uv[0] + uv[1]) / 2, (uv[2] + uv[3]) / 2};
    p.status = UF_MODL_ask_face_props(face, param, p.point, p.u1, p.v1, p.u2, p.v2, p.normal, p.radii);
    return p;
}

void expect_vec(const double actual[3], Vec3 expected, double tolerance, const char *what) {
    EXPECT_NEAR(actual[0], expected.x, tolerance) << what;
    EXPECT_NEAR(actual[1], expected.y, tolerance) << what;
    EXPECT_NEAR(actual[2], expected.z, tolerance) << what;
}

double length(const double v[3]) { return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]); }

// The WCS turned by theta about +Z at origin, as the inclined builders make it.
tag_t turn_wcs(double theta, Vec3 origin) {
    double axis[3] = {0, 0, 1}, mtx[9], o[3] = {origin.x, origin.y, origin.z};
    tag_t matrix = NULL_TAG, csys = NULL_TAG;
    EXPECT_EQ(UF_MTX3_rotate_about_axis(axis, theta, mtx), 0);
    EXPECT_EQ(UF_CSYS_create_matrix(mtx, &matrix), 0);
    EXPECT_EQ(UF_CSYS_create_temp_csys(o, matrix, &csys), 0);
    EXPECT_EQ(UF_CSYS_set_wcs(csys), 0);
    return csys;
}

TEST_F(FaceQueryTest, PlaneFaceRangesSpanItsSidesAndItsMiddleIsExact) {
    const tag_t body = body_of(block({1, 2, 3}, 10.7, 6.2, 4));
    const tag_t top = face_at(body, {6, 5, 7});
    double uv[4] = {};
    ASSERT_EQ(UF_MODL_ask_face_uv_minmax(top, uv), 0);
    const double du = uv[1] - uv[0], dv = uv[3] - uv[2];
    EXPECT_NEAR(std::max(du, dv), 10.7, 1e-9);
    EXPECT_NEAR(std::min(du, dv), 6.2, 1e-9);
    const Props p = props_at_middle(top);
    ASSERT_EQ(p.status, 0);
    expect_vec(p.point, {6.35, 5.1, 7}, 1e-9, "middle of the top face");
    expect_vec(p.normal, {0, 0, 1}, 1e-12, "outward normal");
    EXPECT_NEAR(p.u1[0] * p.v1[0] + p.u1[1] * p.v1[1], 0, 1e-12);
    EXPECT_EQ(length(p.u2) + length(p.v2) + p.radii[0] + p.radii[1], 0.0) << "a plane has no curvature";
    expect_vec(props_at_middle(face_at(body, {6, 5, 3})).normal, {0, 0, -1}, 1e-12, "the bottom faces down");
}

TEST_F(FaceQueryTest, CylinderRadiusIsPositiveOnAPunchAndNegativeInAHole) {
    tag_t feature = NULL_TAG;
    ASSERT_EQ(cylinder({0, 0, 0}, {0, 0, 1}, 10, 8, 0, feature), 0);
    const tag_t punch = body_of(feature);
    const Props p = props_at_middle(face_at(punch, {4, 0, 5}));
    ASSERT_EQ(p.status, 0);
    const Vec3 radial{p.point[0] / 4, p.point[1] / 4, 0};
    EXPECT_NEAR(std::hypot(p.point[0], p.point[1]), 4, 1e-12);
    expect_vec(p.normal, radial, 1e-12, "normal away from the axis");
    EXPECT_NEAR(p.radii[0], 4, 1e-9);
    EXPECT_EQ(p.radii[1], 0.0) << "straight along the axis";
    const double *bent = length(p.u2) > length(p.v2) ? p.u2 : p.v2;
    expect_vec(bent, {-4 * radial.x, -4 * radial.y, 0}, 1e-9, "second derivative towards the axis");

    const tag_t plate = body_of(block({-10, -10, 2}, 20, 20, 5));
    tag_t cut = NULL_TAG;
    ASSERT_EQ(UF_MODL_subtract_bodies_with_retained_options(plate, punch, false, true, &cut), 0);
    const Props h = props_at_middle(face_at(plate, {4, 0, 4}));
    ASSERT_EQ(h.status, 0);
    EXPECT_NEAR(h.radii[0], -4, 1e-9);
    expect_vec(h.normal, {-h.point[0] / 4, -h.point[1] / 4, 0}, 1e-12, "hole wall faces the axis");
}

TEST_F(FaceQueryTest, FaceQueriesRefuseBadArgumentsWithZeroOutputs) {
    const tag_t body = body_of(block({0, 0, 0}, 10, 10, 10));
    const tag_t top = face_at(body, {5, 5, 10});
    double uv[4] = {};
    ASSERT_EQ(UF_MODL_ask_face_uv_minmax(top, uv), 0);
    Props p;
    p.point[0] = p.radii[0] = 9;
    double outside[2] = {uv[1] + 1, uv[2]}, corner[2] = {uv[0], uv[3]}, nan_uv[2] = {std::nan(""), uv[2]};
    auto props = [&](tag_t face, double *param, double *radii) {
        return UF_MODL_ask_face_props(face, param, p.point, p.u1, p.v1, p.u2, p.v2, p.normal, radii);
    };
    EXPECT_EQ(props(top, outside, p.radii), kErrBadValue);
    EXPECT_EQ(p.point[0] + p.radii[0], 0.0);
    EXPECT_EQ(props(top, nan_uv, p.radii), kErrBadValue);
    EXPECT_EQ(props(top, corner, p.radii), 0) << "the ends of the ranges are on the face";
    EXPECT_EQ(props(top, corner, nullptr), kErrNullArgument);
    EXPECT_EQ(props(top, nullptr, p.radii), kErrNullArgument);
    EXPECT_EQ(props(body, corner, p.radii), kErrWrongKind);

    double ranges[4] = {1, 2, 3, 4};
    EXPECT_EQ(UF_MODL_ask_face_uv_minmax(NULL_TAG, ranges), kErrNullTag);
    EXPECT_EQ(ranges[0] + ranges[1] + ranges[2] + ranges[3], 0.0);
    EXPECT_EQ(UF_MODL_ask_face_uv_minmax(body, ranges), kErrWrongKind);
    EXPECT_EQ(UF_MODL_ask_face_uv_minmax(top, nullptr), kErrNullArgument);
    tag_t cut = NULL_TAG;
    ASSERT_EQ(UF_MODL_subtract_bodies_with_retained_options(body, body_of(block({2, 2, 8}, 2, 2, 5)), false, false, &cut), 0);
    EXPECT_EQ(UF_MODL_ask_face_uv_minmax(top, ranges), kErrStaleTag) << "the body has changed since";
}

TEST_F(FaceQueryTest, LineDataOfStraightEdgesAndLinesRefusalOfRoundEdges) {
    const tag_t body = body_of(block({0, 0, 0}, 20, 8, 5));
    uf_list_p_t edges = nullptr;
    ASSERT_EQ(UF_MODL_ask_face_edges(face_at(body, {10, 4, 5}), &edges), 0);
    int count = 0;
    UF_MODL_ask_list_count(edges, &count);
    ASSERT_EQ(count, 4);
    double perimeter = 0;
    for (int i = 0; i < count; ++i) {
        tag_t edge = NULL_TAG;
        UF_MODL_ask_list_item(edges, i, &edge);
        UF_CURVE_line_t line{};
        ASSERT_EQ(UF_CURVE_ask_line_data(edge, &line), 0);
        for (const double *p : {line.start_point, line.end_point})
            EXPECT_TRUE((p[0] == 0 || p[0] == 20) && (p[1] == 0 || p[1] == 8) && p[2] == 5) << "a corner of the top";
        perimeter += std::hypot(line.end_point[0] - line.start_point[0], line.end_point[1] - line.start_point[1]);
    }
    EXPECT_NEAR(perimeter, 56, 1e-12);
    UF_MODL_delete_list(&edges);

    UF_CURVE_line_t data{};
    ASSERT_EQ(UF_CURVE_ask_line_data(line({1, 2, 3}, {4, 6, 3}), &data), 0);
    expect_vec(data.start_point, {1, 2, 3}, 0, "line start");
    expect_vec(data.end_point, {4, 6, 3}, 0, "line end");

    tag_t cyl = NULL_TAG;
    ASSERT_EQ(cylinder({50, 0, 0}, {0, 0, 1}, 5, 6, 0, cyl), 0);
    const tag_t cap = face_at(body_of(cyl), {50, 0, 5});
    ASSERT_EQ(UF_MODL_ask_face_edges(cap, &edges), 0);
    tag_t round = NULL_TAG;
    UF_MODL_ask_list_item(edges, 0, &round);
    UF_MODL_delete_list(&edges);
    UF_CURVE_line_t stale{{7, 7, 7}, {7, 7, 7}};
    EXPECT_EQ(UF_CURVE_ask_line_data(round, &stale), kErrWrongKind);
    expect_vec(stale.start_point, {0, 0, 0}, 0, "start after refusal");
    expect_vec(stale.end_point, {0, 0, 0}, 0, "end after refusal");
    EXPECT_EQ(UF_CURVE_ask_line_data(cap, &stale), kErrWrongKind);
    EXPECT_EQ(UF_CURVE_ask_line_data(round, nullptr), kErrNullArgument);
}

TEST_F(FaceQueryTest, AlignedBoxIsExactAlongTheTurnedWcsAndGrowsByATenthWhenExpanded) {
    const double c = std::cos(pi / 6), s = std::sin(pi / 6);
    const tag_t turned = turn_wcs(pi / 6, {10, 5, 0});
    double local[3] = {-6, -12, 0}, corner[3];
    ASSERT_EQ(UF_CSYS_map_point(UF_CSYS_ROOT_WCS_COORDS, local, UF_CSYS_WORK_COORDS, corner), 0);
    const tag_t body = body_of(block({corner[0], corner[1], corner[2]}, 12, 24, 5));  // along the WCS

    double min_corner[3], directions[3][3], distances[3];
    for (tag_t csys : {NULL_TAG, turned}) {
        ASSERT_EQ(UF_MODL_ask_bounding_box_aligned(body, csys, false, min_corner, directions, distances), 0);
        expect_vec(distances, {12, 24, 5}, 1e-9, "extents along the turned axes");
        expect_vec(directions[0], {c, -s, 0}, 1e-15, "X row");
        expect_vec(directions[1], {s, c, 0}, 1e-15, "Y row");
        expect_vec(directions[2], {0, 0, 1}, 0, "Z row");
        expect_vec(min_corner, {corner[0], corner[1], corner[2]}, 1e-9, "min corner");
    }
    ASSERT_EQ(UF_MODL_ask_bounding_box_aligned(body, NULL_TAG, true, min_corner, directions, distances), 0);
    expect_vec(distances, {12.2, 24.2, 5.2}, 1e-9, "expanded extents");
    expect_vec(min_corner, {corner[0] - 0.1 * (c + s), corner[1] - 0.1 * (c - s), -0.1}, 1e-9, "expanded corner");

    // A cylinder's box is exact too, not grown by a tolerance.
    tag_t cyl = NULL_TAG;
    ASSERT_EQ(cylinder({40, 0, 0}, {0, 0, 1}, 7, 10, 0, cyl), 0);
    ASSERT_EQ(UF_MODL_ask_bounding_box_aligned(body_of(cyl), NULL_TAG, false, min_corner, directions, distances), 0);
    expect_vec(distances, {10, 10, 7}, 1e-9, "cylinder extents");

    distances[0] = 4;
    EXPECT_EQ(UF_MODL_ask_bounding_box_aligned(body, body, false, min_corner, directions, distances), kErrWrongKind);
    EXPECT_EQ(distances[0], 0.0);
    EXPECT_EQ(UF_MODL_ask_bounding_box_aligned(NULL_TAG, NULL_TAG, false, min_corner, directions, distances), kErrNullTag);
    EXPECT_EQ(UF_MODL_ask_bounding_box_aligned(body, NULL_TAG, false, min_corner, nullptr, distances), kErrNullArgument);
}

TEST_F(FaceQueryTest, RotationRowsAtRightAnglesWcsDisplayAndRefusedMappings) {
    double z[3] = {0, 0, 1}, m[9];
    for (double t : {pi / 2, -pi / 2}) {
        ASSERT_EQ(UF_MTX3_rotate_about_axis(z, t, m), 0);
        const double rows[9] = {std::cos(t), -std::sin(t), 0, std::sin(t), std::cos(t), 0, 0, 0, 1};
        for (int i = 0; i < 9; ++i) EXPECT_NEAR(m[i], rows[i], 1e-15) << t << " entry " << i;
    }
    double zero[3] = {0, 0, 0};
    EXPECT_EQ(UF_MTX3_rotate_about_axis(zero, 1, m), kErrBadValue);
    for (double v : m) EXPECT_EQ(v, 0.0);
    const double skew[9] = {1, 0, 0, 0.5, 1, 0, 0, 0, 1}, left[9] = {1, 0, 0, 0, 1, 0, 0, 0, -1};
    tag_t matrix = 99;
    EXPECT_EQ(UF_CSYS_create_matrix(skew, &matrix), kErrBadValue);
    EXPECT_EQ(matrix, NULL_TAG);
    EXPECT_EQ(UF_CSYS_create_matrix(left, &matrix), kErrBadValue);

    // WCS turned by -90 degrees at (3, 4, 5): x' = (0, 1, 0), y' = (-1, 0, 0).
    turn_wcs(-pi / 2, {3, 4, 5});
    double p[3] = {1, 2, 3}, out[3];
    ASSERT_EQ(UF_CSYS_map_point(UF_CSYS_ROOT_WCS_COORDS, p, UF_CSYS_WORK_COORDS, out), 0);
    expect_vec(out, {1, 5, 8}, 1e-12, "WCS to absolute");
    EXPECT_EQ(UF_CSYS_map_point(4, p, UF_CSYS_WORK_COORDS, out), kErrBadValue);
    expect_vec(out, {0, 0, 0}, 0, "output of a refused mapping");
    const double identity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    ASSERT_EQ(UF_CSYS_create_matrix(identity, &matrix), 0);
    EXPECT_EQ(UF_CSYS_set_wcs(matrix), kErrWrongKind);
    EXPECT_NEAR(store().wcs().x.y, 1, 1e-15) << "a refused WCS leaves the turned one";

    ASSERT_EQ(UF_CSYS_set_wcs_display(0), 0);
    EXPECT_FALSE(store().wcs_shown());
    ASSERT_EQ(UF_CSYS_set_wcs_display(1), 0);
    EXPECT_TRUE(store().wcs_shown());
    EXPECT_EQ(UF_CSYS_set_wcs_display(2), kErrBadValue);
    EXPECT_TRUE(store().wcs_shown());
}

TEST_F(FaceQueryTest, InterferenceAnswersEachToolAndZeroesAllOnABadOne) {
    const tag_t target = body_of(block({0, 0, 0}, 10, 10, 10));
    tag_t inner = NULL_TAG;
    ASSERT_EQ(cylinder({5, 5, 2}, {0, 0, 1}, 3, 2, 0, inner), 0);
    tag_t tools[4] = {body_of(block({5, 5, 5}, 10, 10, 10)), body_of(block({20, 0, 0}, 5, 5, 5)),
                      body_of(block({10, 0, 0}, 5, 5, 5)), body_of(inner)};
    int results[4] = {9, 9, 9, 9};
    ASSERT_EQ(UF_MODL_check_interference(target, 4, tools, results), 0);
    EXPECT_EQ(std::vector<int>(results, results + 4), (std::vector<int>{1, 2, 3, 1}))
        << "sharing, apart, touching, wholly inside";

    tag_t with_feature[2] = {tools[0], block({0, 0, 50}, 1, 1, 1)};
    EXPECT_EQ(UF_MODL_check_interference(target, 2, with_feature, results), kErrWrongKind);
    EXPECT_EQ(results[0] + results[1], 0);
    EXPECT_EQ(UF_MODL_check_interference(target, 0, tools, results), kErrBadValue);
    EXPECT_EQ(UF_MODL_check_interference(target, 1, nullptr, results), kErrNullArgument);
    EXPECT_EQ(UF_MODL_check_interference(target, 1, tools, nullptr), kErrNullArgument);
    EXPECT_EQ(UF_MODL_check_interference(NULL_TAG, 1, tools, results), kErrNullTag);
}

}  // namespace
