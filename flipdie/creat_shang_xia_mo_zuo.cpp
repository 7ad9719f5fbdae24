// creat_shang_xia_mo_zuo: the upper and lower die shoes, wider than the plates, with the bushing and
// pillar holes at the four corners, the stepped hole for the die shank and four grooves in the upper
// shoe's top face. The guide pillar size decides hole diameters, shoe width and corner positions.
#include <uf.h>
#include <uf_modl.h>
#include <uf_obj.h>

#include <array>
#include <cstdio>
#include <exception>

#include "flipdie.hpp"
#include "flipdie_inputs.hpp"
#include "host_helpers.hpp"
#include "parameter_removal.hpp"

using diekit::frame::SizeText;
using diekit::frame::body_of;
using diekit::frame::size_text;
using flipdie_detail::Inputs;

namespace {

constexpr int mo_zuo_colour = 108;

// One row of the guide pillar size table for the shoes.
struct MoZuoRow {
    const char *dao_zhu_kong;  // pillar hole diameter, lower shoe
    const char *dao_tao_kong;  // bushing hole diameter, upper shoe
    double w;                  // the shoes are kuan + w wide
    double c, a, b;            // hole corners: see corners()
};

constexpr std::array<MoZuoRow, flipdie_detail::guide_size_count> mo_zuo_rows = {{
    {"16", "25", 120, 30, 0, 5},
    {"18", "28", 120, 30, 0, 5},
    {"20", "32", 120, 30, 0, 5},
    {"22", "35", 120, 30, 0, 5},
    {"25", "38", 120, 30, 5, 10},
    {"28", "42", 140, 35, 10, 15},
    {"32", "45", 140, 35, 10, 15},
    {"35", "50", 140, 35, 10, 15},
    {"38", "52", 160, 40, 10, 15},
}};

struct Point2 {
    double x, y;
};

// Hole corners 1 to 4, the same in both shoes and for the guide sets.
std::array<Point2, 4> corners(const Inputs &in, const MoZuoRow &row) {
    const double x = in.v.chang / 2, y = in.v.kuan / 2;
    return {{{x - row.a, y + row.c}, {x - row.b, -y - row.c}, {-x + row.a, y + row.c}, {-x + row.a, -y - row.c}}};
}

// A cylinder with its base centre at (x, y, z) along the direction (dx, dy, dz), +Z by default.
tag_t create_cylinder(UF_FEATURE_SIGN sign, double x, double y, double z, char *height, char *diameter,
                      double dx = 0, double dy = 0, double dz = 1) {
    double origin[3] = {x, y, z};
    double direction[3] = {dx, dy, dz};
    tag_t feature = NULL_TAG;
    UF_MODL_create_cyl1(sign, origin, height, diameter, direction, &feature);
    return feature;
}

// A shoe: chang + 60 by kuan + w, centred on the Z axis, base at z, coloured. Returns its body.
tag_t create_mo_zuo(const Inputs &in, double w, double z, SizeText &shan_mo_zuo_chang, SizeText &shan_mo_zuo_kuan,
                    SizeText &hou_du) {
    double corner[3] = {-(in.v.chang + 60) / 2, -(in.v.kuan + w) / 2, z};
    char *edge_len[3] = {shan_mo_zuo_chang.data(), shan_mo_zuo_kuan.data(), hou_du.data()};
    tag_t feature = NULL_TAG;
    UF_MODL_create_block1(UF_NULLSIGN, corner, edge_len, &feature);
    const tag_t mo_zuo = body_of(feature);
    UF_OBJ_set_color(mo_zuo, mo_zuo_colour);
    return mo_zuo;
}

// The cylinder features are consumed: the shoe keeps its tag and loses the cylinder's volume.
void subtract_from(tag_t mo_zuo, tag_t tool_feature) {
    tag_t frec_eid = NULL_TAG;
    UF_MODL_subtract_bodies_with_retained_options(mo_zuo, body_of(tool_feature), false, false, &frec_eid);
}

// Both shoes for one row of the size table.
void build_shoes(Inputs &in, const MoZuoRow &row) {
    const double Zs = in.z_shang_mo_zuo();
    const double Zx = -in.h_xia();
    SizeText shan_mo_zuo_chang = size_text(in.v.chang + 60);
    SizeText shan_mo_zuo_kuan = size_text(in.v.kuan + row.w);
    SizeText mo_bing_gao = size_text(in.v.SMZC + 50);

    const tag_t shang_mo_zuo = create_mo_zuo(in, row.w, Zs, shan_mo_zuo_chang, shan_mo_zuo_kuan, in.t.SMZC);

    // Stepped shank hole: the shank cylinder joins the counterbore cylinder made just before it, so
    // the one subtraction of the shank feature's body takes both; the collar feature's body is gone
    // by then and its subtraction changes nothing (the platform's builder does the same).
    char liu[] = "6";
    SizeText mo_bing_tai_jie130 = size_text(in.v.mo_bing + 11);
    const tag_t tai_jie = create_cylinder(UF_NULLSIGN, 0, 0, Zs, liu, mo_bing_tai_jie130.data());
    const tag_t mo_bing = create_cylinder(UF_POSITIVE, 0, 0, Zs, mo_bing_gao.data(), in.t.mo_bing.data());
    subtract_from(shang_mo_zuo, mo_bing);
    subtract_from(shang_mo_zuo, tai_jie);

    // Grooves along the top face, running outwards through the end faces. Their points use the
    // insets 0 and 5 whatever the row's a and b are.
    char wu_shi[] = "50";
    char wu[] = "5";
    const double top = Zs + in.v.SMZC;
    const double x = in.v.chang / 2, y = in.v.kuan / 2 + row.c;
    const std::array<tag_t, 4> cao = {
        create_cylinder(UF_NULLSIGN, x, y, top, wu_shi, wu, 1, 0, 0),
        create_cylinder(UF_NULLSIGN, x - 5, -y, top, wu_shi, wu, 1, 0, 0),
        create_cylinder(UF_NULLSIGN, -x, y, top, wu_shi, wu, -1, 0, 0),
        create_cylinder(UF_NULLSIGN, -x, -y, top, wu_shi, wu, -1, 0, 0),
    };
    for (const tag_t groove : cao) subtract_from(shang_mo_zuo, groove);

    const tag_t xia_mo_zuo = create_mo_zuo(in, row.w, Zx, shan_mo_zuo_chang, shan_mo_zuo_kuan, in.t.XMZC);

    const std::array<Point2, 4> kong = corners(in, row);
    char dao_tao_kong[8], dao_zhu_kong[8];
    std::snprintf(dao_tao_kong, sizeof dao_tao_kong, "%s", row.dao_tao_kong);
    std::snprintf(dao_zhu_kong, sizeof dao_zhu_kong, "%s", row.dao_zhu_kong);

    std::array<tag_t, 4> dao_tao{};
    for (int i = 0; i < 4; ++i)
        dao_tao[i] = create_cylinder(UF_NULLSIGN, kong[i].x, kong[i].y, Zs, in.t.SMZC.data(), dao_tao_kong);
    for (const tag_t hole : dao_tao) subtract_from(shang_mo_zuo, hole);

    std::array<tag_t, 4> dao_zhu{};
    for (int i = 0; i < 4; ++i)
        dao_zhu[i] = create_cylinder(UF_NULLSIGN, kong[i].x, kong[i].y, Zx, in.t.XMZC.data(), dao_zhu_kong);
    for (const tag_t hole : dao_zhu) subtract_from(xia_mo_zuo, hole);
}

}  // namespace

int flipdie::creat_shang_xia_mo_zuo() {
    try {
        diekit::frame::HostBracket bracket;
        Inputs in = flipdie_detail::read_inputs(*this);
        const int k = flipdie_detail::guide_size_index(*this);
        // A size outside the table builds no shoe; the parameters are removed all the same.
        if (k >= 0 && k < flipdie_detail::guide_size_count) build_shoes(in, mo_zuo_rows[static_cast<std::size_t>(k)]);
        return diekit::frame::remove_all_body_parameters(theUI);
    } catch (const std::exception &) {
        diekit::frame::report_error(theUI);
        return 1;
    }
}
