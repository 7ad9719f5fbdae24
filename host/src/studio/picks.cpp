#include "studio/picks.hpp"

#include "kernel/picking.hpp"
#include "model/store.hpp"
#include "studio/dialog_json.hpp"
#include "studio/reply.hpp"
#include "ui/driver.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace diekit::studio {

using nlohmann::ordered_json;

namespace {

struct Pick {
    std::string kind;  // "body", "face", "edge" or "curve"
    tag_t tag = NULL_TAG;  // the body or curve picked
    std::size_t index = 0;  // face or edge index
    std::optional<kernel::Vec3> at;
};

[[noreturn]] void bad(const ui::BlockData &block, const std::string &why) {
    throw ApiError(400, "block '" + block.id + "' (" + ui::class_name(block.cls) + "): " + why);
}

std::string kinds_text(const std::vector<std::string> &kinds) {
    std::string text;
    for (auto &kind : kinds) text += (text.empty() ? "" : ", ") + kind;
    return text.empty() ? "no pick" : text;
}

tag_t tag_of(const ui::BlockData &block, const ordered_json &value, const char *key) {
    if (!value.is_number_unsigned() || value.get<std::uint64_t>() > std::numeric_limits<tag_t>::max() ||
        value.get<std::uint64_t>() == 0)
        bad(block, std::string("pick '") + key + "' expects a tag, got " + value.dump());
    return value.get<tag_t>();
}

Pick parse_pick(const ui::BlockData &block, const ordered_json &pick) {
    if (!pick.is_object()) bad(block, "a pick is an object, got " + pick.dump());
    for (auto &[key, value] : pick.items())
        if (key != "body" && key != "face" && key != "edge" && key != "curve" && key != "at")
            bad(block, "unknown key '" + key + "' in a pick");
    Pick p;
    if (pick.contains("body") == pick.contains("curve")) bad(block, "a pick names a 'body' or a 'curve'");
    if (pick.contains("curve")) {
        if (pick.contains("face") || pick.contains("edge")) bad(block, "a curve pick has no face or edge");
        p.kind = "curve";
        p.tag = tag_of(block, pick["curve"], "curve");
    } else {
        p.tag = tag_of(block, pick["body"], "body");
        if (pick.contains("face") && pick.contains("edge")) bad(block, "a pick names a face or an edge, not both");
        p.kind = pick.contains("face") ? "face" : pick.contains("edge") ? "edge" : "body";
        if (p.kind != "body") {
            const ordered_json &index = pick[p.kind];
            if (!index.is_number_unsigned() || index.get<std::uint64_t>() > 1u << 30)
                bad(block, "pick '" + p.kind + "' expects an index, got " + index.dump());
            p.index = index.get<std::size_t>();
        }
    }
    if (pick.contains("at")) {
        const ordered_json &at = pick["at"];
        if (!at.is_array() || at.size() != 3 || !at[0].is_number() || !at[1].is_number() || !at[2].is_number())
            bad(block, "pick 'at' expects [x, y, z], got " + at.dump());
        kernel::Vec3 v{at[0].get<double>(), at[1].get<double>(), at[2].get<double>()};
        if (!std::isfinite(v.x) || !std::isfinite(v.y) || !std::isfinite(v.z) || std::abs(v.x) > 1e7 ||
            std::abs(v.y) > 1e7 || std::abs(v.z) > 1e7)
            bad(block, "pick 'at' is outside the model, got " + at.dump());
        p.at = v;
    }
    return p;
}

model::Object &live(const ui::BlockData &block, tag_t tag, model::Kind kind) {
    model::Object *object = model::Store::instance().find(tag);
    if (!object || object->kind != kind)
        bad(block, "pick: " + std::to_string(tag) + " is not a live " + model::kind_name(kind));
    return *object;
}

// The picked face or edge among the body's, checked to exist.
kernel::Shape picked_sub_shape(const ui::BlockData &block, const model::Body &body, const Pick &pick) {
    auto subs = pick.kind == "face" ? kernel::faces(body.shape) : kernel::edges(body.shape);
    if (pick.index >= subs.size())
        bad(block, "pick: body " + std::to_string(body.tag) + " has " + std::to_string(subs.size()) + " " +
                       pick.kind + "s, no " + pick.kind + " " + std::to_string(pick.index));
    return subs[pick.index];
}

// The picked shape, without handing out any tag (for points and directions, which a session
// records as numbers).
kernel::Shape picked_shape(const ui::BlockData &block, const Pick &pick) {
    if (pick.kind == "curve") return static_cast<model::Curve &>(live(block, pick.tag, model::Kind::Curve)).shape;
    auto &body = static_cast<model::Body &>(live(block, pick.tag, model::Kind::Body));
    if (pick.kind == "body") return body.shape;
    return picked_sub_shape(block, body, pick);
}

// The tag of a pick; face and edge tags are handed out here, after every check passed.
tag_t resolve(const ui::BlockData &block, const Pick &pick) {
    auto &store = model::Store::instance();
    if (pick.kind == "curve") return live(block, pick.tag, model::Kind::Curve).tag;
    auto &body = static_cast<model::Body &>(live(block, pick.tag, model::Kind::Body));
    if (pick.kind == "body") return body.tag;
    picked_sub_shape(block, body, pick);
    auto tags = pick.kind == "face" ? store.face_tags(body) : store.edge_tags(body);
    return tags.at(pick.index);
}

double rounded(double v) { return std::round(v * 1e4) / 1e4; }

ordered_json point_json(const kernel::Vec3 &p) { return {rounded(p.x), rounded(p.y), rounded(p.z)}; }

bool names_exactly(const ordered_json &reference, tag_t tag) {
    try {
        auto tags = ui::resolve_selection(reference);
        return tags.size() == 1 && tags.front() == tag;
    } catch (const std::exception &) {
        return false;
    }
}

// A point well inside the face or edge: the centre of its largest triangle, or of its middle segment,
// moved onto the exact face or edge.
std::optional<kernel::Vec3> inner_point(const kernel::Shape &sub, const kernel::Tessellation &mesh,
                                        const std::string &kind, std::size_t index) {
    auto vertex = [](const std::vector<float> &list, std::uint32_t i) {
        return kernel::Vec3{list[3 * i], list[3 * i + 1], list[3 * i + 2]};
    };
    kernel::Vec3 centre;
    if (kind == "face") {
        if (index >= mesh.faces.size() || mesh.faces[index][1] == 0) return std::nullopt;
        double best = -1;
        for (std::uint32_t t = mesh.faces[index][0]; t < mesh.faces[index][0] + mesh.faces[index][1]; ++t) {
            kernel::Vec3 a = vertex(mesh.positions, mesh.triangles[3 * t]);
            kernel::Vec3 b = vertex(mesh.positions, mesh.triangles[3 * t + 1]);
            kernel::Vec3 c = vertex(mesh.positions, mesh.triangles[3 * t + 2]);
            kernel::Vec3 u{b.x - a.x, b.y - a.y, b.z - a.z}, v{c.x - a.x, c.y - a.y, c.z - a.z};
            kernel::Vec3 n{u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
            double area = n.x * n.x + n.y * n.y + n.z * n.z;
            if (area > best) {
                best = area;
                centre = {(a.x + b.x + c.x) / 3, (a.y + b.y + c.y) / 3, (a.z + b.z + c.z) / 3};
            }
        }
    } else {
        if (index >= mesh.edges.size() || mesh.edges[index][1] == 0) return std::nullopt;
        std::uint32_t s = mesh.edges[index][0] + mesh.edges[index][1] / 2;
        kernel::Vec3 a = vertex(mesh.line_positions, mesh.segments[2 * s]);
        kernel::Vec3 b = vertex(mesh.line_positions, mesh.segments[2 * s + 1]);
        centre = {(a.x + b.x) / 2, (a.y + b.y) / 2, (a.z + b.z) / 2};
    }
    return kernel::closest_point(sub, centre);
}

// The first reference that `diehost run` would resolve to exactly this object.
ordered_json stable_reference(tag_t tag, const Pick &pick, ShapeCache &cache) {
    auto &store = model::Store::instance();
    model::Object &object = *store.find(tag);
    if (pick.kind == "body" || pick.kind == "curve") {
        if (!object.name.empty() && names_exactly(object.name, tag)) return object.name;
        return {{"tag", tag}};
    }
    auto &body = store.body(pick.tag);
    const kernel::Shape &sub = store.shape_of(tag);
    std::vector<kernel::Vec3> points;
    if (pick.at) points.push_back(kernel::closest_point(sub, *pick.at));
    if (auto inner = inner_point(sub, cache.mesh(body.shape), pick.kind, pick.index)) points.push_back(*inner);
    std::vector<ordered_json> bodies;
    if (!body.name.empty()) bodies.push_back(body.name);
    bodies.push_back({{"tag", body.tag}});
    for (auto &named : bodies)
        for (auto &point : points) {
            ordered_json reference = {{pick.kind, named}, {"near", point_json(point)}};
            if (names_exactly(reference, tag)) return reference;
        }
    return {{"tag", tag}};
}

// Every object of one name, picked one by one in creation order (the curves of an outline), is
// recorded as that name.
std::optional<ordered_json> shared_name(const ordered_json &session) {
    std::vector<tag_t> tags;
    for (auto &item : session) {
        if (!item.is_object() || !item.contains("tag")) return std::nullopt;
        tags.push_back(item["tag"].get<tag_t>());
    }
    if (tags.size() < 2) return std::nullopt;
    model::Object *first = model::Store::instance().find(tags.front());
    if (!first || first->name.empty()) return std::nullopt;
    try {
        if (ui::resolve_selection(first->name) == tags) return ordered_json::array({first->name});
    } catch (const std::exception &) {
    }
    return std::nullopt;
}

bool is_pick(const ordered_json &value) { return value.is_object() && value.size() == 1 && value.contains("pick"); }

BlockValue selection(const ui::BlockData &block, const ordered_json &value, ShapeCache &cache) {
    const auto kinds = accepted_kinds(block);
    ordered_json items = value.is_array() ? value : ordered_json::array({value});
    if (items.size() > 10000) bad(block, "more than 10000 objects in one selection");
    // Every pick is checked before any face or edge tag is handed out.
    std::vector<std::optional<Pick>> picks;
    for (auto &item : items) {
        if (!is_pick(item)) {
            picks.emplace_back();
            continue;
        }
        Pick pick = parse_pick(block, item["pick"]);
        if (std::find(kinds.begin(), kinds.end(), pick.kind) == kinds.end())
            bad(block, "accepts " + kinds_text(kinds) + ", not a " + pick.kind);
        picks.push_back(pick);
    }
    BlockValue out{ordered_json::array(), ordered_json::array()};
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (!picks[i]) {
            out.session.push_back(items[i]);
            out.recorded.push_back(items[i]);
            continue;
        }
        tag_t tag = resolve(block, *picks[i]);
        out.session.push_back({{"tag", tag}});
        out.recorded.push_back(stable_reference(tag, *picks[i], cache));
    }
    return {out.session, shared_name(out.session).value_or(out.recorded)};
}

// A point block: a picked point (on the exact face, edge or curve picked) or [x, y, z].
BlockValue point(const ui::BlockData &block, const ordered_json &value) {
    if (!is_pick(value)) return {value, value};
    Pick pick = parse_pick(block, value["pick"]);
    if (!pick.at) bad(block, "a picked point needs 'at': [x, y, z]");
    kernel::Vec3 at = *pick.at;
    if (pick.kind != "body") at = kernel::closest_point(picked_shape(block, pick), at);
    ordered_json p = point_json(at);
    return {p, p};
}

// A vector block: [x, y, z] (an axis), a face's normal at the picked point, or the direction of a
// straight edge or line.
BlockValue vector(const ui::BlockData &block, const ordered_json &value) {
    if (!is_pick(value)) return {value, value};
    Pick pick = parse_pick(block, value["pick"]);
    kernel::Vec3 v;
    if (pick.kind == "face") {
        if (!pick.at) bad(block, "a face normal needs 'at': [x, y, z]");
        v = kernel::normal_near(picked_shape(block, pick), *pick.at);
    } else if (pick.kind == "edge" || pick.kind == "curve") {
        auto line = kernel::line_data(picked_shape(block, pick));
        if (!line.straight) bad(block, "takes the direction of a straight edge or line; this one is curved");
        v = {line.end.x - line.start.x, line.end.y - line.start.y, line.end.z - line.start.z};
        double length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
        v = {v.x / length, v.y / length, v.z / length};
    } else {
        bad(block, "accepts an axis [x, y, z], a face (its normal) or a straight edge or line, not a body");
    }
    ordered_json direction = {rounded(v.x), rounded(v.y), rounded(v.z)};
    return {direction, direction};
}

}  // namespace

BlockValue block_value(const ui::BlockData &block, const ordered_json &value, ShapeCache &cache) {
    try {
        switch (block.cls) {
        case ui::BlockClass::BodyCollector:
        case ui::BlockClass::FaceCollector:
        case ui::BlockClass::CurveCollector:
        case ui::BlockClass::SelectObject: return selection(block, value, cache);
        case ui::BlockClass::SpecifyPoint: return point(block, value);
        case ui::BlockClass::SpecifyVector: return vector(block, value);
        default:
            if (is_pick(value)) bad(block, "takes no pick");
            return {value, value};
        }
    } catch (const kernel::KernelError &e) {
        bad(block, std::string("the pick cannot be used: ") + e.what());
    }
}

}  // namespace diekit::studio
