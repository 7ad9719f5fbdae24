// Extrusions of curve profiles, feature offsets, blends and nearest points on faces, through the
// C functions as the builders call them.
#include "ops_helpers.hpp"

#include "kernel/kernel.hpp"

#include <uf_modl.h>

#include <cmath>

using namespace ops;
using diekit::kErrBadList;
using diekit::kErrBadValue;
using diekit::kErrNonPlanarProfile;
using diekit::kErrNotInitialized;
using diekit::kErrNullArgument;
using diekit::kErrOpenProfile;
using diekit::kErrStaleTag;
using diekit::kErrWrongKind;

using ExtrudedTest = HostTest;
using FeatureOffsetTest = HostTest;
using BlendTest = HostTest;
using FaceParmTest = HostTest;

namespace {

// Stadium: centres (0, 0) and (20, 0), radius 5, as two lines and two arcs.
std::vector<tag_t> stadium(double z = 0) {
    return {line({0, -5, z}, {20, -5, z}), arc({20, -5, z}, {25, 0, z}, {20, 5, z}), line({20, 5, z}, {0, 5, z}),
            arc({0, 5, z}, {-5, 0, z}, {0, -5, z})};
}

// The face of the body whose bounding box has this z extent.
tag_t face_at_z(tag_t body, double zmin, double zmax) {
    uf_list_p_t faces = nullptr;
    EXPECT_EQ(UF_MODL_ask_body_faces(body, &faces), 0);
    int count = 0;
    UF_MODL_ask_list_count(faces, &count);
    tag_t found = NULL_TAG;
    for (int i = 0; i < count; ++i) {
        tag_t face = NULL_TAG;
        UF_MODL_ask_list_item(faces, i, &face);
        auto b = box(face);
        if (std::abs(b[2] - zmin) < 1e-9 && std::abs(b[5] - zmax) < 1e-9 && found == NULL_TAG) found = face;
    }
    UF_MODL_delete_list(&faces);
    return found;
}

}  // namespace

// ---------------------------------------------------------------- extrusion

TEST_F(ExtrudedTest, ShuffledReversedLinesMakeThePrismBetweenTheLimitsAlongAnyLengthOfDirection) {
    // Sides out of order and two of them reversed; direction not of unit length; point not used.
    std::vector<tag_t> sides = {line({30, 0, 0}, {30, 10, 0}), line({0, 10, 0}, {0, 0, 0}),
                                line({30, 10, 0}, {0, 10, 0}), line({30, 0, 0}, {0, 0, 0})};
    tag_t feature = NULL_TAG;
    ASSERT_EQ(extrude(sides, -2, 5, {0, 0, 7}, 0, feature), 0) << last_log();
    tag_t body = body_of(feature);
    EXPECT_EQ(store().last_new_body(), body);
    expect_box(body, {0, 0, -2, 30, 10, 5});
    EXPECT_NEAR(volume(body), 300 * 7, 1e-9);
    EXPECT_TRUE(valid(body));
    // Reversed limits and a downward direction: the same slab below the plane.
    ASSERT_EQ(extrude(sides, 4, 1, {0, 0, -1}, 0, feature), 0) << last_log();
    expect_box(body_of(feature), {0, 0, -4, 30, 10, -1});
}

