#include "ui/dialog_events.hpp"

#include "model/store.hpp"
#include "ui/driver.hpp"

#include <NXOpen/BlockStyler_BlockDialog.hxx>

#include <chrono>
#include <optional>

namespace diekit::ui {

namespace {

using Clock = std::chrono::steady_clock;

// Times the plug-in's callbacks: adds to the step's total and keeps the last span.
class CallbackTimer {
public:
    explicit CallbackTimer(double &total) : m_total(total), m_start(Clock::now()) {}
    ~CallbackTimer() { m_total += elapsed(); }
    double elapsed() const { return std::chrono::duration<double, std::milli>(Clock::now() - m_start).count(); }

private:
    double &m_total;
    Clock::time_point m_start;
};

std::size_t error_boxes(const model::Store &store) {
    std::size_t count = 0;
    for (auto &message : store.messages())
        if (message.kind == "box" && message.type == 0) ++count;
    return count;
}

std::string last_box_text(const model::Store &store) {
    for (auto it = store.messages().rbegin(); it != store.messages().rend(); ++it)
        if (it->kind == "box") return it->text;
    return {};
}

void open(DialogData &dialog, model::DialogRun &run) {
    auto &store = model::Store::instance();
    std::size_t boxes = error_boxes(store);
    {
        CallbackTimer timer(run.ms);
        if (dialog.initialize) dialog.initialize();
        if (dialog.shown) dialog.shown();
    }
    if (!dialog.missing.empty())
        throw SessionError("dialog file '" + dialog.path + "' has no block '" + dialog.missing.front() + "'");
    if (error_boxes(store) != boxes)
        throw SessionError("the dialog reported an error while opening: " + last_box_text(store));
}

// Runs one callback; what it throws becomes the reason to refuse the event.
template <class F>
std::optional<std::string> callback_failure(F &&callback) {
    try {
        callback();
        return std::nullopt;
    } catch (const SessionError &e) {
        return std::string(e.what());
    } catch (const std::exception &e) {
        return std::string("a callback failed: ") + e.what();
    } catch (...) {
        return std::string("a callback failed");
    }
}

// Sets the value and runs the block's update; a value the block cannot take is refused first.
void set_value(DialogData &dialog, DialogEvents &events, const DialogEvent &event, model::DialogRun &run) {
    auto *block = dialog.find(event.block);
    if (!block) return events.refused(dialog, event, Refusal::BadEvent, "unknown block '" + event.block + "'");
    std::string refusal;
    try {
        set_block_value(*block->Data(), event.value);
    } catch (const SessionError &e) {
        refusal = "block '" + event.block + "' (" + class_name(block->Data()->cls) + "): " + e.what();
    }
    if (!refusal.empty()) return events.refused(dialog, event, Refusal::BadEvent, refusal);
    std::optional<std::string> failure;
    {
        CallbackTimer timer(run.ms);
        failure = callback_failure([&] {
            if (dialog.update) dialog.update(block);
        });
    }
    if (failure) return events.refused(dialog, event, Refusal::CallbackFailed, *failure);
    events.done(dialog, event, 0, 0, false);
}

// Presses the button; returns true when it closed the dialog.
bool press(DialogData &dialog, DialogEvents &events, const DialogEvent &event, model::DialogRun &run,
           int &response) {
    const std::string &button = event.button;
    if (button != "apply" && button != "ok" && button != "cancel") {
        events.refused(dialog, event, Refusal::BadEvent, "unknown button '" + button + "' (apply, ok or cancel)");
        return false;
    }
    int result = 0;
    double ms = 0;
    std::optional<std::string> failure;
    {
        CallbackTimer timer(run.ms);
        failure = callback_failure([&] {
            if (button == "apply") {
                if (dialog.apply) result = dialog.apply();
            } else if (button == "ok") {
                if (dialog.ok) result = dialog.ok();
                else if (dialog.apply) result = dialog.apply();
            } else if (dialog.cancel) {
                result = dialog.cancel();
            }
        });
        ms = timer.elapsed();
    }
    if (failure) {
        events.refused(dialog, event, Refusal::CallbackFailed, *failure);
        return false;
    }
    if (button == "ok") response = NXOpen::BlockStyler::BlockDialog::DialogResponseOk;
    run.pressed.push_back(button);
    run.results.push_back(result);
    const bool closed = button != "apply";
    events.done(dialog, event, result, ms, closed);
    return closed;
}

}  // namespace

int run_dialog(DialogData &dialog, DialogEvents &events, model::DialogRun &run) {
    int response = NXOpen::BlockStyler::BlockDialog::DialogResponseCancel;
    open(dialog, run);
    events.opened(dialog);
    while (auto event = events.next(dialog)) {
        if (event->kind == DialogEvent::Kind::Value) set_value(dialog, events, *event, run);
        else if (press(dialog, events, *event, run, response)) break;
    }
    return response;
}

}  // namespace diekit::ui
