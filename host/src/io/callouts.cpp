#include "io/callouts.hpp"

#include <algorithm>
#include <cmath>

namespace diekit::io {

namespace {

constexpr double kLabelPitch = 3.4;                       // label to label, down a column
constexpr double kBalloonPitch = 2 * kBalloonRadius + 1;  // balloon to balloon

double pitch(const Callout &c) { return c.item > 0 ? kBalloonPitch : kLabelPitch; }

// Heights (centres) for a column's callouts, sorted by anchor: each at its anchor's height or below
// the one above it, then pushed up from `bottom`; spread evenly from `top` when they do not fit.
std::vector<double> stack(const std::vector<Callout> &column, double top, double bottom) {
    const std::size_t n = column.size();
    std::vector<double> y(n);
    double need = 0;
    for (const Callout &c : column) need += pitch(c);
    if (need > bottom - top) {
        // Not room for all: the column grows past [top, bottom], centred on it.
        double at = (top + bottom - need) / 2;
        for (std::size_t i = 0; i < n; ++i) y[i] = at + pitch(column[i]) / 2, at += pitch(column[i]);
        return y;
    }
    for (std::size_t i = 0; i < n; ++i) {
        const double least = i == 0 ? top + pitch(column[0]) / 2 : y[i - 1] + (pitch(column[i - 1]) + pitch(column[i])) / 2;
        y[i] = std::max(column[i].y, least);
    }
    for (std::size_t i = n; i-- > 0;) {
        const double most = i + 1 == n ? bottom - pitch(column[i]) / 2 : y[i + 1] - (pitch(column[i]) + pitch(column[i + 1])) / 2;
        y[i] = std::min(y[i], most);
    }
    return y;
}

// Whether the segments ab and cd cross (not merely touch).
bool cross(double ax, double ay, double bx, double by, double cx, double cy, double dx, double dy) {
    auto turn = [](double px, double py, double qx, double qy, double rx, double ry) {
        return (qx - px) * (ry - py) - (qy - py) * (rx - px);
    };
    const double d1 = turn(cx, cy, dx, dy, ax, ay), d2 = turn(cx, cy, dx, dy, bx, by);
    const double d3 = turn(ax, ay, bx, by, cx, cy), d4 = turn(ax, ay, bx, by, dx, dy);
    return ((d1 > 0 && d2 < 0) || (d1 < 0 && d2 > 0)) && ((d3 > 0 && d4 < 0) || (d3 < 0 && d4 > 0));
}

// Leaders that still cross (anchors side by side at one height, a column pushed off its anchors)
// swap their places in the column: each swap shortens the leaders in all, so it ends.
void uncross(const std::vector<Callout> &column, std::vector<double> &heights, double x) {
    for (int pass = 0; pass < 50; ++pass) {
        bool swapped = false;
        for (std::size_t i = 0; i < column.size(); ++i)
            for (std::size_t j = i + 1; j < column.size(); ++j)
                if ((column[i].item > 0) == (column[j].item > 0) &&
                    cross(x, heights[i], column[i].x, column[i].y, x, heights[j], column[j].x, column[j].y)) {
                    std::swap(heights[i], heights[j]);
                    swapped = true;
                }
        if (!swapped) return;
    }
}

void draw_column(SheetSvg &svg, std::vector<Callout> column, double edge, bool left, double top, double bottom) {
    std::stable_sort(column.begin(), column.end(), [](const Callout &a, const Callout &b) { return a.y < b.y; });
    std::vector<double> heights = stack(column, top, bottom);
    const double side = left ? -1 : 1;
    uncross(column, heights, edge + side * kBalloonGap);
    for (std::size_t i = 0; i < column.size(); ++i) {
        const Callout &c = column[i];
        const double y = heights[i];
        const std::string tag = "data-tag=\"" + std::to_string(c.tag) + "\"";
        if (c.item > 0) {
            const double cx = edge + side * (kBalloonGap + kBalloonRadius);
            const double dx = c.x - cx, dy = c.y - y, d = std::max(std::hypot(dx, dy), 1e-9);
            svg.leader(c.x, c.y, cx + dx / d * kBalloonRadius, y + dy / d * kBalloonRadius, tag);
            svg.balloon(cx, y, kBalloonRadius, std::to_string(c.item), "data-item=\"" + std::to_string(c.item) + "\" " + tag);
        } else {
            const double tx = edge + side * kLabelGap;
            svg.leader(c.x, c.y, tx - side * 0.8, y, tag);
            svg.text(tx, y + kLabelSize * 0.35, kLabelSize, c.text, left ? "end" : "start",
                     "class=\"label\" " + tag + (c.colour.empty() ? "" : " fill=\"" + c.colour + "\""));
        }
    }
}

}  // namespace

double label_width(const std::string &text) {
    std::size_t characters = 0;
    for (unsigned char c : text) characters += (c & 0xC0) != 0x80;  // UTF-8 lead bytes
    return 0.6 * kLabelSize * static_cast<double>(characters);
}

double callout_margin(const std::vector<Callout> &callouts) {
    double margin = 0;
    for (const Callout &c : callouts)
        margin = std::max(margin, c.item > 0 ? kBalloonGap + 2 * kBalloonRadius + 1 : kLabelGap + label_width(c.text) + 1);
    return margin;
}

void draw_callouts(SheetSvg &svg, std::vector<Callout> callouts, const SheetBox &view, double top, double bottom) {
    std::vector<Callout> left, right;
    for (Callout &c : callouts) (c.side < 0 ? left : right).push_back(std::move(c));
    draw_column(svg, std::move(left), view.x0, true, top, bottom);
    draw_column(svg, std::move(right), view.x1, false, top, bottom);
}

}  // namespace diekit::io
