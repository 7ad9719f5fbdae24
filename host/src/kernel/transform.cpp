#include "kernel/transform.hpp"

#include "kernel/occ.hpp"

#include <BRepBuilderAPI_GTransform.hxx>
#include <BRepBuilderAPI_Transform.hxx>
#include <BRepPrimAPI_MakeCone.hxx>
#include <gp_Ax2.hxx>
#include <gp_GTrsf.hxx>
#include <gp_Mat.hxx>

#include <cmath>

namespace diekit::kernel {

using namespace detail;

Shape scale(const Shape &shape, const Frame &about, double fx, double fy, double fz) {
    constexpr const char *op = "scale";
    return guarded(op, [&] {
        const TopoDS_Shape &s = require(op, shape);
        require_positive(op, fx, "x factor");
        require_positive(op, fy, "y factor");
        require_positive(op, fz, "z factor");
        const gp_Dir axes[3] = {to_dir(op, about.x, "x axis"), to_dir(op, about.y, "y axis"),
                                to_dir(op, about.z, "z axis")};
        const double factors[3] = {fx, fy, fz};
        // M = R·S·Rᵀ with R's columns the frame axes; the origin stays fixed.
        gp_Mat m;
        for (int r = 1; r <= 3; ++r)
            for (int c = 1; c <= 3; ++c) {
                double value = 0;
                for (int k = 0; k < 3; ++k) value += axes[k].Coord(r) * factors[k] * axes[k].Coord(c);
                m.SetValue(r, c, value);
            }
        gp_XYZ origin = to_pnt(about.origin).XYZ();
        gp_XYZ moved = origin;
        moved.Multiply(m);
        if (std::abs(fx - fy) < 1e-15 && std::abs(fy - fz) < 1e-15) {
            gp_Trsf uniform;
            uniform.SetScale(to_pnt(about.origin), fx);
            BRepBuilderAPI_Transform transform(s, uniform, true);
            if (!transform.IsDone()) fail(op, "the kernel could not scale the shape");
            return solid_result(op, transform.Shape());
        }
        gp_GTrsf trsf(m, origin - moved);
        BRepBuilderAPI_GTransform transform(s, trsf, true);
        if (!transform.IsDone()) fail(op, "the kernel could not scale the shape");
        return solid_result(op, transform.Shape());
    });
}

Shape make_cone(const Vec3 &base, const Vec3 &axis, double height, double d1, double d2) {
    constexpr const char *op = "cone";
    return guarded(op, [&] {
        require_positive(op, height, "height");
        if (d1 < 0 || d2 < 0 || (d1 == 0 && d2 == 0)) fail(op, "diameters must be >= 0 and not both 0");
        if (std::abs(d1 - d2) < 1e-12) fail(op, "equal diameters make a cylinder, not a cone");
        gp_Ax2 frame(to_pnt(base), to_dir(op, axis, "axis"));
        BRepPrimAPI_MakeCone cone(frame, d1 / 2, d2 / 2, height);
        cone.Build();
        if (!cone.IsDone()) fail(op, "the kernel could not build the cone");
        return fresh_solid(op, cone.Shape());
    });
}

}  // namespace diekit::kernel
