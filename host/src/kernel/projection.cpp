// Nearest points on faces.
#include "kernel/projection.hpp"

#include "kernel/occ.hpp"

#include <BRepBuilderAPI_MakeVertex.hxx>
#include <BRepExtrema_DistShapeShape.hxx>
#include <BRepTools.hxx>
#include <BRep_Tool.hxx>
#include <Geom_Surface.hxx>
#include <Precision.hxx>
#include <ShapeAnalysis_Surface.hxx>
#include <TopoDS.hxx>
#include <gp_Pnt2d.hxx>

#include <cmath>

namespace diekit::kernel {

using namespace detail;

namespace {

// Moves a periodic parameter by whole periods into [low, high] when that is possible.
double into_range(double value, bool periodic, double period, double low, double high) {
    if (!periodic || period <= 0) return value;
    const double tolerance = 1e-9;
    while (value < low - tolerance) value += period;
    while (value > high + tolerance) value -= period;
    return value;
}

}  // namespace

FacePoint nearest_on_face(const Shape &face, const Vec3 &point) {
    constexpr const char *op = "face projection";
    return guarded(op, [&] {
        const TopoDS_Shape &shape = require(op, face, "face");
        if (shape.ShapeType() != TopAbs_FACE) fail(op, "the shape is not a face");
        const TopoDS_Face &f = TopoDS::Face(shape);

        BRepExtrema_DistShapeShape extrema(BRepBuilderAPI_MakeVertex(to_pnt(point)).Vertex(), f);
        if (!extrema.IsDone() || extrema.NbSolution() == 0) fail(op, "the kernel found no nearest point");
        const gp_Pnt nearest = extrema.PointOnShape2(1);

        // Parameters of the nearest point on the face's surface (absolute placement applied).
        Handle(Geom_Surface) surface = BRep_Tool::Surface(f);
        if (surface.IsNull()) fail(op, "the face has no surface");
        Handle(ShapeAnalysis_Surface) analysis = new ShapeAnalysis_Surface(surface);
        const gp_Pnt2d uv = analysis->ValueOfUV(nearest, Precision::Confusion());
        double umin = 0, umax = 0, vmin = 0, vmax = 0;
        BRepTools::UVBounds(f, umin, umax, vmin, vmax);
        FacePoint result;
        result.u = into_range(uv.X(), surface->IsUPeriodic(), surface->IsUPeriodic() ? surface->UPeriod() : 0, umin, umax);
        result.v = into_range(uv.Y(), surface->IsVPeriodic(), surface->IsVPeriodic() ? surface->VPeriod() : 0, vmin, vmax);
        result.point = to_vec3(nearest);
        return result;
    });
}

}  // namespace diekit::kernel
