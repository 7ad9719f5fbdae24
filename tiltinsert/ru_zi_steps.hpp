// Steps shared by the two constructions of tiltinsert's creat_ru_zi: host queries with their
// outputs, blocks, the WCS, and the axis-aligned insert used when no angle can be taken.
#ifndef DIEKIT_TILTINSERT_RU_ZI_STEPS_HPP
#define DIEKIT_TILTINSERT_RU_ZI_STEPS_HPP

#include <uf_defs.h>

#include <array>

#include "host_helpers.hpp"

class tiltinsert;

namespace tiltinsert_steps {

constexpr int ru_zi_colour = 181;

// Minimum x, y, z then maximum x, y, z.
using Box = std::array<double, 6>;
enum { XMIN, YMIN, ZMIN, XMAX, YMAX, ZMAX };

using diekit::frame::body_of;
using diekit::frame::bounding_box;
// 1 when the point lies in or on the body, face or edge; anything else when not (or on failure).
int containment(const double point[3], tag_t object);
using diekit::frame::create_block;
// WCS coordinates (host code 3) to the work part's absolute coordinates (host code 2).
void map_to_absolute(const double wcs_point[3], double absolute_point[3]);

// The axis-aligned insert of the straight builder for one punch: search box, punch section,
// whole-millimetre box grown by c, chamfers at the corners of "toggle0" (x max, y max), "toggle01"
// (x max, y min), "toggle02" (x min, y max), "toggle03" (x min, y min), insert and pocket.
void zheng_ru_zi(tiltinsert &dialog, tag_t chong_zi, tag_t mo_ban, const Box &bounding_box_mo_ban, double c,
                 double d);

}  // namespace tiltinsert_steps

#endif
