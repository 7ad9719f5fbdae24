// The axis-aligned insert of tiltinsert (a punch whose top face gives no angle), and the host
// helpers both constructions use.
#include <uf.h>
#include <uf_csys.h>
#include <uf_modl.h>
#include <uf_mtx.h>
#include <uf_obj.h>

#include "ru_zi_steps.hpp"
#include "tiltinsert.hpp"

using diekit::frame::ObjectList;
using diekit::frame::SizeText;
using diekit::frame::size_text;
using diekit::frame::trunc32;

namespace tiltinsert_steps {

int containment(const double point[3], tag_t object) {
    double p[3] = {point[0], point[1], point[2]};
    int status = 0;
    UF_MODL_ask_point_containment(p, object, &status);
    return status;
}

void map_to_absolute(const double wcs_point[3], double absolute_point[3]) {
    double p[3] = {wcs_point[0], wcs_point[1], wcs_point[2]};
    UF_CSYS_map_point(UF_CSYS_ROOT_WCS_COORDS, p, UF_CSYS_WORK_COORDS, absolute_point);
}

namespace {

// Search box over the punch's plan box grown by c, through the plate's thickness, intersected with
// the punch (punch kept). Returns the section body.
tag_t cut_punch_section(tag_t chong_zi, const Box &M, double c, SizeText &gao) {
    const Box bounding_box_chong_zi = bounding_box(chong_zi);
    const Box &B = bounding_box_chong_zi;
    SizeText chang = size_text(trunc32(B[XMAX] - B[XMIN]) + 2 * c);
    SizeText kuan = size_text(trunc32(B[YMAX] - B[YMIN]) + 2 * c);
    gao = size_text(M[ZMAX] - M[ZMIN]);
    const double origin1[3] = {B[XMIN] - c, B[YMIN] - c, M[ZMIN]};
    const tag_t fang_kuai = body_of(create_block(origin1, chang, kuan, gao));
    tag_t frec_eid1 = NULL_TAG;
    UF_MODL_intersect_bodies_with_retained_options(fang_kuai, chong_zi, false, true, &frec_eid1);
    return body_of(frec_eid1);
}

}  // namespace

void zheng_ru_zi(tiltinsert &dialog, tag_t chong_zi, tag_t mo_ban, const Box &bounding_box_mo_ban, double c,
                 double d) {
    const Box &M = bounding_box_mo_ban;
    SizeText gao{};
    const tag_t fang_kuai1 = cut_punch_section(chong_zi, M, c, gao);
    const Box bounding_box_xiang_jiao_ti = bounding_box(fang_kuai1);
    const Box &S = bounding_box_xiang_jiao_ti;

    // Whole-millimetre box around the section, grown by c and centred on the section's box.
    const double L = trunc32(S[XMAX] - S[XMIN]) + 2 * c;
    const double W = trunc32(S[YMAX] - S[YMIN]) + 2 * c;
    const double x0 = (S[XMIN] + S[XMAX]) / 2 - L / 2;
    const double y0 = (S[YMIN] + S[YMAX]) / 2 - W / 2;
    const double origin2[3] = {x0, y0, M[ZMIN]};
    SizeText chang5 = size_text(L);
    SizeText kuan5 = size_text(W);
    const tag_t ru_zi_kuai = create_block(origin2, chang5, kuan5, gao);
    const tag_t ru_zi_shi_ti = body_of(ru_zi_kuai);

    // Corner edges: one mid-height point on each vertical corner edge.
    const double zm = (M[ZMIN] + M[ZMAX]) / 2;
    const double p1[3] = {x0 + L, y0 + W, zm};
    const double p2[3] = {x0 + L, y0, zm};
    const double p3[3] = {x0, y0 + W, zm};
    const double p4[3] = {x0, y0, zm};
    const double *corner_points[4] = {p1, p2, p3, p4};
    NXOpen::BlockStyler::Toggle *corner_toggles[4] = {dialog.toggle0, dialog.toggle01, dialog.toggle02,
                                                     dialog.toggle03};
    ObjectList edge_list120;
    UF_MODL_ask_feat_edges(ru_zi_kuai, edge_list120.out());
    ObjectList edge_list_yuan_jiao120(diekit::frame::new_empty_list);
    for (int i = 0; i < edge_list120.count(); ++i) {
        const tag_t edge = edge_list120.item(i);
        bool on_chosen_corner = false;
        for (int k = 0; k < 4; ++k)
            if (diekit::frame::toggle_on(corner_toggles[k]) && containment(corner_points[k], edge) == 1)
                on_chosen_corner = true;
        if (on_chosen_corner) UF_MODL_put_list_item(edge_list_yuan_jiao120.get(), edge);
    }

    // With no corner chosen the list is empty, the host refuses, and the box stays sharp.
    SizeText dao_jiao1 = size_text(d);
    char jiao_du[] = "45";
    tag_t dao_jiao = NULL_TAG;
    UF_MODL_create_chamfer(1, dao_jiao1.data(), dao_jiao1.data(), jiao_du, edge_list_yuan_jiao120.get(), &dao_jiao);

    // The plate's part inside the box becomes the insert; the plate loses it.
    tag_t ru_zi = NULL_TAG;
    UF_MODL_intersect_bodies_with_retained_options(mo_ban, ru_zi_shi_ti, true, false, &ru_zi);
    const tag_t ru_zi_shi_ti_tag = body_of(ru_zi);
    tag_t jian_qu_ru_zi = NULL_TAG;
    UF_MODL_subtract_bodies_with_retained_options(mo_ban, ru_zi_shi_ti_tag, false, true, &jian_qu_ru_zi);
    UF_OBJ_set_color(body_of(ru_zi), ru_zi_colour);
    UF_OBJ_delete_object(fang_kuai1);
}

}  // namespace tiltinsert_steps
