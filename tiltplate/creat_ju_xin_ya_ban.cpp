// creat_ju_xin_ya_ban (tiltplate): the rectangular retainer plate in a frame turned to the selected
// punch face: an e-deep notch cut from the punch along the face, the plate (L along the face, W away
// from it, T high) under the fixed plate with R2 vertical corners, the screw clearance hole, the
// relief pocket in the backing plate and the screw, whose hole is cut into the fixed plate.
#include <uf.h>
#include <uf_modl.h>
#include <uf_obj.h>
#include <uf_ui.h>

#include <exception>
#include <vector>

#include "face_frame.hpp"
#include "tiltplate.hpp"
#include "ya_ban_steps.hpp"

using diekit::frame::ObjectList;
using diekit::frame::SizeText;
using diekit::frame::size_text;
using namespace ya_ban;

namespace {

// Local coordinates of one side (A: plate on local +Y, B: on local -Y).
struct JuXinLocal {
    double fu_zhu_kuai_y;  // notch block corner y (x = -5L, z = -T)
    double ya_ban_y;       // plate corner y (x = -L/2, z = -T)
    double edge_y[2];      // y of the plate's two long sides, where the blend test points lie
    double screw_y;        // screw point y (x = 0, z = -T)
};

JuXinLocal ju_xin_local(bool side_a, double W, double e) {
    if (side_a) return {-e, -e, {-e, W - e}, W - 6.5};
    return {e - W, e - W, {e - W, e}, e - W + 5.5};
}

}  // namespace

int tiltplate::creat_ju_xin_ya_ban() {
    try {
        diekit::frame::HostBracket bracket;
        const double L = diekit::frame::expression_value(expression03);  // ju_xin_ya_ban_chang
        const double W = diekit::frame::expression_value(expression04);  // ju_xin_ya_ban_kuan
        const double T = diekit::frame::expression_value(expression05);  // ju_xin_ya_hou
        const double e = diekit::frame::expression_value(expression06);  // li_bian
        screw_size(diekit::frame::enum_index(enum01));  // a size outside the table stops here, before any build
        SizeText chang = size_text(L);
        SizeText kuan = size_text(W);
        SizeText hou = size_text(T);

        const auto inputs = tilt_inputs(diekit::frame::selected_tags(face_select0), diekit::frame::selected_tags(bodySelect0));
        if (!inputs) return 0;
        const tag_t chong_zi = inputs->chong_zi, gu_ding_ban = inputs->plates.gu_ding_ban, dian_ban = inputs->plates.dian_ban;
        const double ran_wei_z = inputs->ran_wei_z;
        const TurnedWcs wcs(inputs->frame);
        const JuXinLocal side = ju_xin_local(inputs->frame.plate_on_plus_y, W, e);

        // 1. Notch, 10L along the face: blanked and cut from the punch at once.
        SizeText shi_chang = size_text(10 * L);
        const Point fu_zhu_corner = to_absolute(-5 * L, side.fu_zhu_kuai_y, -T);
        const tag_t fu_zhu_kuai = body_of(create_block(fu_zhu_corner.xyz, shi_chang, kuan, hou));
        UF_OBJ_set_blank_status(fu_zhu_kuai, UF_OBJ_BLANKED);
        subtract(chong_zi, fu_zhu_kuai, false);

        // 2. The plate.
        const Point ya_ban_corner = to_absolute(-L / 2, side.ya_ban_y, -T);
        const tag_t kuai = create_block(ya_ban_corner.xyz, chang, kuan, hou);
        const tag_t ru_zi_shi_ti = body_of(kuai);

        // 3. The four vertical plate edges get radius 2.
        {
            Point test_points[4] = {to_absolute(-L / 2, side.edge_y[0], -T / 2), to_absolute(L / 2, side.edge_y[0], -T / 2),
                                    to_absolute(-L / 2, side.edge_y[1], -T / 2), to_absolute(L / 2, side.edge_y[1], -T / 2)};
            ObjectList edge_list;
            UF_MODL_ask_feat_edges(kuai, edge_list.out());
            ObjectList edge_list_yuan_jiao(diekit::frame::new_empty_list);
            const int count = edge_list.count();
            for (int i = 0; i < count; ++i) {
                const tag_t edge = edge_list.item(i);
                bool on_corner = false;
                for (Point &point : test_points) {
                    int status = 0;
                    UF_MODL_ask_point_containment(point.xyz, edge, &status);
                    if (status == 1) on_corner = true;
                }
                if (on_corner) UF_MODL_put_list_item(edge_list_yuan_jiao.get(), edge);
            }
            tag_t yuan_jiao = NULL_TAG;
            UF_MODL_create_blend("2", edge_list_yuan_jiao.get(), 0, 0, 0, 0.01, &yuan_jiao);
        }

        // 4. Screw clearance hole through the plate.
        const Point screw_point = to_absolute(0, side.screw_y, -T);
        const tag_t luo_ding_kong =
            body_of(create_cylinder(screw_point.xyz, hou.data(), screw_size(diekit::frame::enum_index(enum01)).kong));
        subtract(ru_zi_shi_ti, luo_ding_kong, false);

        // 5. Relief pocket in the backing plate.
        const Point pocket_start = to_absolute(0, side.screw_y, ran_wei_z);
        const tag_t ran_wei_kong =
            body_of(create_cylinder(pocket_start.xyz, "10", screw_size(diekit::frame::enum_index(enum01)).ran_wei));
        subtract(dian_ban, ran_wei_kong, false);

        // 6. The screw, axes not turned; its hole goes into the fixed plate and the screw stays.
        import_screw(screw_size(diekit::frame::enum_index(enum01)).part_file, screw_point.xyz, gu_ding_ban);

        // 7. Colour.
        UF_OBJ_set_color(ru_zi_shi_ti, ya_ban_colour);
        return 0;
    } catch (const std::exception &error) {
        diekit::frame::report_exception(theUI, error);
        return 1;
    }
}
