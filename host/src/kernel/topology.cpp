// Topology: faces and edges in indexed-map order, identity, kinds, and edges lying along a reference.
#include "kernel/occ.hpp"

#include <BRepAdaptor_Curve.hxx>
#include <BRepBndLib.hxx>
#include <BRep_Tool.hxx>
#include <Bnd_Box.hxx>
#include <ShapeAnalysis_Curve.hxx>
#include <TopExp.hxx>
#include <TopTools_IndexedMapOfShape.hxx>
#include <TopoDS.hxx>

namespace diekit::kernel {

using namespace detail;

namespace {

std::vector<Shape> sub_shapes(const char *op, const Shape &shape, TopAbs_ShapeEnum type) {
    return guarded(op, [&] {
        TopTools_IndexedMapOfShape map;
        TopExp::MapShapes(require(op, shape), type, map);
        std::vector<Shape> result;
        result.reserve(map.Extent());
        for (int i = 1; i <= map.Extent(); ++i) result.emplace_back(map(i));
        return result;
    });
}

// An edge of the reference with a box enlarged by the tolerance, to skip far edges cheaply.
struct ReferenceEdge {
    TopoDS_Edge edge;
    Bnd_Box box;
};

bool lies_on(const gp_Pnt &p, const std::vector<ReferenceEdge> &reference) {
    const ShapeAnalysis_Curve analysis;
    for (const ReferenceEdge &r : reference) {
        if (r.box.IsOut(p)) continue;
        BRepAdaptor_Curve curve(r.edge);
        gp_Pnt projection;
        double parameter = 0;
        if (analysis.Project(curve, p, kTolerance, projection, parameter, false) <= kTolerance) return true;
    }
    return false;
}

}  // namespace

std::vector<Shape> faces(const Shape &shape) { return sub_shapes("faces", shape, TopAbs_FACE); }

std::vector<Shape> edges(const Shape &shape) { return sub_shapes("edges", shape, TopAbs_EDGE); }

bool is_same(const Shape &a, const Shape &b) {
    constexpr const char *op = "same shape";
    return guarded(op, [&] { return require(op, a, "first shape").IsSame(require(op, b, "second shape")); });
}

std::vector<Shape> edges_lying_on(const Shape &body, const Shape &reference) {
    constexpr const char *op = "edges lying on";
    return guarded(op, [&] {
        const TopoDS_Shape &b = require(op, body, "body");
        const TopoDS_Shape &r = require(op, reference, "reference");

        std::vector<ReferenceEdge> along;
        TopTools_IndexedMapOfShape reference_edges;
        TopExp::MapShapes(r, TopAbs_EDGE, reference_edges);
        for (int i = 1; i <= reference_edges.Extent(); ++i) {
            const TopoDS_Edge &edge = TopoDS::Edge(reference_edges(i));
            if (BRep_Tool::Degenerated(edge) || !BRep_Tool::IsGeometric(edge)) continue;
            ReferenceEdge entry{edge, {}};
            BRepBndLib::Add(edge, entry.box, false);
            entry.box.Enlarge(kTolerance);
            along.push_back(entry);
        }

        // An edge counts when its ends, midpoint and quarter points all lie on the reference's edges.
        std::vector<Shape> result;
        TopTools_IndexedMapOfShape body_edges;
        TopExp::MapShapes(b, TopAbs_EDGE, body_edges);
        for (int i = 1; i <= body_edges.Extent(); ++i) {
            const TopoDS_Edge &edge = TopoDS::Edge(body_edges(i));
            if (BRep_Tool::Degenerated(edge) || !BRep_Tool::IsGeometric(edge)) continue;
            BRepAdaptor_Curve curve(edge);
            const double first = curve.FirstParameter(), last = curve.LastParameter();
            bool on = true;
            for (double t : {0.0, 1.0, 0.5, 0.25, 0.75}) {
                if (!lies_on(curve.Value(first + t * (last - first)), along)) {
                    on = false;
                    break;
                }
            }
            if (on) result.emplace_back(edge);
        }
        return result;
    });
}

ShapeKind kind(const Shape &shape) {
    constexpr const char *op = "shape kind";
    return guarded(op, [&] {
        switch (require(op, shape).ShapeType()) {
        case TopAbs_SOLID: return ShapeKind::Solid;
        case TopAbs_COMPOUND: return ShapeKind::Compound;
        case TopAbs_FACE: return ShapeKind::Face;
        case TopAbs_EDGE: return ShapeKind::Edge;
        case TopAbs_VERTEX: return ShapeKind::Vertex;
        case TopAbs_WIRE: return ShapeKind::Wire;
        case TopAbs_SHELL: return ShapeKind::Shell;
        default: return ShapeKind::Other;
        }
    });
}

}  // namespace diekit::kernel
