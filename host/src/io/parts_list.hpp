// The parts list a buyer orders from: one row per distinct part (made parts of the same role, size
// and volume; standard parts of the same file and designation) with its quantity, item number,
// designation, stock size, material, heat treatment and mass.
#pragma once

#include "io/materials.hpp"

#include <uf_defs.h>

#include <array>
#include <string>
#include <vector>

namespace diekit::io {

struct PartsListRow {
    int item = 0;                        // 1, 2, ...: made parts first, each kind in creation order
    bool standard = false;               // a standard part (bought), else made
    std::string role;                    // "die plate", "die spring", ...
    std::string designation;             // "die plate 200 × 160 × 22", "ISO 10243 die spring 20 × 46"
    std::string library_file;            // standard parts: the file below the library's STANDARD folder
    std::array<double, 3> size{};        // made parts: finished size in the part's own frame (plan large to small, thickness last)
    std::array<double, 3> stock{};       // made parts: size + allowance, rounded up to the table's step
    std::string material, heat_treatment;
    double mass = 0;                     // g, one part
    std::vector<tag_t> bodies;           // in creation order
    std::vector<std::string> names;      // their display names
};

// The rows of the current work part (every live body once). Throws SessionError when the kernel
// cannot measure a body.
std::vector<PartsListRow> parts_list(const MaterialsTable &materials);

// CSV: item, quantity, designation, role, material, heat_treatment, stock_size_mm, finished_size_mm,
// mass_each_g, mass_total_g, library_file, bodies (display names joined by "; ").
std::string parts_list_csv(const std::vector<PartsListRow> &rows);

// "200 × 160 × 22".
std::string size_triple(const std::array<double, 3> &size);

}  // namespace diekit::io
