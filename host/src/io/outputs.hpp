// Output files of a played session, written whole or not at all: each goes to a temporary file
// beside its target and is renamed into place only when every output has been written.
#pragma once

#include "io/checks.hpp"
#include "io/session.hpp"

#include <string>

namespace diekit::io {

struct OutputPaths {
    std::string step;    // STEP of the work part's live bodies, with names and colours
    std::string report;  // JSON report, with the interference checks
    std::string svg;     // drawing of the unblanked bodies (engineering sheet)
    std::string bom;     // bill of materials (CSV)
};

// Throws SessionError naming the file when an output cannot be written; nothing is left behind then.
// The report's interference checks are `checks` when given (already computed for the terminal), else
// computed here; nothing else runs them.
void write_outputs(const SessionResult &result, const OutputPaths &paths, const InterferenceReport *checks = nullptr);

}  // namespace diekit::io
