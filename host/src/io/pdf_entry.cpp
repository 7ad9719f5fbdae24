// The PDF module's entry. The build compiles this file and pdf.cpp with write_pdf and write_png
// renamed (module_write_pdf, module_write_png), so that the host's own names stay with the loader;
// the addresses taken here are the module's functions.
#include "io/pdf.hpp"
#include "io/pdf_module.hpp"

extern "C" const diekit::io::PdfFunctions *diekit_pdf_functions() {
    static const diekit::io::PdfFunctions functions{&diekit::io::write_pdf, &diekit::io::write_png};
    return &functions;
}
