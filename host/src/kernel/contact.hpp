// How two bodies meet, for interference reports: the volume they share and whether their boundaries
// come within the model tolerance of each other. Cheaper than a boolean plus a full distance for the
// common cases of a die (bodies side by side, in pockets, apart inside each other's boxes).
#pragma once

#include "kernel/kernel.hpp"

namespace diekit::kernel {

struct Contact {
    double shared_volume = 0;       // volume of the common part (0 when none)
    bool boundaries_meet = false;   // the boundaries are within kTolerance somewhere
};

// Solids (or compounds of solids) a and b; without with_volume the shared volume is left 0 (no boolean).
// Throws KernelError when the kernel fails.
Contact contact(const Shape &a, const Shape &b, bool with_volume = true);

// Prepares a body with many faces for many contact() calls with small bodies (a plate and every part
// standing in it): later contacts look only at its faces and pieces near the other body. Call it on
// one thread, before contacts run on several. The answers do not change.
void prepare_contacts(const Shape &shape);

}  // namespace diekit::kernel
