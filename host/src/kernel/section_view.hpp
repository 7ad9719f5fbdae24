// Section views for drawings: a solid cut by a plane across a frame's y axis, the cut faces as closed
// outlines and the edges beyond the plane as the viewer sees them.
#pragma once

#include "kernel/drawing.hpp"

#include <vector>

namespace diekit::kernel {

struct SectionView {
    std::vector<Polyline2> cut;     // closed outlines of the cut faces (x, z of the frame)
    std::vector<Polyline2> beyond;  // visible edges of the part behind the plane (x, z of the frame)
};

// The shape cut by the plane y = level of `frame`, seen from the side of smaller y towards larger y
// (the part in front of the plane removed): view x = frame x, view y = frame z. Curves at chordal
// deviation `deflection`. An empty view when the plane misses the shape. Throws KernelError when the
// kernel cannot cut or project it.
SectionView section_view(const Shape &shape, const Frame &frame, double level, double deflection);

}  // namespace diekit::kernel
