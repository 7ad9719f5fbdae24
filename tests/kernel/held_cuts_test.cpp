// Cuts held back from a large plate: the answers (volume, box, faces, commons, emptiness) must be the
// ones that cutting at once gives, whether the shortcut answers or the held cut has to run.
#include "kernel/held_cut.hpp"
#include "kernel_test_util.hpp"

using namespace diekit::kernel;
using namespace diekit::kernel::test;
using diekit::kernel::detail::is_held;

namespace {

constexpr double kSide = 200, kThick = 10;

// A 200 x 200 x 10 plate with n square 4 x 4 through holes on a 20 mm grid from (10, 10).
Shape plate_with_holes(int n, std::vector<Shape> *holes = nullptr) {
    Shape plate = block({0, 0, 0}, kSide, kSide, kThick);
    for (int i = 0; i < n; ++i) {
        Shape hole = block({8.0 + 20 * (i % 9), 8.0 + 20 * (i / 9), -1}, 4, 4, kThick + 2);
        if (holes) holes->push_back(hole);
        plate = cut(plate, hole);
    }
    return plate;
}

constexpr double kHole = 4 * 4 * kThick;

}  // namespace

TEST(KernelHeldCuts, ManySmallCutsGiveTheExactPlateAndLeaveTheOriginalWhole) {
    const Shape original = plate_with_holes(9);
    EXPECT_FALSE(is_held(original)) << "9 holes: 42 faces are made at once";
    Shape plate = original;
    for (int i = 9; i < 60; ++i) plate = cut(plate, block({8.0 + 20 * (i % 9), 8.0 + 20 * (i / 9), -1}, 4, 4, 12));
    ASSERT_TRUE(is_held(plate)) << "cuts from a 42-face plate are held back";
    expect_box_near(bounding_box(plate), {0, 0, 0, kSide, kSide, kThick}, 0);
    EXPECT_TRUE(has_solid(plate));
    ASSERT_TRUE(is_held(plate)) << "box and non-emptiness come without running the cut";

    EXPECT_EQ(classify(plate, {10, 10, 5}), Where::Outside);
    EXPECT_EQ(classify(plate, {5, 5, 5}), Where::Inside);
    EXPECT_EQ(faces(plate).size(), 6u + 60 * 4);
    EXPECT_NEAR(volume(plate), kSide * kSide * kThick - 60 * kHole, 1e-6);
    EXPECT_TRUE(is_valid(plate));
    EXPECT_EQ(solid_count(plate), 1);
    EXPECT_NEAR(volume(original), kSide * kSide * kThick - 9 * kHole, 1e-6);
}

TEST(KernelHeldCuts, CommonsNearHeldToolsLeaveThemOut) {
    Shape plate = plate_with_holes(20);
    // Two overlapping pockets and one far away, all held.
    plate = cut(plate, block({100, 150, -1}, 10, 10, 12));
    plate = cut(plate, block({105, 155, -1}, 10, 10, 12));
    plate = cut(plate, block({170, 170, 5}, 10, 10, 6));
    ASSERT_TRUE(is_held(plate));

    // A window over the two overlapping pockets: 20 x 20 x 10 less their union (175 mm² through).
    const Shape window = common(plate, block({98, 148, -5}, 20, 20, 20));
    EXPECT_NEAR(volume(window), 20 * 20 * 10 - 175 * 10, 1e-6);
    expect_box_near(bounding_box(window), {98, 148, 0, 118, 168, 10}, 0);
    // The same with the plate as the tool.
    EXPECT_NEAR(volume(common(block({98, 148, -5}, 20, 20, 20), plate)), 20 * 20 * 10 - 175 * 10, 1e-6);
    // Over a blind pocket (5 deep) and a hole of the 20 made at once.
    EXPECT_NEAR(volume(common(plate, block({165, 165, 0}, 15, 15, 10))), 15 * 15 * 10 - 10 * 10 * 5, 1e-6);
    EXPECT_NEAR(volume(common(plate, block({0, 0, 0}, 20, 20, 10))), 4000 - kHole, 1e-6);
    EXPECT_TRUE(is_held(plate)) << "the commons ran near the window only";
    EXPECT_NEAR(volume(plate), kSide * kSide * kThick - 20 * kHole - 1750 - 500, 1e-6);
}

TEST(KernelHeldCuts, CutsThatMoveTheBoxOrEmptyThePlateGiveExactAnswers) {
    // A slab off the whole +x side: no vertex at x = 200 survives, so the box comes from the cut.
    Shape plate = cut(plate_with_holes(12), block({190, -1, -1}, 20, kSide + 2, kThick + 2));
    expect_box_near(bounding_box(plate), {0, 0, 0, 190, kSide, kThick}, 0);
    EXPECT_NEAR(volume(plate), 190 * kSide * kThick - 12 * kHole, 1e-6);

    // A top slab over everything but a 1 mm strip at y = 0: the top side moves to z = 5.
    Shape lowered = cut(plate_with_holes(12), block({-1, 1, 5}, kSide + 2, kSide, 10));
    expect_box_near(bounding_box(lowered), {0, 0, 0, kSide, kSide, kThick}, 0);
    lowered = cut(lowered, block({-1, -1, 5}, kSide + 2, 3, 10));
    expect_box_near(bounding_box(lowered), {0, 0, 0, kSide, kSide, 5}, 0);

    // A tool larger than the plate leaves nothing, at once or after held cuts.
    Shape held = cut(plate_with_holes(12), block({50, 50, -1}, 5, 5, 12));
    const Shape gone = cut(held, block({-10, -10, -10}, 300, 300, 30));
    EXPECT_FALSE(has_solid(gone));
    EXPECT_TRUE(is_empty(gone));
}
