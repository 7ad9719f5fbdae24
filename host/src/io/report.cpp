#include "io/report.hpp"

#include "model/store.hpp"

#include <cmath>

namespace diekit::io {

using nlohmann::ordered_json;

namespace {

ordered_json vec(const kernel::Vec3 &v) { return ordered_json::array({v.x, v.y, v.z}); }

ordered_json bodies(const model::Store &store) {
    ordered_json list = ordered_json::array();
    for (auto *body : store.bodies()) {
        ordered_json entry;
        entry["tag"] = body->tag;
        entry["name"] = body->name;
        entry["color"] = body->color;
        entry["blanked"] = body->blanked;
        entry["parametric"] = body->parametric;
        entry["bbox"] = kernel::bounding_box(body->shape);
        entry["volume"] = kernel::volume(body->shape);
        entry["lumps"] = kernel::solid_count(body->shape);
        list.push_back(entry);
    }
    return list;
}

void others(const model::Store &store, ordered_json &curves, ordered_json &groups, ordered_json &expressions) {
    for (auto *object : store.objects()) {
        switch (object->kind) {
        case model::Kind::Curve: {
            auto &curve = static_cast<model::Curve &>(*object);
            curves.push_back({{"tag", curve.tag}, {"name", curve.name}, {"kind", curve_kind_name(curve.shape)},
                              {"bbox", kernel::bounding_box(curve.shape)}});
            break;
        }
        case model::Kind::Group: {
            auto &group = static_cast<model::Group &>(*object);
            groups.push_back({{"tag", group.tag}, {"file", group.file}, {"members", group.members}});
            break;
        }
        case model::Kind::Expression: {
            auto &e = static_cast<model::Expression &>(*object);
            expressions.push_back({{"name", e.name}, {"formula", e.formula}, {"value", e.value}});
            break;
        }
        default: break;
        }
    }
}

ordered_json messages(const model::Store &store) {
    ordered_json list = ordered_json::array();
    for (auto &m : store.messages()) list.push_back(message_json(m));
    return list;
}

ordered_json steps(const SessionResult &result) {
    ordered_json list = ordered_json::array();
    for (auto &run : result.steps)
        list.push_back({{"plugin", run.plugin}, {"pressed", run.pressed}, {"results", run.results},
                        {"ms", run.ms}, {"dialog", run.dialog}, {"warnings", run.warnings}});
    return list;
}

}  // namespace

const char *curve_kind_name(const kernel::Shape &shape) {
    switch (kernel::curve_kind(shape)) {
    case kernel::CurveKind::Line: return "line";
    case kernel::CurveKind::Circle: {
        auto data = kernel::line_data(shape);
        double gap = std::abs(data.start.x - data.end.x) + std::abs(data.start.y - data.end.y) +
                     std::abs(data.start.z - data.end.z);
        return gap < kernel::kTolerance ? "circle" : "arc";
    }
    default: return "spline";
    }
}

ordered_json message_json(const model::Message &m) {
    if (m.kind == "box") return {{"kind", "box"}, {"title", m.title}, {"type", m.type}, {"text", m.text}};
    return {{"kind", m.kind}, {"text", m.text}};
}

ordered_json make_report(const SessionResult &result) {
    auto &store = model::Store::instance();
    ordered_json report;
    report["session"] = result.name;
    report["bodies"] = bodies(store);
    ordered_json curves = ordered_json::array(), groups = ordered_json::array(), expressions = ordered_json::array();
    others(store, curves, groups, expressions);
    report["curves"] = curves;
    report["groups"] = groups;
    report["expressions"] = expressions;
    const kernel::Frame &wcs = store.wcs();
    report["wcs"] = {{"origin", vec(wcs.origin)}, {"x", vec(wcs.x)}, {"y", vec(wcs.y)}, {"shown", store.wcs_shown()}};
    report["messages"] = messages(store);
    report["steps"] = steps(result);
    report["log"] = store.log_lines();
    report["ms"] = result.ms;
    return report;
}

}  // namespace diekit::io
