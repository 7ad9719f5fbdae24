// Contacts with an indexed plate (split into pieces for the interference report) must give the very
// answers of the whole plate: touching, apart, overlapping, inside, and across the cutting planes.
#include "kernel/contact.hpp"
#include "kernel/contact_index.hpp"
#include "kernel/held_cut.hpp"
#include "kernel_test_util.hpp"

#include <random>

using namespace diekit::kernel;
using namespace diekit::kernel::test;

namespace {

// A 300 x 300 x 20 plate with 36 through pockets 10 x 10 on a 40 mm grid: 150 faces.
Shape pocketed_plate() {
    Shape plate = block({-150, -150, 0}, 300, 300, 20);
    for (int i = 0; i < 36; ++i) plate = cut(plate, block({-125.0 + 40 * (i % 6), -125.0 + 40 * (i / 6), -1}, 10, 10, 22));
    return plate;
}

void expect_same(const Contact &indexed, const Contact &whole, const std::string &what) {
    EXPECT_EQ(indexed.boundaries_meet, whole.boundaries_meet) << what;
    EXPECT_NEAR(indexed.shared_volume, whole.shared_volume, 1e-6) << what;
}

}  // namespace

TEST(KernelContactIndex, IndexedPlateAnswersAsTheWholePlate) {
    const Shape indexed = pocketed_plate();
    const Shape whole(indexed.occ());  // same B-rep, no index
    prepare_contacts(indexed);
    ASSERT_TRUE(indexed.data()->contacts) << "a 150-face plate is indexed";
    ASSERT_GE(indexed.data()->contacts->pieces.size(), 4u);
    EXPECT_FALSE(whole.data()->contacts);

    struct Probe {
        const char *what;
        Shape body;
        bool meet;
        double volume;
    };
    const Probe probes[] = {
        {"insert filling a pocket", block({-125, -125, 0}, 10, 10, 20), true, 0},
        {"pin standing free in a pocket", make_cylinder({-80, -80, -5}, {0, 0, 1}, 30, 6), false, 0},
        {"cube on the top face", block({-10, -10, 20}, 5, 5, 5), true, 0},
        {"cube sunk 2 into the top", block({-10, -10, 18}, 5, 5, 5), true, 50},
        {"pin wholly inside the material", make_cylinder({-100, -100, 5}, {0, 0, 1}, 10, 4), false, pi * 4 * 10},
        {"slab across every cutting plane", block({-140, -140, 15}, 280, 280, 10), true,
         280 * 280 * 5 - 36 * 100 * 5.0},
        {"block apart above", block({0, 0, 30}, 10, 10, 10), false, 0},
    };
    for (const Probe &probe : probes) {
        const Contact a = contact(indexed, probe.body), b = contact(whole, probe.body);
        expect_same(a, b, probe.what);
        EXPECT_EQ(a.boundaries_meet, probe.meet) << probe.what;
        EXPECT_NEAR(a.shared_volume, probe.volume, 1e-6) << probe.what;
        expect_same(contact(probe.body, indexed), a, std::string(probe.what) + ", reversed");
    }
}

TEST(KernelContactIndex, SmallCubesAnywhereGiveTheSameAnswers) {
    const Shape indexed = pocketed_plate();
    const Shape whole(indexed.occ());
    prepare_contacts(indexed);
    ASSERT_TRUE(indexed.data()->contacts);
    std::mt19937 random(20261208);
    std::uniform_real_distribution<double> plan(-155, 150), height(-6, 21);
    for (int i = 0; i < 60; ++i) {
        const double x = std::round(plan(random) * 4) / 4, y = std::round(plan(random) * 4) / 4;
        const double z = std::round(height(random) * 4) / 4;
        const Shape cube = block({x, y, z}, 5, 5, 5);
        expect_same(contact(indexed, cube), contact(whole, cube),
                    "cube at " + std::to_string(x) + ", " + std::to_string(y) + ", " + std::to_string(z));
    }
}

TEST(KernelContactIndex, APointOnACuttingPlaneInsideTheMaterialIsInside) {
    const Shape indexed = pocketed_plate();
    prepare_contacts(indexed);
    ASSERT_TRUE(indexed.data()->contacts);
    // A pin inside the material whose only vertices (on its seam) lie on a cutting plane: the pieces
    // on either side see them on their boundary; the plate has them inside.
    for (const gp_Pln &plane : indexed.data()->contacts->planes) {
        if (std::abs(plane.Axis().Direction().X()) < 0.5) continue;
        const double x = plane.Location().X();
        const Shape pin = make_cylinder({x - 3, -100, 5}, {0, 0, 1}, 10, 6);
        const Contact c = contact(indexed, pin);
        EXPECT_FALSE(c.boundaries_meet) << "plane x = " << x;
        EXPECT_NEAR(c.shared_volume, pi * 9 * 10, 1e-6) << "plane x = " << x;
    }
}

TEST(KernelContactIndex, SmallBodiesAreNotIndexed) {
    const Shape plate = block({0, 0, 0}, 100, 100, 10);
    prepare_contacts(plate);
    EXPECT_FALSE(plate.data()->contacts);
}
