// Modelling on the bodies of the store: the rules of the host's contract (signed features, retained
// booleans, feature edges, parameter removal). Geometry comes from the kernel; tags from the store.
#pragma once

#include "model/store.hpp"

#include <vector>

namespace diekit::model {

// A block, cylinder or extrusion by its sign: 0 new body; 1 united with, 2 subtracted from the body
// most recently made by a sign-0 feature when it still exists and the tool touches it; otherwise
// 1 makes a new body and 2 fails (kErrNoTarget). Returns the feature.
Feature &signed_feature(Store &store, const std::string &type, const kernel::Shape &tool, int sign);

enum class BooleanKind { Intersect, Subtract };
// Boolean of two bodies. A retained target stays as it was and the result is a new body; otherwise
// the target takes the result and keeps its tag. A tool that is not retained is deleted.
Feature &boolean(Store &store, BooleanKind kind, tag_t target, tag_t tool, bool keep_target, bool keep_tool);
// The tool is merged into the target and deleted.
Feature &unite(Store &store, tag_t target, tag_t tool);

enum class ChamferKind { Symmetric = 1, TwoOffsets = 2, OffsetAngle = 3 };
// Chamfers edges of one body. Throws for an empty list or edges of several bodies.
Feature &chamfer(Store &store, const std::vector<tag_t> &edges, ChamferKind kind, double offset1,
                 double offset2, double angle_deg);

// The edges of the feature's body that the feature made: all edges while the body is as the feature
// left it, else the edges that still lie on the feature's own shape.
std::vector<tag_t> feature_edges(Store &store, Feature &feature);

// Drops the features of the bodies: they stay as plain bodies.
void remove_parameters(Store &store, const std::vector<tag_t> &bodies);

}  // namespace diekit::model
