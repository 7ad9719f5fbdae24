#include "library/part_file.hpp"

#include "kernel/transform.hpp"
#include "model/errors.hpp"
#include "model/store.hpp"

#include <algorithm>
#include <fstream>
#include <regex>

namespace diekit::library {

namespace fs = std::filesystem;
using nlohmann::json;

fs::path resolve(const std::string &platform_path, const std::string &root) {
    // Without a root every relative path would be read from the working folder, unchecked.
    if (root.empty()) throw HostError(kErrNotFound, "no standard-part library folder is set for '" + platform_path + "'");
    std::string text = platform_path;
    std::replace(text.begin(), text.end(), '\\', '/');
    static const std::regex drive(R"(^[A-Za-z]:/DIELIB/)", std::regex::icase);
    text = std::regex_replace(text, drive, "");
    fs::path base = fs::weakly_canonical(root);
    fs::path path = fs::weakly_canonical(base / text);
    auto [end, ignored] = std::mismatch(base.begin(), base.end(), path.begin(), path.end());
    if (end != base.end()) throw HostError(kErrBadValue, "'" + platform_path + "' leaves the library root");
    if (!fs::is_regular_file(path))
        throw HostError(kErrNotFound, "library part '" + platform_path + "' not found (" + path.string() + ")");
    return path;
}

PartFile load(const fs::path &path) {
    std::ifstream in(path);
    if (!in) throw HostError(kErrNotFound, "cannot read part file '" + path.string() + "'");
    json doc;
    try {
        doc = json::parse(in, nullptr, true, true);
    } catch (const json::parse_error &e) {
        throw HostError(kErrBadValue, "part file '" + path.string() + "' is not valid JSON: " + e.what());
    }
    auto bad = [&path](const std::string &why) { return HostError(kErrBadValue, "part file '" + path.string() + "': " + why); };
    if (!doc.is_object() || !doc.contains("bodies") || !doc["bodies"].is_array() || doc["bodies"].empty())
        throw bad("needs a non-empty 'bodies' list");
    PartFile part;
    part.contract = doc.value("contract", "");
    if (doc.contains("expressions")) {
        if (!doc["expressions"].is_object()) throw bad("'expressions' is name -> formula");
        // nlohmann::json sorts keys; the file's own order comes from a second, order-keeping parse.
        in.clear();
        in.seekg(0);
        auto ordered = nlohmann::ordered_json::parse(in, nullptr, true, true);
        for (auto &[name, formula] : ordered["expressions"].items()) {
            if (!formula.is_string() && !formula.is_number()) throw bad("expression '" + name + "' is not a formula");
            part.expressions.emplace_back(name, formula.is_string() ? formula.get<std::string>() : formula.dump());
        }
    }
    for (auto &body : doc["bodies"])
        if (!body.is_object() || !body.contains("recipe")) throw bad("every body needs a 'recipe'");
    part.bodies = doc["bodies"];
    return part;
}

namespace {

double number(const json &value, const expr::Lookup &lookup, const char *what) {
    if (value.is_number()) return value.get<double>();
    if (value.is_string()) return expr::evaluate(value.get<std::string>(), lookup);
    throw HostError(kErrBadValue, std::string("recipe: '") + what + "' is not a number or formula");
}

kernel::Vec3 triple(const json &params, const char *key, const expr::Lookup &lookup, kernel::Vec3 fallback = {}) {
    if (!params.contains(key)) return fallback;
    const json &v = params[key];
    if (!v.is_array() || v.size() != 3) throw HostError(kErrBadValue, std::string("recipe: '") + key + "' is not [x, y, z]");
    return {number(v[0], lookup, key), number(v[1], lookup, key), number(v[2], lookup, key)};
}

double field(const json &params, const char *key, const expr::Lookup &lookup) {
    if (!params.contains(key)) throw HostError(kErrBadValue, std::string("recipe: '") + key + "' missing");
    return number(params[key], lookup, key);
}

kernel::Shape combine(const std::string &op, const json &items, const expr::Lookup &lookup) {
    if (!items.is_array() || items.empty()) throw HostError(kErrBadValue, "recipe: '" + op + "' needs a list");
    kernel::Shape result = build(items[0], lookup);
    for (std::size_t i = 1; i < items.size(); ++i) {
        kernel::Shape next = build(items[i], lookup);
        result = op == "union" ? kernel::fuse(result, next)
                 : op == "difference" ? kernel::cut(result, next) : kernel::common(result, next);
    }
    return result;
}

}  // namespace

namespace {

// The recipe with every formula replaced by its value: what will be built.
json evaluated(const json &recipe, const expr::Lookup &lookup) {
    if (recipe.is_string()) return expr::evaluate(recipe.get<std::string>(), lookup);
    json out = recipe;
    if (recipe.is_array() || recipe.is_object())
        for (auto item = out.begin(); item != out.end(); ++item) *item = evaluated(*item, lookup);
    return out;
}

}  // namespace

kernel::Shape build_once(const json &recipe, const expr::Lookup &lookup) {
    const json numeric = evaluated(recipe, lookup);
    auto &built = model::Store::instance().built_recipes();
    const std::string key = numeric.dump();
    if (auto known = built.find(key); known != built.end()) return known->second;
    kernel::Shape shape = build(numeric, lookup);
    built.emplace(key, shape);
    return shape;
}

kernel::Shape build(const json &recipe, const expr::Lookup &lookup) {
    if (!recipe.is_object() || recipe.size() != 1) throw HostError(kErrBadValue, "recipe: one operation per object");
    // From a named iterator: *items().begin() refers to a proxy that dies before a binding's use.
    const auto operation = recipe.begin();
    const std::string &op = operation.key();
    const json &params = operation.value();
    if (op == "union" || op == "difference" || op == "intersection") return combine(op, params, lookup);
    if (op == "block") {
        kernel::Vec3 size = triple(params, "size", lookup);
        return kernel::make_box(kernel::Frame{}, triple(params, "corner", lookup), size.x, size.y, size.z);
    }
    if (op == "cylinder")
        return kernel::make_cylinder(triple(params, "base", lookup), triple(params, "axis", lookup, {0, 0, 1}),
                                     field(params, "height", lookup), field(params, "diameter", lookup));
    if (op == "cone")
        return kernel::make_cone(triple(params, "base", lookup), triple(params, "axis", lookup, {0, 0, 1}),
                                 field(params, "height", lookup), field(params, "d1", lookup), field(params, "d2", lookup));
    if (op == "prism") {
        std::vector<kernel::Vec3> outline;
        for (auto &p : params.at("outline")) outline.push_back({number(p.at(0), lookup, "x"), number(p.at(1), lookup, "y"), 0});
        return kernel::make_prism(outline, number(params.at("z").at(0), lookup, "z0"), number(params.at("z").at(1), lookup, "z1"));
    }
    throw HostError(kErrBadValue, "recipe: unknown operation '" + op + "'");
}

}  // namespace diekit::library
