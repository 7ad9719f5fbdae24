#include "model/modeling.hpp"

#include "kernel/contact.hpp"

#include <string>

namespace diekit::model {

namespace {

void require_solid(const kernel::Shape &shape, const std::string &what) {
    if (!kernel::has_solid(shape)) throw HostError(kErrEmptyResult, what + " leaves no solid");
}

}  // namespace

Feature &signed_feature(Store &store, const std::string &type, const kernel::Shape &tool, int sign) {
    if (sign < 0 || sign > 2)
        throw HostError(kErrBadValue, "feature sign " + std::to_string(sign) + " is not 0, 1 or 2");
    if (sign == 0) {
        Body &body = store.add_body(tool, true);
        store.set_last_new_body(body.tag);
        return store.add_feature(type, body, tool);
    }
    Object *candidate = store.find(store.last_new_body());
    Body *target = candidate && candidate->kind == Kind::Body ? static_cast<Body *>(candidate) : nullptr;
    if (target && !kernel::touches(target->shape, tool)) target = nullptr;
    if (!target) {
        if (sign == 2)
            throw HostError(kErrNoTarget, type + " with sign 2: no body made by the last new feature touches it");
        Body &body = store.add_body(tool, true);
        return store.add_feature(type, body, tool);
    }
    kernel::Shape result = sign == 1 ? kernel::fuse(target->shape, tool) : kernel::cut(target->shape, tool);
    require_solid(result, type + " with sign 2");
    store.set_shape(*target, result);
    return store.add_feature(type, *target, tool);
}

Feature &boolean(Store &store, BooleanKind kind, tag_t target_tag, tag_t tool_tag, bool keep_target,
                 bool keep_tool) {
    const char *name = kind == BooleanKind::Intersect ? "INTERSECT" : "SUBTRACT";
    Body &target = store.body(target_tag, "target body");
    Body &tool = store.body(tool_tag, "tool body");
    if (target.tag == tool.tag) throw HostError(kErrBadValue, std::string(name) + ": target and tool are the same body");
    kernel::Shape result = kind == BooleanKind::Intersect ? kernel::common(target.shape, tool.shape)
                                                          : kernel::cut(target.shape, tool.shape);
    require_solid(result, std::string(name) + " of body " + std::to_string(target.tag) + " and body " +
                              std::to_string(tool.tag));
    Body *result_body = &target;
    if (keep_target) {
        result_body = &store.add_body(result, true);
        result_body->color = target.color;
    } else {
        store.set_shape(target, result);
    }
    Feature &feature = store.add_feature(name, *result_body, result);
    if (!keep_tool) store.erase(tool.tag);
    return feature;
}

Feature &unite(Store &store, tag_t target_tag, tag_t tool_tag) {
    Body &target = store.body(target_tag, "target body");
    Body &tool = store.body(tool_tag, "tool body");
    if (target.tag == tool.tag) throw HostError(kErrBadValue, "UNITE: target and tool are the same body");
    kernel::Shape result = kernel::fuse(target.shape, tool.shape);
    require_solid(result, "UNITE");
    store.set_shape(target, result);
    Feature &feature = store.add_feature("UNITE", target, result);
    store.erase(tool.tag);
    return feature;
}

Feature &chamfer(Store &store, const std::vector<tag_t> &edge_tags, ChamferKind kind, double offset1,
                 double offset2, double angle_deg) {
    if (edge_tags.empty()) throw HostError(kErrBadValue, "chamfer: the edge list is empty");
    tag_t body_tag = store.edge(edge_tags.front(), "chamfer edge").body;
    std::vector<kernel::Shape> edges;
    for (tag_t tag : edge_tags) {
        SubShape &edge = store.edge(tag, "chamfer edge");
        if (edge.body != body_tag)
            throw HostError(kErrBadValue, "chamfer: edges " + std::to_string(edge_tags.front()) + " and " +
                                              std::to_string(tag) + " belong to different bodies");
        edges.push_back(edge.shape);
    }
    if (offset1 <= 0 || (kind == ChamferKind::TwoOffsets && offset2 <= 0))
        throw HostError(kErrBadValue, "chamfer: offsets must be positive");
    Body &body = store.body(body_tag);
    kernel::Shape result;
    switch (kind) {
    case ChamferKind::Symmetric: result = kernel::chamfer_equal(body.shape, edges, offset1); break;
    case ChamferKind::TwoOffsets: result = kernel::chamfer_two(body.shape, edges, offset1, offset2); break;
    case ChamferKind::OffsetAngle: result = kernel::chamfer_angle(body.shape, edges, offset1, angle_deg); break;
    }
    store.set_shape(body, result);
    return store.add_feature("CHAMFER", body, result);
}

std::vector<tag_t> feature_edges(Store &store, Feature &feature) {
    Body &body = store.body(feature.body, "feature's body");
    if (body.revision == feature.body_revision) return store.edge_tags(body);
    std::vector<tag_t> tags;
    for (auto &edge : kernel::edges_lying_on(body.shape, feature.own_shape)) {
        tag_t tag = store.edge_tag(body, edge);
        if (tag != NULL_TAG) tags.push_back(tag);
    }
    return tags;
}

void remove_parameters(Store &store, const std::vector<tag_t> &bodies) {
    for (tag_t tag : bodies) {
        Body &body = store.body(tag, "body");
        body.parametric = false;
        std::vector<tag_t> features;
        for (Object *object : store.objects())
            if (object->kind == Kind::Feature && static_cast<Feature *>(object)->body == tag)
                features.push_back(object->tag);
        for (tag_t feature : features) store.erase(feature);
    }
}

}  // namespace diekit::model
