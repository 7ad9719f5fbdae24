#include "library/part_file.hpp"

#include "io/json_input.hpp"
#include "kernel/transform.hpp"
#include "model/errors.hpp"
#include "model/model_range.hpp"
#include "model/store.hpp"

#include <algorithm>
#include <fstream>
#include <cctype>
#include <cstring>
#include <functional>
#include <map>
#include <sstream>

namespace diekit::library {

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

// Part files are small; a larger one is not a part file.
constexpr std::uintmax_t kMaxPartFileBytes = 16ull << 20;

bool same_letters(const std::string &text, std::size_t at, const char *word) {
    for (std::size_t i = 0; word[i]; ++i)
        if (at + i >= text.size() || std::toupper(static_cast<unsigned char>(text[at + i])) != word[i]) return false;
    return true;
}

// The part of a platform path below the library root: "D:\DIELIB\STANDARD\x.prt" -> "STANDARD/x.prt";
// a path without a drive stays as it is (relative to the root). Any other drive or folder is refused.
std::string below_library(const std::string &platform_path) {
    std::string text = platform_path;
    std::replace(text.begin(), text.end(), '\\', '/');
    const bool has_drive = text.size() >= 2 && std::isalpha(static_cast<unsigned char>(text[0])) && text[1] == ':';
    if (!has_drive) return text;
    if (std::toupper(static_cast<unsigned char>(text[0])) == 'D' && same_letters(text, 2, "/DIELIB/"))
        return text.substr(std::strlen("D:/DIELIB/"));
    throw HostError(kErrBadValue, "'" + platform_path + "': only paths D:\\DIELIB\\... map onto the library root");
}

}  // namespace

fs::path resolve(const std::string &platform_path, const std::string &root) {
    // Without a root every relative path would be read from the working folder, unchecked.
    if (root.empty()) throw HostError(kErrNotFound, "no standard-part library folder is set for '" + platform_path + "'");
    const std::string text = below_library(platform_path);
    fs::path base = fs::weakly_canonical(root);
    fs::path path = fs::weakly_canonical(base / text);
    auto [end, ignored] = std::mismatch(base.begin(), base.end(), path.begin(), path.end());
    if (end != base.end()) throw HostError(kErrBadValue, "'" + platform_path + "' leaves the library root");
    std::error_code error;
    if (!fs::is_regular_file(path, error))
        throw HostError(kErrNotFound, "library part '" + platform_path + "' not found (" + path.string() + ")");
    return path;
}

namespace {

using Ordered = nlohmann::ordered_json;

bool is_identifier(const std::string &name) {
    if (name.empty() || !(std::isalpha(static_cast<unsigned char>(name[0])) || name[0] == '_')) return false;
    return std::all_of(name.begin(), name.end(),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; });
}

// Checks the shape of a recipe before anything is built, so that building never meets a missing
// key or a wrong kind of value; `where` names the body and the place inside the recipe.
class RecipeCheck {
public:
    explicit RecipeCheck(std::function<HostError(const std::string &)> bad) : m_bad(std::move(bad)) {}

