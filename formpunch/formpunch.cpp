#include "formpunch.hpp"

#include "parameter_removal.hpp"

using diekit::frame::enum_index;
using diekit::frame::set_shown;

namespace {

// The turn angle (group9) is shown exactly when the head is turned (toggle0).
void show_turn(formpunch &d) { set_shown({{d.group9, diekit::frame::toggle_on(d.toggle0)}}); }

// enum01 = 0: the head's own size (group6); otherwise the margin around the punch (group8).
void show_head_sizing(formpunch &d) {
    const bool given_size = enum_index(d.enum01) == 0;
    set_shown({{d.group6, given_size}, {d.group8, !given_size}});
}

// enum0 is the punch type: A straight, B with a head, C with a stepped head.
void show_punch_type(formpunch &d) {
    switch (enum_index(d.enum0)) {
    case 0:
        set_shown({{d.group5, false}, {d.group6, false}, {d.group7, false}, {d.group8, false}, {d.group9, false},
                   {d.toggle0, false}});
        break;
    case 1:
        set_shown({{d.group5, true}, {d.group6, true}, {d.group7, false}, {d.toggle0, true}});
        show_turn(d);
        show_head_sizing(d);
        break;
    case 2:
        set_shown({{d.group5, true}, {d.group7, true}, {d.toggle0, true}});
        show_turn(d);
        show_head_sizing(d);
        break;
    default: break;
    }
}

}  // namespace

DIEKIT_DIALOG_COMMON(formpunch)

void formpunch::initialize_cb() {
    diekit::frame::guard(theUI, [this] {
        DIEKIT_BIND_BLOCKS(FORMPUNCH_BLOCKS);
        diekit::frame::select_solid_bodies_only(selection0);
        show_punch_type(*this);
    });
}

void formpunch::dialogShown_cb() {
    diekit::frame::guard(theUI, [this] { show_punch_type(*this); });
}

int formpunch::apply_cb() {
    return diekit::frame::run_apply(theUI, [this] {
        switch (enum_index(enum0)) {
        case 0: chong_zi_A(); break;
        case 1: chong_zi_B(); break;
        case 2: chong_zi_C(); break;
        default: break;
        }
        yi_jian_qu_can();
    });
}

int formpunch::update_cb(NXOpen::BlockStyler::UIBlock *block) {
    return diekit::frame::run_update(theUI, [this, block] {
        if (diekit::frame::changed(block, enum0))
            show_punch_type(*this);
        else if (diekit::frame::changed(block, toggle0))
            show_turn(*this);
        else if (diekit::frame::changed(block, enum01))
            show_head_sizing(*this);
    });
}

int formpunch::yi_jian_qu_can() { return diekit::frame::remove_all_body_parameters(theUI); }
