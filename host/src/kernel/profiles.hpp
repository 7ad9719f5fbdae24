// Plane profiles of bodies: closed loops of lines and circular arcs in a frame's x-y plane, as
// wire-cutting and hole tables need them (arcs kept as arcs, not as chords).
#pragma once

#include "kernel/drawing.hpp"
#include "kernel/kernel.hpp"

#include <vector>

namespace diekit::kernel {

// One segment of a loop from `start` to the next segment's start. bulge = tan(sweep / 4): 0 for a
// straight line, positive for an arc turning counter-clockwise, ±1 for a half circle.
struct LoopVertex {
    Point2 start;
    double bulge = 0;
};
using Loop = std::vector<LoopVertex>;

// Signed area (counter-clockwise positive) and length of a loop, arcs exact.
double loop_area(const Loop &loop);
double loop_length(const Loop &loop);
// The loop as a polyline (arcs at chordal deviation `deflection`), closed (last point = first).
Polyline2 loop_points(const Loop &loop, double deflection);
// Whether p lies inside the loop (even-odd on the polyline at a fine deviation).
bool loop_contains(const Loop &loop, const Point2 &p);
// The loop's box in its plane: xmin, ymin, xmax, ymax (arcs' extreme points included).
std::array<double, 4> loop_box(const Loop &loop);

// The loops where the plane z = level of `frame` cuts the shape, in frame coordinates: outer
// boundaries counter-clockwise, holes clockwise, outer loops first (largest first), each followed by
// nothing in particular; curves that are neither lines nor circles come as short lines. Throws
// KernelError when the kernel cannot cut the shape.
struct PlaneSection {
    std::vector<Loop> outer;  // counter-clockwise
    std::vector<Loop> holes;  // clockwise, each inside one of the outer loops
};
PlaneSection section_at(const Shape &shape, const Frame &frame, double level);

}  // namespace diekit::kernel
