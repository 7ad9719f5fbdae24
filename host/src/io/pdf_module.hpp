// The PDF module (pdf.cpp built as a library of its own, with pdf_entry.cpp) and its loader
// (pdf_module.cpp): librsvg, cairo and the font libraries they bring are loaded only when a run
// first writes a PDF or renders a sheet.
#pragma once

#include <string>
#include <vector>

namespace diekit::io {

// What the module hands the loader: its writers, as pdf.hpp declares them.
struct PdfFunctions {
    void (*write_pdf)(const std::vector<std::string> &sheets, const std::string &path);
    void (*write_png)(const std::string &sheet, const std::string &path, int width_px);
};

}  // namespace diekit::io

// The module's one exported entry.
extern "C" const diekit::io::PdfFunctions *diekit_pdf_functions();
