#ifndef NXOPEN_UGMATH_HXX_INCLUDED
#define NXOPEN_UGMATH_HXX_INCLUDED
namespace NXOpen {
struct Point3d {
    double X = 0, Y = 0, Z = 0;
    Point3d() = default;
    Point3d(double x, double y, double z) : X(x), Y(y), Z(z) {}
};
struct Vector3d {
    double X = 0, Y = 0, Z = 0;
    Vector3d() = default;
    Vector3d(double x, double y, double z) : X(x), Y(y), Z(z) {}
};
}  // namespace NXOpen
#endif