    void recipe(const Ordered &r, const std::string &where) {
        if (!r.is_object() || r.size() != 1) throw m_bad(where + ": a recipe is one operation, {\"block\": {...}} or the like");
        const auto operation = r.begin();
        const std::string &op = operation.key();
        const Ordered &params = operation.value();
        const std::string at = where + " '" + op + "'";
        if (op == "union" || op == "difference" || op == "intersection") {
            if (!params.is_array() || params.empty()) throw m_bad(at + " expects a non-empty list of recipes");
            for (std::size_t i = 0; i < params.size(); ++i) recipe(params[i], at + " item " + std::to_string(i + 1));
            return;
        }
        static const std::map<std::string, std::vector<std::pair<std::string, bool>>> kFields = {
            // field, is a triple; every size is required, the positions and axes default
            {"block", {{"corner", true}, {"size", true}}},
            {"cylinder", {{"base", true}, {"axis", true}, {"height", false}, {"diameter", false}}},
            {"cone", {{"base", true}, {"axis", true}, {"height", false}, {"d1", false}, {"d2", false}}},
        };
        if (!params.is_object()) throw m_bad(at + " expects an object of sizes");
        if (op == "prism") return prism(params, at);
        auto fields = kFields.find(op);
        if (fields == kFields.end()) throw m_bad(where + ": unknown operation '" + op + "'");
        for (auto &[key, value] : params.items()) {
            auto known = std::find_if(fields->second.begin(), fields->second.end(),
                                      [&key](const auto &field) { return field.first == key; });
            if (known == fields->second.end()) throw m_bad(at + ": unknown key '" + key + "'");
        }
        for (auto &[key, is_triple] : fields->second) {
            if (!params.contains(key)) {
                if (key == "axis" || key == "corner" || key == "base") continue;  // default: origin, +Z
                throw m_bad(at + " needs '" + key + "'");
            }
            if (is_triple) triple(params[key], at + " '" + key + "'");
            else number(params[key], at + " '" + key + "'");
        }
    }

private:
    void number(const Ordered &v, const std::string &where) {
        if (!v.is_number() && !v.is_string()) throw m_bad(where + " expects a number or a formula");
    }
    void triple(const Ordered &v, const std::string &where) {
        if (!v.is_array() || v.size() != 3) throw m_bad(where + " expects [x, y, z]");
        for (auto &c : v) number(c, where);
    }
    void prism(const Ordered &params, const std::string &at) {
        for (auto &[key, value] : params.items())
            if (key != "outline" && key != "z") throw m_bad(at + ": unknown key '" + key + "'");
        if (!params.contains("outline") || !params["outline"].is_array() || params["outline"].size() < 3)
            throw m_bad(at + " needs an 'outline' of at least three [x, y] points");
        for (auto &p : params["outline"]) {
            if (!p.is_array() || p.size() != 2) throw m_bad(at + " 'outline' holds " + io::brief(p) + ", not [x, y]");
            for (auto &c : p) number(c, at + " 'outline'");
        }
        if (!params.contains("z") || !params["z"].is_array() || params["z"].size() != 2)
            throw m_bad(at + " needs 'z': [z0, z1]");
        for (auto &c : params["z"]) number(c, at + " 'z'");
    }

    std::function<HostError(const std::string &)> m_bad;
};

