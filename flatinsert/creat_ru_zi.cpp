// creat_ru_zi: for every selected punch, an axis-aligned rectangular insert around the punch's
// section in the die plate, with the chosen vertical corners chamfered, cut out of the plate.
#include <uf.h>
#include <uf_modl.h>
#include <uf_obj.h>
#include <uf_ui.h>

#include <array>
#include <exception>
#include <vector>

#include "flatinsert.hpp"
#include "host_helpers.hpp"
#include "sibling_rules.hpp"

using diekit::frame::ObjectList;
using diekit::frame::bounding_box;
using diekit::frame::SizeText;
using diekit::frame::body_of;
using diekit::frame::create_block;
using diekit::frame::size_text;
using diekit::frame::trunc32;

namespace {

constexpr int ru_zi_colour = 181;

// Minimum x, y, z then maximum x, y, z.
using Box = std::array<double, 6>;
enum { XMIN, YMIN, ZMIN, XMAX, YMAX, ZMAX };

// Steps 1-3 for one punch: a search box over the punch's plan box grown by c, through the plate's
// thickness, intersected with the punch (punch kept). Returns the section body.
tag_t cut_punch_section(tag_t chong_zi, const Box &bounding_box_mo_ban, double c, SizeText &gao) {
    const Box bounding_box_chong_zi = bounding_box(chong_zi);
    const Box &B = bounding_box_chong_zi;
    const Box &M = bounding_box_mo_ban;
    SizeText chang = size_text(trunc32(B[XMAX] - B[XMIN]) + 2 * c);
    SizeText kuan = size_text(trunc32(B[YMAX] - B[YMIN]) + 2 * c);
    gao = size_text(M[ZMAX] - M[ZMIN]);
    double origin1[3] = {B[XMIN] - c, B[YMIN] - c, M[ZMIN]};
    const tag_t fang_kuai = body_of(create_block(origin1, chang, kuan, gao));

    tag_t frec_eid1 = NULL_TAG;
    UF_MODL_intersect_bodies_with_retained_options(fang_kuai, chong_zi, false, true, &frec_eid1);
    return body_of(frec_eid1);
}

struct InsertBox {
    tag_t feature = NULL_TAG;
    tag_t body = NULL_TAG;  // ru_zi_shi_ti
    double x0 = 0, y0 = 0, length = 0, width = 0;
};

// Step 4: whole-millimetre box around the section, grown by c and centred on the section's box.
InsertBox create_insert_box(const Box &bounding_box_xiang_jiao_ti, const Box &bounding_box_mo_ban,
                            double c, SizeText &gao) {
    const Box &S = bounding_box_xiang_jiao_ti;
    InsertBox box;
    box.length = trunc32(S[XMAX] - S[XMIN]) + 2 * c;
    box.width = trunc32(S[YMAX] - S[YMIN]) + 2 * c;
    box.x0 = (S[XMIN] + S[XMAX]) / 2 - box.length / 2;
    box.y0 = (S[YMIN] + S[YMAX]) / 2 - box.width / 2;
    double origin2[3] = {box.x0, box.y0, bounding_box_mo_ban[ZMIN]};
    SizeText chang5 = size_text(box.length);
    SizeText kuan5 = size_text(box.width);
    box.feature = create_block(origin2, chang5, kuan5, gao);
    box.body = body_of(box.feature);
    return box;
}

// Steps 5-6: an edge of the box goes into the chamfer list when the mid-height point of a
// switched-on corner lies on it. The toggles are read again for every edge.
void choose_corner_edges(flatinsert &dialog, const InsertBox &box, const Box &bounding_box_mo_ban,
                         const ObjectList &edge_list120, uf_list_p_t edge_list_yuan_jiao120) {
    const double zm = (bounding_box_mo_ban[ZMIN] + bounding_box_mo_ban[ZMAX]) / 2;
    const double x1 = box.x0 + box.length;
    const double y1 = box.y0 + box.width;
    double p1[3] = {x1, y1, zm};
    double p2[3] = {x1, box.y0, zm};
    double p3[3] = {box.x0, y1, zm};
    double p4[3] = {box.x0, box.y0, zm};
    double *corner_points[4] = {p1, p2, p3, p4};
    NXOpen::BlockStyler::Toggle *corner_toggles[4] = {dialog.toggle0, dialog.toggle01, dialog.toggle02,
                                                     dialog.toggle03};

    const int count = edge_list120.count();
    for (int i = 0; i < count; ++i) {
        const tag_t edge = edge_list120.item(i);
        bool on_chosen_corner = false;
        for (int k = 0; k < 4; ++k) {
            if (!diekit::frame::toggle_on(corner_toggles[k])) continue;
            int status = 0;
            UF_MODL_ask_point_containment(corner_points[k], edge, &status);
            if (status == 1) on_chosen_corner = true;
        }
        if (on_chosen_corner) UF_MODL_put_list_item(edge_list_yuan_jiao120, edge);
    }
}

// Steps 8-10: the plate's part inside the box becomes the insert, the plate loses it, and the
// insert is coloured.
void cut_insert(tag_t mo_ban, tag_t ru_zi_shi_ti) {
    tag_t ru_zi = NULL_TAG;
    UF_MODL_intersect_bodies_with_retained_options(mo_ban, ru_zi_shi_ti, true, false, &ru_zi);
    const tag_t ru_zi_shi_ti_tag = body_of(ru_zi);

    tag_t jian_qu_ru_zi = NULL_TAG;
    UF_MODL_subtract_bodies_with_retained_options(mo_ban, ru_zi_shi_ti_tag, false, true, &jian_qu_ru_zi);

    const tag_t ru_zi_yan_se = body_of(ru_zi);
    UF_OBJ_set_color(ru_zi_yan_se, ru_zi_colour);
}

void ru_zi_for_punch(flatinsert &dialog, tag_t chong_zi, tag_t mo_ban, double c, double d) {
    const Box bounding_box_mo_ban = bounding_box(mo_ban);
    SizeText gao{};
    const tag_t fang_kuai1 = cut_punch_section(chong_zi, bounding_box_mo_ban, c, gao);
    const Box bounding_box_xiang_jiao_ti = bounding_box(fang_kuai1);
    const InsertBox box = create_insert_box(bounding_box_xiang_jiao_ti, bounding_box_mo_ban, c, gao);

    ObjectList edge_list120;
    UF_MODL_ask_feat_edges(box.feature, edge_list120.out());
    ObjectList edge_list_yuan_jiao120(diekit::frame::new_empty_list);
    choose_corner_edges(dialog, box, bounding_box_mo_ban, edge_list120, edge_list_yuan_jiao120.get());

    // Step 7: an empty list (no corner chosen) makes the host refuse and leaves the box sharp.
    SizeText dao_jiao1 = size_text(d);
    char jiao_du[] = "45";
    tag_t dao_jiao = NULL_TAG;
    UF_MODL_create_chamfer(1, dao_jiao1.data(), dao_jiao1.data(), jiao_du, edge_list_yuan_jiao120.get(),
                           &dao_jiao);

    cut_insert(mo_ban, box.body);
    UF_OBJ_delete_object(fang_kuai1);
}

}  // namespace

int flatinsert::creat_ru_zi() {
    try {
        diekit::frame::HostBracket bracket;
        const auto in = diekit::frame::insert_inputs("flatinsert", *this);
        if (!in) return 0;
        // The blocks follow the WCS; straight inserts follow the part's absolute axes.
        const diekit::frame::AbsoluteWcs absolute_wcs;
        for (const tag_t chong_zi : in->punches) ru_zi_for_punch(*this, chong_zi, in->plate, in->c, in->d);
        return 0;
    } catch (const std::exception &error) {
        diekit::frame::report_exception(theUI, error);
        return 1;
    }
}
