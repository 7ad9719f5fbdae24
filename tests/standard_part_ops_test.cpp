// Standard parts as the spring and stripper bolt builders use them: import with the part kept
// upright or turned over, the non-uniform scale in the WCS, expression edits and regeneration,
// the expressions a group stands for, deleting a member.
#include "ops_helpers.hpp"

#include <uf_csys.h>
#include <uf_group.h>
#include <uf_mtx.h>
#include <uf_obj.h>
#include <uf_part.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace ops;

namespace {

constexpr const char *kSpring20 = "D:\\DIELIB\\STANDARD\\Rectangular spring\\SPRING20X25.prt";
constexpr const char *kBolt10 = "D:\\DIELIB\\STANDARD\\Plug screw\\PBB10X35.prt";

class StandardPartTest : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        store().set_library_root(std::string(DIEKIT_SOURCE_DIR) + "/library");
    }

    // Imports at point; turned over = X (1, 0, 0), Y (0, -1, 0). Returns the group's members.
    std::vector<tag_t> import(const char *file, Vec3 at, bool turned_over, tag_t *group_out = nullptr) {
        UF_import_part_modes_t modes = {1, 1, 0, 0, 1, false, false};
        double axes[6] = {1, 0, 0, 0, turned_over ? -1.0 : 1.0, 0};
        double point[3] = {at.x, at.y, at.z};
        tag_t group = NULL_TAG;
        EXPECT_EQ(UF_PART_import(file, &modes, axes, point, 1.0, &group), 0) << last_log();
        if (group_out) *group_out = group;
        tag_t *members = nullptr;
        int count = 0;
        EXPECT_EQ(UF_GROUP_ask_group_data(group, &members, &count), 0);
        std::vector<tag_t> result(members, members + count);
        UF_free(members);
        return result;
    }

    // The WCS at origin with X and Y as given.
    void set_wcs(Vec3 origin, Vec3 x = {1, 0, 0}, Vec3 y = {0, 1, 0}) {
        double xv[3] = {x.x, x.y, x.z}, yv[3] = {y.x, y.y, y.z}, m[9], o[3] = {origin.x, origin.y, origin.z};
        ASSERT_EQ(UF_MTX3_initialize(xv, yv, m), 0);
        tag_t matrix = NULL_TAG, csys = NULL_TAG;
        ASSERT_EQ(UF_CSYS_create_matrix(m, &matrix), 0);
        ASSERT_EQ(UF_CSYS_create_temp_csys(o, matrix, &csys), 0);
        ASSERT_EQ(UF_CSYS_set_wcs(csys), 0);
    }

    int scale(tag_t body, double fx, double fy, double fz) {
        std::string x = text(fx), y = text(fy), z = text(fz);
        char *factors[3] = {x.data(), y.data(), z.data()};
        tag_t feature = NULL_TAG;
        return UF_MODL_create_non_uni_scale(body, NULL_TAG, factors, &feature);
    }

    int edit(const std::string &assignment) {
        std::string copy = assignment;
        return UF_MODL_edit_exp(copy.data());
    }

    int contains(tag_t body, Vec3 p) {
        double point[3] = {p.x, p.y, p.z};
        int status = 0;
        EXPECT_EQ(UF_MODL_ask_point_containment(point, body, &status), 0);
        return status;
    }

    // Edges of the body that are neither lines nor circles (what a conversion to B-splines leaves).
    int freeform_edges(tag_t body) {
        int count = 0;
        for (auto &edge : diekit::kernel::edges(store().body(body).shape))
            if (diekit::kernel::curve_kind(edge) == diekit::kernel::CurveKind::Other) ++count;
        return count;
    }
};

double tube(double outer, double inner, double length) { return pi / 4 * (outer * outer - inner * inner) * length; }

}  // namespace

TEST_F(StandardPartTest, ImportHangsThePartFromItsOriginOrTurnsItOver) {
    std::vector<tag_t> upright = import(kSpring20, {5, 6, 40}, false);
    ASSERT_EQ(upright.size(), 2u);
    expect_box(upright[0], {-5, -4, 15, 15, 16, 40}, 1e-7);         // the spring: D 20, free length 25
    expect_box(upright[1], {-5.5, -4.5, 14, 15.5, 16.5, 41}, 1e-7);  // its clearance, 0.5 and 1 larger
    EXPECT_NEAR(volume(upright[0]), tube(20, 10, 25), 1e-6);

    std::vector<tag_t> turned = import(kSpring20, {5, 6, -70}, true);
    expect_box(turned[0], {-5, -4, -70, 15, 16, -45}, 1e-7);
    expect_box(turned[1], {-5.5, -4.5, -71, 15.5, 16.5, -44}, 1e-7);

    // The bolt is not symmetric end to end: its head (16 across, 7 high) follows the turn.
    std::vector<tag_t> bolt_down = import(kBolt10, {0, 0, 0}, false);
    std::vector<tag_t> bolt_up = import(kBolt10, {100, 0, 0}, true);
    EXPECT_EQ(contains(bolt_down[1], {7.5, 0, -4}), 1);
    EXPECT_EQ(contains(bolt_down[1], {7.5, 0, -20}), 2);
    EXPECT_EQ(contains(bolt_up[1], {107.5, 0, 4}), 1);
    EXPECT_EQ(contains(bolt_up[1], {107.5, 0, 20}), 2);
    EXPECT_EQ(contains(bolt_up[1], {104.5, 0, 20}), 1);  // the shoulder, 10 across
    expect_box(bolt_up[1], {92, -8, 0, 108, 8, 35}, 1e-7);
    // Member 0 of a bolt is its cutting body, larger than the bolt everywhere.
    expect_box(bolt_up[0], {91.5, -8.5, -1, 108.5, 8.5, 36}, 1e-7);
}

