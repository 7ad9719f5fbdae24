#include "ya_ban_steps.hpp"

#include "dialog_frame.hpp"
#include "placement.hpp"

#include <uf.h>
#include <uf_group.h>
#include <uf_modl.h>
#include <uf_obj.h>
#include <uf_part.h>
#include <uf_ui.h>

#include <cstdio>
#include <stdexcept>

namespace ya_ban {

tag_t create_cylinder(const double origin[3], const char *height, const char *diameter) {
    double base[3] = {origin[0], origin[1], origin[2]};
    double direction[3] = {0.0, 0.0, 1.0};
    SizeText gao{};
    SizeText zhi_jing{};
    // The host takes writable texts; the literal sizes are copied into buffers of our own.
    std::snprintf(gao.data(), gao.size(), "%s", height);
    std::snprintf(zhi_jing.data(), zhi_jing.size(), "%s", diameter);
    tag_t feature = NULL_TAG;
    UF_MODL_create_cyl1(UF_NULLSIGN, base, gao.data(), zhi_jing.data(), direction, &feature);
    return feature;
}

void subtract(tag_t target, tag_t tool, bool keep_tool) {
    tag_t frec_eid = NULL_TAG;
    UF_MODL_subtract_bodies_with_retained_options(target, tool, false, keep_tool, &frec_eid);
}

const ScrewSize &screw_size(int index) {
    static const ScrewSize table[3] = {
        {"3.5", "7", "D:\\DIELIB\\STANDARD\\chong zi ya ban\\M3X10.prt"},
        {"4.5", "9", "D:\\DIELIB\\STANDARD\\chong zi ya ban\\M4X12.prt"},
        {"5.5", "11", "D:\\DIELIB\\STANDARD\\chong zi ya ban\\M5X16.prt"},
    };
    if (index < 0 || index > 2) throw std::out_of_range("screw size " + std::to_string(index) + " is not 0, 1 or 2");
    return table[index];
}

tag_t import_screw(const char *part_file, const double point[3], tag_t gu_ding_ban) {
    UF_import_part_modes_t modes = diekit::frame::standard_part_modes();
    double dest_csys[6] = {1.0, 0.0, 0.0, 0.0, 1.0, 0.0};
    double dest_point[3] = {point[0], point[1], point[2]};
    tag_t group = NULL_TAG;
    UF_PART_import(part_file, &modes, dest_csys, dest_point, 1.0, &group);

    const std::vector<tag_t> members = diekit::frame::group_members_of(group);
    const tag_t luo_ding = members.empty() ? NULL_TAG : members.front();
    subtract(gu_ding_ban, luo_ding, true);
    return luo_ding;
}

// Chamfers every edge of the disc feature 0.3 x 45 degrees; the hole is still a separate body, so
// only the disc's own circular edges are touched.
void chamfer_disc(tag_t yuan_pan) {
    diekit::frame::ObjectList edge_list;
    UF_MODL_ask_feat_edges(yuan_pan, edge_list.out());
    diekit::frame::ObjectList edge_list_dao_jiao(diekit::frame::new_empty_list);
    const int count = edge_list.count();
    for (int i = 0; i < count; ++i) UF_MODL_put_list_item(edge_list_dao_jiao.get(), edge_list.item(i));
    char pian_yi[] = "0.3";
    char jiao_du[] = "45";
    tag_t dao_jiao = NULL_TAG;
    UF_MODL_create_chamfer(1, pian_yi, pian_yi, jiao_du, edge_list_dao_jiao.get(), &dao_jiao);
}

bool report_missing(const char *plugin, const std::vector<Missing> &inputs) {
    std::string text;
    for (const Missing &input : inputs) {
        if (!input.condition) continue;
        text += text.empty() ? std::string(plugin) + ": no retainer plate was built: " : "; ";
        text += input.what;
    }
    if (text.empty()) return false;
    diekit::frame::report_not_built(plugin, text);
    return true;
}

std::optional<NamedPlates> named_plates(const char *plugin, std::vector<Missing> inputs) {
    NamedPlates plates{diekit::frame::first_body_named("gu_ding_ban"), diekit::frame::first_body_named("dian_ban")};
    inputs.push_back({plates.gu_ding_ban == NULL_TAG, "the part has no body named gu_ding_ban (fixed plate)"});
    inputs.push_back({plates.dian_ban == NULL_TAG, "the part has no body named dian_ban (backing plate)"});
    if (report_missing(plugin, inputs)) return std::nullopt;
    return plates;
}

std::optional<PunchInputs> punch_inputs(const char *plugin, const std::vector<tag_t> &bodys_chong_zi) {
    const auto plates = named_plates(plugin, {{bodys_chong_zi.empty(), "select the punch body"}});
    if (!plates) return std::nullopt;
    PunchInputs inputs;
    inputs.chong_zi = bodys_chong_zi.front();
    inputs.plates = *plates;
    inputs.P = bounding_box(inputs.chong_zi);
    inputs.Pxc = (inputs.P[XMIN] + inputs.P[XMAX]) / 2;
    inputs.Pyc = (inputs.P[YMIN] + inputs.P[YMAX]) / 2;
    inputs.gu_ding_ban_zmin = bounding_box(plates->gu_ding_ban)[ZMIN];
    return inputs;
}

}  // namespace ya_ban
