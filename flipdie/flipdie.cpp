#include "flipdie.hpp"

DIEKIT_DIALOG_COMMON(flipdie)

void flipdie::initialize_cb() {
    diekit::frame::guard(theUI, [this] { DIEKIT_BIND_BLOCKS(FLIPDIE_BLOCKS); });
}

void flipdie::dialogShown_cb() {}

int flipdie::apply_cb() {
    return diekit::frame::run_apply(theUI, [] { diekit::frame::report_nothing_built(theUI, "flipdie"); });
}

int flipdie::update_cb(NXOpen::BlockStyler::UIBlock *) { return 0; }
