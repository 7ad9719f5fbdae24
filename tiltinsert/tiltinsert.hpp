// tiltinsert: inclined die inserts cut out of a die plate around punches turned in plan.
#ifndef DIEKIT_TILTINSERT_HPP
#define DIEKIT_TILTINSERT_HPP

#include "dialog_frame.hpp"

#define TILTINSERT_BLOCKS(X) \
    X(Group, group1) X(BodyCollector, bodySelect0) \
    X(Group, group2) X(BodyCollector, bodySelect01) \
    X(Group, group3) X(ExpressionBlock, expression0) X(ExpressionBlock, expression01) \
    X(Group, group4) \
    X(Toggle, toggle0) X(Toggle, toggle01) X(Toggle, toggle02) X(Toggle, toggle03) \
    X(Group, group5) X(Label, label0)

class DllExport tiltinsert {
public:
    static NXOpen::Session *theSession;
    static NXOpen::UI *theUI;
    const char *theDlxFileName = nullptr;
    NXOpen::BlockStyler::BlockDialog *theDialog = nullptr;
    DIEKIT_BLOCK_MEMBERS(TILTINSERT_BLOCKS)

    tiltinsert();
    ~tiltinsert();
    int Show();
    void initialize_cb();
    void dialogShown_cb();
    int apply_cb();
    int ok_cb();
    int update_cb(NXOpen::BlockStyler::UIBlock *block);
    NXOpen::BlockStyler::PropertyList *GetBlockProperties(const char *blockID);

    // One insert per selected punch, turned to the punch's top face, cut from the first selected
    // plate body (creat_ru_zi.cpp; the axis-aligned construction in zheng_ru_zi.cpp).
    int creat_ru_zi();

    // Removes the feature parameters of every solid body of the work part.
    int yi_jian_qu_can();
};

#endif
