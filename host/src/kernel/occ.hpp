// Private helpers shared by the kernel sources: the exception firewall around OCCT calls,
// conversions between kernel values and OCCT types, and result checks.
// Only kernel .cpp files include this header.
#pragma once

// OCCT on Linux delivers signals (access violations) by long jump to the nearest OCC_CATCH_SIGNALS.
#ifndef OCC_CONVERT_SIGNALS
#define OCC_CONVERT_SIGNALS
#endif

#include "kernel/kernel.hpp"

// OCCT 7.6 collections derive their iterators from std::iterator, deprecated since C++17.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <NCollection_StlIterator.hxx>
#pragma GCC diagnostic pop

#include <Bnd_Box.hxx>
#include <Standard_ErrorHandler.hxx>
#include <Standard_Failure.hxx>
#include <TopoDS_Shape.hxx>
#include <gp_Dir.hxx>
#include <gp_Pnt.hxx>
#include <gp_Vec.hxx>

#include <new>
#include <string>
#include <utility>
#include <vector>

namespace diekit::kernel::detail {

// Installs the signal handler (no floating-point traps) and quiets OCCT's console output. Idempotent.
void initialise();

[[noreturn]] void fail(const char *op, const std::string &why);
std::string describe(const Standard_Failure &failure);

// Runs f with every OCCT exception (and converted signal) turned into a KernelError naming op.
template <class F>
auto guarded(const char *op, F &&f) -> decltype(f()) {
    initialise();
    try {
        OCC_CATCH_SIGNALS
        return f();
    } catch (const KernelError &) {
        throw;
    } catch (const Standard_Failure &failure) {
        throw KernelError(std::string(op) + ": " + describe(failure));
    } catch (const std::bad_alloc &) {
        throw KernelError(std::string(op) + ": out of memory");
    } catch (const std::exception &error) {
        throw KernelError(std::string(op) + ": " + error.what());
    }
}

const TopoDS_Shape &require(const char *op, const Shape &shape, const char *what = "shape");
void require_positive(const char *op, double value, const char *what);

gp_Pnt to_pnt(const Vec3 &v);
gp_Vec to_vec(const Vec3 &v);
// Unit direction of v; KernelError naming op and what when v is (nearly) zero.
gp_Dir to_dir(const char *op, const Vec3 &v, const char *what);
Vec3 to_vec3(const gp_Pnt &p);
Vec3 to_vec3(const gp_Vec &v);
Vec3 to_vec3(const gp_Dir &d);

// The kernel's quick box of a shape (its tolerances included, so never smaller than the shape), grown
// by gap on every side: for telling apart what cannot touch.
Bnd_Box loose_box(const TopoDS_Shape &shape, double gap = 0);

// Checks a solid-producing result with BRepCheck and normalises it: one solid -> that solid,
// several -> a compound of the solids, none -> an empty compound. Given the (valid) operands of a
// boolean, only the faces it made are checked, with the closedness of every shell.
Shape solid_result(const char *op, const TopoDS_Shape &result, const std::vector<TopoDS_Shape> &operands = {});

// A face with this many edges or more (a plate top with dozens of pockets) is one where the kernel's
// per-edge work over the whole face grows with the square of its pockets: its plane curves are
// stored (plane_curves.cpp) and the STEP writer meets it last in its shell (step_io.cpp).
constexpr int kManyFaceEdges = 64;

// Stores the curves in their planes' parameters of the new edges on result's planar faces with
// kManyFaceEdges or more edges (edges shared with the operands are left as they are).
void store_plane_curves(const TopoDS_Shape &result, const std::vector<TopoDS_Shape> &operands);

// A primitive solid (block, cylinder, cone, prism of a checked outline) as the kernel built it from
// checked sizes: valid by construction, so not checked again. KernelError when it is not one solid.
Shape fresh_solid(const char *op, const TopoDS_Shape &result);

}  // namespace diekit::kernel::detail
