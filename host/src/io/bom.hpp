// The bill of materials: one row per live body of the work part, in creation order, with its role in
// the die (from its colour, or "library part" for a member of an imported standard part), its overall
// size, volume and mass in steel.
#pragma once

#include <uf_defs.h>

#include <string>
#include <vector>

namespace diekit::io {

// Density of tool steel in g/mm³ (7.85 g/cm³).
constexpr double kSteelDensity = 7.85e-3;

struct BomRow {
    tag_t tag = NULL_TAG;
    std::string name;
    int color = 0;
    std::string role;          // "insert", "die shoe", ..., "library part", or "other"
    std::string library_file;  // the part file below the library's STANDARD folder, for library parts
    double size[3] = {0, 0, 0};  // bounding-box extents along x, y, z (mm)
    double volume = 0;           // mm³
    double mass = 0;             // g
};

// The rows of the current work part.
std::vector<BomRow> bill_of_materials();

// A CSV field: quoted when it holds a separator, a quote or a line break, inner quotes doubled (RFC 4180).
std::string csv_field(const std::string &text);

// CSV of the rows: a header line, then one line per row; fields quoted as RFC 4180 says.
std::string bom_csv(const std::vector<BomRow> &rows);

}  // namespace diekit::io
