// Measures and topology queries.
#include "uf/call.hpp"

#include <uf_modl.h>

using namespace diekit;
using namespace diekit::uf;

extern "C" {

int UF_MODL_ask_bounding_box(tag_t object, double bounding_box[6]) {
    if (bounding_box)
        for (int i = 0; i < 6; ++i) bounding_box[i] = 0;
    return call("UF_MODL_ask_bounding_box", [&] {
        require_pointer(bounding_box, "bounding box");
        auto box = kernel::bounding_box(store().shape_of(object, "object"));
        for (int i = 0; i < 6; ++i) bounding_box[i] = box[i];
    });
}

int UF_MODL_ask_point_containment(double point[3], tag_t body, int *pt_status) {
    if (pt_status) *pt_status = 0;
    return call("UF_MODL_ask_point_containment", [&] {
        require_pointer(pt_status, "status");
        kernel::Vec3 p = to_point(point, "point");
        model::Object &object = store().require(body, "object");
        const kernel::Shape &shape = store().shape_of(body, "object");
        if (object.kind == model::Kind::Body)
            *pt_status = kernel::classify(shape, p) == kernel::Where::Outside ? 2 : 1;
        else
            *pt_status = kernel::distance(shape, p) <= kernel::kTolerance ? 1 : 2;
    });
}

int UF_MODL_ask_body_faces(tag_t body, uf_list_p_t *face_list) {
    if (face_list) *face_list = nullptr;
    return call("UF_MODL_ask_body_faces", [&] {
        require_pointer(face_list, "face list");
        *face_list = make_list(store().face_tags(store().body(body)));
    });
}

int UF_MODL_ask_face_edges(tag_t face, uf_list_p_t *edge_list) {
    if (edge_list) *edge_list = nullptr;
    return call("UF_MODL_ask_face_edges", [&] {
        require_pointer(edge_list, "edge list");
        model::SubShape &f = store().face(face);
        model::Body &owner = store().body(f.body, "face's body");
        std::vector<tag_t> tags;
        for (auto &edge : kernel::edges(f.shape)) {
            tag_t tag = store().edge_tag(owner, edge);
            if (tag != NULL_TAG) tags.push_back(tag);
        }
        *edge_list = make_list(tags);
    });
}

int UF_MODL_ask_body_type(tag_t body_id, int *body_type) {
    if (body_type) *body_type = 0;
    return call("UF_MODL_ask_body_type", [&] {
        require_pointer(body_type, "body type");
        store().body(body_id);
        *body_type = UF_MODL_SOLID_BODY;
    });
}

}  // extern "C"
