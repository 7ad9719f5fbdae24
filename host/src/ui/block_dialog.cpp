// BlockDialog: the blocks of a dialog file, the registered callbacks, Show through the driver.
#include "ui/block_data.hpp"
#include "ui/driver.hpp"

#include <NXOpen/BlockStyler_BlockDialog.hxx>

namespace diekit::ui {

NXOpen::BlockStyler::UIBlock *DialogData::find(const std::string &id) const {
    for (std::size_t i = 0; i < data.size(); ++i)
        if (data[i]->id == id) return blocks[i].get();
    return nullptr;
}

namespace {

std::unique_ptr<NXOpen::BlockStyler::UIBlock> make_block(BlockData *data) {
    using namespace NXOpen::BlockStyler;
    switch (data->cls) {
    case BlockClass::Group: return std::make_unique<Group>(data);
    case BlockClass::Label: return std::make_unique<Label>(data);
    case BlockClass::BodyCollector: return std::make_unique<BodyCollector>(data);
    case BlockClass::CurveCollector: return std::make_unique<CurveCollector>(data);
    case BlockClass::FaceCollector: return std::make_unique<FaceCollector>(data);
    case BlockClass::SelectObject: return std::make_unique<SelectObject>(data);
    case BlockClass::SpecifyPoint: return std::make_unique<SpecifyPoint>(data);
    case BlockClass::SpecifyVector: return std::make_unique<SpecifyVector>(data);
    case BlockClass::ExpressionBlock: return std::make_unique<ExpressionBlock>(data);
    case BlockClass::Toggle: return std::make_unique<Toggle>(data);
    case BlockClass::Enumeration: return std::make_unique<Enumeration>(data);
    case BlockClass::Composite: return std::make_unique<CompositeBlock>(data);
    }
    return nullptr;
}

}  // namespace
}  // namespace diekit::ui

namespace NXOpen::BlockStyler {

UIBlock *CompositeBlock::FindBlock(const NXString &blockName) {
    diekit::ui::DialogData *dialog = m_data->dialog;
    if (!dialog) return nullptr;
    if (auto *block = dialog->find(blockName.str())) return block;
    dialog->missing.push_back(blockName.str());
    return nullptr;
}

std::vector<UIBlock *> CompositeBlock::GetBlocks() {
    std::vector<UIBlock *> result;
    if (m_data->dialog)
        for (auto &block : m_data->dialog->blocks) result.push_back(block.get());
    return result;
}

BlockDialog::BlockDialog(std::unique_ptr<diekit::ui::DialogData> data) : m_data(std::move(data)) {
    for (auto &block : m_data->data) m_data->blocks.push_back(diekit::ui::make_block(block.get()));
    m_data->top_data.id = m_data->name;
    m_data->top_data.cls = diekit::ui::BlockClass::Composite;
    m_data->top_data.dialog = m_data.get();
    m_data->top = std::make_unique<CompositeBlock>(&m_data->top_data);
}

BlockDialog::~BlockDialog() = default;

void BlockDialog::AddApplyHandler(const Apply &cb) { m_data->apply = cb; }
void BlockDialog::AddOkHandler(const Ok &cb) { m_data->ok = cb; }
void BlockDialog::AddCancelHandler(const Cancel &cb) { m_data->cancel = cb; }
void BlockDialog::AddCloseHandler(const Close &cb) { m_data->close = cb; }
void BlockDialog::AddUpdateHandler(const Update &cb) { m_data->update = cb; }
void BlockDialog::AddInitializeHandler(const Initialize &cb) { m_data->initialize = cb; }
void BlockDialog::AddDialogShownHandler(const DialogShown &cb) { m_data->shown = cb; }
void BlockDialog::AddFilterHandler(const Filter &) {}
void BlockDialog::AddEnableOKButtonHandler(const EnableOKButton &) {}

int BlockDialog::Show() { return diekit::ui::play(*m_data); }
int BlockDialog::Show(DialogMode) { return Show(); }
CompositeBlock *BlockDialog::TopBlock() { return m_data->top.get(); }

PropertyList *BlockDialog::GetBlockProperties(const char *blockID) {
    if (!blockID) return nullptr;
    UIBlock *block = m_data->find(blockID);
    return block ? block->GetProperties() : nullptr;
}

}  // namespace NXOpen::BlockStyler
