// Hidden-line projection: HLRBRep_Algo (exact) or HLRBRep_PolyAlgo (mesh), extracted per shape and
// discretised into 2D polylines.
#include "kernel/drawing.hpp"

#include "kernel/line_cover.hpp"
#include "kernel/occ.hpp"

// OCCT 7.6 headers of the mesher and the hidden-line algorithm mix enumeration types in bit masks.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-enum-enum-conversion"
#include <BRepAdaptor_Curve.hxx>
#include <BRepBuilderAPI_Copy.hxx>
#include <BRepMesh_IncrementalMesh.hxx>
#include <GCPnts_TangentialDeflection.hxx>
#include <HLRAlgo_Projector.hxx>
#include <HLRBRep_Algo.hxx>
#include <HLRBRep_HLRToShape.hxx>
#include <HLRBRep_PolyAlgo.hxx>
#include <HLRBRep_PolyHLRToShape.hxx>
#include <TopExp_Explorer.hxx>
#include <TopoDS.hxx>
#include <gp_Ax2.hxx>
#include <gp_Pnt2d.hxx>
#pragma GCC diagnostic pop

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>

namespace diekit::kernel {

using namespace detail;

namespace {

constexpr const char *kOp = "hidden-line projection";

// The projector's frame: its z axis points to the viewer, its x axis is the view's x axis.
HLRAlgo_Projector projector(const ViewAxes &view) {
    gp_Dir toward = to_dir(kOp, view.toward_viewer, "view direction");
    gp_Vec right = to_vec(view.right);
    // Keep only the part of `right` perpendicular to the view direction.
    right -= gp_Vec(toward) * right.Dot(gp_Vec(toward));
    if (right.Magnitude() < 1e-9) fail(kOp, "the view's x axis is parallel to the view direction");
    return HLRAlgo_Projector(gp_Ax2(gp::Origin(), toward, gp_Dir(right)));
}

// Appends the edges of a result compound (edges in the projection plane, z = 0) as polylines.
void add_polylines(const TopoDS_Shape &compound, double deflection, std::vector<Polyline2> &out) {
    if (compound.IsNull()) return;
    for (TopExp_Explorer it(compound, TopAbs_EDGE); it.More(); it.Next()) {
        BRepAdaptor_Curve curve(TopoDS::Edge(it.Current()));
        Polyline2 line;
        if (curve.GetType() == GeomAbs_Line) {
            gp_Pnt a = curve.Value(curve.FirstParameter()), b = curve.Value(curve.LastParameter());
            line = {{a.X(), a.Y()}, {b.X(), b.Y()}};
        } else {
            GCPnts_TangentialDeflection points(curve, 0.2, deflection, 2);
            for (int i = 1; i <= points.NbPoints(); ++i) {
                gp_Pnt p = points.Value(i);
                line.push_back({p.X(), p.Y()});
            }
        }
        if (line.size() >= 2) out.push_back(std::move(line));
    }
}

double default_deflection(const std::vector<Shape> &shapes) {
    double largest = 0;
    for (auto &shape : shapes) {
        if (shape.is_null() || is_empty(shape)) continue;
        Box box = bounding_box(shape);
        for (int i = 0; i < 3; ++i) largest = std::max(largest, box[i + 3] - box[i]);
    }
    return largest > 0 ? largest / 1500 : 0.01;
}

template <class Extractor>
ProjectedLines extract(Extractor &extractor, const TopoDS_Shape &shape, bool with_hidden, double deflection) {
    ProjectedLines lines;
    add_polylines(extractor.VCompound(shape), deflection, lines.visible);
    add_polylines(extractor.OutLineVCompound(shape), deflection, lines.visible);
    add_polylines(extractor.Rg1LineVCompound(shape), deflection, lines.smooth);
    if (with_hidden) {
        add_polylines(extractor.HCompound(shape), deflection, lines.hidden);
        add_polylines(extractor.OutLineHCompound(shape), deflection, lines.hidden);
    }
    return lines;
}

// Joins polylines that continue one another (end on start, either way round) and drops interior
// points that lie on the straight line through their neighbours: the mesh method returns one segment
// per mesh edge, the exact one one polyline per edge piece.
void chain(std::vector<Polyline2> &lines, double eps) {
    if (lines.size() < 2) return;
    auto key = [eps](const Point2 &p) { return std::pair(std::llround(p.x / eps), std::llround(p.y / eps)); };
    std::map<std::pair<long long, long long>, std::vector<std::size_t>> at;  // end points -> lines
    for (std::size_t i = 0; i < lines.size(); ++i) {
        at[key(lines[i].front())].push_back(i);
        at[key(lines[i].back())].push_back(i);
    }
    std::vector<bool> used(lines.size(), false);
    // A line not used yet that starts or ends at p, turned so that it starts there.
    auto take_from = [&](const Point2 &p, Polyline2 &next) {
        auto found = at.find(key(p));
        if (found == at.end()) return false;
        for (std::size_t j : found->second) {
            if (used[j]) continue;
            used[j] = true;
            next = lines[j];
            if (key(next.front()) != key(p)) std::reverse(next.begin(), next.end());
            return true;
        }
        return false;
    };
    std::vector<Polyline2> joined;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (used[i]) continue;
        used[i] = true;
        Polyline2 line = lines[i], next;
        while (take_from(line.back(), next)) line.insert(line.end(), next.begin() + 1, next.end());
        while (take_from(line.front(), next)) {
            std::reverse(next.begin(), next.end());
            line.insert(line.begin(), next.begin(), next.end() - 1);
        }
        Polyline2 simple{line.front()};
        for (std::size_t k = 1; k + 1 < line.size(); ++k) {
            const Point2 &a = simple.back(), &b = line[k], &c = line[k + 1];
            const double ux = c.x - a.x, uy = c.y - a.y, length = std::hypot(ux, uy);
            const double off = length > 0 ? std::abs(ux * (b.y - a.y) - uy * (b.x - a.x)) / length : std::hypot(b.x - a.x, b.y - a.y);
            const bool between = (b.x - a.x) * ux + (b.y - a.y) * uy > 0 && (c.x - b.x) * ux + (c.y - b.y) * uy > 0;
            if (off > eps || !between) simple.push_back(b);
        }
        simple.push_back(line.back());
        joined.push_back(std::move(simple));
    }
    lines = std::move(joined);
}

// Each hidden line of a view drawn once: only where no line of any body is drawn already (visible
// and smooth lines first, then hidden ones in body order). Visible and smooth lines stay as they are:
// every body keeps its whole outline in its colour, even where it touches another.
void draw_hidden_lines_once(std::vector<ProjectedLines> &result, double tolerance) {
    DrawnLines drawn(tolerance);
    for (auto &lines : result) {
        drawn.add(lines.visible);
        drawn.add(lines.smooth);
    }
    for (auto &lines : result) lines.hidden = drawn.keep_undrawn(lines.hidden);
}

void chain_all(std::vector<ProjectedLines> &result, double eps) {
    for (auto &lines : result) {
        chain(lines.visible, eps);
        chain(lines.smooth, eps);
        chain(lines.hidden, eps);
    }
}

std::vector<ProjectedLines> exact(const std::vector<TopoDS_Shape> &shapes, const HLRAlgo_Projector &view,
                                  bool with_hidden, double deflection) {
    Handle(HLRBRep_Algo) algo = new HLRBRep_Algo();
    for (auto &shape : shapes)
        if (!shape.IsNull()) algo->Add(shape);
    algo->Projector(view);
    algo->Update();
    algo->Hide();
    HLRBRep_HLRToShape extractor(algo);
    std::vector<ProjectedLines> result;
    for (auto &shape : shapes)
        result.push_back(shape.IsNull() ? ProjectedLines{} : extract(extractor, shape, with_hidden, deflection));
    return result;
}

// Copies of the shapes with a triangulation of chordal deviation `deflection`: the callers' shapes
// stay as they were (no triangulation is left on them).
std::vector<TopoDS_Shape> meshed_copies(const std::vector<TopoDS_Shape> &shapes, double deflection) {
    std::vector<TopoDS_Shape> copies;
    for (auto &shape : shapes) {
        if (shape.IsNull()) {
            copies.emplace_back();
            continue;
        }
        TopoDS_Shape copy = BRepBuilderAPI_Copy(shape, true, false).Shape();
        BRepMesh_IncrementalMesh(copy, deflection, false, 0.35, false);
        copies.push_back(copy);
    }
    return copies;
}

std::vector<ProjectedLines> mesh(const std::vector<TopoDS_Shape> &copies, const HLRAlgo_Projector &view,
                                 bool with_hidden, double deflection) {
    Handle(HLRBRep_PolyAlgo) algo = new HLRBRep_PolyAlgo();
    for (auto &copy : copies)
        if (!copy.IsNull()) algo->Load(copy);
    algo->Projector(view);
    algo->Update();
    HLRBRep_PolyHLRToShape extractor;
    extractor.Update(algo);
    std::vector<ProjectedLines> result;
    for (auto &copy : copies)
        result.push_back(copy.IsNull() ? ProjectedLines{} : extract(extractor, copy, with_hidden, deflection));
    return result;
}

}  // namespace

