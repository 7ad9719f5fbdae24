// Exact stretches of standard-part members.
//
// A non-uniform scale whose axes are parallel to the part's own axes turns every primitive of a
// member's recipe into a primitive of the same kind: a block stays a block, a prism a prism, a
// cylinder or cone stretched along its axis (and evenly across it) stays one. Such a member is
// rebuilt from its recipe with the stretched sizes, so its surfaces stay planes, cylinders and
// cones. The kernel's general scale converts every face to B-splines, which makes each later
// boolean and bounding box of the member, and of every plate it is cut from, many times slower.
// Both ways give the same solid; a scale that does not fold this way takes the general way.
#pragma once

#include "expr/formula.hpp"
#include "model/store.hpp"

#include <nlohmann/json.hpp>

#include <array>
#include <optional>
#include <vector>

namespace diekit::library {

// A member as placed: its recipe built in the part's frame, stretched by `factors` along the
// part's own axes about its origin, then placed at `frame`.
struct Stretch {
    kernel::Frame frame;
    std::array<double, 3> factors{1, 1, 1};
};

// The placement after one more scale in the work part; nullopt when the scale's axes are not
// parallel to the part's axes.
std::optional<Stretch> fold(const Stretch &current, const model::ScaleStep &step);

// The recipe with every number evaluated and stretched by factors about the local origin; nullopt
// when a primitive would leave its kind (a cylinder stretched unevenly across its axis, or along a
// slanted axis).
std::optional<nlohmann::json> stretched_recipe(const nlohmann::json &recipe, const expr::Lookup &lookup,
                                               const std::array<double, 3> &factors);

// Member `index` of the group built with the group's current expression values and then scaled by
// `scales` in order: exactly (analytic surfaces) while the scales fold, by the kernel's general
// scale from the first one that does not.
kernel::Shape scaled_member_shape(model::Store &store, const model::Group &group, std::size_t index,
                                  const std::vector<model::ScaleStep> &scales);

// The body's shape after one more scale, rebuilt from its recipe, when the body is a parametric
// member whose shape is still the one the library gave it; nullopt otherwise.
std::optional<kernel::Shape> rescaled_member(model::Store &store, const model::Body &body,
                                             const model::ScaleStep &step);

// Records that the library has just shaped the body (import, regeneration, rebuilt scale).
void mark_built(model::Store &store, const model::Body &body);

}  // namespace diekit::library
