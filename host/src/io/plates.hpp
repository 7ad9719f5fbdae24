// The plates of the die as a die shop makes them: which bodies are plate-like, their own frame (datum
// corner, thickness direction) and their hole table: every hole and opening found from the B-rep,
// named by what sits in it, labelled A1, A2, ... by kind and size.
#pragma once

#include "kernel/holes.hpp"
#include "kernel/oriented_box.hpp"
#include "model/objects.hpp"

#include <string>
#include <vector>

namespace diekit::io {

struct TableHole {
    kernel::Hole hole;
    std::string label;  // "A1": one letter per kind and size, numbered by position
    std::string kind;   // "spring clearance", "die opening", "tapped hole M4", ...
};

struct Plate {
    const model::Body *body = nullptr;
    std::string name;  // display name
    std::string role;
    kernel::OrientedBox box;  // frame origin at the datum corner
    std::vector<TableHole> holes;
};

// Plate-like bodies: the die's plates, shoes, inserts, pads, the ejector and the punch-die by their
// role, and unnamed-role bodies whose thickness is at most half of their smaller plan side.
bool is_plate_like(const model::Body &body);

// Every live, non-empty plate-like body of the work part in creation order, with its hole table.
// Throws SessionError naming the body when the kernel cannot read it.
std::vector<Plate> plates();

// One body's frame and hole table (any body, plate-like or not).
Plate plate_of(const model::Body &body, const std::string &name);

// The hole's point at height z (plate frame) in absolute coordinates.
kernel::Vec3 to_world(const kernel::Frame &frame, double x, double y, double z);

}  // namespace diekit::io
