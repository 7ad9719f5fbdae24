// Section views for drawings: solids cut by a plane across a frame's y axis, the cut faces as closed
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

// Several solids cut together by the absolute plane y = level and seen from the front (from smaller
// y, as the front view of a drawing: view x = x, view y = z), each hiding the others: per shape, in
// the order given, the outlines of its cut faces and its visible lines beyond the plane. A shape
// with `sectioned` false is drawn whole, uncut, when any of it lies behind the plane (the convention
// for bolts, pins and shafts cut lengthwise); shapes wholly in front of the plane give nothing.
// `options.with_hidden` is ignored (sections show no hidden lines). Throws KernelError when the kernel
// cannot cut or project a shape.
std::vector<SectionView> section_views(const std::vector<Shape> &shapes, const std::vector<bool> &sectioned,
                                       double level, const HiddenLineOptions &options);

}  // namespace diekit::kernel
