// Primitive solids: blocks, cylinders and straight extrusions of polygons.
#include "kernel/occ.hpp"

#include <BRepBuilderAPI_MakeFace.hxx>
#include <BRepCheck_Analyzer.hxx>
#include <BRepBuilderAPI_MakePolygon.hxx>
#include <BRepPrimAPI_MakeBox.hxx>
#include <BRepPrimAPI_MakeCylinder.hxx>
#include <BRepPrimAPI_MakePrism.hxx>
#include <gp_Ax2.hxx>
#include <gp_Pln.hxx>

#include <cmath>

namespace diekit::kernel {

using namespace detail;

Shape make_box(const Frame &frame, const Vec3 &corner, double dx, double dy, double dz) {
    constexpr const char *op = "block";
    return guarded(op, [&] {
        require_positive(op, dx, "x length");
        require_positive(op, dy, "y length");
        require_positive(op, dz, "z length");
        const gp_Dir z = to_dir(op, frame.z, "frame z axis");
        const gp_Dir x = to_dir(op, frame.x, "frame x axis");
        if (z.IsParallel(x, 1e-9)) fail(op, "frame x and z axes are parallel");
        BRepPrimAPI_MakeBox maker(gp_Ax2(to_pnt(corner), z, x), dx, dy, dz);
        maker.Build();
        if (!maker.IsDone()) fail(op, "the kernel could not build the block");
        return fresh_solid(op, maker.Solid());
    });
}

Shape make_cylinder(const Vec3 &base, const Vec3 &axis, double height, double diameter) {
    constexpr const char *op = "cylinder";
    return guarded(op, [&] {
        require_positive(op, height, "height");
        require_positive(op, diameter, "diameter");
        const gp_Dir direction = to_dir(op, axis, "axis");
        BRepPrimAPI_MakeCylinder maker(gp_Ax2(to_pnt(base), direction), diameter / 2, height);
        maker.Build();
        if (!maker.IsDone()) fail(op, "the kernel could not build the cylinder");
        return fresh_solid(op, maker.Solid());
    });
}

Shape make_prism(const std::vector<Vec3> &outline, double z0, double z1) {
    constexpr const char *op = "extrusion";
    return guarded(op, [&] {
        if (!std::isfinite(z0) || !std::isfinite(z1) || !(z1 > z0))
            fail(op, "the end height must be above the start height");

        // Drop repeated points (including a closing copy of the first point).
        std::vector<Vec3> points;
        for (const Vec3 &p : outline) {
            if (!std::isfinite(p.x) || !std::isfinite(p.y)) fail(op, "outline point is not finite");
            if (!points.empty() && std::hypot(p.x - points.back().x, p.y - points.back().y) <= kTolerance)
                continue;
            points.push_back(p);
        }
        while (points.size() > 1 &&
               std::hypot(points.front().x - points.back().x, points.front().y - points.back().y) <= kTolerance)
            points.pop_back();
        if (points.size() < 3) fail(op, "the outline needs at least three distinct points");

        double twice_area = 0;  // signed (shoelace); either sense of the outline is accepted
        for (std::size_t i = 0; i < points.size(); ++i) {
            const Vec3 &a = points[i];
            const Vec3 &b = points[(i + 1) % points.size()];
            twice_area += a.x * b.y - b.x * a.y;
        }
        if (std::abs(twice_area) <= kTolerance * kTolerance) fail(op, "the outline encloses no area");

        BRepBuilderAPI_MakePolygon polygon;
        for (const Vec3 &p : points) polygon.Add(gp_Pnt(p.x, p.y, z0));
        polygon.Close();
        if (!polygon.IsDone()) fail(op, "the outline is not a closed polygon");

        // On a +Z plane with "inside" set, the face takes the wire as its outer bound whichever way
        // it runs, so the prism is never inside out.
        BRepBuilderAPI_MakeFace face(gp_Pln(gp_Pnt(0, 0, z0), gp_Dir(0, 0, 1)), polygon.Wire(), true);
        if (!face.IsDone()) fail(op, "the outline does not bound a face");
        // The sides of a straight extrusion are plain quadrilaterals: the outline's face is all that
        // can be wrong (an outline crossing itself).
        if (!BRepCheck_Analyzer(face.Face()).IsValid()) fail(op, "the outline crosses itself");

        BRepPrimAPI_MakePrism prism(face.Face(), gp_Vec(0, 0, z1 - z0), true);
        prism.Build();
        if (!prism.IsDone()) fail(op, "the kernel could not extrude the outline");
        return fresh_solid(op, prism.Shape());
    });
}

}  // namespace diekit::kernel
