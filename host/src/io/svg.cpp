#include "io/svg.hpp"

#include "io/palette.hpp"
#include "model/errors.hpp"
#include "model/store.hpp"

#include <algorithm>
#include <optional>
#include <array>
#include <cmath>
#include <cstdio>
#include <limits>
#include <sstream>
#include <string_view>

namespace diekit::io {

namespace {

// ---- sheet geometry (millimetres on paper, y downwards) ----
constexpr double kSheetWidth = 420, kSheetHeight = 297;        // A3 landscape
constexpr double kFrame = 10;                                  // frame inset
constexpr double kTitleWidth = 180, kTitleHeight = 32;         // title block, bottom right in the frame
constexpr double kAreaLeft = kFrame, kAreaTop = kFrame;        // drawing area: the frame above the title block
constexpr double kAreaWidth = kSheetWidth - 2 * kFrame;
constexpr double kAreaHeight = kSheetHeight - 2 * kFrame - kTitleHeight;
constexpr double kCaption = 8;                                 // room for a view's caption below it
constexpr double kMinGapX = 12, kMinGapY = 8;
constexpr double kSheetDeflection = 0.05;                      // chordal deviation on paper
constexpr double kLabelSize = 2.5, kCaptionSize = 3.5;

struct SheetView {
    const char *id;
    const char *caption;
    kernel::ViewAxes axes;
    bool hidden;  // draw hidden lines (dashed)
};

// First-angle arrangement: front top left, the view from the left to its right, the top view below it.
enum ViewIndex { kFront, kLeft, kTop, kIso };
const std::array<SheetView, 4> kViews = {{
    {"front", "FRONT", {{0, -1, 0}, {1, 0, 0}}, true},
    {"left", "LEFT", {{-1, 0, 0}, {0, -1, 0}}, true},
    {"top", "TOP", {{0, 0, 1}, {1, 0, 0}}, true},
    {"iso", "ISOMETRIC", {{1, -1, 1}, {1, 1, 0}}, false},
}};

struct Extent {
    double u0 = std::numeric_limits<double>::infinity(), v0 = std::numeric_limits<double>::infinity();
    double u1 = -std::numeric_limits<double>::infinity(), v1 = -std::numeric_limits<double>::infinity();
    bool empty() const { return u0 > u1; }
    double width() const { return empty() ? 0 : u1 - u0; }
    double height() const { return empty() ? 0 : v1 - v0; }
    void add(double u, double v) {
        u0 = std::min(u0, u), v0 = std::min(v0, v), u1 = std::max(u1, u), v1 = std::max(v1, v);
    }
};

// View coordinates (u, v) to sheet coordinates: x = x0 + s (u − u0), y = y0 + s (v1 − v).
struct Placement {
    double x0 = 0, y0 = 0, u0 = 0, v1 = 0, s = 1;
    double x(double u) const { return x0 + s * (u - u0); }
    double y(double v) const { return y0 + s * (v1 - v); }
};

struct DrawnBody {
    const model::Body *body;
    std::string stroke;  // "#rrggbb"
};

// Palette colours as line colours on white paper: light colours (white, yellow, pale grey) are
// darkened until they stand out, keeping their hue.
std::string stroke_colour(int index) {
    kernel::Rgb c = palette_rgb(index);
    const double luminance = 0.2126 * c.r + 0.7152 * c.g + 0.0722 * c.b;
    const double limit = 0.6;
    if (luminance > limit) {
        const double k = limit / luminance;
        c = {c.r * k, c.g * k, c.b * k};
    }
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", static_cast<int>(std::lround(c.r * 255)),
                  static_cast<int>(std::lround(c.g * 255)), static_cast<int>(std::lround(c.b * 255)));
    return text;
}

std::string escape(std::string_view text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string number(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", v);
    return std::string_view(text) == "-0.00" ? "0.00" : text;
}

std::string path_data(const std::vector<kernel::Polyline2> &lines, const Placement &place) {
    std::string d;
    for (auto &line : lines) {
        std::string last;
        bool first = true;
        for (auto &p : line) {
            std::string point = number(place.x(p.x)) + " " + number(place.y(p.y));
            if (point == last) continue;
            d += (first ? (d.empty() ? "M" : " M") : " L") + point;
            last = point;
            first = false;
        }
    }
    return d;
}

void path(std::ostringstream &svg, const char *cls, const DrawnBody &drawn, const std::string &d) {
    if (d.empty()) return;
    svg << "    <path class=\"" << cls << "\" data-tag=\"" << drawn.body->tag << "\" stroke=\"" << drawn.stroke
        << "\" d=\"" << d << "\"/>\n";
}

// Extents of the visible lines of one body in sheet coordinates.
Extent sheet_extent(const std::vector<kernel::Polyline2> &lines, const Placement &place) {
    Extent e;
    for (auto &line : lines)
        for (auto &p : line) e.add(place.x(p.x), place.y(p.y));
    return e;
}

// Places label boxes without overlap: a box that collides tries the lines below and above in turn,
// nearest first, up to three lines away; a label that finds no free line there is left out rather
// than printed over another or far from its body.
class LabelPlacer {
public:
    std::optional<std::pair<double, double>> place(double x, double y, double width) {
        for (int attempt = 0; attempt < 7; ++attempt) {
            const int lines = (attempt + 1) / 2 * (attempt % 2 ? 1 : -1);  // 0, +1, -1, +2, -2, ...
            const double ty = y + lines * kLabelSize * 1.3;
            if (std::any_of(m_boxes.begin(), m_boxes.end(), [&](const Extent &b) {
                    return x - width / 2 < b.u1 && x + width / 2 > b.u0 && ty - kLabelSize < b.v1 && ty > b.v0;
                }))
                continue;
            Extent box;
            box.add(x - width / 2, ty - kLabelSize);
            box.add(x + width / 2, ty);
            m_boxes.push_back(box);
            return std::pair(x, ty);
        }
        return std::nullopt;
    }

private:
    std::vector<Extent> m_boxes;
};

void title_block(std::ostringstream &svg, const std::string &title, const DrawingScale &scale, std::size_t drawn,
                 std::size_t blanked) {
    const double x = kSheetWidth - kFrame - kTitleWidth, y = kSheetHeight - kFrame - kTitleHeight;
    const double row = kTitleHeight / 4, split = x + 110;
    svg << "  <g id=\"title-block\">\n"
        << "    <rect x=\"" << number(x) << "\" y=\"" << number(y) << "\" width=\"" << number(kTitleWidth)
        << "\" height=\"" << number(kTitleHeight) << "\" class=\"frame\"/>\n";
    for (int i = 1; i < 4; ++i)
        svg << "    <line x1=\"" << number(i == 1 ? x : split) << "\" y1=\"" << number(y + i * row) << "\" x2=\""
            << number(x + kTitleWidth) << "\" y2=\"" << number(y + i * row) << "\" class=\"thin\"/>\n";
    svg << "    <line x1=\"" << number(split) << "\" y1=\"" << number(y + row) << "\" x2=\"" << number(split)
        << "\" y2=\"" << number(y + kTitleHeight) << "\" class=\"thin\"/>\n";
    auto text = [&](double tx, double ty, double size, const std::string &content, const char *id) {
        svg << "    <text id=\"" << id << "\" x=\"" << number(tx) << "\" y=\"" << number(ty) << "\" font-size=\""
            << number(size) << "\">" << escape(content) << "</text>\n";
    };
    text(x + 3, y + row - 2.2, 5, title, "title");
    text(x + 3, y + 2 * row - 2.5, 3, "diekit die drawing", "product");
    text(x + 3, y + 3 * row - 2.5, 3,
         std::to_string(drawn) + " bodies drawn" + (blanked ? ", " + std::to_string(blanked) + " blanked" : ""),
         "bodies");
    text(x + 3, y + 4 * row - 2.5, 3, "first-angle projection, dimensions in mm", "projection");
    text(split + 3, y + 2 * row - 2.5, 3, "scale " + scale.text, "scale");
    text(split + 3, y + 3 * row - 2.5, 3, "sheet A3", "sheet");
    text(split + 3, y + 4 * row - 2.5, 3, "hidden lines dashed", "legend");
    svg << "  </g>\n";
}

}  // namespace

DrawingScale standard_scale(double fit) {
    if (!(fit > 0) || !std::isfinite(fit)) return {};
    auto trimmed = [](double v) {
        char text[32];
        std::snprintf(text, sizeof text, "%g", v);
        return std::string(text);
    };
    if (fit >= 1) {
        const double mantissas[] = {1, 2, 2.5, 4, 5};
        double best = 1;
        for (double decade = 1; decade <= 1e6; decade *= 10)
            for (double m : mantissas)
                if (m * decade <= fit * (1 + 1e-12)) best = std::max(best, m * decade);
        return {best, trimmed(best) + ":1"};
    }
    const double mantissas[] = {1, 1.5, 2, 2.5, 3, 4, 5, 6};
    for (double decade = 1; decade <= 1e9; decade *= 10)
        for (double m : mantissas)
            if (1 / (m * decade) <= fit * (1 + 1e-12)) return {1 / (m * decade), "1:" + trimmed(m * decade)};
    return {1e-10, "1:1e+10"};
}

std::string drawing_svg(const std::string &title, const DrawingOptions &options) {
    auto &store = model::Store::instance();

    std::vector<DrawnBody> drawn;
    std::vector<kernel::Shape> shapes;
    std::vector<kernel::Box> boxes;
    std::size_t blanked = 0;
    for (auto *body : store.bodies()) {
        if (body->blanked) {
            ++blanked;
            continue;
        }
        if (body->shape.is_null() || kernel::is_empty(body->shape)) continue;
        drawn.push_back({body, stroke_colour(body->color)});
        shapes.push_back(body->shape);
        boxes.push_back(kernel::bounding_box(body->shape));
    }

    // Layout from the projected body boxes: one scale for all views, aligned front/top and front/left.
    std::array<Extent, 4> extents;
    for (std::size_t v = 0; v < kViews.size(); ++v)
        for (auto &box : boxes) {
            auto e = kernel::projected_extent(box, kViews[v].axes);
            extents[v].add(e[0], e[1]);
            extents[v].add(e[2], e[3]);
        }
    Extent column1 = extents[kFront], row1 = extents[kFront];
    if (!extents[kTop].empty()) column1.add(extents[kTop].u0, 0), column1.add(extents[kTop].u1, 0);
    if (!extents[kLeft].empty()) row1.add(0, extents[kLeft].v0), row1.add(0, extents[kLeft].v1);
    const double w1 = column1.width(), w2 = std::max(extents[kLeft].width(), extents[kIso].width());
    const double h1 = row1.height(), h2 = std::max(extents[kTop].height(), extents[kIso].height());
    const double fit_x = (kAreaWidth - 3 * kMinGapX) / std::max(w1 + w2, 1e-9);
    const double fit_y = (kAreaHeight - 2 * kCaption - 3 * kMinGapY) / std::max(h1 + h2, 1e-9);
    const DrawingScale scale = drawn.empty() ? DrawingScale{} : standard_scale(std::min(fit_x, fit_y));
    const double s = scale.factor;
    const double gap_x = (kAreaWidth - s * (w1 + w2)) / 3, gap_y = (kAreaHeight - 2 * kCaption - s * (h1 + h2)) / 3;
    const double col1_x = kAreaLeft + gap_x, col2_x = col1_x + s * w1 + gap_x;
    const double row1_y = kAreaTop + gap_y, row2_y = row1_y + s * h1 + kCaption + gap_y;

    std::array<Placement, 4> place;
    place[kFront] = {col1_x, row1_y, column1.u0, row1.v1, s};
    place[kTop] = {col1_x, row2_y + (h2 - extents[kTop].height()) * s / 2, column1.u0, extents[kTop].v1, s};
    place[kLeft] = {col2_x + (w2 - extents[kLeft].width()) * s / 2, row1_y, extents[kLeft].u0, row1.v1, s};
    place[kIso] = {col2_x + (w2 - extents[kIso].width()) * s / 2, row2_y + (h2 - extents[kIso].height()) * s / 2,
                   extents[kIso].u0, extents[kIso].v1, s};
    for (auto &p : place)
        if (!std::isfinite(p.u0) || !std::isfinite(p.v1)) p.u0 = p.v1 = 0;

    std::ostringstream svg;
    svg << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" << kSheetWidth << "mm\" height=\""
        << kSheetHeight << "mm\" viewBox=\"0 0 " << kSheetWidth << " " << kSheetHeight << "\">\n"
        << "  <title>" << escape(title) << "</title>\n"
        << "  <style>\n"
        << "    path { fill: none; stroke-linecap: round; stroke-linejoin: round; }\n"
        << "    path.visible { stroke-width: 0.35; }\n"
        << "    path.smooth { stroke-width: 0.18; }\n"
        << "    path.hidden { stroke-width: 0.18; stroke-dasharray: 1.2 0.8; }\n"
        << "    .frame { fill: none; stroke: #000; stroke-width: 0.5; }\n"
        << "    .thin { stroke: #000; stroke-width: 0.25; }\n"
        << "    text { font-family: sans-serif; fill: #000; }\n"
        << "    text.label { paint-order: stroke; stroke: #fff; stroke-width: 0.6; }\n"
        << "  </style>\n"
        << "  <rect width=\"" << kSheetWidth << "\" height=\"" << kSheetHeight << "\" fill=\"#fff\"/>\n"
        << "  <rect x=\"" << kFrame << "\" y=\"" << kFrame << "\" width=\"" << kSheetWidth - 2 * kFrame
        << "\" height=\"" << kSheetHeight - 2 * kFrame << "\" class=\"frame\"/>\n";

    std::vector<kernel::ViewAxes> axes;
    for (auto &view : kViews) axes.push_back(view.axes);
    kernel::HiddenLineOptions hlr;
    hlr.method = options.method;
    hlr.deflection = kSheetDeflection / s;
    std::vector<std::vector<kernel::ProjectedLines>> projected;
    try {
        projected = kernel::project_hidden_lines(shapes, axes, hlr);
    } catch (const kernel::KernelError &e) {
        throw SessionError(std::string("cannot draw the part: ") + e.what());
    }

    for (std::size_t v = 0; v < kViews.size(); ++v) {
        const SheetView &view = kViews[v];
        const std::vector<kernel::ProjectedLines> &lines = projected[v];
        svg << "  <g id=\"view-" << view.id << "\" class=\"view\">\n";
        if (view.hidden)
            for (std::size_t i = 0; i < drawn.size(); ++i)
                path(svg, "hidden", drawn[i], path_data(lines[i].hidden, place[v]));
        for (std::size_t i = 0; i < drawn.size(); ++i) path(svg, "smooth", drawn[i], path_data(lines[i].smooth, place[v]));
        for (std::size_t i = 0; i < drawn.size(); ++i)
            path(svg, "visible", drawn[i], path_data(lines[i].visible, place[v]));

        if (v == kFront || v == kTop) {
            LabelPlacer labels;
            for (std::size_t i = 0; i < drawn.size(); ++i) {
                const std::string &name = drawn[i].body->name;
                Extent e = sheet_extent(lines[i].visible, place[v]);
                if (name.empty() || e.empty()) continue;
                const double width = 0.6 * kLabelSize * static_cast<double>(name.size());
                // Large bodies (plates) are labelled inside their upper left corner, where the smaller
                // parts standing in them rarely are; small ones at their centre.
                const bool large = e.u1 - e.u0 > std::max(30.0, 2 * width) && e.v1 - e.v0 > 3 * kLabelSize;
                const double anchor_x = large ? e.u0 + 2 + width / 2 : (e.u0 + e.u1) / 2;
                const double anchor_y = large ? e.v0 + 2 + kLabelSize : (e.v0 + e.v1) / 2 + kLabelSize / 2;
                const auto spot = labels.place(anchor_x, anchor_y, width);
                if (!spot) continue;
                const auto [x, y] = *spot;
                svg << "    <text class=\"label\" data-tag=\"" << drawn[i].body->tag << "\" x=\"" << number(x)
                    << "\" y=\"" << number(y) << "\" font-size=\"" << number(kLabelSize)
                    << "\" text-anchor=\"middle\" fill=\"" << drawn[i].stroke << "\">" << escape(name) << "</text>\n";
            }
        }
        const Extent &e = extents[v];
        const double cx = e.empty() ? (v == kFront || v == kTop ? col1_x : col2_x) : place[v].x((e.u0 + e.u1) / 2);
        const double below = e.empty() ? place[v].y0 : place[v].y(e.v0);
        svg << "    <text class=\"caption\" x=\"" << number(cx) << "\" y=\"" << number(below + kCaption - 2)
            << "\" font-size=\"" << number(kCaptionSize) << "\" text-anchor=\"middle\">" << view.caption
            << "</text>\n"
            << "  </g>\n";
    }
    title_block(svg, title, scale, drawn.size(), blanked);
    svg << "</svg>\n";
    return svg.str();
}

}  // namespace diekit::io
