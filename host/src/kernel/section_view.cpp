// Section views: the half behind the plane by a boolean with a box, its faces on the plane, and the
// hidden-line projection of that half (of all halves together for an assembly).
#include "kernel/section_view.hpp"

#include "kernel/occ.hpp"
#include "kernel/oriented_box.hpp"

#include <BRepAdaptor_Curve.hxx>
#include <BRepAdaptor_Surface.hxx>
#include <BRepAlgoAPI_Cut.hxx>
#include <BRepPrimAPI_MakeBox.hxx>
#include <GCPnts_TangentialDeflection.hxx>
#include <BRepTools_WireExplorer.hxx>
#include <TopExp_Explorer.hxx>
#include <TopoDS_Wire.hxx>
#include <TopoDS.hxx>

#include <algorithm>
#include <cmath>

namespace diekit::kernel {

using namespace detail;

namespace {

constexpr const char *kOp = "section view";

// The part of a shape (with box `box`) on the far side of the plane y = level: y >= level.
Shape behind(const Shape &shape, const Box &box, double level) {
    return guarded(kOp, [&] {
        const double m = 1 + std::max({box[3] - box[0], box[4] - box[1], box[5] - box[2]});
        const TopoDS_Shape front = BRepPrimAPI_MakeBox(gp_Pnt(box[0] - m, box[1] - m, box[2] - m),
                                                       gp_Pnt(box[3] + m, level, box[5] + m)).Shape();
        BRepAlgoAPI_Cut cutter(shape.occ(), front);
        if (!cutter.IsDone()) fail(kOp, "the kernel could not cut the part");
        return Shape(cutter.Shape());
    });
}

// The closed outlines (x, z) of the half's faces that lie on the plane y = level.
std::vector<Polyline2> outlines_on_plane(const Shape &half, double level, double deflection) {
    return guarded(kOp, [&] {
        std::vector<Polyline2> outlines;
        for (TopExp_Explorer f(half.occ(), TopAbs_FACE); f.More(); f.Next()) {
            const TopoDS_Face &face = TopoDS::Face(f.Current());
            BRepAdaptor_Surface surface(face, false);
            if (surface.GetType() != GeomAbs_Plane) continue;
            const gp_Pln plane = surface.Plane();
            if (std::abs(std::abs(plane.Axis().Direction().Y()) - 1) > 1e-9 || std::abs(plane.Location().Y() - level) > 1e-6)
                continue;
            for (TopExp_Explorer w(face, TopAbs_WIRE); w.More(); w.Next()) {
                Polyline2 outline;
                for (BRepTools_WireExplorer e(TopoDS::Wire(w.Current()), face); e.More(); e.Next()) {
                    BRepAdaptor_Curve curve(e.Current());
                    Polyline2 piece;
                    if (curve.GetType() == GeomAbs_Line) {
                        for (double t : {curve.FirstParameter(), curve.LastParameter()}) piece.push_back({curve.Value(t).X(), curve.Value(t).Z()});
                    } else {
                        GCPnts_TangentialDeflection points(curve, 0.2, deflection, 2);
                        for (int i = 1; i <= points.NbPoints(); ++i) piece.push_back({points.Value(i).X(), points.Value(i).Z()});
                    }
                    if (e.Orientation() == TopAbs_REVERSED) std::reverse(piece.begin(), piece.end());
                    outline.insert(outline.end(), piece.begin(), piece.end());
                }
                if (outline.size() >= 3) outlines.push_back(std::move(outline));
            }
        }
        return outlines;
    });
}

const ViewAxes kFromFront{{0, -1, 0}, {1, 0, 0}};

}  // namespace

SectionView section_view(const Shape &shape, const Frame &frame, double level, double deflection) {
    const Shape local = to_frame(shape, frame);
    const Box box = bounding_box(local);
    SectionView view;
    if (!(level > box[1]) || !(level < box[4])) return view;
    const Shape half = behind(local, box, level);
    view.cut = outlines_on_plane(half, level, deflection);
    HiddenLineOptions options;
    options.deflection = deflection;
    options.with_hidden = false;
    view.beyond = project_hidden_lines({half}, kFromFront, options).front().visible;
    return view;
}

std::vector<SectionView> section_views(const std::vector<Shape> &shapes, const std::vector<bool> &sectioned,
                                       double level, const HiddenLineOptions &options) {
    std::vector<SectionView> views(shapes.size());
    std::vector<Shape> seen(shapes.size());  // what of each shape the viewer sees: null for nothing
    for (std::size_t i = 0; i < shapes.size(); ++i) {
        if (shapes[i].is_null() || is_empty(shapes[i])) continue;
        const Box box = bounding_box(shapes[i]);
        if (!(box[4] > level)) continue;  // wholly in front of the plane
        if (!(box[1] < level) || (i < sectioned.size() && !sectioned[i])) {
            seen[i] = shapes[i];
            continue;
        }
        seen[i] = behind(shapes[i], box, level);
        views[i].cut = outlines_on_plane(seen[i], level, options.deflection);
    }
    HiddenLineOptions visible_only = options;
    visible_only.with_hidden = false;
    auto lines = project_hidden_lines(seen, kFromFront, visible_only);
    for (std::size_t i = 0; i < shapes.size(); ++i) views[i].beyond = std::move(lines[i].visible);
    return views;
}

}  // namespace diekit::kernel
