// Message boxes. Headless: printed to the terminal and recorded in the report; Show returns at once.
#ifndef NXOPEN_NXMESSAGEBOX_HXX_INCLUDED
#define NXOPEN_NXMESSAGEBOX_HXX_INCLUDED
#include <NXOpen/NXString.hxx>
#include <vector>

namespace NXOpen {
class NXMessageBox {
public:
    enum DialogType { DialogTypeError, DialogTypeWarning, DialogTypeInformation, DialogTypeQuestion };
    int Show(const NXString &title, DialogType type, const NXString &message);
    int Show(const char *title, DialogType type, const char *message);
    int Show(const NXString &title, DialogType type, const std::vector<NXString> &messages);
};
}  // namespace NXOpen
#endif
