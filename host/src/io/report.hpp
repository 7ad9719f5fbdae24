// The JSON report of a played session: bodies, curves, groups, expressions, WCS, messages, steps.
#pragma once

#include "io/session.hpp"
#include "model/store.hpp"

#include <nlohmann/json.hpp>

namespace diekit::io {

nlohmann::ordered_json make_report(const SessionResult &result);

// "line", "arc", "circle" or "spline", as the report's curves give the kind.
const char *curve_kind_name(const kernel::Shape &shape);

// One message as the report lists it: {"kind": "note", "text"} or {"kind": "box", "title", "type", "text"}.
nlohmann::ordered_json message_json(const model::Message &message);

}  // namespace diekit::io
