// Extrusions of curve profiles and feature offsets.
#include "model/sweeps.hpp"
#include "uf/call.hpp"

#include <uf_modl.h>

#include <cmath>

using namespace diekit;
using namespace diekit::uf;

extern "C" {

int UF_MODL_create_extruded(uf_list_p_t objects, char *taper_angle, char *limit[2], double point[3],
                            double direction[3], UF_FEATURE_SIGN sign, uf_list_p_t *features) {
    (void)point;  // the limits are measured from the profile plane; the point plays no part
    if (features) *features = nullptr;
    return call("UF_MODL_create_extruded", [&] {
        require_session("UF_MODL_create_extruded");
        require_pointer(features, "feature list");
        std::vector<tag_t> profile = list_tags(objects, "profile list");
        const int s = static_cast<int>(sign);
        if (s < 0 || s > 2) throw HostError(kErrBadValue, "feature sign " + std::to_string(s) + " is not 0, 1 or 2");
        const double taper = length_value(taper_angle, "taper angle");
        if (!std::isfinite(taper) || std::abs(taper) > 1e-9)
            throw HostError(kErrBadValue, "taper angle '" + std::string(taper_angle) + "': only 0 is supported");
        require_pointer(limit, "limits");
        const double start = length_value(limit[0], "start limit");
        const double end = length_value(limit[1], "end limit");
        model::check_distance(start, "start limit");
        model::check_distance(end, "end limit");
        if (std::abs(end - start) < model::kMinLength)
            throw HostError(kErrBadValue, "the limits '" + std::string(limit[0]) + "' and '" + limit[1] +
                                              "' enclose no length of the model range (at least 1e-6 mm)");
        const kernel::Vec3 along = to_vec(direction);
        if (std::hypot(along.x, along.y, along.z) < 1e-12)
            throw HostError(kErrBadValue, "direction is the zero vector");
        model::Feature &feature = model::extrude(store(), profile, along, start, end, s);
        *features = make_list({feature.tag});
    });
}

int UF_MODL_create_feature_offset(char *offset, uf_list_p_t features, tag_t *feature_obj_id) {
    if (feature_obj_id) *feature_obj_id = NULL_TAG;
    return call("UF_MODL_create_feature_offset", [&] {
        require_session("UF_MODL_create_feature_offset");
        require_pointer(feature_obj_id, "feature");
        std::vector<tag_t> tags = list_tags(features, "feature list");
        const double distance = length_value(offset, "offset");
        model::check_distance(distance, "offset");
        *feature_obj_id = model::offset_features(store(), tags, distance).tag;
    });
}

}  // extern "C"
