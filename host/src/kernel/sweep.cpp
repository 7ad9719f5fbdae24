// Extrusions of planar curve profiles and offsets of solids.
#include "kernel/sweep.hpp"

#include "kernel/occ.hpp"

#include <BRepAdaptor_Curve.hxx>
#include <BRepAdaptor_Surface.hxx>
#include <BRepBuilderAPI_MakeVertex.hxx>
#include <BRepBuilderAPI_MakeFace.hxx>
#include <BRepBuilderAPI_MakeWire.hxx>
#include <BRepBuilderAPI_Transform.hxx>
#include <BRepCheck_Analyzer.hxx>
#include <BRepClass_FaceClassifier.hxx>
#include <BRepExtrema_DistShapeShape.hxx>
#include <BRepGProp.hxx>
#include <BRepLib_FindSurface.hxx>
#include <BRepOffsetAPI_MakeOffset.hxx>
#include <BRepOffsetAPI_MakeOffsetShape.hxx>
#include <BRepPrimAPI_MakePrism.hxx>
#include <BRepTools.hxx>
#include <BRep_Builder.hxx>
#include <BRep_Tool.hxx>
#include <GCPnts_AbscissaPoint.hxx>
#include <GProp_GProps.hxx>
#include <GeomAdaptor_Curve.hxx>
#include <Geom_Curve.hxx>
#include <Geom_Plane.hxx>
#include <Precision.hxx>
#include <TopExp.hxx>
#include <TopExp_Explorer.hxx>
#include <TopTools_IndexedMapOfShape.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Compound.hxx>
#include <TopoDS_Edge.hxx>
#include <TopoDS_Face.hxx>
#include <TopoDS_Vertex.hxx>
#include <TopoDS_Wire.hxx>
#include <gp_Ax3.hxx>
#include <gp_Pln.hxx>
#include <gp_Trsf.hxx>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>

