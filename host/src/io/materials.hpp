// The materials table of the library (materials.json): material, heat treatment and density by the
// role of a part, and the stock allowance of made parts.
#pragma once

#include <map>
#include <string>

namespace diekit::io {

struct MaterialEntry {
    std::string material;        // as the table names it ("1.2379 (X153CrMoV12, D2)")
    std::string heat_treatment;  // "hardened and tempered 58-60 HRC"
    double density = 7.85e-3;    // g/mm³
};

struct MaterialsTable {
    std::map<std::string, MaterialEntry> roles;  // by role; "default" for the rest
    double allowance = 2, step = 5;              // stock: size + allowance, rounded up to the step (mm)

    // The entry of a role, the default entry when the role is not listed.
    const MaterialEntry &of(const std::string &role) const;
    // The stock length for a finished length (mm).
    double stock(double size) const;
};

// Reads `<library root>/materials.json`; a table with only steel defaults when the file does not
// exist. Throws SessionError naming the file and the fault when it cannot be read or holds a role
// that names an unknown material, a density that is not positive, or a negative allowance.
MaterialsTable load_materials(const std::string &library_root);

}  // namespace diekit::io
