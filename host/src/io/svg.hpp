// The drawing: an engineering sheet (A3, first-angle projection) of the work part's unblanked bodies:
// front, top and left views with hidden lines dashed, an isometric view with visible lines only, each
// body in its palette colour, named bodies labelled in the front and top views, and a title block.
#pragma once

#include "kernel/drawing.hpp"

#include <string>

namespace diekit::io {

struct DrawingOptions {
    kernel::HiddenLineMethod method = kernel::HiddenLineMethod::Mesh;  // steady time on any die
};

// The SVG document of the current work part; `title` names the session in the title block.
// Throws SessionError when the hidden-line projection fails.
std::string drawing_svg(const std::string &title, const DrawingOptions &options = {});

// The drawing scale for a fit factor (sheet mm per model mm): the largest standard scale not above it,
// as its factor and its text ("1:2", "1:1", "5:1").
struct DrawingScale {
    double factor = 1;
    std::string text = "1:1";
};
DrawingScale standard_scale(double fit);

}  // namespace diekit::io
