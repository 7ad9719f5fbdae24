// Session, UI, message boxes and the dialog factory.
#include "model/store.hpp"
#include "ui/block_data.hpp"

#include <NXOpen/BlockStyler_BlockDialog.hxx>
#include <NXOpen/NXException.hxx>
#include <NXOpen/NXMessageBox.hxx>
#include <NXOpen/Session.hxx>
#include <NXOpen/UI.hxx>

#include <filesystem>

namespace NXOpen {

NXException NXException::Create(int code) {
    const char *text = diekit::error_code_text(code);
    return NXException(code, text ? text : "error " + std::to_string(code));
}

Session *Session::GetSession() {
    static Session session;
    return &session;
}

tag_t Session::WorkPartTag() const { return diekit::model::Store::instance().part(); }

UI *UI::GetUI() {
    static UI ui;
    return &ui;
}

NXOpen::NXMessageBox *UI::NXMessageBox() { return &m_messageBox; }

BlockStyler::BlockDialog *UI::CreateDialog(const char *dialogName) {
    return CreateDialog(NXString(dialogName));
}

BlockStyler::BlockDialog *UI::CreateDialog(const NXString &dialogName) {
    namespace fs = std::filesystem;
    auto &run = diekit::model::Store::instance().dialog_run();
    fs::path path = dialogName.str();
    if (path.is_relative()) {
        fs::path folder = run && !run->plugin_dir.empty() ? fs::path(run->plugin_dir) : fs::path(DIEKIT_PLUGIN_DIR);
        path = folder / path;
    }
    try {
        return new BlockStyler::BlockDialog(diekit::ui::read_dialog_file(path.string()));
    } catch (const std::exception &e) {
        if (run && run->error.empty()) run->error = e.what();
        throw NXException(1, e.what());
    }
}

int NXMessageBox::Show(const NXString &title, DialogType type, const NXString &message) {
    diekit::model::Message box;
    box.kind = "box";
    box.title = title.str();
    box.type = static_cast<int>(type);
    box.text = message.str();
    diekit::model::Store::instance().add_message(std::move(box));
    return 0;
}

int NXMessageBox::Show(const char *title, DialogType type, const char *message) {
    return Show(NXString(title), type, NXString(message));
}

int NXMessageBox::Show(const NXString &title, DialogType type, const std::vector<NXString> &messages) {
    std::string text;
    for (auto &line : messages) text += (text.empty() ? "" : "\n") + line.str();
    return Show(title, type, NXString(text));
}

}  // namespace NXOpen
