#include "model/store.hpp"

#include <NXOpen/TaggedObject.hxx>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace diekit::model {

const char *kind_name(Kind kind) {
    switch (kind) {
    case Kind::Part: return "part";
    case Kind::Body: return "body";
    case Kind::Face: return "face";
    case Kind::Edge: return "edge";
    case Kind::Curve: return "curve";
    case Kind::Feature: return "feature";
    case Kind::Group: return "group";
    case Kind::Matrix: return "matrix";
    case Kind::Csys: return "coordinate system";
    case Kind::Expression: return "expression";
    }
    return "object";
}

Store &Store::instance() {
    static Store store;
    return store;
}

Store::Store() { reset(); }

Store::~Store() {
    for (auto *list : m_lists) {
        while (list) {
            auto *next = list->next;
            delete list;
            list = next;
        }
    }
    for (void *data : m_allocations) std::free(data);
}

void Store::reset() {
    m_objects.clear();
    m_sub_tags.clear();
    m_handles.clear();
    m_messages.clear();
    m_log.clear();
    m_wcs = kernel::Frame{};
    m_wcs_shown = true;
    m_last_new_body = NULL_TAG;
    m_bracket_depth = 0;
    m_built_recipes.clear();
    m_part = insert(std::make_unique<Part>()).tag;
}

namespace {

template <class T>
std::unique_ptr<Object> copy_as(const Object &object) {
    return std::make_unique<T>(static_cast<const T &>(object));
}

std::unique_ptr<Object> copy_of(const Object &object) {
    switch (object.kind) {
    case Kind::Part: return copy_as<Part>(object);
    case Kind::Body: return copy_as<Body>(object);
    case Kind::Face:
    case Kind::Edge: return copy_as<SubShape>(object);
    case Kind::Curve: return copy_as<Curve>(object);
    case Kind::Feature: return copy_as<Feature>(object);
    case Kind::Group: return copy_as<Group>(object);
    case Kind::Matrix: return copy_as<Matrix>(object);
    case Kind::Csys: return copy_as<Csys>(object);
    case Kind::Expression: return copy_as<Expression>(object);
    }
    throw HostError(kErrInternal, "snapshot: an object of unknown kind");
}

std::map<tag_t, std::unique_ptr<Object>> copy_of(const std::map<tag_t, std::unique_ptr<Object>> &objects) {
    std::map<tag_t, std::unique_ptr<Object>> copies;
    for (auto &[tag, object] : objects) copies.emplace_hint(copies.end(), tag, copy_of(*object));
    return copies;
}

}  // namespace

Store::Snapshot Store::snapshot() const {
    Snapshot s;
    s.counter = m_counter;
    s.part = m_part;
    s.objects = copy_of(m_objects);
    s.sub_tags = m_sub_tags;
    s.last_new_body = m_last_new_body;
    s.wcs = m_wcs;
    s.wcs_shown = m_wcs_shown;
    s.messages = m_messages;
    s.log = m_log;
    s.library_root = m_library_root;
    return s;
}

void Store::restore(const Snapshot &s) {
    m_objects = copy_of(s.objects);
    m_counter = s.counter;
    m_part = s.part;
    m_sub_tags = s.sub_tags;
    m_last_new_body = s.last_new_body;
    m_wcs = s.wcs;
    m_wcs_shown = s.wcs_shown;
    m_messages = s.messages;
    m_log = s.log;
    m_library_root = s.library_root;
}

template <class T>
T &Store::insert(std::unique_ptr<T> object) {
    object->tag = next_tag();
    T &ref = *object;
    m_objects.emplace(ref.tag, std::move(object));
    return ref;
}

Object *Store::find(tag_t tag) {
    auto it = m_objects.find(tag);
    if (it == m_objects.end()) return nullptr;
    Object *object = it->second.get();
    if (object->kind == Kind::Face || object->kind == Kind::Edge) {
        auto *sub = static_cast<SubShape *>(object);
        auto owner = m_objects.find(sub->body);
        if (owner == m_objects.end() || static_cast<Body *>(owner->second.get())->revision != sub->revision)
            return nullptr;
    }
    return object;
}

Object &Store::require(tag_t tag, const char *what) {
    if (tag == NULL_TAG) throw HostError(kErrNullTag, std::string(what) + " is the null tag");
    Object *object = find(tag);
    if (!object)
        throw HostError(kErrStaleTag, std::string(what) + " " + std::to_string(tag) + " is not a live object");
    return *object;
}

