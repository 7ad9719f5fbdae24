#include "tiltplate.hpp"

#include "parameter_removal.hpp"
#include "sibling_rules.hpp"

using diekit::frame::show_plate_shape;

DIEKIT_DIALOG_COMMON(tiltplate)

void tiltplate::initialize_cb() {
    diekit::frame::guard(theUI, [this] {
        DIEKIT_BIND_BLOCKS(TILTPLATE_BLOCKS);
        show_plate_shape(*this);
    });
}

void tiltplate::dialogShown_cb() {
    diekit::frame::guard(theUI, [this] { show_plate_shape(*this); });
}

int tiltplate::apply_cb() {
    return diekit::frame::run_apply(theUI, [this] { diekit::frame::build_retainer_plate(*this); });
}

int tiltplate::update_cb(NXOpen::BlockStyler::UIBlock *block) {
    return diekit::frame::run_update(theUI, [this, block] {
        if (diekit::frame::changed(block, enum0)) show_plate_shape(*this);
    });
}

int tiltplate::yi_jian_qu_can() { return diekit::frame::remove_all_body_parameters(theUI); }
