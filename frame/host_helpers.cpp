#include "host_helpers.hpp"

#include <uf_csys.h>
#include <uf_mtx.h>
#include <uf_obj.h>
#include <uf_object_types.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace diekit::frame {

int ObjectList::count() const {
    int n = 0;
    if (m_list != nullptr) UF_MODL_ask_list_count(m_list, &n);
    return n;
}

tag_t ObjectList::item(int index) const {
    tag_t object = NULL_TAG;
    UF_MODL_ask_list_item(m_list, index, &object);
    return object;
}

SizeText size_text(double value) {
    SizeText text{};
    std::snprintf(text.data(), text.size(), "%f", value);
    return text;
}

SizeText size_text_down(double value) { return size_text(std::floor(value * 1e6) / 1e6); }
SizeText size_text_up(double value) { return size_text(std::ceil(value * 1e6) / 1e6); }

double trunc32(double value) {
    if (!(std::fabs(value) < 2147483648.0)) return 0.0;
    // A difference of two coordinates misses a whole number by rounding (-25.3 - -35.3 gives
    // 9.999999999999996): that is the whole number, not one less.
    const double whole = std::round(value);
    if (std::fabs(value - whole) <= 1e-9) return whole;
    return static_cast<double>(static_cast<std::int32_t>(value));
}

std::array<double, 6> bounding_box(tag_t object) {
    std::array<double, 6> box{};
    UF_MODL_ask_bounding_box(object, box.data());
    return box;
}

tag_t first_body_named(const char *name) {
    tag_t object = NULL_TAG;
    while (UF_OBJ_cycle_by_name(name, &object) == 0 && object != NULL_TAG) {
        int type = 0, subtype = 0;
        if (UF_OBJ_ask_type_and_subtype(object, &type, &subtype) == 0 && type == UF_solid_type &&
            subtype == UF_solid_body_subtype)
            return object;
    }
    return NULL_TAG;
}

tag_t body_of(tag_t feature) {
    tag_t body = NULL_TAG;
    UF_MODL_ask_feat_body(feature, &body);
    return body;
}

tag_t create_block(const double corner[3], SizeText &x_len, SizeText &y_len, SizeText &z_len) {
    double corner_pt[3] = {corner[0], corner[1], corner[2]};
    char *edge_len[3] = {x_len.data(), y_len.data(), z_len.data()};
    tag_t feature = NULL_TAG;
    UF_MODL_create_block1(UF_NULLSIGN, corner_pt, edge_len, &feature);
    return feature;
}

tag_t set_turned_wcs(const double origin[3], double angle, double *matrix) {
    const double z_axis[3] = {0, 0, 1};
    double mtx[9] = {};
    UF_MTX3_rotate_about_axis(z_axis, angle, mtx);
    if (matrix) std::copy(mtx, mtx + 9, matrix);
    tag_t matrix_id = NULL_TAG;
    UF_CSYS_create_matrix(mtx, &matrix_id);
    tag_t csys = NULL_TAG;
    UF_CSYS_create_temp_csys(origin, matrix_id, &csys);
    UF_CSYS_set_wcs(csys);
    UF_CSYS_set_wcs_display(1);
    return csys;
}

void set_absolute_wcs(const double *origin) {
    const double x_axis[3] = {1, 0, 0};
    const double y_axis[3] = {0, 1, 0};
    const double absolute_origin[3] = {0, 0, 0};
    double mtx[9] = {};
    UF_MTX3_initialize(x_axis, y_axis, mtx);
    tag_t matrix_id = NULL_TAG;
    UF_CSYS_create_matrix(mtx, &matrix_id);
    tag_t csys = NULL_TAG;
    UF_CSYS_create_temp_csys(origin ? origin : absolute_origin, matrix_id, &csys);
    UF_CSYS_set_wcs(csys);
}

AbsoluteWcs::AbsoluteWcs() {
    UF_CSYS_ask_wcs(&m_saved);
    set_absolute_wcs();
}

AbsoluteWcs::~AbsoluteWcs() {
    if (m_saved != NULL_TAG) UF_CSYS_set_wcs(m_saved);
}

}  // namespace diekit::frame
