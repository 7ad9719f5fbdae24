// chong_zi_A: a straight punch from the outline. The upper plates get the outline's exact opening,
// the lower plates growing clearance openings, and the punch runs from 1 below the parting plane to
// the top of the highest plate.
#include <uf.h>
#include <uf_obj.h>

#include <exception>

#include "chong_zi_common.hpp"
#include "formpunch.hpp"

int formpunch::chong_zi_A() {
    try {
        diekit::frame::HostBracket bracket;
        const chong_zi::CommonInput input = chong_zi::read_common_input(*this);
        const chong_zi::Outline outline(input.curves);
        if (!chong_zi::input_usable(input, outline)) return 0;

        const chong_zi::Plates plates = chong_zi::sort_and_split(input.plates);
        chong_zi::cut_upper_openings(outline, plates.shang_mo);
        chong_zi::cut_lower_openings(outline, plates.xia_mo, input.jian_xi);
        const tag_t chong_zi_shi_ti = chong_zi::create_punch_body(outline, plates);
        UF_OBJ_set_color(chong_zi_shi_ti, chong_zi::chong_zi_colour);
        return 0;
    } catch (const std::exception &error) {
        diekit::frame::report_exception(theUI, error);
        return 1;
    }
}