TEST_F(ExtrudedTest, ArcsLinesAndNestedLoopsGiveHolesIslandsAndSeparateSolids) {
    // Stadium with a circular hole, curves shuffled.
    auto outline = stadium();
    std::vector<tag_t> profile = {outline[3], outline[1], circle({10, 0, 0}, 2), outline[0], outline[2]};
    tag_t feature = NULL_TAG;
    ASSERT_EQ(extrude(profile, 0, 6, {0, 0, 1}, 0, feature), 0) << last_log();
    tag_t slot = body_of(feature);
    EXPECT_NEAR(volume(slot), 6 * (200 + 25 * pi - 4 * pi), 1e-6);
    expect_box(slot, {-5, -5, 0, 25, 5, 6});

    // Square 40 with a square hole 20 holding an island 10, and a separate square: three solids.
    auto square = [](double x0, double y0, double size) {
        return polygon({{x0, y0}, {x0 + size, y0}, {x0 + size, y0 + size}, {x0, y0 + size}}, 3);
    };
    std::vector<tag_t> nested;
    for (auto part : {square(-5, -5, 10), square(-20, -20, 40), square(30, 0, 10), square(-10, -10, 20)})
        nested.insert(nested.end(), part.begin(), part.end());
    ASSERT_EQ(extrude(nested, 0, 2, {0, 0, 1}, 0, feature), 0) << last_log();
    tag_t plate = body_of(feature);
    EXPECT_EQ(lumps(plate), 3);
    EXPECT_NEAR(volume(plate), 2 * (1600 - 400 + 100 + 100), 1e-9);
    int status = 0;
    double in_hole[3] = {-7, 0, 4}, on_island[3] = {0, 0, 4};
    UF_MODL_ask_point_containment(in_hole, plate, &status);
    EXPECT_EQ(status, 2);
    UF_MODL_ask_point_containment(on_island, plate, &status);
    EXPECT_EQ(status, 1);
}

TEST_F(ExtrudedTest, BodyEdgesProfileStartsAtTheirPlaneAndLeavesTheirBodyAsItWas) {
    tag_t block_body = body_of(block({0, 0, 0}, 10, 10, 5));
    tag_t top = face_at_z(block_body, 5, 5);
    uf_list_p_t edges = nullptr;
    ASSERT_EQ(UF_MODL_ask_face_edges(top, &edges), 0);
    std::vector<tag_t> profile;
    int count = 0;
    UF_MODL_ask_list_count(edges, &count);
    for (int i = 0; i < count; ++i) {
        tag_t e = NULL_TAG;
        UF_MODL_ask_list_item(edges, i, &e);
        profile.push_back(e);
    }
    UF_MODL_delete_list(&edges);
    ASSERT_EQ(profile.size(), 4u);

    tag_t feature = NULL_TAG;
    ASSERT_EQ(extrude(profile, 0, 3, {0, 0, 1}, 0, feature), 0) << last_log();
    expect_box(body_of(feature), {0, 0, 5, 10, 10, 8});
    EXPECT_NEAR(volume(block_body), 500, 1e-9);
    expect_box(profile[0], box(profile[0]));  // the block's edge tags stay live
    EXPECT_NE(body_of(feature), block_body);

    // Oblique direction: limits are distances along it, so the prism is sheared, not stretched.
    auto square = polygon({{0, 0}, {10, 0}, {10, 10}, {0, 10}});
    ASSERT_EQ(extrude(square, 0, 5, {0, 3, 4}, 0, feature), 0) << last_log();
    expect_box(body_of(feature), {0, 0, 0, 10, 13, 4}, 1e-9);
    EXPECT_NEAR(volume(body_of(feature)), 400, 1e-9);
}

