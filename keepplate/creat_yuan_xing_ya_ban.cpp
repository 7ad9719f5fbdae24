// creat_yuan_xing_ya_ban: a round retainer plate (disc of diameter D, T high) hanging under the fixed
// plate beside the punch on an axis side, reaching e over the punch face into an e-deep notch cut
// from the punch, its circular edges chamfered 0.3, with the screw, its clearance hole and the relief
// pocket in the backing plate all on the disc's axis.
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

// Where one side's notch block and disc go.
struct YuanXingSide {
    double fan_kuai_corner[3];
    double centre_x, centre_y;
};

struct YuanXingSizes {
    double D, T, e;
    SizeText yuan_xing_zhi_jing, hou, yuan_xin_ya_ban_fan_kuai;
};

struct YuanXingResult {
    tag_t fan_kuai = NULL_TAG;  // blanked notch block, cut from the punch after all sides
};

YuanXingResult yuan_xing_side(keepplate &dialog, const YuanXingSide &side, YuanXingSizes &s, tag_t gu_ding_ban,
                              tag_t dian_ban) {
    YuanXingResult result;
    // 1. The notch block, 2D x 2D x T, kept out of sight.
    const tag_t ju_xing_ya_ban =
        body_of(create_block(side.fan_kuai_corner, s.yuan_xin_ya_ban_fan_kuai, s.yuan_xin_ya_ban_fan_kuai, s.hou));
    UF_OBJ_set_blank_status(ju_xing_ya_ban, UF_OBJ_BLANKED);
    result.fan_kuai = ju_xing_ya_ban;

    // 2. Its box gives the disc's bottom and height.
    const Box bounding_box_ya_ban = bounding_box(ju_xing_ya_ban);
    const Box &A = bounding_box_ya_ban;
    SizeText gao = size_text(A[ZMAX] - A[ZMIN]);
    const double centre[3] = {side.centre_x, side.centre_y, A[ZMIN]};

    // 3. Clearance hole, then the disc, on the same axis.
    const tag_t luo_ding_kong =
        body_of(create_cylinder(centre, gao.data(), screw_size(diekit::frame::enum_index(dialog.enum01)).kong));
    const tag_t yuan_pan = create_cylinder(centre, gao.data(), s.yuan_xing_zhi_jing.data());
    const tag_t yuan_xing_ya_ban = body_of(yuan_pan);

    // 4-5. Chamfer before the hole is cut, then cut it.
    chamfer_disc(yuan_pan);
    subtract(yuan_xing_ya_ban, luo_ding_kong, false);

    // 6. Relief pocket, 8 deep below the backing plate's top face.
    const Box bounding_box_ran_wei = bounding_box(dian_ban);
    const double pocket_start[3] = {centre[0], centre[1], bounding_box_ran_wei[ZMAX] - 8};
    const tag_t ran_wei_kong = body_of(
        create_cylinder(pocket_start, "10", screw_size(diekit::frame::enum_index(dialog.enum01)).ran_wei));
    subtract(dian_ban, ran_wei_kong, false);

    // 7. The screw at the disc's centre; its hole goes into the fixed plate and the screw stays.
    import_screw(screw_size(diekit::frame::enum_index(dialog.enum01)).part_file, centre, gu_ding_ban);

    // 8. Colour.
    UF_OBJ_set_color(yuan_xing_ya_ban, ya_ban_colour);
    return result;
}

}  // namespace

int keepplate::creat_yuan_xing_ya_ban() {
    try {
        diekit::frame::HostBracket bracket;
        YuanXingSizes s{};
        s.D = diekit::frame::expression_value(expression01);  // yuan_xin_ya_ban_zhi_jing
        s.T = diekit::frame::expression_value(expression02);  // yuan_xin_ya_ban_hou
        s.e = diekit::frame::expression_value(expression06);  // li_bian
        screw_size(diekit::frame::enum_index(enum01));  // a size outside the table stops here, before any build
        s.yuan_xing_zhi_jing = size_text(s.D);
        s.hou = size_text(s.T);
        s.yuan_xin_ya_ban_fan_kuai = size_text(2 * s.D);

        diekit::frame::require_block(vector0);
        const NXOpen::Vector3d fang_xiang = vector0->Vector();
        const auto inputs = punch_inputs("keepplate", diekit::frame::selected_tags(bodySelect0));
        if (!inputs) return 0;
        const tag_t chong_zi = inputs->chong_zi, gu_ding_ban = inputs->plates.gu_ding_ban, dian_ban = inputs->plates.dian_ban;
        const Box &P = inputs->P;
        const double Pxc = inputs->Pxc, Pyc = inputs->Pyc;
        const double z0 = inputs->gu_ding_ban_zmin - s.T;
        const double D = s.D, e = s.e;

        std::vector<YuanXingSide> sides;
        if (fang_xiang.X == 1.0) sides.push_back({{P[XMAX] - e, Pyc - D, z0}, P[XMAX] - e + D / 2, Pyc});
        if (fang_xiang.X == -1.0) sides.push_back({{P[XMIN] + e - 2 * D, Pyc - D, z0}, P[XMIN] + e - D / 2, Pyc});
        if (fang_xiang.Y == 1.0) sides.push_back({{Pxc - D, P[YMAX] - e, z0}, Pxc, P[YMAX] - e + D / 2});
        if (fang_xiang.Y == -1.0) sides.push_back({{Pxc - D, P[YMIN] + e - 2 * D, z0}, Pxc, P[YMIN] + e - D / 2});

        std::vector<tag_t> fan_kuai_list;
        for (const YuanXingSide &side : sides)
            fan_kuai_list.push_back(yuan_xing_side(*this, side, s, gu_ding_ban, dian_ban).fan_kuai);
        // The notches are cut last; every notch block made is consumed, so none stays blanked.
        for (const tag_t fan_kuai : fan_kuai_list) subtract(chong_zi, fan_kuai, false);
        return 0;
    } catch (const std::exception &error) {
        diekit::frame::report_exception(theUI, error);
        return 1;
    }
}
