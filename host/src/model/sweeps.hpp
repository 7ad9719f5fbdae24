// Extrusions of curve profiles and offsets of features' bodies, on the bodies of the store.
#pragma once

#include "model/store.hpp"

#include <vector>

namespace diekit::model {

// Extrudes the closed planar profile made of the listed curves and body edges (any order and
// direction; nested loops make holes) along the direction between the distances start and end from
// the profile plane (either order), and applies the prism by the sign rule of signed_feature.
// Returns the "EXTRUDED" feature. HostError: kErrWrongKind for a listed object that is neither curve
// nor edge, kErrOpenProfile, kErrNonPlanarProfile, kErrBadValue (empty list, equal limits, a loop
// crossing itself or another, a direction in the profile plane), kErrNoTarget as signed_feature.
Feature &extrude(Store &store, const std::vector<tag_t> &profile, const kernel::Vec3 &direction, double start,
                 double end, int sign);

// Moves every face of the body of the listed features (all of one body) by distance along its
// normal, keeping sharp edges; negative shrinks. The body keeps its tag; returns the "OFFSET" feature.
// HostError kErrBadValue for an empty list or features of several bodies; kernel failures propagate.
Feature &offset_features(Store &store, const std::vector<tag_t> &features, double distance);

}  // namespace diekit::model