std::vector<std::vector<ProjectedLines>> project_hidden_lines(const std::vector<Shape> &shapes,
                                                              const std::vector<ViewAxes> &views,
                                                              const HiddenLineOptions &options) {
    return guarded(kOp, [&] {
        const double deflection = options.deflection > 0 ? options.deflection : default_deflection(shapes);
        std::vector<HLRAlgo_Projector> projectors;
        for (auto &view : views) projectors.push_back(projector(view));
        std::vector<TopoDS_Shape> occ;
        for (auto &shape : shapes) occ.push_back(shape.occ());
        std::vector<std::vector<ProjectedLines>> result;
        if (std::all_of(occ.begin(), occ.end(), [](const TopoDS_Shape &s) { return s.IsNull(); })) {
            result.assign(views.size(), std::vector<ProjectedLines>(shapes.size()));
            return result;
        }
        // The mesh is made once for all views, coarser than the lines (its error shows only on curved
        // silhouettes, where four times the line deviation is still well under a line width).
        const std::vector<TopoDS_Shape> copies =
            options.method == HiddenLineMethod::Mesh ? meshed_copies(occ, deflection * 4) : std::vector<TopoDS_Shape>{};
        for (auto &view : projectors) {
            result.push_back(options.method == HiddenLineMethod::Exact
                                 ? exact(occ, view, options.with_hidden, deflection)
                                 : mesh(copies, view, options.with_hidden, deflection));
            // Lines of the mesh method stray from the true edges by up to the mesh's deviation.
            draw_hidden_lines_once(result.back(), options.method == HiddenLineMethod::Exact ? 2 * deflection : 4 * deflection);
            chain_all(result.back(), deflection / 100);
        }
        return result;
    });
}

std::vector<ProjectedLines> project_hidden_lines(const std::vector<Shape> &shapes, const ViewAxes &view,
                                                 const HiddenLineOptions &options) {
    return project_hidden_lines(shapes, std::vector<ViewAxes>{view}, options).front();
}

std::array<double, 4> projected_extent(const Box &box, const ViewAxes &view) {
    const HLRAlgo_Projector p = guarded(kOp, [&] { return projector(view); });
    std::array<double, 4> extent = {std::numeric_limits<double>::infinity(), std::numeric_limits<double>::infinity(),
                                    -std::numeric_limits<double>::infinity(),
                                    -std::numeric_limits<double>::infinity()};
    for (int corner = 0; corner < 8; ++corner) {
        gp_Pnt point(box[(corner & 1) ? 3 : 0], box[(corner & 2) ? 4 : 1], box[(corner & 4) ? 5 : 2]);
        gp_Pnt2d projected;
        p.Project(point, projected);
        extent[0] = std::min(extent[0], projected.X());
        extent[1] = std::min(extent[1], projected.Y());
        extent[2] = std::max(extent[2], projected.X());
        extent[3] = std::max(extent[3], projected.Y());
    }
    return extent;
}

}  // namespace diekit::kernel