namespace diekit::kernel {

using namespace detail;

namespace {

using Problem = ProfileError::Problem;

[[noreturn]] void profile_fail(Problem problem, const std::string &why) {
    throw ProfileError(problem, std::string("extrusion: ") + why);
}

std::string point_text(const gp_Pnt &p) {
    char text[96];
    std::snprintf(text, sizeof text, "(%g, %g, %g)", p.X(), p.Y(), p.Z());
    return text;
}

// One input edge: its 3D curve in absolute coordinates, its parameter range and end points.
struct Piece {
    Handle(Geom_Curve) curve;
    double first = 0, last = 0;
    gp_Pnt start, end;  // curve points at first and last
    bool closed = false;
};

Piece piece_of(const Shape &shape, std::size_t index) {
    const std::string which = "profile item " + std::to_string(index + 1);
    if (shape.is_null()) profile_fail(Problem::Invalid, which + " is null");
    const TopoDS_Shape &s = shape.occ();
    if (s.ShapeType() != TopAbs_EDGE) profile_fail(Problem::Invalid, which + " is not a curve or an edge");
    const TopoDS_Edge &edge = TopoDS::Edge(s);
    if (BRep_Tool::Degenerated(edge)) profile_fail(Problem::Invalid, which + " is a degenerate edge");
    Piece piece;
    TopLoc_Location location;
    piece.curve = BRep_Tool::Curve(edge, location, piece.first, piece.last);
    if (piece.curve.IsNull()) profile_fail(Problem::Invalid, which + " has no 3D curve");
    if (!location.IsIdentity())
        piece.curve = Handle(Geom_Curve)::DownCast(piece.curve->Transformed(location.Transformation()));
    piece.start = piece.curve->Value(piece.first);
    piece.end = piece.curve->Value(piece.last);
    if (GCPnts_AbscissaPoint::Length(GeomAdaptor_Curve(piece.curve, piece.first, piece.last)) <= kJoinTolerance)
        profile_fail(Problem::Invalid, which + " has no length");
    piece.closed = piece.start.Distance(piece.end) <= kJoinTolerance;
    return piece;
}

// A point where curve ends meet: the ends within kJoinTolerance of the first end seen there.
struct Junction {
    gp_Pnt first;
    std::vector<std::pair<std::size_t, bool>> ends;  // (piece, at its start)
    TopoDS_Vertex vertex;
};

// Groups the ends of the open pieces into junctions; every junction must join exactly two ends.
// end_junction[i] = {junction of start, junction of end} of piece i.
std::vector<Junction> junctions_of(const std::vector<Piece> &pieces,
                                   std::vector<std::pair<std::size_t, std::size_t>> &end_junction) {
    std::vector<Junction> junctions;
    end_junction.assign(pieces.size(), {0, 0});
    auto place = [&](std::size_t piece, bool at_start, const gp_Pnt &p) {
        for (std::size_t j = 0; j < junctions.size(); ++j) {
            if (junctions[j].first.Distance(p) <= kJoinTolerance) {
                junctions[j].ends.push_back({piece, at_start});
                return j;
            }
        }
        junctions.push_back({p, {{piece, at_start}}, {}});
        return junctions.size() - 1;
    };
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (pieces[i].closed) continue;
        end_junction[i].first = place(i, true, pieces[i].start);
        end_junction[i].second = place(i, false, pieces[i].end);
    }
    for (const Junction &j : junctions) {
        if (j.ends.size() == 1) profile_fail(Problem::Open, "the profile is open at " + point_text(j.first));
        if (j.ends.size() > 2)
            profile_fail(Problem::Open, "the profile branches at " + point_text(j.first) + ": " +
                                            std::to_string(j.ends.size()) + " curve ends meet there");
    }
    // One shared vertex per junction, at the mean of its ends, with a tolerance that covers both.
    BRep_Builder builder;
    for (Junction &j : junctions) {
        gp_XYZ sum(0, 0, 0);
        std::vector<gp_Pnt> points;
        for (auto [piece, at_start] : j.ends) {
            points.push_back(at_start ? pieces[piece].start : pieces[piece].end);
            sum += points.back().XYZ();
        }
        const gp_Pnt mean(sum / static_cast<double>(points.size()));
        double gap = 0;
        for (const gp_Pnt &p : points) gap = std::max(gap, mean.Distance(p));
        builder.MakeVertex(j.vertex, mean, std::max(Precision::Confusion(), 1.01 * gap));
    }
    return junctions;
}

TopoDS_Edge edge_between(const Piece &piece, const TopoDS_Vertex &from, const TopoDS_Vertex &to) {
    BRep_Builder builder;
    TopoDS_Edge edge;
    builder.MakeEdge(edge, piece.curve, Precision::Confusion());
    builder.Add(edge, from.Oriented(TopAbs_FORWARD));
    builder.Add(edge, to.Oriented(TopAbs_REVERSED));
    builder.Range(edge, piece.first, piece.last);
    return edge;
}

// Chains the pieces into closed wires, in the order of their first pieces.
std::vector<TopoDS_Wire> closed_wires(const std::vector<Piece> &pieces) {
    std::vector<std::pair<std::size_t, std::size_t>> end_junction;
    std::vector<Junction> junctions = junctions_of(pieces, end_junction);

    std::vector<TopoDS_Wire> wires;
    std::vector<bool> used(pieces.size(), false);
    for (std::size_t first = 0; first < pieces.size(); ++first) {
        if (used[first]) continue;
        BRepBuilderAPI_MakeWire maker;
        if (pieces[first].closed) {
            TopoDS_Vertex vertex;
            BRep_Builder().MakeVertex(vertex, pieces[first].start,
                                      std::max(Precision::Confusion(), 1.01 * pieces[first].start.Distance(pieces[first].end)));
            maker.Add(edge_between(pieces[first], vertex, vertex));
            used[first] = true;
        } else {
            const std::size_t start_junction = end_junction[first].first;
            std::size_t current = first;
            bool forward = true;
            while (true) {
                used[current] = true;
                const auto [js, je] = end_junction[current];
                const TopoDS_Edge edge = edge_between(pieces[current], junctions[js].vertex, junctions[je].vertex);
                maker.Add(forward ? edge : TopoDS::Edge(edge.Reversed()));
                if (!maker.IsDone()) profile_fail(Problem::Invalid, "the kernel could not join the profile's curves");
                const std::size_t tip = forward ? je : js;
                if (tip == start_junction) break;
                const auto &ends = junctions[tip].ends;
                const auto next = ends[0].first == current && ends[0].second != forward ? ends[1] : ends[0];
                current = next.first;
                forward = next.second;  // entering at its start means walking it forwards
            }
        }
        if (!maker.IsDone()) profile_fail(Problem::Invalid, "the kernel could not join the profile's curves");
        wires.push_back(maker.Wire());
    }
    return wires;
}

double face_area(const TopoDS_Shape &face) {
    GProp_GProps props;
    BRepGProp::SurfaceProperties(face, props);
    return std::abs(props.Mass());
}

gp_Pln profile_plane(const std::vector<TopoDS_Wire> &wires) {
    TopoDS_Compound all;
    BRep_Builder builder;
    builder.MakeCompound(all);
    for (const TopoDS_Wire &w : wires) builder.Add(all, w);
    BRepLib_FindSurface finder(all, kJoinTolerance, Standard_True);
    if (!finder.Found()) profile_fail(Problem::NonPlanar, "the profile's curves do not lie in one plane");
    Handle(Geom_Plane) plane = Handle(Geom_Plane)::DownCast(finder.Surface());
    if (plane.IsNull()) profile_fail(Problem::NonPlanar, "the profile's curves do not lie in one plane");
    gp_Pln result = plane->Pln();
    if (!finder.Location().IsIdentity()) result.Transform(finder.Location().Transformation());
    return result;
}

// The planar regions bounded by the wires: even nesting depth bounds a region, odd depth a hole of
// the smallest loop around it.
std::vector<TopoDS_Face> regions(const char *op, const std::vector<TopoDS_Wire> &wires, const gp_Pln &plane) {
    auto profile_fail = [op](Problem problem, const std::string &why) {
        throw ProfileError(problem, std::string(op) + ": " + why);
    };
    const std::size_t n = wires.size();
    std::vector<TopoDS_Face> loop_faces;
    std::vector<double> areas;
    for (std::size_t k = 0; k < n; ++k) {
        const std::string which = "loop " + std::to_string(k + 1) + " of the profile";
        BRepBuilderAPI_MakeFace maker(plane, wires[k], Standard_True);
        if (!maker.IsDone()) profile_fail(Problem::Invalid, which + " does not bound a face");
        if (!BRepCheck_Analyzer(maker.Face()).IsValid()) profile_fail(Problem::Invalid, which + " crosses itself");
        loop_faces.push_back(maker.Face());
        areas.push_back(face_area(maker.Face()));
        if (areas.back() <= kJoinTolerance * kJoinTolerance) profile_fail(Problem::Invalid, which + " encloses no area");
    }
    for (std::size_t k = 0; k < n; ++k)
        for (std::size_t m = k + 1; m < n; ++m) {
            BRepExtrema_DistShapeShape extrema(wires[k], wires[m]);
            if (!extrema.IsDone() || extrema.Value() <= kJoinTolerance)
                profile_fail(Problem::Invalid, "loops " + std::to_string(k + 1) + " and " + std::to_string(m + 1) +
                                                   " of the profile touch or cross");
        }
    // inside[m][k]: loop m lies inside loop k (the loops are apart, so one point of m decides).
    std::vector<std::vector<bool>> inside(n, std::vector<bool>(n, false));
    std::vector<int> depth(n, 0);
    for (std::size_t m = 0; m < n; ++m) {
        TopoDS_Vertex first, last;
        TopExp::Vertices(wires[m], first, last);
        const gp_Pnt probe = BRep_Tool::Pnt(first);
        for (std::size_t k = 0; k < n; ++k) {
            if (k == m) continue;
            BRepClass_FaceClassifier classifier(loop_faces[k], probe, Precision::Confusion());
            inside[m][k] = classifier.State() == TopAbs_IN;
            depth[m] += inside[m][k] ? 1 : 0;
        }
    }
    std::vector<TopoDS_Face> result;
    for (std::size_t k = 0; k < n; ++k) {
        if (depth[k] % 2 != 0) continue;
        BRepBuilderAPI_MakeFace maker(plane, BRepTools::OuterWire(loop_faces[k]), Standard_True);
        double expected = areas[k];
        for (std::size_t h = 0; h < n; ++h) {
            if (!inside[h][k] || depth[h] != depth[k] + 1) continue;
            const TopoDS_Wire hole = BRepTools::OuterWire(loop_faces[h]);
            maker.Add(TopoDS::Wire(hole.Reversed()));
            expected -= areas[h];
        }
        if (!maker.IsDone() || !BRepCheck_Analyzer(maker.Face()).IsValid())
            profile_fail(Problem::Invalid, "the kernel could not build the region of loop " + std::to_string(k + 1));
        // A hole wire added the wrong way round would add its area instead of removing it.
        if (std::abs(face_area(maker.Face()) - expected) > 1e-6 * std::max(1.0, areas[k]))
            fail(op, "the region of loop " + std::to_string(k + 1) + " has the wrong area");
        result.push_back(maker.Face());
    }
    return result;
}


// A solid whose faces are caps (planes normal to axis) at two levels only and sides parallel to axis
// (planes, cylinders, extrusions along it): a straight extrusion of its bottom caps.
struct RightPrism {
    gp_Dir axis;
    std::vector<TopoDS_Face> bottom;  // the cap at the low level (one face)
    double low = 0, high = 0;         // levels of the caps along axis
};

// The solid as a right prism along axis, if it is one.
std::optional<RightPrism> prism_along(const TopTools_IndexedMapOfShape &faces, const gp_Dir &axis) {
    constexpr double angular = 1e-9;
    RightPrism prism{axis, {}, std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()};
    std::vector<std::pair<TopoDS_Face, double>> caps;
    for (int i = 1; i <= faces.Extent(); ++i) {
        const TopoDS_Face &face = TopoDS::Face(faces(i));
        BRepAdaptor_Surface surface(face, false);
        switch (surface.GetType()) {
        case GeomAbs_Plane: {
            const gp_Ax3 position = surface.Plane().Position();
            if (position.Direction().IsParallel(axis, angular)) {
                const double level = gp_Vec(position.Location().XYZ()).Dot(gp_Vec(axis));
                caps.push_back({face, level});
                prism.low = std::min(prism.low, level);
                prism.high = std::max(prism.high, level);
            } else if (!position.Direction().IsNormal(axis, angular)) {
                return std::nullopt;
            }
            break;
        }
        case GeomAbs_Cylinder:
            if (!surface.Cylinder().Axis().Direction().IsParallel(axis, angular)) return std::nullopt;
            break;
        case GeomAbs_SurfaceOfExtrusion:
            if (!surface.Direction().IsParallel(axis, angular)) return std::nullopt;
            break;
        default: return std::nullopt;
        }
    }
    if (!(prism.high - prism.low > Precision::Confusion())) return std::nullopt;
    for (const auto &[face, level] : caps) {
        if (std::abs(level - prism.low) <= Precision::Confusion())
            prism.bottom.push_back(face);
        else if (std::abs(level - prism.high) > Precision::Confusion())
            return std::nullopt;  // a step: the cross-section changes along the axis
    }
    // A bottom split into several faces would be offset face by face, wrongly at the shared edges.
    if (prism.bottom.size() != 1) return std::nullopt;
    return prism;
}

// The solid as a right prism along the normal of one of its planar faces, if it is one.
std::optional<RightPrism> right_prism(const TopoDS_Shape &solid) {
    TopTools_IndexedMapOfShape faces;
    TopExp::MapShapes(solid, TopAbs_FACE, faces);
    std::vector<gp_Dir> tried;
    for (int i = 1; i <= faces.Extent(); ++i) {
        BRepAdaptor_Surface surface(TopoDS::Face(faces(i)), false);
        if (surface.GetType() != GeomAbs_Plane) continue;
        const gp_Dir normal = surface.Plane().Axis().Direction();
        if (std::any_of(tried.begin(), tried.end(), [&](const gp_Dir &d) { return d.IsParallel(normal, 1e-9); }))
            continue;
        tried.push_back(normal);
        if (auto prism = prism_along(faces, normal)) return prism;
    }
    return std::nullopt;
}

// The right prism offset by distance: its bottom caps offset in their plane (edges extended to meet,
// edges and arcs that shrink to nothing dropped), extruded between the moved cap levels.
Shape offset_right_prism(const char *op, const RightPrism &prism, double distance) {
    const double height = prism.high - prism.low + 2 * distance;
    if (!(height > Precision::Confusion())) fail(op, "the offset leaves no height");
    TopoDS_Compound solids;
    BRep_Builder builder;
    builder.MakeCompound(solids);
    for (const TopoDS_Face &cap : prism.bottom) {
        BRepOffsetAPI_MakeOffset maker(cap, GeomAbs_Intersection);
        maker.Perform(distance);
        if (!maker.IsDone()) fail(op, "the kernel could not offset the prism's outline");
        std::vector<TopoDS_Wire> wires;
        for (TopExp_Explorer it(maker.Shape(), TopAbs_WIRE); it.More(); it.Next()) wires.push_back(TopoDS::Wire(it.Current()));
        if (wires.empty()) continue;  // the outline shrank to nothing
        const gp_Pln plane(BRepAdaptor_Surface(cap, false).Plane().Location(), prism.axis);
        const double before = face_area(cap);
        for (const TopoDS_Face &face : regions(op, wires, plane)) {
            const double after = face_area(face);
            if (distance > 0 ? after <= before : after >= before)
                fail(op, "the kernel offset the prism's outline the wrong way");
            gp_Trsf shift;
            shift.SetTranslation(gp_Vec(prism.axis) * -distance);
            BRepBuilderAPI_Transform moved(face, shift, Standard_True);
            BRepPrimAPI_MakePrism extrusion(moved.Shape(), gp_Vec(prism.axis) * height, Standard_True);
            extrusion.Build();
            if (!extrusion.IsDone()) fail(op, "the kernel could not extrude the offset outline");
            builder.Add(solids, extrusion.Shape());
        }
    }
    return solid_result(op, solids);
}


// Every vertex and edge midpoint of an offset must lie at least |distance| from the original's
// boundary: OCCT's 3D offset can return a valid solid that breaks this (a hole of radius r grown by
// d > r comes back with radius d - r), and such a result is refused rather than kept.
void check_offset(const char *op, const TopoDS_Shape &original, const TopoDS_Shape &result, double distance) {
    std::vector<gp_Pnt> samples;
    TopTools_IndexedMapOfShape vertices, edges;
    TopExp::MapShapes(result, TopAbs_VERTEX, vertices);
    for (int i = 1; i <= vertices.Extent(); ++i) samples.push_back(BRep_Tool::Pnt(TopoDS::Vertex(vertices(i))));
    TopExp::MapShapes(result, TopAbs_EDGE, edges);
    for (int i = 1; i <= edges.Extent(); ++i) {
        const TopoDS_Edge &edge = TopoDS::Edge(edges(i));
        if (BRep_Tool::Degenerated(edge) || !BRep_Tool::IsGeometric(edge)) continue;
        BRepAdaptor_Curve curve(edge);
        samples.push_back(curve.Value((curve.FirstParameter() + curve.LastParameter()) / 2));
    }
    // Distances to the boundary: against a solid the kernel reports 0 for points inside it.
    TopoDS_Compound boundary;
    BRep_Builder builder;
    builder.MakeCompound(boundary);
    for (TopExp_Explorer it(original, TopAbs_FACE); it.More(); it.Next()) builder.Add(boundary, it.Current());
    const double wanted = std::abs(distance) * (1 - 1e-6) - 1e-7;
    for (const gp_Pnt &p : samples) {
        BRepExtrema_DistShapeShape extrema(BRepBuilderAPI_MakeVertex(p).Vertex(), boundary);
        if (!extrema.IsDone()) fail(op, "the kernel could not check the offset");
        if (extrema.Value() < wanted)
            fail(op, "the kernel's offset is wrong: the point " + point_text(p) + " lies " +
                         std::to_string(extrema.Value()) + " from the original's boundary, not " +
                         std::to_string(std::abs(distance)));
    }
}


// OCCT's offset of the solid's faces, checked point by point.
Shape offset_3d(const char *op, const TopoDS_Shape &solid, double distance) {
    BRepOffsetAPI_MakeOffsetShape maker;
    maker.PerformByJoin(solid, distance, Precision::Confusion(), BRepOffset_Skin, Standard_False, Standard_False,
                        GeomAbs_Intersection);
    if (!maker.IsDone())
        fail(op, "the kernel could not offset the solid (error " +
                     std::to_string(static_cast<int>(maker.MakeOffset().Error())) + ")");
    Shape moved = solid_result(op, maker.Shape());
    check_offset(op, solid, moved.occ(), distance);
    return moved;
}

}  // namespace

