#include "model/blends.hpp"

#include <cmath>
#include <string>

namespace diekit::model {

Feature &blend(Store &store, const std::vector<tag_t> &edge_tags, double radius) {
    if (edge_tags.empty()) throw HostError(kErrBadValue, "blend: the edge list is empty");
    if (!std::isfinite(radius) || radius <= 0)
        throw HostError(kErrBadValue, "blend: radius " + std::to_string(radius) + " is not positive");
    const tag_t body_tag = store.edge(edge_tags.front(), "blend edge").body;
    std::vector<kernel::Shape> edges;
    for (tag_t tag : edge_tags) {
        SubShape &edge = store.edge(tag, "blend edge");
        if (edge.body != body_tag)
            throw HostError(kErrBadValue, "blend: edges " + std::to_string(edge_tags.front()) + " and " +
                                              std::to_string(tag) + " belong to different bodies");
        edges.push_back(edge.shape);
    }
    Body &body = store.body(body_tag, "edge's body");
    kernel::Shape result = kernel::fillet(body.shape, edges, radius);
    store.set_shape(body, result);
    return store.add_feature("BLEND", body, result);
}

}  // namespace diekit::model