TEST_F(StandardPartTest, ScaleWithoutCsysIsTakenAboutTheWcsOriginAlongItsAxesAndKeepsTheTag) {
    tag_t plain = body_of(block({0, 0, 0}, 10, 20, 40));
    // WCS at (0, 0, 40) turned a quarter about Z: its X is the absolute Y, its Y the absolute -X.
    set_wcs({0, 0, 40}, {0, 1, 0}, {-1, 0, 0});
    ASSERT_EQ(scale(plain, 2, 1, 0.5), 0) << last_log();
    expect_box(plain, {0, 0, 20, 10, 40, 40}, 1e-6);
    EXPECT_NEAR(volume(plain), 8000, 1e-6);

    // A member as imported keeps its exact surfaces; both ends of the stretch land exactly.
    set_wcs({0, 0, 0});
    std::vector<tag_t> spring = import(kSpring20, {0, 0, 40}, false);
    set_wcs({0, 0, 40});
    ASSERT_EQ(scale(spring[0], 1, 1, 1.2), 0) << last_log();
    ASSERT_EQ(scale(spring[1], 1, 1, 1.2), 0) << last_log();
    expect_box(spring[0], {-10, -10, 10, 10, 10, 40}, 1e-7);
    expect_box(spring[1], {-10.5, -10.5, 8.8, 10.5, 10.5, 41.2}, 1e-7);
    EXPECT_NEAR(volume(spring[0]), tube(20, 10, 30), 1e-6);
    EXPECT_EQ(freeform_edges(spring[0]), 0);
    EXPECT_TRUE(diekit::kernel::is_valid(store().body(spring[0]).shape));

    // Turned over and stretched about its anchor: it grows upward from the anchor.
    set_wcs({0, 0, -70});
    std::vector<tag_t> turned = import(kSpring20, {50, 0, -70}, true);
    ASSERT_EQ(scale(turned[0], 1, 1, 2), 0);
    expect_box(turned[0], {40, -10, -70, 60, 10, -20}, 1e-7);

    // A WCS that is not parallel to the part's axes takes the general scale: the tube becomes
    // elliptic, 40 across along the slanted X and still 20 along the slanted Y.
    const double c = std::cos(pi / 6), s = std::sin(pi / 6);
    set_wcs({0, 0, 40}, {c, s, 0}, {-s, c, 0});
    std::vector<tag_t> slanted = import(kSpring20, {0, 0, 40}, false);
    ASSERT_EQ(scale(slanted[0], 2, 1, 1), 0) << last_log();
    auto along = [&](double u, double v) { return Vec3{u * c - v * s, u * s + v * c, 30}; };
    EXPECT_EQ(contains(slanted[0], along(19.9, 0)), 1);
    EXPECT_EQ(contains(slanted[0], along(20.1, 0)), 2);
    EXPECT_EQ(contains(slanted[0], along(10.1, 0)), 1);
    EXPECT_EQ(contains(slanted[0], along(9.9, 0)), 2);  // the bore, 20 across along X now
    EXPECT_EQ(contains(slanted[0], along(0, 9.9)), 1);
    EXPECT_EQ(contains(slanted[0], along(0, 10.1)), 2);
    auto b = box(slanted[0]);
    EXPECT_NEAR(b[2], 15, 1e-6);
    EXPECT_NEAR(b[5], 40, 1e-6);
}

