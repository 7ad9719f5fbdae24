// Finding objects by name and blanking bodies.
#include "ops_helpers.hpp"

#include "io/report.hpp"

#include <uf_obj.h>

using namespace ops;

using ObjectNameTest = HostTest;
using BlankTest = HostTest;

namespace {

std::vector<tag_t> all_named(const char *name) {
    std::vector<tag_t> found;
    tag_t object = NULL_TAG;
    do {
        EXPECT_EQ(UF_OBJ_cycle_by_name(name, &object), 0);
        if (object != NULL_TAG) found.push_back(object);
    } while (object != NULL_TAG && found.size() < 100);
    return found;
}

}  // namespace

TEST_F(ObjectNameTest, CyclesExactNamesInCreationOrderSkippingDeletedAndRenamed) {
    tag_t a1 = body_of(block({0, 0, 0}, 1, 1, 1));
    tag_t b = body_of(block({5, 0, 0}, 1, 1, 1));
    tag_t curve = line({0, 0, 0}, {1, 0, 0});
    tag_t a2 = body_of(block({10, 0, 0}, 1, 1, 1));
    tag_t gone = body_of(block({15, 0, 0}, 1, 1, 1));
    tag_t renamed = body_of(block({20, 0, 0}, 1, 1, 1));
    for (tag_t t : {a2, curve, a1, gone, renamed}) ASSERT_EQ(UF_OBJ_set_name(t, "dian_ban"), 0);
    ASSERT_EQ(UF_OBJ_set_name(b, "dian_ban2"), 0);
    ASSERT_EQ(UF_OBJ_set_name(renamed, "tui_kuai"), 0);
    ASSERT_EQ(UF_OBJ_delete_object(gone), 0);

    EXPECT_EQ(all_named("dian_ban"), (std::vector<tag_t>{a1, curve, a2}));
    EXPECT_EQ(all_named("tui_kuai"), std::vector<tag_t>{renamed});
    EXPECT_TRUE(all_named("Dian_ban").empty());
    EXPECT_TRUE(all_named("dian_").empty());

    // Continuing from a deleted object still finds the next one.
    tag_t object = gone;
    EXPECT_EQ(UF_OBJ_cycle_by_name("dian_ban", &object), 0);
    EXPECT_EQ(object, NULL_TAG);
    object = curve;
    EXPECT_EQ(UF_OBJ_cycle_by_name("dian_ban", &object), 0);
    EXPECT_EQ(object, a2);

    object = a1;
    EXPECT_EQ(UF_OBJ_cycle_by_name(nullptr, &object), diekit::kErrNullArgument);
    EXPECT_EQ(object, NULL_TAG);
    EXPECT_EQ(UF_OBJ_cycle_by_name("dian_ban", nullptr), diekit::kErrNullArgument);
}

TEST_F(BlankTest, BlankedBodiesAreReportedAndStillTakePartInBooleans) {
    tag_t punch = body_of(block({0, 0, 0}, 10, 10, 10));
    tag_t notch = body_of(block({8, -5, 2}, 5, 20, 3));
    ASSERT_EQ(UF_OBJ_set_blank_status(notch, UF_OBJ_BLANKED), 0);
    auto report = diekit::io::make_report({});
    ASSERT_EQ(report["bodies"].size(), 2u);
    EXPECT_EQ(report["bodies"][0]["blanked"], false);
    EXPECT_EQ(report["bodies"][1]["tag"], notch);
    EXPECT_EQ(report["bodies"][1]["blanked"], true);

    EXPECT_EQ(UF_OBJ_set_blank_status(punch, 2), diekit::kErrBadValue);
    EXPECT_EQ(UF_OBJ_set_blank_status(NULL_TAG, UF_OBJ_BLANKED), diekit::kErrNullTag);
    EXPECT_FALSE(store().body(punch).blanked);

    tag_t cut = NULL_TAG;
    ASSERT_EQ(UF_MODL_subtract_bodies_with_retained_options(punch, notch, false, false, &cut), 0);
    EXPECT_NEAR(volume(punch), 1000 - 2 * 10 * 3, 1e-9);
    EXPECT_EQ(UF_OBJ_set_blank_status(notch, UF_OBJ_NOT_BLANKED), diekit::kErrStaleTag);

    ASSERT_EQ(UF_OBJ_set_blank_status(punch, UF_OBJ_BLANKED), 0);
    ASSERT_EQ(UF_OBJ_set_blank_status(punch, UF_OBJ_NOT_BLANKED), 0);
    report = diekit::io::make_report({});
    ASSERT_EQ(report["bodies"].size(), 1u);
    EXPECT_EQ(report["bodies"][0]["blanked"], false);
}
