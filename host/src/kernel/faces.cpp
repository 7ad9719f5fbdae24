// Surface properties with curvature, and boxes aligned with a frame.
#include "kernel/faces.hpp"
#include "kernel/occ.hpp"

#include <BRepAdaptor_Surface.hxx>
#include <BRepBuilderAPI_Transform.hxx>
#include <BRepLProp_SLProps.hxx>
#include <BRepTools.hxx>
#include <TopoDS.hxx>
#include <gp_Ax3.hxx>
#include <gp_Trsf.hxx>

#include <algorithm>
#include <cmath>
#include <string>

namespace diekit::kernel {

using namespace detail;

namespace {

// Radius of a principal curvature measured against the outward normal: OCCT's curvature is negative
// where the surface turns away from its normal (a convex face), so the radius is -1/k.
double radius_of(double outward_curvature) {
    if (std::abs(outward_curvature) < 1e-12) return 0.0;
    return -1.0 / outward_curvature;
}

void require_in_range(const char *op, double value, double lo, double hi, const char *name) {
    if (!std::isfinite(value)) fail(op, std::string(name) + " parameter is not finite");
    const double slack = kTolerance * std::max(1.0, std::max(std::abs(lo), std::abs(hi)));
    if (value < lo - slack || value > hi + slack)
        fail(op, std::string(name) + " parameter " + std::to_string(value) + " lies outside the face's range [" +
                     std::to_string(lo) + ", " + std::to_string(hi) + "]");
}

}  // namespace

SurfaceProps surface_props(const Shape &face, double u, double v) {
    constexpr const char *op = "face properties";
    return guarded(op, [&] {
        const TopoDS_Shape &s = require(op, face, "face");
        if (s.ShapeType() != TopAbs_FACE) fail(op, "the shape is not a face");
        const TopoDS_Face &f = TopoDS::Face(s);
        double umin = 0, umax = 0, vmin = 0, vmax = 0;
        BRepTools::UVBounds(f, umin, umax, vmin, vmax);
        require_in_range(op, u, umin, umax, "u");
        require_in_range(op, v, vmin, vmax, "v");

        BRepAdaptor_Surface surface(f, false);
        BRepLProp_SLProps props(surface, u, v, 2, kTolerance);
        if (!props.IsNormalDefined()) fail(op, "the normal is undefined at this point");
        const bool reversed = f.Orientation() == TopAbs_REVERSED;
        gp_Dir normal = props.Normal();
        if (reversed) normal.Reverse();

        SurfaceProps result;
        result.point = to_vec3(props.Value());
        result.du = to_vec3(props.D1U());
        result.dv = to_vec3(props.D1V());
        result.d2u = to_vec3(props.D2U());
        result.d2v = to_vec3(props.D2V());
        result.normal = to_vec3(normal);
        if (props.IsCurvatureDefined()) {
            // Curvatures are signed against the surface's own normal; flip them with the face.
            double k1 = props.MaxCurvature(), k2 = props.MinCurvature();
            if (reversed) {
                k1 = -k1;
                k2 = -k2;
            }
            if (std::abs(k2) > std::abs(k1)) std::swap(k1, k2);
            result.radii[0] = radius_of(k1);
            result.radii[1] = radius_of(k2);
        }
        return result;
    });
}

Box bounding_box_in(const Shape &shape, const Frame &frame) {
    constexpr const char *op = "aligned bounding box";
    const TopoDS_Shape local = guarded(op, [&] {
        const TopoDS_Shape &s = require(op, shape);
        const gp_Dir z = to_dir(op, frame.z, "frame z axis");
        const gp_Dir x = to_dir(op, frame.x, "frame x axis");
        if (z.IsParallel(x, 1e-9)) fail(op, "frame x and z axes are parallel");
        // Absolute coordinates to the frame's coordinates; a location only, so the geometry is exact.
        gp_Trsf to_frame;
        to_frame.SetTransformation(gp_Ax3(to_pnt(frame.origin), z, x));
        BRepBuilderAPI_Transform transform(s, to_frame, false);
        if (!transform.IsDone()) fail(op, "the kernel could not move the shape into the frame");
        return transform.Shape();
    });
    return bounding_box(Shape(local));
}

}  // namespace diekit::kernel
