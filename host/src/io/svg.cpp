#include "io/svg.hpp"

#include "io/callouts.hpp"
#include "io/materials.hpp"
#include "io/palette.hpp"
#include "io/roles.hpp"
#include "io/sheet_svg.hpp"
#include "io/standard_parts.hpp"
#include "kernel/section_view.hpp"
#include "model/errors.hpp"
#include "model/store.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <limits>
#include <map>
#include <optional>

namespace diekit::io {

namespace {

struct SheetSize {
    const char *name;
    double width, height;  // landscape, mm
};
constexpr std::array<SheetSize, 3> kSheets = {{{"A3", 420, 297}, {"A2", 594, 420}, {"A1", 841, 594}}};
constexpr double kFrame = SheetSvg::kFrame;
constexpr double kColumn = 180;                  // the parts list above the title block, right in the frame
constexpr double kColumnGap = 6;                 // views to that column
constexpr double kGap = 8;                       // least room between views (and their callouts)
constexpr double kCaption = 8;                   // room for a view's caption below it
constexpr double kCaptionSize = 3.5;
constexpr double kTitleRow = 8, kTitleRows = 5;  // the title block's rows (SheetSvg::title_block)
constexpr double kSheetDeflection = 0.05;        // chordal deviation on paper
constexpr double kDimensionRoom = 12;            // above the left view and the section, right of the left view
constexpr double kReadableScale = 0.4;           // below this scale (1:2.5) a larger sheet is taken

struct SheetView {
    const char *id;
    const char *caption;
    kernel::ViewAxes axes;
    bool hidden;  // draw hidden lines (dashed)
};

// First-angle arrangement: front top left, the view from the left to its right, the top view below
// the front; the section (seen from the front as well) below the left view, the isometric view above
// the parts list.
enum ViewIndex { kFront, kLeft, kTop, kIso, kSection };
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
    kernel::Point2 at(const kernel::Point2 &p) const { return {x(p.x), y(p.y)}; }
    SheetBox box(const Extent &e) const {
        return e.empty() ? SheetBox{x0, y0, x0, y0} : SheetBox{x(e.u0), y(e.v1), x(e.u1), y(e.v0)};
    }
};

struct DrawnBody {
    const model::Body *body;
    std::string stroke;       // "#rrggbb"
    std::string name;         // display name
    const PartsListRow *row;  // its row of the parts list, null when the list lacks it
    bool sectioned;           // hatched where the section cuts it, else drawn whole
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

// Bolts, screws, pillars, springs and rods cut lengthwise are drawn whole in a section.
bool is_sectioned(const model::Body &body, const PartsListRow *row) {
    if (row && row->standard) return row->role == "guide bushing" || row->role == "library part";
    return role_of(body) != "knock-out rod";
}

std::vector<kernel::Polyline2> on_sheet(std::vector<kernel::Polyline2> lines, const Placement &place) {
    for (auto &line : lines)
        for (auto &p : line) p = place.at(p);
    return lines;
}

Extent extent_of(const std::vector<kernel::Polyline2> &lines) {
    Extent e;
    for (auto &line : lines)
        for (auto &p : line) e.add(p.x, p.y);
    return e;
}

// Where a leader ends on a part's lines: near the end of a segment furthest towards the side its
// callout goes (-1 left, +1 right), so that leaders stay short and do not cross, and nudged towards
// the middle of the part's lines, off a line it may share.
std::optional<kernel::Point2> anchor_on(const std::vector<kernel::Polyline2> &lines, int side) {
    const Extent e = extent_of(lines);
    if (e.empty()) return std::nullopt;
    const kernel::Point2 centre{(e.u0 + e.u1) / 2, (e.v0 + e.v1) / 2};
    std::optional<kernel::Point2> best;
    double best_score = -std::numeric_limits<double>::infinity();
    for (auto &line : lines)
        for (std::size_t i = 0; i + 1 < line.size(); ++i) {
            const kernel::Point2 &a = line[i], &b = line[i + 1];
            const double length = std::hypot(b.x - a.x, b.y - a.y);
            if (length <= 0) continue;
            // 3 mm in from the segment's end on that side, its middle when shorter.
            const kernel::Point2 &end = side * a.x > side * b.x ? a : b, &other = &end == &a ? b : a;
            const double t = std::min(3.0, length / 2) / length;
            const kernel::Point2 p{end.x + (other.x - end.x) * t, end.y + (other.y - end.y) * t};
            // Segments under 1 mm (chords of small arcs) only where there is nothing longer.
            const double score = side * p.x + (length >= 1 ? 1e6 : 0);
            if (score > best_score) best_score = score, best = p;
        }
    if (best) {
        auto towards = [](double from, double to) { return from + std::clamp(to - from, -0.8, 0.8) / 2; };
        *best = {towards(best->x, centre.x), towards(best->y, centre.y)};
    }
    return best;
}

// Where a leader ends in a cut region (closed outlines, even-odd): inside it, near its edge on the
// side its callout goes.
std::optional<kernel::Point2> anchor_inside(const std::vector<kernel::Polyline2> &outlines, int side) {
    const Extent e = extent_of(outlines);
    if (e.empty()) return std::nullopt;
    std::optional<kernel::Point2> best;
    double best_score = -std::numeric_limits<double>::infinity();
    for (double f : {0.5, 0.3, 0.7, 0.15, 0.85}) {
        const double y = e.v0 + f * e.height() + 1e-7 * (e.height() + 1);
        std::vector<double> crossings;
        for (auto &outline : outlines)
            for (std::size_t i = 0; i < outline.size(); ++i) {
                const kernel::Point2 &a = outline[i], &b = outline[(i + 1) % outline.size()];
                if ((a.y <= y) != (b.y <= y)) crossings.push_back(a.x + (y - a.y) / (b.y - a.y) * (b.x - a.x));
            }
        std::sort(crossings.begin(), crossings.end());
        for (std::size_t i = 0; i + 1 < crossings.size(); i += 2) {
            const double x0 = crossings[i], x1 = crossings[i + 1], width = x1 - x0;
            if (width <= 0) continue;
            const double inset = std::min(2.0, width / 2);
            const kernel::Point2 p{side < 0 ? x0 + inset : x1 - inset, y};
            const double score = side * p.x + (width >= 1 ? 1e6 : 0) - 1e-3 * std::abs(f - 0.5);
            if (score > best_score) best_score = score, best = p;
        }
    }
    return best;
}

// The plane of the section (absolute y): of the middle of the die and the middles of the bodies,
// the one that cuts the most distinct parts, nearest the middle of the die on a tie.
double section_level(const std::vector<DrawnBody> &drawn, const std::vector<kernel::Box> &boxes) {
    double y0 = std::numeric_limits<double>::infinity(), y1 = -y0;
    for (auto &b : boxes) y0 = std::min(y0, b[1]), y1 = std::max(y1, b[4]);
    if (boxes.empty()) return 0;
    const double middle = (y0 + y1) / 2;
    std::vector<double> candidates = {middle};
    for (auto &b : boxes) candidates.push_back((b[1] + b[4]) / 2);
    double best = middle;
    std::size_t most = 0;
    for (double level : candidates) {
        std::vector<const void *> parts;
        for (std::size_t i = 0; i < boxes.size(); ++i)
            if (boxes[i][1] < level - 1e-6 && boxes[i][4] > level + 1e-6)
                parts.push_back(drawn[i].row ? static_cast<const void *>(drawn[i].row) : drawn[i].body);
        std::sort(parts.begin(), parts.end());
        const std::size_t count = static_cast<std::size_t>(std::unique(parts.begin(), parts.end()) - parts.begin());
        if (count > most || (count == most && std::abs(level - middle) < std::abs(best - middle) - 1e-9))
            most = count, best = level;
    }
    return best;
}

// Where the views go on one sheet size, at the scale they fit.
struct Layout {
    SheetSize sheet{};
    DrawingScale scale;
    std::array<Placement, 5> place{};
    double parts_row_height = 0;  // 0: the parts list does not fit this sheet
};

struct Margins {
    double column1 = 0;  // each side of the front and top views (their callouts)
    double section = 0;  // each side of the section
};

Layout lay_out(const SheetSize &sheet, const std::array<Extent, 4> &e, const Margins &m, std::size_t parts, bool any) {
    Layout layout;
    layout.sheet = sheet;
    const double area_w = sheet.width - 2 * kFrame - kColumn - kColumnGap, area_h = sheet.height - 2 * kFrame;
    // The parts list reads upward from the title block; rows at most 5 mm, at least 3 mm high.
    const double table_room = area_h - kTitleRow * kTitleRows - kCaption - kGap;
    const double row = std::min(5.0, table_room / static_cast<double>(parts + 1));
    layout.parts_row_height = row >= 3 ? row : 0;
    // The isometric view stands in the column above the parts list.
    const double iso_room = area_h - kTitleRow * kTitleRows - (row >= 3 ? row : 3) * static_cast<double>(parts + 1) -
                            kCaption - kGap;

    // Front and top share their x range, front, left and section their height.
    Extent column1 = e[kFront], row1 = e[kFront];
    if (!e[kTop].empty()) column1.add(e[kTop].u0, 0), column1.add(e[kTop].u1, 0);
    if (!e[kLeft].empty()) row1.add(0, e[kLeft].v0), row1.add(0, e[kLeft].v1);
    const double w1 = column1.width(), w2 = e[kLeft].width();
    const double h1 = row1.height(), h2 = std::max(e[kTop].height(), h1);
    const double fixed = 3 * kGap + 2 * m.column1;
    const double fit = std::min({(area_w - fixed - 2 * kDimensionRoom) / std::max(w1 + w2, 1e-9), (area_w - fixed - 2 * m.section) / std::max(2 * w1, 1e-9),
                                 (area_h - 2 * kCaption - 3 * kGap - 2 * kDimensionRoom) / std::max(h1 + h2, 1e-9),
                                 kColumn / std::max(e[kIso].width(), 1e-9), iso_room / std::max(e[kIso].height(), 1e-9)});
    layout.scale = any ? standard_scale(fit) : DrawingScale{};
    const double s = layout.scale.factor;
    // Column 2 holds the left view above the section, each centred in it.
    const double width2 = std::max(s * w2 + 2 * kDimensionRoom, s * w1 + 2 * m.section);
    const double gap_x = std::max(0.0, (area_w - 2 * m.column1 - s * w1 - width2) / 3);
    const double gap_y = std::max(0.0, (area_h - 2 * kCaption - 2 * kDimensionRoom - s * (h1 + h2)) / 3);
    const double col1 = kFrame + gap_x + m.column1, col2 = col1 + s * w1 + m.column1 + gap_x;
    const double row1_y = kFrame + gap_y + kDimensionRoom, row2_y = row1_y + s * h1 + kCaption + gap_y + kDimensionRoom;
    const double iso_x = sheet.width - kFrame - kColumn + (kColumn - s * e[kIso].width()) / 2;
    const double iso_y = kFrame + std::max(0.0, (iso_room - s * e[kIso].height()) / 2);
    layout.place[kFront] = {col1, row1_y, column1.u0, row1.v1, s};
    layout.place[kLeft] = {col2 + (width2 - s * w2) / 2, row1_y, e[kLeft].u0, row1.v1, s};
    layout.place[kTop] = {col1, row2_y + (h2 - e[kTop].height()) * s / 2, column1.u0, e[kTop].v1, s};
    layout.place[kSection] = {col2 + (width2 - s * w1) / 2, row2_y + (h2 - h1) * s / 2, column1.u0, row1.v1, s};
    layout.place[kIso] = {iso_x, iso_y, e[kIso].u0, e[kIso].v1, s};
    for (auto &p : layout.place)
        if (!std::isfinite(p.u0) || !std::isfinite(p.v1)) p.u0 = p.v1 = 0;
    return layout;
}

std::string kilograms(double grams) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", grams / 1000);
    return text;
}

class AssemblyDrawing {
public:
    AssemblyDrawing(const std::string &title, const std::vector<PartsListRow> &parts, const DrawingOptions &options)
        : m_title(title), m_parts(parts), m_options(options) {
        collect();
        plan();
    }

