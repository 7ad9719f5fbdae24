// Wire-cutting profiles: for every body with a through profile (punches, inserts, the ejector, the
// punch-die, and plates with die openings, insert pockets or punch holes) its outline and its through
// openings at the top face, as closed polylines with true arcs (bulges), one DXF file (R12) per body,
// one layer per role or kind of opening. Coordinates in the body's own frame from its datum corner.
#pragma once

#include "io/plates.hpp"

#include <string>
#include <vector>

namespace diekit::io {

struct ProfileLoop {
    std::string layer;  // "DIE_OPENING", "PUNCH", ...
    kernel::Loop loop;  // outlines counter-clockwise, openings clockwise
};

struct BodyProfile {
    const model::Body *body = nullptr;
    std::string name;  // display name
    std::vector<ProfileLoop> loops;
};

// The profiles of the work part's bodies, in creation order; `plates` are the plate-like bodies with
// their hole tables (io::plates()). Throws SessionError naming the body when the kernel cannot cut it.
std::vector<BodyProfile> body_profiles(const std::vector<Plate> &plates);

// Writes one profile as DXF R12 (HEADER, TABLES with the layers, ENTITIES of closed POLYLINEs with
// bulges). Throws SessionError naming the file when it cannot be written.
void write_dxf(const BodyProfile &profile, const std::string &path);

}  // namespace diekit::io
