// Face parameter queries and boxes aligned with a coordinate system.
#include "kernel/faces.hpp"
#include "uf/call.hpp"

#include <uf_modl.h>

#include <cmath>
#include <string>

using namespace diekit;
using namespace diekit::uf;

namespace {

constexpr double kAlignedBoxExpansion = 0.1;  // each side, part units

void zero(double *values, int count) {
    if (values)
        for (int i = 0; i < count; ++i) values[i] = 0;
}

}  // namespace

extern "C" {

int UF_MODL_ask_face_uv_minmax(tag_t face_tag, double uv_min_max[4]) {
    zero(uv_min_max, 4);
    return call("UF_MODL_ask_face_uv_minmax", [&] {
        require_pointer(uv_min_max, "uv_min_max");
        const auto bounds = kernel::uv_bounds(store().face(face_tag).shape);
        uv_min_max[0] = bounds.umin;
        uv_min_max[1] = bounds.umax;
        uv_min_max[2] = bounds.vmin;
        uv_min_max[3] = bounds.vmax;
    });
}

int UF_MODL_ask_face_props(tag_t face_id, double param[2], double point[3], double u1[3], double v1[3],
                           double u2[3], double v2[3], double unit_norm[3], double radii[2]) {
    for (double *out : {point, u1, v1, u2, v2, unit_norm}) zero(out, 3);
    zero(radii, 2);
    return call("UF_MODL_ask_face_props", [&] {
        require_pointer(param, "param");
        for (const double *out : {point, u1, v1, u2, v2, unit_norm, radii})
            require_pointer(out, "an output array");
        if (!std::isfinite(param[0]) || !std::isfinite(param[1]))
            throw HostError(kErrBadValue, "face parameters are not finite");
        const model::SubShape &face = store().face(face_id);
        kernel::SurfaceProps props;
        try {
            props = kernel::surface_props(face.shape, param[0], param[1]);
        } catch (const kernel::KernelError &e) {
            // Parameters outside the face are the caller's mistake, not a kernel failure.
            throw HostError(kErrBadValue, e.what());
        }
        from_vec(props.point, point);
        from_vec(props.du, u1);
        from_vec(props.dv, v1);
        from_vec(props.d2u, u2);
        from_vec(props.d2v, v2);
        from_vec(props.normal, unit_norm);
        radii[0] = props.radii[0];
        radii[1] = props.radii[1];
    });
}

int UF_MODL_ask_bounding_box_aligned(tag_t object, tag_t csys_tag, logical expand, double min_corner[3],
                                     double directions[3][3], double distances[3]) {
    zero(min_corner, 3);
    if (directions)
        for (int i = 0; i < 3; ++i) zero(directions[i], 3);
    zero(distances, 3);
    return call("UF_MODL_ask_bounding_box_aligned", [&] {
        require_pointer(min_corner, "min_corner");
        require_pointer(directions, "directions");
        require_pointer(distances, "distances");
        const kernel::Shape &shape = store().shape_of(object, "object");
        const kernel::Frame frame = csys_tag == NULL_TAG ? store().wcs() : store().csys(csys_tag).frame;
        kernel::Box box = kernel::bounding_box_in(shape, frame);
        if (expand) {
            for (int i = 0; i < 3; ++i) {
                box[i] -= kAlignedBoxExpansion;
                box[i + 3] += kAlignedBoxExpansion;
            }
        }
        const kernel::Vec3 axes[3] = {frame.x, frame.y, frame.z};
        kernel::Vec3 corner = frame.origin;
        for (int j = 0; j < 3; ++j) {
            corner = {corner.x + axes[j].x * box[j], corner.y + axes[j].y * box[j], corner.z + axes[j].z * box[j]};
            from_vec(axes[j], directions[j]);
            distances[j] = box[j + 3] - box[j];
        }
        from_vec(corner, min_corner);
    });
}

}  // extern "C"
