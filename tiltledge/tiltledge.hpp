// tiltledge: an inclined hanging shoulder along a punch edge, with its clearance pocket in the plates.
#ifndef DIEKIT_TILTLEDGE_HPP
#define DIEKIT_TILTLEDGE_HPP

#include "dialog_frame.hpp"

#define TILTLEDGE_BLOCKS(X) \
    X(Group, group1) X(CurveCollector, edge_select0) \
    X(Group, group2) X(BodyCollector, bodySelect0) \
    X(Group, group3) X(Enumeration, enum0) X(Toggle, toggle0) \
    X(Group, group4) \
    X(ExpressionBlock, expression0) X(ExpressionBlock, expression01) \
    X(ExpressionBlock, expression02) \
    X(Group, group5) X(ExpressionBlock, expression03) X(ExpressionBlock, expression04)

class DllExport tiltledge {
public:
    static NXOpen::Session *theSession;
    static NXOpen::UI *theUI;
    const char *theDlxFileName = nullptr;
    NXOpen::BlockStyler::BlockDialog *theDialog = nullptr;
    DIEKIT_BLOCK_MEMBERS(TILTLEDGE_BLOCKS)

    tiltledge();
    ~tiltledge();
    int Show();
    void initialize_cb();
    void dialogShown_cb();
    int apply_cb();
    int ok_cb();
    int update_cb(NXOpen::BlockStyler::UIBlock *block);
    NXOpen::BlockStyler::PropertyList *GetBlockProperties(const char *blockID);

    // The shoulder along the first selected edge, united with the first selected body, and its
    // clearance pocket in the bodies it runs into (creat_tiltledge.cpp).
    int creat_tiltledge();

    // Removes the feature parameters of every solid body of the work part.
    int yi_jian_qu_can();
};

#endif
