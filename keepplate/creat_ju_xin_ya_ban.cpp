// creat_ju_xin_ya_ban: a rectangular retainer plate (L along X, W along Y, T high) hanging under the
// fixed plate beside the punch on an axis side, reaching e over the punch face into an e-deep notch
// cut from the punch, with R2 vertical corners, a screw clearance hole, a relief pocket in the
// backing plate and the screw, whose hole is cut into the fixed plate.
#include <uf.h>
#include <uf_modl.h>
#include <uf_obj.h>

#include <exception>
#include <vector>

#include "keepplate.hpp"
#include "ya_ban_steps.hpp"

using diekit::frame::ObjectList;
using diekit::frame::SizeText;
using diekit::frame::size_text;
using namespace ya_ban;

namespace {

// Where one side's plate, notch block and screw go, given the plate's finished box A.
struct JuXinSide {
    double ya_ban_corner[3];
    double fan_kuai_corner[3];
    double screw_dx, screw_dy;  // screw point = centre of A + (dx, dy), at A.zmin
};

struct JuXinSizes {
    double L, W, T, e;
    SizeText chang, kuan, hou;
};

// Edges of the plate feature on which one of the four vertical corner lines' mid-height points lies.
void collect_corner_edges(tag_t kuai, double x0, double y0, const JuXinSizes &s, double z_mid,
                          uf_list_p_t edge_list_yuan_jiao) {
    double p1[3] = {x0, y0, z_mid};
    double p2[3] = {x0 + s.L, y0, z_mid};
    double p3[3] = {x0, y0 + s.W, z_mid};
    double p4[3] = {x0 + s.L, y0 + s.W, z_mid};
    double *corner_points[4] = {p1, p2, p3, p4};

    ObjectList edge_list;
    UF_MODL_ask_feat_edges(kuai, edge_list.out());
    const int count = edge_list.count();
    for (int i = 0; i < count; ++i) {
        const tag_t edge = edge_list.item(i);
        bool on_corner = false;
        for (double *point : corner_points) {
            int status = 0;
            UF_MODL_ask_point_containment(point, edge, &status);
            if (status == 1) on_corner = true;
        }
        if (on_corner) UF_MODL_put_list_item(edge_list_yuan_jiao, edge);
    }
}

// One side's plate, notch, hole, pocket and screw. Returns the plate body.
tag_t ju_xin_side(keepplate &dialog, const JuXinSide &side, JuXinSizes &s, double gu_ding_ban_zmin,
                  tag_t chong_zi, tag_t gu_ding_ban, tag_t dian_ban) {
    // 1. The plate.
    const tag_t kuai = create_block(side.ya_ban_corner, s.chang, s.kuan, s.hou);
    const tag_t ju_xing_ya_ban = body_of(kuai);

    // 2. The notch block, 4L x 4L x T, kept out of sight until it is cut from the punch.
    SizeText si_chang = size_text(4 * s.L);
    const tag_t fan_kuai = body_of(create_block(side.fan_kuai_corner, si_chang, si_chang, s.hou));
    UF_OBJ_set_blank_status(fan_kuai, UF_OBJ_BLANKED);

    // 3-4. The four vertical plate edges get radius 2.
    {
        ObjectList edge_list_yuan_jiao(diekit::frame::new_empty_list);
        collect_corner_edges(kuai, side.ya_ban_corner[0], side.ya_ban_corner[1], s,
                             gu_ding_ban_zmin - s.T / 2, edge_list_yuan_jiao.get());
        tag_t yuan_jiao = NULL_TAG;
        UF_MODL_create_blend("2", edge_list_yuan_jiao.get(), 0, 0, 0, 0.01, &yuan_jiao);
    }

    // 5. The finished plate's box places the screw.
    const Box bounding_box_ya_ban = bounding_box(ju_xing_ya_ban);
    const Box &A = bounding_box_ya_ban;
    const double screw_point[3] = {(A[XMIN] + A[XMAX]) / 2 + side.screw_dx, (A[YMIN] + A[YMAX]) / 2 + side.screw_dy,
                                   A[ZMIN]};

    // 6. Screw clearance hole through the plate.
    SizeText gao = size_text(A[ZMAX] - A[ZMIN]);
    const tag_t luo_ding_kong =
        body_of(create_cylinder(screw_point, gao.data(), screw_size(diekit::frame::enum_index(dialog.enum01)).kong));
    subtract(ju_xing_ya_ban, luo_ding_kong, false);

    // 7. Relief pocket, 8 deep below the backing plate's top face.
    const Box bounding_box_ran_wei = bounding_box(dian_ban);
    const double pocket_start[3] = {screw_point[0], screw_point[1], bounding_box_ran_wei[ZMAX] - 8};
    const tag_t ran_wei_kong = body_of(
        create_cylinder(pocket_start, "10", screw_size(diekit::frame::enum_index(dialog.enum01)).ran_wei));
    subtract(dian_ban, ran_wei_kong, false);

    // 8. The screw; its hole goes into the fixed plate and the screw stays.
    import_screw(screw_size(diekit::frame::enum_index(dialog.enum01)).part_file, screw_point, gu_ding_ban);

    // 9. The notch.
    subtract(chong_zi, fan_kuai, false);
    return ju_xing_ya_ban;
}

}  // namespace

