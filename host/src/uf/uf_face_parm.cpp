// Parameters of the point of a face nearest a given point.
#include "kernel/projection.hpp"
#include "uf/call.hpp"

#include <uf_modl.h>

using namespace diekit;
using namespace diekit::uf;

extern "C" {

int UF_MODL_ask_face_parm_2(tag_t face, double ref_pnt[3], double parm[2], double face_pnt[3]) {
    if (parm) parm[0] = parm[1] = 0;
    if (face_pnt) face_pnt[0] = face_pnt[1] = face_pnt[2] = 0;
    return call("UF_MODL_ask_face_parm_2", [&] {
        require_pointer(parm, "parameters");
        require_pointer(face_pnt, "face point");
        const kernel::Vec3 reference = to_point(ref_pnt, "reference point");
        const kernel::FacePoint nearest = kernel::nearest_on_face(store().face(face).shape, reference);
        parm[0] = nearest.u;
        parm[1] = nearest.v;
        from_vec(nearest.point, face_pnt);
    });
}

}  // extern "C"
