#include "io/plate_sheets.hpp"

#include "io/sheet_svg.hpp"
#include "io/standard_parts.hpp"
#include "io/svg.hpp"
#include "kernel/section_view.hpp"
#include "model/errors.hpp"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

namespace diekit::io {

namespace {

constexpr double kWidth = 420, kHeight = 297;              // A3 landscape
constexpr double kAreaRight = 222;                         // the views' area: frame left to here
constexpr double kTableX = 225, kTableWidth = 185;         // hole table and title block column
constexpr double kMargin = 14;                             // room for dimensions beside a view

std::string hole_size(const kernel::Hole &h) {
    return h.round ? "Ø" + size_text(h.diameter) : size_text(h.width) + " × " + size_text(h.length);
}

std::string face_text(const kernel::Hole &h) {
    if (h.through && h.counterbore_diameter == 0) return "";
    switch (h.face) {
    case kernel::HoleFace::Top: return "top";
    case kernel::HoleFace::Bottom: return "bottom";
    default: return "floor";
    }
}

std::string position(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", v);
    return std::string(text) == "-0.00" ? "0.00" : text;
}

// The plane of the section view: the y of the row of holes with the most holes (round ones count
// first), the middle of the plate when it has none.
double section_level(const Plate &plate) {
    std::map<long long, std::pair<int, double>> rows;
    for (const TableHole &h : plate.holes) {
        auto &row = rows[std::llround(h.hole.y * 1e4)];
        row.first += h.hole.round ? 1000 : 1;
        row.second = h.hole.y;
    }
    double level = plate.box.size[1] / 2;
    int best = 0;
    for (auto &[key, row] : rows)
        if (row.first > best) best = row.first, level = row.second;
    return level;
}

// Hidden lines that lie on one another (a blind hole's rim and its bottom seen from above) drawn once:
// two dash patterns over each other read as a solid line.
std::vector<kernel::Polyline2> without_repeats(std::vector<kernel::Polyline2> lines) {
    std::set<std::vector<std::pair<long long, long long>>> seen;
    std::vector<kernel::Polyline2> kept;
    for (auto &line : lines) {
        std::vector<std::pair<long long, long long>> key;
        for (auto &p : line) key.emplace_back(std::llround(p.x * 20), std::llround(p.y * 20));
        std::sort(key.begin(), key.end());
        key.erase(std::unique(key.begin(), key.end()), key.end());
        if (seen.insert(key).second) kept.push_back(std::move(line));
    }
    return kept;
}

struct Layout {
    double s, x0, section_top, top_top;
    double x(double fx) const { return x0 + s * fx; }
};

class PlateSheet {
public:
    PlateSheet(const std::string &session, const Plate &plate, const PartsListRow *row, std::size_t index,
               std::size_t count)
        : m_plate(plate), m_row(row), m_svg(kWidth, kHeight, plate.name) {
        const double L = plate.box.size[0], W = plate.box.size[1], T = plate.box.size[2];
        const double fit_x = (kAreaRight - SheetSvg::kFrame - 2 * kMargin) / std::max(L, 1e-9);
        const double fit_y = (kHeight - 2 * SheetSvg::kFrame - 58) / std::max(W + T, 1e-9);
        m_scale = standard_scale(std::min(fit_x, fit_y));
        const double s = m_scale.factor;
        m_layout = {s, SheetSvg::kFrame + kMargin + (kAreaRight - SheetSvg::kFrame - 2 * kMargin - L * s) / 2,
                    SheetSvg::kFrame + 12, 0};
        m_layout.top_top = m_layout.section_top + T * s + 22;
        section();
        top_view();
        hole_table();
        title(session, index, count);
    }

    std::string finish() { return m_svg.finish(); }

private:
    double top_x(double fx) const { return m_layout.x(fx); }
    double top_y(double fy) const { return m_layout.top_top + m_layout.s * (m_plate.box.size[1] - fy); }
    double section_y(double fz) const { return m_layout.section_top + m_layout.s * (m_plate.box.size[2] - fz); }

