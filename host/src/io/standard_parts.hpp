// What a member of an imported standard part is, as a buyer orders it: its role and its designation
// by the standard or series it follows, with sizes read from the part's expressions and its length
// measured along the part's axis (springs are cut to length by scaling, so the file's length is not it).
#pragma once

#include "model/objects.hpp"

#include <optional>
#include <string>

namespace diekit::io {

struct StandardPart {
    std::string role;         // "die spring", "stripper bolt", "cap screw", "guide pillar", ...
    std::string designation;  // "ISO 10243 die spring 20 × 46"
};

// nullopt for a body that is not a member of an imported group. A member of a file the table does not
// know gets role "library part" and its file and body names as designation.
std::optional<StandardPart> standard_part(const model::Body &body);

// A length as a designation writes it: whole millimetres without decimals, else up to two ("12.5").
std::string size_text(double mm);

}  // namespace diekit::io
