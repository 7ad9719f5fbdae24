// Constant-radius blends on chosen edges of one body.
#pragma once

#include "model/store.hpp"

#include <vector>

namespace diekit::model {

// Rounds the listed edges (all of one body) with radius; the body keeps its tag and its earlier
// face and edge tags go stale. Returns the "BLEND" feature. HostError kErrBadValue for an empty list,
// edges of several bodies or a radius that is not positive; kernel failures leave the body unchanged.
Feature &blend(Store &store, const std::vector<tag_t> &edges, double radius);

}  // namespace diekit::model
