#ifndef NXOPEN_SELECTION_HXX_INCLUDED
#define NXOPEN_SELECTION_HXX_INCLUDED
namespace NXOpen {
class Selection {
public:
    struct MaskTriple {
        int Type = 0;
        int Subtype = 0;
        int SolidBodySubtype = 0;
        MaskTriple() = default;
        MaskTriple(int type, int subtype, int solidBodySubtype)
            : Type(type), Subtype(subtype), SolidBodySubtype(solidBodySubtype) {}
    };
    enum SelectionAction {
        SelectionActionEnableAll,
        SelectionActionEnableSpecific,
        SelectionActionDisableSpecific,
        SelectionActionClearAndEnableSpecific,
        SelectionActionAllAndDisableSpecific
    };
};
}  // namespace NXOpen
#endif
