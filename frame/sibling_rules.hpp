// Dialog rules that sibling plug-ins share, written once for any dialog class that has the blocks and
// builders they name: keepplate and tiltplate (the retainer plate forms), boxspring and wirespring
// (the spring layouts), flatinsert and tiltinsert (their inputs).
#ifndef DIEKIT_FRAME_SIBLING_RULES_HPP
#define DIEKIT_FRAME_SIBLING_RULES_HPP

#include "dialog_frame.hpp"

#include <uf_ui.h>

#include <optional>
#include <string>
#include <vector>

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

// The inputs of an insert builder, read once before its loop: the punches ("bodySelect0"), the die
// plate (the first of "bodySelect01"), the margin c ("expression0") and the chamfer d ("expression01").
struct InsertInputs {
    std::vector<tag_t> punches;
    tag_t plate = NULL_TAG;
    double c = 0, d = 0;
};

// Nothing when no punch is selected; nothing, said in one line, when no plate is.
template <class Dialog>
std::optional<InsertInputs> insert_inputs(const char *plugin, Dialog &dialog) {
    InsertInputs in{selected_tags(dialog.bodySelect0), NULL_TAG, 0, 0};
    const std::vector<tag_t> plates = selected_tags(dialog.bodySelect01);
    in.c = expression_value(dialog.expression0);
    in.d = expression_value(dialog.expression01);
    if (in.punches.empty()) return std::nullopt;
    if (plates.empty()) {
        report_not_built(plugin, std::string(plugin) + ": select a die plate; no insert was built");
        return std::nullopt;
    }
    in.plate = plates.front();
    return in;
}

}  // namespace diekit::frame

#endif
