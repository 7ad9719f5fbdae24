// The Shape value, the exception firewall and the conversions every kernel source shares.
#include "kernel/held_cut.hpp"

#include <BRepBndLib.hxx>
#include <BRepCheck_Analyzer.hxx>
#include <BRepCheck_Shell.hxx>
#include <BRep_Builder.hxx>
#include <Message.hxx>
#include <Message_Messenger.hxx>
#include <OSD.hxx>
#include <TopExp.hxx>
#include <TopExp_Explorer.hxx>
#include <TopTools_MapOfShape.hxx>
#include <TopTools_IndexedMapOfShape.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Compound.hxx>

#include <csignal>
#include <cmath>

namespace diekit::kernel {

Shape::Shape() = default;

Shape::Shape(const TopoDS_Shape &shape)
    : m_data(shape.IsNull() ? nullptr : std::make_shared<detail::ShapeData>(shape, nullptr)) {}

Shape::Shape(std::shared_ptr<detail::ShapeData> data) : m_data(std::move(data)) {}

bool Shape::is_null() const { return !m_data; }

const TopoDS_Shape &Shape::occ() const {
    static const TopoDS_Shape null_shape;
    if (!m_data) return null_shape;
    if (m_data->held) detail::run_held_cut(*m_data);
    return m_data->shape;
}

namespace detail {

namespace {

bool install() {
    // OCCT's handler swallows Ctrl-C (it only arms a break flag): the termination signals keep the
    // process's own handling, and OCCT takes over the fault signals only.
    const int kept[] = {SIGINT, SIGQUIT, SIGHUP, SIGTERM};
    struct sigaction saved[std::size(kept)];
    for (std::size_t i = 0; i < std::size(kept); ++i) sigaction(kept[i], nullptr, &saved[i]);
    OSD::SetSignal(false);
    for (std::size_t i = 0; i < std::size(kept); ++i) sigaction(kept[i], &saved[i], nullptr);

    // OCCT reports statistics, warnings and parse errors on the console; every failure that matters
    // reaches the caller as a KernelError instead, so the console stays quiet.
    Message::DefaultMessenger()->ChangePrinters().Clear();
    return true;
}

}  // namespace

void initialise() {
    static const bool done = install();
    (void)done;
}

void fail(const char *op, const std::string &why) { throw KernelError(std::string(op) + ": " + why); }

std::string describe(const Standard_Failure &failure) {
    std::string text = failure.DynamicType()->Name();
    const char *message = failure.GetMessageString();
    if (message && *message) text += std::string(" (") + message + ")";
    return text;
}

const TopoDS_Shape &require(const char *op, const Shape &shape, const char *what) {
    if (shape.is_null()) fail(op, std::string(what) + " is null");
    return shape.occ();
}

void require_positive(const char *op, double value, const char *what) {
    if (!std::isfinite(value) || value <= 0)
        fail(op, std::string(what) + " must be positive (got " + std::to_string(value) + ")");
}

gp_Pnt to_pnt(const Vec3 &v) { return gp_Pnt(v.x, v.y, v.z); }
gp_Vec to_vec(const Vec3 &v) { return gp_Vec(v.x, v.y, v.z); }

gp_Dir to_dir(const char *op, const Vec3 &v, const char *what) {
    const double length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    if (!std::isfinite(length) || length < 1e-12) fail(op, std::string(what) + " is a zero vector");
    return gp_Dir(v.x / length, v.y / length, v.z / length);
}

Vec3 to_vec3(const gp_Pnt &p) { return {p.X(), p.Y(), p.Z()}; }
Vec3 to_vec3(const gp_Vec &v) { return {v.X(), v.Y(), v.Z()}; }
Vec3 to_vec3(const gp_Dir &d) { return {d.X(), d.Y(), d.Z()}; }

Bnd_Box loose_box(const TopoDS_Shape &shape, double gap) {
    Bnd_Box box;
    BRepBndLib::Add(shape, box, false);
    if (gap > 0) box.Enlarge(gap);
    return box;
}

namespace {

// Faces taken over unchanged from valid operands stay valid: only the others are checked, and every
// shell must still be closed.
bool valid_solids(const TopoDS_Shape &result, const std::vector<TopoDS_Shape> &operands) {
    if (operands.empty()) return BRepCheck_Analyzer(result).IsValid() == Standard_True;
    TopTools_MapOfShape known;
    for (const TopoDS_Shape &operand : operands)
        for (TopExp_Explorer face(operand, TopAbs_FACE); face.More(); face.Next()) known.Add(face.Current());
    for (TopExp_Explorer face(result, TopAbs_FACE); face.More(); face.Next())
        if (!known.Contains(face.Current()) && !BRepCheck_Analyzer(face.Current()).IsValid()) return false;
    for (TopExp_Explorer shell(result, TopAbs_SHELL); shell.More(); shell.Next())
        if (BRepCheck_Shell(TopoDS::Shell(shell.Current())).Closed() != BRepCheck_NoError) return false;
    return true;
}

}  // namespace

Shape solid_result(const char *op, const TopoDS_Shape &result, const std::vector<TopoDS_Shape> &operands) {
    if (result.IsNull()) fail(op, "the kernel returned no shape");
    TopTools_IndexedMapOfShape solids;
    TopExp::MapShapes(result, TopAbs_SOLID, solids);
    if (solids.Extent() == 1) {
        const TopoDS_Shape &solid = solids(1);
        if (!valid_solids(solid, operands)) fail(op, "the result is not a valid solid");
        return Shape(solid);
    }
    TopoDS_Compound compound;
    BRep_Builder builder;
    builder.MakeCompound(compound);
    for (int i = 1; i <= solids.Extent(); ++i) builder.Add(compound, solids(i));
    if (solids.Extent() > 1 && !valid_solids(compound, operands))
        fail(op, "the result is not a valid set of solids");
    return Shape(compound);
}

Shape fresh_solid(const char *op, const TopoDS_Shape &result) {
    if (result.IsNull() || result.ShapeType() != TopAbs_SOLID) fail(op, "the kernel returned no solid");
    return Shape(result);
}

}  // namespace detail
}  // namespace diekit::kernel
