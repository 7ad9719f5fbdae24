// Bad input to the C functions: null, stale and wrong-kind tags, NULL pointers, calls outside a
// bracket. Each gives its error code, zeroed outputs and a log line, never a crash.
#include "host_fixture.hpp"

#include <uf_csys.h>
#include <uf_curve.h>
#include <uf_group.h>
#include <uf_modl.h>
#include <uf_mtx.h>
#include <uf_obj.h>
#include <uf_part.h>

#include <functional>
#include <string>

using namespace diekit;

namespace {

class BadInputTest : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        double corner[3] = {0, 0, 0};
        char l[] = "10.000000";
        char *len[3] = {l, l, l};
        tag_t feature = 0;
        ASSERT_EQ(UF_MODL_create_block1(UF_NULLSIGN, corner, len, &feature), 0);
        UF_MODL_ask_feat_body(feature, &body);
        block_feature = feature;
        // A stale tag: a body that was deleted.
        tag_t doomed_feature = 0;
        double far[3] = {50, 0, 0};
        UF_MODL_create_block1(UF_NULLSIGN, far, len, &doomed_feature);
        UF_MODL_ask_feat_body(doomed_feature, &stale);
        UF_OBJ_delete_object(stale);
    }
    tag_t body = 0, stale = 0, block_feature = 0;

    // The call fails with the code, and writes a line to the log naming the function.
    void expect_code(const char *function, int expected, const std::function<int()> &call) {
        std::size_t lines = store().log_lines().size();
        EXPECT_EQ(call(), expected) << function;
        ASSERT_GT(store().log_lines().size(), lines) << function << " logged nothing";
        EXPECT_EQ(store().log_lines().back().rfind(function, 0), 0u) << store().log_lines().back();
    }
};

TEST_F(BadInputTest, NullStaleAndWrongKindTagsGiveTheirCodesAndZeroOutputs) {
    double box[6] = {1, 1, 1, 1, 1, 1};
    expect_code("UF_MODL_ask_bounding_box", kErrNullTag, [&] { return UF_MODL_ask_bounding_box(NULL_TAG, box); });
    for (double v : box) EXPECT_EQ(v, 0.0);
    expect_code("UF_MODL_ask_bounding_box", kErrStaleTag, [&] { return UF_MODL_ask_bounding_box(stale, box); });
    expect_code("UF_MODL_ask_bounding_box", kErrStaleTag, [&] { return UF_MODL_ask_bounding_box(999999, box); });
    expect_code("UF_MODL_ask_bounding_box", kErrWrongKind,
                [&] { return UF_MODL_ask_bounding_box(block_feature, box); });

    tag_t out = 77;
    expect_code("UF_MODL_ask_feat_body", kErrWrongKind, [&] { return UF_MODL_ask_feat_body(body, &out); });
    EXPECT_EQ(out, NULL_TAG);
    out = 77;
    expect_code("UF_MODL_intersect_bodies_with_retained_options", kErrStaleTag,
                [&] { return UF_MODL_intersect_bodies_with_retained_options(body, stale, false, false, &out); });
    EXPECT_EQ(out, NULL_TAG);
    expect_code("UF_MODL_subtract_bodies_with_retained_options", kErrNullTag,
                [&] { return UF_MODL_subtract_bodies_with_retained_options(NULL_TAG, body, false, false, &out); });
    expect_code("UF_MODL_unite_bodies", kErrStaleTag, [&] { return UF_MODL_unite_bodies(stale, body); });
    expect_code("UF_OBJ_set_color", kErrStaleTag, [&] { return UF_OBJ_set_color(stale, 5); });
    expect_code("UF_OBJ_set_color", kErrBadValue, [&] { return UF_OBJ_set_color(body, 217); });
    expect_code("UF_OBJ_delete_object", kErrStaleTag, [&] { return UF_OBJ_delete_object(stale); });
    int type = 9, subtype = 9;
    expect_code("UF_OBJ_ask_type_and_subtype", kErrNullTag,
                [&] { return UF_OBJ_ask_type_and_subtype(NULL_TAG, &type, &subtype); });
    EXPECT_EQ(type, 0);
    EXPECT_EQ(subtype, 0);
    int status = 9;
    double p[3] = {1, 1, 1};
    expect_code("UF_MODL_ask_point_containment", kErrStaleTag,
                [&] { return UF_MODL_ask_point_containment(p, stale, &status); });
    EXPECT_EQ(status, 0);
    uf_list_p_t list = reinterpret_cast<uf_list_p_t>(1);
    expect_code("UF_MODL_ask_body_faces", kErrWrongKind, [&] { return UF_MODL_ask_body_faces(block_feature, &list); });
    EXPECT_EQ(list, nullptr);
    expect_code("UF_MODL_ask_feat_edges", kErrNullTag, [&] { return UF_MODL_ask_feat_edges(NULL_TAG, &list); });
    expect_code("UF_MODL_ask_face_edges", kErrWrongKind, [&] { return UF_MODL_ask_face_edges(body, &list); });
    UF_CURVE_line_t line{};
    expect_code("UF_CURVE_ask_line_data", kErrWrongKind, [&] { return UF_CURVE_ask_line_data(body, &line); });
    tag_t *members = nullptr;
    int count = 3;
    expect_code("UF_GROUP_ask_group_data", kErrWrongKind, [&] { return UF_GROUP_ask_group_data(body, &members, &count); });
    EXPECT_EQ(count, 0);
    expect_code("UF_CSYS_set_wcs", kErrWrongKind, [&] { return UF_CSYS_set_wcs(body); });
}

