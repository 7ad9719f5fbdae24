#include "kernel/mesh.hpp"

#include "kernel/occ.hpp"

// BRepMesh's headers mix enumeration types in bitwise operations (OCCT 7.6).
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-enum-enum-conversion"
#include <BRepMesh_IncrementalMesh.hxx>
#pragma GCC diagnostic pop

#include <BRepAdaptor_Curve.hxx>
#include <BRepAdaptor_Surface.hxx>
#include <BRepBuilderAPI_Copy.hxx>
#include <BRep_Tool.hxx>
#include <GCPnts_TangentialDeflection.hxx>
#include <Poly_Triangulation.hxx>
#include <TopExp.hxx>
#include <TopLoc_Location.hxx>
#include <TopTools_IndexedMapOfShape.hxx>
#include <TopoDS.hxx>

#include <algorithm>
#include <cmath>
#include <limits>

namespace diekit::kernel {

using namespace detail;

namespace {

constexpr const char *kOp = "mesh";

// A deflection fine enough for a screw and coarse enough for a die shoe: 1/500 of the diagonal.
double default_deflection(const TopoDS_Shape &shape) {
    Bnd_Box box = loose_box(shape);
    if (box.IsVoid()) return 0.1;
    return std::clamp(std::sqrt(box.SquareExtent()) / 500.0, 0.005, 1.0);
}

class Builder {
public:
    explicit Builder(Tessellation &out) : m_out(out) {}

    void add_face(const TopoDS_Face &face) {
        const auto first = static_cast<std::uint32_t>(m_out.triangles.size() / 3);
        TopLoc_Location location;
        Handle(Poly_Triangulation) mesh = BRep_Tool::Triangulation(face, location);
        if (!mesh.IsNull()) add_triangles(face, *mesh, location);
        m_out.faces.push_back({first, static_cast<std::uint32_t>(m_out.triangles.size() / 3) - first});
    }

    void add_edge(const TopoDS_Edge &edge, const MeshOptions &options, double deflection) {
        const auto first = static_cast<std::uint32_t>(m_out.segments.size() / 2);
        if (!BRep_Tool::Degenerated(edge) && BRep_Tool::IsGeometric(edge)) {
            BRepAdaptor_Curve curve(edge);
            GCPnts_TangentialDeflection points(curve, options.angle, deflection);
            const auto base = static_cast<std::uint32_t>(m_out.line_positions.size() / 3);
            for (int i = 1; i <= points.NbPoints(); ++i) push(m_out.line_positions, points.Value(i));
            for (int i = 1; i < points.NbPoints(); ++i) {
                m_out.segments.push_back(base + i - 1);
                m_out.segments.push_back(base + i);
            }
        }
        m_out.edges.push_back({first, static_cast<std::uint32_t>(m_out.segments.size() / 2) - first});
    }

    void finish() {
        Box box{std::numeric_limits<double>::max(), std::numeric_limits<double>::max(),
                std::numeric_limits<double>::max(), -std::numeric_limits<double>::max(),
                -std::numeric_limits<double>::max(), -std::numeric_limits<double>::max()};
        bool any = false;
        for (auto *list : {&m_out.positions, &m_out.line_positions})
            for (std::size_t i = 0; i + 2 < list->size(); i += 3) {
                any = true;
                for (int axis = 0; axis < 3; ++axis) {
                    box[axis] = std::min(box[axis], double((*list)[i + axis]));
                    box[axis + 3] = std::max(box[axis + 3], double((*list)[i + axis]));
                }
            }
        if (any) m_out.box = box;
    }

private:
    static void push(std::vector<float> &list, const gp_XYZ &v) {
        list.push_back(static_cast<float>(v.X()));
        list.push_back(static_cast<float>(v.Y()));
        list.push_back(static_cast<float>(v.Z()));
    }
    static void push(std::vector<float> &list, const gp_Pnt &p) { push(list, p.XYZ()); }

    void add_triangles(const TopoDS_Face &face, const Poly_Triangulation &mesh, const TopLoc_Location &location) {
        const gp_Trsf placement = location.Transformation();
        const bool reversed = face.Orientation() == TopAbs_REVERSED;
        const auto base = static_cast<std::uint32_t>(m_out.positions.size() / 3);
        BRepAdaptor_Surface surface(face, false);
        for (int i = 1; i <= mesh.NbNodes(); ++i) {
            push(m_out.positions, mesh.Node(i).Transformed(placement));
            push(m_out.normals, node_normal(surface, mesh, i, reversed));
        }
        for (int i = 1; i <= mesh.NbTriangles(); ++i) {
            int a, b, c;
            mesh.Triangle(i).Get(a, b, c);
            if (reversed) std::swap(b, c);
            for (int n : {a, b, c}) m_out.triangles.push_back(base + static_cast<std::uint32_t>(n - 1));
        }
    }

    // The surface's normal at the node (oriented as the face), or +Z where it is undefined (an apex).
    // The adaptor places the surface with the face's location, as the nodes are placed.
    static gp_XYZ node_normal(const BRepAdaptor_Surface &surface, const Poly_Triangulation &mesh, int node,
                              bool reversed) {
        gp_XYZ normal(0, 0, 1);
        if (mesh.HasUVNodes()) {
            const gp_Pnt2d uv = mesh.UVNode(node);
            gp_Pnt p;
            gp_Vec du, dv;
            surface.D1(uv.X(), uv.Y(), p, du, dv);
            gp_Vec n = du.Crossed(dv);
            if (n.Magnitude() > 1e-12) normal = n.Normalized().XYZ();
        }
        return reversed ? normal.Reversed() : normal;
    }

    Tessellation &m_out;
};

}  // namespace

Tessellation tessellate(const Shape &shape, const MeshOptions &options) {
    return guarded(kOp, [&] {
        const TopoDS_Shape &original = require(kOp, shape);
        const double deflection = options.deflection > 0 ? options.deflection : default_deflection(original);

        TopTools_IndexedMapOfShape faces, edges;
        TopExp::MapShapes(original, TopAbs_FACE, faces);
        TopExp::MapShapes(original, TopAbs_EDGE, edges);

        Tessellation out;
        Builder builder(out);
        if (faces.Extent() > 0) {
            BRepBuilderAPI_Copy copier(original, false, false);
            if (!copier.IsDone()) fail(kOp, "the kernel could not copy the shape");
            BRepMesh_IncrementalMesh mesher(copier.Shape(), deflection, false, options.angle, true);
            if (!mesher.IsDone()) fail(kOp, "the kernel could not mesh the shape");
            for (int i = 1; i <= faces.Extent(); ++i) {
                TopoDS_Shape copy = copier.ModifiedShape(faces(i));
                copy.Orientation(faces(i).Orientation());
                builder.add_face(TopoDS::Face(copy));
            }
        }
        for (int i = 1; i <= edges.Extent(); ++i) builder.add_edge(TopoDS::Edge(edges(i)), options, deflection);
        builder.finish();
        return out;
    });
}

}  // namespace diekit::kernel