    std::string svg() {
        SheetSvg svg(m_layout.sheet.width, m_layout.sheet.height, m_title);
        project();
        std::vector<std::vector<Callout>> callouts = balloons_and_labels();
        for (std::size_t v = 0; v < kViews.size(); ++v) view(svg, v, callouts[v]);
        section(svg, callouts[kSection]);
        const double top = title_block(svg);
        parts_table(svg, top);
        return svg.finish();
    }

private:
    void collect() {
        const auto names = display_names();
        std::map<tag_t, const PartsListRow *> row_of;
        for (const PartsListRow &row : m_parts)
            for (tag_t tag : row.bodies) row_of[tag] = &row;
        for (auto *body : model::Store::instance().bodies()) {
            if (body->blanked) {
                ++m_blanked;
                continue;
            }
            if (body->shape.is_null() || kernel::is_empty(body->shape)) continue;
            auto found = row_of.find(body->tag);
            const PartsListRow *row = found == row_of.end() ? nullptr : found->second;
            m_drawn.push_back({body, stroke_colour(body->color), names.at(body->tag), row, is_sectioned(*body, row)});
            m_shapes.push_back(body->shape);
            m_boxes.push_back(kernel::bounding_box(body->shape));
        }
    }

    // The section's plane, then the smallest sheet that shows the die readably and holds the parts list.
    void plan() {
        m_level = section_level(m_drawn, m_boxes);
        std::array<Extent, 4> extents;
        for (std::size_t v = 0; v < kViews.size(); ++v)
            for (auto &box : m_boxes) {
                auto e = kernel::projected_extent(box, kViews[v].axes);
                extents[v].add(e[0], e[1]);
                extents[v].add(e[2], e[3]);
            }
        Margins margins;
        margins.section = callout_margin({Callout{0, 0, NULL_TAG, "", 1, "", 1}});
        margins.column1 = margins.section;
        for (const DrawnBody &d : m_drawn) margins.column1 = std::max(margins.column1, callout_margin({Callout{0, 0, NULL_TAG, d.name, 0, "", 1}}));
        for (const SheetSize &sheet : kSheets) {
            m_layout = lay_out(sheet, extents, margins, m_parts.size(), !m_drawn.empty());
            if (m_layout.parts_row_height > 0 && m_layout.scale.factor >= kReadableScale * (1 - 1e-12)) break;
        }
        if (m_layout.parts_row_height == 0) m_layout.parts_row_height = 3;
        m_extents = extents;
    }

