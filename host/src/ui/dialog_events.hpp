// The dialog event loop behind a modal Show(): the same loop whether the events come from a session
// step (the headless driver) or from a designer at the studio page.
#pragma once

#include "model/dialog_run.hpp"
#include "ui/block_data.hpp"

#include <nlohmann/json.hpp>

#include <optional>
#include <string>

namespace diekit::ui {

struct DialogEvent {
    enum class Kind { Value, Press };
    Kind kind = Kind::Value;
    std::string block;             // Value: block identifier
    nlohmann::ordered_json value;  // Value: as session files write it (selections as references)
    std::string button;            // Press: "apply", "ok" or "cancel"
};

// Why an event was not played: the event itself was wrong (unknown block, a value the block cannot
// take, an unknown button), or the plug-in's callback failed on it.
enum class Refusal { BadEvent, CallbackFailed };

// Where a shown dialog's events come from, and who hears what became of them.
class DialogEvents {
public:
    virtual ~DialogEvents() = default;
    // The dialog has been initialised and shown; its blocks are as the plug-in set them.
    virtual void opened(DialogData &dialog) { (void)dialog; }
    // The next event; nullopt ends the dialog without a button (no callback runs).
    virtual std::optional<DialogEvent> next(DialogData &dialog) = 0;
    // An event ran: a value with its update callback, a button with its callback (result, ms);
    // closed when the button closed the dialog.
    virtual void done(DialogData &dialog, const DialogEvent &event, int result, double ms, bool closed) = 0;
    // An event could not be played; reason names the block or button and what was wrong, or the
    // callback that failed. Throwing here ends the dialog (the session step fails); returning goes on.
    virtual void refused(DialogData &dialog, const DialogEvent &event, Refusal why, const std::string &reason) = 0;
};

// Runs a shown dialog: the initialise and shown callbacks, then each event in turn (a value set as
// the designer sets it, followed by the update callback for its block; a button with its callback)
// until a button closes the dialog or the events end. Presses, results and callback time go into
// run. Throws SessionError when the dialog cannot open (a block the plug-in looks for is missing
// from the dialog file, an error box while opening) and whatever `refused` throws.
// Returns the dialog response.
int run_dialog(DialogData &dialog, DialogEvents &events, model::DialogRun &run);

}  // namespace diekit::ui
