// The nine guide pillar and bushing part files of the library, imported and regenerated through the
// C functions: sizes as the file names and the die shoes' holes say, and the contract the die set
// builder relies on (bushing rising from the origin, pillar reaching down, "L1" and "L2" driving them).
#include "host_fixture.hpp"

#include "kernel/kernel.hpp"

#include <uf.h>
#include <uf_group.h>
#include <uf_modl.h>
#include <uf_part.h>

#include <algorithm>
#include <array>
#include <numbers>
#include <string>

namespace {

constexpr double pi = std::numbers::pi;

diekit::model::Store &store() { return diekit::model::Store::instance(); }
double volume(tag_t body) { return diekit::kernel::volume(store().body(body).shape); }

std::array<double, 6> box(tag_t body) {
    std::array<double, 6> b{};
    EXPECT_EQ(UF_MODL_ask_bounding_box(body, b.data()), 0);
    return b;
}

void expect_box(tag_t body, const std::array<double, 6> &expected) {
    const auto actual = box(body);
    for (std::size_t i = 0; i < 6; ++i) EXPECT_NEAR(actual[i], expected[i], 1e-9) << "bounding box entry " << i;
}

std::string last_log() { return store().log_lines().empty() ? "" : store().log_lines().back(); }

struct GuideSet {
    const char *file;
    double pillar, bushing;  // diameters: the shoes' pillar and bushing holes
    double guide, depth, top;  // bushing guide length; pillar from -(L2 + depth) to top
};

const GuideSet guide_sets[] = {
    {"16X100", 16, 25, 25, 62.5, 20}, {"18X100", 18, 28, 25, 62.5, 20}, {"20X100", 20, 32, 25, 62.5, 20},
    {"22X100", 22, 35, 25, 62.5, 20}, {"25X100", 25, 38, 55, 67.5, 50}, {"28X100", 28, 42, 55, 75.5, 50},
    {"32X100", 32, 45, 55, 75.5, 50}, {"35X100", 35, 50, 55, 75.5, 50}, {"38X100", 38, 52, 55, 75.5, 50},
};

class GuideSetPart : public HostTest, public ::testing::WithParamInterface<GuideSet> {
protected:
    void SetUp() override {
        HostTest::SetUp();
        store().set_library_root(std::string(DIEKIT_SOURCE_DIR) + "/library");
    }

    // Imports the set at point (axes X, Y) and returns its two members: bushing, pillar.
    std::pair<tag_t, tag_t> import_at(double x, double y, double z) {
        const std::string path = std::string("D:\\DIELIB\\STANDARD\\Outside the guide pin\\") + GetParam().file + ".prt";
        UF_import_part_modes_t modes{1, 1, 0, 0, 1, false, false};
        double axes[6] = {1, 0, 0, 0, 1, 0};
        double point[3] = {x, y, z};
        tag_t group = NULL_TAG;
        EXPECT_EQ(UF_PART_import(path.c_str(), &modes, axes, point, 1.0, &group), 0) << last_log();
        tag_t *members = nullptr;
        int count = 0;
        EXPECT_EQ(UF_GROUP_ask_group_data(group, &members, &count), 0);
        EXPECT_EQ(count, 2);
        std::pair<tag_t, tag_t> result{count > 0 ? members[0] : NULL_TAG, count > 1 ? members[1] : NULL_TAG};
        UF_free(members);
        return result;
    }

    static int edit(const std::string &text) {
        std::string copy = text;
        return UF_MODL_edit_exp(copy.data());
    }

    // Bushing volume for a given "L1": outer tube, guide bore D, relief bore D + 1 over L1 > 0; with
    // L1 <= 0 no relief and a guide of guide + L1.
    double bushing_volume(double L1) const {
        const GuideSet &s = GetParam();
        const double guide = s.guide + std::min(L1, 0.0), relief = std::max(L1, 0.0);
        return pi / 4 * (s.bushing * s.bushing * (guide + relief) - s.pillar * s.pillar * guide -
                         (s.pillar + 1) * (s.pillar + 1) * relief);
    }
};

}  // namespace

TEST_P(GuideSetPart, PillarAndBushingHaveTheSizesOfTheNameAndOfTheShoeHoles) {
    const GuideSet &s = GetParam();
    const auto [bushing, pillar] = import_at(30, -20, 5);
    const double L1 = store().expression("L1'1")->value, L2 = store().expression("L2'1")->value;
    EXPECT_GT(L1, 0);
    expect_box(bushing, {30 - s.bushing / 2, -20 - s.bushing / 2, 5, 30 + s.bushing / 2, -20 + s.bushing / 2,
                         5 + s.guide + L1});
    expect_box(pillar, {30 - s.pillar / 2, -20 - s.pillar / 2, 5 - L2 - s.depth, 30 + s.pillar / 2,
                        -20 + s.pillar / 2, 5 + s.top});
    EXPECT_NEAR(volume(bushing), bushing_volume(L1), 1e-6);
    EXPECT_NEAR(volume(pillar), pi / 4 * s.pillar * s.pillar * (L2 + s.depth + s.top), 1e-6);
    EXPECT_TRUE(diekit::kernel::is_valid(store().body(bushing).shape));
    // The pillar slides in the guide bore: they touch, never overlap, and its top stays in the bore.
    EXPECT_LT(diekit::kernel::volume(diekit::kernel::common(store().body(bushing).shape, store().body(pillar).shape)),
              1e-6);
    EXPECT_LT(s.top, s.guide);
}

// Edited lengths rebuild both bodies in place. A shoe no thicker than the guide length leaves
// "L1" <= 0: the bushing still fills the shoe (guide + L1 high, bored through, no relief) and the
// pillar ends 5 below its top, so that it never stands out of the shoe.
TEST_P(GuideSetPart, EditedLengthsRegenerateTheBodiesAlsoForAShoeThinnerThanTheGuide) {
    const GuideSet &s = GetParam();
    const auto [bushing, pillar] = import_at(0, 0, 0);
    for (double L1 : {33.0, 0.0, -15.0}) {
        SCOPED_TRACE(testing::Message() << "L1 = " << L1);
        ASSERT_EQ(edit("L1'1=" + std::to_string(L1)), 0);
        ASSERT_EQ(edit("L2'1=101.500000"), 0);
        ASSERT_EQ(UF_MODL_update(), 0) << last_log();
        expect_box(bushing, {-s.bushing / 2, -s.bushing / 2, 0, s.bushing / 2, s.bushing / 2, s.guide + L1});
        EXPECT_NEAR(volume(bushing), bushing_volume(L1), 1e-6);
        expect_box(pillar, {-s.pillar / 2, -s.pillar / 2, -101.5 - s.depth, s.pillar / 2, s.pillar / 2,
                            s.top + std::min(L1, 0.0)});
        EXPECT_LT(diekit::kernel::volume(diekit::kernel::common(store().body(bushing).shape, store().body(pillar).shape)),
                  1e-6);
    }
}

INSTANTIATE_TEST_SUITE_P(Library, GuideSetPart, ::testing::ValuesIn(guide_sets),
                         [](const auto &info) { return std::string("Set") + info.param.file; });
