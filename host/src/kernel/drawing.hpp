// Hidden-line projection for drawings: the edges of solids as a viewer sees them along one direction,
// split into visible and hidden lines by OCCT's hidden-line removal, as 2D polylines per shape.
#pragma once

#include "kernel/kernel.hpp"

#include <vector>

namespace diekit::kernel {

struct Point2 {
    double x = 0, y = 0;
};
using Polyline2 = std::vector<Point2>;

// How a view looks at the part: the direction from the part towards the viewer and the direction
// that becomes the view's x axis (perpendicular to it). The view's y axis is toward_viewer × right.
struct ViewAxes {
    Vec3 toward_viewer{0, 0, 1};
    Vec3 right{1, 0, 0};
};

// The lines of one shape in one view, in view coordinates (model units).
struct ProjectedLines {
    std::vector<Polyline2> visible;  // sharp edges and silhouettes in sight
    std::vector<Polyline2> smooth;   // tangent-continuous edges in sight (blend boundaries)
    std::vector<Polyline2> hidden;   // sharp edges and silhouettes behind faces of any shape
};

enum class HiddenLineMethod {
    Exact,  // HLRBRep_Algo on the exact B-rep: fewest lines, but some arrangements of a die (holes whose
            // silhouettes coincide in a view) take it seconds
    Mesh,   // HLRBRep_PolyAlgo on a coarse triangulation: steady time, curved silhouettes as chords
};

struct HiddenLineOptions {
    HiddenLineMethod method = HiddenLineMethod::Mesh;
    // Chordal deviation of the polylines (and of the mesh) in model units; 0 picks 1/1500 of the
    // largest extent of the shapes.
    double deflection = 0;
    bool with_hidden = true;  // compute the hidden lines too
};

// Projects the shapes together (each may hide parts of the others) in each view and returns, per
// view, the lines of each shape in the order given; lines that continue one another are joined. Null
// shapes give no lines. Throws KernelError when the algorithm fails.
std::vector<std::vector<ProjectedLines>> project_hidden_lines(const std::vector<Shape> &shapes,
                                                              const std::vector<ViewAxes> &views,
                                                              const HiddenLineOptions &options = {});
// The same for one view.
std::vector<ProjectedLines> project_hidden_lines(const std::vector<Shape> &shapes, const ViewAxes &view,
                                                 const HiddenLineOptions &options = {});

// The bounding box of a shape's box corners projected into the view: xmin, ymin, xmax, ymax.
std::array<double, 4> projected_extent(const Box &box, const ViewAxes &view);

}  // namespace diekit::kernel
