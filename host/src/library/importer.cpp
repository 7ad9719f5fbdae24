#include "library/importer.hpp"

#include "expr/part_expressions.hpp"
#include "kernel/transform.hpp"
#include "library/part_file.hpp"
#include "library/stretch.hpp"

#include <filesystem>
#include <regex>

namespace diekit::library {

namespace fs = std::filesystem;

namespace {

// "L" -> "L'3" for every name of the file inside a formula.
std::string suffixed(const std::string &formula, const std::vector<std::string> &locals, int suffix) {
    std::string result;
    static const std::regex identifier(R"([A-Za-z_][A-Za-z0-9_]*)");
    auto begin = std::sregex_iterator(formula.begin(), formula.end(), identifier);
    std::size_t last = 0;
    for (auto it = begin; it != std::sregex_iterator(); ++it) {
        result += formula.substr(last, it->position() - last);
        std::string name = it->str();
        bool local = std::find(locals.begin(), locals.end(), name) != locals.end();
        result += local ? name + "'" + std::to_string(suffix) : name;
        last = it->position() + it->length();
    }
    return result + formula.substr(last);
}

std::vector<double> current_values(model::Store &store, const model::Group &group) {
    std::vector<double> values;
    for (auto &name : group.locals) {
        model::Expression *e = store.expression(name + "'" + std::to_string(group.suffix));
        values.push_back(e ? e->value : 0.0);
    }
    return values;
}

std::string display_name(const fs::path &path, const std::string &root) {
    fs::path standard = fs::weakly_canonical(fs::path(root) / "STANDARD");
    fs::path relative = path.lexically_relative(standard);
    if (!relative.empty() && *relative.begin() != "..") return relative.generic_string();
    return path.lexically_relative(fs::weakly_canonical(root)).generic_string();
}

}  // namespace

model::Group &import_part(model::Store &store, const std::string &platform_path, const kernel::Frame &at,
                          double scale) {
    if (!(scale > 0)) throw HostError(kErrBadValue, "import scale must be positive");
    fs::path path = resolve(platform_path, store.library_root());
    PartFile part = load(path);
    int suffix = expr::max_suffix(store) + 1;

    // Build everything before the part changes, so that a bad file leaves no trace.
    model::Group draft;
    draft.suffix = suffix;
    draft.frame = at;
    draft.scale = scale;
    draft.recipes = part.bodies;
    for (auto &[name, formula] : part.expressions) draft.locals.push_back(name);
    std::vector<std::pair<std::string, std::string>> formulas;
    std::map<std::string, double> values;
    auto local_lookup = [&values](const std::string &name) -> std::optional<double> {
        auto it = values.find(name);
        if (it == values.end()) return std::nullopt;
        return it->second;
    };
    for (auto &[name, formula] : part.expressions) {
        values[name] = expr::evaluate(formula, local_lookup);
        formulas.emplace_back(name + "'" + std::to_string(suffix), suffixed(formula, draft.locals, suffix));
    }
    std::vector<kernel::Shape> shapes;
    for (std::size_t i = 0; i < part.bodies.size(); ++i) {
        kernel::Shape local = build_once(part.bodies[i].at("recipe"), local_lookup);
        if (scale != 1.0) local = kernel::scale(local, kernel::Frame{}, scale, scale, scale);
        shapes.push_back(kernel::place(local, at));
    }

    for (std::size_t i = 0; i < formulas.size(); ++i)
        store.add_expression(formulas[i].first, formulas[i].second, values[part.expressions[i].first]);
    model::Group &group = store.add_group();
    std::vector<tag_t> members;
    for (std::size_t i = 0; i < shapes.size(); ++i) {
        model::Body &body = store.add_body(shapes[i], true);
        body.name = part.bodies[i].value("name", "");
        body.group = group.tag;
        store.add_feature("IMPORT", body, shapes[i]);
        members.push_back(body.tag);
        group.built_revisions.push_back(body.revision);
    }
    group.members = members;
    group.file = display_name(path, store.library_root());
    group.path = path.string();
    group.recipes = std::move(draft.recipes);
    group.locals = std::move(draft.locals);
    group.suffix = suffix;
    group.frame = at;
    group.scale = scale;
    group.built_values = current_values(store, group);
    return group;
}

void regenerate(model::Store &store) {
    std::string first_error;
    for (auto *object : store.objects()) {
        if (object->kind != model::Kind::Group) continue;
        auto &group = static_cast<model::Group &>(*object);
        std::vector<double> values = current_values(store, group);
        if (values == group.built_values) continue;
        for (std::size_t i = 0; i < group.members.size(); ++i) {
            model::Object *member = store.find(group.members[i]);
            if (!member || member->kind != model::Kind::Body) continue;
            auto &body = static_cast<model::Body &>(*member);
            if (!body.parametric) continue;
            try {
                store.set_shape(body, scaled_member_shape(store, group, i, body.scales));
                mark_built(store, body);
            } catch (const std::exception &e) {
                if (first_error.empty())
                    first_error = "regenerating body " + std::to_string(body.tag) + " of '" + group.file + "': " + e.what();
            }
        }
        group.built_values = values;
    }
    if (!first_error.empty()) throw HostError(kErrGeometry, first_error);
}

}  // namespace diekit::library
