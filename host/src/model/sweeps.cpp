#include "model/sweeps.hpp"

#include "kernel/sweep.hpp"
#include "model/modeling.hpp"

#include <algorithm>
#include <cmath>
#include <string>

namespace diekit::model {

Feature &extrude(Store &store, const std::vector<tag_t> &profile, const kernel::Vec3 &direction, double start,
                 double end, int sign) {
    if (profile.empty()) throw HostError(kErrBadValue, "extrusion: the profile list is empty");
    if (!std::isfinite(start) || !std::isfinite(end) || start == end)
        throw HostError(kErrBadValue, "extrusion: the limits " + std::to_string(start) + " and " +
                                          std::to_string(end) + " enclose no length");
    std::vector<kernel::Shape> edges;
    for (tag_t tag : profile) {
        Object &object = store.require(tag, "profile object");
        if (object.kind != Kind::Curve && object.kind != Kind::Edge)
            throw HostError(kErrWrongKind, "extrusion: profile object " + std::to_string(tag) + " is a " +
                                               kind_name(object.kind) + ", not a curve or an edge");
        edges.push_back(store.shape_of(tag));
    }
    kernel::Shape prism;
    try {
        prism = kernel::extrude_profile(edges, direction, std::min(start, end), std::max(start, end));
    } catch (const kernel::ProfileError &e) {
        switch (e.problem()) {
        case kernel::ProfileError::Problem::Open: throw HostError(kErrOpenProfile, e.what());
        case kernel::ProfileError::Problem::NonPlanar: throw HostError(kErrNonPlanarProfile, e.what());
        case kernel::ProfileError::Problem::Invalid: throw HostError(kErrBadValue, e.what());
        }
        throw;
    }
    return signed_feature(store, "EXTRUDED", prism, sign);
}

Feature &offset_features(Store &store, const std::vector<tag_t> &features, double distance) {
    if (features.empty()) throw HostError(kErrBadValue, "offset: the feature list is empty");
    tag_t body_tag = NULL_TAG;
    for (tag_t tag : features) {
        tag_t owner = store.feature(tag, "offset feature").body;
        if (body_tag != NULL_TAG && owner != body_tag)
            throw HostError(kErrBadValue, "offset: features " + std::to_string(features.front()) + " and " +
                                              std::to_string(tag) + " belong to different bodies");
        body_tag = owner;
    }
    Body &body = store.body(body_tag, "feature's body");
    kernel::Shape result = kernel::offset_solid(body.shape, distance);
    store.set_shape(body, result);
    return store.add_feature("OFFSET", body, result);
}

}  // namespace diekit::model
