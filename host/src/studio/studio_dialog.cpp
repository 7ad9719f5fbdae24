#include "studio/studio_dialog.hpp"

#include "io/plugin_library.hpp"
#include "io/session.hpp"
#include "model/errors.hpp"
#include "studio/dialog_json.hpp"
#include "ui/driver.hpp"

#include <algorithm>

namespace diekit::studio {

using nlohmann::ordered_json;

namespace {
model::Store &store() { return model::Store::instance(); }
}  // namespace

void StudioHost::open_dialog(const std::shared_ptr<Command> &command) {
    m_message_mark = store().messages().size();
    std::string plugin;
    try {
        ordered_json body = parse_body(command->request().body);
        if (!body.is_object() || !body.contains("plugin") || !body["plugin"].is_string())
            throw ApiError(400, "'plugin' expects a plug-in name");
        plugin = body["plugin"].get<std::string>();
        auto names = plugins();
        if (std::find(names.begin(), names.end(), plugin) == names.end()) {
            std::string list;
            for (auto &name : names) list += (list.empty() ? "" : ", ") + name;
            throw ApiError(404, "no plug-in '" + plugin + "' (" + list + ")");
        }
    } catch (const ApiError &e) {
        command->reply(error_reply(e.status(), e.what()));
        return;
    }

    const std::size_t opened_at = m_record.size();
    record({RecordEntry::Kind::Open, plugin, nullptr, {}});
    model::DialogRun run;
    run.step = static_cast<int>(m_steps.size()) + 1;
    run.plugin = plugin;
    run.plugin_dir = io::plugin_folder({m_options.plugin_dir, {}});
    store().dialog_run() = std::move(run);
    Dialog dialog(*this, command, plugin);
    m_dialog = &dialog;
    store().set_dialog_events(&dialog);
    std::string failure;
    try {
        io::PluginLibrary library(store().dialog_run()->plugin_dir, plugin);
        library.start();
    } catch (const std::exception &e) {
        failure = e.what();
    } catch (...) {
        failure = "the plug-in failed";
    }
    store().set_dialog_events(nullptr);
    m_dialog = nullptr;
    model::DialogRun done = std::move(*store().dialog_run());
    store().dialog_run().reset();
    if (!done.opened || !done.error.empty()) m_record.cut(opened_at);
    dialog.finish(done, failure);
    m_queue.set_activity("");
    refresh();
}

StudioHost::Dialog::Dialog(StudioHost &host, std::shared_ptr<Command> open, std::string plugin)
    : m_host(host), m_plugin(std::move(plugin)), m_open(std::move(open)) {}

void StudioHost::Dialog::take_warnings() {
    auto &run = *store().dialog_run();
    auto warnings = io::step_warnings(store(), m_mark, run.step, m_plugin);
    io::print_step_warnings(warnings, run.step, m_plugin);
    run.warnings.insert(run.warnings.end(), warnings.begin(), warnings.end());
}

ordered_json StudioHost::Dialog::json() const {
    if (!m_data || !store().dialog_run()) return nullptr;
    return dialog_json(m_plugin, *m_data, *store().dialog_run());
}

model::DialogRun StudioHost::Dialog::run_so_far() const {
    model::DialogRun run = *store().dialog_run();
    run.dialog = ordered_json::object();
    for (auto &block : m_data->data) run.dialog[block->id] = ui::block_state(*block);
    return run;
}

void StudioHost::Dialog::opened(ui::DialogData &dialog) {
    m_data = &dialog;
    ordered_json reply = json();
    reply["messages"] = m_host.new_messages();
    m_open->reply(json_reply(reply));
    m_open.reset();
}

ui::DialogEvent StudioHost::Dialog::value_event(ui::DialogData &dialog, const Request &request) {
    ordered_json body = parse_body(request.body);
    if (!body.is_object() || !body.contains("block") || !body["block"].is_string() || !body.contains("value"))
        throw ApiError(400, "expects {\"block\": id, \"value\": v}");
    const std::string id = body["block"].get<std::string>();
    auto *block = dialog.find(id);
    if (!block) throw ApiError(400, "unknown block '" + id + "' in the " + m_plugin + " dialog");
    BlockValue value = block_value(*block->Data(), body["value"], m_host.m_shapes);
    m_recorded = std::move(value.recorded);
    return {ui::DialogEvent::Kind::Value, id, std::move(value.session), {}};
}

ui::DialogEvent StudioHost::Dialog::press_event(const Request &request) {
    ordered_json body = parse_body(request.body);
    if (!body.is_object() || !body.contains("button") || !body["button"].is_string())
        throw ApiError(400, "expects {\"button\": \"apply\" | \"ok\" | \"cancel\"}");
    std::string button = body["button"].get<std::string>();
    if (button != "apply" && button != "ok" && button != "cancel")
        throw ApiError(400, "unknown button '" + button + "' (apply, ok or cancel)");
    if (button != "cancel") {
        model::DialogRun so_far = run_so_far();
        m_before = m_host.checkpoint(&so_far);
    }
    m_host.m_queue.set_activity(m_plugin + ": " + button);
    return {ui::DialogEvent::Kind::Press, {}, {}, button};
}

std::optional<ui::DialogEvent> StudioHost::Dialog::next(ui::DialogData &dialog) {
    while (auto command = m_host.m_queue.take()) {
        const Request &request = command->request();
        m_host.m_message_mark = store().messages().size();
        try {
            if (request.route == "POST /api/dialog/value") {
                auto event = value_event(dialog, request);
                m_current = command;
                m_mark = io::mark_step(store());
                return event;
            }
            if (request.route == "POST /api/dialog/press") {
                auto event = press_event(request);
                m_current = command;
                m_mark = io::mark_step(store());
                return event;
            }
            if (request.route == "POST /api/dialog/open")
                throw ApiError(409, "the " + m_plugin + " dialog is open: press OK or Cancel first");
        } catch (const ApiError &e) {
            command->reply(error_reply(e.status(), e.what()));
            m_host.refresh();
            continue;
        } catch (const std::exception &e) {
            command->reply(error_reply(500, e.what()));
            m_host.refresh();
            continue;
        }
        command->reply(m_host.answer(request, true));
    }
    return std::nullopt;
}

ordered_json StudioHost::Dialog::press_reply(int result, double ms, bool open) const {
    const auto &run = store().dialog_run();
    return {{"dialog", open ? json() : ordered_json(nullptr)},
            {"result", result},
            {"ms", ms},
            {"warnings", run ? run->warnings : std::vector<std::string>{}},
            {"messages", m_host.new_messages()}};
}

void StudioHost::Dialog::done(ui::DialogData &, const ui::DialogEvent &event, int result, double ms, bool closed) {
    m_host.m_queue.set_activity("");
    take_warnings();
    if (event.kind == ui::DialogEvent::Kind::Value) {
        m_host.record({RecordEntry::Kind::Value, event.block, std::move(m_recorded), {}});
        m_host.refresh();
        ordered_json reply = json();
        reply["messages"] = m_host.new_messages();
        m_current->reply(json_reply(reply));
        m_current.reset();
        return;
    }
    m_host.record({RecordEntry::Kind::Press, event.button, nullptr, {}});
    if (!closed) {
        // Apply: the dialog stays open; the undo step goes back to before it.
        model::DialogRun so_far = run_so_far();
        m_host.push_undo(std::move(*m_before), m_host.checkpoint(&so_far));
        m_before.reset();
        m_host.refresh();
        m_current->reply(json_reply(press_reply(result, ms, true)));
        m_current.reset();
        return;
    }
    // OK or Cancel: answered once the plug-in has returned from Show().
    m_closing = std::move(m_current);
    m_result = result;
    m_ms = ms;
    m_button = event.button;
}

void StudioHost::Dialog::refused(ui::DialogData &, const ui::DialogEvent &, ui::Refusal why,
                                 const std::string &reason) {
    m_host.m_queue.set_activity("");
    m_before.reset();
    m_host.refresh();
    if (m_current) m_current->reply(error_reply(why == ui::Refusal::BadEvent ? 400 : 500, reason));
    m_current.reset();
}

void StudioHost::Dialog::finish(model::DialogRun &run, const std::string &failure) {
    if (m_open) {
        std::string reason = !run.error.empty() ? run.error : !failure.empty() ? failure : "it showed no dialog";
        m_open->reply(error_reply(500, "plug-in '" + m_plugin + "': " + reason));
        return;
    }
    m_host.m_steps.push_back(run);
    if (m_closing) {
        if (m_before) m_host.push_undo(std::move(*m_before), m_host.checkpoint(nullptr));
        m_host.refresh();
        ordered_json reply = press_reply(m_result, m_ms, false);
        reply["warnings"] = run.warnings;
        m_closing->reply(json_reply(reply));
    }
}

}  // namespace diekit::studio
