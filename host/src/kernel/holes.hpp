// Holes and pockets of a plate found from its B-rep, in the plate's frame: round holes from the
// cylindrical faces around axes along the plate's thickness (counterbores from coaxial steps), other
// openings and pockets from the inner boundaries of the faces across the thickness. Nothing is read
// from how the plate was made, so any plate works.
#pragma once

#include "kernel/profiles.hpp"

#include <vector>

namespace diekit::kernel {

enum class HoleFace { Top, Bottom, Inside };  // the face the hole opens on (Inside: a pocket's floor)

struct Hole {
    bool round = true;
    double x = 0, y = 0;        // round: the axis; other: the middle of its box (frame coordinates, mm)
    double diameter = 0;        // round: the bore (smallest step)
    double width = 0, length = 0;  // other: its box along x and y
    bool through = false;
    HoleFace face = HoleFace::Top;
    double z_open = 0, z_end = 0;  // frame z of the face it opens on and of its end (through: the far face)
    double depth = 0;              // |z_open - z_end|
    double counterbore_diameter = 0, counterbore_depth = 0;  // 0 when none
    Loop outline;               // other: its boundary at the face it opens on (counter-clockwise)
};

// The holes of a solid in `frame` (whose x-y plane is the plate's bottom face, z across it, as
// oriented_box gives it; thickness = the plate's extent along z). Round holes first, sorted by
// diameter (largest first), then x, then y; then the other openings by size and position. Holes
// whose axes are not along z are not listed. Throws KernelError when the B-rep cannot be read.
std::vector<Hole> find_holes(const Shape &solid, const Frame &frame, double thickness);

}  // namespace diekit::kernel