TEST_F(BadInputTest, NullPointersAndUnreadableTextsAreRefused) {
    double corner[3] = {0, 0, 0};
    char good[] = "5", bad[] = "five", negative[] = "-1";
    char *lengths[3] = {good, bad, good};
    tag_t feature = 5;
    expect_code("UF_MODL_create_block1", kErrBadValue, [&] { return UF_MODL_create_block1(UF_NULLSIGN, corner, lengths, &feature); });
    EXPECT_EQ(feature, NULL_TAG);
    lengths[1] = negative;
    expect_code("UF_MODL_create_block1", kErrBadValue, [&] { return UF_MODL_create_block1(UF_NULLSIGN, corner, lengths, &feature); });
    lengths[1] = good;
    expect_code("UF_MODL_create_block1", kErrNullArgument, [&] { return UF_MODL_create_block1(UF_NULLSIGN, nullptr, lengths, &feature); });
    expect_code("UF_MODL_create_block1", kErrNullArgument, [&] { return UF_MODL_create_block1(UF_NULLSIGN, corner, lengths, nullptr); });
    expect_code("UF_MODL_create_block1", kErrBadValue,
                [&] { return UF_MODL_create_block1(static_cast<UF_FEATURE_SIGN>(7), corner, lengths, &feature); });
    double axis[3] = {0, 0, 0};
    expect_code("UF_MODL_create_cyl1", kErrBadValue, [&] { return UF_MODL_create_cyl1(UF_NULLSIGN, corner, good, good, axis, &feature); });
    expect_code("UF_MODL_ask_bounding_box", kErrNullArgument, [&] { return UF_MODL_ask_bounding_box(body, nullptr); });
    char text[] = "L'9=3";
    expect_code("UF_MODL_edit_exp", kErrNotFound, [&] { return UF_MODL_edit_exp(text); });
    double dest[6] = {1, 0, 0, 0, 1, 0};
    UF_import_part_modes_t modes{};
    tag_t group = 9;
    // No library folder set: refused, never read relative to the working folder.
    expect_code("UF_PART_import", kErrNotFound,
                [&] { return UF_PART_import("D:\\DIELIB\\..\\..\\etc\\passwd", &modes, dest, corner, 1.0, &group); });
    store().set_library_root(std::string(DIEKIT_SOURCE_DIR) + "/library");
    expect_code("UF_PART_import", kErrNotFound,
                [&] { return UF_PART_import("D:\\DIELIB\\STANDARD\\nothing\\here.prt", &modes, dest, corner, 1.0, &group); });
    EXPECT_EQ(group, NULL_TAG);
    expect_code("UF_PART_import", kErrBadValue,
                [&] { return UF_PART_import("D:\\DIELIB\\..\\..\\etc\\passwd", &modes, dest, corner, 1.0, &group); });
    // Only D:\DIELIB\ maps onto the library: another drive is not quietly read from it.
    expect_code("UF_PART_import", kErrBadValue, [&] {
        return UF_PART_import("C:\\DIELIB\\STANDARD\\chong zi ya ban\\M4X12.prt", &modes, dest, corner, 1.0, &group);
    });
}

