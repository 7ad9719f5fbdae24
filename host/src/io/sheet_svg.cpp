#include "io/sheet_svg.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace diekit::io {

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

namespace {

// Lines `pitch` apart at `angle` degrees, as a fill pattern.
std::string hatch_pattern(const char *id, double pitch, double angle) {
    const std::string p = number(pitch);
    return std::string("    <pattern id=\"") + id + "\" patternUnits=\"userSpaceOnUse\" width=\"" + p + "\" height=\"" + p +
           "\" patternTransform=\"rotate(" + number(angle) + ")\"><line x1=\"0\" y1=\"0\" x2=\"0\" y2=\"" + p +
           "\" stroke=\"#000\" stroke-width=\"0.18\"/></pattern>\n";
}

}  // namespace

SheetSvg::SheetSvg(double width, double height, const std::string &title) : m_width(width), m_height(height) {
    m_out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
          << "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" << width << "mm\" height=\"" << height
          << "mm\" viewBox=\"0 0 " << width << " " << height << "\">\n"
          << "  <title>" << escape(title) << "</title>\n"
          << "  <defs>\n"
          << hatch_pattern("hatch", 2, 45) << hatch_pattern("hatch-1", 2, -45) << hatch_pattern("hatch-2", 3.2, 45)
          << hatch_pattern("hatch-3", 3.2, -45)
          << "    <marker id=\"arrow\" viewBox=\"0 0 10 10\" refX=\"10\" refY=\"5\" markerWidth=\"3\" markerHeight=\"3\" "
             "markerUnits=\"userSpaceOnUse\" orient=\"auto-start-reverse\"><path d=\"M0 1.5 L10 5 L0 8.5 Z\" fill=\"#000\"/></marker>\n"
          << "  </defs>\n"
          << "  <style>\n"
          << "    path { fill: none; stroke-linecap: round; stroke-linejoin: round; }\n"
          << "    path:not([stroke]) { stroke: #000; }\n"
          << "    path.visible { stroke-width: 0.35; }\n"
          << "    path.smooth { stroke-width: 0.18; }\n"
          << "    path.hidden { stroke-width: 0.18; stroke-dasharray: 1.2 0.8; }\n"
          << "    path.cut { fill: url(#hatch); fill-rule: evenodd; stroke: #000; stroke-width: 0.35; }\n"
          << "    .frame { fill: none; stroke: #000; stroke-width: 0.5; }\n"
          << "    .thin { fill: none; stroke: #000; stroke-width: 0.18; }\n"
          << "    .centre { fill: none; stroke: #000; stroke-width: 0.18; stroke-dasharray: 3 0.8 0.5 0.8; }\n"
          << "    .dim { fill: none; stroke: #000; stroke-width: 0.18; }\n"
          << "    .leader { fill: none; stroke: #000; stroke-width: 0.18; }\n"
          << "    text { font-family: sans-serif; fill: #000; }\n"
          << "    text.label { paint-order: stroke; stroke: #fff; stroke-width: 0.6; }\n"
          << "  </style>\n"
          << "  <rect width=\"" << width << "\" height=\"" << height << "\" fill=\"#fff\"/>\n"
          << "  <rect x=\"" << kFrame << "\" y=\"" << kFrame << "\" width=\"" << width - 2 * kFrame << "\" height=\""
          << height - 2 * kFrame << "\" class=\"frame\"/>\n";
}

void SheetSvg::open_group(const std::string &id, const std::string &cls) {
    m_out << "  <g id=\"" << escape(id) << "\"" << (cls.empty() ? "" : " class=\"" + cls + "\"") << ">\n";
}
void SheetSvg::close_group() { m_out << "  </g>\n"; }

void SheetSvg::line(double x1, double y1, double x2, double y2, const char *cls) {
    m_out << "    <line x1=\"" << number(x1) << "\" y1=\"" << number(y1) << "\" x2=\"" << number(x2) << "\" y2=\""
          << number(y2) << "\" class=\"" << cls << "\"/>\n";
}

void SheetSvg::rect(double x, double y, double w, double h, const char *cls) {
    m_out << "    <rect x=\"" << number(x) << "\" y=\"" << number(y) << "\" width=\"" << number(w) << "\" height=\""
          << number(h) << "\" class=\"" << cls << "\"/>\n";
}

void SheetSvg::path(const std::vector<kernel::Polyline2> &lines, const char *cls, const std::string &extra, bool closed) {
    std::string d;
    for (auto &polyline : lines) {
        std::string last;
        bool first = true;
        for (auto &p : polyline) {
            const std::string point = number(p.x) + " " + number(p.y);
            if (point == last) continue;
            d += (first ? (d.empty() ? "M" : " M") : " L") + point;
            last = point;
            first = false;
        }
        if (closed && !first) d += " Z";
    }
    if (d.empty()) return;
    m_out << "    <path class=\"" << cls << "\"" << (extra.empty() ? "" : " " + extra) << " d=\"" << d << "\"/>\n";
}

