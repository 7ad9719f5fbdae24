// Plane sections as loops of lines and arcs: BRepAlgoAPI_Section against the plane, edges joined
// into wires, each edge turned into a vertex with its bulge.
#include "kernel/profiles.hpp"

#include "kernel/occ.hpp"
#include "kernel/oriented_box.hpp"

#include <BRepAdaptor_Curve.hxx>
#include <BRepAlgoAPI_Section.hxx>
#include <BRepTools_WireExplorer.hxx>
#include <BRep_Tool.hxx>
#include <GCPnts_QuasiUniformDeflection.hxx>
#include <ShapeAnalysis_FreeBounds.hxx>
#include <TopExp.hxx>
#include <TopExp_Explorer.hxx>
#include <TopTools_HSequenceOfShape.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Vertex.hxx>
#include <TopoDS_Wire.hxx>
#include <gp_Pln.hxx>

#include <algorithm>
#include <cmath>

namespace diekit::kernel {

using namespace detail;

namespace {

constexpr const char *kOp = "plane section";
constexpr double kPi = 3.14159265358979323846;

// The arc of a bulge segment: centre, radius, start angle and signed sweep.
struct Arc {
    Point2 centre;
    double radius, start, sweep;
};

Arc arc_of(const Point2 &a, const Point2 &b, double bulge) {
    const double sweep = 4 * std::atan(bulge);
    const double chord = std::hypot(b.x - a.x, b.y - a.y);
    const double radius = chord / (2 * std::sin(std::abs(sweep) / 2));
    // The centre lies on the chord's perpendicular bisector, to the left for a counter-clockwise arc.
    const double mx = (a.x + b.x) / 2, my = (a.y + b.y) / 2;
    const double offset = chord / 2 / std::tan(sweep / 2);  // signed
    const double nx = -(b.y - a.y) / chord, ny = (b.x - a.x) / chord;
    const Point2 c{mx + nx * offset, my + ny * offset};
    return {c, radius, std::atan2(a.y - c.y, a.x - c.x), sweep};
}

const Point2 &next_start(const Loop &loop, std::size_t i) { return loop[(i + 1) % loop.size()].start; }

}  // namespace

double loop_area(const Loop &loop) {
    double area = 0;
    for (std::size_t i = 0; i < loop.size(); ++i) {
        const Point2 &a = loop[i].start, &b = next_start(loop, i);
        area += (a.x * b.y - b.x * a.y) / 2;
        if (loop[i].bulge != 0) {
            const Arc arc = arc_of(a, b, loop[i].bulge);
            const double theta = std::abs(arc.sweep);
            const double segment = arc.radius * arc.radius * (theta - std::sin(theta)) / 2;
            area += arc.sweep > 0 ? segment : -segment;
        }
    }
    return area;
}

double loop_length(const Loop &loop) {
    double length = 0;
    for (std::size_t i = 0; i < loop.size(); ++i) {
        const Point2 &a = loop[i].start, &b = next_start(loop, i);
        length += loop[i].bulge == 0 ? std::hypot(b.x - a.x, b.y - a.y)
                                     : arc_of(a, b, loop[i].bulge).radius * std::abs(4 * std::atan(loop[i].bulge));
    }
    return length;
}

Polyline2 loop_points(const Loop &loop, double deflection) {
    Polyline2 points;
    for (std::size_t i = 0; i < loop.size(); ++i) {
        const Point2 &a = loop[i].start, &b = next_start(loop, i);
        points.push_back(a);
        if (loop[i].bulge == 0) continue;
        const Arc arc = arc_of(a, b, loop[i].bulge);
        const double step = 2 * std::acos(std::max(-1.0, 1 - deflection / std::max(arc.radius, 1e-12)));
        const int n = std::clamp(int(std::ceil(std::abs(arc.sweep) / std::max(step, 1e-3))), 1, 720);
        for (int k = 1; k < n; ++k) {
            const double t = arc.start + arc.sweep * k / n;
            points.push_back({arc.centre.x + arc.radius * std::cos(t), arc.centre.y + arc.radius * std::sin(t)});
        }
    }
    if (!points.empty()) points.push_back(points.front());
    return points;
}

bool loop_contains(const Loop &loop, const Point2 &p) {
    const Polyline2 poly = loop_points(loop, 1e-4);
    bool inside = false;
    for (std::size_t i = 0; i + 1 < poly.size(); ++i) {
        const Point2 &a = poly[i], &b = poly[i + 1];
        if ((a.y > p.y) != (b.y > p.y) && p.x < a.x + (p.y - a.y) * (b.x - a.x) / (b.y - a.y)) inside = !inside;
    }
    return inside;
}

std::array<double, 4> loop_box(const Loop &loop) {
    std::array<double, 4> box = {1e300, 1e300, -1e300, -1e300};
    auto add = [&](double x, double y) {
        box[0] = std::min(box[0], x), box[1] = std::min(box[1], y), box[2] = std::max(box[2], x), box[3] = std::max(box[3], y);
    };
    for (std::size_t i = 0; i < loop.size(); ++i) {
        const Point2 &a = loop[i].start, &b = next_start(loop, i);
        add(a.x, a.y);
        if (loop[i].bulge == 0) continue;
        const Arc arc = arc_of(a, b, loop[i].bulge);
        // Quadrant points the arc passes.
        for (int q = -8; q <= 8; ++q) {
            const double t = q * kPi / 2;
            const double from = std::min(arc.start, arc.start + arc.sweep), to = std::max(arc.start, arc.start + arc.sweep);
            if (t > from && t < to) add(arc.centre.x + arc.radius * std::cos(t), arc.centre.y + arc.radius * std::sin(t));
        }
    }
    return box;
}

PlaneSection section_at(const Shape &shape, const Frame &frame, double level) {
    return guarded(kOp, [&] {
        const TopoDS_Shape local = to_frame(shape, frame).occ();
        BRepAlgoAPI_Section section(local, gp_Pln(gp_Pnt(0, 0, level), gp_Dir(0, 0, 1)), Standard_False);
        section.Approximation(Standard_False);
        section.Build();
        if (!section.IsDone()) fail(kOp, "the kernel could not cut the shape");

        Handle(TopTools_HSequenceOfShape) edges = new TopTools_HSequenceOfShape(), wires;
        for (TopExp_Explorer it(section.Shape(), TopAbs_EDGE); it.More(); it.Next()) edges->Append(it.Current());
        ShapeAnalysis_FreeBounds::ConnectEdgesToWires(edges, 1e-6, Standard_False, wires);

        std::vector<Loop> loops;
        for (int w = 1; w <= wires->Length(); ++w) {
            Loop loop;
            for (BRepTools_WireExplorer it(TopoDS::Wire(wires->Value(w))); it.More(); it.Next()) {
                const TopoDS_Edge &edge = it.Current();
                if (BRep_Tool::Degenerated(edge)) continue;
                BRepAdaptor_Curve curve(edge);
                const bool reversed = edge.Orientation() == TopAbs_REVERSED;
                double t0 = curve.FirstParameter(), t1 = curve.LastParameter();
                if (reversed) std::swap(t0, t1);
                const gp_Pnt a = curve.Value(t0);
                if (curve.GetType() == GeomAbs_Line) {
                    loop.push_back({{a.X(), a.Y()}, 0});
                } else if (curve.GetType() == GeomAbs_Circle) {
                    // Sweep in the plane: the circle's own sense, reversed when its axis points down.
                    double sweep = t1 - t0;
                    if (curve.Circle().Axis().Direction().Z() < 0) sweep = -sweep;
                    // A full circle becomes two half circles (a bulge cannot span 360 degrees).
                    const int pieces = std::abs(sweep) > kPi + 1e-9 ? 2 : 1;
                    for (int k = 0; k < pieces; ++k) {
                        const gp_Pnt p = curve.Value(t0 + (t1 - t0) * k / pieces);
                        loop.push_back({{p.X(), p.Y()}, std::tan(sweep / pieces / 4)});
                    }
                } else {
                    GCPnts_QuasiUniformDeflection points(curve, 1e-4, t0 < t1 ? t0 : t1, t0 < t1 ? t1 : t0);
                    if (!points.IsDone()) fail(kOp, "the kernel could not divide a section curve");
                    std::vector<Point2> run;
                    for (int k = 1; k < points.NbPoints(); ++k) run.push_back({points.Value(k).X(), points.Value(k).Y()});
                    if (t0 > t1) {  // the sampler runs with the parameter: walk it back
                        run.clear();
                        for (int k = points.NbPoints(); k > 1; --k) run.push_back({points.Value(k).X(), points.Value(k).Y()});
                    }
                    for (auto &p : run) loop.push_back({p, 0});
                }
            }
            if (loop.size() >= 2 || (loop.size() == 1 && loop[0].bulge != 0)) loops.push_back(std::move(loop));
        }

        // Nesting: a loop inside an odd number of others is a hole.
        PlaneSection result;
        for (std::size_t i = 0; i < loops.size(); ++i) {
            int around = 0;
            const Point2 probe = loops[i].front().start;
            for (std::size_t j = 0; j < loops.size(); ++j)
                if (j != i && std::abs(loop_area(loops[j])) > std::abs(loop_area(loops[i])) && loop_contains(loops[j], probe)) ++around;
            Loop loop = loops[i];
            const bool hole = around % 2 == 1;
            if ((loop_area(loop) > 0) == hole) {  // turn it the wanted way round
                Loop turned;
                for (std::size_t k = loop.size(); k-- > 0;)
                    turned.push_back({next_start(loop, k), -loop[k].bulge});
                loop = std::move(turned);
            }
            (hole ? result.holes : result.outer).push_back(std::move(loop));
        }
        auto larger = [](const Loop &a, const Loop &b) { return std::abs(loop_area(a)) > std::abs(loop_area(b)); };
        std::stable_sort(result.outer.begin(), result.outer.end(), larger);
        return result;
    });
}

}  // namespace diekit::kernel