Shape extrude_profile(const std::vector<Shape> &edges, const Vec3 &direction, double start, double end) {
    constexpr const char *op = "extrusion";
    return guarded(op, [&] {
        if (edges.empty()) profile_fail(Problem::Invalid, "the profile has no curves");
        if (!std::isfinite(start) || !std::isfinite(end) || !(end > start))
            fail(op, "the end distance must be greater than the start distance");
        const gp_Dir along = to_dir(op, direction, "direction");

        std::vector<Piece> pieces;
        for (std::size_t i = 0; i < edges.size(); ++i) pieces.push_back(piece_of(edges[i], i));
        const std::vector<TopoDS_Wire> wires = closed_wires(pieces);
        gp_Pln plane = profile_plane(wires);
        const double cosine = plane.Axis().Direction().Dot(along);
        if (std::abs(cosine) < 1e-9) profile_fail(Problem::Invalid, "the direction lies in the profile plane");
        // Faces facing the direction make a prism whose faces point outwards.
        if (cosine < 0) plane = gp_Pln(plane.Location(), plane.Axis().Direction().Reversed());

        TopoDS_Compound solids;
        BRep_Builder builder;
        builder.MakeCompound(solids);
        gp_Trsf shift;
        shift.SetTranslation(gp_Vec(along) * start);
        for (const TopoDS_Face &face : regions("extrusion", wires, plane)) {
            BRepBuilderAPI_Transform moved(face, shift, Standard_True);
            if (!moved.IsDone()) fail(op, "the kernel could not move the profile to the start distance");
            BRepPrimAPI_MakePrism prism(moved.Shape(), gp_Vec(along) * (end - start), Standard_True);
            prism.Build();
            if (!prism.IsDone()) fail(op, "the kernel could not extrude the profile");
            builder.Add(solids, prism.Shape());
        }
        return solid_result(op, solids);
    });
}

