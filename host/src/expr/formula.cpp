#include "expr/formula.hpp"

#include "model/errors.hpp"

#include <muParser.h>

#include <cmath>
#include <cstdio>
#include <deque>
#include <regex>

namespace diekit::expr {

namespace {

// muParser names may not hold the suffix quote of imported expressions ("L'1"); map them to L_q1.
std::string mangle(const std::string &formula) {
    static const std::regex suffix(R"(([A-Za-z_][A-Za-z0-9_]*)'([0-9]+))");
    return std::regex_replace(formula, suffix, "$1_q$2");
}

std::string unmangle(const std::string &name) {
    static const std::regex suffix(R"(([A-Za-z_][A-Za-z0-9_]*)_q([0-9]+))");
    return std::regex_replace(name, suffix, "$1'$2");
}

}  // namespace

double evaluate(const std::string &formula, const Lookup &lookup) {
    if (formula.find_first_not_of(" \t") == std::string::npos)
        throw HostError(kErrBadValue, "empty formula");
    try {
        mu::Parser parser;
        std::deque<double> storage;  // stable addresses for the variables muParser binds
        std::pair<std::deque<double> *, const Lookup *> context{&storage, &lookup};
        parser.SetVarFactory(
            [](const mu::char_type *name, void *user) -> double * {
                auto *ctx = static_cast<std::pair<std::deque<double> *, const Lookup *> *>(user);
                auto value = *ctx->second ? (*ctx->second)(unmangle(name)) : std::nullopt;
                if (!value) throw mu::ParserError(std::string("unknown name '") + unmangle(name) + "'");
                ctx->first->push_back(*value);
                return &ctx->first->back();
            },
            &context);
        parser.SetExpr(mangle(formula));
        double value = parser.Eval();
        if (!std::isfinite(value)) throw HostError(kErrBadValue, "formula '" + formula + "' is not finite");
        return value;
    } catch (const mu::ParserError &e) {
        throw HostError(kErrBadValue, "formula '" + formula + "': " + e.GetMsg());
    }
}

std::string format(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%f", value);
    return text;
}

}  // namespace diekit::expr
