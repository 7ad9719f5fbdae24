// Edge treatments: chamfers (equal, two distances, distance and angle) and constant-radius fillets.
#include "kernel/occ.hpp"

#include <BRepFilletAPI_MakeChamfer.hxx>
#include <BRepFilletAPI_MakeFillet.hxx>
#include <TopExp.hxx>
#include <TopTools_IndexedDataMapOfShapeListOfShape.hxx>
#include <TopTools_IndexedMapOfShape.hxx>
#include <TopoDS.hxx>

#include <cmath>
#include <functional>

namespace diekit::kernel {

using namespace detail;

namespace {

struct BodyEdge {
    TopoDS_Edge edge;  // the edge as it lies in the body
    TopoDS_Face face;  // the first face of the body along it
};

// Resolves the given edges against the body: each must be an edge of it with an adjacent face.
std::vector<BodyEdge> body_edges(const char *op, const TopoDS_Shape &body, const std::vector<Shape> &edges) {
    if (edges.empty()) fail(op, "no edges given");
    TopTools_IndexedDataMapOfShapeListOfShape faces_of_edge;
    TopExp::MapShapesAndAncestors(body, TopAbs_EDGE, TopAbs_FACE, faces_of_edge);
    TopTools_IndexedMapOfShape seen;  // an edge listed twice is treated once
    std::vector<BodyEdge> result;
    for (std::size_t i = 0; i < edges.size(); ++i) {
        const std::string which = "edge " + std::to_string(i + 1);
        const TopoDS_Shape &given = require(op, edges[i], which.c_str());
        if (given.ShapeType() != TopAbs_EDGE) fail(op, which + " is not an edge");
        const int index = faces_of_edge.FindIndex(given);
        if (index == 0) fail(op, which + " is not an edge of the body");
        if (seen.Contains(faces_of_edge.FindKey(index))) continue;
        seen.Add(faces_of_edge.FindKey(index));
        const TopTools_ListOfShape &faces = faces_of_edge(index);
        if (faces.IsEmpty()) fail(op, which + " bounds no face of the body");
        result.push_back({TopoDS::Edge(faces_of_edge.FindKey(index)), TopoDS::Face(faces.First())});
    }
    return result;
}

template <class Maker>
Shape finish(const char *op, Maker &maker) {
    maker.Build();
    if (!maker.IsDone()) fail(op, "the kernel could not build it on these edges with these sizes");
    return solid_result(op, maker.Shape());
}

Shape chamfer(const char *op, const Shape &body, const std::vector<Shape> &edges,
              const std::function<void(BRepFilletAPI_MakeChamfer &, const BodyEdge &)> &add) {
    const TopoDS_Shape &shape = require(op, body, "body");
    const std::vector<BodyEdge> chosen = body_edges(op, shape, edges);
    BRepFilletAPI_MakeChamfer maker(shape);
    for (const BodyEdge &e : chosen) add(maker, e);
    return finish(op, maker);
}

}  // namespace

Shape chamfer_equal(const Shape &body, const std::vector<Shape> &edges, double d) {
    constexpr const char *op = "chamfer";
    return guarded(op, [&] {
        require_positive(op, d, "distance");
        return chamfer(op, body, edges, [&](BRepFilletAPI_MakeChamfer &maker, const BodyEdge &e) {
            maker.Add(d, e.edge);
        });
    });
}

Shape chamfer_two(const Shape &body, const std::vector<Shape> &edges, double d1, double d2) {
    constexpr const char *op = "chamfer";
    return guarded(op, [&] {
        require_positive(op, d1, "first distance");
        require_positive(op, d2, "second distance");
        return chamfer(op, body, edges, [&](BRepFilletAPI_MakeChamfer &maker, const BodyEdge &e) {
            maker.Add(d1, d2, e.edge, e.face);
        });
    });
}

Shape chamfer_angle(const Shape &body, const std::vector<Shape> &edges, double d, double angle_deg) {
    constexpr const char *op = "chamfer";
    return guarded(op, [&] {
        require_positive(op, d, "distance");
        if (!std::isfinite(angle_deg) || angle_deg <= 0 || angle_deg >= 90)
            fail(op, "angle must lie strictly between 0 and 90 degrees");
        const double angle = angle_deg * M_PI / 180;
        return chamfer(op, body, edges, [&](BRepFilletAPI_MakeChamfer &maker, const BodyEdge &e) {
            maker.AddDA(d, angle, e.edge, e.face);
        });
    });
}

Shape fillet(const Shape &body, const std::vector<Shape> &edges, double radius) {
    constexpr const char *op = "fillet";
    return guarded(op, [&] {
        require_positive(op, radius, "radius");
        const TopoDS_Shape &shape = require(op, body, "body");
        const std::vector<BodyEdge> chosen = body_edges(op, shape, edges);
        BRepFilletAPI_MakeFillet maker(shape);
        for (const BodyEdge &e : chosen) maker.Add(radius, e.edge);
        return finish(op, maker);
    });
}

}  // namespace diekit::kernel
