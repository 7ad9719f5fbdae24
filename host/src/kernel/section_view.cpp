// Section views: the half behind the plane by a boolean with a box, its faces on the plane, and the
// hidden-line projection of that half.
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

SectionView section_view(const Shape &shape, const Frame &frame, double level, double deflection) {
    constexpr const char *op = "section view";
    const Shape local = to_frame(shape, frame);
    const Box box = bounding_box(local);
    SectionView view;
    if (!(level > box[1]) || !(level < box[4])) return view;
    const Shape half = guarded(op, [&] {
        const double m = 1 + std::max({box[3] - box[0], box[4] - box[1], box[5] - box[2]});
        const TopoDS_Shape front = BRepPrimAPI_MakeBox(gp_Pnt(box[0] - m, box[1] - m, box[2] - m),
                                                       gp_Pnt(box[3] + m, level, box[5] + m)).Shape();
        BRepAlgoAPI_Cut cutter(local.occ(), front);
        if (!cutter.IsDone()) fail(op, "the kernel could not cut the part");
        return Shape(cutter.Shape());
    });
    guarded(op, [&] {
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
                if (outline.size() >= 3) view.cut.push_back(std::move(outline));
            }
        }
        return 0;
    });
    HiddenLineOptions options;
    options.deflection = deflection;
    options.with_hidden = false;
    const auto lines = project_hidden_lines({half}, ViewAxes{{0, -1, 0}, {1, 0, 0}}, options);
    for (auto &l : lines.front().visible) view.beyond.push_back(l);
    return view;
}

}  // namespace diekit::kernel
