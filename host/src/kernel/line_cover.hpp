// Lines of one drawing view that are already drawn, so that each projected edge is drawn once: the
// hidden-line algorithm gives an edge again wherever edges of a body (or of bodies standing in one
// another) project onto the same line, and two dash patterns laid over each other fill each other's
// gaps, so that a hidden line looks solid.
#pragma once

#include "kernel/drawing.hpp"

#include <unordered_map>
#include <vector>

namespace diekit::kernel {

class DrawnLines {
public:
    // tolerance: how far apart (view units) two nearly parallel lines may be and still count as one.
    explicit DrawnLines(double tolerance);

    // The pieces of `lines` that do not lie on a line drawn so far; each kept piece counts as drawn
    // at once, so a line traced twice keeps only its first tracing. Pieces no longer than the
    // tolerance that are left over where a line is partly drawn already are dropped.
    std::vector<Polyline2> keep_undrawn(const std::vector<Polyline2> &lines);
    // Counts the lines as drawn, as they are.
    void add(const std::vector<Polyline2> &lines);

private:
    struct Segment {
        Point2 a, b;
    };
    using Cell = std::pair<long long, long long>;
    struct CellHash {
        std::size_t operator()(const Cell &c) const { return std::hash<long long>()(c.first * 73856093LL ^ c.second); }
    };

    void add_segment(const Point2 &a, const Point2 &b);
    // The pieces of segment a-b not covered by drawn segments, as parameter ranges along it.
    std::vector<std::pair<double, double>> undrawn_pieces(const Point2 &a, const Point2 &b);
    template <class Visit>
    void for_cells(const Point2 &a, const Point2 &b, Visit visit) const;

    double m_tolerance;
    double m_cell;
    std::vector<Segment> m_segments;
    std::unordered_map<Cell, std::vector<std::size_t>, CellHash> m_grid;
    std::vector<std::size_t> m_seen;  // per segment: the query that last looked at it
    std::size_t m_query = 0;
};

}  // namespace diekit::kernel
