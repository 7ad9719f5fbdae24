#include "flatinsert.hpp"

#include "parameter_removal.hpp"

DIEKIT_DIALOG_COMMON(flatinsert)

void flatinsert::initialize_cb() {
    diekit::frame::guard(theUI, [this] { DIEKIT_BIND_BLOCKS(FLATINSERT_BLOCKS); });
}

void flatinsert::dialogShown_cb() {}

int flatinsert::apply_cb() {
    return diekit::frame::run_apply(theUI, [this] {
        creat_ru_zi();
        yi_jian_qu_can();
    });
}

int flatinsert::update_cb(NXOpen::BlockStyler::UIBlock *) { return 0; }

int flatinsert::yi_jian_qu_can() { return diekit::frame::remove_all_body_parameters(theUI); }
