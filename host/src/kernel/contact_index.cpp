#include "kernel/contact_index.hpp"

#include <BRepAlgoAPI_Splitter.hxx>
#include <BRepBuilderAPI_MakeFace.hxx>
#include <BRepGProp.hxx>
#include <BRep_Tool.hxx>
#include <GProp_GProps.hxx>
#include <TopExp.hxx>
#include <TopExp_Explorer.hxx>
#include <TopTools_IndexedMapOfShape.hxx>
#include <TopoDS.hxx>

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>

namespace diekit::kernel::detail {

namespace {

// Below this many faces a contact with the whole solid is cheap enough.
constexpr int kIndexFromFaces = 120;
// About this many faces per piece.
constexpr int kFacesPerPiece = 40;

double volume_of(const TopoDS_Shape &shape) {
    GProp_GProps props;
    BRepGProp::VolumeProperties(shape, props, true);
    return props.Mass();
}

// Planes across the two longest sides of the box, n - 1 on each. They sit a little off the even
// division so that they rarely meet the round-number faces of die parts.
std::vector<gp_Pln> grid_planes(const Bnd_Box &box, int faces) {
    double lo[3], hi[3];
    box.Get(lo[0], lo[1], lo[2], hi[0], hi[1], hi[2]);
    std::array<int, 3> axes = {0, 1, 2};
    std::sort(axes.begin(), axes.end(), [&](int l, int r) { return hi[l] - lo[l] > hi[r] - lo[r]; });
    const int n = std::clamp(static_cast<int>(std::ceil(std::sqrt(double(faces) / kFacesPerPiece))), 2, 12);
    std::vector<gp_Pln> planes;
    for (int k = 0; k < 2; ++k) {
        const int axis = axes[k];
        const double step = (hi[axis] - lo[axis]) / n;
        for (int i = 1; i < n; ++i) {
            double at[3] = {0, 0, 0};
            at[axis] = lo[axis] + step * (i + 0.0731);
            const gp_Dir normal(axis == 0, axis == 1, axis == 2);
            planes.emplace_back(gp_Pnt(at[0], at[1], at[2]), normal);
        }
    }
    return planes;
}

}  // namespace

std::shared_ptr<const ContactIndex> build_contact_index(const TopoDS_Shape &solid) {
    TopTools_IndexedMapOfShape faces;
    TopExp::MapShapes(solid, TopAbs_FACE, faces);
    if (solid.ShapeType() != TopAbs_SOLID || faces.Extent() < kIndexFromFaces) return nullptr;

    auto index = std::make_shared<ContactIndex>();
    index->whole = solid;
    for (int i = 1; i <= faces.Extent(); ++i) {
        index->faces.push_back(faces(i));
        index->face_boxes.push_back(loose_box(faces(i), 10 * kTolerance));
    }
    TopTools_IndexedMapOfShape vertices;
    TopExp::MapShapes(solid, TopAbs_VERTEX, vertices);
    for (int i = 1; i <= vertices.Extent(); ++i) index->vertices.push_back(BRep_Tool::Pnt(TopoDS::Vertex(vertices(i))));

    const Bnd_Box box = loose_box(solid, 10 * kTolerance);
    index->planes = grid_planes(box, faces.Extent());
    double lo[3], hi[3];
    box.Get(lo[0], lo[1], lo[2], hi[0], hi[1], hi[2]);
    const double reach = 2 * std::max({hi[0] - lo[0], hi[1] - lo[1], hi[2] - lo[2]});
    TopTools_ListOfShape arguments, tools;
    arguments.Append(solid);
    for (const gp_Pln &plane : index->planes) tools.Append(BRepBuilderAPI_MakeFace(plane, -reach, reach, -reach, reach).Face());
    BRepAlgoAPI_Splitter splitter;
    splitter.SetArguments(arguments);
    splitter.SetTools(tools);
    splitter.SetRunParallel(false);
    splitter.SetNonDestructive(true);
    splitter.Build();
    if (!splitter.IsDone() || splitter.HasErrors()) return nullptr;

    double total = 0;
    for (TopExp_Explorer piece(splitter.Shape(), TopAbs_SOLID); piece.More(); piece.Next()) {
        index->pieces.push_back(piece.Current());
        index->piece_boxes.push_back(loose_box(piece.Current(), 10 * kTolerance));
        total += volume_of(piece.Current());
    }
    // The pieces must add up to the whole, or the index would change the answers.
    const double whole = volume_of(solid);
    if (index->pieces.empty() || std::abs(total - whole) > 1e-9 * std::max(1.0, std::abs(whole))) return nullptr;
    return index;
}

TopAbs_State IndexedClassifier::state(const gp_Pnt &point) {
    bool on_a_piece = false;
    for (std::size_t i = 0; i < m_index.pieces.size(); ++i) {
        if (m_index.piece_boxes[i].IsOut(point)) continue;
        if (!m_pieces[i]) m_pieces[i] = std::make_unique<BRepClass3d_SolidClassifier>(m_index.pieces[i]);
        m_pieces[i]->Perform(point, kTolerance);
        const TopAbs_State state = m_pieces[i]->State();
        if (state == TopAbs_IN) return TopAbs_IN;
        if (state == TopAbs_ON) on_a_piece = true;
    }
    if (!on_a_piece) return TopAbs_OUT;
    const bool on_a_plane = std::any_of(m_index.planes.begin(), m_index.planes.end(),
                                        [&](const gp_Pln &plane) { return plane.Distance(point) <= 10 * kTolerance; });
    if (!on_a_plane) return TopAbs_ON;
    if (!m_whole) m_whole = std::make_unique<BRepClass3d_SolidClassifier>(m_index.whole);
    m_whole->Perform(point, kTolerance);
    return m_whole->State();
}

}  // namespace diekit::kernel::detail
