// Hidden-line projection: view conventions (which model axis becomes which view axis), hiding across
// shapes, silhouettes of curved faces, and the mesh method agreeing with the exact one.
#include "kernel/drawing.hpp"
#include "kernel_test_util.hpp"

#include <cmath>
#include <limits>

namespace diekit::kernel::test {
namespace {

const ViewAxes kTop{{0, 0, 1}, {1, 0, 0}};
const ViewAxes kBottom{{0, 0, -1}, {1, 0, 0}};
const ViewAxes kFront{{0, -1, 0}, {1, 0, 0}};
const ViewAxes kLeft{{-1, 0, 0}, {0, -1, 0}};

struct Extent2 {
    double u0 = std::numeric_limits<double>::infinity(), v0 = std::numeric_limits<double>::infinity();
    double u1 = -std::numeric_limits<double>::infinity(), v1 = -std::numeric_limits<double>::infinity();
};

Extent2 extent_of(const std::vector<Polyline2> &lines) {
    Extent2 e;
    for (auto &line : lines)
        for (auto &p : line) e.u0 = std::min(e.u0, p.x), e.v0 = std::min(e.v0, p.y), e.u1 = std::max(e.u1, p.x),
                             e.v1 = std::max(e.v1, p.y);
    return e;
}

double length_of(const std::vector<Polyline2> &lines) {
    double total = 0;
    for (auto &line : lines)
        for (std::size_t i = 1; i < line.size(); ++i) total += std::hypot(line[i].x - line[i - 1].x, line[i].y - line[i - 1].y);
    return total;
}

void expect_extent(const Extent2 &e, double u0, double v0, double u1, double v1, double tolerance = 1e-6) {
    EXPECT_NEAR(e.u0, u0, tolerance);
    EXPECT_NEAR(e.v0, v0, tolerance);
    EXPECT_NEAR(e.u1, u1, tolerance);
    EXPECT_NEAR(e.v1, v1, tolerance);
}

HiddenLineOptions using_method(HiddenLineMethod method) {
    HiddenLineOptions options;
    options.method = method;
    return options;
}

class HiddenLinesBothMethods : public ::testing::TestWithParam<HiddenLineMethod> {};

TEST_P(HiddenLinesBothMethods, EachViewMapsTheModelAxesAsTheDrawingExpects) {
    const auto options = using_method(GetParam());
    // 10 along x, 20 along y, 30 along z, away from the origin so that signs show.
    const Shape box = block({5, 7, 11}, 10, 20, 30);
    auto views = project_hidden_lines({box}, {kTop, kFront, kLeft}, options);
    ASSERT_EQ(views.size(), 3u);
    expect_extent(extent_of(views[0][0].visible), 5, 7, 15, 27);
    expect_extent(extent_of(views[1][0].visible), 5, 11, 15, 41);
    // Seen from the left, +y runs to the left of the view.
    expect_extent(extent_of(views[2][0].visible), -27, 11, -7, 41);

    auto extent = projected_extent(bounding_box(box), kLeft);
    EXPECT_NEAR(extent[0], -27, 1e-9);
    EXPECT_NEAR(extent[3], 41, 1e-9);
}

TEST_P(HiddenLinesBothMethods, AShapeBehindAnotherIsHiddenOnlyFromTheSideItIsBehind) {
    const auto options = using_method(GetParam());
    const Shape plate = block({-50, -50, 0}, 100, 100, 10);
    const Shape cube = block({-5, -5, 20}, 10, 10, 10);

    auto from_above = project_hidden_lines({plate, cube}, kTop, options);
    ASSERT_EQ(from_above.size(), 2u);
    // The cube's square outline is in sight; its bottom edges lie behind its own top face.
    EXPECT_NEAR(length_of(from_above[1].visible), 40, 1e-6);
    expect_extent(extent_of(from_above[1].visible), -5, -5, 5, 5);
    EXPECT_NEAR(length_of(from_above[0].visible), 400, 1e-6);
    // The four edges of each square are joined into one closed line of four corners.
    ASSERT_EQ(from_above[0].visible.size(), 1u);
    EXPECT_EQ(from_above[0].visible[0].size(), 5u);

    auto from_below = project_hidden_lines({plate, cube}, kBottom, options);
    // The plate covers the cube completely from below: its two squares are hidden, and as they
    // project onto the same lines they are drawn once.
    EXPECT_TRUE(from_below[1].visible.empty());
    EXPECT_NEAR(length_of(from_below[1].hidden), 40, 1e-6);

    auto without_hidden = options;
    without_hidden.with_hidden = false;
    EXPECT_TRUE(project_hidden_lines({plate, cube}, kBottom, without_hidden)[1].hidden.empty());
}

TEST_P(HiddenLinesBothMethods, EachHiddenLineIsDrawnOnceWhateverEdgesProjectOntoIt) {
    // Seen from above under a cover plate: two plates with a 20 hole each and the pin standing in both
    // give six hidden circles on one line and three hidden squares under the cover's visible square.
    // Two dash patterns over each other fill each other's gaps, so one hidden circle is all there is.
    const auto options = using_method(GetParam());
    const Shape pin = make_cylinder({0, 0, 0}, {0, 0, 1}, 20, 20);
    const Shape lower = cut(block({-50, -50, 0}, 100, 100, 10), pin);
    const Shape upper = cut(block({-50, -50, 10}, 100, 100, 10), pin);
    const Shape cover = block({-50, -50, 20}, 100, 100, 5);
    const auto top = project_hidden_lines({lower, upper, pin, cover}, kTop, options);
    double hidden = 0;
    for (auto &lines : top) hidden += length_of(lines.hidden);
    // The mesh method draws the circle as chords, a little shorter than the circle.
    EXPECT_NEAR(hidden, pi * 20, 0.01 * pi * 20);
    EXPECT_NEAR(length_of(top[3].visible), 400, 1e-6);
    // From the front the pin's silhouettes, inside the holes, are hidden once; the circles seen
    // edge-on lie under the plates' visible edges, and each plate keeps its whole outline.
    const auto front = project_hidden_lines({lower, upper, pin, cover}, kFront, options);
    hidden = 0;
    for (auto &lines : front) hidden += length_of(lines.hidden);
    EXPECT_NEAR(hidden, 2 * 20, 0.5) << "the silhouettes of the pin, which are those of the holes";
    EXPECT_NEAR(length_of(front[0].visible), 2 * (100 + 10), 0.5);
}

INSTANTIATE_TEST_SUITE_P(Methods, HiddenLinesBothMethods,
                         ::testing::Values(HiddenLineMethod::Exact, HiddenLineMethod::Mesh),
                         [](const auto &info) { return info.param == HiddenLineMethod::Exact ? "Exact" : "Mesh"; });

TEST(HiddenLines, CurvedFacesShowTheirSilhouettesAndTheMeshMethodAgrees) {
    const Shape cylinder = make_cylinder({0, 0, 0}, {0, 0, 1}, 40, 25);
    auto exact = project_hidden_lines({cylinder}, kFront, using_method(HiddenLineMethod::Exact))[0];
    // Front view: the two silhouette lines at x = ±12.5 running the full height, and the end circles
    // seen edge-on as lines.
    int silhouettes = 0;
    for (auto &line : exact.visible)
        for (std::size_t i = 1; i < line.size(); ++i) {
            const Point2 &a = line[i - 1], &b = line[i];
            if (std::abs(a.x - b.x) < 1e-6 && std::abs(std::abs(a.x) - 12.5) < 1e-6 && std::abs(std::abs(b.y - a.y) - 40) < 1e-6)
                ++silhouettes;
        }
    EXPECT_EQ(silhouettes, 2);
    expect_extent(extent_of(exact.visible), -12.5, 0, 12.5, 40);

    auto approximate = project_hidden_lines({cylinder}, kFront, using_method(HiddenLineMethod::Mesh))[0];
    expect_extent(extent_of(approximate.visible), -12.5, 0, 12.5, 40, 0.1);
    // Meshing works on a copy: the projection leaves the caller's shape as it was.
    EXPECT_NEAR(volume(cylinder), pi * 12.5 * 12.5 * 40, 1e-6);
}

TEST(HiddenLines, NullShapesGiveNoLinesAndADegenerateViewIsRefused) {
    const Shape box = block({0, 0, 0}, 1, 1, 1);
    auto lines = project_hidden_lines({Shape{}, box}, kTop);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(lines[0].visible.empty() && lines[0].hidden.empty());
    EXPECT_FALSE(lines[1].visible.empty());
    expect_kernel_error([&] { project_hidden_lines({box}, ViewAxes{{0, 0, 1}, {0, 0, 2}}); }, "hidden-line projection");
}

}  // namespace
}  // namespace diekit::kernel::test
