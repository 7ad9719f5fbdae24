// Standard-part import, groups and scaling.
#include "kernel/transform.hpp"
#include "library/importer.hpp"
#include "library/stretch.hpp"
#include "uf/call.hpp"

#include <uf_group.h>
#include <uf_modl.h>
#include <uf_part.h>

#include <cmath>
#include <algorithm>
#include <cstring>

using namespace diekit;
using namespace diekit::uf;

namespace {

// The destination frame: X and Y as given (Y made orthogonal), Z = X × Y.
kernel::Frame destination(const double axes[6], const double point[3]) {
    require_pointer(axes, "destination axes");
    kernel::Vec3 x = to_vec(axes), y = to_vec(axes + 3);
    double nx = std::hypot(x.x, x.y, x.z);
    if (nx < 1e-12) throw HostError(kErrBadValue, "destination X axis is the zero vector");
    x = {x.x / nx, x.y / nx, x.z / nx};
    double d = x.x * y.x + x.y * y.y + x.z * y.z;
    y = {y.x - d * x.x, y.y - d * x.y, y.z - d * x.z};
    double ny = std::hypot(y.x, y.y, y.z);
    if (ny < 1e-12) throw HostError(kErrBadValue, "destination Y axis is zero or parallel to X");
    y = {y.x / ny, y.y / ny, y.z / ny};
    kernel::Frame frame;
    frame.origin = to_point(point, "destination point");
    frame.x = x;
    frame.y = y;
    frame.z = {x.y * y.z - x.z * y.y, x.z * y.x - x.x * y.z, x.x * y.y - x.y * y.x};
    return frame;
}

// The body's box after the scale must stay in the model range: its eight corners, scaled about the
// frame along its axes, bound the scaled body.
void check_scaled_box(const kernel::Box &box, const model::ScaleStep &step) {
    const kernel::Frame &f = step.about;
    const kernel::Vec3 axes[3] = {f.x, f.y, f.z};
    for (int corner = 0; corner < 8; ++corner) {
        const kernel::Vec3 p{box[(corner & 1) ? 3 : 0], box[(corner & 2) ? 4 : 1], box[(corner & 4) ? 5 : 2]};
        const kernel::Vec3 d{p.x - f.origin.x, p.y - f.origin.y, p.z - f.origin.z};
        kernel::Vec3 q = f.origin;
        for (int j = 0; j < 3; ++j) {
            const double along = (d.x * axes[j].x + d.y * axes[j].y + d.z * axes[j].z) * step.factors[j];
            q = {q.x + axes[j].x * along, q.y + axes[j].y * along, q.z + axes[j].z * along};
        }
        model::check_point(q, "the scaled body's corner");
    }
}

}  // namespace

extern "C" {

int UF_PART_import(const char *file_name, UF_import_part_modes_t *modes, double dest_csys[6], double dest_point[3],
                   double scale, tag_t *group) {
    if (group) *group = NULL_TAG;
    return call("UF_PART_import", [&] {
        require_session("UF_PART_import");
        require_pointer(file_name, "file name");
        require_pointer(modes, "import modes");
        require_pointer(group, "group");
        model::check_factor(scale, "scale");
        *group = library::import_part(store(), file_name, destination(dest_csys, dest_point), scale).tag;
    });
}

int UF_GROUP_ask_group_data(const tag_t group_tag, tag_t **group_members, int *count_of_members) {
    if (group_members) *group_members = nullptr;
    if (count_of_members) *count_of_members = 0;
    return call("UF_GROUP_ask_group_data", [&] {
        require_pointer(group_members, "members");
        require_pointer(count_of_members, "count");
        auto &members = store().group(group_tag).members;
        auto *array = static_cast<tag_t *>(store().allocate(sizeof(tag_t) * members.size()));
        std::copy(members.begin(), members.end(), array);  // memcpy from an empty vector's null data is undefined
        *group_members = array;
        *count_of_members = static_cast<int>(members.size());
    });
}

int UF_MODL_create_non_uni_scale(tag_t object, tag_t csys, char *scale_factors[3], tag_t *feature) {
    if (feature) *feature = NULL_TAG;
    return call("UF_MODL_create_non_uni_scale", [&] {
        require_session("UF_MODL_create_non_uni_scale");
        require_pointer(scale_factors, "scale factors");
        require_pointer(feature, "feature");
        model::Body &body = store().body(object);
        model::ScaleStep step;
        step.about = csys == NULL_TAG ? store().wcs() : store().csys(csys, "scale coordinate system").frame;
        for (int i = 0; i < 3; ++i) {
            step.factors[i] = length_value(scale_factors[i], "scale factor");
            model::check_factor(step.factors[i], "scale factor '" + std::string(scale_factors[i]) + "' =");
        }
        check_scaled_box(kernel::bounding_box(body.shape), step);
        // A member still as imported is rebuilt from its recipe, keeping its surfaces analytic.
        std::optional<kernel::Shape> rebuilt = library::rescaled_member(store(), body, step);
        kernel::Shape shape = rebuilt ? *rebuilt
                                      : kernel::scale(body.shape, step.about, step.factors[0], step.factors[1], step.factors[2]);
        store().set_shape(body, shape);
        body.scales.push_back(step);
        if (rebuilt) library::mark_built(store(), body);
        *feature = store().add_feature("SCALE", body, shape).tag;
    });
}

}  // extern "C"
