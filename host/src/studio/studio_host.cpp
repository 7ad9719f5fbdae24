#include "studio/studio_host.hpp"

#include "io/palette.hpp"
#include "io/report.hpp"
#include "io/roles.hpp"
#include "io/session.hpp"
#include "model/errors.hpp"
#include "studio/studio_dialog.hpp"

#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <limits>
#include <sstream>

namespace diekit::studio {

namespace fs = std::filesystem;
using nlohmann::ordered_json;

namespace {

model::Store &store() { return model::Store::instance(); }

ordered_json rgb_json(int color) {
    kernel::Rgb rgb = io::palette_rgb(color);
    auto byte = [](double v) { return static_cast<int>(v * 255.0 + 0.5); };
    return {byte(rgb.r), byte(rgb.g), byte(rgb.b)};
}

// What of the work part the page shows or a replay would see: objects, names, shapes, colours.
std::string fingerprint() {
    std::ostringstream out;
    for (model::Object *object : store().objects()) {
        if (object->kind == model::Kind::Face || object->kind == model::Kind::Edge) continue;
        out << object->tag << ' ' << static_cast<int>(object->kind) << ' ' << object->name << '\n';
        if (object->kind == model::Kind::Body) {
            auto &body = static_cast<model::Body &>(*object);
            out << body.revision << ' ' << body.color << ' ' << body.blanked << '\n';
        } else if (object->kind == model::Kind::Curve) {
            auto &curve = static_cast<model::Curve &>(*object);
            out << curve.shape.data() << ' ' << curve.color << '\n';
        } else if (object->kind == model::Kind::Expression) {
            out << static_cast<model::Expression &>(*object).formula << '\n';
        }
    }
    return out.str();
}

tag_t tag_field(const ordered_json &body, const char *key) {
    if (!body.contains(key) || !body[key].is_number_unsigned() ||
        body[key].get<std::uint64_t>() > std::numeric_limits<tag_t>::max())
        throw ApiError(400, std::string("'") + key + "' expects a tag");
    return body[key].get<tag_t>();
}

ordered_json object_body(const std::string &text) {
    ordered_json body = parse_body(text);
    if (!body.is_object()) throw ApiError(400, "the body is a JSON object");
    return body;
}

// The session's header with its files named absolutely, so the recorded session plays from anywhere.
ordered_json session_header(ordered_json session, const fs::path &base, const std::string &library) {
    session.erase("steps");
    for (const char *key : {"part", "library"})
        if (session.contains(key) && session[key].is_string())
            session[key] = fs::absolute(base / session[key].get<std::string>()).lexically_normal().string();
    if (!library.empty()) session["library"] = fs::absolute(library).lexically_normal().string();
    return session;
}

}  // namespace

StudioHost::StudioHost(CommandQueue &queue, HostOptions options)
    : m_queue(queue), m_options(std::move(options)), m_fresh(store().snapshot()) {
    if (m_options.work_dir.empty())
        m_options.work_dir = (fs::temp_directory_path() / ("diehost-studio-" + std::to_string(::getpid()))).string();
}

StudioHost::~StudioHost() = default;

std::size_t StudioHost::request_limit(const std::string &route) const {
    if (route == "POST /api/open/step") return m_options.step_limit;
    if (route == "POST /api/open/session") return m_options.session_limit;
    return m_options.request_limit;
}

void StudioHost::start(const std::string &path, int steps) {
    try {
        if (path.empty()) {
            load(ordered_json::object(), fs::current_path(), "studio");
            return;
        }
        fs::path file(path);
        std::string extension = file.extension().string();
        std::transform(extension.begin(), extension.end(), extension.begin(), ::tolower);
        if (extension == ".step" || extension == ".stp") {
            load({{"part", fs::absolute(file).string()}}, fs::current_path(), file.stem().string());
            return;
        }
        std::ifstream in(path);
        if (!in) throw SessionError("cannot read session file '" + path + "'");
        std::stringstream text;
        text << in.rdbuf();
        ordered_json session;
        try {
            session = parse_body(text.str());
        } catch (const ApiError &e) {
            throw SessionError("session file '" + path + "': " + e.what());
        }
        if (steps >= 0 && session.is_object() && session.contains("steps") && session["steps"].is_array() &&
            session["steps"].size() > static_cast<std::size_t>(steps))
            session["steps"].erase(session["steps"].begin() + steps, session["steps"].end());
        load(session, fs::absolute(file).parent_path(), file.stem().string());
    } catch (const ApiError &e) {
        throw SessionError(e.what());
    }
}

void StudioHost::load(ordered_json session, const fs::path &base, const std::string &name) {
    model::Store::Snapshot before = store().snapshot();
    io::RunOptions options{m_options.plugin_dir, m_options.library};
    store().restore(m_fresh);
    io::SessionResult result;
    try {
        result = io::run_session_json(session, base.string(), options);
    } catch (const std::exception &e) {
        store().restore(before);
        throw ApiError(400, std::string("the session cannot be played: ") + e.what());
    }
    m_name = !result.name.empty() ? result.name : name;
    ordered_json header = session_header(session, base, m_options.library);
    header["name"] = m_name;
    m_record.start(header, session.value("steps", ordered_json::array()));
    m_steps = std::move(result.steps);
    m_undo.clear();
    m_redo.clear();
    m_hidden.clear();
    ++m_revision;
    m_fingerprint = fingerprint();
}

void StudioHost::run() {
    while (auto command = m_queue.take()) {
        if (command->request().route == "POST /api/dialog/open") open_dialog(command);
        else command->reply(answer(command->request(), false));
    }
}

Reply StudioHost::answer(const Request &request, bool in_dialog) {
    m_message_mark = store().messages().size();
    Reply reply;
    try {
        reply = route(request, in_dialog);
    } catch (const ApiError &e) {
        reply = error_reply(e.status(), e.what());
    } catch (const kernel::KernelError &e) {
        reply = error_reply(500, std::string("the kernel failed: ") + e.what());
    } catch (const std::exception &e) {
        reply = error_reply(500, e.what());
    }
    refresh();
    return reply;
}

Reply StudioHost::route(const Request &request, bool in_dialog) {
    const std::string &route = request.route;
    if (route == "GET /api/state") return json_reply(state());
    if (route == "GET /api/mesh") return mesh();
    if (route == "GET /api/check") {
        ordered_json body = io::checks_json(checks());
        body["mesh"] = "/api/check/mesh";
        return json_reply(body);
    }
    if (route == "GET /api/check/mesh") return checks_mesh();
    if (route.rfind("GET /api/download/", 0) == 0) return download(route.substr(18));
    if (route == "POST /api/show") return json_reply(show(object_body(request.body)));
    if (route == "POST /api/dialog/value" || route == "POST /api/dialog/press")
        throw ApiError(409, "no dialog is open");
    if (in_dialog && (route == "POST /api/rename" || route == "POST /api/undo" || route == "POST /api/redo" ||
                      route == "POST /api/open/step" || route == "POST /api/open/session"))
        throw ApiError(409, "a dialog is open: press OK or Cancel first");
    if (route == "POST /api/rename") return json_reply(rename(object_body(request.body)));
    if (route == "POST /api/undo") return json_reply(undo(false));
    if (route == "POST /api/redo") return json_reply(undo(true));
    if (route == "POST /api/open/step") return json_reply(open_step(request.body));
    if (route == "POST /api/open/session") return json_reply(open_session(request.body));
    throw ApiError(404, "no endpoint " + route);
}

std::vector<std::string> StudioHost::plugins() const {
    std::vector<std::string> names;
    std::error_code error;
    for (auto &entry : fs::directory_iterator(io::plugin_folder({m_options.plugin_dir, {}}), error)) {
        const fs::path &path = entry.path();
        if (path.extension() == ".so" && fs::exists(fs::path(path).replace_extension(".dlx")))
            names.push_back(path.stem().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

ordered_json StudioHost::new_messages() const {
    ordered_json list = ordered_json::array();
    const auto &messages = store().messages();
    for (std::size_t i = std::min(m_message_mark, messages.size()); i < messages.size(); ++i)
        list.push_back(io::message_json(messages[i]));
    return list;
}

void StudioHost::refresh() {
    std::string now = fingerprint();
    if (now == m_fingerprint) return;
    m_fingerprint = std::move(now);
    ++m_revision;
}

ordered_json StudioHost::state() {
    auto names = io::display_names();
    ordered_json bodies = ordered_json::array(), curves = ordered_json::array();
    for (model::Object *object : store().objects()) {
        if (object->kind == model::Kind::Body) {
            auto &body = static_cast<model::Body &>(*object);
            bodies.push_back({{"tag", body.tag}, {"name", body.name}, {"display", names[body.tag]},
                              {"color", body.color}, {"rgb", rgb_json(body.color)}, {"blanked", body.blanked},
                              {"hidden", m_hidden.count(body.tag) > 0}, {"box", m_shapes.box(body.shape)}});
        } else if (object->kind == model::Kind::Curve) {
            auto &curve = static_cast<model::Curve &>(*object);
            curves.push_back({{"tag", curve.tag}, {"name", curve.name}, {"kind", io::curve_kind_name(curve.shape)},
                              {"color", curve.color}, {"rgb", rgb_json(curve.color)},
                              {"hidden", m_hidden.count(curve.tag) > 0}});
        }
    }
    ordered_json messages = ordered_json::array();
    for (auto &message : store().messages()) messages.push_back(io::message_json(message));
    ordered_json dialog = nullptr;
    if (m_dialog) dialog = m_dialog->json();
    return {{"revision", m_revision}, {"session", m_name}, {"bodies", bodies}, {"curves", curves},
            {"plugins", plugins()}, {"dialog", dialog}, {"messages", messages},
            {"undo", {{"can_undo", !m_undo.empty() && !m_dialog}, {"can_redo", !m_redo.empty() && !m_dialog}}}};
}

ordered_json StudioHost::rename(const ordered_json &body) {
    tag_t tag = tag_field(body, "tag");
    if (!body.contains("name") || !body["name"].is_string() || body["name"].get<std::string>().empty())
        throw ApiError(400, "'name' expects the body's new name");
    std::string name = body["name"].get<std::string>();
    if (name.size() > 128) throw ApiError(400, "'name' is longer than 128 characters");
    for (unsigned char c : name)
        if (c < 0x20) throw ApiError(400, "'name' holds a control character");
    model::Object *object = store().find(tag);
    if (!object || object->kind != model::Kind::Body) throw ApiError(400, "tag " + std::to_string(tag) + " is not a live body");
    // The body as a replay finds it: by its present name when that names it alone, else by its tag.
    ordered_json reference = {{"tag", tag}};
    if (!object->name.empty() && store().named(object->name).size() == 1) reference = object->name;
    std::string was = object->name.empty() ? io::display_names()[tag] : object->name;
    record({RecordEntry::Kind::Rename, name, reference, "was " + was});
    object->name = name;
    return {{"tag", tag}, {"name", name}};
}

ordered_json StudioHost::show(const ordered_json &body) {
    tag_t tag = tag_field(body, "tag");
    if (!body.contains("shown") || !body["shown"].is_boolean()) throw ApiError(400, "'shown' expects true or false");
    model::Object *object = store().find(tag);
    if (!object || (object->kind != model::Kind::Body && object->kind != model::Kind::Curve))
        throw ApiError(400, "tag " + std::to_string(tag) + " is not a live body or curve");
    if (body["shown"].get<bool>()) m_hidden.erase(tag);
    else m_hidden.insert(tag);
    return {{"tag", tag}, {"shown", body["shown"]}};
}

ordered_json StudioHost::open_step(const std::string &bytes) {
    if (bytes.rfind("ISO-10303-21", 0) != 0) throw ApiError(400, "the body is not a STEP file (no ISO-10303-21 header)");
    std::error_code error;
    fs::create_directories(m_options.work_dir, error);
    fs::path path = fs::path(m_options.work_dir) / ("part-" + std::to_string(++m_uploads) + ".step");
    {
        std::ofstream out(path, std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out) throw ApiError(500, "cannot keep the uploaded part in '" + path.string() + "'");
    }
    load({{"part", path.string()}}, m_options.work_dir, path.stem().string());
    return state();
}

ordered_json StudioHost::open_session(const std::string &text) {
    ordered_json session = object_body(text);
    load(session, fs::current_path(), "studio");
    return state();
}

// ---- undo ----

StudioHost::Checkpoint StudioHost::checkpoint(const model::DialogRun *open_run) {
    Checkpoint c{std::make_shared<const model::Store::Snapshot>(store().snapshot()), m_record.size(), m_steps,
                 fingerprint()};
    if (open_run) {
        model::DialogRun cut = *open_run;
        cut.pressed.push_back("cancel");
        cut.results.push_back(0);
        c.steps.push_back(std::move(cut));
    }
    return c;
}

void StudioHost::restore(const Checkpoint &c) {
    store().restore(*c.part);
    m_record.cut(c.record);
    m_steps = c.steps;
    // A tag handed out again later names another object: it does not inherit a hidden flag.
    for (auto it = m_hidden.begin(); it != m_hidden.end();)
        it = store().find(*it) ? std::next(it) : m_hidden.erase(it);
}

void StudioHost::push_undo(Checkpoint before, Checkpoint after) {
    if (before.fingerprint == after.fingerprint) return;
    m_undo.push_back({std::move(before), std::move(after)});
    if (m_undo.size() > kUndoSteps) m_undo.erase(m_undo.begin());
}

ordered_json StudioHost::undo(bool redo) {
    auto &from = redo ? m_redo : m_undo;
    auto &to = redo ? m_undo : m_redo;
    if (from.empty()) throw ApiError(409, redo ? "nothing to redo" : "nothing to undo");
    UndoStep step = std::move(from.back());
    from.pop_back();
    restore(redo ? step.after : step.before);
    to.push_back(std::move(step));
    refresh();
    return state();
}

void StudioHost::record(RecordEntry entry) {
    m_record.add(std::move(entry));
    m_redo.clear();
}

}  // namespace diekit::studio
