// Selections in session values: names, faces or edges near a point, tags; and block filters.
#include "io/json_input.hpp"
#include "model/model_range.hpp"
#include "model/store.hpp"
#include "ui/driver.hpp"

#include <uf_object_types.h>
#include <uf_ui_types.h>

#include <algorithm>
#include <limits>

namespace diekit::ui {

namespace {

using nlohmann::ordered_json;

model::Body &named_body(const std::string &name) {
    auto &store = model::Store::instance();
    for (auto *object : store.named(name))
        if (object->kind == model::Kind::Body) return static_cast<model::Body &>(*object);
    throw SessionError("no body named '" + name + "'");
}

kernel::Vec3 point_of(const ordered_json &value) {
    if (!value.is_array() || value.size() != 3 || !value[0].is_number() || !value[1].is_number() ||
        !value[2].is_number())
        throw SessionError("'near' expects [x, y, z], got " + io::brief(value));
    kernel::Vec3 p{value[0].get<double>(), value[1].get<double>(), value[2].get<double>()};
    try {
        model::check_point(p, "'near'");
    } catch (const HostError &e) {
        throw SessionError(e.what());
    }
    return p;
}

// The body a face or edge reference names: by its name, or {"tag": N} for a body without one.
model::Body &referenced_body(const std::string &key, const ordered_json &body) {
    if (body.is_string()) return named_body(body.get<std::string>());
    if (body.is_object() && body.size() == 1 && body.contains("tag") && body["tag"].is_number_unsigned() &&
        body["tag"].get<std::uint64_t>() <= std::numeric_limits<tag_t>::max()) {
        auto *object = model::Store::instance().find(body["tag"].get<tag_t>());
        if (object && object->kind == model::Kind::Body) return static_cast<model::Body &>(*object);
        throw SessionError("tag " + body["tag"].dump() + " is not a live body");
    }
    throw SessionError("'" + key + "' expects a body name or {\"tag\": N}, got " + body.dump());
}

// The face or edge of the named body nearest the point.
tag_t nearest(const std::string &key, const ordered_json &reference) {
    if (!reference.contains("near")) throw SessionError("'" + key + "' needs 'near': [x, y, z]");
    auto &store = model::Store::instance();
    model::Body &body = referenced_body(key, reference[key]);
    kernel::Vec3 point = point_of(reference["near"]);
    auto tags = key == "face" ? store.face_tags(body) : store.edge_tags(body);
    tag_t best = NULL_TAG;
    double best_distance = std::numeric_limits<double>::infinity();
    for (tag_t tag : tags) {
        double d = kernel::distance(store.shape_of(tag), point);
        if (d < best_distance - 1e-9) {
            best = tag;
            best_distance = d;
        }
    }
    if (best == NULL_TAG) throw SessionError("body " + reference[key].dump() + " has no " + key);
    return best;
}

std::vector<tag_t> resolve_one(const ordered_json &reference) {
    auto &store = model::Store::instance();
    if (reference.is_string()) {
        std::vector<tag_t> tags;
        for (auto *object : store.named(reference.get<std::string>())) tags.push_back(object->tag);
        if (tags.empty()) throw SessionError("no object named '" + reference.get<std::string>() + "'");
        return tags;
    }
    if (reference.is_object() && reference.contains("tag")) {
        // Tags are 32 bits: a larger number names no object and is refused, never wrapped onto one.
        auto number = io::whole_number(reference["tag"], 1, std::numeric_limits<tag_t>::max());
        if (!number) throw SessionError("'tag' expects a tag (a whole number 1..4294967295), got " + io::brief(reference["tag"]));
        tag_t tag = static_cast<tag_t>(*number);
        if (!store.find(tag)) throw SessionError("tag " + std::to_string(tag) + " is not a live object");
        return {tag};
    }
    if (reference.is_object() && reference.contains("face")) return {nearest("face", reference)};
    if (reference.is_object() && reference.contains("edge")) return {nearest("edge", reference)};
    throw SessionError("a selection is a name, {\"face\"|\"edge\": name, \"near\": [x,y,z]} or {\"tag\": N}; got " +
                       reference.dump());
}

// Platform type and subtype of an object, as selection masks see them.
std::pair<int, int> type_of(const model::Object &object) {
    switch (object.kind) {
    case model::Kind::Body: return {UF_solid_type, UF_solid_body_subtype};
    case model::Kind::Face: return {UF_solid_type, UF_solid_face_subtype};
    case model::Kind::Edge: return {UF_solid_type, UF_solid_edge_subtype};
    case model::Kind::Curve: {
        auto kind = kernel::curve_kind(static_cast<const model::Curve &>(object).shape);
        return {kind == kernel::CurveKind::Line ? UF_line_type
                : kind == kernel::CurveKind::Circle ? UF_circle_type : UF_spline_type, 0};
    }
    default: return {-1, -1};
    }
}

// A mask triple admits an object. For solids the solid-body subtype, when given, decides
// (36 solid bodies, 35 sheet bodies, which this host does not make); otherwise the subtype does.
bool admits(const NXOpen::Selection::MaskTriple &mask, const model::Object &object) {
    auto [type, subtype] = type_of(object);
    if (mask.Type != type) return false;
    if (type == UF_solid_type && mask.SolidBodySubtype == UF_UI_SEL_FEATURE_SOLID_BODY)
        return object.kind == model::Kind::Body;
    if (type == UF_solid_type && mask.SolidBodySubtype == UF_UI_SEL_FEATURE_SHEET_BODY) return false;
    return mask.Subtype == subtype;
}

}  // namespace

std::vector<tag_t> resolve_selection(const ordered_json &value) {
    std::vector<tag_t> tags;
    auto add = [&tags](const ordered_json &reference) {
        for (tag_t tag : resolve_one(reference))
            if (std::find(tags.begin(), tags.end(), tag) == tags.end()) tags.push_back(tag);
    };
    if (value.is_array())
        for (auto &reference : value) add(reference);
    else
        add(value);
    return tags;
}

bool accepts(const BlockData &block, tag_t tag) {
    auto *object = model::Store::instance().find(tag);
    if (!object) return false;
    switch (block.cls) {
    case BlockClass::BodyCollector: return object->kind == model::Kind::Body;
    case BlockClass::FaceCollector: return object->kind == model::Kind::Face;
    case BlockClass::CurveCollector: return object->kind == model::Kind::Curve || object->kind == model::Kind::Edge;
    case BlockClass::SelectObject:
        if (!block.filtered) return true;
        for (auto &mask : block.filter)
            if (admits(mask, *object)) return true;
        return false;
    default: return false;
    }
}

}  // namespace diekit::ui
