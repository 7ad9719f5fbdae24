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
    return diekit::frame::run_apply(theUI, [] { diekit::frame::report_nothing_built(theUI, "stripbolt"); });
}

int stripbolt::update_cb(NXOpen::BlockStyler::UIBlock *) { return 0; }
