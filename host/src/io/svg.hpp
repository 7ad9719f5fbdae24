// The assembly drawing: an engineering sheet in first-angle projection of the work part's unblanked
// bodies: front, top and left views with hidden lines dashed, an isometric view with visible lines
// only, a section of the die, each body in its palette colour; the bodies labelled by their display
// names with leaders, item balloons that match the parts list, the parts list on the sheet and a
// title block with the projection symbol.
#pragma once

#include "io/parts_list.hpp"
#include "kernel/drawing.hpp"

#include <string>
#include <vector>

namespace diekit::io {

struct DrawingOptions {
    kernel::HiddenLineMethod method = kernel::HiddenLineMethod::Mesh;  // steady time on any die
};

// The SVG document of the current work part; `title` names the session in the title block, `parts`
// is the work part's parts list (its item numbers are the balloons'). The sheet is the smallest of
// A3, A2 and A1 that shows the die at 1:2.5 or larger (A1 when none does). Throws SessionError when
// the hidden-line projection or the section fails.
std::string drawing_svg(const std::string &title, const std::vector<PartsListRow> &parts,
                        const DrawingOptions &options = {});
// The same with the parts list made here from the library's materials table.
std::string drawing_svg(const std::string &title, const DrawingOptions &options = {});

// The drawing scale for a fit factor (sheet mm per model mm): the largest standard scale not above it,
// as its factor and its text ("1:2", "1:1", "5:1").
struct DrawingScale {
    double factor = 1;
    std::string text = "1:1";
};
DrawingScale standard_scale(double fit);

}  // namespace diekit::io
