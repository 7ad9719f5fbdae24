// Face parameters and properties, line data of edges, boxes aligned with a coordinate system,
// rotation matrices and the WCS, and interference: the host queries the inclined builders rely on.
#include "ops_helpers.hpp"

#include <uf_csys.h>
#include <uf_curve.h>
#include <uf_modl.h>
#include <uf_mtx.h>

#include <cmath>
#include <numbers>
#include <vector>

using namespace diekit;
using namespace ops;

namespace {

using FaceQueryTest = HostTest;

constexpr double kPi = std::numbers::pi;

// The face of the body that contains the point (NULL_TAG when none does).
tag_t face_at(tag_t body, Vec3 p) {
    uf_list_p_t faces = nullptr;
    EXPECT_EQ(UF_MODL_ask_body_faces(body, &faces), 0);
    int count = 0;
    UF_MODL_ask_list_count(faces, &count);
    tag_t found = NULL_TAG;
    double point[3] = {p.x, p.y, p.z};
    for (int i = 0; i < count; ++i) {
        tag_t face = NULL_TAG;
        UF_MODL_ask_list_item(faces, i, &face);
        int status = 0;
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

Props props_at(tag_t face, double u, double v) {
    Props p;
    double param[2] = {u, v};
    p.status = UF_MODL_ask_face_props(face, param, p.point, p.u1, p.v1, p.u2, p.v2, p.normal, p.radii);
    return p;
}

Props props_at_middle(tag_t face) {
    double uv[4] = {};
    EXPECT_EQ(UF_MODL_ask_face_uv_minmax(face, uv), 0);
    return props_at(face, (uv[0] + uv[1]) / 2, (uv[2] + uv[3]) / 2);
}

void expect_vec(const double actual[3], Vec3 expected, double tolerance, const char *what) {
    EXPECT_NEAR(actual[0], expected.x, tolerance) << what << " x";
    EXPECT_NEAR(actual[1], expected.y, tolerance) << what << " y";
    EXPECT_NEAR(actual[2], expected.z, tolerance) << what << " z";
}

double length(const double v[3]) { return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]); }

// Makes the WCS the system turned by theta about +Z at origin, the way the inclined builders do.
tag_t turn_wcs(double theta, Vec3 origin) {
    double axis[3] = {0, 0, 1}, mtx[9];
    EXPECT_EQ(UF_MTX3_rotate_about_axis(axis, theta, mtx), 0);
    tag_t matrix = NULL_TAG, csys = NULL_TAG;
    EXPECT_EQ(UF_CSYS_create_matrix(mtx, &matrix), 0);
    double o[3] = {origin.x, origin.y, origin.z};
    EXPECT_EQ(UF_CSYS_create_temp_csys(o, matrix, &csys), 0);
    EXPECT_EQ(UF_CSYS_set_wcs(csys), 0);
    return csys;
}

TEST_F(FaceQueryTest, PlaneFaceRangesAndPropertiesAreExact) {
    const tag_t body = body_of(block({1, 2, 3}, 10.7, 6.2, 4));
    const tag_t top = face_at(body, {6, 5, 7});
    ASSERT_NE(top, NULL_TAG);
    double uv[4] = {};
    ASSERT_EQ(UF_MODL_ask_face_uv_minmax(top, uv), 0);
    // Planes are parametrised by length: the ranges span the face's sides exactly.
    const double du = uv[1] - uv[0], dv = uv[3] - uv[2];
    EXPECT_TRUE((std::abs(du - 10.7) < 1e-9 && std::abs(dv - 6.2) < 1e-9) ||
                (std::abs(du - 6.2) < 1e-9 && std::abs(dv - 10.7) < 1e-9))
        << du << " x " << dv;

    const Props p = props_at_middle(top);
    ASSERT_EQ(p.status, 0);
    expect_vec(p.point, {1 + 10.7 / 2, 2 + 3.1, 7}, 1e-9, "middle point");
    expect_vec(p.normal, {0, 0, 1}, 1e-12, "outward normal");
    EXPECT_NEAR(length(p.u1), 1, 1e-12);
    EXPECT_NEAR(length(p.v1), 1, 1e-12);
    EXPECT_NEAR(p.u1[0] * p.v1[0] + p.u1[1] * p.v1[1] + p.u1[2] * p.v1[2], 0, 1e-12);
    EXPECT_EQ(length(p.u2), 0.0);
    EXPECT_EQ(length(p.v2), 0.0);
    EXPECT_EQ(p.radii[0], 0.0);
    EXPECT_EQ(p.radii[1], 0.0);

    const tag_t bottom = face_at(body, {6, 5, 3});
    const Props q = props_at_middle(bottom);
    ASSERT_EQ(q.status, 0);
    expect_vec(q.normal, {0, 0, -1}, 1e-12, "bottom faces down");
    expect_vec(q.point, {1 + 10.7 / 2, 5.1, 3}, 1e-9, "bottom middle");
}

TEST_F(FaceQueryTest, CylinderRadiiAreSignedByBulgeOrHollow) {
    tag_t punch_feature = NULL_TAG;
    ASSERT_EQ(cylinder({0, 0, 0}, {0, 0, 1}, 10, 8, 0, punch_feature), 0);
    const tag_t punch = body_of(punch_feature);
    const tag_t side = face_at(punch, {4, 0, 5});
    ASSERT_NE(side, NULL_TAG);
    const Props p = props_at_middle(side);
    ASSERT_EQ(p.status, 0);
    const Vec3 radial{p.point[0] / 4, p.point[1] / 4, 0};
    EXPECT_NEAR(std::hypot(p.point[0], p.point[1]), 4, 1e-12);
    EXPECT_NEAR(p.point[2], 5, 1e-12);
    expect_vec(p.normal, radial, 1e-12, "side normal points away from the axis");
    EXPECT_NEAR(p.radii[0], 4, 1e-9) << "a punch's side bulges outward";
    EXPECT_EQ(p.radii[1], 0.0) << "straight along the axis";
    // The angle parametrisation: first derivative of length r, second pointing at the axis.
    EXPECT_NEAR(std::max(length(p.u1), length(p.v1)), 4, 1e-9);
    const double *curved = length(p.u2) > length(p.v2) ? p.u2 : p.v2;
    expect_vec(curved, {-4 * radial.x, -4 * radial.y, 0}, 1e-9, "second derivative");
    // The caps are flat.
    const Props cap = props_at_middle(face_at(punch, {0, 0, 10}));
    ASSERT_EQ(cap.status, 0);
    expect_vec(cap.point, {0, 0, 10}, 1e-9, "cap middle");
    EXPECT_EQ(cap.radii[0], 0.0);

    // A hole: the same surface seen from the plate's side is hollow and its normal faces the axis.
    const tag_t plate = body_of(block({-10, -10, 2}, 20, 20, 5));
    tag_t hole_feature = NULL_TAG;
    ASSERT_EQ(UF_MODL_subtract_bodies_with_retained_options(plate, punch, false, true, &hole_feature), 0);
    const tag_t wall = face_at(plate, {4, 0, 4});
    ASSERT_NE(wall, NULL_TAG);
    const Props h = props_at_middle(wall);
    ASSERT_EQ(h.status, 0);
    EXPECT_NEAR(h.radii[0], -4, 1e-9);
    expect_vec(h.normal, {-h.point[0] / 4, -h.point[1] / 4, 0}, 1e-12, "hole wall faces the axis");
}

TEST_F(FaceQueryTest, FacePropsRefuseBadArgumentsAndZeroTheirOutputs) {
    const tag_t body = body_of(block({0, 0, 0}, 10, 10, 10));
    const tag_t top = face_at(body, {5, 5, 10});
    double uv[4] = {};
    ASSERT_EQ(UF_MODL_ask_face_uv_minmax(top, uv), 0);

    Props p;
    std::fill(std::begin(p.point), std::end(p.point), 9.0);
    std::fill(std::begin(p.radii), std::end(p.radii), 9.0);
    double outside[2] = {uv[1] + 1, uv[2]};
    EXPECT_EQ(UF_MODL_ask_face_props(top, outside, p.point, p.u1, p.v1, p.u2, p.v2, p.normal, p.radii), kErrBadValue);
    EXPECT_EQ(length(p.point), 0.0);
    EXPECT_EQ(p.radii[0], 0.0);
    double nan_param[2] = {std::nan(""), uv[2]};
    EXPECT_EQ(UF_MODL_ask_face_props(top, nan_param, p.point, p.u1, p.v1, p.u2, p.v2, p.normal, p.radii), kErrBadValue);
    double inside[2] = {uv[0], uv[3]};  // a corner of the range is still on the face
    EXPECT_EQ(UF_MODL_ask_face_props(top, inside, p.point, p.u1, p.v1, p.u2, p.v2, p.normal, p.radii), 0);
    EXPECT_EQ(UF_MODL_ask_face_props(top, inside, p.point, p.u1, p.v1, p.u2, p.v2, p.normal, nullptr), kErrNullArgument);
    EXPECT_EQ(UF_MODL_ask_face_props(top, nullptr, p.point, p.u1, p.v1, p.u2, p.v2, p.normal, p.radii), kErrNullArgument);
    EXPECT_EQ(UF_MODL_ask_face_props(body, inside, p.point, p.u1, p.v1, p.u2, p.v2, p.normal, p.radii), kErrWrongKind);

    double ranges[4] = {1, 2, 3, 4};
    EXPECT_EQ(UF_MODL_ask_face_uv_minmax(NULL_TAG, ranges), kErrNullTag);
    for (double r : ranges) EXPECT_EQ(r, 0.0);
    EXPECT_EQ(UF_MODL_ask_face_uv_minmax(body, ranges), kErrWrongKind);
    EXPECT_EQ(UF_MODL_ask_face_uv_minmax(top, nullptr), kErrNullArgument);
    // A face of a body that has since changed is stale.
    tag_t cut = NULL_TAG;
    const tag_t tool = body_of(block({2, 2, 8}, 2, 2, 5));
    ASSERT_EQ(UF_MODL_subtract_bodies_with_retained_options(body, tool, false, false, &cut), 0);
    EXPECT_EQ(UF_MODL_ask_face_uv_minmax(top, ranges), kErrStaleTag);
}

TEST_F(FaceQueryTest, LineDataOfEdgesAndLinesAndRefusalOfCurvedEdges) {
    const tag_t body = body_of(block({0, 0, 0}, 20, 8, 5));
    uf_list_p_t body_edges = nullptr;
    const tag_t top = face_at(body, {10, 4, 5});
    ASSERT_EQ(UF_MODL_ask_face_edges(top, &body_edges), 0);
    int count = 0;
    UF_MODL_ask_list_count(body_edges, &count);
    ASSERT_EQ(count, 4);
    double total = 0;
    for (int i = 0; i < count; ++i) {
        tag_t edge = NULL_TAG;
        UF_MODL_ask_list_item(body_edges, i, &edge);
        UF_CURVE_line_t line{};
        ASSERT_EQ(UF_CURVE_ask_line_data(edge, &line), 0);
        EXPECT_EQ(line.start_point[2], 5.0);
        EXPECT_EQ(line.end_point[2], 5.0);
        // Both ends are corners of the top face.
        for (const double *p : {line.start_point, line.end_point}) {
            EXPECT_TRUE(p[0] == 0 || p[0] == 20) << p[0];
            EXPECT_TRUE(p[1] == 0 || p[1] == 8) << p[1];
        }
        total += std::hypot(line.end_point[0] - line.start_point[0], line.end_point[1] - line.start_point[1]);
    }
    EXPECT_NEAR(total, 56, 1e-12);
    UF_MODL_delete_list(&body_edges);

    const tag_t drawn = line({1, 2, 3}, {4, 6, 3});
    UF_CURVE_line_t data{};
    ASSERT_EQ(UF_CURVE_ask_line_data(drawn, &data), 0);
    expect_vec(data.start_point, {1, 2, 3}, 0, "line start");
    expect_vec(data.end_point, {4, 6, 3}, 0, "line end");

    // The round edge of a cylinder's cap: an error, and the outputs are zero, not stale values.
    tag_t cyl = NULL_TAG;
    ASSERT_EQ(cylinder({50, 0, 0}, {0, 0, 1}, 5, 6, 0, cyl), 0);
    const tag_t cap = face_at(body_of(cyl), {50, 0, 5});
    uf_list_p_t cap_edges = nullptr;
    ASSERT_EQ(UF_MODL_ask_face_edges(cap, &cap_edges), 0);
    tag_t round = NULL_TAG;
    UF_MODL_ask_list_item(cap_edges, 0, &round);
    UF_MODL_delete_list(&cap_edges);
    UF_CURVE_line_t stale{{7, 7, 7}, {7, 7, 7}};
    EXPECT_EQ(UF_CURVE_ask_line_data(round, &stale), kErrWrongKind);
    expect_vec(stale.start_point, {0, 0, 0}, 0, "start after refusal");
    expect_vec(stale.end_point, {0, 0, 0}, 0, "end after refusal");
    EXPECT_EQ(UF_CURVE_ask_line_data(cap, &stale), kErrWrongKind);
    EXPECT_EQ(UF_CURVE_ask_line_data(drawn, nullptr), kErrNullArgument);
}

TEST_F(FaceQueryTest, AlignedBoxFollowsTheWcsOrAGivenCsysExactly) {
    const double theta = kPi / 6;
    const tag_t turned = turn_wcs(theta, {10, 5, 0});
    // A 12 x 24 x 5 block built along the turned WCS from the WCS point (-6, -12, 0).
    double local[3] = {-6, -12, 0}, corner[3];
    ASSERT_EQ(UF_CSYS_map_point(UF_CSYS_ROOT_WCS_COORDS, local, UF_CSYS_WORK_COORDS, corner), 0);
    const tag_t body = body_of(block({corner[0], corner[1], corner[2]}, 12, 24, 5));
    EXPECT_NEAR(volume(body), 12 * 24 * 5, 1e-9);

    const double c = std::cos(theta), s = std::sin(theta);
    double min_corner[3], directions[3][3], distances[3];
    for (tag_t csys : {NULL_TAG, turned}) {
        ASSERT_EQ(UF_MODL_ask_bounding_box_aligned(body, csys, false, min_corner, directions, distances), 0);
        EXPECT_NEAR(distances[0], 12, 1e-9);
        EXPECT_NEAR(distances[1], 24, 1e-9);
        EXPECT_NEAR(distances[2], 5, 1e-9);
        expect_vec(directions[0], {c, -s, 0}, 1e-15, "X row");
        expect_vec(directions[1], {s, c, 0}, 1e-15, "Y row");
        expect_vec(directions[2], {0, 0, 1}, 0, "Z row");
        expect_vec(min_corner, {corner[0], corner[1], corner[2]}, 1e-9, "min corner");
    }

    // expand grows every side by 0.1: the corner moves back by 0.1 along each axis.
    ASSERT_EQ(UF_MODL_ask_bounding_box_aligned(body, NULL_TAG, true, min_corner, directions, distances), 0);
    EXPECT_NEAR(distances[0], 12.2, 1e-9);
    EXPECT_NEAR(distances[1], 24.2, 1e-9);
    EXPECT_NEAR(distances[2], 5.2, 1e-9);
    expect_vec(min_corner, {corner[0] - 0.1 * (c + s), corner[1] - 0.1 * (c - s), corner[2] - 0.1}, 1e-9,
               "expanded corner");

    // In an absolute csys the same block has the rotated rectangle's extents.
    double x[3] = {1, 0, 0}, y[3] = {0, 1, 0}, identity[9], origin[3] = {0, 0, 0};
    ASSERT_EQ(UF_MTX3_initialize(x, y, identity), 0);
    tag_t matrix = NULL_TAG, absolute = NULL_TAG;
    ASSERT_EQ(UF_CSYS_create_matrix(identity, &matrix), 0);
    ASSERT_EQ(UF_CSYS_create_temp_csys(origin, matrix, &absolute), 0);
    ASSERT_EQ(UF_MODL_ask_bounding_box_aligned(body, absolute, false, min_corner, directions, distances), 0);
    EXPECT_NEAR(distances[0], 12 * c + 24 * s, 1e-9);
    EXPECT_NEAR(distances[1], 12 * s + 24 * c, 1e-9);
    const auto abs_box = box(body);
    expect_vec(min_corner, {abs_box[0], abs_box[1], abs_box[2]}, 1e-12, "absolute min corner");

    // A cylinder's box along a turned csys is exact too, not grown by a tolerance.
    tag_t cyl = NULL_TAG;
    ASSERT_EQ(cylinder({40, 0, 0}, {0, 0, 1}, 7, 10, 0, cyl), 0);
    ASSERT_EQ(UF_MODL_ask_bounding_box_aligned(body_of(cyl), NULL_TAG, false, min_corner, directions, distances), 0);
    EXPECT_NEAR(distances[0], 10, 1e-9);
    EXPECT_NEAR(distances[1], 10, 1e-9);
    EXPECT_NEAR(distances[2], 7, 1e-9);

    std::fill(&distances[0], &distances[0] + 3, 4.0);
    EXPECT_EQ(UF_MODL_ask_bounding_box_aligned(body, body, false, min_corner, directions, distances), kErrWrongKind);
    for (double d : distances) EXPECT_EQ(d, 0.0);
    EXPECT_EQ(UF_MODL_ask_bounding_box_aligned(NULL_TAG, NULL_TAG, false, min_corner, directions, distances), kErrNullTag);
    EXPECT_EQ(UF_MODL_ask_bounding_box_aligned(body, NULL_TAG, false, min_corner, nullptr, distances), kErrNullArgument);
    EXPECT_EQ(UF_MODL_ask_bounding_box_aligned(body, matrix, false, min_corner, directions, distances), kErrWrongKind);
}

TEST_F(FaceQueryTest, RotationRowsWcsDisplayAndPointMapping) {
    double z[3] = {0, 0, 1}, m[9];
    for (double degrees : {30.0, -30.0, 90.0, -90.0}) {
        const double t = degrees * kPi / 180;
        ASSERT_EQ(UF_MTX3_rotate_about_axis(z, t, m), 0);
        const double expected[9] = {std::cos(t), -std::sin(t), 0, std::sin(t), std::cos(t), 0, 0, 0, 1};
        for (int i = 0; i < 9; ++i) EXPECT_NEAR(m[i], expected[i], 1e-15) << degrees << " deg, entry " << i;
    }
    // A non-unit axis is normalised; the zero axis and a non-finite angle are refused with zeros.
    double long_z[3] = {0, 0, 5}, m2[9];
    ASSERT_EQ(UF_MTX3_rotate_about_axis(long_z, kPi / 6, m2), 0);
    ASSERT_EQ(UF_MTX3_rotate_about_axis(z, kPi / 6, m), 0);
    for (int i = 0; i < 9; ++i) EXPECT_NEAR(m2[i], m[i], 1e-15);
    double zero[3] = {0, 0, 0};
    EXPECT_EQ(UF_MTX3_rotate_about_axis(zero, 1, m2), kErrBadValue);
    for (double v : m2) EXPECT_EQ(v, 0.0);
    EXPECT_EQ(UF_MTX3_rotate_about_axis(z, INFINITY, m2), kErrBadValue);

    // UF_MTX3_initialize keeps x's direction and makes y orthogonal to it.
    double x[3] = {2, 0, 0}, y[3] = {1, 3, 0};
    ASSERT_EQ(UF_MTX3_initialize(x, y, m), 0);
    const double frame[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    for (int i = 0; i < 9; ++i) EXPECT_NEAR(m[i], frame[i], 1e-15);

    // Matrices must be orthonormal and right-handed.
    const double skew[9] = {1, 0, 0, 0.5, 1, 0, 0, 0, 1};
    const double left[9] = {1, 0, 0, 0, 1, 0, 0, 0, -1};
    tag_t matrix = 99;
    EXPECT_EQ(UF_CSYS_create_matrix(skew, &matrix), kErrBadValue);
    EXPECT_EQ(matrix, NULL_TAG);
    EXPECT_EQ(UF_CSYS_create_matrix(left, &matrix), kErrBadValue);

    // Setting the WCS copies the csys; a non-csys tag leaves it as it was.
    const tag_t csys = turn_wcs(-kPi / 2, {3, 4, 5});
    const kernel::Frame &wcs = store().wcs();
    EXPECT_NEAR(wcs.x.x, 0, 1e-15);
    EXPECT_NEAR(wcs.x.y, 1, 1e-15);
    EXPECT_NEAR(wcs.y.x, -1, 1e-15);
    EXPECT_EQ(wcs.origin.z, 5.0);
    tag_t matrix_only = NULL_TAG;
    ASSERT_EQ(UF_CSYS_create_matrix(frame, &matrix_only), 0);
    EXPECT_EQ(UF_CSYS_set_wcs(matrix_only), kErrWrongKind);
    EXPECT_NEAR(store().wcs().x.y, 1, 1e-15);
    EXPECT_EQ(UF_CSYS_set_wcs(NULL_TAG), kErrNullTag);

    // WCS point (1, 2, 3) of a WCS turned by -90 degrees at (3, 4, 5): x' = (0, 1), y' = (-1, 0).
    double p[3] = {1, 2, 3}, out[3], back[3];
    ASSERT_EQ(UF_CSYS_map_point(UF_CSYS_ROOT_WCS_COORDS, p, UF_CSYS_WORK_COORDS, out), 0);
    expect_vec(out, {3 - 2, 4 + 1, 8}, 1e-12, "WCS to absolute");
    ASSERT_EQ(UF_CSYS_map_point(UF_CSYS_ROOT_COORDS, out, UF_CSYS_ROOT_WCS_COORDS, back), 0);
    expect_vec(back, {1, 2, 3}, 1e-12, "absolute to WCS");
    ASSERT_EQ(UF_CSYS_map_point(UF_CSYS_WORK_COORDS, out, UF_CSYS_ROOT_COORDS, back), 0);
    expect_vec(back, {out[0], out[1], out[2]}, 0, "absolute to absolute");
    EXPECT_EQ(UF_CSYS_map_point(4, p, UF_CSYS_WORK_COORDS, out), kErrBadValue);
    expect_vec(out, {0, 0, 0}, 0, "output after a refused mapping");
    EXPECT_EQ(UF_CSYS_map_point(UF_CSYS_ROOT_WCS_COORDS, nullptr, UF_CSYS_WORK_COORDS, out), kErrNullArgument);
    (void)csys;

    ASSERT_EQ(UF_CSYS_set_wcs_display(0), 0);
    EXPECT_FALSE(store().wcs_shown());
    ASSERT_EQ(UF_CSYS_set_wcs_display(1), 0);
    EXPECT_TRUE(store().wcs_shown());
    EXPECT_EQ(UF_CSYS_set_wcs_display(2), kErrBadValue);
    EXPECT_TRUE(store().wcs_shown());
}

TEST_F(FaceQueryTest, InterferenceAnswersPerToolAndZeroesAllOnABadTool) {
    const tag_t target = body_of(block({0, 0, 0}, 10, 10, 10));
    const tag_t sharing = body_of(block({5, 5, 5}, 10, 10, 10));
    const tag_t apart = body_of(block({20, 0, 0}, 5, 5, 5));
    const tag_t touching = body_of(block({10, 0, 0}, 5, 5, 5));
    tag_t inside_cyl = NULL_TAG;
    ASSERT_EQ(cylinder({5, 5, 2}, {0, 0, 1}, 3, 2, 0, inside_cyl), 0);
    tag_t tools[4] = {sharing, apart, touching, body_of(inside_cyl)};
    int results[4] = {9, 9, 9, 9};
    ASSERT_EQ(UF_MODL_check_interference(target, 4, tools, results), 0);
    EXPECT_EQ(results[0], 1);
    EXPECT_EQ(results[1], 2);
    EXPECT_EQ(results[2], 3);
    EXPECT_EQ(results[3], 1) << "a tool wholly inside the target shares volume";

    // The same pair asked the other way round gives the same answer.
    tag_t target_only[1] = {target};
    int single[1] = {0};
    ASSERT_EQ(UF_MODL_check_interference(touching, 1, target_only, single), 0);
    EXPECT_EQ(single[0], 3);

    const tag_t feature = block({0, 0, 50}, 1, 1, 1);
    tag_t with_bad[3] = {sharing, feature, apart};
    int answers[3] = {9, 9, 9};
    EXPECT_EQ(UF_MODL_check_interference(target, 3, with_bad, answers), kErrWrongKind);
    for (int a : answers) EXPECT_EQ(a, 0);
    EXPECT_EQ(UF_MODL_check_interference(target, 0, tools, results), kErrBadValue);
    EXPECT_EQ(UF_MODL_check_interference(target, 1, nullptr, results), kErrNullArgument);
    EXPECT_EQ(UF_MODL_check_interference(target, 1, tools, nullptr), kErrNullArgument);
    EXPECT_EQ(UF_MODL_check_interference(NULL_TAG, 1, tools, results), kErrNullTag);
    EXPECT_EQ(results[0], 0);
}

}  // namespace
