// The headless dialog driver: plays the session step that is due on a dialog.
#pragma once

#include "ui/block_data.hpp"

#include <nlohmann/json.hpp>

namespace diekit::ui {

// Runs initialise and shown, sets each value of the step with its update callback, presses the
// buttons, and records the outcome in the store's dialog run. A step that cannot be played is
// recorded as an error there (never thrown through the plug-in). Returns the dialog response.
int play(DialogData &dialog);

// Sets one block's value as the designer would; throws SessionError naming the fault.
void set_block_value(BlockData &block, const nlohmann::ordered_json &value);

// The block's state for the report: class, shown, and its value.
nlohmann::ordered_json block_state(const BlockData &block);

// Tags that a selection value names; throws SessionError when one names nothing.
std::vector<tag_t> resolve_selection(const nlohmann::ordered_json &value);
// Whether the block accepts the object (its kind, or its selection filter).
bool accepts(const BlockData &block, tag_t tag);

}  // namespace diekit::ui
