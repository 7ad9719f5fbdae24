#include "io/materials.hpp"

#include "model/errors.hpp"

#include <nlohmann/json.hpp>

#include <cmath>
#include <filesystem>
#include <fstream>

namespace diekit::io {

namespace {

const MaterialEntry &steel() {
    static const MaterialEntry entry{"steel", "none", 7.85e-3};
    return entry;
}

}  // namespace

const MaterialEntry &MaterialsTable::of(const std::string &role) const {
    auto found = roles.find(role);
    if (found != roles.end()) return found->second;
    found = roles.find("default");
    return found != roles.end() ? found->second : steel();
}

double MaterialsTable::stock(double size) const {
    const double wanted = size + allowance;
    return step > 0 ? std::ceil(wanted / step - 1e-9) * step : wanted;
}

MaterialsTable load_materials(const std::string &library_root) {
    MaterialsTable table;
    const std::filesystem::path path = std::filesystem::path(library_root) / "materials.json";
    if (library_root.empty() || !std::filesystem::exists(path)) return table;
    const std::string where = "materials table '" + path.string() + "'";
    std::ifstream in(path);
    if (!in) throw SessionError("cannot read the " + where);
    try {
        const auto doc = nlohmann::json::parse(in, nullptr, true, true);
        std::map<std::string, std::pair<std::string, double>> materials;  // key -> name, density g/mm³
        for (auto &[key, m] : doc.at("materials").items()) {
            const double density = m.at("density").get<double>();
            if (!(density > 0) || !std::isfinite(density))
                throw SessionError(where + ": material '" + key + "' has a density that is not positive");
            materials[key] = {m.value("name", key), density * 1e-3};
        }
        for (auto &[role, r] : doc.at("roles").items()) {
            const std::string key = r.at("material").get<std::string>();
            auto material = materials.find(key);
            if (material == materials.end())
                throw SessionError(where + ": role '" + role + "' names the unknown material '" + key + "'");
            table.roles[role] = {material->second.first, r.value("heat_treatment", ""), material->second.second};
        }
        if (doc.contains("stock")) {
            table.allowance = doc["stock"].value("allowance", table.allowance);
            table.step = doc["stock"].value("step", table.step);
            if (!(table.allowance >= 0) || !(table.step >= 0) || !std::isfinite(table.allowance) || !std::isfinite(table.step))
                throw SessionError(where + ": the stock allowance and step must be zero or more");
        }
    } catch (const nlohmann::json::exception &e) {
        throw SessionError(where + " cannot be used: " + e.what());
    }
    return table;
}

}  // namespace diekit::io
