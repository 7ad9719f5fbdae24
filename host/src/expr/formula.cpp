#include "expr/formula.hpp"

#include "io/terminal_text.hpp"
#include "model/errors.hpp"

#include <muParser.h>

#include <cmath>
#include <cstdio>
#include <deque>
#include <cctype>

namespace diekit::expr {

namespace {

bool starts_name(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool in_name(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }
bool is_digit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

// Rewrites every name followed by `from` and digits ("L'1") as the name, `to` and the digits, in one
// pass over the text: muParser names may not hold the suffix quote of imported expressions, so
// "L'1" is handed to it as "L_q1" and its names are turned back when they are looked up.
std::string replace_suffixes(const std::string &text, const std::string &from, const std::string &to) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        // A number's exponent or digits are not a name ("2e3"): skip a whole numeric literal.
        if (!starts_name(text[i])) {
            std::size_t j = i;
            if (is_digit(text[i]) || text[i] == '.')
                while (j < text.size() && (in_name(text[j]) || text[j] == '.')) ++j;
            else
                ++j;
            out.append(text, i, j - i);
            i = j;
            continue;
        }
        std::size_t end = i;
        while (end < text.size() && in_name(text[end])) ++end;
        std::size_t digits = end + from.size();
        std::size_t stop = digits;
        while (stop < text.size() && is_digit(text[stop])) ++stop;
        out.append(text, i, end - i);
        if (text.compare(end, from.size(), from) == 0 && stop > digits) {
            out += to;
            out.append(text, digits, stop - digits);
            end = stop;
        }
        i = end;
    }
    return out;
}

std::string mangle(const std::string &formula) { return replace_suffixes(formula, "'", "_q"); }

// A muParser name ("L_q1") back to the expression's name ("L'1"); names without the mangled suffix
// stay as they are.
std::string unmangle(const std::string &name) {
    auto at = name.rfind("_q");
    if (at == std::string::npos || at == 0 || at + 2 == name.size()) return name;
    for (std::size_t i = at + 2; i < name.size(); ++i)
        if (!is_digit(name[i])) return name;
    return name.substr(0, at) + "'" + name.substr(at + 2);
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
        if (!std::isfinite(value)) throw HostError(kErrBadValue, io::one_line("formula '" + formula + "' is not finite"));
        return value;
    } catch (const mu::ParserError &e) {
        // One line whatever the formula holds (a NUL would cut the reason short where it is printed).
        throw HostError(kErrBadValue, io::one_line("formula '" + formula + "': " + e.GetMsg()));
    }
}

std::string format(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%f", value);
    return text;
}

}  // namespace diekit::expr
