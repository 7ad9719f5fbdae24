#include "library/importer.hpp"

#include "expr/part_expressions.hpp"
#include "kernel/transform.hpp"
#include "library/part_file.hpp"
#include "library/stretch.hpp"

#include <filesystem>
#include <algorithm>
#include <cctype>

namespace diekit::library {

namespace fs = std::filesystem;

namespace {

// "L" -> "L'3" for every name of the file inside a formula, in one pass (numbers such as "2e3" are
// copied whole, so their exponent is never taken for a name).
std::string suffixed(const std::string &formula, const std::vector<std::string> &locals, int suffix) {
    auto starts = [](char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; };
    auto inside = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; };
    std::string result;
    std::size_t i = 0;
    while (i < formula.size()) {
        std::size_t end = i + 1;
        if (starts(formula[i])) {
            while (end < formula.size() && inside(formula[end])) ++end;
            std::string name = formula.substr(i, end - i);
            bool local = std::find(locals.begin(), locals.end(), name) != locals.end();
            result += local ? name + "'" + std::to_string(suffix) : name;
        } else {
            if (std::isdigit(static_cast<unsigned char>(formula[i])) || formula[i] == '.')
                while (end < formula.size() && (inside(formula[end]) || formula[end] == '.')) ++end;
            result.append(formula, i, end - i);
        }
        i = end;
    }
    return result;
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

// The objects an import adds to the part, removed again (newest first) unless the import completes:
// a failed import leaves the part as it was.
class Transaction {
public:
    Transaction(model::Store &store, std::size_t objects) : m_store(store) { m_tags.reserve(objects); }
    ~Transaction() {
        if (m_committed) return;
        for (auto tag = m_tags.rbegin(); tag != m_tags.rend(); ++tag) m_store.erase(*tag);
    }
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    template <class T>
    T &added(T &object) {
        m_tags.push_back(object.tag);  // room reserved: cannot throw
        return object;
    }
    void commit() { m_committed = true; }

private:
    model::Store &m_store;
    std::vector<tag_t> m_tags;
    bool m_committed = false;
};

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
    // What fails from here on is named with the file and the expression or body at fault.
    auto in_file = [&path](const std::string &where, auto &&step) {
        try {
            return step();
        } catch (const HostError &e) {
            throw HostError(e.code(), "part file '" + path.string() + "' " + where + ": " + e.what());
        } catch (const kernel::KernelError &e) {
            throw HostError(kErrGeometry, "part file '" + path.string() + "' " + where + ": " + e.what());
        }
    };
    for (auto &[name, formula] : part.expressions) {
        values[name] = in_file("expression '" + name + "'", [&] { return expr::evaluate(formula, local_lookup); });
        formulas.emplace_back(name + "'" + std::to_string(suffix), suffixed(formula, draft.locals, suffix));
    }
    std::vector<kernel::Shape> shapes;
    for (std::size_t i = 0; i < part.bodies.size(); ++i) {
        const std::string where = "body " + std::to_string(i + 1);
        shapes.push_back(in_file(where, [&] {
            kernel::Shape local = build_once(part.bodies[i].at("recipe"), local_lookup);
            if (scale != 1.0) local = kernel::scale(local, kernel::Frame{}, scale, scale, scale);
            return kernel::place(local, at);
        }));
    }

    const std::string file = display_name(path, store.library_root());
    Transaction transaction(store, formulas.size() + 1 + shapes.size());
    for (std::size_t i = 0; i < formulas.size(); ++i)
        transaction.added(store.add_expression(formulas[i].first, formulas[i].second, values[part.expressions[i].first]));
    model::Group &group = transaction.added(store.add_group());
    std::vector<tag_t> members;
    for (std::size_t i = 0; i < shapes.size(); ++i) {
        model::Body &body = transaction.added(store.add_body(shapes[i], true));
        body.name = part.bodies[i].contains("name") ? part.bodies[i]["name"].get<std::string>() : "";
        body.group = group.tag;
        store.add_feature("IMPORT", body, shapes[i]);  // erased with its body
        members.push_back(body.tag);
        group.built_revisions.push_back(body.revision);
    }
    group.members = members;
    group.file = file;
    group.path = path.string();
    group.recipes = std::move(draft.recipes);
    group.locals = std::move(draft.locals);
    group.suffix = suffix;
    group.frame = at;
    group.scale = scale;
    group.built_values = current_values(store, group);
    transaction.commit();
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
