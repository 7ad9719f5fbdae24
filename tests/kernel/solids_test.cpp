// Primitive solids and their exact boxes, volumes and bad input.
#include "kernel_test_util.hpp"

using namespace diekit::kernel;
using namespace diekit::kernel::test;

TEST(KernelExactBox, FractionalAndIntegralWidthsComeOutExact) {
    const Shape box = block({0.3, -2, 1}, 10.7, 14, 3);
    const Box b = bounding_box(box);
    EXPECT_NEAR(b[3] - b[0], 10.7, 1e-9);
    // Callers truncate extents: an exact 14 must not be 13.999...
    EXPECT_EQ(static_cast<int>(b[4] - b[1]), 14);
    EXPECT_EQ(b[1], -2.0);
    EXPECT_EQ(b[4], 12.0);
    EXPECT_EQ(b[2], 1.0);
    EXPECT_EQ(b[5], 4.0);
}

TEST(KernelExactBox, BlockRotatedThirtyDegreesInPlan) {
    const double c = std::cos(pi / 6), s = std::sin(pi / 6);
    Frame frame;
    frame.x = {c, s, 0};
    frame.y = {-s, c, 0};
    const Shape box = make_box(frame, {0, 0, 0}, 10, 20, 5);
    expect_box_near(bounding_box(box), {-20 * s, 0, 0, 10 * c, 10 * s + 20 * c, 5}, 1e-9);
    EXPECT_NEAR(volume(box), 1000, 1e-9);
}

TEST(KernelExactBox, CylindersAlongZAndX) {
    const Shape upright = make_cylinder({1, 2, 3}, {0, 0, 1}, 7, 10);
    expect_box_near(bounding_box(upright), {-4, -3, 3, 6, 7, 10}, 1e-7);
    const Shape lying = make_cylinder({0, 0, 0}, {-2, 0, 0}, 12, 6);  // axis need not be unit
    expect_box_near(bounding_box(lying), {-12, -3, -3, 0, 3, 3}, 1e-7);
}

TEST(KernelExactBox, HalfCylinderFromCommon) {
    const Shape cylinder = make_cylinder({0, 0, 0}, {0, 0, 1}, 5, 10);
    const Shape half = common(cylinder, block({0, -20, -1}, 20, 40, 10));
    expect_box_near(bounding_box(half), {0, -5, 0, 5, 5, 5}, 1e-7);
    EXPECT_NEAR(volume(half), pi * 25 * 5 / 2, 1e-6);
}

TEST(KernelExactBox, CurvesIncludeTheirBulge) {
    const Box circle = bounding_box(make_circle({0, 0, 0}, {0, 0, 1}, 3));
    expect_box_near(circle, {-3, -3, 0, 3, 3, 0}, 0);
    const Box arc = bounding_box(make_arc({1, 0, 0}, {0, 1, 0}, {-1, 0, 0}));
    expect_box_near(arc, {-1, 0, 0, 1, 1, 0}, 0);
    EXPECT_FALSE(std::signbit(arc[1])) << "no negative zero in reports";
    // Values that are not round-off stay as computed (no coarse rounding of sqrt(2)).
    const Box tilted = bounding_box(make_circle({0, 0, 0}, {1, 1, 0}, 2));
    expect_box_near(tilted, {-std::sqrt(2.0), -std::sqrt(2.0), -2, std::sqrt(2.0), std::sqrt(2.0), 2}, 1e-13);
}

TEST(KernelSolidVolumes, BoxCylinderAndPrism) {
    EXPECT_NEAR(volume(block({0, 0, 0}, 20, 10, 8)), 1600, 1e-9);
    EXPECT_NEAR(area(block({0, 0, 0}, 20, 10, 8)), 2 * (200 + 160 + 80), 1e-9);
    EXPECT_NEAR(volume(make_cylinder({0, 0, 0}, {0, 1, 1}, 9, 4)), pi * 4 * 9, 1e-7);
    // L-shaped outline: 10x10 square minus a 5x5 corner.
    const std::vector<Vec3> l_shape = {{0, 0, 0}, {10, 0, 0}, {10, 5, 0}, {5, 5, 0}, {5, 10, 0}, {0, 10, 0}};
    const Shape prism = make_prism(l_shape, -2, 4);
    EXPECT_NEAR(volume(prism), 75 * 6, 1e-9);
    expect_box_near(bounding_box(prism), {0, 0, -2, 10, 10, 4}, 1e-12);
    EXPECT_EQ(faces(prism).size(), 8u);
}

