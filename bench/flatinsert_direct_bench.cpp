// flatinsert's kernel work made directly on OCCT, without the host, for the host-overhead ratio:
// per punch the search box, the section (common), the insert box, the corner-point distance queries
// that choose the chamfered edges, the chamfer, the insert (common) and the pocket (cut), each result
// checked once, on the geometry of examples/flatinsert.json. Compare with
// Apply/flatinsert, which does the same through the plug-in, the UF_* layer and the object store.
#include <BRepAlgoAPI_Common.hxx>
#include <BRepAlgoAPI_Cut.hxx>
#include <BRepBndLib.hxx>
#include <BRepBuilderAPI_MakePolygon.hxx>
#include <BRepBuilderAPI_MakeFace.hxx>
#include <BRepCheck_Analyzer.hxx>
#include <BRepBuilderAPI_MakeVertex.hxx>
#include <BRepExtrema_DistShapeShape.hxx>
#include <BRepFilletAPI_MakeChamfer.hxx>
#include <BRepPrimAPI_MakeBox.hxx>
#include <BRepPrimAPI_MakeCylinder.hxx>
#include <BRepPrimAPI_MakePrism.hxx>
#include <Bnd_Box.hxx>
#include <TopExp.hxx>
#include <TopExp_Explorer.hxx>
#include <TopTools_IndexedDataMapOfShapeListOfShape.hxx>
#include <TopoDS.hxx>
#include <gp_Ax2.hxx>

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

TopoDS_Shape prism(const std::vector<std::pair<double, double>> &outline, double z0, double z1) {
    BRepBuilderAPI_MakePolygon polygon;
    for (auto [x, y] : outline) polygon.Add(gp_Pnt(x, y, z0));
    polygon.Close();
    TopoDS_Face face = BRepBuilderAPI_MakeFace(polygon.Wire());
    return BRepPrimAPI_MakePrism(face, gp_Vec(0, 0, z1 - z0)).Shape();
}

// A boolean as the host runs it: on every core, operands left untouched (they are shared values there).
template <class Algo>
TopoDS_Shape boolean(const TopoDS_Shape &a, const TopoDS_Shape &b) {
    Algo algo;
    TopTools_ListOfShape arguments, tools;
    arguments.Append(a);
    tools.Append(b);
    algo.SetArguments(arguments);
    algo.SetTools(tools);
    algo.SetRunParallel(true);
    algo.SetNonDestructive(true);
    algo.Build();
    return algo.Shape();
}

Bnd_Box box_of(const TopoDS_Shape &shape) {
    Bnd_Box box;
    BRepBndLib::AddOptimal(shape, box, false, false);
    return box;
}

// The corner edge through (x, y, zm): the point lies on the edge (distance query, as the plug-in asks).
bool edge_holds(const TopoDS_Edge &edge, double x, double y, double zm) {
    BRepExtrema_DistShapeShape distance(BRepBuilderAPI_MakeVertex(gp_Pnt(x, y, zm)).Vertex(), edge);
    return distance.IsDone() && distance.Value() <= 1e-6;
}

void insert_direct(benchmark::State &state) {
    for (auto _ : state) {
        TopoDS_Shape plate = BRepPrimAPI_MakeBox(gp_Pnt(-100, -60, 0), 200, 120, 25).Shape();
        std::vector<TopoDS_Shape> punches = {
            BRepPrimAPI_MakeCylinder(gp_Ax2(gp_Pnt(-50, 10, -10), gp::DZ()), 5, 60).Shape(),
            prism({{-5.35, -3.1}, {5.35, -3.1}, {5.35, 3.1}, {-5.35, 3.1}}, -10, 50),
            prism({{44, 20}, {52, 16}, {60, 20}, {60, 28}, {52, 32}, {44, 28}}, -10, 50)};
        const double c = 2, d = 1;
        for (auto &punch : punches) {
            double bx0, by0, bz0, bx1, by1, bz1;
            box_of(punch).Get(bx0, by0, bz0, bx1, by1, bz1);
            double l1 = std::trunc(bx1 - bx0) + 2 * c, w1 = std::trunc(by1 - by0) + 2 * c;
            TopoDS_Shape search = BRepPrimAPI_MakeBox(gp_Pnt(bx0 - c, by0 - c, 0), l1, w1, 25).Shape();
            TopoDS_Shape section = boolean<BRepAlgoAPI_Common>(search, punch);
            BRepCheck_Analyzer(section).IsValid();
            double sx0, sy0, sz0, sx1, sy1, sz1;
            box_of(section).Get(sx0, sy0, sz0, sx1, sy1, sz1);
            double l = std::trunc(sx1 - sx0) + 2 * c, w = std::trunc(sy1 - sy0) + 2 * c;
            double x0 = (sx0 + sx1) / 2 - l / 2, y0 = (sy0 + sy1) / 2 - w / 2;
            TopoDS_Shape insert_box = BRepPrimAPI_MakeBox(gp_Pnt(x0, y0, 0), l, w, 25).Shape();
            BRepCheck_Analyzer(search).IsValid();
            BRepCheck_Analyzer(insert_box).IsValid();
            TopTools_IndexedDataMapOfShapeListOfShape faces_of_edge;
            TopExp::MapShapesAndAncestors(insert_box, TopAbs_EDGE, TopAbs_FACE, faces_of_edge);
            BRepFilletAPI_MakeChamfer chamfer(insert_box);
            for (int i = 1; i <= faces_of_edge.Extent(); ++i) {
                TopoDS_Edge edge = TopoDS::Edge(faces_of_edge.FindKey(i));
                if (edge_holds(edge, x0 + l, y0 + w, 12.5) || edge_holds(edge, x0, y0, 12.5))
                    chamfer.Add(d, d, edge, TopoDS::Face(faces_of_edge.FindFromIndex(i).First()));
            }
            TopoDS_Shape chamfered = chamfer.Shape();
            BRepCheck_Analyzer(chamfered).IsValid();
            TopoDS_Shape insert = boolean<BRepAlgoAPI_Common>(plate, chamfered);
            BRepCheck_Analyzer(insert).IsValid();
            plate = boolean<BRepAlgoAPI_Cut>(plate, insert);
            BRepCheck_Analyzer(plate).IsValid();
            benchmark::DoNotOptimize(insert);
        }
        benchmark::DoNotOptimize(plate);
    }
}

BENCHMARK(insert_direct)->Name("Direct/flatinsert")->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
