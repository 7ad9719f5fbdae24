// Points a designer picks on a shape: where a click lands on the exact face or edge, and the face's
// normal there.
#pragma once

#include "kernel/kernel.hpp"

namespace diekit::kernel {

// The point of shape (face, edge, solid) nearest to point. Throws KernelError.
Vec3 closest_point(const Shape &shape, const Vec3 &point);

// The face's unit outward normal at the face point nearest to point. Throws KernelError naming
// the fault when the normal is undefined there (a cone's apex).
Vec3 normal_near(const Shape &face, const Vec3 &point);

}  // namespace diekit::kernel
