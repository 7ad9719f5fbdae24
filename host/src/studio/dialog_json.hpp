// The open dialog as the page shows it: every block of the dialog file with the host's state after
// the last callback (shown flags, values, formulas, members, what a collector accepts).
#pragma once

#include "model/dialog_run.hpp"
#include "ui/block_data.hpp"

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

namespace diekit::studio {

// What a block takes from a pick: "body", "face", "edge", "curve" for selection blocks (their class,
// narrowed by the selection filter the plug-in set), "point" for a point block, and "axis", "face",
// "edge", "curve" for a vector block (a face gives its normal, a straight edge or line its direction).
// Empty for blocks that take no pick.
std::vector<std::string> accepted_kinds(const ui::BlockData &block);

// The unit an expression block's label names in its last parenthesis ("Margin c (mm)" -> "mm",
// "Turn angle about Z (degrees)" -> "deg"); empty when it names none.
std::string unit_of(const ui::BlockData &block);

// {"plugin", "title", "blocks": [{"id", "class", "label", "shown", "enabled", "value", "formula"?,
// "unit"?, "members"?, "accepts"?, "picks"?, "parent"?}], "warnings"}.
nlohmann::ordered_json dialog_json(const std::string &plugin, const ui::DialogData &dialog,
                                   const model::DialogRun &run);

}  // namespace diekit::studio