Shape offset_solid(const Shape &solid, double distance) {
    constexpr const char *op = "offset";
    return guarded(op, [&] {
        const TopoDS_Shape &shape = require(op, solid, "solid");
        if (!std::isfinite(distance)) fail(op, "the distance is not finite");
        TopTools_IndexedMapOfShape parts;
        TopExp::MapShapes(shape, TopAbs_SOLID, parts);
        if (parts.Extent() == 0) fail(op, "the shape has no solid");
        if (distance == 0) return solid;

        Shape result;
        for (int i = 1; i <= parts.Extent(); ++i) {
            const std::string which = parts.Extent() == 1 ? "the solid" : "solid " + std::to_string(i);
            const std::string by = " by " + std::to_string(distance);
            // OCCT's 3D offset keeps arcs that should vanish (a hole of radius r grown by d > r comes
            // back with radius d - r) or fails on them; prisms, the usual case, go through the planar
            // offset of their outline, which drops such arcs. The 3D offset is the fallback, checked.
            Shape moved;
            std::string planar_failure;
            if (const auto prism = right_prism(parts(i))) {
                try {
                    moved = offset_right_prism(op, *prism, distance);
                } catch (const KernelError &error) {
                    planar_failure = error.what();
                }
            }
            if (moved.is_null()) {
                try {
                    moved = offset_3d(op, parts(i), distance);
                } catch (const KernelError &error) {
                    if (planar_failure.empty()) throw;
                    fail(op, "could not offset " + which + by + ": " + planar_failure + "; " + error.what());
                }
            }
            const double before = volume(Shape(parts(i)));
            const double after = solid_count(moved) > 0 ? volume(moved) : 0;
            if (!(after > 0)) fail(op, "offsetting " + which + by + " leaves no solid");
            if (distance > 0 ? after <= before : after >= before)
                fail(op, "offsetting " + which + by + " leaves a " + (distance > 0 ? "smaller" : "larger") +
                             " solid than before");
            result = result.is_null() ? moved : fuse(result, moved);
        }
        return result;
    });
}

}  // namespace diekit::kernel
