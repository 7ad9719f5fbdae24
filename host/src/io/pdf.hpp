// Sheets as one PDF: each SVG sheet rendered (librsvg) onto its own page of its own size (cairo).
#pragma once

#include <string>
#include <vector>

namespace diekit::io {

// Writes the SVG documents as the pages of one PDF at `path`. Throws SessionError naming the file
// and the page when a sheet cannot be read or the file cannot be written.
void write_pdf(const std::vector<std::string> &sheets, const std::string &path);

// Renders one SVG sheet as a PNG `width_px` wide (for looking at a sheet). Throws SessionError.
void write_png(const std::string &sheet, const std::string &path, int width_px);

}  // namespace diekit::io
