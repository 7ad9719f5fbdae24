// What failed in a dialog step: one line per host call that returned an error code during the step
// (the store's log lines added meanwhile) and per error message box (type 0) shown meanwhile. The
// session runner calls these where a step ends; an interactive host calls them after each Apply/OK.
#pragma once

#include "model/store.hpp"

#include <cstddef>
#include <string>
#include <vector>

namespace diekit::io {

// Where the store's log and messages stood when a step began.
struct StepMark {
    std::size_t log = 0;
    std::size_t messages = 0;
};

StepMark mark_step(const model::Store &store);

// The warnings since the mark, each "step N (plugin): <call>: <reason>" or
// "step N (plugin): error box '<title>': <text>": the failed calls in the order made, then the boxes.
std::vector<std::string> step_warnings(const model::Store &store, const StepMark &since, int step,
                                       const std::string &plugin);

// Prints each warning on stderr ("diehost: warning: ...") and, when there are any, a summary line
// for the step. Prints nothing for none.
void print_step_warnings(const std::vector<std::string> &warnings, int step, const std::string &plugin);

}  // namespace diekit::io
