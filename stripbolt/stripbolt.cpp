#include "stripbolt.hpp"

DIEKIT_DIALOG_COMMON(stripbolt)

void stripbolt::initialize_cb() {
    diekit::frame::guard(theUI, [this] {
        DIEKIT_BIND_BLOCKS(STRIPBOLT_BLOCKS);
        diekit::frame::select_solid_bodies_only(selection0);
    });
}

void stripbolt::dialogShown_cb() {}

int stripbolt::apply_cb() {
    // The first toggle that is on decides the layout: two bolts along x, along y, diagonally
    // opposite, four, or one.
    return diekit::frame::run_apply(theUI, [this] {
        if (diekit::frame::toggle_on(toggle0)) {
            creat_stripbolt_one();
            creat_stripbolt_X();
        } else if (diekit::frame::toggle_on(toggle01)) {
            creat_stripbolt_one();
            creat_stripbolt_Y();
        } else if (diekit::frame::toggle_on(toggle02)) {
            creat_stripbolt_one();
            creat_stripbolt_XY();
        } else if (diekit::frame::toggle_on(toggle03)) {
            creat_stripbolt_one();
            creat_stripbolt_X();
            creat_stripbolt_Y();
            creat_stripbolt_XY();
        } else {
            creat_stripbolt_one();
        }
    });
}

int stripbolt::update_cb(NXOpen::BlockStyler::UIBlock *) { return 0; }
