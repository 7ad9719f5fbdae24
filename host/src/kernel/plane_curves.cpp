// Curves on planes. Unless an edge stores its curve in a plane's parameters, the kernel projects the
// edge onto the plane each time that curve is asked for. The face checks and the STEP writer ask for
// every edge of a face once per edge of it, so on a plate top with hundreds of pockets the
// projections grow with the square of the pockets. The edges a boolean makes on such faces get their
// curves stored once, computed as the kernel would compute them on the fly.
#include "kernel/occ.hpp"

#include <BRepLib.hxx>
#include <BRep_Tool.hxx>
#include <Geom_Plane.hxx>
#include <TopExp_Explorer.hxx>
#include <TopTools_MapOfShape.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Edge.hxx>
#include <TopoDS_Face.hxx>

namespace diekit::kernel::detail {

namespace {

bool on_plane(const TopoDS_Face &face) {
    TopLoc_Location location;
    const Handle(Geom_Surface) &surface = BRep_Tool::Surface(face, location);
    return !surface.IsNull() && surface->IsKind(STANDARD_TYPE(Geom_Plane));
}

bool has_many_edges(const TopoDS_Face &face) {
    int count = 0;
    for (TopExp_Explorer edge(face, TopAbs_EDGE); edge.More() && count < kManyFaceEdges; edge.Next()) ++count;
    return count >= kManyFaceEdges;
}

}  // namespace

void store_plane_curves(const TopoDS_Shape &result, const std::vector<TopoDS_Shape> &operands) {
    // Edges taken over from an operand are shared with it and may be read elsewhere: only the
    // boolean's own new edges are written to.
    TopTools_MapOfShape shared;
    bool shared_mapped = false;
    for (TopExp_Explorer explorer(result, TopAbs_FACE); explorer.More(); explorer.Next()) {
        const TopoDS_Face &face = TopoDS::Face(explorer.Current());
        if (!on_plane(face) || !has_many_edges(face)) continue;
        if (!shared_mapped) {
            for (const TopoDS_Shape &operand : operands)
                for (TopExp_Explorer edge(operand, TopAbs_EDGE); edge.More(); edge.Next()) shared.Add(edge.Current());
            shared_mapped = true;
        }
        for (TopExp_Explorer edge(face, TopAbs_EDGE); edge.More(); edge.Next())
            if (!shared.Contains(edge.Current())) BRepLib::BuildPCurveForEdgeOnPlane(TopoDS::Edge(edge.Current()), face);
    }
}

}  // namespace diekit::kernel::detail
