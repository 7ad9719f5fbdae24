#include "tiltinsert.hpp"

#include "parameter_removal.hpp"

DIEKIT_DIALOG_COMMON(tiltinsert)

void tiltinsert::initialize_cb() {
    diekit::frame::guard(theUI, [this] { DIEKIT_BIND_BLOCKS(TILTINSERT_BLOCKS); });
}

void tiltinsert::dialogShown_cb() {}

int tiltinsert::apply_cb() {
    return diekit::frame::run_apply(theUI, [this] {
        creat_ru_zi();
        yi_jian_qu_can();
    });
}

int tiltinsert::update_cb(NXOpen::BlockStyler::UIBlock *) { return 0; }

int tiltinsert::yi_jian_qu_can() { return diekit::frame::remove_all_body_parameters(theUI); }
