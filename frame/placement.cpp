#include "placement.hpp"

#include <uf.h>
#include <uf_group.h>
#include <uf_modl.h>
#include <uf_ui.h>

#include <string>
#include <utility>

#include "dialog_frame.hpp"

namespace diekit::frame {

namespace {

enum { XMIN, YMIN, ZMIN, XMAX, YMAX, ZMAX };

double top_of(tag_t body) {
    double bounding_box[6] = {0, 0, 0, 0, 0, 0};
    UF_MODL_ask_bounding_box(body, bounding_box);
    return bounding_box[ZMAX];
}

double bottom_of(tag_t body) {
    double bounding_box[6] = {0, 0, 0, 0, 0, 0};
    UF_MODL_ask_bounding_box(body, bounding_box);
    return bounding_box[ZMIN];
}

}  // namespace

OrderedPlates order_plates(std::vector<tag_t> bodys) {
    OrderedPlates result;
    const std::size_t n = bodys.size();
    for (std::size_t i = 0; i < n; ++i) {
        double key = top_of(bodys[i]);
        for (std::size_t j = i + 1; j < n; ++j) {
            const double top = top_of(bodys[j]);
            result.t2 = top;
            result.compared = true;
            if (top > key) {
                std::swap(bodys[i], bodys[j]);
                key = top_of(bodys[i]);
            }
        }
        result.t1 = key;
    }
    result.bodys = std::move(bodys);
    return result;
}

bool decide_upward(const OrderedPlates &plates) {
    const double t2 = plates.compared ? plates.t2 : plates.t1;
    return plates.t1 + t2 > 0;
}

PartPlacement place_on_plates(const std::vector<tag_t> &bodys, const double point[3], MirrorSigns signs) {
    OrderedPlates ordered = order_plates(bodys);
    PartPlacement placement;
    placement.upward = decide_upward(ordered);
    placement.bodys = std::move(ordered.bodys);
    double anchor_z = 0;
    if (placement.upward) {
        anchor_z = top_of(placement.bodys.front());
    } else {
        // The plate ordered last (the lowest top); its bottom is the anchor even when another plate
        // reaches lower. The part is turned over about X: Y and therefore Z point the other way.
        anchor_z = bottom_of(placement.bodys.back());
        placement.dest_csys[4] = -1;
    }
    placement.dest_point[0] = signs.sx * point[0];
    placement.dest_point[1] = signs.sy * point[1];
    placement.dest_point[2] = anchor_z;
    return placement;
}

UF_import_part_modes_t standard_part_modes() {
    UF_import_part_modes_t modes = {1, 1, 0, 0, 1, false, false};
    return modes;
}

PlacementRequest read_placement_request(NXOpen::BlockStyler::SpecifyPoint *point0,
                                        NXOpen::BlockStyler::Enumeration *enum0,
                                        NXOpen::BlockStyler::ExpressionBlock *expression0,
                                        NXOpen::BlockStyler::SelectObject *selection0) {
    PlacementRequest request;
    require_block(point0);
    const NXOpen::Point3d p = point0->Point();
    request.point[0] = p.X;
    request.point[1] = p.Y;
    request.point[2] = p.Z;
    request.bodys = selected_tags(selection0);
    request.index = enum_index(enum0);
    request.length = expression_value(expression0);
    return request;
}

tag_t import_standard_part(const char *part_file, PartPlacement &placement) {
    UF_import_part_modes_t modes = standard_part_modes();
    tag_t group = NULL_TAG;
    UF_PART_import(part_file, &modes, placement.dest_csys, placement.dest_point, 1.0, &group);
    return group;
}

std::vector<tag_t> group_members_of(tag_t group) {
    tag_t *group_members = nullptr;
    int count_of_members = 0;
    UF_GROUP_ask_group_data(group, &group_members, &count_of_members);
    std::vector<tag_t> members;
    if (group_members != nullptr) {
        members.assign(group_members, group_members + count_of_members);
        UF_free(group_members);
    }
    return members;
}

void notify(const char *plugin, const char *text) {
    const std::string line = std::string(plugin) + ": " + text;
    uc1601(line.c_str(), 1);
}

}  // namespace diekit::frame
