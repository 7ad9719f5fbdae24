// Point and pair tests: distances, point containment and interference between bodies.
#include "kernel/occ.hpp"

#include <BRepBuilderAPI_MakeVertex.hxx>
#include <BRepClass3d_SolidClassifier.hxx>
#include <BRepExtrema_DistShapeShape.hxx>
#include <Bnd_Box.hxx>
#include <TopExp.hxx>
#include <TopTools_IndexedMapOfShape.hxx>

#include <algorithm>

namespace diekit::kernel {

using namespace detail;

namespace {

double distance_between(const char *op, const TopoDS_Shape &a, const TopoDS_Shape &b) {
    BRepExtrema_DistShapeShape extrema(a, b);
    if (!extrema.IsDone()) fail(op, "the kernel could not compute the distance");
    return extrema.Value();
}

}  // namespace

double distance(const Shape &shape, const Vec3 &point) {
    constexpr const char *op = "distance";
    return guarded(op, [&] {
        const TopoDS_Shape &s = require(op, shape);
        return distance_between(op, s, BRepBuilderAPI_MakeVertex(to_pnt(point)).Vertex());
    });
}

double distance(const Shape &a, const Shape &b) {
    constexpr const char *op = "distance";
    return guarded(op, [&] {
        return distance_between(op, require(op, a, "first shape"), require(op, b, "second shape"));
    });
}

Where classify(const Shape &solid, const Vec3 &point) {
    constexpr const char *op = "point containment";
    return guarded(op, [&] {
        TopTools_IndexedMapOfShape solids;
        TopExp::MapShapes(require(op, solid, "body"), TopAbs_SOLID, solids);
        if (solids.Extent() == 0) fail(op, "the body has no solid");
        bool on = false;
        for (int i = 1; i <= solids.Extent(); ++i) {
            BRepClass3d_SolidClassifier classifier(solids(i), to_pnt(point), kTolerance);
            switch (classifier.State()) {
            case TopAbs_IN: return Where::Inside;
            case TopAbs_ON: on = true; break;
            case TopAbs_OUT: break;
            default: fail(op, "the kernel could not classify the point");
            }
        }
        return on ? Where::On : Where::Outside;
    });
}

Interference interference(const Shape &a, const Shape &b) {
    constexpr const char *op = "interference";
    return guarded(op, [&] {
        const TopoDS_Shape &first = require(op, a, "first body");
        const TopoDS_Shape &second = require(op, b, "second body");

        // Boxes further apart than the tolerance settle it without a boolean.
        Bnd_Box box_a = loose_box(first), box_b = loose_box(second);
        if (box_a.IsVoid() || box_b.IsVoid()) fail(op, "a body is empty");
        box_a.Enlarge(kTolerance);
        if (box_a.IsOut(box_b)) return Interference::Apart;

        // Shared volume must be more than round-off of the smaller body.
        const double smaller = std::min(volume(a), volume(b));
        const double threshold = std::max(1e-9, 1e-9 * smaller);
        if (volume(common(a, b)) > threshold) return Interference::Shared;
        return distance_between(op, first, second) <= kTolerance ? Interference::Touching : Interference::Apart;
    });
}

}  // namespace diekit::kernel
