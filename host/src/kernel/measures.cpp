// Measures: exact bounding boxes, volume, area, counts and validity.
#include "kernel/held_cut.hpp"

#include <BRepAdaptor_Curve.hxx>
#include <BRepAdaptor_Surface.hxx>
#include <BRepCheck_Analyzer.hxx>
#include <BRepGProp.hxx>
#include <BRep_Tool.hxx>
#include <BndLib_Add3dCurve.hxx>
#include <BndLib_AddSurface.hxx>
#include <Bnd_Box.hxx>
#include <GProp_GProps.hxx>
#include <TopExp.hxx>
#include <TopExp_Explorer.hxx>
#include <TopTools_IndexedMapOfShape.hxx>
#include <TopoDS.hxx>

#include <algorithm>
#include <cmath>
#include <limits>

namespace diekit::kernel {

using namespace detail;

namespace {

// Accumulates extents without any tolerance enlargement.
struct Extents {
    double lo[3] = {std::numeric_limits<double>::infinity(), std::numeric_limits<double>::infinity(),
                    std::numeric_limits<double>::infinity()};
    double hi[3] = {-std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                    -std::numeric_limits<double>::infinity()};

    bool empty() const { return lo[0] > hi[0]; }

    void add(const gp_Pnt &p) {
        const double c[3] = {p.X(), p.Y(), p.Z()};
        for (int i = 0; i < 3; ++i) {
            lo[i] = std::min(lo[i], c[i]);
            hi[i] = std::max(hi[i], c[i]);
        }
    }

    void add(const Bnd_Box &box) {
        if (box.IsVoid()) return;
        double b[6];
        box.Get(b[0], b[1], b[2], b[3], b[4], b[5]);
        for (int i = 0; i < 3; ++i) {
            lo[i] = std::min(lo[i], b[i]);
            hi[i] = std::max(hi[i], b[i + 3]);
        }
    }
};

// Removes round-off: vertices computed by chamfers and booleans come out as -6.7e-16 for 0, and
// callers truncate extents, so 19.999999999999996 must read 20. A value within 1e-12 (relative for
// large values) of a 1e-9 grid point becomes that point; other values are kept as computed.
double snap(double v) {
    if (!(std::abs(v) < 1e6)) return v;  // keep v * 1e9 well inside the exactly representable integers
    const double grid_point = std::round(v * 1e9) / 1e9;
    if (std::abs(v - grid_point) > 1e-12 * std::max(1.0, std::abs(v))) return v;
    return grid_point + 0.0;  // -0 reads as 0
}

}  // namespace

namespace {

// The measure kept with the shape, computed by compute on first use.
template <class T, class F>
T kept(const Shape &shape, std::optional<T> Measures::*slot, F &&compute) {
    ShapeData *data = shape.data();
    if (!data) return compute();
    {
        std::lock_guard<std::mutex> hold(data->measures.lock);
        if (auto &known = data->measures.*slot) return *known;
    }
    T value = compute();
    std::lock_guard<std::mutex> hold(data->measures.lock);
    data->measures.*slot = value;
    return value;
}

Box exact_box(const Shape &shape) {
    constexpr const char *op = "bounding box";
    return guarded(op, [&] {
        if (is_held(shape))
            if (auto box = held_bounding_box(shape)) return *box;
        const TopoDS_Shape &s = require(op, shape);
        Extents extents;

        // Vertices give the exact extremes of everything bounded by straight edges and planes.
        TopTools_IndexedMapOfShape vertices;
        TopExp::MapShapes(s, TopAbs_VERTEX, vertices);
        for (int i = 1; i <= vertices.Extent(); ++i) extents.add(BRep_Tool::Pnt(TopoDS::Vertex(vertices(i))));

        // Curved edges and faces may bulge beyond their vertices: add their optimal boxes, tolerance 0.
        TopTools_IndexedMapOfShape edges;
        TopExp::MapShapes(s, TopAbs_EDGE, edges);
        for (int i = 1; i <= edges.Extent(); ++i) {
            const TopoDS_Edge &edge = TopoDS::Edge(edges(i));
            if (BRep_Tool::Degenerated(edge) || !BRep_Tool::IsGeometric(edge)) continue;
            BRepAdaptor_Curve curve(edge);
            if (curve.GetType() == GeomAbs_Line) continue;
            Bnd_Box box;
            BndLib_Add3dCurve::AddOptimal(curve, 0.0, box);
            box.SetGap(0.0);
            extents.add(box);
        }
        TopTools_IndexedMapOfShape faces;
        TopExp::MapShapes(s, TopAbs_FACE, faces);
        for (int i = 1; i <= faces.Extent(); ++i) {
            const TopoDS_Face &face = TopoDS::Face(faces(i));
            BRepAdaptor_Surface surface(face, true);
            if (surface.GetType() == GeomAbs_Plane) continue;
            Bnd_Box box;
            BndLib_AddSurface::AddOptimal(surface, surface.FirstUParameter(), surface.LastUParameter(),
                                          surface.FirstVParameter(), surface.LastVParameter(), 0.0, box);
            box.SetGap(0.0);
            extents.add(box);
        }

        if (extents.empty()) fail(op, "the shape is empty");
        return Box{snap(extents.lo[0]), snap(extents.lo[1]), snap(extents.lo[2]),
                   snap(extents.hi[0]), snap(extents.hi[1]), snap(extents.hi[2])};
    });
}

}  // namespace

Box bounding_box(const Shape &shape) {
    return kept(shape, &Measures::box, [&] { return exact_box(shape); });
}

double volume(const Shape &shape) {
    constexpr const char *op = "volume";
    return kept(shape, &Measures::volume, [&] {
        return guarded(op, [&] {
            GProp_GProps props;
            BRepGProp::VolumeProperties(require(op, shape), props, true);  // closed shells only
            return props.Mass();
        });
    });
}

double area(const Shape &shape) {
    constexpr const char *op = "area";
    return guarded(op, [&] {
        GProp_GProps props;
        BRepGProp::SurfaceProperties(require(op, shape), props);
        return props.Mass();
    });
}

int solid_count(const Shape &shape) {
    constexpr const char *op = "solid count";
    return guarded(op, [&] {
        TopTools_IndexedMapOfShape solids;
        TopExp::MapShapes(require(op, shape), TopAbs_SOLID, solids);
        return solids.Extent();
    });
}

bool has_solid(const Shape &shape) {
    constexpr const char *op = "solid count";
    return guarded(op, [&] {
        if (is_held(shape) && held_keeps_material(shape)) return true;
        return TopExp_Explorer(require(op, shape), TopAbs_SOLID).More() == Standard_True;
    });
}

bool is_empty(const Shape &shape) {
    constexpr const char *op = "is empty";
    return guarded(op, [&] {
        // Faces and edges are checked as well as vertices: a shape may hold a face bounded by no vertex.
        const TopoDS_Shape &s = require(op, shape);
        return !TopExp_Explorer(s, TopAbs_VERTEX).More() && !TopExp_Explorer(s, TopAbs_EDGE).More() &&
               !TopExp_Explorer(s, TopAbs_FACE).More();
    });
}

bool is_valid(const Shape &shape) {
    constexpr const char *op = "validity check";
    return guarded(op, [&] { return BRepCheck_Analyzer(require(op, shape)).IsValid() == Standard_True; });
}

}  // namespace diekit::kernel
