// Face and frame queries beyond kernel.hpp: full surface properties at a parameter point (second
// derivatives, principal radii) and exact boxes along the axes of another frame.
#pragma once

#include "kernel/kernel.hpp"

namespace diekit::kernel {

struct SurfaceProps {
    Vec3 point;
    Vec3 du, dv;      // first derivatives of the surface in u and v
    Vec3 d2u, d2v;   // second derivatives in u and v
    Vec3 normal;     // unit normal, oriented outward (face orientation applied)
    // Principal radii of curvature, the more curved direction first. A flat direction gives 0.
    // Positive where the face bulges outward (a punch's side), negative where it is hollow (a hole).
    double radii[2] = {0, 0};
};

// Properties of the face's surface at (u, v). KernelError when (u, v) lies outside the face's
// parameter ranges (beyond kTolerance) or the normal is undefined there (a cone's apex).
SurfaceProps surface_props(const Shape &face, double u, double v);

// Exact extents of shape along the axes of frame (right-handed orthonormal; y follows from z and x):
// minimum x, y, z then maximum x, y, z in the frame's own coordinates. No tolerance enlargement.
Box bounding_box_in(const Shape &shape, const Frame &frame);

}  // namespace diekit::kernel
