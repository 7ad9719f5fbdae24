// The block classes of the dialogs.
#ifndef NXOPEN_BLOCKSTYLER_BLOCKS_HXX_INCLUDED
#define NXOPEN_BLOCKSTYLER_BLOCKS_HXX_INCLUDED
#include <NXOpen/BlockStyler_UIBlock.hxx>
#include <NXOpen/ugmath.hxx>
#include <vector>

namespace NXOpen::BlockStyler {
class CompositeBlock : public UIBlock {
public:
    using UIBlock::UIBlock;
    // The block with this identifier anywhere in the dialog, or NULL.
    UIBlock *FindBlock(const NXString &blockName);
    std::vector<UIBlock *> GetBlocks();
};

class Group : public UIBlock {
public:
    using UIBlock::UIBlock;
};

class Label : public UIBlock {
public:
    using UIBlock::UIBlock;
};

// Selection blocks: the selected objects in selection order.
class BodyCollector : public UIBlock {
public:
    using UIBlock::UIBlock;
    std::vector<TaggedObject *> GetSelectedObjects();
};

class CurveCollector : public UIBlock {
public:
    using UIBlock::UIBlock;
    std::vector<TaggedObject *> GetSelectedObjects();
};

class FaceCollector : public UIBlock {
public:
    using UIBlock::UIBlock;
    std::vector<TaggedObject *> GetSelectedObjects();
};

class SelectObject : public UIBlock {
public:
    enum FilterType {
        FilterTypeFeatures = 1,
        FilterTypeFaces = 2,
        FilterTypeEdges = 4,
        FilterTypeCurvesAndEdges = 8,
        FilterTypeComponents = 16,
        FilterTypeSolidBodies = 32,
        FilterTypeSheetBodies = 64
    };
    using UIBlock::UIBlock;
    std::vector<TaggedObject *> GetSelectedObjects();
};

class SpecifyPoint : public UIBlock {
public:
    using UIBlock::UIBlock;
    Point3d Point() const;
    void SetPoint(const Point3d &point);
    std::vector<TaggedObject *> GetSelectedObjects() { return {}; }
};

class SpecifyVector : public UIBlock {
public:
    using UIBlock::UIBlock;
    Vector3d Vector() const;
    void SetVector(const Vector3d &vector);
    Point3d Point() const { return {}; }
    std::vector<TaggedObject *> GetSelectedObjects() { return {}; }
};

class ExpressionBlock : public UIBlock {
public:
    using UIBlock::UIBlock;
    // Value of the formula in part units.
    double Value() const;
    void SetValue(double value);
    NXString Formula() const;
    // Sets the formula and evaluates it; an unreadable formula throws NXException.
    void SetFormula(const NXString &formula);
};

class Toggle : public UIBlock {
public:
    using UIBlock::UIBlock;
    bool Value() const;
    void SetValue(bool value);
};

class Enumeration : public UIBlock {
public:
    using UIBlock::UIBlock;
    std::vector<NXString> GetEnumMembers() const;
    NXString ValueAsString() const;
    void SetValueAsString(const NXString &member);
};
}  // namespace NXOpen::BlockStyler
#endif