    void project() {
        const double s = m_layout.scale.factor;
        std::vector<kernel::ViewAxes> axes;
        for (auto &view : kViews) axes.push_back(view.axes);
        kernel::HiddenLineOptions hlr;
        hlr.method = m_options.method;
        hlr.deflection = kSheetDeflection / s;
        std::vector<bool> sectioned;
        for (const DrawnBody &d : m_drawn) sectioned.push_back(d.sectioned);
        try {
            m_lines = kernel::project_hidden_lines(m_shapes, axes, hlr);
            m_section = kernel::section_views(m_shapes, sectioned, m_level, hlr);
        } catch (const kernel::KernelError &e) {
            throw SessionError(std::string("cannot draw the part: ") + e.what());
        }
        for (std::size_t v = 0; v < kViews.size(); ++v)
            for (auto &lines : m_lines[v]) {
                lines.visible = on_sheet(std::move(lines.visible), m_layout.place[v]);
                lines.smooth = on_sheet(std::move(lines.smooth), m_layout.place[v]);
                lines.hidden = on_sheet(std::move(lines.hidden), m_layout.place[v]);
            }
        for (auto &view : m_section) {
            view.cut = on_sheet(std::move(view.cut), m_layout.place[kSection]);
            view.beyond = on_sheet(std::move(view.beyond), m_layout.place[kSection]);
        }
    }

