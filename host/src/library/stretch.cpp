#include "library/stretch.hpp"

#include "kernel/transform.hpp"
#include "library/part_file.hpp"
#include "model/errors.hpp"

#include <algorithm>
#include <cmath>
#include <string>

namespace diekit::library {

using nlohmann::json;

namespace {

constexpr double kParallel = 1e-12;

double dot(const kernel::Vec3 &a, const kernel::Vec3 &b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
kernel::Vec3 plus(const kernel::Vec3 &a, const kernel::Vec3 &b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
kernel::Vec3 times(const kernel::Vec3 &a, double s) { return {a.x * s, a.y * s, a.z * s}; }

kernel::Vec3 unit(const kernel::Vec3 &a) {
    double n = std::sqrt(dot(a, a));
    return n > 0 ? times(a, 1.0 / n) : a;
}

// The axis (0, 1, 2) of `axes` that `direction` is parallel to, or -1.
int parallel_axis(const kernel::Vec3 &direction, const kernel::Vec3 (&axes)[3]) {
    kernel::Vec3 d = unit(direction);
    for (int j = 0; j < 3; ++j)
        if (std::abs(std::abs(dot(d, unit(axes[j]))) - 1.0) < kParallel) return j;
    return -1;
}

double number(const json &value, const expr::Lookup &lookup) {
    if (value.is_number()) return value.get<double>();
    if (value.is_string()) return expr::evaluate(value.get<std::string>(), lookup);
    throw HostError(kErrBadValue, "recipe: a value is not a number or formula");
}

json triple(const json &params, const char *key, const expr::Lookup &lookup, const std::array<double, 3> &factors,
            json fallback) {
    if (!params.contains(key)) return fallback;
    const json &v = params[key];
    if (!v.is_array() || v.size() != 3) throw HostError(kErrBadValue, std::string("recipe: '") + key + "' is not [x, y, z]");
    return json::array({number(v[0], lookup) * factors[0], number(v[1], lookup) * factors[1],
                        number(v[2], lookup) * factors[2]});
}

bool same_factor(double a, double b) { return std::abs(a - b) <= 1e-12 * std::max(std::abs(a), std::abs(b)); }

// A cylinder or cone: its axis must lie along a local axis and the two factors across it agree.
std::optional<json> stretched_round(const std::string &op, const json &params, const expr::Lookup &lookup,
                                    const std::array<double, 3> &f) {
    const std::array<double, 3> one{1, 1, 1};
    json axis = triple(params, "axis", lookup, one, json::array({0, 0, 1}));
    kernel::Vec3 a{axis[0].get<double>(), axis[1].get<double>(), axis[2].get<double>()};
    const kernel::Vec3 local[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    int along = parallel_axis(a, local);
    if (along < 0) return std::nullopt;
    double across[2];
    for (int j = 0, k = 0; j < 3; ++j)
        if (j != along) across[k++] = f[j];
    if (!same_factor(across[0], across[1])) return std::nullopt;
    json out = {{"base", triple(params, "base", lookup, f, json::array({0, 0, 0}))},
                {"axis", axis},
                {"height", number(params.at("height"), lookup) * f[along]}};
    if (op == "cylinder") {
        out["diameter"] = number(params.at("diameter"), lookup) * across[0];
    } else {
        out["d1"] = number(params.at("d1"), lookup) * across[0];
        out["d2"] = number(params.at("d2"), lookup) * across[0];
    }
    return json{{op, out}};
}

expr::Lookup group_values(model::Store &store, const model::Group &group) {
    return [&store, &group](const std::string &name) -> std::optional<double> {
        model::Expression *e = store.expression(name + "'" + std::to_string(group.suffix));
        if (!e) e = store.expression(name);
        if (!e) return std::nullopt;
        return e->value;
    };
}

// The index of the body among the members of its group, when it is one.
std::optional<std::size_t> member_index(const model::Group &group, tag_t body) {
    auto it = std::find(group.members.begin(), group.members.end(), body);
    if (it == group.members.end()) return std::nullopt;
    return static_cast<std::size_t>(it - group.members.begin());
}

model::Group *group_of(model::Store &store, const model::Body &body) {
    model::Object *object = store.find(body.group);
    return object && object->kind == model::Kind::Group ? static_cast<model::Group *>(object) : nullptr;
}

}  // namespace

std::optional<Stretch> fold(const Stretch &current, const model::ScaleStep &step) {
    const kernel::Vec3 about[3] = {step.about.x, step.about.y, step.about.z};
    const kernel::Vec3 own[3] = {current.frame.x, current.frame.y, current.frame.z};
    Stretch next = current;
    for (int i = 0; i < 3; ++i) {
        int j = parallel_axis(own[i], about);
        if (j < 0) return std::nullopt;
        next.factors[i] = current.factors[i] * step.factors[j];
    }
    // The part's origin moves like any point under the scale.
    kernel::Vec3 offset{current.frame.origin.x - step.about.origin.x, current.frame.origin.y - step.about.origin.y,
                        current.frame.origin.z - step.about.origin.z};
    kernel::Vec3 moved = step.about.origin;
    for (int j = 0; j < 3; ++j) {
        kernel::Vec3 axis = unit(about[j]);
        moved = plus(moved, times(axis, dot(offset, axis) * step.factors[j]));
    }
    next.frame.origin = moved;
    return next;
}

std::optional<json> stretched_recipe(const json &recipe, const expr::Lookup &lookup, const std::array<double, 3> &f) {
    if (!recipe.is_object() || recipe.size() != 1) throw HostError(kErrBadValue, "recipe: one operation per object");
    // The key and value are taken from a named iterator: a binding to *items().begin() would outlive
    // the proxy it refers to.
    const auto operation = recipe.begin();
    const std::string &op = operation.key();
    const json &params = operation.value();
    if (op == "union" || op == "difference" || op == "intersection") {
        if (!params.is_array()) throw HostError(kErrBadValue, "recipe: '" + op + "' needs a list");
        // Children are moved, not copied, up the levels: copies would cost the square of the depth.
        json out = json::object();
        json &items = out[op] = json::array();
        for (auto &item : params) {
            auto stretched = stretched_recipe(item, lookup, f);
            if (!stretched) return std::nullopt;
            items.push_back(std::move(*stretched));
        }
        return out;
    }
    if (op == "block")
        return json{{"block", {{"corner", triple(params, "corner", lookup, f, json::array({0, 0, 0}))},
                               {"size", triple(params, "size", lookup, f, json::array({0, 0, 0}))}}}};
    if (op == "cylinder" || op == "cone") return stretched_round(op, params, lookup, f);
    if (op == "prism") {
        json outline = json::array();
        for (auto &p : params.at("outline"))
            outline.push_back(json::array({number(p.at(0), lookup) * f[0], number(p.at(1), lookup) * f[1]}));
        const json &z = params.at("z");
        return json{{"prism", {{"outline", outline},
                               {"z", json::array({number(z.at(0), lookup) * f[2], number(z.at(1), lookup) * f[2]})}}}};
    }
    return std::nullopt;  // an operation this does not know: the general scale handles it
}

kernel::Shape scaled_member_shape(model::Store &store, const model::Group &group, std::size_t index,
                                  const std::vector<model::ScaleStep> &scales) {
    const json &recipe = group.recipes.at(index).at("recipe");
    const expr::Lookup lookup = group_values(store, group);

    Stretch stretch{group.frame, {group.scale, group.scale, group.scale}};
    std::size_t folded = 0;
    for (; folded < scales.size(); ++folded) {
        auto next = fold(stretch, scales[folded]);
        if (!next) break;
        stretch = *next;
    }
    kernel::Shape shape;
    auto stretched = stretched_recipe(recipe, lookup, stretch.factors);
    if (stretched) {
        shape = kernel::place(build_once(*stretched, lookup), stretch.frame);
    } else {
        folded = 0;
        shape = build_once(recipe, lookup);
        if (group.scale != 1.0) shape = kernel::scale(shape, kernel::Frame{}, group.scale, group.scale, group.scale);
        shape = kernel::place(shape, group.frame);
    }
    for (std::size_t i = folded; i < scales.size(); ++i)
        shape = kernel::scale(shape, scales[i].about, scales[i].factors[0], scales[i].factors[1], scales[i].factors[2]);
    return shape;
}

std::optional<kernel::Shape> rescaled_member(model::Store &store, const model::Body &body, const model::ScaleStep &step) {
    if (!body.parametric) return std::nullopt;
    model::Group *group = group_of(store, body);
    if (!group) return std::nullopt;
    auto index = member_index(*group, body.tag);
    if (!index || *index >= group->built_revisions.size() || group->built_revisions[*index] != body.revision)
        return std::nullopt;
    std::vector<model::ScaleStep> scales = body.scales;
    scales.push_back(step);
    return scaled_member_shape(store, *group, *index, scales);
}

void mark_built(model::Store &store, const model::Body &body) {
    model::Group *group = group_of(store, body);
    if (!group) return;
    auto index = member_index(*group, body.tag);
    if (!index) return;
    if (group->built_revisions.size() < group->members.size()) group->built_revisions.resize(group->members.size(), 0);
    group->built_revisions[*index] = body.revision;
}

}  // namespace diekit::library
