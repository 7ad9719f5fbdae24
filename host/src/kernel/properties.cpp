// Geometry of single edges and faces: end points, curve kinds, parameter ranges, surface properties.
#include "kernel/occ.hpp"

#include <BRepAdaptor_Curve.hxx>
#include <BRepAdaptor_Surface.hxx>
#include <BRepLProp_SLProps.hxx>
#include <BRepTools.hxx>
#include <BRep_Tool.hxx>
#include <TopoDS.hxx>

namespace diekit::kernel {

using namespace detail;

namespace {

const TopoDS_Edge &require_edge(const char *op, const Shape &shape) {
    const TopoDS_Shape &s = require(op, shape, "edge");
    if (s.ShapeType() != TopAbs_EDGE) fail(op, "the shape is not an edge");
    if (BRep_Tool::Degenerated(TopoDS::Edge(s)) || !BRep_Tool::IsGeometric(TopoDS::Edge(s)))
        fail(op, "the edge has no 3D curve");
    return TopoDS::Edge(s);
}

const TopoDS_Face &require_face(const char *op, const Shape &shape) {
    const TopoDS_Shape &s = require(op, shape, "face");
    if (s.ShapeType() != TopAbs_FACE) fail(op, "the shape is not a face");
    return TopoDS::Face(s);
}

}  // namespace

LineData line_data(const Shape &edge) {
    constexpr const char *op = "edge ends";
    return guarded(op, [&] {
        const TopoDS_Edge &e = require_edge(op, edge);
        BRepAdaptor_Curve curve(e);
        LineData data;
        data.straight = curve.GetType() == GeomAbs_Line;
        data.start = to_vec3(curve.Value(curve.FirstParameter()));
        data.end = to_vec3(curve.Value(curve.LastParameter()));
        if (e.Orientation() == TopAbs_REVERSED) std::swap(data.start, data.end);
        return data;
    });
}

CurveKind curve_kind(const Shape &edge) {
    constexpr const char *op = "curve kind";
    return guarded(op, [&] {
        switch (BRepAdaptor_Curve(require_edge(op, edge)).GetType()) {
        case GeomAbs_Line: return CurveKind::Line;
        case GeomAbs_Circle: return CurveKind::Circle;
        default: return CurveKind::Other;
        }
    });
}

UvBounds uv_bounds(const Shape &face) {
    constexpr const char *op = "face parameters";
    return guarded(op, [&] {
        UvBounds bounds{};
        BRepTools::UVBounds(require_face(op, face), bounds.umin, bounds.umax, bounds.vmin, bounds.vmax);
        return bounds;
    });
}

FaceProps face_props(const Shape &face, double u, double v) {
    constexpr const char *op = "face properties";
    return guarded(op, [&] {
        const TopoDS_Face &f = require_face(op, face);
        BRepAdaptor_Surface surface(f, false);
        BRepLProp_SLProps props(surface, u, v, 1, kTolerance);
        if (!props.IsNormalDefined()) fail(op, "the normal is undefined at this point");
        gp_Dir normal = props.Normal();
        if (f.Orientation() == TopAbs_REVERSED) normal.Reverse();
        return FaceProps{to_vec3(props.Value()), to_vec3(props.D1U()), to_vec3(props.D1V()), to_vec3(normal)};
    });
}

}  // namespace diekit::kernel