TEST_F(ExtrudedTest, BadProfilesAndArgumentsAreErrorCodesThatChangeNothing) {
    tag_t plate = body_of(block({-50, -50, -10}, 100, 100, 5));
    auto square = [] { return polygon({{0, 0}, {10, 0}, {10, 10}, {0, 10}}); };
    auto open = square();
    open.pop_back();
    auto branched = square();
    branched.push_back(line({0, 0, 0}, {10, 10, 0}));
    std::vector<tag_t> lifted = {line({0, 0, 0}, {10, 0, 0}), line({10, 0, 0}, {10, 10, 1}),
                                 line({10, 10, 1}, {0, 10, 0}), line({0, 10, 0}, {0, 0, 0})};
    auto bow_tie = polygon({{0, 0}, {10, 10}, {10, 0}, {0, 10}});
    auto crossing = square();
    for (tag_t t : polygon({{5, 5}, {15, 5}, {15, 15}, {5, 15}})) crossing.push_back(t);

    struct Case {
        const char *what;
        std::vector<tag_t> profile;
        Vec3 direction;
        double start, end;
        const char *taper;
        int sign;
        int code;
        const char *reason;  // part of the logged reason
    };
    const std::vector<Case> cases = {
        {"open", open, {0, 0, 1}, 0, 1, "0", 0, kErrOpenProfile, "open at (0, 0, 0)"},
        {"branched", branched, {0, 0, 1}, 0, 1, "0", 0, kErrOpenProfile, "branches at (0, 0, 0)"},
        {"lifted corner", lifted, {0, 0, 1}, 0, 1, "0", 0, kErrNonPlanarProfile, "one plane"},
        {"bow tie", bow_tie, {0, 0, 1}, 0, 1, "0", 0, kErrBadValue, "crosses itself"},
        {"crossing loops", crossing, {0, 0, 1}, 0, 1, "0", 0, kErrBadValue, "touch or cross"},
        {"direction in plane", square(), {1, 0, 0}, 0, 1, "0", 0, kErrBadValue, "lies in the profile plane"},
        {"zero direction", square(), {0, 0, 0}, 0, 1, "0", 0, kErrBadValue, "zero vector"},
        {"equal limits", square(), {0, 0, 1}, 2, 2, "0", 0, kErrBadValue, "no length"},
        {"taper", square(), {0, 0, 1}, 0, 1, "5", 0, kErrBadValue, "only 0"},
        {"sign 3", square(), {0, 0, 1}, 0, 1, "0", 3, kErrBadValue, "sign 3"},
        {"empty list", {}, {0, 0, 1}, 0, 1, "0", 0, kErrBadValue, "empty"},
        {"a body in the list", {plate}, {0, 0, 1}, 0, 1, "0", 0, kErrWrongKind, "not a curve or an edge"},
    };
    for (const Case &c : cases) {
        tag_t feature = 99;
        EXPECT_EQ(extrude(c.profile, c.start, c.end, c.direction, c.sign, feature, c.taper), c.code) << c.what;
        EXPECT_EQ(feature, NULL_TAG) << c.what;
        EXPECT_NE(last_log().find(c.reason), std::string::npos) << c.what << ": " << last_log();
        EXPECT_EQ(body_count(), 1u) << c.what;
    }

    // Pointers and lists, and the session bracket.
    auto sides = square();
    uf_list_p_t curves = list_of(sides);
    char start[] = "0", end[] = "1", taper[] = "0";
    char *limits[2] = {start, end};
    double dir[3] = {0, 0, 1};
    uf_list_p_t features = nullptr;
    EXPECT_EQ(UF_MODL_create_extruded(curves, taper, limits, nullptr, dir, UF_NULLSIGN, nullptr), kErrNullArgument);
    EXPECT_EQ(UF_MODL_create_extruded(curves, taper, nullptr, nullptr, dir, UF_NULLSIGN, &features), kErrNullArgument);
    EXPECT_EQ(UF_MODL_create_extruded(curves, taper, limits, nullptr, nullptr, UF_NULLSIGN, &features), kErrNullArgument);
    uf_list_s foreign{sides[0], nullptr};
    EXPECT_EQ(UF_MODL_create_extruded(&foreign, taper, limits, nullptr, dir, UF_NULLSIGN, &features), kErrBadList);
    UF_terminate();
    EXPECT_EQ(UF_MODL_create_extruded(curves, taper, limits, nullptr, dir, UF_NULLSIGN, &features), kErrNotInitialized);
    UF_initialize();
    EXPECT_EQ(features, nullptr);
    EXPECT_EQ(body_count(), 1u);
    UF_MODL_delete_list(&curves);
}

// ---------------------------------------------------------------- feature offset

