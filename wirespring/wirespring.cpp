#include "wirespring.hpp"

#include "sibling_rules.hpp"

DIEKIT_DIALOG_COMMON(wirespring)

void wirespring::initialize_cb() {
    diekit::frame::guard(theUI, [this] {
        DIEKIT_BIND_BLOCKS(WIRESPRING_BLOCKS);
        diekit::frame::select_solid_bodies_only(selection0);
    });
}

void wirespring::dialogShown_cb() {}

int wirespring::apply_cb() {
    return diekit::frame::run_apply(theUI, [this] { diekit::frame::build_spring_layout(*this); });
}

int wirespring::update_cb(NXOpen::BlockStyler::UIBlock *) { return 0; }
