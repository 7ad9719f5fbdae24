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

    // The builders are declared with the work that writes them; until then Apply builds nothing.
};

#endif
