#include "keepplate.hpp"

#include "parameter_removal.hpp"
#include "sibling_rules.hpp"

using diekit::frame::show_plate_shape;

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
    return diekit::frame::run_apply(theUI, [this] { diekit::frame::build_retainer_plate(*this); });
}

int keepplate::update_cb(NXOpen::BlockStyler::UIBlock *block) {
    return diekit::frame::run_update(theUI, [this, block] {
        if (diekit::frame::changed(block, enum0)) show_plate_shape(*this);
    });
}

int keepplate::yi_jian_qu_can() { return diekit::frame::remove_all_body_parameters(theUI); }
