// Importing standard parts into the work part, and regenerating them when their expressions change.
#pragma once

#include "model/store.hpp"

#include <string>

namespace diekit::library {

// Reads the part file, copies its expressions with the next suffix 'N, builds its bodies with those
// values, places them at `at` (scaled by `scale` about the part origin) and collects them in a new
// group whose members keep the file's body order. Returns the group.
model::Group &import_part(model::Store &store, const std::string &platform_path, const kernel::Frame &at,
                          double scale);

// Rebuilds the members of every group whose suffixed expressions changed value since its last build,
// keeping their tags; members whose parameters were removed stay as they are. A member that cannot
// be rebuilt keeps its last good shape; the first such failure is thrown (HostError) after the rest.
void regenerate(model::Store &store);

}  // namespace diekit::library
