#include "face_frame.hpp"

#include "dialog_frame.hpp"

#include <uf_csys.h>
#include <uf_modl.h>
#include <uf_mtx.h>
#include <uf_ui.h>

#include <algorithm>
#include <cmath>

namespace ya_ban {

FaceFrame face_frame(tag_t mian, const Box &bounding_box_mian, const Box &bounding_box_gu_ding_ban) {
    const Box &M = bounding_box_mian;
    FaceFrame frame;
    frame.origin[0] = (M[XMIN] + M[XMAX]) / 2;
    frame.origin[1] = (M[YMIN] + M[YMAX]) / 2;
    frame.origin[2] = bounding_box_gu_ding_ban[ZMIN];

    double parm[2] = {0, 0};
    double face_pnt[3] = {0, 0, 0};
    UF_MODL_ask_face_parm_2(mian, frame.origin, parm, face_pnt);
    double point[3], u1[3], v1[3], u2[3], v2[3], radii[2];
    UF_MODL_ask_face_props(mian, parm, point, u1, v1, u2, v2, frame.normal, radii);

    const double nx = frame.normal[0];
    const double ny = frame.normal[1];
    // A face whose normal has no part in the XY plane gives no direction to turn to.
    frame.horizontal = std::hypot(nx, ny) < 1e-9;
    if (frame.horizontal) return frame;
    frame.angle = std::atan(nx / ny);
    // The turned Y axis is (sin a, cos a, 0), which is the normal's direction or its opposite
    // depending on the signs of nx and ny (and on the sign of a zero ny); the plate must lie outside
    // the punch, so the side follows the axis, not the signs alone.
    frame.plate_on_plus_y = std::sin(frame.angle) * nx + std::cos(frame.angle) * ny > 0;
    return frame;
}

TurnedWcs::TurnedWcs(const FaceFrame &frame) { diekit::frame::set_turned_wcs(frame.origin, frame.angle); }

TurnedWcs::~TurnedWcs() { diekit::frame::set_absolute_wcs(); }

Point to_absolute(double x, double y, double z) {
    double local[3] = {x, y, z};
    Point absolute{{0, 0, 0}};
    UF_CSYS_map_point(UF_CSYS_ROOT_WCS_COORDS, local, UF_CSYS_WORK_COORDS, absolute.xyz);
    return absolute;
}

bool is_planar(tag_t mian) {
    double uv[4] = {0, 0, 0, 0};
    if (UF_MODL_ask_face_uv_minmax(mian, uv) != 0) return false;
    const double samples[5][2] = {{(uv[0] + uv[1]) / 2, (uv[2] + uv[3]) / 2},
                                  {uv[0], uv[2]}, {uv[1], uv[2]}, {uv[0], uv[3]}, {uv[1], uv[3]}};
    double first[3] = {0, 0, 0};
    for (int i = 0; i < 5; ++i) {
        double parm[2] = {samples[i][0], samples[i][1]};
        double point[3], u1[3], v1[3], u2[3], v2[3], normal[3] = {0, 0, 0}, radii[2];
        if (UF_MODL_ask_face_props(mian, parm, point, u1, v1, u2, v2, normal, radii) != 0) return false;
        if (i == 0) std::copy(normal, normal + 3, first);
        if (std::hypot(normal[0] - first[0], normal[1] - first[1], normal[2] - first[2]) > 1e-9) return false;
    }
    return true;
}

std::optional<FaceFrame> side_face_frame(tag_t mian, const Box &bounding_box_mian, const Box &bounding_box_gu_ding_ban) {
    // On a curved face the plate would follow the normal at one point and cross the punch.
    if (!is_planar(mian)) {
        uc1601("tiltplate: no retainer plate was built: the selected face must be a flat side face of the punch", 1);
        return std::nullopt;
    }
    const FaceFrame frame = face_frame(mian, bounding_box_mian, bounding_box_gu_ding_ban);
    if (!frame.horizontal) return frame;
    diekit::frame::report_not_built(
        "tiltplate", "tiltplate: no retainer plate was built: the selected face must be a side face of the punch");
    return std::nullopt;
}

std::optional<TiltInputs> tilt_inputs(const std::vector<tag_t> &mian_list, const std::vector<tag_t> &bodys_chong_zi) {
    const auto plates = named_plates("tiltplate", {{mian_list.empty(), "select the punch face that the plate is to hold"},
                                                   {bodys_chong_zi.empty(), "select the punch body"}});
    if (!plates) return std::nullopt;
    TiltInputs inputs;
    inputs.mian = mian_list.front();
    inputs.chong_zi = bodys_chong_zi.front();
    inputs.plates = *plates;
    const Box bounding_box_gu_ding_ban = bounding_box(plates->gu_ding_ban);
    const auto frame = side_face_frame(inputs.mian, bounding_box(inputs.mian), bounding_box_gu_ding_ban);
    if (!frame) return std::nullopt;
    inputs.frame = *frame;
    inputs.ran_wei_z = bounding_box(plates->dian_ban)[ZMAX] - 8 - bounding_box_gu_ding_ban[ZMIN];
    return inputs;
}

}  // namespace ya_ban
