#include "chong_zi_common.hpp"

#include <uf.h>
#include <uf_modl.h>
#include <uf_obj.h>

#include <string>

#include "dialog_frame.hpp"
#include "formpunch.hpp"
#include "placement.hpp"

using diekit::frame::ObjectList;
using diekit::frame::SizeText;
using diekit::frame::size_text;

namespace chong_zi {

CommonInput read_common_input(formpunch &dialog) {
    CommonInput input;
    input.curves = diekit::frame::selected_tags(dialog.edge_select0);
    input.plates = diekit::frame::selected_tags(dialog.selection0);
    input.jian_xi = diekit::frame::expression_value(dialog.expression0);
    return input;
}

Outline::Outline(const std::vector<tag_t> &curves) {
    for (const tag_t curve : curves) UF_MODL_put_list_item(edge_list.get(), curve);
}

int Outline::create(SizeText di, SizeText ding, double b, double t, ObjectList &features) const {
    char *limit[2] = {di.data(), ding.data()};
    char taper_angle[] = "0";
    double point[3] = {0.0, 0.0, b};
    double direction[3] = {0.0, 0.0, t - b};
    return UF_MODL_create_extruded(edge_list.get(), taper_angle, limit, point, direction, UF_NULLSIGN,
                                   features.out());
}

tag_t Outline::extrude(double start, double end, const Box &plate, ObjectList &features) const {
    create(size_text(start), size_text(end), plate[ZMIN], plate[ZMAX], features);
    return body_of(features.item(0));
}

tag_t Outline::extrude_through(const Box &plate, double reach, ObjectList &features) const {
    create(diekit::frame::size_text_down(plate[ZMIN] - reach), diekit::frame::size_text_up(plate[ZMAX] + reach),
           plate[ZMIN], plate[ZMAX], features);
    return body_of(features.item(0));
}

std::string Outline::problem() const {
    ObjectList features;
    const int status = create(size_text(0.0), size_text(1.0), 0.0, 1.0, features);
    if (status != 0) {
        char reason[133] = "";
        if (UF_get_fail_message(status, reason) != 0 || reason[0] == '\0')
            return "the host refused it (error " + std::to_string(status) + ")";
        return reason;
    }
    UF_OBJ_delete_object(body_of(features.item(0)));
    return "";
}

bool input_usable(const CommonInput &input, const Outline &outline) {
    if (input.curves.empty()) {
        diekit::frame::report_not_built("formpunch", "formpunch: select the curves of the punch outline; nothing was built");
        return false;
    }
    if (input.plates.empty()) {
        diekit::frame::report_not_built("formpunch", "formpunch: select the plates the punch passes through; nothing was built");
        return false;
    }
    const std::string problem = outline.problem();
    if (!problem.empty()) {
        diekit::frame::report_not_built("formpunch", "formpunch: the outline cannot be extruded: " + problem + "; nothing was built");
        return false;
    }
    return true;
}

Plates sort_and_split(const std::vector<tag_t> &plates) {
    Plates result;
    result.bodys = diekit::frame::order_plates(plates).bodys;
    for (const tag_t plate : result.bodys) {
        if (bounding_box(plate)[ZMAX] > 0)
            result.shang_mo.push_back(plate);
        else
            result.xia_mo.push_back(plate);
    }
    return result;
}

void cut_upper_openings(const Outline &outline, const std::vector<tag_t> &shang_mo) {
    for (const tag_t plate : shang_mo) {
        const Box bounding_box_mo_ban = bounding_box(plate);
        ObjectList features;
        const tag_t la_shen_ti = outline.extrude_through(bounding_box_mo_ban, 0, features);
        tag_t jian_qu = NULL_TAG;
        UF_MODL_subtract_bodies_with_retained_options(plate, la_shen_ti, false, false, &jian_qu);
    }
}

void cut_lower_openings(const Outline &outline, const std::vector<tag_t> &xia_mo, double jian_xi) {
    double counter = 0.0;
    for (const tag_t plate : xia_mo) {
        const Box bounding_box_mo_ban = bounding_box(plate);
        const double offset = jian_xi + counter;
        counter += 0.5;
        ObjectList features;
        outline.extrude_through(bounding_box_mo_ban, offset < 0 ? 1 - offset : 0, features);
        SizeText off = size_text(offset);
        tag_t offset_feature = NULL_TAG;
        UF_MODL_create_feature_offset(off.data(), features.get(), &offset_feature);
        tag_t jian_qu = NULL_TAG;
        UF_MODL_subtract_bodies_with_retained_options(plate, body_of(offset_feature), false, false, &jian_qu);
    }
}

tag_t create_punch_body(const Outline &outline, const Plates &plates) {
    const Box bounding_box_zui_gao = bounding_box(plates.bodys.front());
    ObjectList features;
    return outline.extrude(-1.0, bounding_box_zui_gao[ZMAX], bounding_box_zui_gao, features);
}

}  // namespace chong_zi
