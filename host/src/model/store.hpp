// The object store: the one piece of global state of the host. It owns the work part and everything
// in it (bodies, faces, edges, curves, features, groups, matrices, coordinate systems, expressions),
// the work coordinate system, the messages and the log of failed calls.
#pragma once

#include "model/dialog_run.hpp"
#include "model/errors.hpp"
#include "model/objects.hpp"

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace NXOpen {
class TaggedObject;
}

namespace diekit::ui {
class DialogEvents;
}

namespace diekit::model {

struct Message {
    std::string kind;   // "note" (one-line message) or "box" (message box)
    std::string title;  // box only
    int type = 0;       // box only: 0 error, 1 warning, 2 information, 3 question
    std::string text;
};

class Store {
public:
    // The work part as it stands: its objects (faces and edges with their tags included), the tag
    // counter, the WCS, messages, log and library root. Shapes are shared handles, so a snapshot
    // costs one copy of each object record, not of any geometry.
    class Snapshot {
    public:
        Snapshot() = default;
        Snapshot(Snapshot &&) = default;
        Snapshot &operator=(Snapshot &&) = default;

    private:
        friend class Store;
        tag_t counter = 0;
        tag_t part = NULL_TAG;
        std::map<tag_t, std::unique_ptr<Object>> objects;
        std::map<std::pair<tag_t, int>, std::vector<tag_t>> sub_tags;
        tag_t last_new_body = NULL_TAG;
        kernel::Frame wcs;
        bool wcs_shown = true;
        std::vector<Message> messages;
        std::vector<std::string> log;
        std::string library_root;
    };

    static Store &instance();

    // Empties the work part and the WCS; tags keep counting (never reused in one process).
    void reset();

    // A copy of the work part, and putting one back. restore() sets the tag counter back too, so
    // tags handed out after the snapshot are handed out again: the one exception to "never reused",
    // for undo, where the part returns to an earlier state and later tags must replay the same.
    // Shape revisions keep counting (a restored body keeps the revision it had).
    Snapshot snapshot() const;
    void restore(const Snapshot &snapshot);

    tag_t part() const { return m_part; }

    // ---- lookup: a live object of the asked type, or HostError (null, stale, wrong kind) ----
    Object *find(tag_t tag);  // nullptr when not live
    Object &require(tag_t tag, const char *what);
    Body &body(tag_t tag, const char *what = "body");
    SubShape &face(tag_t tag, const char *what = "face");
    SubShape &edge(tag_t tag, const char *what = "edge");
    Feature &feature(tag_t tag, const char *what = "feature");
    Curve &curve(tag_t tag, const char *what = "curve");
    Matrix &matrix(tag_t tag, const char *what = "matrix");
    Csys &csys(tag_t tag, const char *what = "coordinate system");
    Group &group(tag_t tag, const char *what = "group");
    Expression &expression(tag_t tag, const char *what = "expression");
    // The shape of a body, face, edge or curve.
    const kernel::Shape &shape_of(tag_t tag, const char *what = "object");

    // ---- creation ----
    Body &add_body(const kernel::Shape &shape, bool parametric);
    Curve &add_curve(const kernel::Shape &shape);
    Feature &add_feature(const std::string &type, Body &body, const kernel::Shape &own_shape);
    Matrix &add_matrix(const double values[9]);
    Csys &add_csys(const kernel::Frame &frame, tag_t matrix, bool temporary);
    Group &add_group();
    Expression &add_expression(const std::string &name, const std::string &formula, double value);
    // The live expression with this name, or nullptr.
    Expression *expression(const std::string &name);

    // Replaces a body's shape (its faces and edges go stale).
    void set_shape(Body &body, const kernel::Shape &shape);
    // Removes an object; its tag goes stale. Deleting a body also forgets its features.
    void erase(tag_t tag);

    // Tags of the faces / edges of a body, stable while the body is unchanged.
    std::vector<tag_t> face_tags(Body &body);
    std::vector<tag_t> edge_tags(Body &body);
    // The tag of one edge (a sub-shape of body) in the body's edge tags.
    tag_t edge_tag(Body &body, const kernel::Shape &edge);
    // The position of a live face or edge tag in its body's face or edge tags, without handing out
    // any tag; -1 when the tag is not a live face or edge.
    int sub_index(tag_t tag);

