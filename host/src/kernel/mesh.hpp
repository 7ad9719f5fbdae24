// Triangles and polylines of a shape for display. The kernel meshes a copy of the shape, so the
// shape itself keeps no triangulation (drawings and measures stay as they would be without it).
#pragma once

#include "kernel/kernel.hpp"

#include <array>
#include <cstdint>
#include <vector>

namespace diekit::kernel {

struct MeshOptions {
    // Largest distance between the triangles and the surface, mm; 0 picks it from the shape's size.
    double deflection = 0;
    // Largest angle between neighbouring triangles or segments along a curve, radians.
    double angle = 0.35;
};

// first, count: a range of triangles or segments.
using Span = std::array<std::uint32_t, 2>;

struct Tessellation {
    std::vector<float> positions;         // x, y, z of each triangle vertex (mm)
    std::vector<float> normals;           // unit outward normal at each triangle vertex
    std::vector<std::uint32_t> triangles;  // three vertex indices each, counter-clockwise seen from outside
    std::vector<Span> faces;              // face i (in faces() order): its triangles
    std::vector<float> line_positions;    // x, y, z of each line vertex (mm)
    std::vector<std::uint32_t> segments;  // two line vertex indices each
    std::vector<Span> edges;              // edge i (in edges() order): its segments (none if degenerate)
    Box box{0, 0, 0, 0, 0, 0};            // box of all vertices
};

// Meshes the faces and edges of shape (a solid, compound or a curve's edge). Throws KernelError.
Tessellation tessellate(const Shape &shape, const MeshOptions &options = {});

}  // namespace diekit::kernel