template <class T>
T &Store::typed(tag_t tag, Kind kind, const char *what) {
    Object &object = require(tag, what);
    if (object.kind != kind)
        throw HostError(kErrWrongKind, std::string(what) + " " + std::to_string(tag) + " is a " +
                                           kind_name(object.kind) + ", not a " + kind_name(kind));
    return static_cast<T &>(object);
}

Body &Store::body(tag_t tag, const char *what) { return typed<Body>(tag, Kind::Body, what); }
SubShape &Store::face(tag_t tag, const char *what) { return typed<SubShape>(tag, Kind::Face, what); }
SubShape &Store::edge(tag_t tag, const char *what) { return typed<SubShape>(tag, Kind::Edge, what); }
Feature &Store::feature(tag_t tag, const char *what) { return typed<Feature>(tag, Kind::Feature, what); }
Curve &Store::curve(tag_t tag, const char *what) { return typed<Curve>(tag, Kind::Curve, what); }
Matrix &Store::matrix(tag_t tag, const char *what) { return typed<Matrix>(tag, Kind::Matrix, what); }
Csys &Store::csys(tag_t tag, const char *what) { return typed<Csys>(tag, Kind::Csys, what); }
Group &Store::group(tag_t tag, const char *what) { return typed<Group>(tag, Kind::Group, what); }
Expression &Store::expression(tag_t tag, const char *what) { return typed<Expression>(tag, Kind::Expression, what); }

const kernel::Shape &Store::shape_of(tag_t tag, const char *what) {
    Object &object = require(tag, what);
    switch (object.kind) {
    case Kind::Body: return static_cast<Body &>(object).shape;
    case Kind::Face:
    case Kind::Edge: return static_cast<SubShape &>(object).shape;
    case Kind::Curve: return static_cast<Curve &>(object).shape;
    default:
        throw HostError(kErrWrongKind, std::string(what) + " " + std::to_string(tag) + " is a " +
                                           kind_name(object.kind) + " and has no geometry");
    }
}

Body &Store::add_body(const kernel::Shape &shape, bool parametric) {
    auto body = std::make_unique<Body>();
    body->shape = shape;
    body->parametric = parametric;
    body->revision = ++m_revision;
    return insert(std::move(body));
}

Curve &Store::add_curve(const kernel::Shape &shape) {
    auto curve = std::make_unique<Curve>();
    curve->shape = shape;
    return insert(std::move(curve));
}

Feature &Store::add_feature(const std::string &type, Body &body, const kernel::Shape &own_shape) {
    auto feature = std::make_unique<Feature>();
    feature->type = type;
    feature->body = body.tag;
    feature->own_shape = own_shape;
    feature->body_revision = body.revision;
    body.parametric = true;
    return insert(std::move(feature));
}

Matrix &Store::add_matrix(const double values[9]) {
    auto matrix = std::make_unique<Matrix>();
    for (int i = 0; i < 9; ++i) matrix->values[i] = values[i];
    return insert(std::move(matrix));
}

Csys &Store::add_csys(const kernel::Frame &frame, tag_t matrix, bool temporary) {
    auto csys = std::make_unique<Csys>();
    csys->frame = frame;
    csys->matrix = matrix;
    csys->temporary = temporary;
    return insert(std::move(csys));
}

Group &Store::add_group() { return insert(std::make_unique<Group>()); }

Expression &Store::add_expression(const std::string &name, const std::string &formula, double value) {
    auto expression = std::make_unique<Expression>();
    expression->name = name;
    expression->formula = formula;
    expression->value = value;
    return insert(std::move(expression));
}

Expression *Store::expression(const std::string &name) {
    for (auto &[tag, object] : m_objects)
        if (object->kind == Kind::Expression && object->name == name) return static_cast<Expression *>(object.get());
    return nullptr;
}

void Store::set_shape(Body &body, const kernel::Shape &shape) {
    body.shape = shape;
    body.revision = ++m_revision;
    m_sub_tags.erase({body.tag, static_cast<int>(Kind::Face)});
    m_sub_tags.erase({body.tag, static_cast<int>(Kind::Edge)});
}

void Store::erase(tag_t tag) {
    auto it = m_objects.find(tag);
    if (it == m_objects.end()) return;
    if (it->second->kind == Kind::Body) {
        m_sub_tags.erase({tag, static_cast<int>(Kind::Face)});
        m_sub_tags.erase({tag, static_cast<int>(Kind::Edge)});
        std::vector<tag_t> doomed;
        for (auto &[t, object] : m_objects) {
            if (object->kind == Kind::Feature && static_cast<Feature &>(*object).body == tag) doomed.push_back(t);
            if ((object->kind == Kind::Face || object->kind == Kind::Edge) &&
                static_cast<SubShape &>(*object).body == tag)
                doomed.push_back(t);
        }
        for (tag_t t : doomed) m_objects.erase(t);
        if (m_last_new_body == tag) m_last_new_body = NULL_TAG;
    }
    m_objects.erase(tag);
}

