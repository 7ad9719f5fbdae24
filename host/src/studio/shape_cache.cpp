#include "studio/shape_cache.hpp"

namespace diekit::studio {

namespace {
// Sweeps an unused entry survives: an undo followed by a redo finds its meshes still there.
constexpr std::uint64_t kKeptSweeps = 4;
}  // namespace

ShapeCache::Entry &ShapeCache::entry(const kernel::Shape &shape) {
    Entry &e = m_entries[shape.data()];
    if (e.shape.is_null()) e.shape = shape;
    e.used = m_sweep;
    return e;
}

const kernel::Tessellation &ShapeCache::mesh(const kernel::Shape &shape) {
    Entry &e = entry(shape);
    if (!e.mesh) e.mesh = kernel::tessellate(shape);
    return *e.mesh;
}

const kernel::Box &ShapeCache::box(const kernel::Shape &shape) {
    Entry &e = entry(shape);
    if (!e.box) e.box = kernel::bounding_box(shape);
    return *e.box;
}

void ShapeCache::sweep() {
    for (auto it = m_entries.begin(); it != m_entries.end();)
        it = it->second.used + kKeptSweeps < m_sweep + 1 ? m_entries.erase(it) : std::next(it);
    ++m_sweep;
}

}  // namespace diekit::studio