void SheetSvg::text(double x, double y, double size, const std::string &content, const char *anchor,
                    const std::string &attributes) {
    m_out << "    <text x=\"" << number(x) << "\" y=\"" << number(y) << "\" font-size=\"" << number(size) << "\"";
    if (std::string_view(anchor) != "start") m_out << " text-anchor=\"" << anchor << "\"";
    if (!attributes.empty()) m_out << " " << attributes;
    m_out << ">" << escape(content) << "</text>\n";
}

void SheetSvg::dimension(double ax, double ay, double bx, double by, double offset, const std::string &value) {
    const double dx = bx - ax, dy = by - ay, length = std::hypot(dx, dy);
    if (length < 1e-9) return;
    const double nx = dy / length, ny = -dx / length;  // to the left of a -> b on a y-down sheet
    const double ox = nx * offset, oy = ny * offset, gap = offset > 0 ? 1 : -1;
    // Extension lines from 1 mm off the part to 1.5 mm past the dimension line.
    line(ax + nx * gap, ay + ny * gap, ax + ox + nx * 1.5 * gap, ay + oy + ny * 1.5 * gap, "dim");
    line(bx + nx * gap, by + ny * gap, bx + ox + nx * 1.5 * gap, by + oy + ny * 1.5 * gap, "dim");
    m_out << "    <line x1=\"" << number(ax + ox) << "\" y1=\"" << number(ay + oy) << "\" x2=\"" << number(bx + ox)
          << "\" y2=\"" << number(by + oy) << "\" class=\"dim\" marker-start=\"url(#arrow)\" marker-end=\"url(#arrow)\"/>\n";
    // The value above the line, reading from the bottom or the right; past the end of a short one.
    const double along = length < 12 ? length / 2 + 6 : 0;
    const double mx = (ax + bx) / 2 + ox + nx * 1.0 * gap + dx / length * along,
                 my = (ay + by) / 2 + oy + ny * 1.0 * gap + dy / length * along;
    double angle = std::atan2(dy, dx) * 180 / 3.14159265358979323846;
    if (angle > 90.5) angle -= 180;
    if (angle < -90.5) angle += 180;
    m_out << "    <text class=\"dimension\" x=\"" << number(mx) << "\" y=\"" << number(my) << "\" font-size=\"3\" "
          << "text-anchor=\"middle\"" << (std::abs(angle) > 1e-9 ? " transform=\"rotate(" + number(angle) + " " + number(mx) + " " + number(my) + ")\"" : "")
          << ">" << escape(value) << "</text>\n";
}

void SheetSvg::centre_mark(double x, double y, double r) {
    const double e = r + 1.5;
    line(x - e, y, x + e, y, "centre");
    line(x, y - e, x, y + e, "centre");
}

void SheetSvg::leader(double x, double y, double tx, double ty, const std::string &attributes) {
    m_out << "    <circle cx=\"" << number(x) << "\" cy=\"" << number(y) << "\" r=\"0.5\" fill=\"#000\"/>\n";
    m_out << "    <line x1=\"" << number(x) << "\" y1=\"" << number(y) << "\" x2=\"" << number(tx) << "\" y2=\"" << number(ty)
          << "\" class=\"leader\"" << (attributes.empty() ? "" : " " + attributes) << "/>\n";
}

void SheetSvg::balloon(double x, double y, double r, const std::string &number_text, const std::string &attributes) {
    m_out << "    <g class=\"balloon\"" << (attributes.empty() ? "" : " " + attributes) << ">\n";
    m_out << "    <circle cx=\"" << number(x) << "\" cy=\"" << number(y) << "\" r=\"" << number(r)
          << "\" fill=\"#fff\" stroke=\"#000\" stroke-width=\"0.35\"/>\n";
    text(x, y + 1.2, 3.5, number_text, "middle", "class=\"item\"");
    m_out << "    </g>\n";
}

void SheetSvg::cutting_plane(double x0, double x1, double y, const std::string &letter) {
    line(x0, y, x1, y, "centre");
    for (double x : {x0, x1}) {
        m_out << "    <line x1=\"" << number(x) << "\" y1=\"" << number(y) << "\" x2=\"" << number(x) << "\" y2=\"" << number(y - 5)
              << "\" class=\"dim\" stroke-width=\"0.5\" marker-end=\"url(#arrow)\"/>\n";
        text(x + (x < x1 ? -2.5 : 2.5), y - 5, 3.5, letter, "middle", "class=\"cutting-plane\"");
    }
}

