// Oriented boxes: candidate thickness directions, the convex hull of the projected body and rotating
// calipers for the least plan area, then exact extents in the chosen frame.
#include "kernel/oriented_box.hpp"

#include "kernel/occ.hpp"

#include <BRepAdaptor_Curve.hxx>
#include <BRepAdaptor_Surface.hxx>
#include <BRepBuilderAPI_Transform.hxx>
#include <BRepGProp.hxx>
#include <BRep_Tool.hxx>
#include <GCPnts_QuasiUniformDeflection.hxx>
#include <GProp_GProps.hxx>
#include <TopExp.hxx>
#include <TopTools_IndexedMapOfShape.hxx>
#include <TopoDS.hxx>
#include <gp_Ax3.hxx>
#include <gp_Trsf.hxx>

#include <algorithm>
#include <cmath>

namespace diekit::kernel {

using namespace detail;

namespace {

constexpr const char *kOp = "oriented box";

struct P2 {
    double x, y;
};

double cross(const P2 &o, const P2 &a, const P2 &b) { return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x); }

// Andrew's monotone chain; counter-clockwise, no repeated end point.
std::vector<P2> hull(std::vector<P2> points) {
    std::sort(points.begin(), points.end(), [](const P2 &a, const P2 &b) { return a.x < b.x || (a.x == b.x && a.y < b.y); });
    if (points.size() < 3) return points;
    std::vector<P2> h(2 * points.size());
    std::size_t k = 0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        while (k >= 2 && cross(h[k - 2], h[k - 1], points[i]) <= 0) --k;
        h[k++] = points[i];
    }
    for (std::size_t i = points.size() - 1, t = k + 1; i > 0; --i) {
        while (k >= t && cross(h[k - 2], h[k - 1], points[i - 1]) <= 0) --k;
        h[k++] = points[i - 1];
    }
    h.resize(k - 1);
    return h;
}

// Vertices and points along every edge (curved edges at a fine deflection), for the hull.
std::vector<gp_Pnt> sample_points(const TopoDS_Shape &shape, double deflection) {
    std::vector<gp_Pnt> points;
    TopTools_IndexedMapOfShape edges;
    TopExp::MapShapes(shape, TopAbs_EDGE, edges);
    for (int i = 1; i <= edges.Extent(); ++i) {
        const TopoDS_Edge &edge = TopoDS::Edge(edges(i));
        if (BRep_Tool::Degenerated(edge)) continue;
        BRepAdaptor_Curve curve(edge);
        if (curve.GetType() == GeomAbs_Line) {
            points.push_back(curve.Value(curve.FirstParameter()));
            points.push_back(curve.Value(curve.LastParameter()));
            continue;
        }
        GCPnts_QuasiUniformDeflection sampler(curve, deflection);
        if (sampler.IsDone())
            for (int k = 1; k <= sampler.NbPoints(); ++k) points.push_back(sampler.Value(k));
    }
    return points;
}

gp_Trsf into(const Frame &frame) {
    gp_Trsf trsf;
    trsf.SetTransformation(gp_Ax3(to_pnt(frame.origin), to_dir(kOp, frame.z, "z axis"), to_dir(kOp, frame.x, "x axis")));
    return trsf;
}

Frame frame_of(const gp_Dir &z, const gp_Dir &x) {
    const gp_Dir y = z.Crossed(x);
    return {{0, 0, 0}, to_vec3(x), to_vec3(y), to_vec3(z)};
}

// Of ±u, ±v (perpendicular, in the plane normal to z), the one nearest absolute +X (ties: +Y).
gp_Dir nearest_x(const gp_Dir &u, const gp_Dir &v) {
    const gp_Dir options[4] = {u, v, u.Reversed(), v.Reversed()};
    gp_Dir best = options[0];
    double score = -2;
    for (const gp_Dir &d : options) {
        const double s = d.X() + 1e-6 * d.Y();
        if (s > score + 1e-12) score = s, best = d;
    }
    return best;
}

struct Candidate {
    Frame frame;
    double area = 0, height = 0;
};

