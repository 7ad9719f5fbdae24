// creat_ru_zi: for every selected punch, a rectangular insert turned to the longest side of the
// punch's top face (or axis-aligned when that face has no straight side), through the die plate's
// thickness, with the chosen vertical corners chamfered, cut out of the plate.
#include <uf.h>
#include <uf_csys.h>
#include <uf_curve.h>
#include <uf_modl.h>
#include <uf_mtx.h>
#include <uf_obj.h>
#include <uf_ui.h>

#include <cmath>
#include <exception>
#include <vector>

#include "ru_zi_steps.hpp"
#include "sibling_rules.hpp"
#include "tiltinsert.hpp"

using diekit::frame::ObjectList;
using diekit::frame::SizeText;
using diekit::frame::size_text;
using diekit::frame::trunc32;
using namespace tiltinsert_steps;

namespace {

// Step A: the punch's plan angle and the origin of the turned WCS.
struct Orientation {
    double cx = 0, cy = 0;          // middle of the punch's box in plan
    double point2[3] = {0, 0, 0};   // top face's middle point, at the plate's bottom
    double theta = 0;               // radians: the WCS Y axis runs along the orientation edge
    double l = 0;                   // plan length of the orientation edge; 0 = no angle
};

// The last face of the punch, in the body's order, on which the middle of its box top lies.
tag_t top_face(tag_t chong_zi, double cx, double cy, double zmax) {
    ObjectList face_list;
    UF_MODL_ask_body_faces(chong_zi, face_list.out());
    const double top_point[3] = {cx, cy, zmax};
    tag_t face = NULL_TAG;
    for (int i = 0; i < face_list.count(); ++i) {
        const tag_t face_tag = face_list.item(i);
        if (containment(top_point, face_tag) == 1) face = face_tag;
    }
    return face;
}

Orientation orientation_of(tag_t chong_zi, const Box &bounding_box_mo_ban) {
    Orientation o;
    const Box bounding_box_chong_zi = bounding_box(chong_zi);
    const Box &B = bounding_box_chong_zi;
    o.cx = (B[XMIN] + B[XMAX]) / 2;
    o.cy = (B[YMIN] + B[YMAX]) / 2;
    const tag_t face_tag = top_face(chong_zi, o.cx, o.cy, B[ZMAX]);

    // Reference point: the face point at the middle of its parameter ranges.
    double uv_min_max[4] = {};
    UF_MODL_ask_face_uv_minmax(face_tag, uv_min_max);
    double newUV[2] = {uv_min_max[0] + 0.5 * (uv_min_max[1] - uv_min_max[0]),
                       uv_min_max[2] + 0.5 * (uv_min_max[3] - uv_min_max[2])};
    double point1[3] = {}, u1[3], v1[3], u2[3], v2[3], unit_norm[3], radii[2];
    UF_MODL_ask_face_props(face_tag, newUV, point1, u1, v1, u2, v2, unit_norm, radii);
    o.point2[0] = point1[0];
    o.point2[1] = point1[1];
    o.point2[2] = bounding_box_mo_ban[ZMIN];

    // Orientation edge: the face edge of greatest plan length. An edge that is not straight gives
    // zero line data and so a plan length of 0.
    ObjectList edge_list;
    UF_MODL_ask_face_edges(face_tag, edge_list.out());
    double dx = 0, dy = 0;
    for (int i = 0; i < edge_list.count(); ++i) {
        UF_CURVE_line_t line_coords{};
        UF_CURVE_ask_line_data(edge_list.item(i), &line_coords);
        const double ex = line_coords.end_point[0] - line_coords.start_point[0];
        const double ey = line_coords.end_point[1] - line_coords.start_point[1];
        if (std::sqrt(ex * ex + ey * ey) > std::sqrt(dx * dx + dy * dy)) {
            dx = ex;
            dy = ey;
        }
    }
    o.l = std::sqrt(dx * dx + dy * dy);
    if (o.l > 0) o.theta = std::atan(dx / dy);  // dy = 0 gives atan(±inf) = ±90°
    return o;
}

// Steps B2-B12 for one punch.
void qing_xie_ru_zi(tiltinsert &dialog, tag_t chong_zi, tag_t mo_ban, const Box &bounding_box_mo_ban,
                    double c, double d, const Orientation &o) {
    const Box &M = bounding_box_mo_ban;
    // The WCS turned by theta about +Z at point2, and shown.
    const tag_t csys_id = diekit::frame::set_turned_wcs(o.point2, o.theta);

    double min_corner[3] = {}, directions[3][3] = {}, distances[3] = {};
    UF_MODL_ask_bounding_box_aligned(chong_zi, csys_id, false, min_corner, directions, distances);
    const double t0 = trunc32(distances[0]);
    const double t1 = trunc32(distances[1]);
    const double chang_value = t0 + 2 * c;
    const double kuan_value = t1 + 2 * c;
    const double gao_value = M[ZMAX] - M[ZMIN];
    SizeText chang = size_text(chang_value);
    SizeText kuan = size_text(kuan_value);
    SizeText gao = size_text(gao_value);

    // Insert box along the turned axes, centred on point2 in plan, from the plate's bottom.
    const double x_lo = -t0 / 2 - c, y_lo = -t1 / 2 - c;
    const double origin1[3] = {x_lo, y_lo, 0};
    double newpoint1[3] = {};
    map_to_absolute(origin1, newpoint1);
    const tag_t fang_kuai_feature = create_block(newpoint1, chang, kuan, gao);
    const tag_t fang_kuai = body_of(fang_kuai_feature);

    // Vertical edges of the box, once its top face is found.
    std::vector<tag_t> shu_zhi_bian;
    ObjectList face_list10;
    UF_MODL_ask_body_faces(fang_kuai, face_list10.out());
    const double top_point[3] = {o.cx, o.cy, M[ZMAX]};
    bool top_found = false;
    for (int i = 0; i < face_list10.count(); ++i)
        if (containment(top_point, face_list10.item(i)) == 1) top_found = true;
    ObjectList edge_list10;
    if (top_found) {
        UF_MODL_ask_feat_edges(fang_kuai_feature, edge_list10.out());
        for (int i = 0; i < edge_list10.count(); ++i) {
            UF_CURVE_line_t line_coords{};
            UF_CURVE_ask_line_data(edge_list10.item(i), &line_coords);
            if (std::fabs(line_coords.end_point[2] - line_coords.start_point[2]) > 1e-9)
                shu_zhi_bian.push_back(edge_list10.item(i));
        }
    }

    // Corner points at mid-height, in the turned system: toggle0 (x min, y min), toggle01 (x max,
    // y min), toggle02 (x min, y max), toggle03 (x max, y max).
    const double zm = gao_value / 2;
    const double wcs_points[4][3] = {{x_lo, y_lo, zm},
                                     {x_lo, y_lo + kuan_value, zm},
                                     {x_lo + chang_value, y_lo, zm},
                                     {x_lo + chang_value, y_lo + kuan_value, zm}};
    double newpoint[4][3] = {};
    for (int k = 0; k < 4; ++k) map_to_absolute(wcs_points[k], newpoint[k]);
    const double *p1 = newpoint[0], *p2 = newpoint[1], *p3 = newpoint[2], *p4 = newpoint[3];
    const double *corner_points[4] = {p1, p3, p2, p4};
    NXOpen::BlockStyler::Toggle *corner_toggles[4] = {dialog.toggle0, dialog.toggle01, dialog.toggle02,
                                                     dialog.toggle03};
    ObjectList edge_list_yuan_jiao(diekit::frame::new_empty_list);
    for (std::size_t i = 0; i < shu_zhi_bian.size() && i < 4; ++i) {
        for (int k = 0; k < 4; ++k)
            if (diekit::frame::toggle_on(corner_toggles[k]) && containment(corner_points[k], shu_zhi_bian[i]) == 1)
                UF_MODL_put_list_item(edge_list_yuan_jiao.get(), shu_zhi_bian[i]);
    }

    // With no corner chosen the list is empty, the host refuses, and the box stays sharp.
    SizeText dao_jiao1 = size_text(d);
    char jiao_du[] = "45";
    tag_t dao_jiao = NULL_TAG;
    UF_MODL_create_chamfer(1, dao_jiao1.data(), dao_jiao1.data(), jiao_du, edge_list_yuan_jiao.get(), &dao_jiao);

    // The plate's part inside the box becomes the insert; the box is then cut out of the plate.
    tag_t ru_zi = NULL_TAG;
    UF_MODL_intersect_bodies_with_retained_options(fang_kuai, mo_ban, true, true, &ru_zi);
    UF_OBJ_set_color(body_of(ru_zi), ru_zi_colour);
    tag_t jian_qu_ru_zi = NULL_TAG;
    UF_MODL_subtract_bodies_with_retained_options(mo_ban, fang_kuai, false, false, &jian_qu_ru_zi);

    diekit::frame::set_absolute_wcs();
}

}  // namespace

int tiltinsert::creat_ru_zi() {
    try {
        diekit::frame::HostBracket bracket;
        const auto in = diekit::frame::insert_inputs("tiltinsert", *this);
        if (!in) return 0;
        const tag_t mo_ban = in->plate;
        const double c = in->c, d = in->d;
        const Box bounding_box_mo_ban = bounding_box(mo_ban);
        for (const tag_t chong_zi : in->punches) {
            const Orientation o = orientation_of(chong_zi, bounding_box_mo_ban);
            if (o.l > 0) {
                qing_xie_ru_zi(*this, chong_zi, mo_ban, bounding_box_mo_ban, c, d, o);
            } else {
                // The axis-aligned insert is built along the WCS: make sure it is the absolute one.
                diekit::frame::set_absolute_wcs();
                zheng_ru_zi(*this, chong_zi, mo_ban, bounding_box_mo_ban, c, d);
            }
        }
        return 0;
    } catch (const std::exception &error) {
        diekit::frame::report_exception(theUI, error);
        return 1;
    }
}
