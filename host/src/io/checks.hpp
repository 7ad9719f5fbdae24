// The interference report: every pair of live bodies of the work part that share volume (with the
// shared volume) and every pair that only touches. Bodies whose boxes are apart are never compared,
// and pairs whose boxes only meet within the tolerance are tested for touching without a boolean.
#pragma once

#include <uf_defs.h>

#include <nlohmann/json.hpp>

#include <string>
#include <utility>
#include <vector>

namespace diekit::io {

struct Overlap {
    tag_t a = NULL_TAG, b = NULL_TAG;  // a < b
    double volume = 0;                 // shared volume, mm³
};

// A pair the kernel could not compare, and why.
struct Uncompared {
    tag_t a = NULL_TAG, b = NULL_TAG;  // a < b
    std::string reason;
};

struct InterferenceReport {
    std::size_t bodies = 0;                        // bodies examined
    std::size_t compared = 0;                      // pairs whose boxes meet
    std::vector<Overlap> overlaps;                 // sorted by (a, b)
    std::vector<std::pair<tag_t, tag_t>> touching;  // sorted, a < b
    std::vector<Uncompared> uncompared;            // sorted by (a, b)
};

// Examines the live bodies of the current work part (blanked ones included: they are still there).
// Pairs whose boxes meet are compared on every core; a pair the kernel cannot compare (a kernel
// failure, running out of memory) is listed in `uncompared` and the others are still reported.
InterferenceReport check_interference();

// {"overlaps": [{"a": tag, "b": tag, "volume": v}], "touching": [[a, b], ...],
//  "uncompared": [{"a": tag, "b": tag, "reason": text}, ...]}
nlohmann::ordered_json checks_json(const InterferenceReport &report);

// Lines for a terminal: a summary, then one line per overlap, touching and uncompared pair, with names.
std::string checks_text(const InterferenceReport &report, const std::string &session_name);

}  // namespace diekit::io
