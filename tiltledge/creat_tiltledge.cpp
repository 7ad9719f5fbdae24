// creat_tiltledge: a hanging shoulder along one straight punch edge, at any angle in plan, united
// with the punch, and its clearance pocket cut into every other body it runs into.
#include <uf.h>
#include <uf_assem.h>
#include <uf_csys.h>
#include <uf_curve.h>
#include <uf_modl.h>
#include <uf_mtx.h>
#include <uf_obj.h>
#include <uf_ui.h>

#include <array>
#include <cmath>
#include <exception>
#include <vector>

#include "dialog_frame.hpp"
#include "host_helpers.hpp"
#include "tiltledge.hpp"

using diekit::frame::SizeText;
using diekit::frame::body_of;
using diekit::frame::size_text;

namespace {

constexpr int solid_type = 70;
constexpr int body_subtype = 0;
constexpr double jian_xi = 0.5;  // clearance on each side across the shoulder

using Box = std::array<double, 6>;
enum { XMIN, YMIN, ZMIN, XMAX, YMAX, ZMAX };

// WCS coordinates (host code 3) to absolute coordinates (host code 2).
void map_to_absolute(const double wcs_point[3], double absolute_point[3]) {
    double p[3] = {wcs_point[0], wcs_point[1], wcs_point[2]};
    UF_CSYS_map_point(UF_CSYS_ROOT_WCS_COORDS, p, UF_CSYS_WORK_COORDS, absolute_point);
}

// New block (sign 0) along the turned WCS from a corner given in WCS coordinates; returns its feature.
tag_t create_block(const double wcs_corner[3], double x_len, double y_len, double z_len) {
    double corner[3] = {};
    map_to_absolute(wcs_corner, corner);
    SizeText chang = size_text(x_len), kuan = size_text(y_len), gao = size_text(z_len);
    char *edge_len[3] = {chang.data(), kuan.data(), gao.data()};
    tag_t feature = NULL_TAG;
    UF_MODL_create_block1(UF_NULLSIGN, corner, edge_len, &feature);
    return feature;
}

// Vertical cylinder united (sign 1) with the body made just before; base centre in WCS coordinates.
void unite_cylinder(const double wcs_centre[3], double height, double diameter) {
    double centre[3] = {};
    map_to_absolute(wcs_centre, centre);
    SizeText gao = size_text(height), diam = size_text(diameter);
    double direction3[3] = {0, 0, 1};
    tag_t feature = NULL_TAG;
    UF_MODL_create_cyl1(UF_POSITIVE, centre, gao.data(), diam.data(), direction3, &feature);
}

// Bodies of the work part other than skip1 and skip2 that share volume with the tool.
std::vector<tag_t> interfering_bodies(tag_t tool, tag_t skip1, tag_t skip2) {
    std::vector<tag_t> bodyTAG;
    const tag_t part = UF_ASSEM_ask_work_part();
    tag_t object = NULL_TAG;
    while (UF_OBJ_cycle_objs_in_part(part, solid_type, &object), object != NULL_TAG) {
        int type = 0, subtype = 0;
        UF_OBJ_ask_type_and_subtype(object, &type, &subtype);
        if (subtype != body_subtype || object == skip1 || object == skip2) continue;
        tag_t tools[1] = {tool};
        int results[1] = {0};
        UF_MODL_check_interference(object, 1, tools, results);
        if (results[0] == 1) bodyTAG.push_back(object);
    }
    return bodyTAG;
}

}  // namespace

