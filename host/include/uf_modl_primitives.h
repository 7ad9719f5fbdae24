/* Part of the modelling interface; included by uf_modl.h. */
#ifndef UF_MODL_PRIMITIVES_H_INCLUDED
#define UF_MODL_PRIMITIVES_H_INCLUDED
#include <uf_defs.h>
#include <uf_modl_types.h>

#ifdef __cplusplus
extern "C" {
#endif

/* ---- scaling ---- */
/* Scales the body by three factors along the axes of csys about its origin (NULL_TAG: the WCS).
   The body keeps its tag. */
int UF_MODL_create_non_uni_scale(tag_t object, tag_t csys, char *scale_factors[3], tag_t *feature);
#ifdef __cplusplus
}
#endif
#endif
