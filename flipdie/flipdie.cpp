#include "flipdie.hpp"

DIEKIT_DIALOG_COMMON(flipdie)

void flipdie::initialize_cb() {
    diekit::frame::guard(theUI, [this] { DIEKIT_BIND_BLOCKS(FLIPDIE_BLOCKS); });
}

void flipdie::dialogShown_cb() {}

// Each builder removes the parameters itself, so there is no separate removal step; the builders'
// results are not looked at and a failed builder does not stop the next one.
int flipdie::apply_cb() {
    return diekit::frame::run_apply(theUI, [this] {
        create_mould();
        creat_shang_xia_mo_zuo();
        creat_dao_tao_and_dao_zhu_1();
        creat_dao_tao_and_dao_zhu_2();
        creat_dao_tao_and_dao_zhu_3();
        creat_dao_tao_and_dao_zhu_4();
    });
}

int flipdie::update_cb(NXOpen::BlockStyler::UIBlock *) { return 0; }
