#include "tiltledge.hpp"

#include "parameter_removal.hpp"

using diekit::frame::enum_index;
using diekit::frame::set_formula;
using diekit::frame::set_shown;

namespace {

// enum0 = 0 sizes the shoulder along the whole edge (group5), 1 by a given length (group4);
// any other value leaves the groups as they are.
void show_size_mode(tiltledge &d) {
    switch (enum_index(d.enum0)) {
    case 0: set_shown({{d.group4, false}, {d.group5, true}}); break;
    case 1: set_shown({{d.group4, true}, {d.group5, false}}); break;
    default: break;
    }
}

}  // namespace

DIEKIT_DIALOG_COMMON(tiltledge)

void tiltledge::initialize_cb() {
    diekit::frame::guard(theUI, [this] {
        DIEKIT_BIND_BLOCKS(TILTLEDGE_BLOCKS);
        show_size_mode(*this);
        set_formula(expression03, "1");
    });
}

void tiltledge::dialogShown_cb() {
    diekit::frame::guard(theUI, [this] {
        show_size_mode(*this);
        set_formula(expression03, "1");
    });
}

int tiltledge::apply_cb() {
    return diekit::frame::run_apply(theUI, [this] {
        creat_tiltledge();
        yi_jian_qu_can();
    });
}

int tiltledge::update_cb(NXOpen::BlockStyler::UIBlock *block) {
    return diekit::frame::run_update(theUI, [this, block] {
        if (diekit::frame::changed(block, enum0)) show_size_mode(*this);
    });
}

int tiltledge::yi_jian_qu_can() { return diekit::frame::remove_all_body_parameters(theUI); }
