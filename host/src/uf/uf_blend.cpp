// Constant-radius blends.
#include "model/blends.hpp"
#include "uf/call.hpp"

#include <uf_modl.h>

#include <cmath>

using namespace diekit;
using namespace diekit::uf;

namespace {

void require_flag(int value, const char *what) {
    if (value != 0 && value != 1)
        throw HostError(kErrBadValue, std::string(what) + " " + std::to_string(value) + " is not 0 or 1");
}

}  // namespace

extern "C" {

int UF_MODL_create_blend(const char *radius, uf_list_p_t edge_list, int smooth_overflow, int cliff_overflow,
                         int notch_overflow, double vrb_tol, tag_t *feature_obj_id) {
    if (feature_obj_id) *feature_obj_id = NULL_TAG;
    return call("UF_MODL_create_blend", [&] {
        require_session("UF_MODL_create_blend");
        require_pointer(feature_obj_id, "feature");
        std::vector<tag_t> edges = list_tags(edge_list, "edge list");
        require_flag(smooth_overflow, "smooth overflow");
        require_flag(cliff_overflow, "cliff overflow");
        require_flag(notch_overflow, "notch overflow");
        // The tolerance only matters for variable-radius blends; a constant radius is exact.
        if (!std::isfinite(vrb_tol) || vrb_tol < 0)
            throw HostError(kErrBadValue, "blend tolerance " + std::to_string(vrb_tol) + " is not a distance");
        const double r = solid_length(radius, "radius");
        *feature_obj_id = model::blend(store(), edges, r).tag;
    });
}

}  // extern "C"
