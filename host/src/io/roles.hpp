// What a body is in the die, read from the work part: its role (from its colour, or "library part" for a
// member of an imported standard part) and a display name for bodies the host has not named.
#pragma once

#include "model/objects.hpp"

#include <map>
#include <string>

namespace diekit::io {

// The role of a body of this colour made by the plug-ins, or "other".
std::string role_of_color(int color);

// The body's role; "library part" when it belongs to an imported group.
std::string role_of(const model::Body &body);

// The imported group's part file below the library's STANDARD folder, or "" when the body has none.
std::string library_file_of(const model::Body &body);

// Names a designer can read for every live body, by tag: the host name where the designer or a
// plug-in gave one, else the role and a count in creation order ("insert 1", "retainer plate 2"),
// library parts by their file ("SPRING20X25 3"; with the member's name when more of its group are
// there, "20X100 pillar 1"; also where the body only has the name its part file gave it), other bodies
// as "body N". A made-up name never repeats a host name. Host names themselves are left as they are.
std::map<tag_t, std::string> display_names();

// The display name of one live body ("#N" for a tag that is not one). For many bodies, display_names().
std::string display_name(tag_t tag);

}  // namespace diekit::io
