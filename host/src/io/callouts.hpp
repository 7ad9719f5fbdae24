// Callouts of a drawing's view: name labels and item balloons stacked in columns left and right of
// the view, each joined to its part by a leader, so that no text lies over the drawing.
#pragma once

#include "io/sheet_svg.hpp"

#include <uf_defs.h>

#include <string>
#include <vector>

namespace diekit::io {

struct Callout {
    double x = 0, y = 0;   // the anchor on the part (sheet mm), where the leader ends
    tag_t tag = NULL_TAG;  // the body pointed at
    std::string text;      // a label's text (the body's display name)
    int item = 0;          // > 0: a balloon with this item number instead of a label
    std::string colour;    // a label's text colour ("#rrggbb")
    int side = 1;          // the column it goes in: -1 left of the view, +1 right of it
};

// A view's drawn extent on the sheet.
struct SheetBox {
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};

constexpr double kLabelSize = 2.5;        // label text height (mm)
constexpr double kBalloonRadius = 3.2;    // balloons hold 3.5 mm numbers
constexpr double kLabelGap = 10;          // view edge to a label column (room for a cutting plane's arrows)
constexpr double kBalloonGap = 5;         // view edge to a balloon column

// The width a label of this text takes on the sheet (an estimate from its characters).
double label_width(const std::string &text);
// The margin a view needs on each side for these callouts (0 for none).
double callout_margin(const std::vector<Callout> &callouts);

// Draws the callouts of one view in the columns their sides say. Each column keeps its callouts in the order of their anchors down the
// sheet, so that leaders do not cross, each as near its anchor's height as the others allow, within
// [top, bottom] when they fit there.
void draw_callouts(SheetSvg &svg, std::vector<Callout> callouts, const SheetBox &view, double top, double bottom);

}  // namespace diekit::io
