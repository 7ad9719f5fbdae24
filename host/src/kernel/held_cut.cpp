#include "kernel/held_cut.hpp"

#include <BRep_Tool.hxx>
#include <TopExp.hxx>
#include <TopExp_Explorer.hxx>
#include <TopTools_IndexedMapOfShape.hxx>
#include <TopoDS.hxx>

#include <cmath>

namespace diekit::kernel::detail {

namespace {

// Below this many faces a cut runs at once: it is cheap, and its failures show at the call.
constexpr int kHoldFromFaces = 40;
// A common with more tools than this near it runs the held cut first.
constexpr std::size_t kMostToolsNear = 8;

int face_count(const TopoDS_Shape &shape) {
    TopTools_IndexedMapOfShape faces;
    TopExp::MapShapes(shape, TopAbs_FACE, faces);
    return faces.Extent();
}

std::shared_ptr<const HeldBase> make_base(const Shape &solid) {
    auto base = std::make_shared<HeldBase>();
    base->solid = solid.occ();
    base->box = bounding_box(solid);
    TopTools_IndexedMapOfShape vertices;
    TopExp::MapShapes(base->solid, TopAbs_VERTEX, vertices);
    for (int i = 1; i <= vertices.Extent(); ++i) {
        const gp_Pnt p = BRep_Tool::Pnt(TopoDS::Vertex(vertices(i)));
        const double c[3] = {p.X(), p.Y(), p.Z()};
        for (int axis = 0; axis < 3; ++axis) {
            if (std::abs(c[axis] - base->box[axis]) < kTolerance) base->extremes[axis].push_back(p);
            if (std::abs(c[axis] - base->box[axis + 3]) < kTolerance) base->extremes[axis + 3].push_back(p);
        }
    }
    return base;
}

bool outside_all(const gp_Pnt &p, const std::vector<Bnd_Box> &boxes) {
    for (const Bnd_Box &box : boxes)
        if (!box.IsOut(p)) return false;
    return true;
}

// A vertex on this side of the base that no tool reaches keeps the side where it is.
bool side_kept(const HeldBase &base, int side, const std::vector<Bnd_Box> &boxes) {
    for (const gp_Pnt &p : base.extremes[side])
        if (outside_all(p, boxes)) return true;
    return false;
}

bool any_side_kept(const HeldBase &base, const std::vector<Bnd_Box> &boxes) {
    for (int side = 0; side < 6; ++side)
        if (side_kept(base, side, boxes)) return true;
    return false;
}

}  // namespace

bool is_held(const Shape &shape) { return shape.data() && shape.data()->held; }

void run_held_cut(ShapeData &data) {
    constexpr const char *op = "cut";
    const HeldCut &held = *data.held;
    data.shape = guarded(op, [&] { return cut_all(held.base->solid, held.tools).occ(); });
    data.held.reset();
}

std::optional<Shape> hold_cut(const Shape &a, const Shape &b) {
    if (a.is_null() || b.is_null() || is_held(b)) return std::nullopt;
    const TopoDS_Shape &tool = b.occ();
    if (!TopExp_Explorer(tool, TopAbs_SOLID).More()) return std::nullopt;

    auto held = std::make_shared<HeldCut>();
    if (is_held(a)) {
        *held = *a.data()->held;
    } else {
        const TopoDS_Shape &target = a.occ();
        if (target.ShapeType() != TopAbs_SOLID || face_count(target) < kHoldFromFaces) return std::nullopt;
        held->base = make_base(a);
    }
    held->tools.push_back(tool);
    held->tool_boxes.push_back(loose_box(tool, 10 * kTolerance));
    if (!any_side_kept(*held->base, held->tool_boxes)) return std::nullopt;
    return Shape(std::make_shared<ShapeData>(TopoDS_Shape(), std::move(held)));
}

std::optional<Shape> common_of_held(const Shape &a, const Shape &b) {
    const HeldCut &held = *a.data()->held;
    const Bnd_Box reach = loose_box(b.occ(), 10 * kTolerance);
    std::vector<std::size_t> near;
    for (std::size_t i = 0; i < held.tools.size(); ++i)
        if (!held.tool_boxes[i].IsOut(reach)) near.push_back(i);
    if (near.size() > kMostToolsNear) return std::nullopt;

    // common(base − tools, b) = common(base, b) − the tools that reach b.
    Shape result = common(Shape(held.base->solid), b);
    for (std::size_t i : near) {
        if (!has_solid(result)) break;
        result = cut(result, Shape(held.tools[i]));
    }
    return result;
}

std::optional<Box> held_bounding_box(const Shape &a) {
    const HeldCut &held = *a.data()->held;
    for (int side = 0; side < 6; ++side)
        if (!side_kept(*held.base, side, held.tool_boxes)) return std::nullopt;
    return held.base->box;
}

bool held_keeps_material(const Shape &a) {
    const HeldCut &held = *a.data()->held;
    return any_side_kept(*held.base, held.tool_boxes);
}

}  // namespace diekit::kernel::detail
