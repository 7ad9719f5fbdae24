// The frame every plug-in dialog is built from.
//
// A plug-in declares its dialog blocks once, as a table in block order:
//
//     #define FLATINSERT_BLOCKS(X) X(Group, group1) X(BodyCollector, bodySelect0) ...
//
// Its class (no base class, no virtual functions) then holds
//     static NXOpen::Session *theSession; static NXOpen::UI *theUI;
//     const char *theDlxFileName; NXOpen::BlockStyler::BlockDialog *theDialog;
//     DIEKIT_BLOCK_MEMBERS(FLATINSERT_BLOCKS)      one typed block pointer per table row
// and declares the constructor, destructor, Show, the five callbacks and GetBlockProperties.
// Its .cpp writes DIEKIT_DIALOG_COMMON(flatinsert) once, which defines the statics, the
// constructor (dialog "flatinsert.dlx", callbacks registered), destructor, Show, ok_cb,
// GetBlockProperties and the three entry points, and then defines initialize_cb (starting with
// DIEKIT_BIND_BLOCKS(FLATINSERT_BLOCKS)), dialogShown_cb, apply_cb and update_cb with the
// guarded runners below.
#ifndef DIEKIT_FRAME_DIALOG_FRAME_HPP
#define DIEKIT_FRAME_DIALOG_FRAME_HPP

#include <NXOpen/BlockStyler_BlockDialog.hxx>
#include <NXOpen/BlockStyler_BodyCollector.hxx>
#include <NXOpen/BlockStyler_CompositeBlock.hxx>
#include <NXOpen/BlockStyler_CurveCollector.hxx>
#include <NXOpen/BlockStyler_Enumeration.hxx>
#include <NXOpen/BlockStyler_ExpressionBlock.hxx>
#include <NXOpen/BlockStyler_FaceCollector.hxx>
#include <NXOpen/BlockStyler_Group.hxx>
#include <NXOpen/BlockStyler_Label.hxx>
#include <NXOpen/BlockStyler_PropertyList.hxx>
#include <NXOpen/BlockStyler_SelectObject.hxx>
#include <NXOpen/BlockStyler_SpecifyPoint.hxx>
#include <NXOpen/BlockStyler_SpecifyVector.hxx>
#include <NXOpen/BlockStyler_Toggle.hxx>
#include <NXOpen/BlockStyler_UIBlock.hxx>
#include <NXOpen/Callback.hxx>
#include <NXOpen/NXMessageBox.hxx>
#include <NXOpen/Session.hxx>
#include <NXOpen/UI.hxx>
#include <uf.h>
#include <uf_defs.h>
#include <uf_exit.h>

#include <exception>
#include <initializer_list>
#include <stdexcept>
#include <utility>
#include <vector>

#include "host_helpers.hpp"

// ---- block tables ----

#define DIEKIT_BLOCK_MEMBER_(cls, id) ::NXOpen::BlockStyler::cls *id = nullptr;
// One typed pointer member per table row, named after the block identifier, in table order.
#define DIEKIT_BLOCK_MEMBERS(BLOCKS) BLOCKS(DIEKIT_BLOCK_MEMBER_)

