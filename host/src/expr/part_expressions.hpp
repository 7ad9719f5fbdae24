// The work part's expressions: names with import suffixes ("L'3"), formulas over each other, values.
#pragma once

#include "expr/formula.hpp"
#include "model/store.hpp"

#include <string>

namespace diekit::expr {

// Looks names up among the part's expressions (their current values).
Lookup part_lookup(model::Store &store);

// The import suffix N of "name'N" (0 when the name has none).
int suffix_of(const std::string &name);

// The largest import suffix N of any "name'N" in the part (0 when none).
int max_suffix(model::Store &store);

// Splits "lhs=rhs" at the first '=' (both sides trimmed); HostError when there is no '=' or a side is empty.
std::pair<std::string, std::string> split_assignment(const std::string &text);

// Sets the formula of an existing expression ("L'3=23.000000"); the value follows at the next update.
model::Expression &edit(model::Store &store, const std::string &assignment);

// Re-evaluates every expression in creation order, formulas naming others through their current
// formulas; a cycle or a bad formula is reported (HostError) after the others were evaluated.
void evaluate_all(model::Store &store);

}  // namespace diekit::expr
