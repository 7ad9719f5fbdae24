// Contact of two bodies: faces far from the other body are left out of the distance, and the boolean
// runs only when the boundaries meet or one body lies inside the other.
#include "kernel/contact.hpp"

#include "kernel/contact_index.hpp"
#include "kernel/held_cut.hpp"

#include <BRepAdaptor_Curve.hxx>
#include <BRepAdaptor_Surface.hxx>
#include <BRepTools.hxx>
#include <BRepClass3d_SolidClassifier.hxx>
#include <BRepClass_FaceClassifier.hxx>
#include <BRepExtrema_DistShapeShape.hxx>
#include <BRep_Builder.hxx>
#include <BRep_Tool.hxx>
#include <Bnd_Box.hxx>
#include <ElCLib.hxx>
#include <ElSLib.hxx>
#include <TopExp.hxx>
#include <TopExp_Explorer.hxx>
#include <TopTools_IndexedMapOfShape.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Compound.hxx>
#include <TopoDS_Face.hxx>
#include <TopoDS_Wire.hxx>
#include <gp_Circ.hxx>
#include <gp_Cylinder.hxx>
#include <gp_Lin.hxx>
#include <gp_Pln.hxx>
#include <gp_Pnt2d.hxx>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace diekit::kernel {

using namespace detail;

namespace {

constexpr const char *kOp = "contact";

const ContactIndex *index_of(const Shape &shape) { return shape.data() ? shape.data()->contacts.get() : nullptr; }

// A face near the other body, with its box grown by the tolerance and its surface when plain.
struct NearFace {
    TopoDS_Face face;
    Bnd_Box box;
    GeomAbs_SurfaceType type = GeomAbs_OtherSurface;
    gp_Pln plane;          // when type is GeomAbs_Plane
    gp_Cylinder cylinder;  // when type is GeomAbs_Cylinder

