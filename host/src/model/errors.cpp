#include "model/errors.hpp"

namespace diekit {

const char *error_code_text(int code) {
    switch (code) {
    case kErrNotInitialized: return "called outside UF_initialize ... UF_terminate";
    case kErrNullArgument: return "a required argument is NULL";
    case kErrNullTag: return "null tag";
    case kErrStaleTag: return "tag of no live object";
    case kErrWrongKind: return "object of the wrong kind";
    case kErrBadValue: return "value cannot be used";
    case kErrGeometry: return "geometry operation failed";
    case kErrEmptyResult: return "operation leaves no solid";
    case kErrNoTarget: return "no body for the signed feature";
    case kErrBadList: return "not a live object list";
    case kErrNotFound: return "not found";
    case kErrOpenProfile: return "profile is not closed";
    case kErrNonPlanarProfile: return "profile is not planar";
    case kErrInternal: return "internal error";
    default: return nullptr;
    }
}

}  // namespace diekit
