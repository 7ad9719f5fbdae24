// boxspring: rectangular die springs from the standard-part library, single or mirrored.
#ifndef DIEKIT_BOXSPRING_HPP
#define DIEKIT_BOXSPRING_HPP

#include "dialog_frame.hpp"

#define BOXSPRING_BLOCKS(X) \
    X(Group, group1) X(SpecifyPoint, point0) \
    X(Group, group2) X(Enumeration, enum0) \
    X(Group, group3) \
    X(ExpressionBlock, expression0) X(Toggle, toggle0) X(Toggle, toggle01) \
    X(Toggle, toggle02) \
    X(Group, group4) X(SelectObject, selection0) \
    X(Group, group5) X(Label, label0)

class DllExport boxspring {
public:
    static NXOpen::Session *theSession;
    static NXOpen::UI *theUI;
    const char *theDlxFileName = nullptr;
    NXOpen::BlockStyler::BlockDialog *theDialog = nullptr;
    DIEKIT_BLOCK_MEMBERS(BOXSPRING_BLOCKS)

    boxspring();
    ~boxspring();
    int Show();
    void initialize_cb();
    void dialogShown_cb();
    int apply_cb();
    int ok_cb();
    int update_cb(NXOpen::BlockStyler::UIBlock *block);
    NXOpen::BlockStyler::PropertyList *GetBlockProperties(const char *blockID);

    // Builders: each places a spring at one mirror position of the picked point; always 0.
    int creat_tang_huang_one();
    int creat_tang_huang_X();
    int creat_tang_huang_Y();
    int creat_tang_huang_XY();
};

#endif
