// Sweeps and offsets: extrusions of planar profiles made of curve edges, and offsets of solids.
// Like kernel.hpp, every OCCT call stays behind this header; failures throw KernelError naming the
// operation ("extrusion: ...", "offset: ...").
#pragma once

#include "kernel/kernel.hpp"

#include <vector>

namespace diekit::kernel {

// A profile that is not a usable set of closed planar loops. The message names the problem and,
// where there is one, the point at fault.
class ProfileError : public KernelError {
public:
    enum class Problem {
        Open,       // a free curve end, or three or more curve ends meeting at one point
        NonPlanar,  // the curves do not lie in one plane
        Invalid,    // a loop crosses itself, loops touch or cross, a loop encloses no area, a non-edge
    };
    ProfileError(Problem problem, const std::string &message) : KernelError(message), m_problem(problem) {}
    Problem problem() const { return m_problem; }

private:
    Problem m_problem;
};

// Joins the edges (curve edges or edges of bodies, any order and direction) into closed loops
// within kJoinTolerance, builds the planar region they bound (a loop inside another is a hole of it,
// a loop inside a hole is a new region, separate loops are separate regions) and extrudes it along
// the unit direction between the distances start and end from the profile plane (start < end).
// Returns one solid, or a compound of solids for separate regions. The input edges are not changed.
// Throws ProfileError for a bad profile, KernelError for a bad direction or range.
Shape extrude_profile(const std::vector<Shape> &edges, const Vec3 &direction, double start, double end);

// Largest gap between curve ends that extrude_profile closes.
constexpr double kJoinTolerance = 1e-5;

// Moves every face of the solid (or of each solid of a compound) along its normal by distance:
// positive grows, negative shrinks. Faces are extended and intersected, so sharp edges stay sharp.
// Solids of a compound that grow into each other are fused. Distance 0 returns the shape itself.
// Throws KernelError when the kernel fails, or when the result is not a valid solid whose volume
// changed in the direction of the distance (a shrink that collapses the solid, for instance).
Shape offset_solid(const Shape &solid, double distance);

}  // namespace diekit::kernel
