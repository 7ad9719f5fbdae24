// A large solid prepared for many contacts with small bodies (the interference report compares a
// plate with every part standing in it): its faces and vertices with their boxes, and the solid split
// by a grid of planes into pieces, so that one contact looks only at what lies near the other body.
// Kernel sources only.
#pragma once

#include "kernel/occ.hpp"

#include <BRepClass3d_SolidClassifier.hxx>
#include <Bnd_Box.hxx>
#include <TopoDS_Shape.hxx>
#include <gp_Pln.hxx>
#include <gp_Pnt.hxx>

#include <memory>
#include <optional>
#include <vector>

namespace diekit::kernel::detail {

struct ContactIndex {
    TopoDS_Shape whole;
    std::vector<TopoDS_Shape> faces;
    std::vector<Bnd_Box> face_boxes;
    std::vector<gp_Pnt> vertices;
    std::vector<TopoDS_Shape> pieces;  // solids that partition the whole, each within one grid cell
    std::vector<Bnd_Box> piece_boxes;
    std::vector<gp_Pln> planes;        // the planes that cut the pieces apart
};

// The index of a solid with many faces, or nullptr when it has few or the split does not add up to
// the whole (then contacts use the whole solid).
std::shared_ptr<const ContactIndex> build_contact_index(const TopoDS_Shape &solid);

// Classifies points against an indexed solid through the pieces near each point, falling back to the
// whole solid for a point on a cutting plane (where the pieces cannot tell inside from boundary).
class IndexedClassifier {
public:
    explicit IndexedClassifier(const ContactIndex &index) : m_index(index), m_pieces(index.pieces.size()) {}
    TopAbs_State state(const gp_Pnt &point);

private:
    const ContactIndex &m_index;
    std::vector<std::unique_ptr<BRepClass3d_SolidClassifier>> m_pieces;
    std::unique_ptr<BRepClass3d_SolidClassifier> m_whole;
};

}  // namespace diekit::kernel::detail
