// The point of a face nearest a given point, with its surface parameters.
#pragma once

#include "kernel/kernel.hpp"

namespace diekit::kernel {

struct FacePoint {
    double u = 0, v = 0;  // surface parameters, as face_props takes them (within the face's uv_bounds)
    Vec3 point;           // the nearest point of the face
};

// The point of the bounded face nearest to point: the foot of the perpendicular when it falls on the
// face, else the nearest point of the face's boundary. Where several points are equally near (the axis
// of a cylinder face), the kernel's first answer. Throws KernelError for a null or non-face shape.
FacePoint nearest_on_face(const Shape &face, const Vec3 &point);

}  // namespace diekit::kernel
