// Plate detail drawings: one A3 sheet per plate-like part with its top view (hidden lines dashed), a
// section through its holes, overall dimensions, every hole labelled and listed in a hole table
// (position from the datum corner, size, depth, counterbore, kind), and a title block.
#pragma once

#include "io/parts_list.hpp"
#include "io/plates.hpp"

#include <string>
#include <vector>

namespace diekit::io {

struct SheetFile {
    std::string file;  // "die_plate_1.svg": the body's display name made safe for a file name
    std::string svg;
};

// The sheets of the plates, one per distinct part (the first plate of each parts-list row: the others
// are its quantity); `rows` gives each plate's item number, material and stock. Throws
// SessionError when the kernel cannot project or cut a plate.
std::vector<SheetFile> plate_sheets(const std::string &session, const std::vector<Plate> &plates,
                                    const std::vector<PartsListRow> &rows);

// A display name as a file name: letters, digits, '-' and '_' kept, anything else '_'; unique among
// `taken` (a number is added), which it joins.
std::string file_stem(const std::string &name, std::vector<std::string> &taken);

}  // namespace diekit::io
