// Rigid placement of shapes from the absolute frame into another frame.
#include "kernel/occ.hpp"

#include <TopLoc_Location.hxx>
#include <gp_Ax3.hxx>
#include <gp_Trsf.hxx>

namespace diekit::kernel {

using namespace detail;

Shape place(const Shape &shape, const Frame &to) {
    constexpr const char *op = "place";
    return guarded(op, [&] {
        const TopoDS_Shape &s = require(op, shape);
        const gp_Dir z = to_dir(op, to.z, "frame z axis");
        const gp_Dir x = to_dir(op, to.x, "frame x axis");
        if (z.IsParallel(x, 1e-9)) fail(op, "frame x and z axes are parallel");
        // The frame's y follows from z and x (right-handed); a given y is not consulted.
        gp_Trsf trsf;
        trsf.SetDisplacement(gp_Ax3(), gp_Ax3(to_pnt(to.origin), z, x));
        // A rigid motion only changes the location: the placed shape shares its B-rep with the
        // original, so copies of one library part are recognised as such (and cost no copy).
        return Shape(s.Moved(TopLoc_Location(trsf)));
    });
}

}  // namespace diekit::kernel
