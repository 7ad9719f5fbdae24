// Session fixtures: bodies and curves created in the work part before the steps.
#pragma once

#include <nlohmann/json.hpp>

namespace diekit::io {

// Creates one fixture ({"name", "block"|"cylinder"|"prism"|"curve", "color"}); throws SessionError.
void create_fixture(const nlohmann::ordered_json &fixture);

}  // namespace diekit::io
