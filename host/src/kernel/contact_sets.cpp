// Contacts of many bodies at once: shared volumes from one general fuse, and the keys and shapes that
// let the interference report answer a pair without the kernel (copies of one B-rep, blocks).
#include "kernel/contact.hpp"

#include "kernel/occ.hpp"

#include <BRepAdaptor_Curve.hxx>
#include <BRepAdaptor_Surface.hxx>
#include <BRep_Tool.hxx>
#include <BOPAlgo_Builder.hxx>
#include <BRepAlgoAPI_BuilderAlgo.hxx>
#include <BRepGProp.hxx>
#include <GProp_GProps.hxx>
#include <TopExp.hxx>
#include <TopExp_Explorer.hxx>
#include <TopTools_IndexedMapOfShape.hxx>
#include <TopoDS.hxx>
#include <gp_Mat.hxx>
#include <gp_Trsf.hxx>

#include <algorithm>
#include <cmath>
#include <map>

namespace diekit::kernel {

using namespace detail;

namespace {

constexpr const char *kOp = "shared volumes";

double solid_volume(const TopoDS_Shape &shape) {
    GProp_GProps props;
    BRepGProp::VolumeProperties(shape, props, true);
    return props.Mass();
}

// The fuse splits curved faces wherever another body crosses them; a piece bounded by such crossing
// curves (B-splines) integrates in fixed order a few parts in a million off, so it is integrated to a
// stated precision. Pieces bounded by lines and circles only need no more than a common would.
double shared_piece_volume(const TopoDS_Shape &shape) {
    for (TopExp_Explorer edge(shape, TopAbs_EDGE); edge.More(); edge.Next()) {
        const TopoDS_Edge &e = TopoDS::Edge(edge.Current());
        if (BRep_Tool::Degenerated(e)) continue;
        const GeomAbs_CurveType type = BRepAdaptor_Curve(e).GetType();
        if (type != GeomAbs_Line && type != GeomAbs_Circle) {
            GProp_GProps props;
            BRepGProp::VolumeProperties(shape, props, 1e-10, true);
            return props.Mass();
        }
    }
    return solid_volume(shape);
}

bool close(double a, double b) { return std::abs(a - b) <= 1e-9 * std::max({1.0, std::abs(a), std::abs(b)}); }

}  // namespace

std::vector<double> shared_volumes(const std::vector<Shape> &shapes,
                                   const std::vector<std::pair<std::size_t, std::size_t>> &pairs) {
    return guarded(kOp, [&] {
        // Each distinct shape the pairs name is one argument (a shape named twice is passed once).
        TopTools_IndexedMapOfShape arguments;
        std::vector<int> argument_of(shapes.size(), 0);
        for (const auto &[a, b] : pairs)
            for (std::size_t i : {a, b})
                if (!argument_of.at(i)) argument_of[i] = arguments.Add(require(kOp, shapes[i]));
        std::vector<double> volumes(pairs.size(), 0.0);
        if (arguments.IsEmpty()) return volumes;

        BRepAlgoAPI_BuilderAlgo fuse;
        TopTools_ListOfShape list;
        for (int i = 1; i <= arguments.Extent(); ++i) list.Append(arguments(i));
        fuse.SetArguments(list);
        fuse.SetRunParallel(true);
        fuse.SetNonDestructive(true);
        fuse.Build();
        if (!fuse.IsDone() || fuse.HasErrors()) fail(kOp, "the general fuse failed");

        const BOPAlgo_Builder &builder = *fuse.Builder();
        // The pieces each argument became; a region where arguments overlap is one piece of each.
        TopTools_IndexedMapOfShape pieces;
        std::vector<std::vector<int>> pieces_of(arguments.Extent() + 1);
        for (int i = 1; i <= arguments.Extent(); ++i) {
            double whole = 0, sum = 0;
            for (TopExp_Explorer solid(arguments(i), TopAbs_SOLID); solid.More(); solid.Next()) {
                whole += solid_volume(solid.Current());
                const TopTools_ListOfShape *images = builder.Images().Seek(solid.Current());
                if (!images) {
                    pieces_of[i].push_back(pieces.Add(solid.Current()));
                    sum += solid_volume(solid.Current());
                    continue;
                }
                for (const TopoDS_Shape &image : *images)
                    if (image.ShapeType() == TopAbs_SOLID) {
                        pieces_of[i].push_back(pieces.Add(image));
                        sum += solid_volume(image);
                    }
            }
            // Every argument must be made up of its pieces, or the volumes below would be wrong. (Split
            // curved faces are integrated a little differently: a few parts in a million.)
            if (std::abs(sum - whole) > 1e-5 * std::max(1.0, whole)) fail(kOp, "the pieces of a body do not add up to its volume");
            std::sort(pieces_of[i].begin(), pieces_of[i].end());
        }

        std::map<int, double> volume_of_piece;
        auto piece_volume = [&](int piece) {
            auto known = volume_of_piece.find(piece);
            if (known == volume_of_piece.end())
                known = volume_of_piece.emplace(piece, shared_piece_volume(pieces(piece))).first;
            return known->second;
        };
        for (std::size_t k = 0; k < pairs.size(); ++k) {
            const auto &first = pieces_of[argument_of[pairs[k].first]];
            const auto &second = pieces_of[argument_of[pairs[k].second]];
            std::vector<int> both;
            std::set_intersection(first.begin(), first.end(), second.begin(), second.end(), std::back_inserter(both));
            for (int piece : both) volumes[k] += piece_volume(piece);
        }
        return volumes;
    });
}

PairKey pair_key(const Shape &a, const Shape &b) {
    PairKey key;
    if (a.is_null() || b.is_null()) return key;
    const TopoDS_Shape &first = a.occ(), &second = b.occ();
    key.first = first.TShape().get();
    key.second = second.TShape().get();
    const gp_Trsf ta = first.Location().Transformation(), tb = second.Location().Transformation();
    const gp_Mat ra = ta.VectorialPart(), rb = tb.VectorialPart();
    std::size_t k = 0;
    for (const gp_Mat *m : {&ra, &rb})
        for (int row = 1; row <= 3; ++row)
            for (int column = 1; column <= 3; ++column) key.placement[k++] = m->Value(row, column);
    const gp_XYZ offset = tb.TranslationPart() - ta.TranslationPart();
    key.placement[k++] = offset.X();
    key.placement[k++] = offset.Y();
    key.placement[k++] = offset.Z();
    return key;
}

bool same_shape(const Shape &a, const Shape &b) {
    return !a.is_null() && !b.is_null() && a.occ().IsSame(b.occ());
}

bool is_axis_block(const Shape &shape) {
    return guarded("block test", [&] {
        if (shape.is_null()) return false;
        const TopoDS_Shape &solid = shape.occ();
        if (solid.ShapeType() != TopAbs_SOLID) return false;
        TopTools_IndexedMapOfShape faces;
        TopExp::MapShapes(solid, TopAbs_FACE, faces);
        if (faces.Extent() != 6) return false;
        for (int i = 1; i <= faces.Extent(); ++i)
            if (BRepAdaptor_Surface(TopoDS::Face(faces(i)), false).GetType() != GeomAbs_Plane) return false;
        // Six planes bounding all of the box's volume are the box's own sides.
        const Box box = bounding_box(shape);
        const double box_volume = (box[3] - box[0]) * (box[4] - box[1]) * (box[5] - box[2]);
        return box_volume > 0 && close(volume(shape), box_volume);
    });
}

}  // namespace diekit::kernel
