#include "io/bom.hpp"

#include "io/roles.hpp"
#include "model/store.hpp"

#include <cstdio>

namespace diekit::io {

namespace {

std::string fixed(double v) {
    char text[48];
    std::snprintf(text, sizeof text, "%.6f", v);
    return std::string(text) == "-0.000000" ? "0.000000" : text;
}

}  // namespace

std::string csv_field(const std::string &text) {
    if (text.find_first_of(",\"\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

std::vector<BomRow> bill_of_materials() {
    auto &store = model::Store::instance();
    std::vector<BomRow> rows;
    for (auto *body : store.bodies()) {
        BomRow row;
        row.tag = body->tag;
        row.name = body->name;
        row.color = body->color;
        row.role = role_of(*body);
        row.library_file = library_file_of(*body);
        if (!kernel::is_empty(body->shape)) {
            kernel::Box box = kernel::bounding_box(body->shape);
            for (int i = 0; i < 3; ++i) row.size[i] = box[i + 3] - box[i];
            row.volume = kernel::volume(body->shape);
        }
        row.mass = row.volume * kSteelDensity;
        rows.push_back(std::move(row));
    }
    return rows;
}

std::string bom_csv(const std::vector<BomRow> &rows) {
    std::string csv = "tag,name,color,role,library_file,size_x_mm,size_y_mm,size_z_mm,volume_mm3,mass_g\n";
    for (auto &row : rows) {
        csv += std::to_string(row.tag) + ',' + csv_field(row.name) + ',' + std::to_string(row.color) + ',' +
               csv_field(row.role) + ',' + csv_field(row.library_file) + ',' + fixed(row.size[0]) + ',' + fixed(row.size[1]) +
               ',' + fixed(row.size[2]) + ',' + fixed(row.volume) + ',' + fixed(row.mass) + "\n";
    }
    return csv;
}

}  // namespace diekit::io
