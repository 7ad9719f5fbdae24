// Objects: types, cycling, colours, names, blank status, deletion.
#include "uf/call.hpp"

#include <uf_obj.h>
#include <uf_object_types.h>

using namespace diekit;
using namespace diekit::uf;
using model::Kind;

namespace {

void type_of(model::Object &object, int &type, int &subtype) {
    subtype = 0;
    switch (object.kind) {
    case Kind::Part: type = UF_part_type; break;
    case Kind::Body: type = UF_solid_type; break;
    case Kind::Face: type = UF_solid_type; subtype = UF_solid_face_subtype; break;
    case Kind::Edge: type = UF_solid_type; subtype = UF_solid_edge_subtype; break;
    case Kind::Curve:
        switch (kernel::curve_kind(static_cast<model::Curve &>(object).shape)) {
        case kernel::CurveKind::Line: type = UF_line_type; break;
        case kernel::CurveKind::Circle: type = UF_circle_type; break;
        default: type = UF_spline_type; break;
        }
        break;
    case Kind::Feature: type = UF_feature_type; break;
    case Kind::Group: type = UF_group_type; break;
    case Kind::Matrix: type = UF_matrix_type; break;
    case Kind::Csys: type = UF_coordinate_system_type; break;
    case Kind::Expression: type = UF_expression_type; break;
    }
}

// Next live object after `after` (tag order) that passes the test.
template <class Test>
tag_t next_object(tag_t after, Test test) {
    for (model::Object *object = store().next_after(after); object; object = store().next_after(object->tag))
        if (store().find(object->tag) && test(*object)) return object->tag;
    return NULL_TAG;
}

}  // namespace

extern "C" {

int UF_OBJ_cycle_objs_in_part(tag_t part_tag, int type, tag_t *object) {
    tag_t after = object ? *object : NULL_TAG;
    if (object) *object = NULL_TAG;
    return call("UF_OBJ_cycle_objs_in_part", [&] {
        require_pointer(object, "object");
        if (store().require(part_tag, "part").kind != Kind::Part)
            throw HostError(kErrWrongKind, "tag " + std::to_string(part_tag) + " is not a part");
        *object = next_object(after, [type](model::Object &candidate) {
            int t = 0, s = 0;
            type_of(candidate, t, s);
            return t == type;
        });
    });
}

int UF_OBJ_cycle_by_name(const char *name, tag_t *object) {
    tag_t after = object ? *object : NULL_TAG;
    if (object) *object = NULL_TAG;
    return call("UF_OBJ_cycle_by_name", [&] {
        require_pointer(name, "name");
        require_pointer(object, "object");
        std::string wanted = name;
        *object = next_object(after, [&wanted](model::Object &candidate) { return candidate.name == wanted; });
    });
}

int UF_OBJ_ask_type_and_subtype(tag_t object_id, int *type, int *subtype) {
    if (type) *type = 0;
    if (subtype) *subtype = 0;
    return call("UF_OBJ_ask_type_and_subtype", [&] {
        require_pointer(type, "type");
        require_pointer(subtype, "subtype");
        type_of(store().require(object_id, "object"), *type, *subtype);
    });
}

int UF_OBJ_set_color(tag_t object_id, int color) {
    return call("UF_OBJ_set_color", [&] {
        model::Object &object = store().require(object_id, "object");
        if (color < UF_OBJ_MIN_COLOR || color > UF_OBJ_MAX_COLOR)
            throw HostError(kErrBadValue, "colour " + std::to_string(color) + " outside 1..216");
        if (object.kind == Kind::Body)
            static_cast<model::Body &>(object).color = color;
        else if (object.kind == Kind::Curve)
            static_cast<model::Curve &>(object).color = color;
        else
            throw HostError(kErrWrongKind, std::string("a ") + model::kind_name(object.kind) + " has no colour");
    });
}

int UF_OBJ_set_name(tag_t object, const char *name) {
    return call("UF_OBJ_set_name", [&] {
        require_pointer(name, "name");
        store().require(object, "object").name = name;
    });
}

int UF_OBJ_set_blank_status(tag_t object_id, int blank_status) {
    return call("UF_OBJ_set_blank_status", [&] {
        if (blank_status != UF_OBJ_BLANKED && blank_status != UF_OBJ_NOT_BLANKED)
            throw HostError(kErrBadValue, "blank status " + std::to_string(blank_status) + " is not 0 or 1");
        store().body(object_id, "object").blanked = blank_status == UF_OBJ_BLANKED;
    });
}

int UF_OBJ_delete_object(tag_t object_id) {
    return call("UF_OBJ_delete_object", [&] {
        model::Object &object = store().require(object_id, "object");
        if (object.kind == Kind::Part || object.kind == Kind::Face || object.kind == Kind::Edge)
            throw HostError(kErrWrongKind, std::string("a ") + model::kind_name(object.kind) + " cannot be deleted");
        store().erase(object_id);
    });
}

}  // extern "C"
