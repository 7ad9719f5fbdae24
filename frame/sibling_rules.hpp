// Dialog rules that sibling plug-ins share, written once for any dialog class that has the blocks and
// builders they name: keepplate and tiltplate (the retainer plate forms), boxspring and wirespring
// (the spring layouts).
#ifndef DIEKIT_FRAME_SIBLING_RULES_HPP
#define DIEKIT_FRAME_SIBLING_RULES_HPP

#include "dialog_frame.hpp"

namespace diekit::frame {

// enum0 = 0 shows the rectangular plate's sizes and help (group4, group8), any other value the
// round plate's (group5, group9).
template <class Dialog>
void show_plate_shape(Dialog &d) {
    const bool rectangular = enum_index(d.enum0) == 0;
    set_shown({{d.group4, rectangular}, {d.group8, rectangular}, {d.group5, !rectangular}, {d.group9, !rectangular}});
}

// enum0 = 0: rectangular plate; 1: round plate; then every body of the part loses its parameters.
template <class Dialog>
void build_retainer_plate(Dialog &d) {
    switch (enum_index(d.enum0)) {
    case 0: d.creat_ju_xin_ya_ban(); break;
    case 1: d.creat_yuan_xing_ya_ban(); break;
    default: break;
    }
    d.yi_jian_qu_can();
}

// The first toggle that is on decides the layout: two springs along x, two along y, four, or one.
template <class Dialog>
void build_spring_layout(Dialog &d) {
    if (toggle_on(d.toggle0)) {
        d.creat_tang_huang_one();
        d.creat_tang_huang_X();
    } else if (toggle_on(d.toggle01)) {
        d.creat_tang_huang_one();
        d.creat_tang_huang_Y();
    } else if (toggle_on(d.toggle02)) {
        d.creat_tang_huang_one();
        d.creat_tang_huang_X();
        d.creat_tang_huang_Y();
        d.creat_tang_huang_XY();
    } else {
        d.creat_tang_huang_one();
    }
}

}  // namespace diekit::frame

#endif
