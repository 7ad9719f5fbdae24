// The steps that the three shaped-punch builders share: the plates ordered by their tops and split
// at the parting plane z = 0, the clearance openings in the lower plates, and the punch extruded from
// the outline up to the top of the highest plate.
//
// The outline curves lie in z = 0 and are extruded along +Z; every limit is a "%f" text measured
// from the curves' plane.
#ifndef DIEKIT_FORMPUNCH_CHONG_ZI_COMMON_HPP
#define DIEKIT_FORMPUNCH_CHONG_ZI_COMMON_HPP

#include <uf_defs.h>

#include <array>
#include <string>
#include <vector>

#include "host_helpers.hpp"

class formpunch;

namespace chong_zi {

// Minimum x, y, z then maximum x, y, z.
using Box = std::array<double, 6>;
enum { XMIN, YMIN, ZMIN, XMAX, YMAX, ZMAX };

inline constexpr int chong_zi_colour = 165;

using diekit::frame::body_of;
using diekit::frame::bounding_box;

// What the common steps read from the dialog: the outline, the plates and the clearance.
struct CommonInput {
    std::vector<tag_t> curves;  // "edge_select0"
    std::vector<tag_t> plates;  // "selection0"
    double jian_xi = 0;         // "expression0"
};

CommonInput read_common_input(formpunch &dialog);

// The outline curves in one host list, released with the object.
class Outline {
public:
    explicit Outline(const std::vector<tag_t> &curves);

    // Why the curves cannot be extruded (the host's reason: not closed, not planar, ...), or an
    // empty text when they can. Asked with a trial extrusion that is deleted at once.
    std::string problem() const;

    // The outline prism from z = start to z = end, as a new body; the point and direction are those
    // of the plate (bottom b, top t): (0, 0, b) and (0, 0, t - b). The feature list goes to features.
    tag_t extrude(double start, double end, const Box &plate, diekit::frame::ObjectList &features) const;

    // An opening through the plate: the outline prism from `reach` below its bottom to `reach` above
    // its top, the ends rounded outwards so that "%f" cannot leave a skin. Returns its body.
    tag_t extrude_through(const Box &plate, double reach, diekit::frame::ObjectList &features) const;

private:
    // The extrusion with point (0, 0, b) and direction (0, 0, t - b); returns the host's status.
    int create(diekit::frame::SizeText di, diekit::frame::SizeText ding, double b, double t,
               diekit::frame::ObjectList &features) const;

    diekit::frame::ObjectList edge_list{diekit::frame::new_empty_list};
};

// Says what is missing and returns false when the input cannot make a punch: no outline, no plate,
// or an outline that cannot be extruded. Nothing has been built at that point.
bool input_usable(const CommonInput &input, const Outline &outline);

// The plates highest top first (equal tops keep their order), and the split at z = 0.
struct Plates {
    std::vector<tag_t> bodys;     // sorted
    std::vector<tag_t> shang_mo;  // top > 0, sorted order
    std::vector<tag_t> xia_mo;    // top <= 0, sorted order
};

Plates sort_and_split(const std::vector<tag_t> &plates);

// Type A: every upper plate loses the outline prism through its thickness (no clearance).
void cut_upper_openings(const Outline &outline, const std::vector<tag_t> &shang_mo);

// Every lower plate loses the outline prism through its thickness grown by jian_xi, jian_xi + 0.5,
// jian_xi + 1.0, ... in the order of the list (nearest the parting plane first). The offset moves the
// prism's ends too: a negative one starts from a prism reaching beyond the plate, so that the opening
// still runs through it.
void cut_lower_openings(const Outline &outline, const std::vector<tag_t> &xia_mo, double jian_xi);

// The punch: the outline from z = -1 up to the top of the highest plate. Returns its body.
tag_t create_punch_body(const Outline &outline, const Plates &plates);

}  // namespace chong_zi

#endif
