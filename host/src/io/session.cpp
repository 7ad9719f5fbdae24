#include "io/session.hpp"

#include "io/fixtures.hpp"
#include "io/json_input.hpp"
#include "io/palette.hpp"
#include "io/plugin_library.hpp"
#include "io/step_warnings.hpp"
#include "model/model_range.hpp"
#include "model/store.hpp"
#include "ui/driver.hpp"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <variant>

namespace diekit::io {

namespace fs = std::filesystem;
using nlohmann::ordered_json;

namespace {

std::string library_root(const ordered_json &session, const fs::path &base, const RunOptions &options) {
    if (!options.library.empty()) return fs::absolute(options.library).string();
    if (session.contains("library")) {
        if (!session["library"].is_string()) throw SessionError("'library' expects a folder path");
        return fs::absolute(base / session["library"].get<std::string>()).lexically_normal().string();
    }
    if (const char *env = std::getenv("DIELIB"); env && *env) return env;
    return DIEKIT_SOURCE_LIBRARY;
}

void check_keys(const ordered_json &session) {
    static const std::set<std::string> kKeys = {"name", "description", "part", "library", "objects", "steps"};
    if (!session.is_object()) throw SessionError("a session is a JSON object");
    for (auto &[key, value] : session.items())
        if (!kKeys.count(key)) throw SessionError("unknown key '" + key + "' in the session");
}

// Opens the session's starting part (STEP): its solids become bodies with their names and colours.
void open_part(const ordered_json &session, const fs::path &base) {
    if (!session.contains("part")) return;
    if (!session["part"].is_string()) throw SessionError("'part' expects a STEP file path");
    fs::path path = base / session["part"].get<std::string>();
    if (!fs::exists(path)) throw SessionError("part file '" + path.string() + "' does not exist");
    try {
        auto &store = model::Store::instance();
        for (auto &named : kernel::read_step(path.string())) {
            auto &body = store.add_body(named.shape, false);
            body.name = named.name;
            body.color = palette_index(named.color);
        }
    } catch (const kernel::KernelError &e) {
        throw SessionError("part file '" + path.string() + "': " + e.what());
    }
}

void create_fixtures(const ordered_json &session) {
    if (!session.contains("objects")) return;
    if (!session["objects"].is_array()) throw SessionError("'objects' expects a list");
    int index = 0;
    for (auto &fixture : session["objects"]) {
        ++index;
        try {
            create_fixture(fixture);
        } catch (const SessionError &e) {
            std::string name = fixture.is_object() && fixture.contains("name") && fixture["name"].is_string()
                                   ? " ('" + fixture["name"].get<std::string>() + "')" : "";
            throw SessionError("object " + std::to_string(index) + name + ": " + e.what());
        }
    }
}

// The designer names a body between two commands, as the part navigator lets them: the plug-ins
// that look for bodies by name ("gu_ding_ban", ...) then find it.
struct Rename {
    int step = 0;
    ordered_json body;
    std::string name;
};

using Step = std::variant<model::DialogRun, Rename>;

Rename parse_rename(const ordered_json &step, int index) {
    std::string where = "step " + std::to_string(index);
    for (auto &[key, value] : step.items())
        if (key != "rename" && key != "to" && key != "comment")
            throw SessionError(where + ": unknown key '" + key + "' in a rename step");
    if (!step.contains("to") || !step["to"].is_string() || step["to"].get<std::string>().empty())
        throw SessionError(where + ": 'to' expects the body's new name");
    return {index, step["rename"], step["to"].get<std::string>()};
}

// The live bodies whose inside holds the point: {"at": [x, y, z]} names a body that has no name yet.
std::vector<tag_t> bodies_at(const ordered_json &point) {
    if (!point.is_array() || point.size() != 3 || !point[0].is_number() || !point[1].is_number() ||
        !point[2].is_number())
        throw SessionError("'at' expects [x, y, z], got " + io::brief(point));
    const kernel::Vec3 p{point[0].get<double>(), point[1].get<double>(), point[2].get<double>()};
    try {
        model::check_point(p, "'at'");
    } catch (const HostError &e) {
        throw SessionError(e.what());
    }
    std::vector<tag_t> tags;
    for (model::Body *body : model::Store::instance().bodies())
        if (kernel::classify(body->shape, p) == kernel::Where::Inside) tags.push_back(body->tag);
    if (tags.empty()) throw SessionError("no body holds the point " + io::brief(point));
    return tags;
}

void play_rename(const Rename &rename) {
    std::string where = "step " + std::to_string(rename.step) + " (rename)";
    auto &store = model::Store::instance();
    std::vector<tag_t> tags;
    try {
        if (rename.body.is_object() && rename.body.contains("at")) tags = bodies_at(rename.body["at"]);
        else tags = ui::resolve_selection(rename.body);
    } catch (const SessionError &e) {
        throw SessionError(where + ": " + e.what());
    }
    model::Object *object = tags.size() == 1 ? store.find(tags.front()) : nullptr;
    if (!object || object->kind != model::Kind::Body)
        throw SessionError(where + ": 'rename' must name exactly one body, got " + io::brief(rename.body));
    object->name = rename.name;
}

// The interleaved form of a step: [{"set": block, "value": v} | {"press": button}, ...].
ordered_json parse_events(const ordered_json &events, const std::string &where) {
    if (!events.is_array()) throw SessionError(where + ": 'events' expects a list");
    int index = 0;
    for (auto &event : events) {
        ++index;
        std::string at = where + ", event " + std::to_string(index);
        bool set = event.is_object() && event.size() == 2 && event.contains("set") && event["set"].is_string() &&
                   event.contains("value");
        bool press = event.is_object() && event.size() == 1 && event.contains("press") && event["press"].is_string();
        if (!set && !press)
            throw SessionError(at + ": expects {\"set\": block, \"value\": v} or {\"press\": button}, got " +
                               event.dump());
    }
    return events;
}

model::DialogRun parse_step(const ordered_json &step, int index, const std::string &plugins) {
    std::string where = "step " + std::to_string(index);
    if (!step.is_object()) throw SessionError(where + ": a step is an object");
    for (auto &[key, value] : step.items())
        if (key != "plugin" && key != "values" && key != "press" && key != "events" && key != "comment")
            throw SessionError(where + ": unknown key '" + key + "'");
    if (!step.contains("plugin") || !step["plugin"].is_string())
        throw SessionError(where + ": 'plugin' expects a plug-in name");
    model::DialogRun run;
    run.step = index;
    run.plugin = step["plugin"].get<std::string>();
    run.plugin_dir = plugins;
    if (run.plugin.find_first_of("/\\.") != std::string::npos)
        throw SessionError(where + ": '" + run.plugin + "' is not a plug-in name");
    if (step.contains("events")) {
        if (step.contains("values") || step.contains("press"))
            throw SessionError(where + ": 'events' replaces 'values' and 'press'; give one or the other");
        run.events = parse_events(step["events"], where);
        return run;
    }
    run.values = step.value("values", ordered_json::object());
    if (!run.values.is_object()) throw SessionError(where + ": 'values' expects an object");
    ordered_json press = step.value("press", ordered_json::array({"ok"}));
    if (!press.is_array()) throw SessionError(where + ": 'press' expects a list of buttons");
    for (auto &button : press) {
        if (!button.is_string()) throw SessionError(where + ": 'press' holds " + io::brief(button));
        run.press.push_back(button.get<std::string>());
    }
    return run;
}

model::DialogRun play_step(model::DialogRun run) {
    auto &store = model::Store::instance();
    std::string where = "step " + std::to_string(run.step) + " (" + run.plugin + ")";
    PluginLibrary library(run.plugin_dir, run.plugin);
    const StepMark mark = mark_step(store);
    store.dialog_run() = std::move(run);
    try {
        library.start();
    } catch (const std::bad_alloc &) {
        store.dialog_run().reset();
        throw SessionError(where + ": the plug-in ran out of memory");
    } catch (const std::exception &e) {
        store.dialog_run().reset();
        throw SessionError(where + ": the plug-in failed: " + e.what());
    } catch (...) {
        store.dialog_run().reset();
        throw SessionError(where + ": the plug-in failed");
    }
    model::DialogRun done = std::move(*store.dialog_run());
    store.dialog_run().reset();
    if (!done.error.empty()) throw SessionError(where + ": " + done.error);
    if (!done.opened) throw SessionError(where + ": the plug-in showed no dialog");
    done.warnings = step_warnings(store, mark, done.step, done.plugin);
    print_step_warnings(done.warnings, done.step, done.plugin);
    return done;
}

}  // namespace

std::string plugin_folder(const RunOptions &options) {
    if (!options.plugin_dir.empty()) return options.plugin_dir;
    if (const char *env = std::getenv("DIEKIT_PLUGINS"); env && *env) return env;
    return DIEKIT_PLUGIN_DIR;
}

SessionResult run_session_json(const ordered_json &session, const std::string &base_dir,
                               const RunOptions &options) {
    auto start = std::chrono::steady_clock::now();
    check_keys(session);
    auto &store = model::Store::instance();
    store.reset();
    fs::path base = base_dir.empty() ? fs::current_path() : fs::path(base_dir);
    store.set_library_root(library_root(session, base, options));
    open_part(session, base);
    create_fixtures(session);
    SessionResult result;
    if (session.contains("name") && session["name"].is_string()) result.name = session["name"].get<std::string>();
    if (session.contains("steps") && !session["steps"].is_array()) throw SessionError("'steps' expects a list");
    std::string plugins = plugin_folder(options);
    std::vector<Step> steps;
    int index = 0;
    for (auto &step : session.value("steps", ordered_json::array())) {
        ++index;
        if (step.is_object() && step.contains("rename")) steps.emplace_back(parse_rename(step, index));
        else steps.emplace_back(parse_step(step, index, plugins));
    }
    for (auto &step : steps) {
        if (auto *rename = std::get_if<Rename>(&step)) play_rename(*rename);
        else result.steps.push_back(play_step(std::move(std::get<model::DialogRun>(step))));
    }
    result.ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    return result;
}

namespace {

// Session files are small; a larger one is not a session someone wrote.
constexpr std::uintmax_t kMaxSessionBytes = 64ull << 20;

ordered_json read_session_file(const std::string &path) {
    std::error_code error;
    if (!fs::is_regular_file(path, error)) {
        if (fs::exists(path, error)) throw SessionError("session file '" + path + "' is not a file");
        throw SessionError("cannot read session file '" + path + "'");
    }
    if (fs::file_size(path, error) > kMaxSessionBytes)
        throw SessionError("session file '" + path + "' is larger than " + std::to_string(kMaxSessionBytes >> 20) +
                           " MiB");
    std::ifstream in(path, std::ios::binary);
    if (!in) throw SessionError("cannot read session file '" + path + "'");
    std::stringstream text;
    text << in.rdbuf();
    try {
        return parse_json(text.str());
    } catch (const JsonInputError &e) {
        throw SessionError("session file '" + path + "' is not valid JSON: " + e.what());
    }
}

}  // namespace

SessionResult run_session(const std::string &path, const RunOptions &options) {
    ordered_json session = read_session_file(path);
    fs::path file(path);
    SessionResult result;
    try {
        result = run_session_json(session, file.parent_path().string(), options);
    } catch (const nlohmann::ordered_json::exception &e) {
        // Every value is checked where it is read; this only keeps a missed check readable.
        throw SessionError("session file '" + path + "': " + without_library_prefix(e.what()));
    }
    if (result.name.empty()) result.name = file.stem().string();
    return result;
}

}  // namespace diekit::io