    void top_view() {
        const kernel::Frame &f = m_plate.box.frame;
        kernel::HiddenLineOptions options;
        options.deflection = 0.05 / m_layout.s;
        // One plate at a time: the exact method is quick and draws hidden edges exactly.
        options.method = kernel::HiddenLineMethod::Exact;
        std::vector<kernel::ProjectedLines> lines;
        try {
            lines = kernel::project_hidden_lines({m_plate.body->shape}, kernel::ViewAxes{f.z, f.x}, options);
        } catch (const kernel::KernelError &e) {
            throw SessionError("cannot draw " + m_plate.name + ": " + e.what());
        }
        // View coordinates are absolute coordinates along the frame's axes: shift to the datum corner.
        const double ox = f.origin.x * f.x.x + f.origin.y * f.x.y + f.origin.z * f.x.z;
        const double oy = f.origin.x * f.y.x + f.origin.y * f.y.y + f.origin.z * f.y.z;
        auto sheet = [&](std::vector<kernel::Polyline2> polylines) {
            for (auto &line : polylines)
                for (auto &p : line) p = {top_x(p.x - ox), top_y(p.y - oy)};
            return polylines;
        };
        m_svg.open_group("view-top", "view");
        m_svg.path(without_repeats(sheet(lines.front().hidden)), "hidden");
        m_svg.path(sheet(lines.front().smooth), "smooth");
        m_svg.path(sheet(lines.front().visible), "visible");
        for (const TableHole &h : m_plate.holes) {
            const double cx = top_x(h.hole.x), cy = top_y(h.hole.y);
            const double r = h.hole.round ? std::max(h.hole.diameter, h.hole.counterbore_diameter) / 2 * m_layout.s : 0;
            if (h.hole.round) m_svg.centre_mark(cx, cy, r);
            const double lx = h.hole.round ? cx + 0.75 * r + 0.6 : cx, ly = h.hole.round ? cy - 0.75 * r - 0.6 : cy + 1;
            m_svg.text(lx, ly, 2.2, h.label, h.hole.round ? "start" : "middle",
                       "class=\"label hole-label\" data-hole=\"" + h.label + "\"");
        }
        // The section's cutting plane, viewed towards +y (up the sheet).
        const double L = m_plate.box.size[0], yc = top_y(m_section_level);
        m_svg.cutting_plane(top_x(0) - 6, top_x(L) + 6, yc, "A");
        // Datum corner and overall sizes.
        const double dx = top_x(0), dy = top_y(0);
        m_svg.raw() << "    <circle cx=\"" << number(dx) << "\" cy=\"" << number(dy) << "\" r=\"1.2\" fill=\"none\" stroke=\"#000\" stroke-width=\"0.25\"/>\n";
        m_svg.text(dx - 1.5, dy + 4.5, 2.5, "0,0 datum", "end", "id=\"datum\"");
        m_svg.dimension(top_x(0), top_y(0), top_x(L), top_y(0), -9, size_text(L));
        m_svg.dimension(top_x(0), top_y(0), top_x(0), top_y(m_plate.box.size[1]), 9, size_text(m_plate.box.size[1]));
        m_svg.text((top_x(0) + top_x(L)) / 2, top_y(0) + 16, 3.5, "TOP VIEW", "middle", "class=\"caption\"");
        m_svg.close_group();
    }

    void section() {
        m_section_level = section_level(m_plate);
        kernel::SectionView view;
        try {
            view = kernel::section_view(m_plate.body->shape, m_plate.box.frame, m_section_level, 0.05 / m_layout.s);
        } catch (const kernel::KernelError &e) {
            throw SessionError("cannot cut " + m_plate.name + " for its section: " + e.what());
        }
        auto sheet = [&](std::vector<kernel::Polyline2> polylines) {
            for (auto &line : polylines)
                for (auto &p : line) p = {top_x(p.x), section_y(p.y)};
            return polylines;
        };
        m_svg.open_group("view-section", "view");
        m_svg.path(sheet(view.cut), "cut", "", true);
        m_svg.path(sheet(view.beyond), "visible");
        for (const TableHole &h : m_plate.holes)
            if (h.hole.round && std::abs(h.hole.y - m_section_level) < 1e-6) {
                const double x = top_x(h.hole.x);
                m_svg.line(x, section_y(m_plate.box.size[2]) - 2, x, section_y(0) + 2, "centre");
            }
        const double L = m_plate.box.size[0], T = m_plate.box.size[2];
        m_svg.dimension(top_x(L), section_y(0), top_x(L), section_y(T), -9, size_text(T));
        m_svg.text((top_x(0) + top_x(L)) / 2, section_y(0) + 7, 3.5, "SECTION A-A", "middle", "class=\"caption\"");
        m_svg.close_group();
    }