std::string read_text(const fs::path &path) {
    std::error_code error;
    if (!fs::is_regular_file(path, error)) throw HostError(kErrNotFound, "part file '" + path.string() + "' is not a file");
    if (fs::file_size(path, error) > kMaxPartFileBytes)
        throw HostError(kErrBadValue, "part file '" + path.string() + "' is larger than 16 MiB");
    std::ifstream in(path, std::ios::binary);
    if (!in) throw HostError(kErrNotFound, "cannot read part file '" + path.string() + "'");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

PartFile load(const fs::path &path) {
    Ordered doc;
    try {
        doc = io::parse_json(read_text(path));
    } catch (const io::JsonInputError &e) {
        throw HostError(kErrBadValue, "part file '" + path.string() + "' is not valid JSON: " + e.what());
    }
    auto bad = [&path](const std::string &why) { return HostError(kErrBadValue, "part file '" + path.string() + "': " + why); };
    // Keys other than these three document the part ("contract", "standard", ...) and are not read.
    if (!doc.is_object()) throw bad("a part file is a JSON object");
    if (!doc.contains("bodies") || !doc["bodies"].is_array() || doc["bodies"].empty())
        throw bad("needs a non-empty 'bodies' list");
    PartFile part;
    if (doc.contains("contract")) {
        if (!doc["contract"].is_string()) throw bad("'contract' expects a text");
        part.contract = doc["contract"].get<std::string>();
    }
    if (doc.contains("expressions")) {
        if (!doc["expressions"].is_object()) throw bad("'expressions' is name -> formula");
        for (auto &[name, formula] : doc["expressions"].items()) {
            if (!is_identifier(name)) throw bad("expression name '" + name + "' is not a name (letters, digits, _)");
            if (!formula.is_string() && !formula.is_number()) throw bad("expression '" + name + "' is not a formula");
            part.expressions.emplace_back(name, formula.is_string() ? formula.get<std::string>() : formula.dump());
        }
    }
    RecipeCheck check(bad);
    int index = 0;
    for (auto &body : doc["bodies"]) {
        std::string where = "body " + std::to_string(++index);
        if (!body.is_object() || !body.contains("recipe")) throw bad(where + " needs a 'recipe'");
        for (auto &[key, value] : body.items())
            if (key != "name" && key != "recipe" && key != "comment") throw bad(where + ": unknown key '" + key + "'");
        if (body.contains("name")) {
            if (!body["name"].is_string()) throw bad(where + ": 'name' expects a text");
            where += " ('" + body["name"].get<std::string>() + "')";
        }
        check.recipe(body["recipe"], where + " recipe");
    }
    part.bodies = nlohmann::json(doc["bodies"]);
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

kernel::Vec3 position(const json &params, const char *key, const expr::Lookup &lookup) {
    kernel::Vec3 p = triple(params, key, lookup);
    model::check_point(p, std::string("recipe: '") + key + "'");
    return p;
}

double field(const json &params, const char *key, const expr::Lookup &lookup) {
    if (!params.contains(key)) throw HostError(kErrBadValue, std::string("recipe: '") + key + "' missing");
    return number(params[key], lookup, key);
}

double length(const json &params, const char *key, const expr::Lookup &lookup) {
    double value = field(params, key, lookup);
    model::check_length(value, std::string("recipe: '") + key + "'");
    return value;
}

// A cone's end diameter may be 0 (a point), else a length.
double end_diameter(const json &params, const char *key, const expr::Lookup &lookup) {
    double value = field(params, key, lookup);
    if (value != 0) model::check_length(value, std::string("recipe: '") + key + "'");
    return value;
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

// The recipe with every formula replaced by its value: what will be built. Each level is built
// afresh from its evaluated children (moved in), so the cost stays linear in the recipe's size.
json evaluated(const json &recipe, const expr::Lookup &lookup) {
    if (recipe.is_string()) return expr::evaluate(recipe.get<std::string>(), lookup);
    if (recipe.is_array()) {
        json out = json::array();
        for (const json &item : recipe) out.push_back(evaluated(item, lookup));
        return out;
    }
    if (recipe.is_object()) {
        json out = json::object();
        for (auto item = recipe.begin(); item != recipe.end(); ++item) out[item.key()] = evaluated(item.value(), lookup);
        return out;
    }
    return recipe;
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
        model::check_length(size.x, "recipe: block 'size' x");
        model::check_length(size.y, "recipe: block 'size' y");
        model::check_length(size.z, "recipe: block 'size' z");
        return kernel::make_box(kernel::Frame{}, position(params, "corner", lookup), size.x, size.y, size.z);
    }
    if (op == "cylinder")
        return kernel::make_cylinder(position(params, "base", lookup), triple(params, "axis", lookup, {0, 0, 1}),
                                     length(params, "height", lookup), length(params, "diameter", lookup));
    if (op == "cone")
        return kernel::make_cone(position(params, "base", lookup), triple(params, "axis", lookup, {0, 0, 1}),
                                 length(params, "height", lookup), end_diameter(params, "d1", lookup),
                                 end_diameter(params, "d2", lookup));
    if (op == "prism") {
        if (!params.contains("outline") || !params["outline"].is_array() || !params.contains("z") ||
            !params["z"].is_array() || params["z"].size() != 2)
            throw HostError(kErrBadValue, "recipe: a prism needs 'outline' and 'z'");
        std::vector<kernel::Vec3> outline;
        for (auto &p : params["outline"]) {
            if (!p.is_array() || p.size() != 2) throw HostError(kErrBadValue, "recipe: an outline point is not [x, y]");
            outline.push_back({number(p[0], lookup, "x"), number(p[1], lookup, "y"), 0});
            model::check_point(outline.back(), "recipe: outline point");
        }
        const double z0 = number(params["z"][0], lookup, "z0"), z1 = number(params["z"][1], lookup, "z1");
        model::check_coordinate(z0, "recipe: prism z0");
        model::check_coordinate(z1, "recipe: prism z1");
        return kernel::make_prism(outline, z0, z1);
    }
    throw HostError(kErrBadValue, "recipe: unknown operation '" + op + "'");
}

}  // namespace diekit::library