TEST(KernelSolidVolumes, PrismOutlineOrientationAndClosingPointDoNotMatter) {
    const std::vector<Vec3> ccw = {{0, 0, 0}, {4, 0, 0}, {4, 3, 0}, {0, 3, 0}};
    const std::vector<Vec3> cw_closed = {{0, 0, 0}, {0, 3, 0}, {4, 3, 0}, {4, 0, 0}, {0, 0, 0}};
    for (const auto &outline : {ccw, cw_closed}) {
        const Shape prism = make_prism(outline, 1, 3);
        EXPECT_TRUE(is_valid(prism));
        EXPECT_NEAR(volume(prism), 24, 1e-9);  // positive: outward-facing solid
        EXPECT_EQ(classify(prism, {2, 1.5, 2}), Where::Inside);
    }
}

TEST(KernelBadInput, SolidsRejectNonPositiveSizesAndZeroAxes) {
    expect_kernel_error([] { block({0, 0, 0}, 0, 1, 1); }, "block");
    expect_kernel_error([] { block({0, 0, 0}, 1, -1, 1); }, "block");
    expect_kernel_error([] { block({0, 0, 0}, 1, 1, std::nan("")); }, "block");
    Frame parallel;
    parallel.x = {0, 0, 2};
    expect_kernel_error([&] { make_box(parallel, {0, 0, 0}, 1, 1, 1); }, "block");
    expect_kernel_error([] { make_cylinder({0, 0, 0}, {0, 0, 0}, 5, 2); }, "cylinder");
    expect_kernel_error([] { make_cylinder({0, 0, 0}, {0, 0, 1}, 5, 0); }, "cylinder");
    expect_kernel_error([] { make_cylinder({0, 0, 0}, {0, 0, 1}, -5, 2); }, "cylinder");
    expect_kernel_error([] { make_prism({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}}, 2, 2); }, "extrusion");
    expect_kernel_error([] { make_prism({{0, 0, 0}, {1, 0, 0}, {0, 0, 0}}, 0, 1); }, "extrusion");
    expect_kernel_error([] { make_prism({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}}, 0, 1); }, "extrusion");
}

TEST(KernelBadInput, NullShapesAreRejectedByEveryKindOfOperation) {
    const Shape null;
    const Shape box = block({0, 0, 0}, 1, 1, 1);
    EXPECT_TRUE(null.is_null());
    expect_kernel_error([&] { volume(null); }, "volume");
    expect_kernel_error([&] { bounding_box(null); }, "bounding box");
    expect_kernel_error([&] { cut(box, null); }, "cut");
    expect_kernel_error([&] { faces(null); }, "faces");
    expect_kernel_error([&] { classify(null, {0, 0, 0}); }, "point containment");
    expect_kernel_error([&] { place(null, Frame{}); }, "place");
    expect_kernel_error([&] { write_step("/tmp/never.step", {{null, "x", {}}}); }, "write STEP");
}

TEST(KernelBadInput, CurvesRejectDegenerateInput) {
    expect_kernel_error([] { make_line({1, 1, 1}, {1, 1, 1}); }, "line");
    expect_kernel_error([] { make_circle({0, 0, 0}, {0, 0, 1}, 0); }, "circle");
    expect_kernel_error([] { make_circle({0, 0, 0}, {0, 0, 0}, 1); }, "circle");
    expect_kernel_error([] { make_arc({0, 0, 0}, {1, 0, 0}, {2, 0, 0}); }, "arc");
}
