// The state behind a dialog and its blocks, as read from the dialog file and changed by the driver.
#pragma once

#include <NXOpen/BlockStyler_BlockDialog.hxx>
#include <NXOpen/Selection.hxx>

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace diekit::ui {

enum class BlockClass {
    Group, Label, BodyCollector, CurveCollector, FaceCollector, SelectObject,
    SpecifyPoint, SpecifyVector, ExpressionBlock, Toggle, Enumeration, Composite
};

const char *class_name(BlockClass cls);
// The class of a dialog-file class name; false when unknown.
bool parse_class(const std::string &name, BlockClass &cls);

struct DialogData;

struct BlockData {
    std::string id;
    std::string label;
    BlockClass cls = BlockClass::Group;
    bool shown = true;
    bool enabled = true;
    bool toggle = false;                   // Toggle
    int enum_index = 0;                    // Enumeration
    std::vector<std::string> members;      // Enumeration
    std::string formula = "0";             // ExpressionBlock
    double value = 0;                      // ExpressionBlock
    std::vector<tag_t> selected;           // selection blocks
    std::array<double, 3> point{0, 0, 0};  // SpecifyPoint / SpecifyVector
    bool filtered = false;                 // SelectObject after SetSelectionFilter
    std::vector<NXOpen::Selection::MaskTriple> filter;
    DialogData *dialog = nullptr;          // the top block's dialog
};

struct DialogData {
    std::string name;
    std::string title;
    std::string path;
    std::vector<std::unique_ptr<BlockData>> data;  // in file order
    std::vector<std::unique_ptr<NXOpen::BlockStyler::UIBlock>> blocks;
    BlockData top_data;
    std::unique_ptr<NXOpen::BlockStyler::CompositeBlock> top;
    std::vector<std::string> missing;  // identifiers asked for with FindBlock that the file lacks

    NXOpen::BlockStyler::BlockDialog::Apply apply;
    NXOpen::BlockStyler::BlockDialog::Ok ok;
    NXOpen::BlockStyler::BlockDialog::Cancel cancel;
    NXOpen::BlockStyler::BlockDialog::Close close;
    NXOpen::BlockStyler::BlockDialog::Update update;
    NXOpen::BlockStyler::BlockDialog::Initialize initialize;
    NXOpen::BlockStyler::BlockDialog::DialogShown shown;

    NXOpen::BlockStyler::UIBlock *find(const std::string &id) const;
};

// Reads a dialog file. Throws SessionError naming the file and the fault.
std::unique_ptr<DialogData> read_dialog_file(const std::string &path);

// Evaluates an expression block's formula into its value (throws HostError for a bad formula).
void set_formula(BlockData &block, const std::string &formula);

}  // namespace diekit::ui
