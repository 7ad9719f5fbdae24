// The studio's host thread: owns the work part (through the object store), plays the plug-ins and
// answers the page's requests one at a time, in the order they were posted. While a plug-in's
// dialog is open, its modal Show() takes the dialog's events from the same queue and the host still
// answers the requests that only read (state, meshes, checks, downloads) or change the view.
#pragma once

#include "io/checks.hpp"
#include "model/dialog_run.hpp"
#include "model/store.hpp"
#include "studio/command_queue.hpp"
#include "studio/record.hpp"
#include "studio/shape_cache.hpp"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace diekit::ui {
struct DialogData;
}

namespace diekit::studio {

class GlbWriter;

struct HostOptions {
    std::string plugin_dir;  // folder of the plug-in libraries and their .dlx files
    std::string library;     // standard-part library root; empty: the session's, else the default
    std::string work_dir;    // where uploaded STEP parts are kept (the recorded session names them)
    std::size_t step_limit = 50u << 20;     // largest STEP upload, bytes
    std::size_t session_limit = 8u << 20;   // largest session upload, bytes
    std::size_t request_limit = 1u << 20;   // largest other request body, bytes
};

class StudioHost {
public:
    // Must be made before anything else uses the object store: it keeps the store's fresh state, so
    // that every part it opens hands out the tags a fresh `diehost run` would.
    StudioHost(CommandQueue &queue, HostOptions options);
    ~StudioHost();
    StudioHost(const StudioHost &) = delete;
    StudioHost &operator=(const StudioHost &) = delete;

    // Opens the starting point: a session file (only its first `steps` steps played when steps ≥ 0),
    // a STEP part (.step / .stp), or an empty part for an empty path. Throws SessionError.
    void start(const std::string &path, int steps);

    // Answers the queue's requests until it is closed.
    void run();

    std::size_t request_limit(const std::string &route) const;

private:
    class Dialog;
    struct Checkpoint {
        std::shared_ptr<const model::Store::Snapshot> part;
        std::size_t record = 0;
        std::vector<model::DialogRun> steps;
        std::string fingerprint;
    };
    struct UndoStep {
        Checkpoint before, after;
    };

    // One request (not a dialog event); in_dialog: a plug-in's dialog is open.
    Reply answer(const Request &request, bool in_dialog);
    Reply route(const Request &request, bool in_dialog);
    void open_dialog(const std::shared_ptr<Command> &command);

    // ---- the work part ----
    void load(nlohmann::ordered_json session, const std::filesystem::path &base, const std::string &name);
    nlohmann::ordered_json state();
    nlohmann::ordered_json rename(const nlohmann::ordered_json &body);
    nlohmann::ordered_json show(const nlohmann::ordered_json &body);
    nlohmann::ordered_json open_step(const std::string &bytes);
    nlohmann::ordered_json open_session(const std::string &text);
    std::vector<std::string> plugins() const;
    nlohmann::ordered_json new_messages() const;
    // Bumps the revision when the work part changed since the last call.
    void refresh();

    // ---- undo ----
    // The state to come back to; open_run: the run of the open dialog (its block states filled in),
    // which the steps then hold as cancelled there.
    Checkpoint checkpoint(const model::DialogRun *open_run);
    void restore(const Checkpoint &checkpoint);
    // Keeps an Apply or OK as one undo step when it changed the part.
    void push_undo(Checkpoint before, Checkpoint after);
    static constexpr std::size_t kUndoSteps = 100;  // the oldest steps beyond are forgotten
    nlohmann::ordered_json undo(bool redo);
    void record(RecordEntry entry);

    // ---- outputs ----
    void add_node(GlbWriter &glb, const kernel::Shape &shape, const kernel::Rgb &rgb, nlohmann::ordered_json extras);
    Reply mesh();
    const io::InterferenceReport &checks();
    Reply checks_mesh();
    Reply download(const std::string &what);

    CommandQueue &m_queue;
    HostOptions m_options;
    model::Store::Snapshot m_fresh;
    Record m_record;
    std::vector<model::DialogRun> m_steps;  // the steps played so far, for the report
    std::string m_name = "studio";
    ShapeCache m_shapes;
    std::set<tag_t> m_hidden;  // hidden in the page's view (not the host's blank status)
    std::vector<UndoStep> m_undo, m_redo;
    std::uint64_t m_revision = 1;
    std::string m_fingerprint;
    std::size_t m_message_mark = 0;  // messages there were when the current request started
    Dialog *m_dialog = nullptr;      // the open dialog, while a plug-in's Show() runs
    int m_uploads = 0;
    std::optional<std::pair<std::uint64_t, std::string>> m_mesh, m_checks_mesh;
    std::optional<std::pair<std::uint64_t, io::InterferenceReport>> m_checks;
};

}  // namespace diekit::studio
