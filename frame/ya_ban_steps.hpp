// Host steps that the retainer plate builders of keepplate and tiltplate take: boxes, primitives, subtractions,
// the screw-size table, the imported screw and the named plates of the work part.
#ifndef DIEKIT_FRAME_YA_BAN_STEPS_HPP
#define DIEKIT_FRAME_YA_BAN_STEPS_HPP

#include <uf_defs.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "host_helpers.hpp"

namespace ya_ban {

using diekit::frame::SizeText;

// Minimum x, y, z then maximum x, y, z, absolute.
using Box = std::array<double, 6>;
enum { XMIN, YMIN, ZMIN, XMAX, YMAX, ZMAX };

constexpr int ya_ban_colour = 190;

using diekit::frame::body_of;
using diekit::frame::bounding_box;

using diekit::frame::create_block;
// New cylinder (sign 0) standing on origin along +Z; returns its feature.
tag_t create_cylinder(const double origin[3], const char *height, const char *diameter);
// target minus tool; the target keeps its tag, the tool is consumed unless keep_tool.
void subtract(tag_t target, tag_t tool, bool keep_tool);

// One row of the screw-size table ("enum01"): clearance hole in the plate, relief pocket in the
// backing plate (both literal diameter texts) and the screw's standard part.
struct ScrewSize {
    const char *kong;       // clearance hole diameter
    const char *ran_wei;    // relief pocket diameter
    const char *part_file;  // library part, head below its origin, shank along +Z
};
// Row for the enumeration index 0 (M3), 1 (M4) or 2 (M5); std::out_of_range for any other index.
const ScrewSize &screw_size(int index);

// Imports the screw part at point with the absolute axes, then cuts its first member out of the
// fixed plate, the screw kept. Returns the screw body (NULL_TAG when the import failed).
tag_t import_screw(const char *part_file, const double point[3], tag_t gu_ding_ban);

// Chamfers every edge of the disc feature 0.3 x 45 degrees; with the screw hole still a separate
// body, only the disc's own circular edges are touched.
void chamfer_disc(tag_t yuan_pan);

// Missing inputs of a build. When any is missing it says so in one error box (report_not_built) naming
// each, and returns true: the builder then builds nothing.
struct Missing {
    bool condition;
    const char *what;
};
bool report_missing(const char *plugin, const std::vector<Missing> &inputs);

// The fixed plate "gu_ding_ban" and the backing plate "dian_ban" of the work part. When they or any
// of the builder's own inputs are missing it says so (report_missing) and gives nothing.
struct NamedPlates {
    tag_t gu_ding_ban = NULL_TAG;
    tag_t dian_ban = NULL_TAG;
};
std::optional<NamedPlates> named_plates(const char *plugin, std::vector<Missing> inputs);

// What keepplate's builders read before they build: the first selected punch, its box P and centre
// in plan, the named plates and the fixed plate's bottom. Nothing when an input is missing.
struct PunchInputs {
    tag_t chong_zi = NULL_TAG;
    NamedPlates plates;
    Box P{};
    double Pxc = 0, Pyc = 0;
    double gu_ding_ban_zmin = 0;
};
std::optional<PunchInputs> punch_inputs(const char *plugin, const std::vector<tag_t> &bodys_chong_zi);

}  // namespace ya_ban

#endif
