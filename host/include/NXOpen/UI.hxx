#ifndef NXOPEN_UI_HXX_INCLUDED
#define NXOPEN_UI_HXX_INCLUDED
#include <NXOpen/NXMessageBox.hxx>
#include <NXOpen/NXString.hxx>

namespace NXOpen {
namespace BlockStyler {
class BlockDialog;
}
// The host user interface. One per process; never deleted by callers.
class UI {
public:
    static UI *GetUI();
    NXOpen::NXMessageBox *NXMessageBox();
    // Reads the dialog file (a bare name is looked up beside the plug-in library that is running).
    // The caller owns the dialog. Throws NXException when the file cannot be read.
    BlockStyler::BlockDialog *CreateDialog(const NXString &dialogName);
    BlockStyler::BlockDialog *CreateDialog(const char *dialogName);

private:
    UI() = default;
    NXOpen::NXMessageBox m_messageBox;
};
}  // namespace NXOpen
#endif
