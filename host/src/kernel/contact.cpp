// Contact of two bodies: faces far from the other body are left out of the distance, and the boolean
// runs only when the boundaries meet or one body lies inside the other.
#include "kernel/contact.hpp"

#include "kernel/occ.hpp"

#include <BRepBndLib.hxx>
#include <BRepClass3d_SolidClassifier.hxx>
#include <BRepExtrema_DistShapeShape.hxx>
#include <BRep_Builder.hxx>
#include <BRep_Tool.hxx>
#include <Bnd_Box.hxx>
#include <TopExp.hxx>
#include <TopExp_Explorer.hxx>
#include <TopTools_IndexedMapOfShape.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Compound.hxx>

#include <memory>
#include <vector>

namespace diekit::kernel {

using namespace detail;

namespace {

constexpr const char *kOp = "contact";

Bnd_Box box_of(const TopoDS_Shape &shape) {
    Bnd_Box box;
    BRepBndLib::Add(shape, box, false);
    return box;
}

// The faces of shape whose boxes come within the tolerance of `near`; false when there are none.
bool faces_near(const TopoDS_Shape &shape, const Bnd_Box &near, TopoDS_Compound &faces) {
    BRep_Builder builder;
    builder.MakeCompound(faces);
    bool any = false;
    for (TopExp_Explorer it(shape, TopAbs_FACE); it.More(); it.Next()) {
        if (box_of(it.Current()).IsOut(near)) continue;
        builder.Add(faces, it.Current());
        any = true;
    }
    return any;
}

// Whether a vertex of `from` inside the box `near` lies on the boundary of `to`: the usual way die
// parts meet (plates stacked corner on corner, inserts in their pockets), found without a distance.
bool vertex_on_boundary(const TopoDS_Shape &from, const Bnd_Box &near, const TopoDS_Shape &to) {
    std::vector<std::unique_ptr<BRepClass3d_SolidClassifier>> classifiers;  // not copyable
    for (TopExp_Explorer solid(to, TopAbs_SOLID); solid.More(); solid.Next())
        classifiers.push_back(std::make_unique<BRepClass3d_SolidClassifier>(solid.Current()));
    TopTools_IndexedMapOfShape vertices;
    TopExp::MapShapes(from, TopAbs_VERTEX, vertices);
    for (int i = 1; i <= vertices.Extent(); ++i) {
        const gp_Pnt point = BRep_Tool::Pnt(TopoDS::Vertex(vertices(i)));
        if (near.IsOut(point)) continue;
        for (auto &classifier : classifiers) {
            classifier->Perform(point, kTolerance);
            if (classifier->State() == TopAbs_ON) return true;
        }
    }
    return false;
}

// Whether some solid of `inner` has a vertex strictly inside `outer` (its boundary being apart from
// outer's, that solid then lies wholly inside).
bool some_solid_inside(const TopoDS_Shape &inner, const TopoDS_Shape &outer) {
    for (TopExp_Explorer solid(inner, TopAbs_SOLID); solid.More(); solid.Next()) {
        TopExp_Explorer vertex(solid.Current(), TopAbs_VERTEX);
        if (!vertex.More()) continue;
        gp_Pnt point = BRep_Tool::Pnt(TopoDS::Vertex(vertex.Current()));
        for (TopExp_Explorer container(outer, TopAbs_SOLID); container.More(); container.Next()) {
            BRepClass3d_SolidClassifier classifier(container.Current(), point, kTolerance);
            if (classifier.State() == TopAbs_IN) return true;
        }
    }
    return false;
}

}  // namespace

Contact contact(const Shape &a, const Shape &b, bool with_volume) {
    return guarded(kOp, [&] {
        const TopoDS_Shape &first = require(kOp, a, "first body");
        const TopoDS_Shape &second = require(kOp, b, "second body");
        Contact result;
        Bnd_Box box_a = box_of(first), box_b = box_of(second);
        if (box_a.IsVoid() || box_b.IsVoid()) return result;
        box_a.Enlarge(kTolerance);
        box_b.Enlarge(kTolerance);
        if (box_a.IsOut(box_b)) return result;

        // A vertex on the other body settles it; else only faces near the other body can come within the
        // tolerance of it.
        TopoDS_Compound near_a, near_b;
        if (vertex_on_boundary(second, box_a, first) || vertex_on_boundary(first, box_b, second)) {
            result.boundaries_meet = true;
        } else if (faces_near(first, box_b, near_a) && faces_near(second, box_a, near_b)) {
            BRepExtrema_DistShapeShape extrema(near_a, near_b);
            if (!extrema.IsDone()) fail(kOp, "the kernel could not compute the distance");
            result.boundaries_meet = extrema.Value() <= kTolerance;
        }
        // Boundaries apart: the bodies share volume only when one lies inside the other.
        if (with_volume &&
            (result.boundaries_meet || some_solid_inside(first, second) || some_solid_inside(second, first)))
            result.shared_volume = volume(common(a, b));
        return result;
    });
}

}  // namespace diekit::kernel
