#include "kernel/picking.hpp"

#include "kernel/occ.hpp"

#include <BRepBuilderAPI_MakeVertex.hxx>
#include <BRepExtrema_DistShapeShape.hxx>
#include <BRep_Tool.hxx>
#include <ShapeAnalysis_Surface.hxx>
#include <TopoDS.hxx>

namespace diekit::kernel {

using namespace detail;

namespace {

gp_Pnt nearest_on(const char *op, const TopoDS_Shape &shape, const Vec3 &point) {
    BRepExtrema_DistShapeShape extrema(BRepBuilderAPI_MakeVertex(to_pnt(point)).Vertex(), shape);
    if (!extrema.IsDone() || extrema.NbSolution() < 1) fail(op, "the kernel found no nearest point");
    return extrema.PointOnShape2(1);
}

}  // namespace

Vec3 closest_point(const Shape &shape, const Vec3 &point) {
    constexpr const char *op = "closest point";
    return guarded(op, [&] { return to_vec3(nearest_on(op, require(op, shape), point)); });
}

Vec3 normal_near(const Shape &face, const Vec3 &point) {
    constexpr const char *op = "face normal";
    const gp_Pnt on = guarded(op, [&] {
        const TopoDS_Shape &f = require(op, face, "face");
        if (f.ShapeType() != TopAbs_FACE) fail(op, "the shape is not a face");
        return nearest_on(op, f, point);
    });
    const gp_Pnt2d uv = guarded(op, [&] {
        ShapeAnalysis_Surface surface(BRep_Tool::Surface(TopoDS::Face(face.occ())));
        return surface.ValueOfUV(on, kTolerance);
    });
    return face_props(face, uv.X(), uv.Y()).normal;
}

}  // namespace diekit::kernel
