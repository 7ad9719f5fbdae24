// Point and pair tests, edge and face geometry, placement and feature edges.
#include "kernel_test_util.hpp"

using namespace diekit::kernel;
using namespace diekit::kernel::test;

TEST(KernelClassify, InsideOnOutsideWithTolerance) {
    const Shape cube = block({0, 0, 0}, 10, 10, 10);
    EXPECT_EQ(classify(cube, {5, 5, 5}), Where::Inside);
    EXPECT_EQ(classify(cube, {10, 5, 5}), Where::On);
    EXPECT_EQ(classify(cube, {5, 5, 10 + 5e-7}), Where::On);  // model tolerance, not OCCT's 1e-7
    EXPECT_EQ(classify(cube, {0, 0, 0}), Where::On);
    EXPECT_EQ(classify(cube, {5, 5, 10 + 1e-4}), Where::Outside);
    EXPECT_EQ(classify(cube, {11, 5, 5}), Where::Outside);
    const Shape round = make_cylinder({0, 0, 0}, {0, 0, 1}, 2, 10);
    EXPECT_EQ(classify(round, {5, 0, 1}), Where::On);
    EXPECT_EQ(classify(round, {3.6, 3.6, 1}), Where::Outside);  // inside the bounding box only
    expect_kernel_error([] { classify(make_line({0, 0, 0}, {1, 0, 0}), {0, 0, 0}); }, "point containment");
}

TEST(KernelDistance, PointToEdgeAndBetweenShapes) {
    const Shape edge = make_line({0, 0, 0}, {10, 0, 0});
    EXPECT_NEAR(distance(edge, {5, 3, 4}), 5, 1e-9);
    EXPECT_NEAR(distance(edge, {13, 4, 0}), 5, 1e-9);  // nearest is the end point
    EXPECT_NEAR(distance(edge, {7, 0, 0}), 0, 1e-12);
    EXPECT_NEAR(distance(make_circle({0, 0, 0}, {0, 0, 1}, 3), {0, 0, 4}), 5, 1e-9);
    EXPECT_NEAR(distance(block({0, 0, 0}, 1, 1, 1), block({3, 0, 0}, 1, 1, 1)), 2, 1e-9);
    EXPECT_NEAR(distance(block({0, 0, 0}, 10, 10, 10), {2, 5, 5}), 0, 1e-12);  // inside a solid
    EXPECT_NEAR(distance(block({0, 0, 0}, 10, 10, 10), {12, 5, 5}), 2, 1e-9);
}

TEST(KernelInterference, SharedTouchingApart) {
    const Shape a = block({0, 0, 0}, 10, 10, 10);
    EXPECT_EQ(interference(a, block({5, 5, 5}, 10, 10, 10)), Interference::Shared);
    EXPECT_EQ(interference(a, block({2, 2, 2}, 1, 1, 1)), Interference::Shared);  // contained
    EXPECT_EQ(interference(a, block({10, 0, 0}, 5, 5, 5)), Interference::Touching);
    EXPECT_EQ(interference(a, block({10, 10, 0}, 5, 5, 5)), Interference::Touching);  // along an edge
    // A gap within the model tolerance but wider than OCCT's 1e-7 still touches.
    EXPECT_EQ(interference(a, block({10 + 5e-7, 0, 0}, 5, 5, 5)), Interference::Touching);
    EXPECT_EQ(interference(a, block({11, 0, 0}, 5, 5, 5)), Interference::Apart);
    // Boxes overlap, solids do not.
    EXPECT_EQ(interference(make_cylinder({0, 0, 0}, {0, 0, 1}, 1, 10), block({4, 4, 0}, 2, 2, 1)),
              Interference::Apart);
}

TEST(KernelCurveData, StraightEdgesCirclesAndArcs) {
    const LineData line = line_data(make_line({1, 2, 3}, {4, 6, 3}));
    EXPECT_TRUE(line.straight);
    EXPECT_EQ(line.start.x, 1.0);
    EXPECT_EQ(line.start.y, 2.0);
    EXPECT_EQ(line.end.x, 4.0);
    EXPECT_EQ(line.end.y, 6.0);
    EXPECT_EQ(curve_kind(make_line({0, 0, 0}, {1, 0, 0})), CurveKind::Line);

    const Shape circle = make_circle({0, 0, 0}, {0, 0, 1}, 2);
    const LineData round = line_data(circle);
    EXPECT_FALSE(round.straight);
    EXPECT_NEAR(norm(minus(round.start, round.end)), 0, 1e-12);
    EXPECT_NEAR(norm(round.start), 2, 1e-12);
    EXPECT_EQ(curve_kind(circle), CurveKind::Circle);

    const Shape arc = make_arc({1, 0, 0}, {0, 1, 0}, {-1, 0, 0});
    const LineData ends = line_data(arc);
    EXPECT_FALSE(ends.straight);
    EXPECT_NEAR(norm(minus(ends.start, {1, 0, 0})), 0, 1e-9);
    EXPECT_NEAR(norm(minus(ends.end, {-1, 0, 0})), 0, 1e-9);
    EXPECT_EQ(curve_kind(arc), CurveKind::Circle);
    expect_kernel_error([] { line_data(block({0, 0, 0}, 1, 1, 1)); }, "edge ends");
}

