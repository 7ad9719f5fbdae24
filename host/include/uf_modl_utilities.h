/* Part of the modelling interface; included by uf_modl.h. */
#ifndef UF_MODL_UTILITIES_H_INCLUDED
#define UF_MODL_UTILITIES_H_INCLUDED
#include <uf_defs.h>
#include <uf_modl_types.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The point of the face nearest ref_pnt (the foot of the perpendicular when it falls on the face):
   O parm = its (u, v), as UF_MODL_ask_face_props takes them; face_pnt = the point. */
int UF_MODL_ask_face_parm_2(tag_t face, double ref_pnt[3], double parm[2], double face_pnt[3]);

/* ---- face parameters, face properties, aligned boxes (inserts) ---- */
/* O uv_min_max = umin, umax, vmin, vmax of the face's parameter ranges. */
int UF_MODL_ask_face_uv_minmax(tag_t face_tag, double uv_min_max[4]);
/* I param = (u, v) inside the face's ranges (else an error). O point; first derivatives u1, v1;
   second derivatives u2, v2; outward unit normal; principal radii, the more curved direction first,
   0 for a flat direction, positive where the face bulges outward and negative where it is hollow.
   Every output pointer is required. */
int UF_MODL_ask_face_props(tag_t face_id, double param[2], double point[3], double u1[3], double v1[3],
                           double u2[3], double v2[3], double unit_norm[3], double radii[2]);
/* Exact box of the object along the axes of csys_tag (NULL_TAG = the WCS). expand grows every side by
   0.1. O min_corner (absolute), directions rows = the csys X, Y, Z axes, distances = extents along
   them; the far corner is min_corner + sum of directions[j] * distances[j]. */
int UF_MODL_ask_bounding_box_aligned(tag_t object, tag_t csys_tag, logical expand, double min_corner[3],
                                     double directions[3][3], double distances[3]);
/* Results[i] for tools[i] against target (caller allocates num_tools ints): 1 the bodies share
   volume, 2 they are apart, 3 they only touch. All results are 0 on failure. */
int UF_MODL_check_interference(tag_t target, int num_tools, tag_t *tools, int *results);

#ifdef __cplusplus
}
#endif
#endif
