// Scaling and the extra primitives that standard-part recipes use.
#pragma once

#include "kernel/kernel.hpp"

namespace diekit::kernel {

// Scales a shape by fx, fy, fz along the axes of `about`, about its origin (factors > 0).
Shape scale(const Shape &shape, const Frame &about, double fx, double fy, double fz);

// Truncated cone from the centre of its base along axis: base diameter d1, top diameter d2
// (either may be 0, not both); height > 0.
Shape make_cone(const Vec3 &base, const Vec3 &axis, double height, double d1, double d2);

}  // namespace diekit::kernel
