// tiltplate: rectangular and round punch retainer plates for punches turned in plan.
#ifndef DIEKIT_TILTPLATE_HPP
#define DIEKIT_TILTPLATE_HPP

#include "dialog_frame.hpp"

#define TILTPLATE_BLOCKS(X) \
    X(Group, group1) X(FaceCollector, face_select0) \
    X(Group, group2) X(BodyCollector, bodySelect0) \
    X(Group, group3) X(Enumeration, enum0) \
    X(Group, group4) \
    X(ExpressionBlock, expression03) X(ExpressionBlock, expression04) \
    X(ExpressionBlock, expression05) \
    X(Group, group5) X(ExpressionBlock, expression01) X(ExpressionBlock, expression02) \
    X(Group, group6) X(ExpressionBlock, expression06) \
    X(Group, group7) X(Enumeration, enum01) \
    X(Group, group8) X(Label, label0) \
    X(Group, group9) X(Label, label01)

class DllExport tiltplate {
public:
    static NXOpen::Session *theSession;
    static NXOpen::UI *theUI;
    const char *theDlxFileName = nullptr;
    NXOpen::BlockStyler::BlockDialog *theDialog = nullptr;
    DIEKIT_BLOCK_MEMBERS(TILTPLATE_BLOCKS)

    tiltplate();
    ~tiltplate();
    int Show();
    void initialize_cb();
    void dialogShown_cb();
    int apply_cb();
    int ok_cb();
    int update_cb(NXOpen::BlockStyler::UIBlock *block);
    NXOpen::BlockStyler::PropertyList *GetBlockProperties(const char *blockID);

    // The rectangular retainer plate in a frame turned to the selected punch face (creat_ju_xin_ya_ban.cpp).
    int creat_ju_xin_ya_ban();
    // The round retainer plate in a frame turned to the selected punch face (creat_yuan_xing_ya_ban.cpp).
    int creat_yuan_xing_ya_ban();

    // Removes the feature parameters of every solid body of the work part.
    int yi_jian_qu_can();
};

#endif
