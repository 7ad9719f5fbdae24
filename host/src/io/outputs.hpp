// Output files and folders of a played session, written all or none (io/output_set.hpp).
#pragma once

#include "io/checks.hpp"
#include "io/session.hpp"

#include <string>

namespace diekit::io {

struct OutputPaths {
    std::string step;    // STEP of the work part's live bodies, with names and colours
    std::string report;  // JSON report, with the interference checks
    std::string svg;     // drawing of the unblanked bodies (engineering sheet)
    std::string bom;     // parts list: one row per distinct part (CSV)
    std::string bodies;  // one row per body (CSV)
    std::string sheets;  // folder: one SVG sheet per plate, with its hole table
    std::string pdf;     // every plate sheet in one PDF
    std::string dxf;     // folder: one DXF of wire-cutting profiles per body with a through profile
};

// Throws SessionError naming the file when an output cannot be written; the targets are then as they
// were. A folder output (sheets, dxf) replaces the whole folder.
// The report's interference checks are `checks` when given (already computed for the terminal), else
// computed here; nothing else runs them.
void write_outputs(const SessionResult &result, const OutputPaths &paths, const InterferenceReport *checks = nullptr);

}  // namespace diekit::io