    void hole_table() {
        std::vector<std::vector<std::string>> rows;
        for (const TableHole &h : m_plate.holes) {
            const kernel::Hole &o = h.hole;
            rows.push_back({h.label, position(o.x), position(o.y), hole_size(o), o.through ? "through" : size_text(o.depth),
                            o.counterbore_diameter > 0
                                ? "Ø" + size_text(o.counterbore_diameter) + " × " + size_text(o.counterbore_depth)
                                : "",
                            face_text(o), h.kind});
        }
        const double top = SheetSvg::kFrame + 10, bottom = kHeight - SheetSvg::kFrame - 8 * 6 - 6;
        const double row_height = std::clamp((bottom - top) / double(rows.size() + 1), 2.6, 5.0);
        m_svg.text(kTableX, top - 2.5, 3.5, rows.empty() ? "HOLE TABLE: no holes" : "HOLE TABLE (mm, from the datum corner)",
                   "start", "class=\"caption\"");
        if (!rows.empty())
            m_svg.table(kTableX, top, {12, 20, 20, 28, 17, 25, 14, 49}, {"HOLE", "X", "Y", "SIZE", "DEPTH", "C'BORE", "FACE", "KIND"},
                        rows, row_height, "hole-table");
    }

    void title(const std::string &session, std::size_t index, std::size_t count) {
        char number_text[32];
        std::snprintf(number_text, sizeof number_text, "-%02d", m_row ? m_row->item : 0);
        const std::string stock = m_row && !m_row->standard ? size_triple(m_row->stock) : "";
        const std::vector<TitleField> fields = {
            {"part", m_plate.name, "title"},
            {"drawing number", session + number_text, "drawing-number"},
            {"designation", m_row ? m_row->designation : m_plate.role, "designation"},
            {"quantity", m_row ? std::to_string(m_row->bodies.size()) : "1", "quantity"},
            {"material", m_row ? m_row->material : "", "material"},
            {"heat treatment", m_row ? m_row->heat_treatment : "", "heat-treatment"},
            {"stock size (mm)", stock, "stock"},
            {"scale", m_scale.text, "scale"},
            {"date", drawing_date(), "date"},
            {"sheet", std::to_string(index + 1) + " of " + std::to_string(count) + ", A3", "sheet"},
            {"dimensions in mm; projection", "first angle", "projection"},
            {"die", session, "die"},
        };
        const double top = m_svg.title_block(fields, kTableWidth);
        m_svg.first_angle_symbol(kTableX + 60, top + 5 * 8 + 1.5, 5);
    }

    const Plate &m_plate;
    const PartsListRow *m_row;
    SheetSvg m_svg;
    DrawingScale m_scale;
    Layout m_layout{};
    double m_section_level = 0;
};

}  // namespace

std::string file_stem(const std::string &name, std::vector<std::string> &taken) {
    std::string stem;
    for (unsigned char c : name) stem += std::isalnum(c) || c == '-' || c == '_' ? char(c) : '_';
    if (stem.empty()) stem = "body";
    std::string unique = stem;
    for (int n = 2; std::find(taken.begin(), taken.end(), unique) != taken.end(); ++n) unique = stem + "_" + std::to_string(n);
    taken.push_back(unique);
    return unique;
}

std::vector<SheetFile> plate_sheets(const std::string &session, const std::vector<Plate> &plates,
                                    const std::vector<PartsListRow> &rows) {
    std::map<tag_t, const PartsListRow *> row_of;
    for (const PartsListRow &row : rows)
        for (tag_t tag : row.bodies) row_of[tag] = &row;
    // One sheet per distinct part: a second plate of the same parts-list row is its quantity.
    std::vector<const Plate *> drawn;
    std::set<const PartsListRow *> rows_drawn;
    for (const Plate &plate : plates) {
        auto found = row_of.find(plate.body->tag);
        if (found == row_of.end() || rows_drawn.insert(found->second).second) drawn.push_back(&plate);
    }
    std::vector<SheetFile> sheets;
    std::vector<std::string> taken;
    for (std::size_t i = 0; i < drawn.size(); ++i) {
        auto found = row_of.find(drawn[i]->body->tag);
        PlateSheet sheet(session, *drawn[i], found == row_of.end() ? nullptr : found->second, i, drawn.size());
        sheets.push_back({file_stem(drawn[i]->name, taken) + ".svg", sheet.finish()});
    }
    return sheets;
}

}  // namespace diekit::io