void SheetSvg::first_angle_symbol(double x, double y, double h) {
    // A truncated cone seen from the side (narrow end left) and, to its right, from its narrow end.
    const double d = h, small = h / 2, len = h * 1.1;
    m_out << "    <g id=\"projection-symbol\" data-projection=\"first-angle\">\n";
    m_out << "    <path class=\"visible\" d=\"M" << number(x) << " " << number(y + (d - small) / 2) << " L" << number(x + len)
          << " " << number(y) << " L" << number(x + len) << " " << number(y + d) << " L" << number(x) << " "
          << number(y + (d + small) / 2) << " Z\"/>\n";
    const double cx = x + len + h * 0.4 + d / 2, cy = y + d / 2;
    m_out << "    <circle cx=\"" << number(cx) << "\" cy=\"" << number(cy) << "\" r=\"" << number(d / 2)
          << "\" fill=\"none\" stroke=\"#000\" stroke-width=\"0.35\"/>\n";
    m_out << "    <circle cx=\"" << number(cx) << "\" cy=\"" << number(cy) << "\" r=\"" << number(small / 2)
          << "\" fill=\"none\" stroke=\"#000\" stroke-width=\"0.35\"/>\n";
    line(x - 1, cy, cx + d / 2 + 1, cy, "centre");
    line(cx, y - 1, cx, y + d + 1, "centre");
    m_out << "    </g>\n";
}

double SheetSvg::table(double x, double y, const std::vector<double> &widths, const std::vector<std::string> &header,
                       const std::vector<std::vector<std::string>> &rows, double row_height, const std::string &id,
                       bool upward) {
    double total = 0;
    for (double w : widths) total += w;
    const std::size_t count = rows.size() + 1;
    const double height = row_height * static_cast<double>(count);
    const double size = std::min(2.5, row_height * 0.62);
    // Visual row k from the top: the header first, or last when the table reads upward.
    auto top_of = [&](std::size_t k) { return y + row_height * static_cast<double>(k); };
    const std::size_t header_row = upward ? count - 1 : 0;
    m_out << "  <g id=\"" << escape(id) << "\" class=\"table\">\n";
    rect(x, y, total, height, "frame");
    for (std::size_t k = 1; k < count; ++k)
        line(x, top_of(k), x + total, top_of(k), k == header_row || k == header_row + 1 ? "frame" : "thin");
    double cx = x;
    for (std::size_t c = 0; c + 1 < widths.size(); ++c) {
        cx += widths[c];
        line(cx, y, cx, y + height, "thin");
    }
    auto row = [&](const std::vector<std::string> &cells, std::size_t k, const char *cls) {
        double left = x;
        for (std::size_t c = 0; c < widths.size() && c < cells.size(); ++c) {
            if (!cells[c].empty())
                text(left + 1, top_of(k) + row_height * 0.72, size, cells[c], "start",
                     std::string("class=\"") + cls + "\" data-column=\"" + std::to_string(c) + "\"");
            left += widths[c];
        }
    };
    row(header, header_row, "head");
    for (std::size_t r = 0; r < rows.size(); ++r) row(rows[r], upward ? count - 2 - r : r + 1, "cell");
    m_out << "  </g>\n";
    return height;
}

double SheetSvg::title_block(const std::vector<TitleField> &fields, double width) {
    const double row = 8, rows = std::ceil(fields.size() / 2.0);
    const double x = m_width - kFrame - width, y = m_height - kFrame - row * rows, half = width / 2;
    m_out << "  <g id=\"title-block\">\n";
    rect(x, y, width, row * rows, "frame");
    for (int r = 1; r < rows; ++r) line(x, y + r * row, x + width, y + r * row, "thin");
    line(x + half, y, x + half, y + row * rows, "thin");
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const double fx = x + (i % 2) * half, fy = y + static_cast<double>(i / 2) * row;
        text(fx + 1.5, fy + 2.6, 1.8, fields[i].caption, "start", "class=\"caption\"");
        text(fx + 1.5, fy + 6.6, 3.2, fields[i].value, "start", fields[i].id.empty() ? "" : "id=\"" + fields[i].id + "\"");
    }
    m_out << "  </g>\n";
    return y;
}

std::string SheetSvg::finish() {
    m_out << "</svg>\n";
    return m_out.str();
}

std::string drawing_date() {
    std::time_t now = std::time(nullptr);
    if (const char *epoch = std::getenv("SOURCE_DATE_EPOCH")) {
        char *end = nullptr;
        const long long value = std::strtoll(epoch, &end, 10);
        if (end && *end == 0 && value >= 0) now = static_cast<std::time_t>(value);
    }
    std::tm parts{};
    gmtime_r(&now, &parts);
    char text[16];
    std::strftime(text, sizeof text, "%Y-%m-%d", &parts);
    return text;
}

}  // namespace diekit::io
