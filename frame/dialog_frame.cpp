#include "dialog_frame.hpp"

#include <NXOpen/Selection.hxx>
#include <memory>
#include <stdexcept>
#include <string>

namespace diekit::frame {

namespace {

void show_box(NXOpen::UI *ui, const char *title, NXOpen::NXMessageBox::DialogType type,
              const char *text) noexcept {
    try {
        if (ui == nullptr) ui = NXOpen::UI::GetUI();
        if (ui != nullptr) ui->NXMessageBox()->Show(title, type, text);
    } catch (...) {
        // A report that cannot be shown is dropped: nothing may leave a handler or ufusr.
    }
}

std::unique_ptr<NXOpen::BlockStyler::PropertyList> properties(NXOpen::BlockStyler::UIBlock *block) {
    require_block(block);
    return std::unique_ptr<NXOpen::BlockStyler::PropertyList>(block->GetProperties());
}

}  // namespace

void report_exception(NXOpen::UI *ui, const std::exception &error) noexcept {
    show_box(ui, "Block Styler", NXOpen::NXMessageBox::DialogTypeError, error.what());
}

void report_error(NXOpen::UI *ui) noexcept {
    show_box(ui, "错误", NXOpen::NXMessageBox::DialogTypeError, "错误信息");
}

void report_nothing_built(NXOpen::UI *ui, const char *plugin) noexcept {
    try {
        const std::string text = std::string(plugin) + ": this command builds nothing yet";
        show_box(ui, plugin, NXOpen::NXMessageBox::DialogTypeInformation, text.c_str());
    } catch (...) {
    }
}

void report_not_built(const char *plugin, const std::string &text) noexcept {
    show_box(nullptr, plugin, NXOpen::NXMessageBox::DialogTypeError, text.c_str());
}

void report_wrong_block_class(NXOpen::UI *ui, const char *id, const char *cls) noexcept {
    try {
        const std::string text = std::string("block '") + id + "' of the dialog file is not a " + cls;
        show_box(ui, "Block Styler", NXOpen::NXMessageBox::DialogTypeError, text.c_str());
    } catch (...) {
    }
}

void require_block(const NXOpen::BlockStyler::UIBlock *block) {
    if (block == nullptr)
        throw std::invalid_argument("a block of the dialog table is missing from the dialog file or has another class");
}

bool toggle_on(NXOpen::BlockStyler::Toggle *toggle) {
    return properties(toggle)->GetLogical("Value") == true;
}

int enum_index(NXOpen::BlockStyler::Enumeration *enumeration) {
    return properties(enumeration)->GetEnum("Value");
}

double expression_value(NXOpen::BlockStyler::ExpressionBlock *expression) {
    require_block(expression);
    return expression->Value();
}

void set_formula(NXOpen::BlockStyler::ExpressionBlock *expression, const char *formula) {
    require_block(expression);
    expression->SetFormula(formula);
}

void set_shown(std::initializer_list<std::pair<NXOpen::BlockStyler::UIBlock *, bool>> blocks) {
    for (const auto &[block, shown] : blocks) {
        require_block(block);
        block->SetShow(shown);
    }
}

void select_solid_bodies_only(NXOpen::BlockStyler::SelectObject *selection) {
    const std::vector<NXOpen::Selection::MaskTriple> solid_bodies{NXOpen::Selection::MaskTriple(70, 3, 36)};
    properties(selection)->SetSelectionFilter(
        "SelectionFilter", NXOpen::Selection::SelectionActionClearAndEnableSpecific, solid_bodies);
}

}  // namespace diekit::frame
