// Meshes and exact boxes of the work part's shapes, kept per shape value: a body whose shape did not
// change since the last request is not meshed again. Shapes are immutable values, so a shape's data
// identifies its geometry (a body's new revision is a new shape); an entry holds its shape so that
// the identity stays valid while it is cached.
#pragma once

#include "kernel/kernel.hpp"
#include "kernel/mesh.hpp"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>

namespace diekit::studio {

class ShapeCache {
public:
    // The display mesh of the shape (made on first request). Throws KernelError.
    const kernel::Tessellation &mesh(const kernel::Shape &shape);
    // The exact bounding box (made on first request). Throws KernelError.
    const kernel::Box &box(const kernel::Shape &shape);
    // Forgets the shapes not asked for during the last few sweeps (undone and replaced shapes).
    void sweep();

private:
    struct Entry {
        kernel::Shape shape;
        std::optional<kernel::Tessellation> mesh;
        std::optional<kernel::Box> box;
        std::uint64_t used = 0;
    };
    Entry &entry(const kernel::Shape &shape);

    std::map<const void *, Entry> m_entries;
    std::uint64_t m_sweep = 0;
};

}  // namespace diekit::studio
