// The geometry kernel: every Open CASCADE call of the host lives behind this header.
// Shapes are values (cheap to copy, immutable); operations return new shapes and throw KernelError
// naming the operation when the kernel fails or produces an invalid solid.
#pragma once

#include <array>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

class TopoDS_Shape;

namespace diekit::kernel {

struct Vec3 {
    double x = 0, y = 0, z = 0;
};

// An orthonormal right-handed frame: origin and unit axes.
struct Frame {
    Vec3 origin{0, 0, 0};
    Vec3 x{1, 0, 0};
    Vec3 y{0, 1, 0};
    Vec3 z{0, 0, 1};
};

// xmin, ymin, zmin, xmax, ymax, zmax.
using Box = std::array<double, 6>;

class KernelError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

namespace detail {
struct ShapeData;
}

// A shape value. A cut of a small tool from a large solid may be held back (the solid and its tools
// are kept) and run in one pass when the B-rep is first needed, so that many small cuts from one
// plate cost a single boolean; occ() gives the B-rep and runs any held-back cut.
class Shape {
public:
    Shape();
    explicit Shape(const TopoDS_Shape &shape);
    explicit Shape(std::shared_ptr<detail::ShapeData> data);
    bool is_null() const;
    const TopoDS_Shape &occ() const;  // for kernel sources only
    detail::ShapeData *data() const { return m_data.get(); }

private:
    std::shared_ptr<detail::ShapeData> m_data;
};

// Model tolerance for "on" tests and touching.
constexpr double kTolerance = 1e-6;

// ---- solids ----
// Block with edges along the frame's axes from an absolute corner; lengths must be > 0.
Shape make_box(const Frame &frame, const Vec3 &corner, double dx, double dy, double dz);
// Cylinder from the centre of its base along axis; height and diameter > 0.
Shape make_cylinder(const Vec3 &base, const Vec3 &axis, double height, double diameter);
// Polygon outline in a plane z = const (only x, y used), extruded from z0 to z1 (z0 < z1).
Shape make_prism(const std::vector<Vec3> &outline, double z0, double z1);

// ---- curves ----
Shape make_line(const Vec3 &start, const Vec3 &end);
Shape make_circle(const Vec3 &centre, const Vec3 &normal, double radius);
// Arc from start through mid to end.
Shape make_arc(const Vec3 &start, const Vec3 &mid, const Vec3 &end);

// ---- booleans: the result is one solid, a compound of solids when split, or an empty compound ----
Shape common(const Shape &a, const Shape &b);
Shape cut(const Shape &a, const Shape &b);
Shape fuse(const Shape &a, const Shape &b);

// ---- edge treatments on edges of body (edges must belong to body) ----
// Symmetric chamfer of distance d.
Shape chamfer_equal(const Shape &body, const std::vector<Shape> &edges, double d);
// Chamfer with distances d1, d2 (d1 on the first face of each edge).
Shape chamfer_two(const Shape &body, const std::vector<Shape> &edges, double d1, double d2);
// Chamfer with distance d and angle in degrees.
Shape chamfer_angle(const Shape &body, const std::vector<Shape> &edges, double d, double angle_deg);
Shape fillet(const Shape &body, const std::vector<Shape> &edges, double radius);

// ---- measures ----
// Tight box of the B-rep (no tolerance gap): exact for planar and analytic shapes.
Box bounding_box(const Shape &shape);
double volume(const Shape &shape);
double area(const Shape &shape);
int solid_count(const Shape &shape);
bool has_solid(const Shape &shape);    // at least one solid (answers a held-back cut without running it)
bool is_empty(const Shape &shape);     // no solid, face, edge or vertex
bool is_valid(const Shape &shape);     // BRepCheck

// ---- topology (kernel's indexed-map order: deterministic) ----
std::vector<Shape> faces(const Shape &shape);
std::vector<Shape> edges(const Shape &shape);
bool is_same(const Shape &a, const Shape &b);
// Edges of body that lie along edges of reference (used to find a feature's edges after later changes).
std::vector<Shape> edges_lying_on(const Shape &body, const Shape &reference);

enum class ShapeKind { Solid, Compound, Face, Edge, Vertex, Wire, Shell, Other };
ShapeKind kind(const Shape &shape);

// ---- point and pair tests ----
double distance(const Shape &shape, const Vec3 &point);
double distance(const Shape &a, const Shape &b);
enum class Where { Inside, On, Outside };
// Classifies a point against a solid (or compound of solids) with tolerance kTolerance.
Where classify(const Shape &solid, const Vec3 &point);
enum class Interference { Shared, Apart, Touching };
Interference interference(const Shape &a, const Shape &b);

// ---- curves and faces ----
struct LineData {
    bool straight = false;
    Vec3 start, end;
};
// End points of an edge (or line curve); straight = the edge is a straight line segment.
LineData line_data(const Shape &edge);
enum class CurveKind { Line, Circle, Other };
CurveKind curve_kind(const Shape &edge);

struct UvBounds {
    double umin, umax, vmin, vmax;
};
UvBounds uv_bounds(const Shape &face);
struct FaceProps {
    Vec3 point, du, dv, normal;  // normal oriented outward (face orientation applied)
};
FaceProps face_props(const Shape &face, double u, double v);

// ---- placement ----
// Moves a shape from the absolute frame into `to` (local x, y, z of the shape become to's axes).
Shape place(const Shape &shape, const Frame &to);

// ---- exchange ----
struct Rgb {
    double r = 0.7, g = 0.7, b = 0.7;
};
struct NamedShape {
    Shape shape;
    std::string name;
    Rgb color;
};
// Writes the shapes with names and colours as STEP AP214. Throws KernelError on failure.
void write_step(const std::string &path, const std::vector<NamedShape> &shapes);
// Reads the solids of a STEP file with their names and colours (default grey when absent).
std::vector<NamedShape> read_step(const std::string &path);

}  // namespace diekit::kernel
