#include "wirespring.hpp"

DIEKIT_DIALOG_COMMON(wirespring)

void wirespring::initialize_cb() {
    diekit::frame::guard(theUI, [this] {
        DIEKIT_BIND_BLOCKS(WIRESPRING_BLOCKS);
        diekit::frame::select_solid_bodies_only(selection0);
    });
}

void wirespring::dialogShown_cb() {}

int wirespring::apply_cb() {
    // The first toggle that is on decides the layout: two springs along x, two along y, four, or one.
    return diekit::frame::run_apply(theUI, [this] {
        if (diekit::frame::toggle_on(toggle0)) {
            creat_tang_huang_one();
            creat_tang_huang_X();
        } else if (diekit::frame::toggle_on(toggle01)) {
            creat_tang_huang_one();
            creat_tang_huang_Y();
        } else if (diekit::frame::toggle_on(toggle02)) {
            creat_tang_huang_one();
            creat_tang_huang_X();
            creat_tang_huang_Y();
            creat_tang_huang_XY();
        } else {
            creat_tang_huang_one();
        }
    });
}

int wirespring::update_cb(NXOpen::BlockStyler::UIBlock *) { return 0; }
