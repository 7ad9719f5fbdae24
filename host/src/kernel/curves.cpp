// Curve edges: lines, full circles and arcs through three points.
#include "kernel/occ.hpp"

#include <BRepBuilderAPI_MakeEdge.hxx>
#include <GC_MakeArcOfCircle.hxx>
#include <TopoDS_Edge.hxx>
#include <gp_Ax2.hxx>
#include <gp_Circ.hxx>

namespace diekit::kernel {

using namespace detail;

Shape make_line(const Vec3 &start, const Vec3 &end) {
    constexpr const char *op = "line";
    return guarded(op, [&] {
        const gp_Pnt a = to_pnt(start), b = to_pnt(end);
        if (a.Distance(b) <= kTolerance) fail(op, "start and end points coincide");
        BRepBuilderAPI_MakeEdge maker(a, b);
        if (!maker.IsDone()) fail(op, "the kernel could not build the line");
        return Shape(maker.Edge());
    });
}

Shape make_circle(const Vec3 &centre, const Vec3 &normal, double radius) {
    constexpr const char *op = "circle";
    return guarded(op, [&] {
        require_positive(op, radius, "radius");
        const gp_Dir axis = to_dir(op, normal, "normal");
        BRepBuilderAPI_MakeEdge maker(gp_Circ(gp_Ax2(to_pnt(centre), axis), radius));
        if (!maker.IsDone()) fail(op, "the kernel could not build the circle");
        return Shape(maker.Edge());
    });
}

Shape make_arc(const Vec3 &start, const Vec3 &mid, const Vec3 &end) {
    constexpr const char *op = "arc";
    return guarded(op, [&] {
        const gp_Pnt a = to_pnt(start), m = to_pnt(mid), b = to_pnt(end);
        if (a.Distance(m) <= kTolerance || m.Distance(b) <= kTolerance || a.Distance(b) <= kTolerance)
            fail(op, "two of the three points coincide");
        GC_MakeArcOfCircle arc(a, m, b);
        if (!arc.IsDone()) fail(op, "the three points lie on a line");
        BRepBuilderAPI_MakeEdge maker(arc.Value());
        if (!maker.IsDone()) fail(op, "the kernel could not build the arc");
        return Shape(maker.Edge());
    });
}

}  // namespace diekit::kernel