    // What a callout points at: a drawn body's lines in one view.
    struct Target {
        std::size_t view, body;
        const std::vector<kernel::Polyline2> *lines;
        bool region;  // closed cut outlines, else lines
        int item;     // > 0: a balloon
    };

    // Labels with the display names in the front and top views; one balloon per part of the parts
    // list, in the section where it is cut or seen, else in the front or top view where it is seen,
    // else on its hidden lines in the front view.
    std::vector<Target> targets() const {
        std::vector<Target> found;
        for (std::size_t v : {kFront, kTop})
            for (std::size_t i = 0; i < m_drawn.size(); ++i)
                if (!m_lines[v][i].visible.empty()) found.push_back({v, i, &m_lines[v][i].visible, false, 0});
        for (const PartsListRow &row : m_parts) {
            std::vector<Target> options;
            for (std::size_t i = 0; i < m_drawn.size(); ++i)
                if (m_drawn[i].row == &row) {
                    options.push_back({kSection, i, &m_section[i].cut, true, row.item});
                    options.push_back({kSection, i, &m_section[i].beyond, false, row.item});
                }
            for (std::size_t v : {kFront, kTop})
                for (std::size_t i = 0; i < m_drawn.size(); ++i)
                    if (m_drawn[i].row == &row) options.push_back({v, i, &m_lines[v][i].visible, false, row.item});
            for (std::size_t i = 0; i < m_drawn.size(); ++i)
                if (m_drawn[i].row == &row) options.push_back({kFront, i, &m_lines[kFront][i].hidden, false, row.item});
            // (none when all its bodies are blanked)
            for (const Target &t : options)
                if (!t.lines->empty()) {
                    found.push_back(t);
                    break;
                }
        }
        return found;
    }