// Sizes and positions outside the model range (|x| <= 1e5 mm, solid lengths 1e-6 to 2e5 mm) never
// reach the kernel: each is refused with a reason naming the value; the range's own ends are taken.
TEST_F(BadInputTest, SizesOutsideTheModelRangeAreRefusedWithTheirReason) {
    char one[] = "1", zero[] = "0", tiny[] = "1e-9", huge[] = "1e308", long_edge[] = "200000", negative[] = "-5";
    double origin[3] = {0, 0, 0}, far[3] = {0, 1e308, 0}, beyond[3] = {9.3e18, 0, 0}, edge_of_range[3] = {-1e5, 0, 0};
    double up[3] = {0, 0, 1};
    tag_t feature = 3;
    auto block = [&](double *corner, char *x) {
        char *lengths[3] = {x, one, one};
        return UF_MODL_create_block1(UF_NULLSIGN, corner, lengths, &feature);
    };
    for (char *bad : {zero, tiny, huge, negative}) {
        expect_code("UF_MODL_create_block1", kErrBadValue, [&] { return block(origin, bad); });
        EXPECT_NE(store().log_lines().back().find("model range"), std::string::npos) << store().log_lines().back();
        EXPECT_EQ(feature, NULL_TAG);
        expect_code("UF_MODL_create_cyl1", kErrBadValue, [&] { return UF_MODL_create_cyl1(UF_NULLSIGN, origin, one, bad, up, &feature); });
    }
    for (double *corner : {far, beyond})
        expect_code("UF_MODL_create_block1", kErrBadValue, [&] { return block(corner, one); });
    int status = 0;
    expect_code("UF_MODL_ask_point_containment", kErrBadValue, [&] { return UF_MODL_ask_point_containment(far, body, &status); });
    double dest[6] = {1, 0, 0, 0, 1, 0};
    UF_import_part_modes_t modes{};
    tag_t group = 5;
    store().set_library_root(std::string(DIEKIT_SOURCE_DIR) + "/library");
    const char *screw = "D:\\DIELIB\\STANDARD\\chong zi ya ban\\M4X12.prt";
    for (double scale : {0.0, -1.0, 1e308})
        expect_code("UF_PART_import", kErrBadValue, [&] { return UF_PART_import(screw, &modes, dest, origin, scale, &group); });
    expect_code("UF_PART_import", kErrBadValue, [&] { return UF_PART_import(screw, &modes, dest, beyond, 1.0, &group); });
    EXPECT_EQ(group, NULL_TAG);

    EXPECT_EQ(block(edge_of_range, long_edge), 0);
    EXPECT_EQ(UF_MODL_create_cyl1(UF_NULLSIGN, origin, one, one, up, &feature), 0);
}

TEST_F(BadInputTest, ModellingOutsideABracketIsRefusedAndUnmatchedTerminateToo) {
    UF_terminate();
    double corner[3] = {0, 0, 0};
    char l[] = "1";
    char *len[3] = {l, l, l};
    tag_t feature = 0;
    EXPECT_EQ(UF_MODL_create_block1(UF_NULLSIGN, corner, len, &feature), kErrNotInitialized);
    EXPECT_EQ(UF_terminate(), kErrNotInitialized);
    UF_initialize();  // for TearDown
}

TEST_F(BadInputTest, EveryErrorCodeHasAText) {
    char message[133];
    for (int code : {kErrNotInitialized, kErrNullArgument, kErrNullTag, kErrStaleTag, kErrWrongKind, kErrBadValue,
                     kErrGeometry, kErrEmptyResult, kErrNoTarget, kErrBadList, kErrNotFound, kErrInternal}) {
        EXPECT_EQ(UF_get_fail_message(code, message), 0);
        EXPECT_GT(std::string(message).size(), 3u);
    }
    EXPECT_NE(UF_get_fail_message(4242, message), 0);
}

}  // namespace
