// What lets the interference report answer a pair without the kernel's pair tests: copies of one
// B-rep placed alike, the same B-rep at the same place, blocks along the axes.
#include "kernel/contact.hpp"

#include "kernel/occ.hpp"

#include <BRepAdaptor_Surface.hxx>
#include <TopExp.hxx>
#include <TopTools_IndexedMapOfShape.hxx>
#include <TopoDS.hxx>
#include <gp_Mat.hxx>
#include <gp_Trsf.hxx>

#include <algorithm>
#include <cmath>

namespace diekit::kernel {

using namespace detail;

namespace {

bool close(double a, double b) { return std::abs(a - b) <= 1e-9 * std::max({1.0, std::abs(a), std::abs(b)}); }

}  // namespace

PairKey pair_key(const Shape &a, const Shape &b) {
    PairKey key;
    if (a.is_null() || b.is_null()) return key;
    const TopoDS_Shape &first = a.occ(), &second = b.occ();
    key.first = first.TShape().get();
    key.second = second.TShape().get();
    const gp_Trsf ta = first.Location().Transformation(), tb = second.Location().Transformation();
    const gp_Mat ra = ta.VectorialPart(), rb = tb.VectorialPart();
    std::size_t k = 0;
    for (const gp_Mat *m : {&ra, &rb})
        for (int row = 1; row <= 3; ++row)
            for (int column = 1; column <= 3; ++column) key.placement[k++] = m->Value(row, column);
    const gp_XYZ offset = tb.TranslationPart() - ta.TranslationPart();
    key.placement[k++] = offset.X();
    key.placement[k++] = offset.Y();
    key.placement[k++] = offset.Z();
    return key;
}

bool same_shape(const Shape &a, const Shape &b) {
    return !a.is_null() && !b.is_null() && a.occ().IsSame(b.occ());
}

bool is_axis_block(const Shape &shape) {
    return guarded("block test", [&] {
        if (shape.is_null()) return false;
        const TopoDS_Shape &solid = shape.occ();
        if (solid.ShapeType() != TopAbs_SOLID) return false;
        TopTools_IndexedMapOfShape faces;
        TopExp::MapShapes(solid, TopAbs_FACE, faces);
        if (faces.Extent() != 6) return false;
        for (int i = 1; i <= faces.Extent(); ++i)
            if (BRepAdaptor_Surface(TopoDS::Face(faces(i)), false).GetType() != GeomAbs_Plane) return false;
        // Six planes bounding all of the box's volume are the box's own sides.
        const Box box = bounding_box(shape);
        const double box_volume = (box[3] - box[0]) * (box[4] - box[1]) * (box[5] - box[2]);
        return box_volume > 0 && close(volume(shape), box_volume);
    });
}

}  // namespace diekit::kernel
