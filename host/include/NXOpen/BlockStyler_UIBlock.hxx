// Dialog blocks. The dialog owns its blocks; a block pointer is valid until the dialog is deleted.
#ifndef NXOPEN_BLOCKSTYLER_UIBLOCK_HXX_INCLUDED
#define NXOPEN_BLOCKSTYLER_UIBLOCK_HXX_INCLUDED
#include <NXOpen/NXString.hxx>
#include <NXOpen/TaggedObject.hxx>

namespace diekit::ui {
struct BlockData;
}

namespace NXOpen::BlockStyler {
class PropertyList;

class UIBlock : public TaggedObject {
public:
    explicit UIBlock(diekit::ui::BlockData *data);
    ~UIBlock() override;
    // A new property list of this block; the caller deletes it.
    PropertyList *GetProperties();
    void SetShow(bool show);
    bool Show() const;
    void SetEnable(bool enable);
    bool Enable() const;
    NXString Label() const;
    void SetLabel(const NXString &label);
    NXString Name() const;
    NXString Type() const;
    void Focus() {}
    diekit::ui::BlockData *Data() const { return m_data; }

protected:
    diekit::ui::BlockData *m_data;
};
}  // namespace NXOpen::BlockStyler
#endif
