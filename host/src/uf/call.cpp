#include "uf/call.hpp"

#include "expr/formula.hpp"

#include <cmath>

namespace diekit::uf {

model::Store &store() { return model::Store::instance(); }

int fail(const char *function, int code, const std::string &reason) {
    store().log(std::string(function) + ": " + reason);
    return code;
}

void require_session(const char *function) {
    if (store().bracket_depth() == 0)
        throw HostError(kErrNotInitialized, std::string(function) + " called outside UF_initialize");
}

void require_pointer(const void *pointer, const char *what) {
    if (!pointer) throw HostError(kErrNullArgument, std::string(what) + " is NULL");
}

kernel::Vec3 to_vec(const double values[3]) {
    require_pointer(values, "point");
    for (int i = 0; i < 3; ++i)
        if (!std::isfinite(values[i])) throw HostError(kErrBadValue, "point has a coordinate that is not finite");
    // A direction as long as 1e308 has no finite length: normalised, it would become the zero vector.
    if (!std::isfinite(std::hypot(values[0], values[1], values[2])))
        throw HostError(kErrBadValue, "vector is too long to have a direction");
    return {values[0], values[1], values[2]};
}

kernel::Vec3 to_point(const double values[3], const char *what) {
    require_pointer(values, what);
    kernel::Vec3 p = to_vec(values);
    model::check_point(p, what);
    return p;
}

void from_vec(const kernel::Vec3 &v, double out[3]) {
    out[0] = v.x;
    out[1] = v.y;
    out[2] = v.z;
}

double length_value(const char *text, const char *what) {
    require_pointer(text, what);
    auto &expressions = store();
    return expr::evaluate(text, [&expressions](const std::string &name) -> std::optional<double> {
        for (auto *object : expressions.objects())
            if (object->kind == model::Kind::Expression && object->name == name)
                return static_cast<model::Expression *>(object)->value;
        return std::nullopt;
    });
}

double solid_length(const char *text, const char *what) {
    const double value = length_value(text, what);
    model::check_length(value, std::string(what) + " '" + text + "' =");
    return value;
}

std::vector<tag_t> list_tags(uf_list_p_t list, const char *what) {
    require_pointer(list, what);
    if (!store().is_list(list)) throw HostError(kErrBadList, std::string(what) + " is not a live list");
    std::vector<tag_t> tags;
    for (auto *node = list->next; node; node = node->next) tags.push_back(node->eid);
    return tags;
}

uf_list_p_t make_list(const std::vector<tag_t> &tags) {
    uf_list_p_t list = store().new_list();
    auto *tail = list;
    for (tag_t tag : tags) {
        tail->next = new uf_list_s{tag, nullptr};
        tail = tail->next;
    }
    return list;
}

}  // namespace diekit::uf
