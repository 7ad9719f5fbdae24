// The JSON report of a played session: bodies, curves, groups, expressions, WCS, messages, steps.
#pragma once

#include "io/session.hpp"

#include <nlohmann/json.hpp>

namespace diekit::io {

nlohmann::ordered_json make_report(const SessionResult &result);

}  // namespace diekit::io
