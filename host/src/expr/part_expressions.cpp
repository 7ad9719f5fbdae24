#include "expr/part_expressions.hpp"

#include <algorithm>
#include <set>

namespace diekit::expr {

namespace {

std::string trim(const std::string &text) {
    auto first = text.find_first_not_of(" \t");
    auto last = text.find_last_not_of(" \t");
    return first == std::string::npos ? "" : text.substr(first, last - first + 1);
}

// Value of one expression, evaluating the expressions it names first; `active` catches cycles.
double value_of(model::Store &store, model::Expression &expression, std::set<std::string> &active) {
    if (!active.insert(expression.name).second)
        throw HostError(kErrBadValue, "expression '" + expression.name + "' depends on itself");
    double value = evaluate(expression.formula, [&](const std::string &name) -> std::optional<double> {
        model::Expression *other = store.expression(name);
        if (!other) return std::nullopt;
        return value_of(store, *other, active);
    });
    active.erase(expression.name);
    return value;
}

}  // namespace

Lookup part_lookup(model::Store &store) {
    return [&store](const std::string &name) -> std::optional<double> {
        model::Expression *expression = store.expression(name);
        if (!expression) return std::nullopt;
        return expression->value;
    };
}

int suffix_of(const std::string &name) {
    auto quote = name.rfind('\'');
    if (quote == std::string::npos || quote == 0 || quote + 1 == name.size()) return 0;
    int value = 0;
    for (std::size_t i = quote + 1; i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9') return 0;
        // A suffix no import could have made (beyond 9 digits) counts as none rather than wrapping.
        if (value > 99'999'999) return 0;
        value = value * 10 + (name[i] - '0');
    }
    return value;
}

int max_suffix(model::Store &store) {
    int best = 0;
    for (auto *object : store.objects())
        if (object->kind == model::Kind::Expression) best = std::max(best, suffix_of(object->name));
    return best;
}

std::pair<std::string, std::string> split_assignment(const std::string &text) {
    auto equals = text.find('=');
    if (equals == std::string::npos) throw HostError(kErrBadValue, "'" + text + "' is not name=formula");
    std::string lhs = trim(text.substr(0, equals)), rhs = trim(text.substr(equals + 1));
    if (lhs.empty() || rhs.empty()) throw HostError(kErrBadValue, "'" + text + "' is not name=formula");
    return {lhs, rhs};
}

model::Expression &edit(model::Store &store, const std::string &assignment) {
    auto [name, formula] = split_assignment(assignment);
    model::Expression *expression = store.expression(name);
    if (!expression) throw HostError(kErrNotFound, "no expression named '" + name + "'");
    evaluate(formula, part_lookup(store));  // refuse a formula that cannot be read before storing it
    expression->formula = formula;
    return *expression;
}

void evaluate_all(model::Store &store) {
    std::string first_error;
    for (auto *object : store.objects()) {
        if (object->kind != model::Kind::Expression) continue;
        auto &expression = static_cast<model::Expression &>(*object);
        try {
            std::set<std::string> active;
            expression.value = value_of(store, expression, active);
        } catch (const HostError &e) {
            if (first_error.empty()) first_error = e.what();
        }
    }
    if (!first_error.empty()) throw HostError(kErrBadValue, first_error);
}

}  // namespace diekit::expr
