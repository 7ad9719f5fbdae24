#include "keepplate.hpp"

#include "parameter_removal.hpp"

namespace {

// enum0 = 0 shows the rectangular plate's sizes and help (group4, group8), any other value the
// round plate's (group5, group9).
void show_plate_shape(keepplate &d) {
    const bool rectangular = diekit::frame::enum_index(d.enum0) == 0;
    diekit::frame::set_shown(
        {{d.group4, rectangular}, {d.group8, rectangular}, {d.group5, !rectangular}, {d.group9, !rectangular}});
}

}  // namespace

DIEKIT_DIALOG_COMMON(keepplate)

void keepplate::initialize_cb() {
    diekit::frame::guard(theUI, [this] {
        DIEKIT_BIND_BLOCKS(KEEPPLATE_BLOCKS);
        show_plate_shape(*this);
    });
}

void keepplate::dialogShown_cb() {
    diekit::frame::guard(theUI, [this] { show_plate_shape(*this); });
}

int keepplate::apply_cb() {
    // enum0 = 0: rectangular plate; 1: round plate; then every body of the part loses its parameters.
    return diekit::frame::run_apply(theUI, [this] {
        switch (diekit::frame::enum_index(enum0)) {
        case 0: creat_ju_xin_ya_ban(); break;
        case 1: creat_yuan_xing_ya_ban(); break;
        default: break;
        }
        yi_jian_qu_can();
    });
}

int keepplate::update_cb(NXOpen::BlockStyler::UIBlock *block) {
    return diekit::frame::run_update(theUI, [this, block] {
        if (diekit::frame::changed(block, enum0)) show_plate_shape(*this);
    });
}

int keepplate::yi_jian_qu_can() { return diekit::frame::remove_all_body_parameters(theUI); }
