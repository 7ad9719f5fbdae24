// Hole finding: cylinders grouped by axis and diameter (full circles only: part cylinders are the
// corners of other openings), planar faces across the thickness for the other openings.
#include "kernel/holes.hpp"

#include "kernel/occ.hpp"
#include "kernel/oriented_box.hpp"

#include <BRepAdaptor_Curve.hxx>
#include <BRepAdaptor_Surface.hxx>
#include <BRepBndLib.hxx>
#include <BRepTools.hxx>
#include <BRep_Tool.hxx>
#include <Bnd_Box.hxx>
#include <TopExp.hxx>
#include <TopExp_Explorer.hxx>
#include <TopTools_IndexedDataMapOfShapeListOfShape.hxx>
#include <TopTools_IndexedMapOfShape.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Wire.hxx>
#include <gp_Cylinder.hxx>

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>

namespace diekit::kernel {

using namespace detail;

namespace {

constexpr const char *kOp = "hole finding";
constexpr double kPi = 3.14159265358979323846;
constexpr double kTol = 1e-6;

// Rounded to the model tolerance, as map keys (so that 9.999999999 and 10 meet).
long long key(double v) { return std::llround(v / kTol); }

// An exact value within round-off of a 1e-6 grid point reads as that point (hole tables print them).
double clean(double v) {
    const double snapped = std::round(v * 1e6) / 1e6;
    return std::abs(v - snapped) < 1e-9 ? snapped : v;
}

std::array<double, 6> exact_box(const TopoDS_Shape &shape) {
    Bnd_Box box;
    BRepBndLib::AddOptimal(shape, box, Standard_False, Standard_False);
    std::array<double, 6> b{};
    box.Get(b[0], b[1], b[2], b[3], b[4], b[5]);
    return b;
}

struct Segment {
    double radius, z0, z1;
};

// Cylinders around axes along z whose material lies outside them, grouped into full circles.
std::map<std::pair<long long, long long>, std::vector<Segment>> round_segments(const TopTools_IndexedMapOfShape &faces,
                                                                                std::map<std::pair<long long, long long>, Point2> &axes) {
    struct Piece {
        double span = 0;
        Segment segment;
        Point2 axis;
    };
    std::map<std::tuple<long long, long long, long long, long long, long long>, Piece> pieces;
    for (int i = 1; i <= faces.Extent(); ++i) {
        const TopoDS_Face &face = TopoDS::Face(faces(i));
        BRepAdaptor_Surface surface(face);
        if (surface.GetType() != GeomAbs_Cylinder) continue;
        const gp_Cylinder cylinder = surface.Cylinder();
        const gp_Dir axis = cylinder.Axis().Direction();
        if (std::abs(std::abs(axis.Z()) - 1) > 1e-9) continue;
        double u0, u1, v0, v1;
        BRepTools::UVBounds(face, u0, u1, v0, v1);
        // Inward-facing: the outward normal of the solid points to the axis.
        gp_Pnt p;
        gp_Vec du, dv;
        surface.D1((u0 + u1) / 2, (v0 + v1) / 2, p, du, dv);
        gp_Vec normal = du.Crossed(dv);
        if (face.Orientation() == TopAbs_REVERSED) normal.Reverse();
        const gp_Pnt centre = cylinder.Location();
        const gp_Vec radial(gp_Pnt(centre.X(), centre.Y(), p.Z()), p);
        if (normal.Dot(radial) >= 0) continue;
        const auto box = exact_box(face);
        Piece piece{u1 - u0, {cylinder.Radius(), box[2], box[5]}, {centre.X(), centre.Y()}};
        auto k = std::make_tuple(key(centre.X()), key(centre.Y()), key(cylinder.Radius()), key(box[2]), key(box[5]));
        auto [it, fresh] = pieces.emplace(k, piece);
        if (!fresh) it->second.span += piece.span;
    }
    std::map<std::pair<long long, long long>, std::vector<Segment>> stacks;
    for (auto &[k, piece] : pieces) {
        if (piece.span < 2 * kPi - 1e-6) continue;
        const auto axis_key = std::pair(std::get<0>(k), std::get<1>(k));
        axes.emplace(axis_key, piece.axis);
        stacks[axis_key].push_back(piece.segment);
    }
    return stacks;
}

// One hole from the coaxial steps at an axis: the bore is the smallest step, a larger step at the end
// that opens on a face is its counterbore.
Hole round_hole(const Point2 &axis, std::vector<Segment> steps, double thickness) {
    std::sort(steps.begin(), steps.end(), [](const Segment &a, const Segment &b) { return a.z0 < b.z0; });
    // Steps of one radius that meet are one step.
    std::vector<Segment> merged;
    for (const Segment &s : steps) {
        if (!merged.empty() && key(merged.back().radius) == key(s.radius) && s.z0 <= merged.back().z1 + kTol)
            merged.back().z1 = std::max(merged.back().z1, s.z1);
        else merged.push_back(s);
    }
    const double z0 = merged.front().z0, z1 = std::max_element(merged.begin(), merged.end(), [](auto &a, auto &b) {
                                              return a.z1 < b.z1;
                                          })->z1;
    Hole hole;
    hole.round = true;
    hole.x = clean(axis.x), hole.y = clean(axis.y);
    const bool at_top = z1 >= thickness - kTol, at_bottom = z0 <= kTol;
    hole.through = at_top && at_bottom;
    const Segment *smallest = &*std::min_element(merged.begin(), merged.end(), [](auto &a, auto &b) { return a.radius < b.radius; });
    hole.diameter = clean(2 * smallest->radius);
    // The face it opens on: the end with the larger step (a counterbore); the top when both are alike.
    const Segment &low = merged.front(), &high = merged.back();
    bool from_top = at_top && (!at_bottom || high.radius >= low.radius - kTol);
    hole.face = from_top ? HoleFace::Top : at_bottom ? HoleFace::Bottom : HoleFace::Inside;
    if (hole.face == HoleFace::Inside) from_top = true;  // opens on a floor above it
    hole.z_open = clean(from_top ? z1 : z0);
    hole.z_end = clean(from_top ? z0 : z1);
    hole.depth = clean(std::abs(hole.z_open - hole.z_end));
    const Segment &opening = from_top ? high : low;
    if (merged.size() > 1 && opening.radius > smallest->radius + kTol) {
        hole.counterbore_diameter = clean(2 * opening.radius);
        hole.counterbore_depth = clean(opening.z1 - opening.z0);
    }
    return hole;
}

bool is_round_loop(const TopoDS_Wire &wire) {
    bool any = false;
    gp_Pnt centre;
    double radius = 0;
    for (TopExp_Explorer it(wire, TopAbs_EDGE); it.More(); it.Next()) {
        const TopoDS_Edge &edge = TopoDS::Edge(it.Current());
        if (BRep_Tool::Degenerated(edge)) continue;
        BRepAdaptor_Curve curve(edge);
        if (curve.GetType() != GeomAbs_Circle) return false;
        const gp_Circ c = curve.Circle();
        if (any && (c.Location().Distance(centre) > kTol || std::abs(c.Radius() - radius) > kTol)) return false;
        any = true, centre = c.Location(), radius = c.Radius();
    }
    return any;
}

// A planar face across z: its level and whether the solid's outward normal points +z.
struct Level {
    double z;
    bool up;
};
std::optional<Level> level_of(const TopoDS_Face &face) {
    BRepAdaptor_Surface surface(face);
    if (surface.GetType() != GeomAbs_Plane) return {};
    gp_Dir normal = surface.Plane().Axis().Direction();
    if (std::abs(std::abs(normal.Z()) - 1) > 1e-9) return {};
    if (face.Orientation() == TopAbs_REVERSED) normal.Reverse();
    return Level{surface.Plane().Location().Z(), normal.Z() > 0};
}

struct Opening {
    double z;         // the face's level
    bool facing_up;   // the face's outward normal points +z (the opening goes down from it)
    std::array<double, 4> box;
    Loop loop;
    double wall_end;  // the far level of the faces that meet the loop (its walls)
};


// How far the walls of an opening reach from its face: the lowest (facing up) or highest level of
// the faces that share an edge with the loop. Nothing when the loop only parts the face from others
// in its own plane (a boolean can leave one floor in several faces): that loop is no opening.
std::optional<double> wall_end(const TopoDS_Face &face, double z, const TopoDS_Wire &wire, bool facing_up,
                               const TopTools_IndexedDataMapOfShapeListOfShape &edge_faces) {
    double end = facing_up ? 1e300 : -1e300;
    for (TopExp_Explorer it(wire, TopAbs_EDGE); it.More(); it.Next()) {
        const int index = edge_faces.FindIndex(it.Current());
        if (index == 0) continue;
        for (const TopoDS_Shape &wall : edge_faces(index)) {
            if (wall.IsSame(face)) continue;
            const auto level = level_of(TopoDS::Face(wall));
            if (level && std::abs(level->z - z) < kTol) return {};
            const auto b = exact_box(wall);
            end = facing_up ? std::min(end, b[2]) : std::max(end, b[5]);
        }
    }
    return end;
}

// The loop of a wire lying in a plane z = const, counter-clockwise, its edges chained end to end.
Loop loop_of(const TopoDS_Wire &wire) {
    Loop loop;
    std::vector<std::pair<TopoDS_Edge, bool>> ordered;
    for (TopExp_Explorer it(wire, TopAbs_EDGE); it.More(); it.Next()) ordered.emplace_back(TopoDS::Edge(it.Current()), false);
    // Chain the edges by their end points (the explorer does not promise wire order).
    std::vector<bool> used(ordered.size(), false);
    auto ends = [](const TopoDS_Edge &e) {
        BRepAdaptor_Curve c(e);
        double t0 = c.FirstParameter(), t1 = c.LastParameter();
        if (e.Orientation() == TopAbs_REVERSED) std::swap(t0, t1);
        return std::pair(c.Value(t0), c.Value(t1));
    };
    std::vector<TopoDS_Edge> chain;
    for (std::size_t i = 0; i < ordered.size(); ++i) {
        if (BRep_Tool::Degenerated(ordered[i].first)) used[i] = true;
    }
    std::size_t first = 0;
    while (first < ordered.size() && used[first]) ++first;
    if (first == ordered.size()) return loop;
    chain.push_back(ordered[first].first);
    used[first] = true;
    for (bool grown = true; grown;) {
        grown = false;
        const gp_Pnt tail = ends(chain.back()).second;
        for (std::size_t i = 0; i < ordered.size(); ++i) {
            if (used[i]) continue;
            auto [a, b] = ends(ordered[i].first);
            if (a.Distance(tail) < 1e-5) chain.push_back(ordered[i].first), used[i] = grown = true;
            else if (b.Distance(tail) < 1e-5) chain.push_back(TopoDS::Edge(ordered[i].first.Reversed())), used[i] = grown = true;
            if (grown) break;
        }
    }
    for (const TopoDS_Edge &edge : chain) {
        BRepAdaptor_Curve curve(edge);
        double t0 = curve.FirstParameter(), t1 = curve.LastParameter();
        if (edge.Orientation() == TopAbs_REVERSED) std::swap(t0, t1);
        const gp_Pnt a = curve.Value(t0);
        if (curve.GetType() == GeomAbs_Circle) {
            double sweep = t1 - t0;
            if (curve.Circle().Axis().Direction().Z() < 0) sweep = -sweep;
            const int pieces = std::abs(sweep) > kPi + 1e-9 ? 2 : 1;
            for (int k = 0; k < pieces; ++k) {
                const gp_Pnt p = curve.Value(t0 + (t1 - t0) * k / pieces);
                loop.push_back({{clean(p.X()), clean(p.Y())}, std::tan(sweep / pieces / 4)});
            }
        } else if (curve.GetType() == GeomAbs_Line) {
            loop.push_back({{clean(a.X()), clean(a.Y())}, 0});
        } else {
            const int n = 16;
            for (int k = 0; k < n; ++k) {
                const gp_Pnt p = curve.Value(t0 + (t1 - t0) * k / n);
                loop.push_back({{p.X(), p.Y()}, 0});
            }
        }
    }
    if (loop_area(loop) < 0) {
        Loop turned;
        for (std::size_t k = loop.size(); k-- > 0;) turned.push_back({loop[(k + 1) % loop.size()].start, -loop[k].bulge});
        loop = std::move(turned);
    }
    return loop;
}

std::vector<Opening> openings(const TopTools_IndexedMapOfShape &faces, const TopTools_IndexedDataMapOfShapeListOfShape &edge_faces) {
    std::vector<Opening> found;
    for (int i = 1; i <= faces.Extent(); ++i) {
        const TopoDS_Face &face = TopoDS::Face(faces(i));
        const auto level = level_of(face);
        if (!level) continue;
        const TopoDS_Wire outer = BRepTools::OuterWire(face);
        for (TopExp_Explorer it(face, TopAbs_WIRE); it.More(); it.Next()) {
            const TopoDS_Wire &wire = TopoDS::Wire(it.Current());
            if (wire.IsSame(outer) || is_round_loop(wire)) continue;
            const auto walls = wall_end(face, level->z, wire, level->up, edge_faces);
            if (!walls) continue;
            Opening o{level->z, level->up, {}, loop_of(wire), *walls};
            if (o.loop.size() < 2) continue;
            o.box = loop_box(o.loop);
            found.push_back(std::move(o));
        }
    }
    return found;
}

bool same_box(const std::array<double, 4> &a, const std::array<double, 4> &b) {
    for (int i = 0; i < 4; ++i)
        if (std::abs(a[i] - b[i]) > 1e-5) return false;
    return true;
}

// Where a pocket ends: the deepest of the planar faces facing its way whose outer boundary lies within
// its box, no deeper than its walls reach (under steps at its rim, above a smaller pocket in its
// floor); where there is none, where its walls end.
double pocket_end(const TopTools_IndexedMapOfShape &faces, const Opening &o) {
    double best = o.wall_end;
    bool found = false;
    for (int i = 1; i <= faces.Extent(); ++i) {
        const TopoDS_Face &face = TopoDS::Face(faces(i));
        const auto level = level_of(face);
        if (!level || level->up != o.facing_up) continue;
        const double z = level->z;
        if (o.facing_up ? (z >= o.z - kTol || z < o.wall_end - kTol) : (z <= o.z + kTol || z > o.wall_end + kTol)) continue;
        const auto b = exact_box(face);
        if (b[0] < o.box[0] - 1e-5 || b[1] < o.box[1] - 1e-5 || b[3] > o.box[2] + 1e-5 || b[4] > o.box[3] + 1e-5) continue;
        best = !found ? z : o.facing_up ? std::min(best, z) : std::max(best, z);
        found = true;
    }
    return best;
}

}  // namespace

std::vector<Hole> find_holes(const Shape &solid, const Frame &frame, double thickness) {
    return guarded(kOp, [&] {
        require(kOp, solid, "plate");
        const TopoDS_Shape local = to_frame(solid, frame).occ();
        TopTools_IndexedMapOfShape faces;
        TopExp::MapShapes(local, TopAbs_FACE, faces);
        TopTools_IndexedDataMapOfShapeListOfShape edge_faces;
        TopExp::MapShapesAndAncestors(local, TopAbs_EDGE, TopAbs_FACE, edge_faces);

        std::vector<Hole> round, other;
        std::map<std::pair<long long, long long>, Point2> axes;
        for (auto &[axis_key, steps] : round_segments(faces, axes)) round.push_back(round_hole(axes.at(axis_key), steps, thickness));

        std::vector<Opening> found = openings(faces, edge_faces);
        // Faces looking up first, highest first: a through opening is told from the top.
        std::stable_sort(found.begin(), found.end(), [](const Opening &a, const Opening &b) {
            return std::pair(a.facing_up, a.z) > std::pair(b.facing_up, b.z);
        });
        std::vector<bool> taken(found.size(), false);
        for (std::size_t i = 0; i < found.size(); ++i) {
            if (taken[i]) continue;
            const Opening &o = found[i];
            Hole hole;
            hole.round = false;
            hole.x = clean((o.box[0] + o.box[2]) / 2), hole.y = clean((o.box[1] + o.box[3]) / 2);
            hole.width = clean(o.box[2] - o.box[0]), hole.length = clean(o.box[3] - o.box[1]);
            hole.outline = o.loop;
            hole.z_open = clean(o.z);
            const bool at_top = o.z >= thickness - kTol, at_bottom = o.z <= kTol;
            hole.face = at_top ? HoleFace::Top : at_bottom ? HoleFace::Bottom : HoleFace::Inside;
            // The same outline on a face turned the other way: the opening goes through to it.
            for (std::size_t j = 0; j < found.size(); ++j) {
                if (j == i || taken[j] || found[j].facing_up == o.facing_up || !same_box(found[j].box, o.box)) continue;
                if (o.facing_up ? found[j].z >= o.z : found[j].z <= o.z) continue;
                taken[j] = true;
                hole.z_end = clean(found[j].z);
                hole.through = (at_top || at_bottom) && (found[j].z <= kTol || found[j].z >= thickness - kTol);
                break;
            }
            if (!hole.through) {
                // Otherwise a pocket, or an opening that runs into another one (a step of another
                // outline, a turned or inclined pocket): through the plate when its walls reach the far face.
                const double end = pocket_end(faces, o);
                hole.z_end = clean(end);
                hole.through = (at_top && end <= kTol) || (at_bottom && end >= thickness - kTol);
            }
            hole.depth = clean(std::abs(hole.z_open - hole.z_end));
            taken[i] = true;
            other.push_back(std::move(hole));
        }

        std::sort(round.begin(), round.end(), [](const Hole &a, const Hole &b) {
            return std::tuple(-a.diameter, a.x, a.y) < std::tuple(-b.diameter, b.x, b.y);
        });
        std::sort(other.begin(), other.end(), [](const Hole &a, const Hole &b) {
            return std::tuple(-a.width * a.length, a.x, a.y) < std::tuple(-b.width * b.length, b.x, b.y);
        });
        round.insert(round.end(), other.begin(), other.end());
        return round;
    });
}

}  // namespace diekit::kernel
