/* Part of the modelling interface; included by uf_modl.h. */
#ifndef UF_MODL_BLENDS_H_INCLUDED
#define UF_MODL_BLENDS_H_INCLUDED
#include <uf_defs.h>
#include <uf_modl_types.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Constant-radius blend (radius text) of the listed edges of one body. Overflow flags 0 = allow,
   1 = prevent (accepted, no effect on a constant-radius blend); vrb_tol >= 0 (unused). The body keeps
   its tag. O: the blend feature. */
int UF_MODL_create_blend(const char *radius, uf_list_p_t edge_list, int smooth_overflow, int cliff_overflow,
                         int notch_overflow, double vrb_tol, tag_t *feature_obj_id);

#ifdef __cplusplus
}
#endif
#endif