    // Each view's callouts. A part lying left or right of the view's middle is called out on that
    // side; parts about the middle go to whichever side has fewer, so that the columns stay short.
    std::vector<std::vector<Callout>> balloons_and_labels() const {
        const std::vector<Target> all = targets();
        std::vector<int> sides(all.size(), 0);
        std::array<std::array<int, 2>, 5> count{};
        for (std::size_t k = 0; k < all.size(); ++k) {
            const SheetBox b = box(all[k].view);
            const Extent e = extent_of(*all[k].lines);
            const double off = (e.u0 + e.u1) / 2 - (b.x0 + b.x1) / 2;
            if (std::abs(off) > 0.1 * (b.x1 - b.x0)) sides[k] = off < 0 ? -1 : 1, ++count[all[k].view][off < 0 ? 0 : 1];
        }
        for (std::size_t k = 0; k < all.size(); ++k)
            if (sides[k] == 0) {
                auto &c = count[all[k].view];
                sides[k] = c[0] < c[1] ? -1 : 1;
                ++c[sides[k] < 0 ? 0 : 1];
            }
        std::vector<std::vector<Callout>> callouts(5);
        for (std::size_t k = 0; k < all.size(); ++k) {
            const Target &t = all[k];
            const DrawnBody &d = m_drawn[t.body];
            const auto p = t.region ? anchor_inside(*t.lines, sides[k]) : anchor_on(*t.lines, sides[k]);
            if (!p) continue;
            callouts[t.view].push_back({p->x, p->y, d.body->tag, t.item ? "" : d.name, t.item, t.item ? "" : d.stroke, sides[k]});
        }
        return callouts;
    }

    SheetBox box(std::size_t v) const { return m_layout.place[v].box(m_extents[v == kSection ? std::size_t{kFront} : v]); }

    void path(SheetSvg &svg, const char *cls, const DrawnBody &d, const std::vector<kernel::Polyline2> &lines) {
        svg.path(lines, cls, "data-tag=\"" + std::to_string(d.body->tag) + "\" stroke=\"" + d.stroke + "\"");
    }

    void caption(SheetSvg &svg, std::size_t v, const char *text) {
        const SheetBox b = box(v);
        svg.text((b.x0 + b.x1) / 2, b.y1 + kCaption - 2, kCaptionSize, text, "middle", "class=\"caption\"");
    }

    void view(SheetSvg &svg, std::size_t v, const std::vector<Callout> &callouts) {
        const SheetView &view = kViews[v];
        svg.open_group(std::string("view-") + view.id, "view");
        const auto &lines = m_lines[v];
        if (view.hidden)
            for (std::size_t i = 0; i < m_drawn.size(); ++i) path(svg, "hidden", m_drawn[i], lines[i].hidden);
        for (std::size_t i = 0; i < m_drawn.size(); ++i) path(svg, "smooth", m_drawn[i], lines[i].smooth);
        for (std::size_t i = 0; i < m_drawn.size(); ++i) path(svg, "visible", m_drawn[i], lines[i].visible);
        const SheetBox b = box(v);
        if (v == kTop && !m_drawn.empty()) svg.cutting_plane(b.x0 - 6, b.x1 + 6, m_layout.place[kTop].y(m_level), "A");
        // The die's overall height and depth beside the left view.
        if (v == kLeft && !m_drawn.empty()) {
            svg.dimension(b.x1, b.y1, b.x1, b.y0, -8, size_text(m_extents[kLeft].height()));
            svg.dimension(b.x0, b.y0, b.x1, b.y0, 8, size_text(m_extents[kLeft].width()));
        }
        draw_callouts(svg, callouts, b, b.y0 - 4, b.y1 + 4);
        caption(svg, v, view.caption);
        svg.close_group();
    }

