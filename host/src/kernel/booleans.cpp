// Boolean operations between solids (or compounds of solids).
#include "kernel/held_cut.hpp"

#include <BRepAlgoAPI_Common.hxx>
#include <BRepAlgoAPI_Cut.hxx>
#include <BRepAlgoAPI_Fuse.hxx>
#include <BRep_Builder.hxx>
#include <Message_Report.hxx>
#include <TopExp_Explorer.hxx>
#include <TopoDS_Compound.hxx>

namespace diekit::kernel {

using namespace detail;

namespace {

enum class Kind { Common, Cut, Fuse };

bool has_solid(const TopoDS_Shape &shape) { return TopExp_Explorer(shape, TopAbs_SOLID).More(); }
bool has_vertex(const TopoDS_Shape &shape) { return TopExp_Explorer(shape, TopAbs_VERTEX).More(); }

TopoDS_Compound empty_compound() {
    TopoDS_Compound compound;
    BRep_Builder().MakeCompound(compound);
    return compound;
}

// Runs the kernel's boolean of the arguments with the tools, non-destructive (the operands are shared
// immutable values) and on every core (the kernel's parallel loops give the same result as serial
// ones), and checks and normalises its result; unify merges the coplanar faces and collinear edges
// that the operation leaves split.
template <class Algo>
Shape apply(const char *op, const std::vector<TopoDS_Shape> &arguments, const std::vector<TopoDS_Shape> &tools,
            bool unify) {
    Algo algo;
    TopTools_ListOfShape argument_list, tool_list;
    for (const TopoDS_Shape &argument : arguments) argument_list.Append(argument);
    for (const TopoDS_Shape &tool : tools) tool_list.Append(tool);
    algo.SetArguments(argument_list);
    algo.SetTools(tool_list);
    algo.SetRunParallel(true);
    algo.SetNonDestructive(true);
    algo.Build();
    if (!algo.IsDone() || algo.HasErrors()) {
        std::string why = "the boolean operation failed";
        const Message_ListOfAlert &alerts = algo.GetReport()->GetAlerts(Message_Fail);
        if (!alerts.IsEmpty()) why += std::string(" (") + alerts.First()->GetMessageKey() + ")";
        fail(op, why);
    }
    if (unify) algo.SimplifyResult();
    std::vector<TopoDS_Shape> operands(arguments);
    operands.insert(operands.end(), tools.begin(), tools.end());
    store_plane_curves(algo.Shape(), operands);
    return solid_result(op, algo.Shape(), operands);
}

// A boolean of two bodies, with the answers for empty operands.
template <class Algo>
Shape run(const char *op, Kind kind, const Shape &a, const Shape &b, bool unify) {
    return guarded(op, [&] {
        const TopoDS_Shape &first = require(op, a, "first body");
        const TopoDS_Shape &second = require(op, b, "second body");
        if (!has_solid(first) && has_vertex(first)) fail(op, "first body has no solid");
        if (!has_solid(second) && has_vertex(second)) fail(op, "second body has no solid");

        // An empty operand (a body emptied by an earlier cut) has a defined answer without the kernel.
        if (!has_solid(first) || !has_solid(second)) {
            switch (kind) {
            case Kind::Common: return solid_result(op, empty_compound());
            // The operands are valid already: only their shells' closedness is looked at again.
            case Kind::Cut: return solid_result(op, has_solid(first) ? first : empty_compound(), {first});
            case Kind::Fuse: return solid_result(op, has_solid(first) ? first : second, {first, second});
            }
        }

        return apply<Algo>(op, {first}, {second}, unify);
    });
}

}  // namespace

namespace detail {

Shape cut_all(const TopoDS_Shape &solid, const std::vector<TopoDS_Shape> &tools) {
    return apply<BRepAlgoAPI_Cut>("cut", {solid}, tools, false);
}

}  // namespace detail

Shape common(const Shape &a, const Shape &b) {
    // A held-back cut on either side is answered near the other operand, without running it.
    if (is_held(a) && !is_held(b))
        if (auto local = guarded("common", [&] { return common_of_held(a, b); })) return *local;
    if (is_held(b) && !is_held(a))
        if (auto local = guarded("common", [&] { return common_of_held(b, a); })) return *local;
    return run<BRepAlgoAPI_Common>("common", Kind::Common, a, b, false);
}

Shape cut(const Shape &a, const Shape &b) {
    if (auto held = guarded("cut", [&] { return hold_cut(a, b); })) return *held;
    return run<BRepAlgoAPI_Cut>("cut", Kind::Cut, a, b, false);
}

Shape fuse(const Shape &a, const Shape &b) { return run<BRepAlgoAPI_Fuse>("fuse", Kind::Fuse, a, b, true); }

}  // namespace diekit::kernel
