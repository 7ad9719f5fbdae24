// The smallest box around a body in the body's own frame: the size a part is made from, whatever way
// it stands in the die.
#pragma once

#include "kernel/kernel.hpp"

namespace diekit::kernel {

// A frame whose origin is the box's corner of least x, y, z (the datum corner of a plate) and the box's
// extents along its axes. z is the thickness direction (the normal of one of the body's planar faces,
// or the absolute Z), pointing as close to absolute +Z as the box allows; x is as close to absolute +X.
struct OrientedBox {
    Frame frame;
    double size[3] = {0, 0, 0};  // mm along frame x, y, z
};

// The box of least volume among those whose z axis is the absolute Z or the normal of one of the
// largest planar faces, each turned about z to the least plan area (exact for prismatic parts). Where
// the absolute axes give the same volume (within 1e-9 relative) they are kept. Extents are exact
// (no tolerance gap). Throws KernelError for a null or empty shape.
OrientedBox oriented_box(const Shape &shape);

// The shape moved so that `frame` becomes the absolute frame (coordinates in the frame).
Shape to_frame(const Shape &shape, const Frame &frame);

}  // namespace diekit::kernel