    void section(SheetSvg &svg, const std::vector<Callout> &callouts) {
        svg.open_group("view-section", "view");
        for (std::size_t i = 0; i < m_drawn.size(); ++i) {
            // Neighbouring parts (consecutive items, mostly) hatched differently.
            const int pattern = m_drawn[i].row ? m_drawn[i].row->item % 4 : static_cast<int>(i % 4);
            static const char *const kHatches[] = {"hatch", "hatch-1", "hatch-2", "hatch-3"};
            std::string attributes = "data-tag=\"";
            attributes += std::to_string(m_drawn[i].body->tag);
            attributes += "\" style=\"fill:url(#";
            attributes += kHatches[pattern];
            attributes += ")\"";
            svg.path(m_section[i].cut, "cut", attributes, true);
        }
        for (std::size_t i = 0; i < m_drawn.size(); ++i) path(svg, "visible", m_drawn[i], m_section[i].beyond);
        const SheetBox b = box(kSection);
        if (!m_drawn.empty()) svg.dimension(b.x0, b.y0, b.x1, b.y0, 8, size_text(m_extents[kFront].width()));
        draw_callouts(svg, callouts, b, b.y0 - 4, b.y1 + 4);
        caption(svg, kSection, "SECTION A-A");
        svg.close_group();
    }

    // Returns the title block's top edge.
    double title_block(SheetSvg &svg) {
        double grams = 0;
        for (const PartsListRow &row : m_parts) grams += row.mass * static_cast<double>(row.bodies.size());
        const std::string bodies = std::to_string(m_drawn.size()) + " bodies drawn" +
                                   (m_blanked ? ", " + std::to_string(m_blanked) + " blanked" : "");
        const std::vector<TitleField> fields = {
            {"die", m_title, "title"},
            {"drawing number", m_title + "-00", "drawing-number"},
            {"designation", "die assembly", "designation"},
            {"material", "see the parts list", "material"},
            {"scale", m_layout.scale.text, "scale"},
            {"date", drawing_date(), "date"},
            {"sheet", std::string("1 of 1, ") + m_layout.sheet.name, "sheet"},
            {"mass (kg)", kilograms(grams), "mass"},
            {"dimensions in mm; projection", "first angle", "projection"},
            {"bodies", bodies, "bodies"},
        };
        const double top = svg.title_block(fields, kColumn);
        svg.first_angle_symbol(svg.width() - kFrame - kColumn + 60, top + 4 * kTitleRow + 1.5, 5);
        return top;
    }

    void parts_table(SheetSvg &svg, double title_top) {
        std::vector<std::vector<std::string>> rows;
        for (const PartsListRow &row : m_parts)
            rows.push_back({std::to_string(row.item), std::to_string(row.bodies.size()), row.designation, row.material,
                            row.standard ? "" : size_triple(row.stock), kilograms(row.mass)});
        const double h = m_layout.parts_row_height;
        svg.table(svg.width() - kFrame - kColumn, title_top - h * static_cast<double>(rows.size() + 1),
                  {10, 9, 64, 47, 32, 18}, {"ITEM", "QTY", "DESIGNATION", "MATERIAL", "STOCK (mm)", "MASS (kg)"}, rows, h,
                  "parts-list", true);
    }

    const std::string &m_title;
    const std::vector<PartsListRow> &m_parts;
    DrawingOptions m_options;
    std::vector<DrawnBody> m_drawn;
    std::vector<kernel::Shape> m_shapes;
    std::vector<kernel::Box> m_boxes;
    std::size_t m_blanked = 0;
    double m_level = 0;
    Layout m_layout;
    std::array<Extent, 4> m_extents;
    std::vector<std::vector<kernel::ProjectedLines>> m_lines;
    std::vector<kernel::SectionView> m_section;
};

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

std::string drawing_svg(const std::string &title, const std::vector<PartsListRow> &parts, const DrawingOptions &options) {
    return AssemblyDrawing(title, parts, options).svg();
}

std::string drawing_svg(const std::string &title, const DrawingOptions &options) {
    return drawing_svg(title, parts_list(load_materials(model::Store::instance().library_root())), options);
}

}  // namespace diekit::io
