// Booleans: closed-form volumes, result normalisation, clean unions, untouched operands.
#include "kernel_test_util.hpp"

using namespace diekit::kernel;
using namespace diekit::kernel::test;

TEST(KernelBooleans, BoxMinusThroughCylinder) {
    const Shape plate = block({0, 0, 0}, 40, 30, 10);
    const Shape punch = make_cylinder({20, 15, -5}, {0, 0, 1}, 20, 10);
    const Shape holed = cut(plate, punch);
    EXPECT_EQ(kind(holed), ShapeKind::Solid);
    EXPECT_NEAR(volume(holed), 12000 - pi * 25 * 10, 1e-6);
    EXPECT_EQ(faces(holed).size(), 7u);
    expect_box_near(bounding_box(holed), {0, 0, 0, 40, 30, 10}, 0);
}

TEST(KernelBooleans, CommonOfOverlappingBoxes) {
    const Shape a = block({0, 0, 0}, 10, 10, 10);
    const Shape b = block({5, 5, -5}, 10, 10, 10);
    const Shape both = common(a, b);
    EXPECT_EQ(kind(both), ShapeKind::Solid);
    EXPECT_NEAR(volume(both), 125, 1e-9);
    expect_box_near(bounding_box(both), {5, 5, 0, 10, 10, 5}, 0);
}

TEST(KernelBooleans, CutSplittingABarGivesACompoundOfTwoSolids) {
    const Shape bar = block({0, 0, 0}, 100, 10, 10);
    const Shape split = cut(bar, block({45, -1, -1}, 10, 12, 12));
    EXPECT_EQ(kind(split), ShapeKind::Compound);
    EXPECT_EQ(solid_count(split), 2);
    EXPECT_TRUE(is_valid(split));
    EXPECT_NEAR(volume(split), 9000, 1e-9);
    EXPECT_EQ(classify(split, {80, 5, 5}), Where::Inside);
    EXPECT_EQ(classify(split, {50, 5, 5}), Where::Outside);
}

TEST(KernelBooleans, DisjointCommonIsAnEmptyCompound) {
    const Shape none = common(block({0, 0, 0}, 1, 1, 1), block({3, 0, 0}, 1, 1, 1));
    EXPECT_EQ(kind(none), ShapeKind::Compound);
    EXPECT_TRUE(is_empty(none));
    EXPECT_EQ(solid_count(none), 0);
    EXPECT_EQ(volume(none), 0);
    // Face-to-face contact has no common volume either.
    EXPECT_TRUE(is_empty(common(block({0, 0, 0}, 1, 1, 1), block({1, 0, 0}, 1, 1, 1))));
}

TEST(KernelBooleans, EmptyOperandsHaveDefinedResults) {
    const Shape box = block({0, 0, 0}, 2, 2, 2);
    const Shape nothing = common(box, block({5, 5, 5}, 1, 1, 1));
    EXPECT_NEAR(volume(cut(box, nothing)), 8, 1e-12);
    EXPECT_NEAR(volume(fuse(nothing, box)), 8, 1e-12);
    EXPECT_TRUE(is_empty(common(box, nothing)));
    EXPECT_TRUE(is_empty(cut(nothing, box)));
    expect_kernel_error([&] { cut(box, make_line({0, 0, 0}, {1, 1, 1})); }, "cut");
}

TEST(KernelBooleans, CylinderStandingOnABoxFusesIntoOneCleanSolid) {
    const Shape base = block({0, 0, 0}, 20, 20, 10);
    const Shape post = make_cylinder({10, 10, 10}, {0, 0, 1}, 5, 8);
    const Shape united = fuse(base, post);
    EXPECT_EQ(kind(united), ShapeKind::Solid);
    EXPECT_NEAR(volume(united), 4000 + pi * 16 * 5, 1e-6);
    // Six box faces (the top one with a hole) plus the cylinder's side and top.
    EXPECT_EQ(faces(united).size(), 8u);
    expect_box_near(bounding_box(united), {0, 0, 0, 20, 20, 15}, 1e-7);
}

TEST(KernelBooleans, FuseMergesCoplanarFacesOfAdjacentBoxes) {
    const Shape united = fuse(block({0, 0, 0}, 10, 10, 5), block({10, 0, 0}, 10.7, 10, 5));
    EXPECT_EQ(faces(united).size(), 6u);
    EXPECT_EQ(edges(united).size(), 12u);
    const Box b = bounding_box(united);
    EXPECT_NEAR(b[3] - b[0], 20.7, 1e-9);
    EXPECT_EQ(b[4], 10.0);
    EXPECT_NEAR(volume(united), 20.7 * 50, 1e-9);
}

TEST(KernelBooleans, DisjointFuseKeepsBothSolids) {
    const Shape both = fuse(block({0, 0, 0}, 1, 1, 1), block({5, 0, 0}, 1, 1, 1));
    EXPECT_EQ(kind(both), ShapeKind::Compound);
    EXPECT_EQ(solid_count(both), 2);
}

TEST(KernelBooleans, OperandsStayUnchanged) {
    const Shape plate = block({0, 0, 0}, 40, 30, 10);
    const Shape punch = make_cylinder({20, 0, -5}, {0, 0, 1}, 20, 10);
    const auto plate_faces = faces(plate).size();
    const auto punch_edges = edges(punch).size();
    cut(plate, punch);
    fuse(plate, punch);
    EXPECT_EQ(faces(plate).size(), plate_faces);
    EXPECT_EQ(edges(punch).size(), punch_edges);
    EXPECT_NEAR(volume(plate), 12000, 1e-9);
    EXPECT_TRUE(is_valid(plate));
    EXPECT_TRUE(is_valid(punch));
    // A second cut of the same values gives the same answer.
    EXPECT_NEAR(volume(cut(plate, punch)), 12000 - pi * 25 * 10 / 2, 1e-6);
}