std::vector<tag_t> Store::sub_tags(Body &body, Kind kind) {
    auto key = std::make_pair(body.tag, static_cast<int>(kind));
    auto it = m_sub_tags.find(key);
    if (it != m_sub_tags.end()) return it->second;
    // Forget the sub-shapes of earlier revisions: their tags are stale for good.
    std::vector<tag_t> old;
    for (auto &[t, object] : m_objects)
        if (object->kind == kind && static_cast<SubShape &>(*object).body == body.tag) old.push_back(t);
    for (tag_t t : old) m_objects.erase(t);
    std::vector<tag_t> tags;
    auto shapes = kind == Kind::Face ? kernel::faces(body.shape) : kernel::edges(body.shape);
    for (auto &shape : shapes) {
        auto sub = std::make_unique<SubShape>(kind);
        sub->body = body.tag;
        sub->revision = body.revision;
        sub->shape = shape;
        tags.push_back(insert(std::move(sub)).tag);
    }
    m_sub_tags[key] = tags;
    return tags;
}

std::vector<tag_t> Store::face_tags(Body &body) { return sub_tags(body, Kind::Face); }
std::vector<tag_t> Store::edge_tags(Body &body) { return sub_tags(body, Kind::Edge); }

tag_t Store::edge_tag(Body &body, const kernel::Shape &edge) {
    for (tag_t tag : edge_tags(body))
        if (kernel::is_same(static_cast<SubShape &>(*m_objects.at(tag)).shape, edge)) return tag;
    return NULL_TAG;
}

int Store::sub_index(tag_t tag) {
    Object *object = find(tag);
    if (!object || (object->kind != Kind::Face && object->kind != Kind::Edge)) return -1;
    auto &sub = static_cast<SubShape &>(*object);
    auto it = m_sub_tags.find({sub.body, static_cast<int>(object->kind)});
    if (it == m_sub_tags.end()) return -1;
    auto at = std::find(it->second.begin(), it->second.end(), tag);
    return at == it->second.end() ? -1 : static_cast<int>(at - it->second.begin());
}

Object *Store::next_after(tag_t after) const {
    auto it = m_objects.upper_bound(after);
    return it == m_objects.end() ? nullptr : it->second.get();
}

std::vector<Object *> Store::objects() const {
    std::vector<Object *> result;
    for (auto &[tag, object] : m_objects) result.push_back(object.get());
    return result;
}

std::vector<Body *> Store::bodies() const {
    std::vector<Body *> result;
    for (auto &[tag, object] : m_objects)
        if (object->kind == Kind::Body) result.push_back(static_cast<Body *>(object.get()));
    return result;
}

std::vector<Object *> Store::named(const std::string &name) const {
    std::vector<Object *> result;
    for (auto &[tag, object] : m_objects)
        if (object->name == name) result.push_back(object.get());
    return result;
}

bool Store::close_bracket() {
    if (m_bracket_depth == 0) return false;
    --m_bracket_depth;
    return true;
}

uf_list_p_t Store::new_list() {
    auto *head = new uf_list_s{NULL_TAG, nullptr};
    m_lists.insert(head);
    return head;
}

void Store::free_list(uf_list_p_t list) {
    m_lists.erase(list);
    while (list) {
        auto *next = list->next;
        delete list;
        list = next;
    }
}

void *Store::allocate(std::size_t bytes) {
    void *data = std::calloc(1, bytes ? bytes : 1);
    if (!data) throw HostError(kErrInternal, "out of memory");
    m_allocations.insert(data);
    return data;
}

bool Store::release(void *data) {
    if (!m_allocations.erase(data)) return false;
    std::free(data);
    return true;
}

NXOpen::TaggedObject *Store::handle(tag_t tag) {
    auto &slot = m_handles[tag];
    if (!slot) slot = std::make_unique<NXOpen::TaggedObject>(tag);
    return slot.get();
}

void Store::add_message(Message message) {
    if (m_echo) {
        if (message.kind == "box")
            std::printf("[%s] %s\n", message.title.c_str(), message.text.c_str());
        else
            std::printf("%s\n", message.text.c_str());
        std::fflush(stdout);
    }
    m_messages.push_back(std::move(message));
}

void Store::log(const std::string &line) { m_log.push_back(line); }

}  // namespace diekit::model
