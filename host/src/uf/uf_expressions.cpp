// Expressions of the work part and the update that regenerates imported parts.
#include "expr/part_expressions.hpp"
#include "library/importer.hpp"
#include "uf/call.hpp"

#include <uf_modl.h>

#include <algorithm>
#include <cstring>

using namespace diekit;
using namespace diekit::uf;

namespace {

char *copy_text(const std::string &text) {
    auto *out = static_cast<char *>(store().allocate(text.size() + 1));
    std::memcpy(out, text.c_str(), text.size() + 1);
    return out;
}

}  // namespace

extern "C" {

int UF_MODL_ask_exps_of_part(tag_t part_tag, int *number_of_exps, tag_t **exps) {
    if (number_of_exps) *number_of_exps = 0;
    if (exps) *exps = nullptr;
    return call("UF_MODL_ask_exps_of_part", [&] {
        require_pointer(number_of_exps, "count");
        require_pointer(exps, "expressions");
        // A group of imported objects stands for the part that holds it (the work part): the stripper
        // bolt builder asks with its import group and searches the part's suffixes.
        model::Kind kind = store().require(part_tag, "part").kind;
        if (kind != model::Kind::Part && kind != model::Kind::Group)
            throw HostError(kErrWrongKind, "tag " + std::to_string(part_tag) + " is not a part");
        std::vector<tag_t> tags;
        for (auto *object : store().objects())
            if (object->kind == model::Kind::Expression) tags.push_back(object->tag);
        auto *array = static_cast<tag_t *>(store().allocate(sizeof(tag_t) * tags.size()));
        std::copy(tags.begin(), tags.end(), array);  // memcpy from an empty vector's null data is undefined
        *exps = array;
        *number_of_exps = static_cast<int>(tags.size());
    });
}

int UF_MODL_ask_exp_tag_string(tag_t expression_tag, char **string) {
    if (string) *string = nullptr;
    return call("UF_MODL_ask_exp_tag_string", [&] {
        require_pointer(string, "string");
        auto &e = store().expression(expression_tag);
        *string = copy_text(e.name + "=" + e.formula);
    });
}

int UF_MODL_dissect_exp_string(char *exp_str, char **lhs_str, char **rhs_str, tag_t *exp_tag) {
    if (lhs_str) *lhs_str = nullptr;
    if (rhs_str) *rhs_str = nullptr;
    if (exp_tag) *exp_tag = NULL_TAG;
    return call("UF_MODL_dissect_exp_string", [&] {
        require_pointer(exp_str, "expression string");
        require_pointer(lhs_str, "lhs");
        require_pointer(rhs_str, "rhs");
        require_pointer(exp_tag, "expression");
        auto [lhs, rhs] = expr::split_assignment(exp_str);
        model::Expression *e = store().expression(lhs);
        *lhs_str = copy_text(lhs);
        *rhs_str = copy_text(rhs);
        *exp_tag = e ? e->tag : NULL_TAG;
    });
}

int UF_MODL_edit_exp(char *expr_str) {
    return call("UF_MODL_edit_exp", [&] {
        require_session("UF_MODL_edit_exp");
        require_pointer(expr_str, "expression string");
        expr::edit(store(), expr_str);
    });
}

int UF_MODL_create_exp_tag(const char *string, tag_t *new_exp) {
    if (new_exp) *new_exp = NULL_TAG;
    return call("UF_MODL_create_exp_tag", [&] {
        require_session("UF_MODL_create_exp_tag");
        require_pointer(string, "expression string");
        require_pointer(new_exp, "expression");
        auto [name, formula] = expr::split_assignment(string);
        if (store().expression(name)) throw HostError(kErrBadValue, "expression '" + name + "' exists already");
        double value = expr::evaluate(formula, expr::part_lookup(store()));
        *new_exp = store().add_expression(name, formula, value).tag;
    });
}

int UF_MODL_update(void) {
    return call("UF_MODL_update", [&] {
        require_session("UF_MODL_update");
        std::string first_error;
        try {
            expr::evaluate_all(store());
        } catch (const HostError &e) {
            first_error = e.what();
        }
        library::regenerate(store());
        if (!first_error.empty()) throw HostError(kErrBadValue, first_error);
    });
}

}  // extern "C"