TEST(KernelCurveData, EdgesOfAFaceFollowItsBoundary) {
    // With edge orientation respected, each corner of a face starts one edge and ends another.
    for (const Shape &face : faces(block({0, 0, 0}, 2, 3, 4))) {
        std::vector<Vec3> starts, ends;
        for (const Shape &e : edges(face)) {
            starts.push_back(line_data(e).start);
            ends.push_back(line_data(e).end);
        }
        ASSERT_EQ(starts.size(), 4u);
        for (const Vec3 &s : starts) {
            int matches = 0;
            for (const Vec3 &e : ends) matches += norm(minus(s, e)) < 1e-12;
            EXPECT_EQ(matches, 1);
        }
    }
}

TEST(KernelFaceData, BoxAndCylinderNormalsPointOutward) {
    const Shape box = block({0, 0, 0}, 20, 10, 8);
    const Vec3 centre{10, 5, 4};
    double parameter_area = 0;
    for (const Shape &face : faces(box)) {
        const UvBounds uv = uv_bounds(face);
        parameter_area += (uv.umax - uv.umin) * (uv.vmax - uv.vmin);
        const FaceProps p = face_props(face, (uv.umin + uv.umax) / 2, (uv.vmin + uv.vmax) / 2);
        EXPECT_NEAR(norm(p.normal), 1, 1e-12);
        EXPECT_NEAR(std::abs(dot(p.normal, minus(p.point, centre))), norm(minus(p.point, centre)), 1e-9)
            << "face centre lies on the normal through the box centre";
        EXPECT_GT(dot(p.normal, minus(p.point, centre)), 0) << "outward";
        EXPECT_NEAR(norm(p.du), 1, 1e-12);
        EXPECT_NEAR(dot(p.du, p.dv), 0, 1e-12);
    }
    EXPECT_NEAR(parameter_area, area(box), 1e-9);  // planes are parametrised by arc length

    const Shape round = make_cylinder({0, 0, 0}, {0, 0, 1}, 4, 6);
    int curved = 0;
    for (const Shape &face : faces(round)) {
        const UvBounds uv = uv_bounds(face);
        const FaceProps p = face_props(face, (uv.umin + uv.umax) / 2, (uv.vmin + uv.vmax) / 2);
        if (std::abs(p.normal.z) > 0.5) {
            EXPECT_GT(p.normal.z * (p.point.z - 2), 0) << "end caps face away from the middle";
        } else {
            ++curved;
            EXPECT_NEAR(dot(p.normal, {p.point.x / 3, p.point.y / 3, 0}), 1, 1e-9) << "side faces away from the axis";
        }
    }
    EXPECT_EQ(curved, 1);
    expect_kernel_error([&] { uv_bounds(edges(round)[0]); }, "face parameters");
}

TEST(KernelPlace, MovesIntoTheFrameAndLeavesTheOriginal) {
    const Shape box = block({0, 0, 0}, 1, 2, 3);
    Frame turned;
    turned.origin = {10, 0, 0};
    turned.x = {0, 1, 0};
    turned.y = {-1, 0, 0};
    expect_box_near(bounding_box(place(box, turned)), {8, 0, 0, 10, 1, 3}, 1e-12);

    Frame lying;  // local z along absolute x; local y = z cross x = absolute z
    lying.origin = {10, 0, 0};
    lying.x = {0, 1, 0};
    lying.y = {0, 0, 1};
    lying.z = {1, 0, 0};
    const Shape moved = place(box, lying);
    expect_box_near(bounding_box(moved), {10, 0, 0, 13, 1, 2}, 1e-12);
    EXPECT_NEAR(volume(moved), 6, 1e-12);
    expect_box_near(bounding_box(box), {0, 0, 0, 1, 2, 3}, 0);
    Frame broken;
    broken.z = {0, 0, 0};
    expect_kernel_error([&] { place(box, broken); }, "place");
}

TEST(KernelTopology, OrderIsStableAndIdentityIsShared) {
    const Shape box = block({0, 0, 0}, 1, 2, 3);
    const std::vector<Shape> first = faces(box), second = faces(box);
    ASSERT_EQ(first.size(), 6u);
    for (std::size_t i = 0; i < first.size(); ++i) EXPECT_TRUE(is_same(first[i], second[i]));
    EXPECT_FALSE(is_same(first[0], first[1]));
    EXPECT_FALSE(is_same(box, block({0, 0, 0}, 1, 2, 3)));
    EXPECT_EQ(kind(first[0]), ShapeKind::Face);
    EXPECT_EQ(kind(edges(box)[0]), ShapeKind::Edge);
    EXPECT_EQ(edges(box).size(), 12u);
}

TEST(KernelTopology, EdgesLyingOnAFeatureSurviveLaterChanges) {
    const Shape feature = block({0, 0, 0}, 10, 10, 10);
    // A post on top adds edges of its own; the block's twelve stay.
    const Shape with_post = fuse(feature, make_cylinder({5, 5, 10}, {0, 0, 1}, 3, 4));
    EXPECT_EQ(edges_lying_on(with_post, feature).size(), 12u);

    // A corner notch removes one vertical edge and shortens four; its seven new edges do not count.
    const Shape notched = cut(feature, block({8, 8, -1}, 3, 3, 12));
    EXPECT_EQ(edges(notched).size(), 18u);
    const std::vector<Shape> kept = edges_lying_on(notched, feature);
    EXPECT_EQ(kept.size(), 11u);
    for (const Shape &e : kept) {
        const LineData d = line_data(e);
        const bool on_notch = (d.start.x == 8 && d.end.x == 8) || (d.start.y == 8 && d.end.y == 8);
        EXPECT_FALSE(on_notch) << "notch edge reported";
    }
    EXPECT_TRUE(edges_lying_on(block({20, 0, 0}, 1, 1, 1), feature).empty());
}
