// The open dialog of a plug-in in the studio: the event source of its modal Show(). It takes the
// page's requests from the host's queue: value and button requests become the dialog's events (the
// real callbacks run on them); requests that only read or change the view are answered by the host
// in between; the rest are refused with 409 until the dialog closes.
#pragma once

#include "io/step_warnings.hpp"
#include "studio/picks.hpp"
#include "studio/studio_host.hpp"
#include "ui/dialog_events.hpp"

namespace diekit::studio {

class StudioHost::Dialog : public ui::DialogEvents {
public:
    // open: the request that opened the dialog, answered once the dialog shows.
    Dialog(StudioHost &host, std::shared_ptr<Command> open, std::string plugin);

    void opened(ui::DialogData &dialog) override;
    std::optional<ui::DialogEvent> next(ui::DialogData &dialog) override;
    void done(ui::DialogData &dialog, const ui::DialogEvent &event, int result, double ms, bool closed) override;
    void refused(ui::DialogData &dialog, const ui::DialogEvent &event, ui::Refusal why,
                 const std::string &reason) override;

    // After the plug-in returned: answers what is still waiting (the OK or Cancel that closed the
    // dialog, or the open request when no dialog showed) and keeps the step. failure: why the
    // plug-in itself failed, if it did.
    void finish(model::DialogRun &run, const std::string &failure);

    // The dialog as the page shows it (null until it shows).
    nlohmann::ordered_json json() const;

private:
    ui::DialogEvent value_event(ui::DialogData &dialog, const Request &request);
    ui::DialogEvent press_event(const Request &request);
    nlohmann::ordered_json press_reply(int result, double ms, bool open) const;
    // The run so far with the block states, for an undo checkpoint taken inside the dialog.
    model::DialogRun run_so_far() const;
    // Adds to the step's warnings the failed host calls and error boxes of the event that ran.
    void take_warnings();

    StudioHost &m_host;
    std::string m_plugin;
    ui::DialogData *m_data = nullptr;
    std::shared_ptr<Command> m_open;     // until the dialog shows
    std::shared_ptr<Command> m_current;  // the request whose event is running
    std::shared_ptr<Command> m_closing;  // the OK or Cancel, answered after the plug-in returned
    nlohmann::ordered_json m_recorded;   // the running value event as the session records it
    std::optional<Checkpoint> m_before;  // before the running Apply or OK
    int m_result = 0;
    double m_ms = 0;
    std::string m_button;
    io::StepMark m_mark;  // where the store's log and messages stood when the running event began
};

}  // namespace diekit::studio
