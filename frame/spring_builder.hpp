// The spring builders of boxspring and wirespring: one spring from the library placed through the
// selected plates (see placement.hpp), stretched along its axis to the typed length, its clearance
// cut into every plate and deleted, plates and spring left plain.
#ifndef DIEKIT_FRAME_SPRING_BUILDER_HPP
#define DIEKIT_FRAME_SPRING_BUILDER_HPP

#include "host_helpers.hpp"
#include "placement.hpp"

#include <span>

namespace diekit::frame {

// One size of a spring table: the library part and the free length it is modelled with.
struct SpringRow {
    const char *part_file;
    double free_length;
};

// The Z factor that stretches a spring of free length F to length L, as the host takes it ("%f").
SizeText spring_scale_text(double length, double free_length);

// Places one spring at the builder's mirror position. Stops with no change, and says so in a
// one-line message, when no plate is selected, the size is not in the table, the length would not
// give a positive factor, or the part cannot be imported. Always 0.
int place_spring(const char *plugin, const PlacementRequest &request, std::span<const SpringRow> table,
                 MirrorSigns signs);

}  // namespace diekit::frame

#endif
