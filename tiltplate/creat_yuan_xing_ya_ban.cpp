// creat_yuan_xing_ya_ban (tiltplate): the round retainer plate in a frame turned to the selected punch
// face: an e-deep notch cut from the punch along the face, the disc (diameter D, T high) under the
// fixed plate with its circular edges chamfered 0.3, and on its axis the screw clearance hole, the
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

int tiltplate::creat_yuan_xing_ya_ban() {
    try {
        diekit::frame::HostBracket bracket;
        const double D = diekit::frame::expression_value(expression01);  // yuan_xin_ya_ban_zhi_jing
        const double T = diekit::frame::expression_value(expression02);  // yuan_xin_ya_ban_hou
        const double e = diekit::frame::expression_value(expression06);  // li_bian
        screw_size(diekit::frame::enum_index(enum01));  // a size outside the table stops here, before any build
        SizeText yuan_xing_zhi_jing = size_text(D);
        SizeText hou = size_text(T);

        const auto inputs = tilt_inputs(diekit::frame::selected_tags(face_select0), diekit::frame::selected_tags(bodySelect0));
        if (!inputs) return 0;
        const tag_t chong_zi = inputs->chong_zi, gu_ding_ban = inputs->plates.gu_ding_ban, dian_ban = inputs->plates.dian_ban;
        const double ran_wei_z = inputs->ran_wei_z;
        const TurnedWcs wcs(inputs->frame);
        const bool side_a = inputs->frame.plate_on_plus_y;
        const double fu_zhu_kuai_y = side_a ? -e : e - D;
        const double centre_y = side_a ? D / 2 - e : e - D / 2;

        // Notch, 10D along the face: blanked and cut from the punch at once.
        SizeText shi_chang = size_text(10 * D);
        const Point fu_zhu_corner = to_absolute(-5 * D, fu_zhu_kuai_y, -T);
        const tag_t fu_zhu_kuai = body_of(create_block(fu_zhu_corner.xyz, shi_chang, yuan_xing_zhi_jing, hou));
        UF_OBJ_set_blank_status(fu_zhu_kuai, UF_OBJ_BLANKED);
        subtract(chong_zi, fu_zhu_kuai, false);

        // Clearance hole, then the disc, on the same axis.
        const Point centre = to_absolute(0, centre_y, -T);
        const tag_t luo_ding_kong =
            body_of(create_cylinder(centre.xyz, hou.data(), screw_size(diekit::frame::enum_index(enum01)).kong));
        const tag_t yuan_pan = create_cylinder(centre.xyz, hou.data(), yuan_xing_zhi_jing.data());
        const tag_t yuan_xian_shi_ti = body_of(yuan_pan);

        // Chamfer every edge of the disc before the hole is cut, then cut it.
        chamfer_disc(yuan_pan);
        subtract(yuan_xian_shi_ti, luo_ding_kong, false);

        // Relief pocket in the backing plate.
        const Point pocket_start = to_absolute(0, centre_y, ran_wei_z);
        const tag_t ran_wei_kong =
            body_of(create_cylinder(pocket_start.xyz, "10", screw_size(diekit::frame::enum_index(enum01)).ran_wei));
        subtract(dian_ban, ran_wei_kong, false);

        // The screw at the disc's centre, axes not turned; its hole goes into the fixed plate.
        import_screw(screw_size(diekit::frame::enum_index(enum01)).part_file, centre.xyz, gu_ding_ban);

        UF_OBJ_set_color(yuan_xian_shi_ti, ya_ban_colour);
        return 0;
    } catch (const std::exception &error) {
        diekit::frame::report_exception(theUI, error);
        return 1;
    }
}
