// Matrices, coordinate systems and the work coordinate system.
#include "uf/call.hpp"

#include <uf_csys.h>
#include <uf_curve.h>
#include <uf_mtx.h>

#include <cmath>

using namespace diekit;
using namespace diekit::uf;
using kernel::Vec3;

namespace {

double dot(const Vec3 &a, const Vec3 &b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec3 cross(const Vec3 &a, const Vec3 &b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
Vec3 scaled(const Vec3 &a, double s) { return {a.x * s, a.y * s, a.z * s}; }
Vec3 minus(const Vec3 &a, const Vec3 &b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3 plus(const Vec3 &a, const Vec3 &b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
double norm(const Vec3 &a) { return std::sqrt(dot(a, a)); }

Vec3 unit(const Vec3 &a, const char *what) {
    double n = norm(a);
    if (n < 1e-12) throw HostError(kErrBadValue, std::string(what) + " is the zero vector");
    return scaled(a, 1.0 / n);
}

// Rows X, Y, Z of a matrix as a frame at the origin; the rows must be orthonormal.
kernel::Frame frame_of(const double m[9], const Vec3 &origin) {
    kernel::Frame frame;
    frame.origin = origin;
    frame.x = {m[0], m[1], m[2]};
    frame.y = {m[3], m[4], m[5]};
    frame.z = {m[6], m[7], m[8]};
    const Vec3 *axes[3] = {&frame.x, &frame.y, &frame.z};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            if (std::abs(dot(*axes[i], *axes[j]) - (i == j ? 1.0 : 0.0)) > 1e-9)
                throw HostError(kErrBadValue, "matrix rows are not orthonormal");
    if (dot(cross(frame.x, frame.y), frame.z) < 0) throw HostError(kErrBadValue, "matrix is not right-handed");
    return frame;
}

}  // namespace

extern "C" {

int UF_MTX3_initialize(const double x_vec[3], const double y_vec[3], double mtx[9]) {
    if (mtx)
        for (int i = 0; i < 9; ++i) mtx[i] = 0;
    return call("UF_MTX3_initialize", [&] {
        require_pointer(mtx, "matrix");
        Vec3 x = unit(to_vec(x_vec), "x vector");
        Vec3 y = to_vec(y_vec);
        y = unit(minus(y, scaled(x, dot(x, y))), "y vector (parallel to x)");
        Vec3 z = cross(x, y);
        double values[9] = {x.x, x.y, x.z, y.x, y.y, y.z, z.x, z.y, z.z};
        for (int i = 0; i < 9; ++i) mtx[i] = values[i];
    });
}

int UF_MTX3_rotate_about_axis(const double rotation_axis[3], double rotation_angle, double mtx[9]) {
    if (mtx)
        for (int i = 0; i < 9; ++i) mtx[i] = 0;
    return call("UF_MTX3_rotate_about_axis", [&] {
        require_pointer(mtx, "matrix");
        Vec3 a = unit(to_vec(rotation_axis), "rotation axis");
        if (!std::isfinite(rotation_angle)) throw HostError(kErrBadValue, "angle is not finite");
        double c = std::cos(rotation_angle), s = std::sin(rotation_angle), t = 1 - c;
        // Rodrigues' rotation matrix; rows are the rotated frame's axes as the platform gives them.
        double values[9] = {t * a.x * a.x + c,       t * a.x * a.y - s * a.z, t * a.x * a.z + s * a.y,
                            t * a.x * a.y + s * a.z, t * a.y * a.y + c,       t * a.y * a.z - s * a.x,
                            t * a.x * a.z - s * a.y, t * a.y * a.z + s * a.x, t * a.z * a.z + c};
        for (int i = 0; i < 9; ++i) mtx[i] = values[i];
    });
}

int UF_CSYS_create_matrix(const double matrix_values[9], tag_t *matrix_id) {
    if (matrix_id) *matrix_id = NULL_TAG;
    return call("UF_CSYS_create_matrix", [&] {
        require_pointer(matrix_values, "matrix values");
        require_pointer(matrix_id, "matrix");
        frame_of(matrix_values, {});
        *matrix_id = store().add_matrix(matrix_values).tag;
    });
}

static int create_csys(const char *function, const double origin[3], tag_t matrix_id, tag_t *csys_id,
                       bool temporary) {
    if (csys_id) *csys_id = NULL_TAG;
    return call(function, [&] {
        require_pointer(csys_id, "coordinate system");
        Vec3 o = to_point(origin, "origin");
        auto &matrix = store().matrix(matrix_id);
        *csys_id = store().add_csys(frame_of(matrix.values, o), matrix_id, temporary).tag;
    });
}

int UF_CSYS_create_temp_csys(const double csys_origin[3], tag_t matrix_id, tag_t *csys_id) {
    return create_csys("UF_CSYS_create_temp_csys", csys_origin, matrix_id, csys_id, true);
}

int UF_CSYS_create_csys(const double csys_origin[3], tag_t matrix_id, tag_t *csys_id) {
    return create_csys("UF_CSYS_create_csys", csys_origin, matrix_id, csys_id, false);
}

int UF_CSYS_set_wcs(tag_t csys_id) {
    return call("UF_CSYS_set_wcs", [&] { store().set_wcs(store().csys(csys_id).frame); });
}

int UF_CSYS_ask_wcs(tag_t *wcs_id) {
    if (wcs_id) *wcs_id = NULL_TAG;
    return call("UF_CSYS_ask_wcs", [&] {
        require_pointer(wcs_id, "wcs");
        const kernel::Frame &w = store().wcs();
        double values[9] = {w.x.x, w.x.y, w.x.z, w.y.x, w.y.y, w.y.z, w.z.x, w.z.y, w.z.z};
        tag_t matrix = store().add_matrix(values).tag;
        *wcs_id = store().add_csys(w, matrix, true).tag;
    });
}

int UF_CSYS_ask_csys_info(tag_t csys_id, tag_t *matrix_id, double csys_origin[3]) {
    if (matrix_id) *matrix_id = NULL_TAG;
    return call("UF_CSYS_ask_csys_info", [&] {
        require_pointer(matrix_id, "matrix");
        require_pointer(csys_origin, "origin");
        auto &csys = store().csys(csys_id);
        *matrix_id = csys.matrix;
        from_vec(csys.frame.origin, csys_origin);
    });
}

int UF_CSYS_ask_matrix_values(tag_t matrix_id, double matrix_values[9]) {
    return call("UF_CSYS_ask_matrix_values", [&] {
        require_pointer(matrix_values, "matrix values");
        auto &matrix = store().matrix(matrix_id);
        for (int i = 0; i < 9; ++i) matrix_values[i] = matrix.values[i];
    });
}

int UF_CSYS_set_wcs_display(int display_status) {
    return call("UF_CSYS_set_wcs_display", [&] {
        if (display_status != 0 && display_status != 1)
            throw HostError(kErrBadValue, "display status " + std::to_string(display_status) + " is not 0 or 1");
        store().set_wcs_shown(display_status == 1);
    });
}

int UF_CSYS_map_point(int input_csys, double input_point[3], int output_csys, double output_point[3]) {
    if (output_point)
        for (int i = 0; i < 3; ++i) output_point[i] = 0;
    return call("UF_CSYS_map_point", [&] {
        require_pointer(output_point, "output point");
        for (int code : {input_csys, output_csys})
            if (code < UF_CSYS_ROOT_COORDS || code > UF_CSYS_ROOT_WCS_COORDS)
                throw HostError(kErrBadValue, "coordinate system code " + std::to_string(code) + " is not 1, 2 or 3");
        Vec3 p = to_point(input_point, "point");
        const kernel::Frame &w = store().wcs();
        if (input_csys == UF_CSYS_ROOT_WCS_COORDS)
            p = plus(w.origin, plus(scaled(w.x, p.x), plus(scaled(w.y, p.y), scaled(w.z, p.z))));
        if (output_csys == UF_CSYS_ROOT_WCS_COORDS) {
            Vec3 d = minus(p, w.origin);
            p = {dot(d, w.x), dot(d, w.y), dot(d, w.z)};
        }
        from_vec(p, output_point);
    });
}

int UF_CURVE_ask_line_data(tag_t line, UF_CURVE_line_p_t line_coords) {
    if (line_coords)
        for (int i = 0; i < 3; ++i) line_coords->start_point[i] = line_coords->end_point[i] = 0;
    return call("UF_CURVE_ask_line_data", [&] {
        require_pointer(line_coords, "line data");
        model::Object &object = store().require(line, "line");
        if (object.kind != model::Kind::Curve && object.kind != model::Kind::Edge)
            throw HostError(kErrWrongKind, "tag " + std::to_string(line) + " is not a curve or edge");
        auto data = kernel::line_data(store().shape_of(line));
        if (!data.straight)
            throw HostError(kErrWrongKind, std::string(model::kind_name(object.kind)) + " " + std::to_string(line) +
                                               " is not a straight line");
        from_vec(data.start, line_coords->start_point);
        from_vec(data.end, line_coords->end_point);
    });
}

int UF_CURVE_create_line(UF_CURVE_line_p_t line_coords, tag_t *line) {
    if (line) *line = NULL_TAG;
    return call("UF_CURVE_create_line", [&] {
        require_pointer(line_coords, "line data");
        require_pointer(line, "line");
        *line = store().add_curve(kernel::make_line(to_point(line_coords->start_point, "start point"), to_point(line_coords->end_point, "end point"))).tag;
    });
}

}  // extern "C"
