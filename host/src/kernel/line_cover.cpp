#include "kernel/line_cover.hpp"

#include <algorithm>
#include <cmath>

namespace diekit::kernel {

namespace {

// Lines meeting at more than 30° cross; only nearly parallel ones can lie on each other. Chords of
// two tessellations of one circle stay well within this.
constexpr double kParallelSine = 0.5;

struct Interval {
    double lo, hi;
};

// The t with lo <= alpha + beta t <= hi, within `range`; empty when lo > hi afterwards.
Interval clip(Interval range, double alpha, double beta, double lo, double hi) {
    if (std::abs(beta) < 1e-15) return alpha >= lo && alpha <= hi ? range : Interval{1, 0};
    double t0 = (lo - alpha) / beta, t1 = (hi - alpha) / beta;
    if (t0 > t1) std::swap(t0, t1);
    return {std::max(range.lo, t0), std::min(range.hi, t1)};
}

double cross(double ax, double ay, double bx, double by) { return ax * by - ay * bx; }

}  // namespace

DrawnLines::DrawnLines(double tolerance)
    : m_tolerance(std::max(tolerance, 1e-9)), m_cell(std::max(tolerance, 1e-9) * 8) {}

template <class Visit>
void DrawnLines::for_cells(const Point2 &a, const Point2 &b, Visit visit) const {
    const auto index = [this](double v) { return static_cast<long long>(std::floor(v / m_cell)); };
    const long long x0 = index(std::min(a.x, b.x) - m_tolerance), x1 = index(std::max(a.x, b.x) + m_tolerance);
    const long long y0 = index(std::min(a.y, b.y) - m_tolerance), y1 = index(std::max(a.y, b.y) + m_tolerance);
    for (long long x = x0; x <= x1; ++x)
        for (long long y = y0; y <= y1; ++y) visit(Cell{x, y});
}

void DrawnLines::add_segment(const Point2 &a, const Point2 &b) {
    const std::size_t id = m_segments.size();
    m_segments.push_back({a, b});
    m_seen.push_back(0);
    for_cells(a, b, [&](const Cell &cell) { m_grid[cell].push_back(id); });
}

std::vector<std::pair<double, double>> DrawnLines::undrawn_pieces(const Point2 &a, const Point2 &b) {
    const double length = std::hypot(b.x - a.x, b.y - a.y);
    const double ux = (b.x - a.x) / length, uy = (b.y - a.y) / length;
    std::vector<Interval> covered;
    ++m_query;
    for_cells(a, b, [&](const Cell &cell) {
        auto found = m_grid.find(cell);
        if (found == m_grid.end()) return;
        for (std::size_t id : found->second) {
            if (m_seen[id] == m_query) continue;
            m_seen[id] = m_query;
            const Segment &q = m_segments[id];
            const double m = std::hypot(q.b.x - q.a.x, q.b.y - q.a.y);
            const double wx = (q.b.x - q.a.x) / m, wy = (q.b.y - q.a.y) / m;
            if (std::abs(cross(ux, uy, wx, wy)) > kParallelSine) continue;
            // Where this segment runs inside the band of half-width tolerance along the drawn one.
            const double px = a.x - q.a.x, py = a.y - q.a.y;
            Interval t = clip({0, length}, px * wx + py * wy, ux * wx + uy * wy, 0, m);
            t = clip(t, cross(px, py, wx, wy), cross(ux, uy, wx, wy), -m_tolerance, m_tolerance);
            if (t.hi - t.lo > 1e-12) covered.push_back(t);
        }
    });
    std::sort(covered.begin(), covered.end(), [](const Interval &x, const Interval &y) { return x.lo < y.lo; });
    std::vector<std::pair<double, double>> pieces;
    double from = 0;
    auto keep = [&](double lo, double hi) {
        const bool whole = lo == 0 && hi == length;
        if (whole || hi - lo > m_tolerance) pieces.emplace_back(lo, hi);
    };
    for (const Interval &c : covered) {
        if (c.lo > from) keep(from, c.lo);
        from = std::max(from, c.hi);
    }
    if (from < length) keep(from, length);
    return pieces;
}

std::vector<Polyline2> DrawnLines::keep_undrawn(const std::vector<Polyline2> &lines) {
    std::vector<Polyline2> kept;
    for (const Polyline2 &line : lines) {
        bool open = false;  // the last kept piece ended at the current point: continue its polyline
        for (std::size_t i = 1; i < line.size(); ++i) {
            const Point2 &a = line[i - 1], &b = line[i];
            const double length = std::hypot(b.x - a.x, b.y - a.y);
            if (!(length > 0)) continue;
            const auto at = [&](double t) {
                return t == length ? b : Point2{a.x + (b.x - a.x) * t / length, a.y + (b.y - a.y) * t / length};
            };
            const auto pieces = undrawn_pieces(a, b);
            for (auto [lo, hi] : pieces) {
                if (!(open && lo == 0)) kept.push_back({at(lo)});
                kept.back().push_back(at(hi));
            }
            for (auto [lo, hi] : pieces) add_segment(at(lo), at(hi));
            open = !pieces.empty() && pieces.back().second == length;
        }
    }
    return kept;
}

void DrawnLines::add(const std::vector<Polyline2> &lines) {
    for (const Polyline2 &line : lines)
        for (std::size_t i = 1; i < line.size(); ++i)
            if (std::hypot(line[i].x - line[i - 1].x, line[i].y - line[i - 1].y) > 0) add_segment(line[i - 1], line[i]);
}

}  // namespace diekit::kernel
