// Chamfers and fillets on chosen edges.
#include "kernel_test_util.hpp"

#include <algorithm>

using namespace diekit::kernel;
using namespace diekit::kernel::test;

namespace {

// Box 20 x 10 x 8 from the origin and its four vertical edges.
struct Block {
    Shape body = block({0, 0, 0}, 20, 10, 8);
    std::vector<Shape> vertical() const {
        std::vector<Shape> result;
        for (const Shape &e : edges(body)) {
            const LineData d = line_data(e);
            if (std::abs(d.start.x - d.end.x) < 1e-9 && std::abs(d.start.y - d.end.y) < 1e-9) result.push_back(e);
        }
        return result;
    }
    // The vertical edge at (x, y).
    Shape vertical_at(double x, double y) const {
        for (const Shape &e : vertical()) {
            const LineData d = line_data(e);
            if (std::abs(d.start.x - x) < 1e-9 && std::abs(d.start.y - y) < 1e-9) return e;
        }
        return Shape();
    }
};

}  // namespace

TEST(KernelChamfer, EqualDistanceOnTheFourVerticalEdges) {
    const Block b;
    const std::vector<Shape> chosen = b.vertical();
    ASSERT_EQ(chosen.size(), 4u);
    const Shape chamfered = chamfer_equal(b.body, chosen, 2);
    EXPECT_EQ(kind(chamfered), ShapeKind::Solid);
    EXPECT_EQ(faces(chamfered).size(), 6u + 4u);
    EXPECT_NEAR(volume(chamfered), 1600 - 4 * (2.0 * 2.0 / 2 * 8), 1e-9);
    // Every corner vertex is computed by the chamfer (OCCT gives xmin = -6.7e-16); the box still reads
    // exactly 0..20 so that truncating callers see 20.
    expect_box_near(bounding_box(chamfered), {0, 0, 0, 20, 10, 8}, 0);
}

TEST(KernelChamfer, OnlyTheChosenEdgeChanges) {
    const Block b;
    const Shape chamfered = chamfer_equal(b.body, {b.vertical_at(20, 10)}, 1);
    EXPECT_EQ(faces(chamfered).size(), 7u);
    EXPECT_EQ(classify(chamfered, {19.9, 9.9, 4}), Where::Outside);
    EXPECT_EQ(classify(chamfered, {0.1, 0.1, 4}), Where::Inside);
    EXPECT_EQ(classify(chamfered, {19.9, 0.1, 4}), Where::Inside);
}

TEST(KernelChamfer, TwoDistancesGoOneOnEachFace) {
    const Block b;
    const Shape chamfered = chamfer_two(b.body, {b.vertical_at(0, 0)}, 1, 3);
    EXPECT_NEAR(volume(chamfered), 1600 - 1.0 * 3.0 / 2 * 8, 1e-9);
    // The cut runs from (a, 0) to (0, c) with {a, c} = {1, 3}.
    const bool one_along_x = classify(chamfered, {1.01, 0.01, 4}) == Where::Inside;
    const bool three_along_x = classify(chamfered, {2.99, 0.01, 4}) == Where::Inside;
    EXPECT_NE(one_along_x, three_along_x);
}

TEST(KernelChamfer, DistanceAndAngle) {
    const Block b;
    const double other = 2 * std::tan(pi / 6);
    const Shape chamfered = chamfer_angle(b.body, {b.vertical_at(20, 0)}, 2, 30);
    EXPECT_NEAR(volume(chamfered), 1600 - 2 * other / 2 * 8, 1e-9);
    expect_kernel_error([&] { chamfer_angle(b.body, {b.vertical_at(20, 0)}, 2, 90); }, "chamfer");
}

TEST(KernelChamfer, EdgesListedTwiceAreChamferedOnce) {
    const Block b;
    const Shape e = b.vertical_at(0, 10);
    EXPECT_EQ(faces(chamfer_equal(b.body, {e, e}, 1)).size(), 7u);
}

TEST(KernelFillet, ConstantRadiusOnOneEdge) {
    const Block b;
    const Shape rounded = fillet(b.body, {b.vertical_at(20, 10)}, 2);
    EXPECT_EQ(faces(rounded).size(), 7u);
    EXPECT_NEAR(volume(rounded), 1600 - (4 - pi) * 8, 1e-6);
    expect_box_near(bounding_box(rounded), {0, 0, 0, 20, 10, 8}, 1e-7);
}

TEST(KernelTreatmentErrors, BadEdgesAndSizes) {
    const Block b;
    const Block other;  // same geometry, different topology
    expect_kernel_error([&] { chamfer_equal(b.body, {}, 1); }, "chamfer");
    expect_kernel_error([&] { fillet(b.body, {}, 1); }, "fillet");
    expect_kernel_error([&] { chamfer_equal(b.body, {other.vertical_at(0, 0)}, 1); }, "chamfer");
    expect_kernel_error([&] { chamfer_equal(b.body, {faces(b.body)[0]}, 1); }, "chamfer");
    expect_kernel_error([&] { chamfer_equal(b.body, {b.vertical_at(0, 0)}, 0); }, "chamfer");
    expect_kernel_error([&] { chamfer_two(b.body, {b.vertical_at(0, 0)}, 1, -1); }, "chamfer");
    expect_kernel_error([&] { fillet(b.body, {b.vertical_at(0, 0)}, -2); }, "fillet");
    // Larger than the faces it cuts into: the kernel fails and says so.
    expect_kernel_error([&] { chamfer_equal(b.body, b.vertical(), 30); }, "chamfer");
    expect_kernel_error([&] { fillet(b.body, b.vertical(), 12); }, "fillet");
}
