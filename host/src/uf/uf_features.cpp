// Primitives, chamfers, booleans, features and parameter removal.
#include "model/modeling.hpp"
#include "uf/call.hpp"

#include <uf_modl.h>

#include <cmath>

using namespace diekit;
using namespace diekit::uf;

namespace {

int sign_of(UF_FEATURE_SIGN sign) {
    int value = static_cast<int>(sign);
    if (value < 0 || value > 2)
        throw HostError(kErrBadValue, "feature sign " + std::to_string(value) + " is not 0, 1 or 2");
    return value;
}

tag_t boolean(model::BooleanKind kind, tag_t target, tag_t tool, logical keep_target, logical keep_tool) {
    return model::boolean(store(), kind, target, tool, keep_target, keep_tool).tag;
}

}  // namespace

extern "C" {

int UF_MODL_create_block1(UF_FEATURE_SIGN sign, double corner_pt[3], char *edge_len[3], tag_t *blk_obj_id) {
    if (blk_obj_id) *blk_obj_id = NULL_TAG;
    return call("UF_MODL_create_block1", [&] {
        require_session("UF_MODL_create_block1");
        require_pointer(blk_obj_id, "feature");
        require_pointer(edge_len, "edge lengths");
        int s = sign_of(sign);
        kernel::Vec3 corner = to_point(corner_pt, "corner");
        double length[3];
        for (int i = 0; i < 3; ++i) length[i] = solid_length(edge_len[i], "edge length");
        auto box = kernel::make_box(store().wcs(), corner, length[0], length[1], length[2]);
        *blk_obj_id = model::signed_feature(store(), "BLOCK", box, s).tag;
    });
}

int UF_MODL_create_cyl1(UF_FEATURE_SIGN sign, double origin[3], char *height, char *diam, double direction[3],
                        tag_t *cyl_obj_id) {
    if (cyl_obj_id) *cyl_obj_id = NULL_TAG;
    return call("UF_MODL_create_cyl1", [&] {
        require_session("UF_MODL_create_cyl1");
        require_pointer(cyl_obj_id, "feature");
        int s = sign_of(sign);
        kernel::Vec3 base = to_point(origin, "origin");
        kernel::Vec3 axis = to_vec(direction);
        double h = solid_length(height, "height");
        double d = solid_length(diam, "diameter");
        if (std::hypot(axis.x, axis.y, axis.z) < 1e-12) throw HostError(kErrBadValue, "direction is the zero vector");
        *cyl_obj_id = model::signed_feature(store(), "CYLINDER", kernel::make_cylinder(base, axis, h, d), s).tag;
    });
}

int UF_MODL_create_chamfer(int subtype, char *offset1, char *offset2, char *theta, uf_list_p_t edges,
                           tag_t *feature_obj_id) {
    if (feature_obj_id) *feature_obj_id = NULL_TAG;
    return call("UF_MODL_create_chamfer", [&] {
        require_session("UF_MODL_create_chamfer");
        require_pointer(feature_obj_id, "feature");
        if (subtype < 1 || subtype > 3)
            throw HostError(kErrBadValue, "chamfer subtype " + std::to_string(subtype) + " is not 1, 2 or 3");
        auto tags = list_tags(edges, "edge list");
        double o1 = solid_length(offset1, "offset1");
        double o2 = subtype == 2 ? solid_length(offset2, "offset2") : o1;
        double angle = subtype == 3 ? length_value(theta, "angle") : 45.0;
        auto kind = static_cast<model::ChamferKind>(subtype);
        *feature_obj_id = model::chamfer(store(), tags, kind, o1, o2, angle).tag;
    });
}

int UF_MODL_unite_bodies(tag_t target, tag_t tool) {
    return call("UF_MODL_unite_bodies", [&] {
        require_session("UF_MODL_unite_bodies");
        model::unite(store(), target, tool);
    });
}

int UF_MODL_subtract_bodies_with_retained_options(tag_t original_target, tag_t original_tool,
                                                  logical retain_target_body, logical retain_tool_body,
                                                  tag_t *frec_eid) {
    if (frec_eid) *frec_eid = NULL_TAG;
    return call("UF_MODL_subtract_bodies_with_retained_options", [&] {
        require_session("UF_MODL_subtract_bodies_with_retained_options");
        require_pointer(frec_eid, "feature");
        *frec_eid = boolean(model::BooleanKind::Subtract, original_target, original_tool, retain_target_body,
                            retain_tool_body);
    });
}

int UF_MODL_intersect_bodies_with_retained_options(tag_t original_target, tag_t original_tool,
                                                   logical retain_target_body, logical retain_tool_body,
                                                   tag_t *frec_eid) {
    if (frec_eid) *frec_eid = NULL_TAG;
    return call("UF_MODL_intersect_bodies_with_retained_options", [&] {
        require_session("UF_MODL_intersect_bodies_with_retained_options");
        require_pointer(frec_eid, "feature");
        *frec_eid = boolean(model::BooleanKind::Intersect, original_target, original_tool, retain_target_body,
                            retain_tool_body);
    });
}

int UF_MODL_delete_object_parms(uf_list_p_t object_list) {
    return call("UF_MODL_delete_object_parms", [&] {
        require_session("UF_MODL_delete_object_parms");
        model::remove_parameters(store(), list_tags(object_list, "object list"));
    });
}

int UF_MODL_ask_feat_body(tag_t feature_obj_id, tag_t *body_obj_id) {
    if (body_obj_id) *body_obj_id = NULL_TAG;
    return call("UF_MODL_ask_feat_body", [&] {
        require_pointer(body_obj_id, "body");
        tag_t body = store().feature(feature_obj_id).body;
        store().body(body, "feature's body");
        *body_obj_id = body;
    });
}

int UF_MODL_ask_feat_edges(tag_t feature_obj_id, uf_list_p_t *object_list) {
    if (object_list) *object_list = nullptr;
    return call("UF_MODL_ask_feat_edges", [&] {
        require_pointer(object_list, "edge list");
        *object_list = make_list(model::feature_edges(store(), store().feature(feature_obj_id)));
    });
}

}  // extern "C"
