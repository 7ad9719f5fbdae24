// Held-back cuts: a large solid minus small tools, kept as the solid and its tools and run as one
// boolean when the B-rep is first needed. A plate that loses a pocket per punch then costs one
// boolean in all instead of one per punch against an ever more complex plate. Kernel sources only.
#pragma once

#include "kernel/occ.hpp"

#include <Bnd_Box.hxx>
#include <TopoDS_Shape.hxx>
#include <gp_Pnt.hxx>

#include <array>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace diekit::kernel::detail {

// The solid a series of held-back cuts starts from.
struct HeldBase {
    TopoDS_Shape solid;
    Box box;                                    // its exact bounding box
    std::array<std::vector<gp_Pnt>, 6> extremes;  // its vertices on each side of box (Box order)
};

struct HeldCut {
    std::shared_ptr<const HeldBase> base;
    std::vector<TopoDS_Shape> tools;
    std::vector<Bnd_Box> tool_boxes;  // each tool's box, a little enlarged
};

struct ContactIndex;

// Measures of a shape, kept with it: a shape never changes, so each is computed once.
struct Measures {
    std::mutex lock;
    std::optional<Box> box;
    std::optional<double> volume;
};

struct ShapeData {
    ShapeData(const TopoDS_Shape &b_rep, std::shared_ptr<const HeldCut> held_cut)
        : shape(b_rep), held(std::move(held_cut)) {}
    TopoDS_Shape shape;                   // the B-rep; null while a cut is held back
    std::shared_ptr<const HeldCut> held;  // the held-back cut until it has run
    std::shared_ptr<const ContactIndex> contacts{};  // see contact_index.hpp, made on request
    Measures measures{};
};

// The solid minus all the tools in one boolean, checked and normalised.
Shape cut_all(const TopoDS_Shape &solid, const std::vector<TopoDS_Shape> &tools);

// Runs data's held-back cut (one boolean, base minus all tools) and keeps the result.
void run_held_cut(ShapeData &data);

bool is_held(const Shape &shape);

// cut(a, b) held back when a is a large solid (or already held) and b leaves some of a's extremes
// untouched; nullopt when the cut must run now.
std::optional<Shape> hold_cut(const Shape &a, const Shape &b);

// common(held, b): the base's common with b minus the tools near b; nullopt when too many tools
// are near b and the held cut should run first.
std::optional<Shape> common_of_held(const Shape &held, const Shape &b);

// The bounding box of a held cut when each side of its base keeps a vertex outside every tool.
std::optional<Box> held_bounding_box(const Shape &held);

// True when some vertex of the base lies outside every tool (then the cut leaves a solid).
bool held_keeps_material(const Shape &held);

}  // namespace diekit::kernel::detail
