// Loads the PDF module on first use and forwards the sheet writers to it.
#include "io/pdf.hpp"
#include "io/pdf_module.hpp"

#include "kernel/modules.hpp"
#include "model/errors.hpp"

namespace diekit::io {

namespace {

const PdfFunctions &pdf_functions() {
    return kernel::module_table<PdfFunctions, SessionError>("libdiehost_pdf.so", "diekit_pdf_functions",
                                                            "PDF: the PDF module");
}

}  // namespace

void write_pdf(const std::vector<std::string> &sheets, const std::string &path) { pdf_functions().write_pdf(sheets, path); }

void write_png(const std::string &sheet, const std::string &path, int width_px) {
    pdf_functions().write_png(sheet, path, width_px);
}

}  // namespace diekit::io