TEST_F(StandardPartTest, UpdateRegeneratesChangedMembersKeepingTagsAndScalesUntilTheyArePlain) {
    std::vector<tag_t> spring = import(kSpring20, {0, 0, 40}, false);
    set_wcs({0, 0, 40});
    ASSERT_EQ(scale(spring[0], 1, 1, 2), 0);
    ASSERT_EQ(edit("D'1=30"), 0) << last_log();
    // The edit alone changes nothing; the update does.
    expect_box(spring[0], {-10, -10, -10, 10, 10, 40}, 1e-7);
    ASSERT_EQ(UF_MODL_update(), 0) << last_log();
    expect_box(spring[0], {-15, -15, -10, 15, 15, 40}, 1e-7);  // diameter 30, still stretched to 50
    EXPECT_NEAR(volume(spring[0]), tube(30, 15, 50), 1e-6);
    expect_box(spring[1], {-15.5, -15.5, 14, 15.5, 15.5, 41}, 1e-7);  // the clearance was not scaled
    EXPECT_EQ(freeform_edges(spring[0]), 0);

    uf_list_p_t list = list_of({spring[0]});
    ASSERT_EQ(UF_MODL_delete_object_parms(list), 0);
    UF_MODL_delete_list(&list);
    ASSERT_EQ(edit("D'1=40"), 0);
    ASSERT_EQ(UF_MODL_update(), 0);
    expect_box(spring[0], {-15, -15, -10, 15, 15, 40}, 1e-7);  // plain: stays
    expect_box(spring[1], {-20.5, -20.5, 14, 20.5, 20.5, 41}, 1e-7);
}

TEST_F(StandardPartTest, BoltLengthFollowsItsOwnSuffixedLAndOtherBoltsKeepTheirs) {
    tag_t first_group = NULL_TAG, second_group = NULL_TAG;
    std::vector<tag_t> first = import(kBolt10, {0, 0, 40}, false, &first_group);
    std::vector<tag_t> second = import(kBolt10, {50, 0, 40}, false, &second_group);
    ASSERT_NE(store().expression("L'2"), nullptr);
    ASSERT_EQ(edit("L'2=33.000000"), 0);
    ASSERT_EQ(UF_MODL_update(), 0) << last_log();
    expect_box(second[1], {42, -8, -5, 58, 8, 40}, 1e-7);         // overall 33 + 12 = 45
    expect_box(second[0], {41.5, -8.5, -6, 58.5, 8.5, 41}, 1e-7);  // the cutting body follows
    expect_box(first[1], {-8, -8, 5, 8, 8, 40}, 1e-7);            // as modelled: 35

    // The group stands for its part: the same expressions as asking the part itself.
    int by_part = 0, by_group = 0;
    tag_t *exps = nullptr;
    ASSERT_EQ(UF_MODL_ask_exps_of_part(store().part(), &by_part, &exps), 0);
    UF_free(exps);
    ASSERT_EQ(UF_MODL_ask_exps_of_part(first_group, &by_group, &exps), 0);
    UF_free(exps);
    EXPECT_EQ(by_group, by_part);
    EXPECT_EQ(by_part, 14);  // seven per bolt
    EXPECT_EQ(UF_MODL_ask_exps_of_part(first[1], &by_group, &exps), diekit::kErrWrongKind);
    EXPECT_EQ(exps, nullptr);

    // A deleted member is gone for good; the update passes over it.
    std::size_t bodies = body_count();
    ASSERT_EQ(UF_OBJ_delete_object(second[0]), 0);
    EXPECT_EQ(body_count(), bodies - 1);
    double b[6];
    EXPECT_NE(UF_MODL_ask_bounding_box(second[0], b), 0);
    ASSERT_EQ(edit("L'2=20"), 0);
    ASSERT_EQ(UF_MODL_update(), 0) << last_log();
    expect_box(second[1], {42, -8, 8, 58, 8, 40}, 1e-7);
}

