// How two bodies meet, for interference reports: the volume they share and whether their boundaries
// come within the model tolerance of each other. Cheaper than a boolean plus a full distance for the
// common cases of a die (bodies side by side, in pockets, apart inside each other's boxes).
#pragma once

#include "kernel/kernel.hpp"

#include <array>
#include <compare>
#include <utility>
#include <vector>

namespace diekit::kernel {

struct Contact {
    double shared_volume = 0;       // volume of the common part (0 when none)
    bool boundaries_meet = false;   // the boundaries are within kTolerance somewhere
    bool may_share = false;         // the boundaries meet or one body lies inside the other
};

// Solids (or compounds of solids) a and b; without with_volume the shared volume is left 0 (no boolean).
// Throws KernelError when the kernel fails.
Contact contact(const Shape &a, const Shape &b, bool with_volume = true);

// Whether a and b come within kTolerance of each other (boundaries meeting, or one inside the other):
// the same answer as distance(a, b) <= kTolerance, boxes first. Throws KernelError when the kernel fails.
bool touches(const Shape &a, const Shape &b);

// What a contact depends on, up to a rigid motion of both bodies: two pairs with equal keys (the same
// B-reps, placed the same way relative to each other) meet in the same way. Empty for a null shape.
struct PairKey {
    const void *first = nullptr, *second = nullptr;  // the B-reps, locations aside
    std::array<double, 21> placement{};              // both rotations and the offset between them
    auto operator<=>(const PairKey &) const = default;
};
PairKey pair_key(const Shape &a, const Shape &b);

// True when a and b are the same B-rep at the same place.
bool same_shape(const Shape &a, const Shape &b);

// True when the shape is one solid that fills its bounding box (a block along the axes): its contacts
// with other such blocks follow from the boxes.
bool is_axis_block(const Shape &shape);

// Prepares a body with many faces for many contact() calls with small bodies (a plate and every part
// standing in it): later contacts look only at its faces and pieces near the other body. Call it on
// one thread, before contacts run on several. The answers do not change.
void prepare_contacts(const Shape &shape);

}  // namespace diekit::kernel