namespace {

// Extrudes the profile from z = 0 to h and offsets the extrusion's features by d; returns the body.
tag_t offset_prism(const std::vector<tag_t> &profile, double h, double d, int &status) {
    tag_t feature = NULL_TAG;
    EXPECT_EQ(extrude(profile, 0, h, {0, 0, 1}, 0, feature), 0) << last_log();
    uf_list_p_t features = list_of({feature});
    std::string offset = text(d);
    tag_t offset_feature = 99;
    status = UF_MODL_create_feature_offset(offset.data(), features, &offset_feature);
    UF_MODL_delete_list(&features);
    tag_t body = body_of(feature);
    if (status == 0) EXPECT_EQ(body_of(offset_feature), body) << "the body keeps its tag";
    else EXPECT_EQ(offset_feature, NULL_TAG);
    return body;
}

}  // namespace

TEST_F(FeatureOffsetTest, ConcaveLShapeGrowsAndShrinksWithSharpCorners) {
    const std::vector<std::pair<double, double>> l_shape = {{0, 0}, {30, 0}, {30, 10}, {10, 10}, {10, 25}, {0, 25}};
    for (double d : {1.5, -2.0}) {
        // Every side moves out by d; each corner, the concave one at (10, 10) too, stays a sharp corner.
        const std::vector<std::pair<double, double>> moved = {{-d, -d},         {30 + d, -d},     {30 + d, 10 + d},
                                                              {10 + d, 10 + d}, {10 + d, 25 + d}, {-d, 25 + d}};
        int status = -1;
        tag_t body = offset_prism(polygon(l_shape), 8, d, status);
        ASSERT_EQ(status, 0) << "offset " << d << ": " << last_log();
        EXPECT_NEAR(volume(body), polygon_area(moved) * (8 + 2 * d), 1e-6) << "offset " << d;
        expect_box(body, {-d, -d, -d, 30 + d, 25 + d, 8 + d}, 1e-7);
        EXPECT_TRUE(valid(body));
    }
}

TEST_F(FeatureOffsetTest, ArcsChangeRadiusConvexOnesGrowConcaveOnesShrink) {
    // Stadium: the convex arcs grow to radius 6.5, the straight sides move out.
    int status = -1;
    tag_t slot = offset_prism(stadium(), 6, 1.5, status);
    ASSERT_EQ(status, 0) << last_log();
    EXPECT_NEAR(volume(slot), (20 * 13 + pi * 6.5 * 6.5) * 9, 1e-5);
    expect_box(slot, {-6.5, -6.5, -1.5, 26.5, 6.5, 7.5}, 1e-7);

    // Plate 40 x 20 with a semicircular notch of radius 5 centred on its top side at (20, 20). The notch
    // radius becomes 5 - d, and its arc, extended, meets the moved top side at a sharp corner: the plate
    // loses the part of that disc below the moved top side y = 20 + d.
    for (double d : {1.0, -1.0}) {
        std::vector<tag_t> notched = {line({0, 0, 0}, {40, 0, 0}), line({40, 0, 0}, {40, 20, 0}),
                                      line({40, 20, 0}, {25, 20, 0}), arc({25, 20, 0}, {20, 15, 0}, {15, 20, 0}),
                                      line({15, 20, 0}, {0, 20, 0}), line({0, 20, 0}, {0, 0, 0})};
        tag_t plate = offset_prism(notched, 10, d, status);
        ASSERT_EQ(status, 0) << "offset " << d << ": " << last_log();
        const double rho = 5 - d;
        const double above_chord = rho * rho * std::acos(d / rho) - d * std::sqrt(rho * rho - d * d);
        const double area = (40 + 2 * d) * (20 + 2 * d) - (pi * rho * rho - above_chord);
        EXPECT_NEAR(volume(plate), area * (10 + 2 * d), 1e-5) << "offset " << d;
        EXPECT_TRUE(valid(plate));
    }
}

TEST_F(FeatureOffsetTest, SeparateSolidsThatGrowIntoEachOtherBecomeOne) {
    auto pair = polygon({{0, 0}, {10, 0}, {10, 10}, {0, 10}});
    for (tag_t t : polygon({{11, 0}, {21, 0}, {21, 10}, {11, 10}})) pair.push_back(t);
    int status = -1;
    tag_t body = offset_prism(pair, 4, 1, status);
    ASSERT_EQ(status, 0) << last_log();
    EXPECT_EQ(lumps(body), 1);
    EXPECT_NEAR(volume(body), 23 * 12 * 6, 1e-6);
}

