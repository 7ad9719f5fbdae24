// Formulas: the texts of lengths and expressions ("12.500000", "L1+2", "25").
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace diekit::expr {

// Looks a name up; nullopt when the name is unknown.
using Lookup = std::function<std::optional<double>(const std::string &name)>;

// Value of a formula (muParser syntax; names resolved through lookup). Throws HostError (bad value)
// naming the formula when it cannot be evaluated or its value is not finite.
double evaluate(const std::string &formula, const Lookup &lookup = {});

// Formats a value as the platform does for length texts ("%f").
std::string format(double value);

}  // namespace diekit::expr