#define DIEKIT_BIND_BLOCK_(cls, id) \
    id = ::diekit::frame::bind_block<::NXOpen::BlockStyler::cls>(theUI, diekit_top_block_, #id, #cls);
// Inside a member function: looks up every block of the table on the dialog's top block, in
// table order; a block that is missing or of another class leaves its member null (the host
// reports a missing one; a block of another class is reported by bind_block).
#define DIEKIT_BIND_BLOCKS(BLOCKS)                                                      \
    do {                                                                                \
        ::NXOpen::BlockStyler::CompositeBlock *diekit_top_block_ = theDialog->TopBlock(); \
        BLOCKS(DIEKIT_BIND_BLOCK_)                                                      \
    } while (false)

// ---- entry points and the members that are the same in every plug-in ----

#define DIEKIT_ENTRY_POINTS(Dialog)                                                    \
    extern "C" DllExport void ufusr(char *, int *, int) {                              \
        ::diekit::frame::run_dialog<Dialog>();                                         \
    }                                                                                  \
    extern "C" DllExport int ufusr_ask_unload() { return UF_UNLOAD_IMMEDIATELY; }     \
    extern "C" DllExport void ufusr_cleanup() {                                        \
        ::diekit::frame::guard(Dialog::theUI, [] {});                                  \
    }

#define DIEKIT_DIALOG_COMMON(Dialog)                                                             \
    ::NXOpen::Session *Dialog::theSession = nullptr;                                             \
    ::NXOpen::UI *Dialog::theUI = nullptr;                                                       \
    Dialog::Dialog() { ::diekit::frame::open_dialog(*this, #Dialog ".dlx"); }                    \
    Dialog::~Dialog() { ::diekit::frame::close_dialog(*this); }                                  \
    int Dialog::Show() { return ::diekit::frame::show_dialog(*this); }                           \
    int Dialog::ok_cb() { return apply_cb(); }                                                   \
    ::NXOpen::BlockStyler::PropertyList *Dialog::GetBlockProperties(const char *blockID) {     \
        return theDialog->GetBlockProperties(blockID);                                           \
    }                                                                                            \
    DIEKIT_ENTRY_POINTS(Dialog)

namespace diekit::frame {

// ---- reports; they never throw, since they run in handlers and at the C boundary ----

// Message box "Block Styler", error type, the exception's own text.
void report_exception(NXOpen::UI *ui, const std::exception &error) noexcept;
// Message box "错误" (error), error type, the fixed text "错误信息"; the exception is not shown.
void report_error(NXOpen::UI *ui) noexcept;
// Information box titled with the plug-in's name: its builders are not there yet.
void report_nothing_built(NXOpen::UI *ui, const char *plugin) noexcept;
// Error box titled with the plug-in's name: a build that did nothing because an input is missing
// or unusable (the text says which). An error box, so the host counts the step as failed.
void report_not_built(const char *plugin, const std::string &text) noexcept;
// Message box "Block Styler", error type: the dialog file gives block id another class than cls.
void report_wrong_block_class(NXOpen::UI *ui, const char *id, const char *cls) noexcept;

// Runs body; a standard exception is reported ("Block Styler") and swallowed.
// Returns false when an exception was caught.
template <class Body>
bool guard(NXOpen::UI *ui, Body &&body) {
    try {
        body();
        return true;
    } catch (const std::exception &error) {
        report_exception(ui, error);
        return false;
    }
}

// ---- dialog life cycle ----

template <class Block>
Block *find_block(NXOpen::BlockStyler::CompositeBlock *top, const char *id) {
    return top == nullptr ? nullptr : dynamic_cast<Block *>(top->FindBlock(id));
}

// find_block for initialize_cb: a block that the dialog file defines with another class than the
// table's still leaves a null member, and is reported ("Block Styler", naming the block) so that the
// dialog never opens silently with a block that the rules and builders cannot use.
template <class Block>
Block *bind_block(NXOpen::UI *ui, NXOpen::BlockStyler::CompositeBlock *top, const char *id, const char *cls) {
    if (top == nullptr) return nullptr;
    NXOpen::BlockStyler::UIBlock *found = top->FindBlock(id);
    Block *block = dynamic_cast<Block *>(found);
    if (found != nullptr && block == nullptr) report_wrong_block_class(ui, id, cls);
    return block;
}

// Callbacks in the platform's registration order: apply, OK, update, initialise, dialog shown.
template <class Dialog>
void register_callbacks(Dialog &d) {
    using NXOpen::make_callback;
    d.theDialog->AddApplyHandler(make_callback(&d, &Dialog::apply_cb));
    d.theDialog->AddOkHandler(make_callback(&d, &Dialog::ok_cb));
    d.theDialog->AddUpdateHandler(make_callback(&d, &Dialog::update_cb));
    d.theDialog->AddInitializeHandler(make_callback(&d, &Dialog::initialize_cb));
    d.theDialog->AddDialogShownHandler(make_callback(&d, &Dialog::dialogShown_cb));
}

// Destructor body: the object owns its dialog.
template <class Dialog>
void close_dialog(Dialog &d) noexcept {
    if (d.theDialog != nullptr) {
        delete d.theDialog;
        d.theDialog = nullptr;
    }
}

// Constructor body. Exceptions go to the caller (ufusr reports them); a dialog already created
// is deleted first, since the destructor of a half-built object does not run.
template <class Dialog>
void open_dialog(Dialog &d, const char *dlx_file) {
    Dialog::theSession = NXOpen::Session::GetSession();
    Dialog::theUI = NXOpen::UI::GetUI();
    d.theDlxFileName = dlx_file;
    d.theDialog = Dialog::theUI->CreateDialog(d.theDlxFileName);
    try {
        register_callbacks(d);
    } catch (...) {
        close_dialog(d);
        throw;
    }
}

// Shows the dialog modally inside a host bracket; all other callbacks run inside. Always 0.
template <class Dialog>
int show_dialog(Dialog &d) {
    guard(Dialog::theUI, [&d] {
        HostBracket bracket;
        d.theDialog->Show();
    });
    return 0;
}

// ufusr: one dialog object for the length of the call.
template <class Dialog>
void run_dialog() noexcept {
    Dialog *dialog = nullptr;
    try {
        dialog = new Dialog();
        dialog->Show();
    } catch (const std::exception &error) {
        report_exception(Dialog::theUI, error);
    } catch (...) {
        report_exception(Dialog::theUI, std::runtime_error("unexpected non-standard exception"));
    }
    delete dialog;
}

// apply_cb: the builder sequence inside a host bracket; 0, or 1 after a reported exception.
// The builders' own results are not looked at.
template <class Builders>
int run_apply(NXOpen::UI *ui, Builders &&builders) {
    return guard(ui, [&builders] {
        HostBracket bracket;
        builders();
    }) ? 0 : 1;
}

// update_cb: the rule for the changed block; always 0.
template <class Rule>
int run_update(NXOpen::UI *ui, Rule &&rule) {
    guard(ui, std::forward<Rule>(rule));
    return 0;
}

// True when block is the one that changed (a null member never matches).
inline bool changed(const NXOpen::BlockStyler::UIBlock *block, const NXOpen::BlockStyler::UIBlock *member) {
    return block != nullptr && block == member;
}

// ---- block values; a null block (missing from the .dlx) throws std::invalid_argument ----

bool toggle_on(NXOpen::BlockStyler::Toggle *toggle);
int enum_index(NXOpen::BlockStyler::Enumeration *enumeration);
double expression_value(NXOpen::BlockStyler::ExpressionBlock *expression);
void set_formula(NXOpen::BlockStyler::ExpressionBlock *expression, const char *formula);
void require_block(const NXOpen::BlockStyler::UIBlock *block);

template <class Block>
std::vector<tag_t> selected_tags(Block *block) {
    require_block(block);
    std::vector<tag_t> tags;
    for (NXOpen::TaggedObject *object : block->GetSelectedObjects())
        tags.push_back(object != nullptr ? object->Tag() : NULL_TAG);
    return tags;
}

// Shows or hides each listed block.
void set_shown(std::initializer_list<std::pair<NXOpen::BlockStyler::UIBlock *, bool>> blocks);

// The plate selection accepts solid bodies only: the filter is cleared and one mask triple
// (type 70, subtype 3, solid-body subtype 36) enabled.
void select_solid_bodies_only(NXOpen::BlockStyler::SelectObject *selection);

}  // namespace diekit::frame

#endif
