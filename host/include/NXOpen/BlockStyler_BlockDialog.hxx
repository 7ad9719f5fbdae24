// A dialog read from its .dlx file. Show() runs the dialog modally; headless, the host plays the
// session step that is due: initialise, shown, each value with its update, then the buttons.
#ifndef NXOPEN_BLOCKSTYLER_BLOCKDIALOG_HXX_INCLUDED
#define NXOPEN_BLOCKSTYLER_BLOCKDIALOG_HXX_INCLUDED
#include <NXOpen/BlockStyler_Blocks.hxx>
#include <NXOpen/BlockStyler_PropertyList.hxx>
#include <NXOpen/Callback.hxx>
#include <NXOpen/NXString.hxx>
#include <NXOpen/TaggedObject.hxx>
#include <memory>

namespace diekit::ui {
struct DialogData;
}

namespace NXOpen::BlockStyler {
class BlockDialog : public TransientObject {
public:
    typedef Callback0<int> Apply;
    typedef Callback0<int> Ok;
    typedef Callback0<int> Cancel;
    typedef Callback0<int> Close;
    typedef Callback1<int, UIBlock *> Update;
    typedef Callback0<void> Initialize;
    typedef Callback0<void> DialogShown;
    typedef Callback2<int, UIBlock *, TaggedObject *> Filter;
    typedef Callback0<bool> EnableOKButton;
    enum DialogMode { DialogModeCreate, DialogModeEdit };
    enum DialogResponse { DialogResponseInvalid = -1, DialogResponseOk = 1, DialogResponseCancel = 2 };

    explicit BlockDialog(std::unique_ptr<diekit::ui::DialogData> data);
    ~BlockDialog() override;

    void AddApplyHandler(const Apply &cb);
    void AddOkHandler(const Ok &cb);
    void AddCancelHandler(const Cancel &cb);
    void AddCloseHandler(const Close &cb);
    void AddUpdateHandler(const Update &cb);
    void AddInitializeHandler(const Initialize &cb);
    void AddDialogShownHandler(const DialogShown &cb);
    void AddFilterHandler(const Filter &cb);
    void AddEnableOKButtonHandler(const EnableOKButton &cb);

    int Show();
    int Show(DialogMode mode);
    CompositeBlock *TopBlock();
    // A new property list of the block (the caller deletes it), or NULL for an unknown identifier.
    PropertyList *GetBlockProperties(const char *blockID);

    diekit::ui::DialogData &Data() { return *m_data; }

private:
    std::unique_ptr<diekit::ui::DialogData> m_data;
};
}  // namespace NXOpen::BlockStyler
#endif