// The least plan area about z over the hull's edge directions; the plane's own x axis when it ties.
Candidate best_about(const std::vector<gp_Pnt> &points, const gp_Dir &z) {
    // The plane's own x axis: absolute X laid into it (absolute Y when z is nearly X).
    gp_Vec along = gp_Vec(1, 0, 0) - gp_Vec(z) * z.X();
    if (along.Magnitude() < 1e-6) along = gp_Vec(0, 1, 0) - gp_Vec(z) * z.Y();
    const gp_Dir x0(along);
    const gp_Dir y0 = z.Crossed(x0);
    std::vector<P2> projected;
    double zlo = 1e300, zhi = -1e300;
    for (const gp_Pnt &p : points) {
        const gp_Vec v(p.XYZ());
        projected.push_back({v.Dot(gp_Vec(x0)), v.Dot(gp_Vec(y0))});
        zlo = std::min(zlo, v.Dot(gp_Vec(z))), zhi = std::max(zhi, v.Dot(gp_Vec(z)));
    }
    const std::vector<P2> h = hull(projected);
    auto area_along = [&](double cx, double cy) {
        double ulo = 1e300, uhi = -1e300, vlo = 1e300, vhi = -1e300;
        for (const P2 &p : h) {
            const double u = p.x * cx + p.y * cy, v = -p.x * cy + p.y * cx;
            ulo = std::min(ulo, u), uhi = std::max(uhi, u), vlo = std::min(vlo, v), vhi = std::max(vhi, v);
        }
        return (uhi - ulo) * (vhi - vlo);
    };
    double best_cx = 1, best_cy = 0, best = area_along(1, 0);
    const double aligned = best;
    for (std::size_t i = 0; i < h.size(); ++i) {
        const P2 &a = h[i], &b = h[(i + 1) % h.size()];
        const double length = std::hypot(b.x - a.x, b.y - a.y);
        if (length < 1e-12) continue;
        const double area = area_along((b.x - a.x) / length, (b.y - a.y) / length);
        if (area < best) best = area, best_cx = (b.x - a.x) / length, best_cy = (b.y - a.y) / length;
    }
    if (aligned <= best * (1 + 1e-9)) best_cx = 1, best_cy = 0, best = aligned;
    const gp_Dir u(gp_Vec(x0) * best_cx + gp_Vec(y0) * best_cy);
    return {frame_of(z, nearest_x(u, z.Crossed(u))), best, zhi - zlo};
}

// Normals of the largest planar faces, one per direction (either sense), largest first.
std::vector<gp_Dir> face_normals(const TopoDS_Shape &shape, std::size_t count) {
    std::vector<std::pair<double, gp_Dir>> found;
    TopTools_IndexedMapOfShape faces;
    TopExp::MapShapes(shape, TopAbs_FACE, faces);
    for (int i = 1; i <= faces.Extent(); ++i) {
        BRepAdaptor_Surface surface(TopoDS::Face(faces(i)), false);
        if (surface.GetType() != GeomAbs_Plane) continue;
        gp_Dir normal = surface.Plane().Axis().Direction();
        if (normal.Z() < -1e-12 || (std::abs(normal.Z()) <= 1e-12 && normal.X() + 1e-6 * normal.Y() < 0)) normal.Reverse();
        GProp_GProps props;
        BRepGProp::SurfaceProperties(faces(i), props);
        auto same = std::find_if(found.begin(), found.end(), [&](auto &f) { return f.second.IsParallel(normal, 1e-9); });
        if (same == found.end()) found.emplace_back(props.Mass(), normal);
        else same->first += props.Mass();
    }
    std::stable_sort(found.begin(), found.end(), [](auto &a, auto &b) { return a.first > b.first; });
    std::vector<gp_Dir> normals;
    for (std::size_t i = 0; i < found.size() && i < count; ++i) normals.push_back(found[i].second);
    return normals;
}

}  // namespace

Shape to_frame(const Shape &shape, const Frame &frame) {
    return guarded(kOp, [&] {
        const TopoDS_Shape &occ = require(kOp, shape);
        return Shape(BRepBuilderAPI_Transform(occ, into(frame), false).Shape());
    });
}

OrientedBox oriented_box(const Shape &shape) {
    return guarded(kOp, [&] {
        const TopoDS_Shape &occ = require(kOp, shape);
        if (is_empty(shape)) fail(kOp, "the shape is empty");
        const Box world = bounding_box(shape);
        const double largest = std::max({world[3] - world[0], world[4] - world[1], world[5] - world[2]});
        const std::vector<gp_Pnt> points = sample_points(occ, std::max(largest, 1.0) * 1e-4);
        if (points.empty()) fail(kOp, "the shape has no edges");

        Candidate best = best_about(points, gp_Dir(0, 0, 1));
        for (const gp_Dir &normal : face_normals(occ, 3)) {
            if (normal.IsParallel(gp_Dir(0, 0, 1), 1e-9)) continue;
            Candidate c = best_about(points, normal);
            if (c.area * c.height < best.area * best.height * (1 - 1e-9)) best = c;
        }
        // Exact extents in the chosen frame; the origin moves to the least corner.
        const Box local = bounding_box(to_frame(shape, best.frame));
        OrientedBox box;
        box.frame = best.frame;
        const gp_Pnt corner = gp_Pnt(local[0], local[1], local[2]).Transformed(into(best.frame).Inverted());
        box.frame.origin = to_vec3(corner);
        for (int i = 0; i < 3; ++i) box.size[i] = local[i + 3] - local[i];
        return box;
    });
}

}  // namespace diekit::kernel
