/* Part of the modelling interface; included by uf_modl.h. */
#ifndef UF_MODL_SWEEP_H_INCLUDED
#define UF_MODL_SWEEP_H_INCLUDED
#include <uf_defs.h>
#include <uf_modl_types.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Extrusion of a closed planar profile: objects lists curves (lines, arcs, circles) and body edges,
   in any order and direction; they must form closed loops in one plane (a loop inside another is a
   hole, separate loops give separate solids of one body). The prism runs along direction between the
   distances limit[0] and limit[1] (texts) from the profile plane; point is not used. taper_angle must
   be 0. sign: 0 new body, 1 unite, 2 subtract (the host's sign rule). O: a new list holding the
   feature (release with UF_MODL_delete_list); NULL on failure. An open profile returns
   error 1021 (profile not closed), a non-planar one 1022 (profile not planar). */
int UF_MODL_create_extruded(uf_list_p_t objects, char *taper_angle, char *limit[2], double point[3],
                            double direction[3], UF_FEATURE_SIGN sign, uf_list_p_t *features);
/* Moves every face of the body of the listed features by offset (text; negative shrinks), keeping
   sharp edges. The body keeps its tag. O: the offset feature. */
int UF_MODL_create_feature_offset(char *offset, uf_list_p_t features, tag_t *feature_obj_id);

#ifdef __cplusplus
}
#endif
#endif
