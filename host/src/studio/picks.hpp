// Values the page sends for a dialog block, turned into what the dialog loop sets and what the
// session file records. A pick names what the designer clicked: {"body": tag}, {"body": tag, "face":
// index, "at": [x, y, z]}, {"body": tag, "edge": index, "at": p} or {"curve": tag}; the face or edge
// index is the position in the body's faces or edges (as the mesh lists them), turned into the
// host's face or edge tag here. The session records a pick as a stable reference that `diehost run`
// resolves to the same object: a name, {"face": name, "near": p}, {"face": {"tag": body}, "near": p},
// or a tag, whichever is the first to resolve to exactly the picked object.
#pragma once

#include "studio/shape_cache.hpp"
#include "ui/block_data.hpp"

#include <nlohmann/json.hpp>

namespace diekit::studio {

struct BlockValue {
    nlohmann::ordered_json session;   // as session files write values (picks as {"tag": N})
    nlohmann::ordered_json recorded;  // the same with stable references, for the recorded session
};

// Converts the page's value for the block. Throws ApiError 400 naming the block and what it accepts
// when a pick is of a kind the block refuses, malformed, or names no live object. Face and edge tags
// are handed out only for picks the block accepts, as a replay of the recorded value would.
BlockValue block_value(const ui::BlockData &block, const nlohmann::ordered_json &value, ShapeCache &cache);

}  // namespace diekit::studio