int keepplate::creat_ju_xin_ya_ban() {
    try {
        diekit::frame::HostBracket bracket;
        JuXinSizes s{};
        s.L = diekit::frame::expression_value(expression03);  // ju_xin_ya_ban_chang
        s.W = diekit::frame::expression_value(expression04);  // ju_xin_ya_ban_kuan
        s.T = diekit::frame::expression_value(expression05);  // ju_xin_ya_hou
        s.e = diekit::frame::expression_value(expression06);  // li_bian
        screw_size(diekit::frame::enum_index(enum01));  // a size outside the table stops here, before any build
        s.chang = size_text(s.L);
        s.kuan = size_text(s.W);
        s.hou = size_text(s.T);

        diekit::frame::require_block(vector0);
        const NXOpen::Vector3d fang_xiang = vector0->Vector();
        const auto inputs = punch_inputs("keepplate", diekit::frame::selected_tags(bodySelect0));
        if (!inputs) return 0;
        const tag_t chong_zi = inputs->chong_zi, gu_ding_ban = inputs->plates.gu_ding_ban, dian_ban = inputs->plates.dian_ban;
        const Box &P = inputs->P;
        const double Pxc = inputs->Pxc, Pyc = inputs->Pyc;
        const double z0 = inputs->gu_ding_ban_zmin - s.T;
        const double L = s.L, W = s.W, e = s.e;

        // Only exact axis directions build; each test that holds builds its own plate.
        std::vector<JuXinSide> sides;
        if (fang_xiang.X == 1.0)
            sides.push_back({{P[XMAX] - e, Pyc - W / 2, z0}, {P[XMAX] - e, Pyc - 2 * L, z0}, e, 0});
        if (fang_xiang.X == -1.0)
            sides.push_back({{P[XMIN] + e - L, Pyc - W / 2, z0}, {P[XMIN] + e - 4 * L, Pyc - 2 * L, z0}, -e, 0});
        if (fang_xiang.Y == 1.0)
            sides.push_back({{Pxc - L / 2, P[YMAX] - e, z0}, {Pxc - 2 * L, P[YMAX] - e, z0}, 0, e});
        if (fang_xiang.Y == -1.0)
            sides.push_back({{Pxc - L / 2, P[YMIN] + e - W, z0}, {Pxc - 2 * L, P[YMIN] + e - 4 * L, z0}, 0, -e});

        std::vector<tag_t> ya_ban_list;
        for (const JuXinSide &side : sides)
            ya_ban_list.push_back(
                ju_xin_side(*this, side, s, inputs->gu_ding_ban_zmin, chong_zi, gu_ding_ban, dian_ban));
        for (const tag_t ya_ban : ya_ban_list) UF_OBJ_set_color(ya_ban, ya_ban_colour);
        return 0;
    } catch (const std::exception &error) {
        diekit::frame::report_exception(theUI, error);
        return 1;
    }
}
