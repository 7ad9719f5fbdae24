// Holes found from the B-rep of a plate made from known holes, turned about Z and moved off the origin:
// its own frame (datum corner, axes) and every hole's position, size, depth, counterbore and face, exactly.
#include "kernel/holes.hpp"
#include "kernel/oriented_box.hpp"
#include "kernel_test_util.hpp"

namespace diekit::kernel::test {
namespace {

Shape cylinder(double x, double y, double z0, double z1, double d) { return make_cylinder({x, y, z0}, {0, 0, 1}, z1 - z0, d); }
Shape pocket(double x0, double y0, double x1, double y1, double z0, double z1) {
    return make_prism({{x0, y0, 0}, {x1, y0, 0}, {x1, y1, 0}, {x0, y1, 0}}, z0, z1);
}

TEST(KernelHoles, PlateOfKnownHolesGivesItsFrameAndHoleTableExactly) {
    // 120 x 80 x 20 in its own frame, holes from above, from below and through, then turned 30 degrees.
    Shape plate = block({0, 0, 0}, 120, 80, 20);
    for (const Shape &tool : {cylinder(20, 15, -1, 21, 10),                              // through
                              cylinder(100, 60, 8, 21, 8),                               // from the top, 12 deep
                              cylinder(60, 20, -1, 21, 6.6), cylinder(60, 20, 13.2, 21, 11),  // counterbored
                              cylinder(30, 60, -1, 9.84, 21),                            // from below, 9.84 deep
                              pocket(50, 45, 70, 55, -1, 21),                            // through opening
                              pocket(87, 14, 103, 26, 15, 21),                           // pocket, 5 deep
                              pocket(92, 17, 98, 23, 15, 21),      // cut in the air: splits the pocket's floor
                              pocket(10, 30, 24, 42, 12, 21), pocket(9, 34, 25, 38, 19, 21),  // 8 deep, lugs 2
                              pocket(77, 35, 89, 45, 14, 21), pocket(77, 35, 83, 45, -1, 15)})  // one from below into it
        plate = cut(plate, tool);
    const double c = std::cos(pi / 6), s = std::sin(pi / 6);
    const Frame placed{{-60, -40, 5}, {c, s, 0}, {-s, c, 0}, {0, 0, 1}};
    plate = place(plate, placed);

    const OrientedBox box = oriented_box(plate);
    EXPECT_NEAR(box.size[0], 120, 1e-9);
    EXPECT_NEAR(box.size[1], 80, 1e-9);
    EXPECT_NEAR(box.size[2], 20, 1e-9);
    EXPECT_NEAR(norm(minus(box.frame.origin, placed.origin)), 0, 1e-9) << "datum corner";
    EXPECT_NEAR(dot(box.frame.x, placed.x), 1, 1e-12);
    EXPECT_NEAR(box.frame.z.z, 1, 1e-12);

    const std::vector<Hole> holes = find_holes(plate, box.frame, box.size[2]);
    ASSERT_EQ(holes.size(), 9u);
    struct Round { double x, y, d, depth, cbore, cbore_depth; bool through; HoleFace face; };
    const Round round[] = {{30, 60, 21, 9.84, 0, 0, false, HoleFace::Bottom},
                           {20, 15, 10, 20, 0, 0, true, HoleFace::Top},
                           {100, 60, 8, 12, 0, 0, false, HoleFace::Top},
                           {60, 20, 6.6, 20, 11, 6.8, true, HoleFace::Top}};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        const Hole &h = holes[i];
        const Round &e = round[i];
        EXPECT_TRUE(h.round);
        EXPECT_EQ(h.x, e.x);
        EXPECT_EQ(h.y, e.y);
        EXPECT_EQ(h.diameter, e.d);
        EXPECT_EQ(h.depth, e.depth);
        EXPECT_EQ(h.counterbore_diameter, e.cbore);
        EXPECT_EQ(h.counterbore_depth, e.cbore_depth);
        EXPECT_EQ(h.through, e.through);
        EXPECT_EQ(h.face, e.face);
    }
    const Hole &opening = holes[4], &blind = holes[6];
    EXPECT_FALSE(opening.round);
    EXPECT_EQ(std::vector<double>({opening.x, opening.y, opening.width, opening.length, opening.depth}),
              std::vector<double>({60, 50, 20, 10, 20}));
    EXPECT_TRUE(opening.through);
    EXPECT_NEAR(loop_area(opening.outline), 200, 1e-9);
    EXPECT_EQ(std::vector<double>({blind.x, blind.y, blind.width, blind.length, blind.depth, blind.z_open, blind.z_end}),
              std::vector<double>({95, 20, 16, 12, 5, 20, 15}));
    EXPECT_FALSE(blind.through);
    EXPECT_EQ(blind.face, HoleFace::Top);
    // A pocket ends at its deepest floor, not at steps on its rim; an opening that runs into another
    // one ends where its walls do.
    const Hole &lugged = holes[5], &upper = holes[7], &lower = holes[8];
    EXPECT_EQ(std::vector<double>({lugged.x, lugged.y, lugged.width, lugged.length, lugged.depth}),
              std::vector<double>({17, 36, 16, 12, 8}));
    EXPECT_EQ(std::vector<double>({upper.x, upper.y, upper.width, upper.length, upper.depth}), std::vector<double>({83, 40, 12, 10, 6}));
    EXPECT_EQ(std::vector<double>({lower.x, lower.y, lower.width, lower.length, lower.depth, lower.z_end}),
              std::vector<double>({80, 40, 6, 10, 14, 14}));
    EXPECT_EQ(lower.face, HoleFace::Bottom);
    EXPECT_FALSE(lower.through || upper.through || lugged.through);
}

}  // namespace
}  // namespace diekit::kernel::test