int tiltledge::creat_tiltledge() {
    try {
        diekit::frame::HostBracket bracket;
        const std::vector<tag_t> edges = diekit::frame::selected_tags(edge_select0);
        const std::vector<tag_t> bodys = diekit::frame::selected_tags(bodySelect0);
        const double a = diekit::frame::expression_value(expression0);
        const double b = diekit::frame::expression_value(expression01);
        const double h = diekit::frame::expression_value(expression02);
        const double w = diekit::frame::expression_value(expression03);
        const double t = diekit::frame::expression_value(expression04);
        if (edges.empty() || bodys.empty()) {
            diekit::frame::report_not_built("tiltledge", "tiltledge: select a punch edge and the punch body; no shoulder was built");
            return 0;
        }
        const tag_t E = edges.front();
        const tag_t P = bodys.front();

        // Edge geometry: middle of its box in plan, plan angle and plan length.
        Box bounding_box_bian{};
        UF_MODL_ask_bounding_box(E, bounding_box_bian.data());
        const Box &Be = bounding_box_bian;
        UF_CURVE_line_t line_coords{};
        if (UF_CURVE_ask_line_data(E, &line_coords) != 0) {
            diekit::frame::report_not_built("tiltledge", "tiltledge: the selected edge is not a straight line; no shoulder was built");
            return 0;
        }
        const double dx = line_coords.end_point[0] - line_coords.start_point[0];
        const double dy = line_coords.end_point[1] - line_coords.start_point[1];
        const double l = std::sqrt(dx * dx + dy * dy);
        if (l == 0) {
            diekit::frame::report_not_built("tiltledge", "tiltledge: the selected edge is vertical and gives no direction in plan; no shoulder was built");
            return 0;
        }
        const double theta = std::atan(dx / dy);  // dy = 0 gives atan(±inf) = ±90°
        const double point2[3] = {(Be[XMIN] + Be[XMAX]) / 2, (Be[YMIN] + Be[YMAX]) / 2, 0};
        diekit::frame::set_turned_wcs(point2, theta);  // shown, and left turned at the edge

        // Sizes by mode: whole edge (L = l, W = w, T = t) or given length (a, b, h).
        const bool zheng_tiao = diekit::frame::enum_index(enum0) == 0;
        const double L = zheng_tiao ? l : a;
        const double W = zheng_tiao ? w : b;
        const double T = zheng_tiao ? t : h;

        // Above the parting plane the shoulder hangs below the edge; at or below it, it stands on it.
        const double z0 = Be[ZMIN];
        const double zb = z0 > 0 ? z0 - T : z0;

        // Shoulder straddling the edge: W each side across, centred on the edge's middle along it.
        const double origin1[3] = {-W, -L / 2, zb};
        const tag_t gua_tai_fan_kuai = body_of(create_block(origin1, 2 * W, L, T));

        // Clearance body, 0.5 larger on each side across; with rounded ends on request.
        tag_t gua_tai_fu_zhu_ti = NULL_TAG;
        if (diekit::frame::toggle_on(toggle0)) {
            const double origin2[3] = {-W - jian_xi, -(L + 1) / 2 - jian_xi, zb};
            gua_tai_fu_zhu_ti = body_of(create_block(origin2, 2 * W + 1, L + 1, T));
            const double origin4[3] = {0, -(L + 1) / 2, zb};
            const double origin5[3] = {0, (L + 1) / 2, zb};
            unite_cylinder(origin4, T, 2 * W + 1);
            unite_cylinder(origin5, T, 2 * W + 1);
        } else {
            const double origin3[3] = {-W - jian_xi, -L / 2, zb};
            gua_tai_fu_zhu_ti = body_of(create_block(origin3, 2 * W + 1, L, T));
        }

        UF_MODL_unite_bodies(P, gua_tai_fan_kuai);

        // The pocket: the clearance body is kept for every subtraction but the last, which uses it up.
        const std::vector<tag_t> bodyTAG = interfering_bodies(gua_tai_fu_zhu_ti, P, gua_tai_fu_zhu_ti);
        for (std::size_t i = 0; i < bodyTAG.size(); ++i) {
            const bool keep_tool = i + 1 < bodyTAG.size();
            tag_t frec_eid = NULL_TAG;
            UF_MODL_subtract_bodies_with_retained_options(bodyTAG[i], gua_tai_fu_zhu_ti, false, keep_tool, &frec_eid);
        }
        return 0;
    } catch (const std::exception &) {
        diekit::frame::report_error(theUI);
        return 1;
    }
}
