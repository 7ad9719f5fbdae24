// flipdie: the plate stack, die shoes and guide sets of an inverted compound blanking die.
#ifndef DIEKIT_FLIPDIE_HPP
#define DIEKIT_FLIPDIE_HPP

#include "dialog_frame.hpp"

#define FLIPDIE_BLOCKS(X) \
    X(Group, group1) X(ExpressionBlock, tiao_liao) X(ExpressionBlock, jian_xi) \
    X(Group, group2) X(ExpressionBlock, chang) X(ExpressionBlock, kuan) \
    X(Group, group3) \
    X(ExpressionBlock, SMZC) X(ExpressionBlock, SDBC) X(ExpressionBlock, SGDBC) \
    X(ExpressionBlock, KXDBC) X(ExpressionBlock, AMBC) X(ExpressionBlock, XLBC) \
    X(ExpressionBlock, XGDBC) X(ExpressionBlock, XDBC) X(ExpressionBlock, XMZC) \
    X(ExpressionBlock, TAMC) \
    X(Group, group4) X(ExpressionBlock, mo_bing) \
    X(Group, group5) X(Enumeration, enum0) \
    X(Group, group6) X(CurveCollector, edge_select0) \
    X(Group, group7) X(Label, label0)

class DllExport flipdie {
public:
    static NXOpen::Session *theSession;
    static NXOpen::UI *theUI;
    const char *theDlxFileName = nullptr;
    NXOpen::BlockStyler::BlockDialog *theDialog = nullptr;
    DIEKIT_BLOCK_MEMBERS(FLIPDIE_BLOCKS)

    flipdie();
    ~flipdie();
    int Show();
    void initialize_cb();
    void dialogShown_cb();
    int apply_cb();
    int ok_cb();
    int update_cb(NXOpen::BlockStyler::UIBlock *block);
    NXOpen::BlockStyler::PropertyList *GetBlockProperties(const char *blockID);

    // Builders, run by apply_cb in this order; each returns 0, or 1 after a reported exception, and
    // ends by removing the feature parameters of every solid body of the work part.
    int create_mould();             // plate stack, ejector, pad, punch-die, die shank, knock-out rod
    int creat_shang_xia_mo_zuo();   // upper and lower die shoes with their holes and grooves
    int creat_dao_tao_and_dao_zhu_1();  // guide pillar and bushing set at corner 1 (+X, +Y)
    int creat_dao_tao_and_dao_zhu_2();  // at corner 3 (-X, +Y)
    int creat_dao_tao_and_dao_zhu_3();  // at corner 2 (+X, -Y), 5 further in along X
    int creat_dao_tao_and_dao_zhu_4();  // at corner 4 (-X, -Y)
};

#endif