    NearFace(const TopoDS_Face &f, const Bnd_Box &b) : face(f), box(b) {
        const BRepAdaptor_Surface surface(face, false);
        type = surface.GetType();
        if (type == GeomAbs_Plane) plane = surface.Plane();
        if (type == GeomAbs_Cylinder) cylinder = surface.Cylinder();
    }
};

// The faces of shape whose boxes, grown by the tolerance, meet `near`, each with that grown box.
std::vector<NearFace> faces_near(const TopoDS_Shape &shape, const ContactIndex *index, const Bnd_Box &near) {
    std::vector<NearFace> faces;
    auto take = [&](const TopoDS_Shape &face, Bnd_Box box) {
        box.Enlarge(kTolerance);
        if (!box.IsOut(near)) faces.emplace_back(TopoDS::Face(face), box);
    };
    if (index)
        for (std::size_t i = 0; i < index->faces.size(); ++i) take(index->faces[i], index->face_boxes[i]);
    else
        for (TopExp_Explorer it(shape, TopAbs_FACE); it.More(); it.Next()) take(it.Current(), loose_box(it.Current()));
    return faces;
}

// A planar face across a cylinder's axis keeps away from the cylinder when the axis passes through a
// round hole of the face wider than the cylinder, or through a round face narrower than it: every
// point of the face is then further from (or nearer to) the axis than every point of the cylinder.
double radial_gap(const TopoDS_Face &face, const gp_Cylinder &cylinder) {
    const TopoDS_Wire outer = BRepTools::OuterWire(face);
    const gp_Lin axis(cylinder.Axis());
    double gap = 0;
    for (TopExp_Explorer wire(face, TopAbs_WIRE); wire.More(); wire.Next()) {
        TopExp_Explorer edge(wire.Current(), TopAbs_EDGE);
        if (!edge.More()) continue;
        const BRepAdaptor_Curve curve(TopoDS::Edge(edge.Current()));
        edge.Next();
        // One full circle around the axis: a round hole, or the round outline of the face.
        if (edge.More() || curve.GetType() != GeomAbs_Circle) continue;
        const gp_Circ circle = curve.Circle();
        if (axis.Distance(circle.Location()) > 1e-12 * std::max(1.0, circle.Radius())) continue;
        const bool hole = !wire.Current().IsSame(outer);
        gap = std::max(gap, hole ? circle.Radius() - cylinder.Radius() : cylinder.Radius() - circle.Radius());
    }
    return gap;
}

// A lower bound of the distance between the faces' whole surfaces where it is plain (parallel planes,
// parallel cylinders, a plane and a cylinder along it); 0 when unknown. Many pairs in a die are such
// (a rod in its hole, a pillar in its bushing), and the kernel's distance finds them slowly: every
// point of two coaxial cylinders is a nearest point.
double surface_gap(const NearFace &a, const NearFace &b) {
    const bool plane_a = a.type == GeomAbs_Plane, plane_b = b.type == GeomAbs_Plane;
    const bool cylinder_a = a.type == GeomAbs_Cylinder, cylinder_b = b.type == GeomAbs_Cylinder;
    constexpr double parallel = 1e-12;
    if (plane_a && plane_b) {
        if (!a.plane.Axis().Direction().IsParallel(b.plane.Axis().Direction(), parallel)) return 0;
        return a.plane.Distance(b.plane.Location());
    }
    if (cylinder_a && cylinder_b) {
        const gp_Cylinder &ca = a.cylinder, &cb = b.cylinder;
        if (!ca.Axis().Direction().IsParallel(cb.Axis().Direction(), parallel)) return 0;
        const double axes = gp_Lin(ca.Axis()).Distance(cb.Location());
        const double ra = ca.Radius(), rb = cb.Radius();
        return std::max({0.0, std::abs(ra - rb) - axes, axes - ra - rb});
    }
    if ((plane_a && cylinder_b) || (cylinder_a && plane_b)) {
        const gp_Pln &plane = plane_a ? a.plane : b.plane;
        const gp_Cylinder &cylinder = cylinder_a ? a.cylinder : b.cylinder;
        if (plane.Axis().Direction().IsParallel(cylinder.Axis().Direction(), parallel))
            return radial_gap(plane_a ? a.face : b.face, cylinder);
        if (!plane.Axis().Direction().IsNormal(cylinder.Axis().Direction(), parallel)) return 0;
        return std::max(0.0, plane.Distance(cylinder.Location()) - cylinder.Radius());
    }
    return 0;
}

// A lower bound of the distance from a point to the face's whole surface where it is plain; 0 otherwise.
double point_gap(const NearFace &face, const gp_Pnt &point) {
    if (face.type == GeomAbs_Plane) return face.plane.Distance(point);
    if (face.type == GeomAbs_Cylinder)
        return std::abs(gp_Lin(face.cylinder.Axis()).Distance(point) - face.cylinder.Radius());
    return 0;
}

// Whether some face of one list comes within the tolerance of some face of the other.
bool faces_meet(const std::vector<NearFace> &near_a, const std::vector<NearFace> &near_b) {
    for (const NearFace &a : near_a) {
        for (const NearFace &b : near_b) {
            if (a.box.IsOut(b.box) || surface_gap(a, b) > kTolerance) continue;
            BRepExtrema_DistShapeShape extrema(a.face, b.face);
            if (!extrema.IsDone()) fail(kOp, "the kernel could not compute the distance");
            if (extrema.Value() <= kTolerance) return true;
        }
    }
    return false;
}

// Point classification against every solid of a shape, or through its contact index.
// The classifiers are made on the first question: many contacts are settled without one.
class Classifier {
public:
    Classifier(const TopoDS_Shape &shape, const ContactIndex *index) : m_shape(shape), m_index(index) {}
    // IN when inside some solid, else ON when on the boundary of some solid, else OUT.
    TopAbs_State state(const gp_Pnt &point) {
        if (!m_made) make();
        if (m_indexed) return m_indexed->state(point);
        TopAbs_State found = TopAbs_OUT;
        for (auto &solid : m_solids) {
            solid->Perform(point, kTolerance);
            if (solid->State() == TopAbs_IN) return TopAbs_IN;
            if (solid->State() == TopAbs_ON) found = TopAbs_ON;
        }
        return found;
    }

private:
    void make() {
        m_made = true;
        if (m_index) {
            m_indexed = std::make_unique<IndexedClassifier>(*m_index);
            return;
        }
        for (TopExp_Explorer solid(m_shape, TopAbs_SOLID); solid.More(); solid.Next())
            m_solids.push_back(std::make_unique<BRepClass3d_SolidClassifier>(solid.Current()));
    }