TEST_F(FeatureOffsetTest, CollapseAndBadListsAreErrorsThatLeaveTheBodyAlone) {
    int status = -1;
    tag_t body = offset_prism(polygon({{0, 0}, {10, 0}, {10, 10}, {0, 10}}), 10, -6, status);
    EXPECT_EQ(status, diekit::kErrGeometry) << "a shrink past the middle leaves no solid";
    EXPECT_NEAR(volume(body), 1000, 1e-9);

    tag_t other = body_of(block({50, 0, 0}, 1, 1, 1));
    uf_list_p_t features = nullptr;
    UF_MODL_create_list(&features);
    char d[] = "1.0";
    tag_t result = 99;
    EXPECT_EQ(UF_MODL_create_feature_offset(d, features, &result), kErrBadValue);  // empty
    EXPECT_EQ(result, NULL_TAG);
    uf_list_p_t mixed = list_of({block({0, 50, 0}, 1, 1, 1), block({0, 60, 0}, 1, 1, 1)});
    EXPECT_EQ(UF_MODL_create_feature_offset(d, mixed, &result), kErrBadValue);  // two bodies
    uf_list_p_t wrong = list_of({other});
    EXPECT_EQ(UF_MODL_create_feature_offset(d, wrong, &result), kErrWrongKind);  // a body, not a feature
    EXPECT_EQ(UF_MODL_create_feature_offset(nullptr, mixed, &result), kErrNullArgument);
    for (uf_list_p_t *list : {&features, &mixed, &wrong}) UF_MODL_delete_list(list);
}

TEST_F(FeatureOffsetTest, DieOpeningChainCutsTheGrownOutlineOutOfThePlate) {
    // As the die set builder does: plate, outline extruded through it, offset by the clearance, cut.
    tag_t plate = body_of(block({-50, -50, 5}, 100, 100, 20));
    tag_t feature = NULL_TAG;
    ASSERT_EQ(extrude(stadium(), 5, 25, {0, 0, 1}, 0, feature), 0);
    uf_list_p_t features = list_of({feature});
    char clearance[] = "0.300000";
    tag_t offset = NULL_TAG, cut = NULL_TAG;
    ASSERT_EQ(UF_MODL_create_feature_offset(clearance, features, &offset), 0) << last_log();
    UF_MODL_delete_list(&features);
    ASSERT_EQ(UF_MODL_subtract_bodies_with_retained_options(plate, body_of(offset), false, false, &cut), 0);
    // The grown prism reaches 0.3 beyond both plate faces, so the opening is the grown outline through 20.
    EXPECT_NEAR(volume(plate), 100 * 100 * 20 - (20 * 10.6 + pi * 5.3 * 5.3) * 20, 1e-5);
    EXPECT_EQ(body_count(), 1u);
}

// ---------------------------------------------------------------- blend

