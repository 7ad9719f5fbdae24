// The die set of bench/dieset_session.json built as plain Open CASCADE calls in one program, the
// reference that `bench/paired.sh` pairs `diehost run` with: ten plates 200 × 120 (the insert and
// pad in the upper plates, the pad's opening through the hollow plate, the knock-out rod's stepped
// bore in the upper backing plate, the punch's opening through the stripper plate and the punch in the
// lower retainer), the shank with its collar and bore, the knock-out rod with its head, both
// chamfered, and both shoes with the shank hole, the grooves and the guide holes. Each solid is built,
// cut with all its holes in one boolean and checked once; its volume and box are measured, as a report
// would. Prints each body's volume (the session's report has the same to 1e-7), then the count and the
// total.
#include <BRepAdaptor_Curve.hxx>
#include <BRepAlgoAPI_Cut.hxx>
#include <BRepAlgoAPI_Fuse.hxx>
#include <BRepBndLib.hxx>
#include <BRepCheck_Analyzer.hxx>
#include <BRepFilletAPI_MakeChamfer.hxx>
#include <BRepGProp.hxx>
#include <BRepPrimAPI_MakeBox.hxx>
#include <BRepPrimAPI_MakeCylinder.hxx>
#include <Bnd_Box.hxx>
#include <GProp_GProps.hxx>
#include <TopExp_Explorer.hxx>
#include <TopTools_ListOfShape.hxx>
#include <TopoDS.hxx>
#include <gp_Ax2.hxx>

#include <cmath>
#include <cstdio>
#include <vector>

namespace {

TopoDS_Shape block(double x0, double y0, double z0, double dx, double dy, double dz) {
    return BRepPrimAPI_MakeBox(gp_Pnt(x0, y0, z0), dx, dy, dz).Shape();
}

TopoDS_Shape cylinder(double x, double y, double z, double height, double diameter, gp_Dir axis = gp::DZ()) {
    return BRepPrimAPI_MakeCylinder(gp_Ax2(gp_Pnt(x, y, z), axis), diameter / 2, height).Shape();
}

// The target less every tool in one boolean.
TopoDS_Shape cut_all(const TopoDS_Shape &target, const std::vector<TopoDS_Shape> &tools) {
    BRepAlgoAPI_Cut cut;
    TopTools_ListOfShape arguments, list;
    arguments.Append(target);
    for (const TopoDS_Shape &tool : tools) list.Append(tool);
    cut.SetArguments(arguments);
    cut.SetTools(list);
    cut.Build();
    return cut.Shape();
}

// A solid of revolution about Z: the shaft of the given diameter and height from z, joined to a
// collar (or head) at its base, less a bore through it when bore > 0, the shaft's top edge chamfered.
TopoDS_Shape turned(double z, double diameter, double height, double collar_diameter, double collar_height,
                    double bore, double chamfer) {
    TopoDS_Shape solid = BRepAlgoAPI_Fuse(cylinder(0, 0, z, collar_height, collar_diameter),
                                          cylinder(0, 0, z, height, diameter)).Shape();
    if (bore > 0) solid = cut_all(solid, {cylinder(0, 0, z, height, bore)});
    BRepFilletAPI_MakeChamfer make(solid);
    for (TopExp_Explorer it(solid, TopAbs_EDGE); it.More(); it.Next()) {
        const BRepAdaptor_Curve curve(TopoDS::Edge(it.Current()));
        if (curve.GetType() != GeomAbs_Circle) continue;
        const gp_Circ circle = curve.Circle();
        if (std::abs(circle.Location().Z() - (z + height)) < 1e-9 && std::abs(circle.Radius() - diameter / 2) < 1e-9)
            make.Add(chamfer, TopoDS::Edge(it.Current()));
    }
    return make.Shape();
}

}  // namespace

int main() {
    // Plate stack (z ranges of the session's report), the insert, pad, punch and holder.
    const TopoDS_Shape insert = block(-30.06, -20.06, 1.5, 60.12, 40.12, 22);
    const TopoDS_Shape punch = block(-30, -20, -40.5, 60, 40, 40);
    std::vector<TopoDS_Shape> bodies = {
        cut_all(block(-100, -60, 1.5, 200, 120, 22), {insert}),
        insert,
        block(-32, -22, 23.5, 64, 44, 4),
        cut_all(block(-100, -60, 23.5, 200, 120, 16), {block(-36, -26, 23.5, 72, 52, 16)}),
        block(-100, -60, 39.5, 200, 120, 18),
        cut_all(block(-100, -60, 57.5, 200, 120, 10), {cylinder(0, 0, 56.5, 12, 11), cylinder(0, 0, 56.5, 5, 14)}),
        cut_all(block(-100, -60, -14, 200, 120, 14), {block(-30, -20, -15, 60, 40, 16)}),
        cut_all(block(-100, -60, -40.5, 200, 120, 18), {punch}),
        punch,
        block(-100, -60, -52.5, 200, 120, 12),
        turned(67.5, 32, 120, 42, 6, 11, 2),
        turned(57.5, 10, 150, 13, 4, 0, 1),
    };
    // The shoes 260 × 240 with the shank's stepped hole, four grooves and the guide holes.
    const double corners[4][2] = {{95, 90}, {-95, 90}, {90, -90}, {-95, -90}};
    std::vector<TopoDS_Shape> upper_holes = {cylinder(0, 0, 52, 120, 32), cylinder(0, 0, 52, 6, 43)};
    const double gx = 100, gy = 90, top = 122;
    upper_holes.push_back(cylinder(gx, gy, top, 50, 5, gp::DX()));
    upper_holes.push_back(cylinder(gx - 5, -gy, top, 50, 5, gp::DX()));
    upper_holes.push_back(cylinder(-gx, gy, top, 50, 5, -gp::DX()));
    upper_holes.push_back(cylinder(-gx, -gy, top, 50, 5, -gp::DX()));
    std::vector<TopoDS_Shape> lower_holes;
    for (const auto &c : corners) {
        upper_holes.push_back(cylinder(c[0], c[1], 52, 70, 38));
        lower_holes.push_back(cylinder(c[0], c[1], -118, 50, 25));
    }
    bodies.push_back(cut_all(block(-130, -120, 52, 260, 240, 70), upper_holes));
    bodies.push_back(cut_all(block(-130, -120, -118, 260, 240, 50), lower_holes));

    double total = 0;
    int valid = 0;
    for (const TopoDS_Shape &body : bodies) {
        valid += BRepCheck_Analyzer(body).IsValid() ? 1 : 0;
        GProp_GProps props;
        BRepGProp::VolumeProperties(body, props, true);
        total += props.Mass();
        std::printf("%.3f\n", props.Mass());
        Bnd_Box box;
        BRepBndLib::AddOptimal(body, box, false, false);
    }
    std::printf("dieset_occt: %zu bodies, %d valid, total volume %.3f mm3\n", bodies.size(), valid, total);
    return valid == static_cast<int>(bodies.size()) ? 0 : 1;
}