    // The first object (live or a stale face/edge) with a tag greater than after, or nullptr.
    Object *next_after(tag_t after) const;
    // Live objects in tag order (creation order).
    std::vector<Object *> objects() const;
    std::vector<Body *> bodies() const;
    std::vector<Object *> named(const std::string &name) const;

    // ---- signed features: the body most recently made by a sign-0 feature ----
    tag_t last_new_body() const { return m_last_new_body; }
    void set_last_new_body(tag_t tag) { m_last_new_body = tag; }

    // ---- work coordinate system ----
    const kernel::Frame &wcs() const { return m_wcs; }
    void set_wcs(const kernel::Frame &frame) { m_wcs = frame; }
    bool wcs_shown() const { return m_wcs_shown; }
    void set_wcs_shown(bool shown) { m_wcs_shown = shown; }

    // ---- UF_initialize / UF_terminate ----
    int bracket_depth() const { return m_bracket_depth; }
    void open_bracket() { ++m_bracket_depth; }
    bool close_bracket();

    // ---- memory handed out by the C functions ----
    uf_list_p_t new_list();
    bool is_list(uf_list_p_t list) const { return m_lists.count(list) != 0; }
    void free_list(uf_list_p_t list);
    std::size_t live_lists() const { return m_lists.size(); }
    void *allocate(std::size_t bytes);  // released by UF_free
    bool release(void *data);
    std::size_t live_allocations() const { return m_allocations.size(); }

    // ---- the object interface's handles for tags (owned here) ----
    NXOpen::TaggedObject *handle(tag_t tag);

    // ---- messages and log ----
    void add_message(Message message);
    const std::vector<Message> &messages() const { return m_messages; }
    void log(const std::string &line);
    const std::vector<std::string> &log_lines() const { return m_log; }
    bool echo() const { return m_echo; }
    void set_echo(bool echo) { m_echo = echo; }

    // The session step being played by the dialog driver, if any.
    std::optional<DialogRun> &dialog_run() { return m_dialog_run; }
    // Where a shown dialog takes its events from instead of the session step (the studio's
    // browser); not owned, nullptr for the session step.
    ui::DialogEvents *dialog_events() const { return m_dialog_events; }
    void set_dialog_events(ui::DialogEvents *events) { m_dialog_events = events; }

    // Standard-part library root (absolute folder).
    const std::string &library_root() const { return m_library_root; }
    void set_library_root(const std::string &root) { m_library_root = root; }
    // Library recipes already built in this part, by their evaluated text: every spring or bolt of
    // one size and length is the same solid, built once.
    std::map<std::string, kernel::Shape> &built_recipes() { return m_built_recipes; }

    ~Store();

private:
    Store();
    tag_t next_tag() { return ++m_counter; }
    template <class T>
    T &insert(std::unique_ptr<T> object);
    template <class T>
    T &typed(tag_t tag, Kind kind, const char *what);
    std::vector<tag_t> sub_tags(Body &body, Kind kind);

    tag_t m_counter = 0;
    tag_t m_part = NULL_TAG;
    std::map<tag_t, std::unique_ptr<Object>> m_objects;
    std::map<std::pair<tag_t, int>, std::vector<tag_t>> m_sub_tags;  // (body, kind) -> tags
    tag_t m_last_new_body = NULL_TAG;
    std::uint64_t m_revision = 0;
    kernel::Frame m_wcs;
    bool m_wcs_shown = true;
    int m_bracket_depth = 0;
    std::set<uf_list_p_t> m_lists;
    std::set<void *> m_allocations;
    std::map<tag_t, std::unique_ptr<NXOpen::TaggedObject>> m_handles;
    std::vector<Message> m_messages;
    std::vector<std::string> m_log;
    bool m_echo = true;
    std::string m_library_root;
    std::map<std::string, kernel::Shape> m_built_recipes;
    std::optional<DialogRun> m_dialog_run;
    ui::DialogEvents *m_dialog_events = nullptr;
};

}  // namespace diekit::model