TEST_F(BlendTest, FourVerticalPlateEdgesChosenByContainmentAreRoundedExactly) {
    // The retainer plate's corner selection: edges through the corner lines at half height.
    tag_t feature = block({-15, -10, -6}, 30, 20, 6);
    tag_t plate = body_of(feature);
    uf_list_p_t edges = nullptr, chosen = nullptr;
    ASSERT_EQ(UF_MODL_ask_feat_edges(feature, &edges), 0);
    UF_MODL_create_list(&chosen);
    int count = 0;
    UF_MODL_ask_list_count(edges, &count);
    for (int i = 0; i < count; ++i) {
        tag_t edge = NULL_TAG;
        UF_MODL_ask_list_item(edges, i, &edge);
        for (auto [x, y] : {std::pair{-15.0, -10.0}, {15.0, -10.0}, {-15.0, 10.0}, {15.0, 10.0}}) {
            double p[3] = {x, y, -3};
            int status = 0;
            UF_MODL_ask_point_containment(p, edge, &status);
            if (status == 1) UF_MODL_put_list_item(chosen, edge);
        }
    }
    UF_MODL_ask_list_count(chosen, &count);
    ASSERT_EQ(count, 4);
    tag_t blend = NULL_TAG;
    ASSERT_EQ(UF_MODL_create_blend("2", chosen, 0, 0, 0, 0.01, &blend), 0) << last_log();
    EXPECT_EQ(body_of(blend), plate);
    EXPECT_NEAR(volume(plate), 3600 - 4 * 4 * (1 - pi / 4) * 6, 1e-6);
    expect_box(plate, {-15, -10, -6, 15, 10, 0});
    double corner[3] = {14.9, 9.9, -3}, edge_mid[3] = {0, 9.9, -3};
    int status = 0;
    UF_MODL_ask_point_containment(corner, plate, &status);
    EXPECT_EQ(status, 2);
    UF_MODL_ask_point_containment(edge_mid, plate, &status);
    EXPECT_EQ(status, 1);
    tag_t stale = NULL_TAG;
    UF_MODL_ask_list_item(edges, 0, &stale);
    double b[6];
    EXPECT_EQ(UF_MODL_ask_bounding_box(stale, b), kErrStaleTag);
    UF_MODL_delete_list(&edges);
    UF_MODL_delete_list(&chosen);
}

TEST_F(BlendTest, RefusedBlendsAreErrorCodesAndLeaveTheBodyUnchanged) {
    tag_t feature = block({0, 0, 0}, 10, 10, 10);
    tag_t body = body_of(feature);
    uf_list_p_t all = nullptr, other_edges = nullptr;
    ASSERT_EQ(UF_MODL_ask_feat_edges(feature, &all), 0);
    ASSERT_EQ(UF_MODL_ask_feat_edges(block({20, 0, 0}, 10, 10, 10), &other_edges), 0);
    tag_t first = NULL_TAG, foreign = NULL_TAG;
    UF_MODL_ask_list_item(all, 0, &first);
    UF_MODL_ask_list_item(other_edges, 0, &foreign);
    uf_list_p_t one = list_of({first});
    uf_list_p_t two_bodies = list_of({first, foreign});
    uf_list_p_t empty = list_of({});
    uf_list_p_t face = list_of({face_at_z(body, 10, 10)});
    tag_t blend = 99;
    EXPECT_EQ(UF_MODL_create_blend("6", all, 0, 0, 0, 0.01, &blend), diekit::kErrGeometry);  // radius > half side
    EXPECT_EQ(blend, NULL_TAG);
    EXPECT_EQ(UF_MODL_create_blend("0", one, 0, 0, 0, 0.01, &blend), kErrBadValue);
    EXPECT_EQ(UF_MODL_create_blend("1", empty, 0, 0, 0, 0.01, &blend), kErrBadValue);
    EXPECT_EQ(UF_MODL_create_blend("1", two_bodies, 0, 0, 0, 0.01, &blend), kErrBadValue);
    EXPECT_EQ(UF_MODL_create_blend("1", one, 2, 0, 0, 0.01, &blend), kErrBadValue);
    EXPECT_EQ(UF_MODL_create_blend("1", one, 0, 0, 0, -1, &blend), kErrBadValue);
    EXPECT_EQ(UF_MODL_create_blend("1", face, 0, 0, 0, 0.01, &blend), kErrWrongKind);
    EXPECT_EQ(UF_MODL_create_blend("1", one, 0, 0, 0, 0.01, nullptr), kErrNullArgument);
    EXPECT_NEAR(volume(body), 1000, 1e-9);
    double b[6];
    EXPECT_EQ(UF_MODL_ask_bounding_box(first, b), 0) << "edge tags stay live when nothing changed";
    for (uf_list_p_t *list : {&all, &other_edges, &one, &two_bodies, &empty, &face}) UF_MODL_delete_list(list);
}

// ---------------------------------------------------------------- nearest point on a face

