#include "io/parts_list.hpp"

#include "io/bom.hpp"
#include "io/roles.hpp"
#include "io/standard_parts.hpp"
#include "kernel/oriented_box.hpp"
#include "model/errors.hpp"
#include "model/store.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <tuple>

namespace diekit::io {

namespace {

std::string grams(double g) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", g);
    return text;
}

// Finished size in the part's own frame: plan sides large to small, then the thickness.
std::array<double, 3> own_size(const kernel::Shape &shape) {
    const kernel::OrientedBox box = kernel::oriented_box(shape);
    std::array<double, 3> size = {box.size[0], box.size[1], box.size[2]};
    if (size[0] < size[1]) std::swap(size[0], size[1]);
    return size;
}

long long rounded(double v, double unit) { return std::llround(v / unit); }

}  // namespace

std::string size_triple(const std::array<double, 3> &size) {
    return size_text(size[0]) + " × " + size_text(size[1]) + " × " + size_text(size[2]);
}

std::vector<PartsListRow> parts_list(const MaterialsTable &materials) {
    const auto names = display_names();
    std::vector<PartsListRow> made, bought;
    // Same role, size (to 0.01 mm) and volume (to 1e-6 relative): one row.
    std::map<std::tuple<std::string, long long, long long, long long, long long>, std::size_t> made_rows;
    std::map<std::pair<std::string, std::string>, std::size_t> bought_rows;
    for (model::Body *body : model::Store::instance().bodies()) {
        const bool empty = kernel::is_empty(body->shape);
        double volume = 0;
        std::array<double, 3> size{};
        try {
            if (!empty) volume = kernel::volume(body->shape), size = own_size(body->shape);
        } catch (const kernel::KernelError &e) {
            throw SessionError("cannot measure body " + names.at(body->tag) + " for the parts list: " + e.what());
        }
        PartsListRow *row = nullptr;
        if (auto part = standard_part(*body)) {
            const auto key = std::pair(library_file_of(*body), part->designation);
            auto [it, fresh] = bought_rows.emplace(key, bought.size());
            if (fresh) {
                PartsListRow r;
                r.standard = true;
                r.role = part->role;
                r.designation = part->designation;
                r.library_file = key.first;
                bought.push_back(std::move(r));
            }
            row = &bought[it->second];
        } else {
            const std::string role = role_of(*body);
            const auto key = std::tuple(role, rounded(size[0], 0.01), rounded(size[1], 0.01), rounded(size[2], 0.01),
                                        rounded(std::log(std::max(volume, 1e-300)), 1e-6));
            auto [it, fresh] = made_rows.emplace(key, made.size());
            if (fresh) {
                PartsListRow r;
                r.role = role;
                r.size = size;
                for (int i = 0; i < 3; ++i) r.stock[i] = empty ? 0 : materials.stock(size[i]);
                r.designation = (role == "other" ? std::string("part") : role) + " " + size_triple(size);
                made.push_back(std::move(r));
            }
            row = &made[it->second];
        }
        if (row->bodies.empty()) {
            const MaterialEntry &m = materials.of(row->role);
            row->material = m.material;
            row->heat_treatment = m.heat_treatment;
            row->mass = volume * m.density;
        }
        row->bodies.push_back(body->tag);
        row->names.push_back(names.at(body->tag));
    }
    made.insert(made.end(), bought.begin(), bought.end());
    for (std::size_t i = 0; i < made.size(); ++i) made[i].item = static_cast<int>(i + 1);
    return made;
}

std::string parts_list_csv(const std::vector<PartsListRow> &rows) {
    std::string csv = "item,quantity,designation,role,material,heat_treatment,stock_size_mm,finished_size_mm,"
                      "mass_each_g,mass_total_g,library_file,bodies\n";
    for (const PartsListRow &row : rows) {
        std::string bodies;
        for (const std::string &name : row.names) bodies += (bodies.empty() ? "" : "; ") + name;
        const double quantity = static_cast<double>(row.bodies.size());
        csv += std::to_string(row.item) + ',' + std::to_string(row.bodies.size()) + ',' + csv_field(row.designation) + ',' +
               csv_field(row.role) + ',' + csv_field(row.material) + ',' + csv_field(row.heat_treatment) + ',' +
               (row.standard ? "" : csv_field(size_triple(row.stock))) + ',' + (row.standard ? "" : csv_field(size_triple(row.size))) +
               ',' + grams(row.mass) + ',' + grams(row.mass * quantity) + ',' + csv_field(row.library_file) + ',' +
               csv_field(bodies) + '\n';
    }
    return csv;
}

}  // namespace diekit::io