    const TopoDS_Shape &m_shape;
    const ContactIndex *m_index;
    bool m_made = false;
    std::unique_ptr<IndexedClassifier> m_indexed;
    std::vector<std::unique_ptr<BRepClass3d_SolidClassifier>> m_solids;  // not copyable
};

// Whether a point on the surface of a plane or cylinder face lies on the face: its parameters on the
// surface fall inside the face's outline (within the tolerance). A cylinder's angle is taken in the
// face's own range of it.
bool on_plain_face(const NearFace &face, const gp_Pnt &point) {
    double u = 0, v = 0;
    if (face.type == GeomAbs_Plane) {
        ElSLib::Parameters(face.plane, point, u, v);
    } else {
        ElSLib::Parameters(face.cylinder, point, u, v);
        double u_min, u_max, v_min, v_max;
        BRepTools::UVBounds(face.face, u_min, u_max, v_min, v_max);
        u = ElCLib::InPeriod(u, u_min - kTolerance, u_min - kTolerance + 2 * M_PI);
    }
    return BRepClass_FaceClassifier(face.face, gp_Pnt2d(u, v), kTolerance).State() != TopAbs_OUT;
}

// Whether a vertex of `from` inside the box `near` lies on the boundary of `to` (whose faces near
// `from` are to_faces): the usual way die parts meet (plates stacked corner on corner, inserts in their
// pockets), found without a distance. Only a point near some face's box and surface can be on it; on a
// plane or cylinder face the face's outline tells, and the solid classifier only when another face is
// near. A point found on no face here may still be within the tolerance of one (faces_meet decides).
bool vertex_on_boundary(const TopoDS_Shape &from, const ContactIndex *from_index, const Bnd_Box &near,
                        const std::vector<NearFace> &to_faces, Classifier &to) {
    auto on = [&](const gp_Pnt &point) {
        if (near.IsOut(point)) return false;
        bool other_surface = false;
        for (const NearFace &face : to_faces) {
            if (face.box.IsOut(point) || point_gap(face, point) > kTolerance) continue;
            if (face.type != GeomAbs_Plane && face.type != GeomAbs_Cylinder) other_surface = true;
            else if (on_plain_face(face, point)) return true;
        }
        return other_surface && to.state(point) == TopAbs_ON;
    };
    if (from_index) return std::any_of(from_index->vertices.begin(), from_index->vertices.end(), on);
    TopTools_IndexedMapOfShape vertices;
    TopExp::MapShapes(from, TopAbs_VERTEX, vertices);
    for (int i = 1; i <= vertices.Extent(); ++i)
        if (on(BRep_Tool::Pnt(TopoDS::Vertex(vertices(i))))) return true;
    return false;
}

// Whether some solid of `inner` has a vertex strictly inside `outer` (its boundary being apart from
// outer's, that solid then lies wholly inside).
bool some_solid_inside(const TopoDS_Shape &inner, Classifier &outer) {
    for (TopExp_Explorer solid(inner, TopAbs_SOLID); solid.More(); solid.Next()) {
        TopExp_Explorer vertex(solid.Current(), TopAbs_VERTEX);
        if (vertex.More() && outer.state(BRep_Tool::Pnt(TopoDS::Vertex(vertex.Current()))) == TopAbs_IN) return true;
    }
    return false;
}

// The volume a and b share. An indexed body meets a small one piece by piece, near it only.
double shared_volume(const Shape &a, const Shape &b, const Bnd_Box &box_b) {
    const ContactIndex *index = index_of(a);
    if (!index || index_of(b)) return volume(common(a, b));
    double total = 0;
    for (std::size_t i = 0; i < index->pieces.size(); ++i)
        if (!index->piece_boxes[i].IsOut(box_b)) total += volume(common(Shape(index->pieces[i]), b));
    return total;
}

}  // namespace

Contact contact(const Shape &a, const Shape &b, bool with_volume) {
    return guarded(kOp, [&] {
        const TopoDS_Shape &first = require(kOp, a, "first body");
        const TopoDS_Shape &second = require(kOp, b, "second body");
        Contact result;
        Bnd_Box box_a = loose_box(first), box_b = loose_box(second);
        if (box_a.IsVoid() || box_b.IsVoid()) return result;
        box_a.Enlarge(kTolerance);
        box_b.Enlarge(kTolerance);
        if (box_a.IsOut(box_b)) return result;

        // A vertex on the other body settles it; else only faces near the other body can come within the
        // tolerance of it.
        const ContactIndex *index_a = index_of(a), *index_b = index_of(b);
        const std::vector<NearFace> near_a = faces_near(first, index_a, box_b), near_b = faces_near(second, index_b, box_a);
        Classifier inside_a(first, index_a), inside_b(second, index_b);
        result.boundaries_meet = vertex_on_boundary(second, index_b, box_a, near_a, inside_a) ||
                                 vertex_on_boundary(first, index_a, box_b, near_b, inside_b) || faces_meet(near_a, near_b);
        // Boundaries apart: the bodies share volume only when one lies inside the other.
        result.may_share =
            result.boundaries_meet || some_solid_inside(first, inside_b) || some_solid_inside(second, inside_a);
        if (with_volume && result.may_share)
            result.shared_volume = index_b && !index_a ? shared_volume(b, a, box_a) : shared_volume(a, b, box_b);
        return result;
    });
}

bool touches(const Shape &a, const Shape &b) {
    return guarded(kOp, [&] {
        // A held-back cut lies within its base: its box answers without running the cut.
        auto quick_box = [](const Shape &shape, const char *what) {
            return is_held(shape) ? loose_box(shape.data()->held->base->solid, kTolerance)
                                  : loose_box(require(kOp, shape, what), kTolerance);
        };
        if (quick_box(a, "first body").IsOut(quick_box(b, "second body"))) return false;
        return contact(a, b, false).may_share;
    });
}

void prepare_contacts(const Shape &shape) {
    ShapeData *data = shape.data();
    if (!data || data->contacts) return;
    try {
        data->contacts = guarded(kOp, [&] { return build_contact_index(require(kOp, shape)); });
    } catch (const KernelError &) {
        // Only a shortcut: contacts then take the whole body, as without it.
    }
}

}  // namespace diekit::kernel