TEST_F(FaceParmTest, PlanarFaceGivesTheFootOfThePerpendicularOrTheNearestBoundaryPoint) {
    tag_t body = body_of(block({0, 0, 0}, 10, 20, 5));
    tag_t top = face_at_z(body, 5, 5);
    const auto &shape = store().face(top).shape;
    struct Case {
        Vec3 reference, expected;
    };
    for (const Case &c : {Case{{3, 4, 9}, {3, 4, 5}}, Case{{3, 4, -1}, {3, 4, 5}}, Case{{15, 4, 9}, {10, 4, 5}}}) {
        double ref[3] = {c.reference.x, c.reference.y, c.reference.z}, parm[2], point[3];
        ASSERT_EQ(UF_MODL_ask_face_parm_2(top, ref, parm, point), 0) << last_log();
        EXPECT_NEAR(point[0], c.expected.x, 1e-9);
        EXPECT_NEAR(point[1], c.expected.y, 1e-9);
        EXPECT_NEAR(point[2], c.expected.z, 1e-9);
        auto props = diekit::kernel::face_props(shape, parm[0], parm[1]);
        EXPECT_NEAR(props.point.x, c.expected.x, 1e-9);
        EXPECT_NEAR(props.point.y, c.expected.y, 1e-9);
        EXPECT_NEAR(props.normal.z, 1, 1e-12);
    }
}

TEST_F(FaceParmTest, CylinderFaceParametersLieInItsRangeAndGiveTheRadialNormal) {
    tag_t feature = NULL_TAG;
    ASSERT_EQ(cylinder({0, 0, 0}, {0, 0, 1}, 10, 10, 0, feature), 0);
    tag_t side = face_at_z(body_of(feature), 0, 10);
    ASSERT_NE(side, NULL_TAG);
    const auto &shape = store().face(side).shape;
    const auto range = diekit::kernel::uv_bounds(shape);
    for (double angle : {0.3, 2.0, 3.9, 5.8}) {
        double ref[3] = {9 * std::cos(angle), 9 * std::sin(angle), 3}, parm[2], point[3];
        ASSERT_EQ(UF_MODL_ask_face_parm_2(side, ref, parm, point), 0) << last_log();
        EXPECT_NEAR(point[0], 5 * std::cos(angle), 1e-9);
        EXPECT_NEAR(point[1], 5 * std::sin(angle), 1e-9);
        EXPECT_NEAR(point[2], 3, 1e-9);
        EXPECT_GE(parm[0], range.umin - 1e-9);
        EXPECT_LE(parm[0], range.umax + 1e-9);
        auto props = diekit::kernel::face_props(shape, parm[0], parm[1]);
        EXPECT_NEAR(props.normal.x, std::cos(angle), 1e-9) << angle;
        EXPECT_NEAR(props.normal.y, std::sin(angle), 1e-9) << angle;
    }
}

TEST_F(FaceParmTest, WrongObjectsAndNullOutputsAreErrorCodes) {
    tag_t feature = block({0, 0, 0}, 10, 10, 10);
    tag_t body = body_of(feature);
    tag_t top = face_at_z(body, 10, 10);
    double ref[3] = {1, 1, 20}, parm[2] = {7, 7}, point[3] = {7, 7, 7};
    EXPECT_EQ(UF_MODL_ask_face_parm_2(body, ref, parm, point), kErrWrongKind);
    EXPECT_EQ(parm[0], 0);
    EXPECT_EQ(point[2], 0);
    EXPECT_EQ(UF_MODL_ask_face_parm_2(top, nullptr, parm, point), kErrNullArgument);
    EXPECT_EQ(UF_MODL_ask_face_parm_2(top, ref, nullptr, point), kErrNullArgument);
    tag_t bore = NULL_TAG;
    ASSERT_EQ(cylinder({5, 5, -1}, {0, 0, 1}, 12, 2, 2, bore), 0);  // changes the body: its faces go stale
    EXPECT_EQ(UF_MODL_ask_face_parm_2(top, ref, parm, point), kErrStaleTag);
}
