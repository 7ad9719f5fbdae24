// A block's properties by name ("Value", "Show", "Label", "SelectionFilter", ...). Reading a property
// that the block does not have, or of another kind, throws NXException naming block and property.
#ifndef NXOPEN_BLOCKSTYLER_PROPERTYLIST_HXX_INCLUDED
#define NXOPEN_BLOCKSTYLER_PROPERTYLIST_HXX_INCLUDED
#include <NXOpen/NXString.hxx>
#include <NXOpen/Selection.hxx>
#include <NXOpen/TaggedObject.hxx>
#include <NXOpen/ugmath.hxx>
#include <vector>

namespace diekit::ui {
struct BlockData;
}

namespace NXOpen::BlockStyler {
class PropertyList : public TransientObject {
public:
    explicit PropertyList(diekit::ui::BlockData *data) : m_data(data) {}
    bool GetLogical(const NXString &name) const;
    void SetLogical(const NXString &name, bool value);
    int GetEnum(const NXString &name) const;
    void SetEnum(const NXString &name, int value);
    NXString GetEnumAsString(const NXString &name) const;
    double GetDouble(const NXString &name) const;
    void SetDouble(const NXString &name, double value);
    NXString GetString(const NXString &name) const;
    void SetString(const NXString &name, const NXString &value);
    Point3d GetPoint(const NXString &name) const;
    Vector3d GetVector(const NXString &name) const;
    std::vector<TaggedObject *> GetTaggedObjectVector(const NXString &name) const;
    void SetSelectionFilter(const NXString &name, Selection::SelectionAction action,
                            const std::vector<Selection::MaskTriple> &maskTriples);

private:
    diekit::ui::BlockData *m_data;
};
}  // namespace NXOpen::BlockStyler
#endif