// A damaged part file is refused naming the file and what is wrong, and the work part keeps exactly
// what it had: no group, no expressions, no bodies from the failed import.
TEST_F(StandardPartTest, DamagedPartFilesAreRefusedNamingTheFileAndLeaveThePartAsItWas) {
    namespace fs = std::filesystem;
    const fs::path library = fs::temp_directory_path() / ("diekit_damaged_" + std::to_string(::getpid()));
    fs::create_directories(library / "STANDARD");
    store().set_library_root(library.string());
    const std::string block = R"({"block": {"size": [1, 1, 1]}})";
    std::string deep = block, shallow = block;
    for (int i = 0; i < 70; ++i) deep = R"({"union": [)" + deep + "]}";
    for (int i = 0; i < 20; ++i) shallow = R"({"union": [)" + shallow + "]}";
    const struct {
        std::string text, reason;
    } cases[] = {
        {R"({"expressions": {"L": "10"}, "bodies": [{"recipe": )" + deep + "}]}", "nested deeper than 64"},
        {"{\"bodies\": [{\"name\": \"s\xC3\x28\", \"recipe\": " + block + "}]}", "is not UTF-8"},
        {R"({"expressions": {"L": "10"}, "bodies": [{"recipe": {"sphere": {"d": 1}}}]})", "unknown operation 'sphere'"},
        {R"({"bodies": [{"recipe": {"cylinder": {"height": 5}}}]})", "needs 'diameter'"},
        {R"({"expressions": {"D": "-4"}, "bodies": [{"recipe": {"cylinder": {"height": 5, "diameter": "D"}}}]})",
         "model range"},
        {R"({"bodies": [{"recipe": {"block": {"size": [1e308, 1, 1]}}}]})", "model range"},
        {R"({"expressions": {"L'2": "1"}, "bodies": [{"recipe": )" + block + "}]}", "is not a name"},
        {R"({"bodies": [{"recipe": )" + block + R"(}, {"recipe": {"block": {"size": [1, "Q", 1]}}}]})", "unknown name 'Q'"},
        {"[1, 2]", "a part file is a JSON object"},
    };
    double axes[6] = {1, 0, 0, 0, 1, 0}, point[3] = {0, 0, 0};
    UF_import_part_modes_t modes = {1, 1, 0, 0, 1, false, false};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.reason);
        std::ofstream(library / "STANDARD" / "bad.prt") << c.text;
        const std::size_t objects = store().objects().size();
        tag_t group = 7;
        EXPECT_EQ(UF_PART_import("D:\\DIELIB\\STANDARD\\bad.prt", &modes, axes, point, 1.0, &group), diekit::kErrBadValue);
        EXPECT_EQ(group, NULL_TAG);
        EXPECT_NE(last_log().find("bad.prt"), std::string::npos) << last_log();
        EXPECT_NE(last_log().find(c.reason), std::string::npos) << last_log();
        EXPECT_EQ(last_log().find("json.exception"), std::string::npos) << last_log();
        EXPECT_EQ(store().objects().size(), objects);
    }
    // Nesting within the limit builds.
    std::ofstream(library / "STANDARD" / "bad.prt") << R"({"bodies": [{"recipe": )" + shallow + "}]}";
    tag_t group = NULL_TAG;
    EXPECT_EQ(UF_PART_import("D:\\DIELIB\\STANDARD\\bad.prt", &modes, axes, point, 1.0, &group), 0) << last_log();
    fs::remove_all(library);
}

// Measured just inside and just outside each size: the stripper bolts as ISO 7379 gives them
// (shoulder, thread, head diameter and height, hexagon socket across flats), the die spring the
// builders call 13 as ISO 10243's 12.5 (hole 12.5, rod 6.3).
TEST_F(StandardPartTest, BoltsAndTheSpringOfSize13HaveTheSizesOfTheirStandards) {
    struct Bolt {
        const char *file;
        double shoulder, thread, head, height, socket;
    };
    const Bolt bolts[] = {{"PBB10X35", 10, 8, 16, 7, 5},
                          {"PBB13X35", 13, 10, 18, 9, 6},
                          {"PBB16X35", 16, 12, 24, 11, 8},
                          {"PBB20X35", 20, 16, 30, 14, 10}};
    double x = 0;
    // 1 when the body holds (x + r - 0.01, 0, z) and not (x + r + 0.01, 0, z): its edge lies at r.
    auto edge_at = [&](tag_t body, double r, double z) {
        return contains(body, {x + r - 0.01, 0, z}) == 1 && contains(body, {x + r + 0.01, 0, z}) == 2;
    };
    for (const Bolt &b : bolts) {
        SCOPED_TRACE(b.file);
        const std::string path = std::string("D:\\DIELIB\\STANDARD\\Plug screw\\") + b.file + ".prt";
        const tag_t bolt = import(path.c_str(), {x, 0, 0}, false).at(1);
        EXPECT_TRUE(edge_at(bolt, b.head / 2, -b.height + 0.01)) << "head diameter";
        EXPECT_EQ(contains(bolt, {x + b.head / 2 - 0.01, 0, -b.height - 0.01}), 2) << "head height";
        EXPECT_TRUE(edge_at(bolt, b.shoulder / 2, -b.height - 1)) << "shoulder";
        EXPECT_TRUE(edge_at(bolt, b.thread / 2, -34)) << "thread";
        EXPECT_EQ(contains(bolt, {x + b.socket / 2 - 0.01, 0, -0.01}), 2) << "socket";
        EXPECT_EQ(contains(bolt, {x + b.socket / 2 + 0.01, 0, -0.01}), 1) << "socket";
        x += 50;
    }
    const tag_t spring = import("D:\\DIELIB\\STANDARD\\Rectangular spring\\SPRING13X25.prt", {x, 0, 0}, false).at(0);
    EXPECT_TRUE(edge_at(spring, 12.5 / 2, -12.5)) << "hole diameter";
    EXPECT_EQ(contains(spring, {x + 6.3 / 2 - 0.01, 0, -12.5}), 2) << "rod diameter";
    EXPECT_EQ(contains(spring, {x + 6.3 / 2 + 0.01, 0, -12.5}), 1) << "rod diameter";
}
