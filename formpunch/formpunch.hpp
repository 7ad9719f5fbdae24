// formpunch: shaped punches from a closed outline, with their openings in the die plates.
#ifndef DIEKIT_FORMPUNCH_HPP
#define DIEKIT_FORMPUNCH_HPP

#include "dialog_frame.hpp"

#define FORMPUNCH_BLOCKS(X) \
    X(Group, group1) X(CurveCollector, edge_select0) \
    X(Group, group2) X(SelectObject, selection0) \
    X(Group, group3) X(ExpressionBlock, expression0) \
    X(Group, group4) X(Enumeration, enum0) X(Toggle, toggle0) \
    X(Group, group5) X(Enumeration, enum01) \
    X(Group, group6) X(ExpressionBlock, expression01) X(ExpressionBlock, expression02) \
    X(Group, group7) X(ExpressionBlock, expression03) X(ExpressionBlock, expression04) \
    X(Group, group8) X(ExpressionBlock, expression051) \
    X(Group, group9) X(ExpressionBlock, expression05)

class DllExport formpunch {
public:
    static NXOpen::Session *theSession;
    static NXOpen::UI *theUI;
    const char *theDlxFileName = nullptr;
    NXOpen::BlockStyler::BlockDialog *theDialog = nullptr;
    DIEKIT_BLOCK_MEMBERS(FORMPUNCH_BLOCKS)

    formpunch();
    ~formpunch();
    int Show();
    void initialize_cb();
    void dialogShown_cb();
    int apply_cb();
    int ok_cb();
    int update_cb(NXOpen::BlockStyler::UIBlock *block);
    NXOpen::BlockStyler::PropertyList *GetBlockProperties(const char *blockID);

    // The builders chosen by "enum0": a straight punch from the outline (A), with a turned
    // rectangular head and its pockets (B), and with a stepped head (C). Each returns 0, or 1 after a
    // reported exception.
    int chong_zi_A();
    int chong_zi_B();
    int chong_zi_C();

    // Removes the feature parameters of every solid body of the work part.
    int yi_jian_qu_can();
};

#endif
