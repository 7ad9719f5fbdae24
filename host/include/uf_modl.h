/* Modelling: object lists, primitives, booleans, chamfers, queries, parameter removal.
   Lengths are "%f" texts (or formulas over part expressions); points are absolute millimetres.
   Every call returns 0 or an error code (see UF_get_fail_message); outputs are 0 on failure.

   Model range: coordinates (points, corners, origins) lie within |x| <= 1e5 mm; lengths of solids
   (edges, heights, diameters, radii, chamfer offsets) within 1e-6 to 2e5 mm; extrusion limits and
   offsets within |d| <= 2e5 mm; scale factors within 1e-6 to 1e6, the scaled body staying inside the
   coordinate range. A value outside it (1e308, 2^63, a zero or negative length) is refused with
   error code 1006 (bad value) and the reason in the log; the kernel never sees it. */
#ifndef UF_MODL_H_INCLUDED
#define UF_MODL_H_INCLUDED
#include <uf_defs.h>
#include <uf_modl_types.h>

#ifdef __cplusplus
extern "C" {
#endif

/* ---- object lists (release with UF_MODL_delete_list) ---- */
int UF_MODL_create_list(uf_list_p_t *list);
/* Appends; a tag already in the list is ignored. */
int UF_MODL_put_list_item(uf_list_p_t list, tag_t obj_id);
int UF_MODL_ask_list_count(uf_list_p_t list, int *count);
/* Zero-based. */
int UF_MODL_ask_list_item(uf_list_p_t list, int index, tag_t *object);
/* Frees the list's nodes (not the objects) and sets *list to NULL. */
int UF_MODL_delete_list(uf_list_p_t *list);

/* ---- primitives: output is the feature; UF_MODL_ask_feat_body gives its body ---- */
/* Block from an absolute corner with edges along the WCS axes. */
int UF_MODL_create_block1(UF_FEATURE_SIGN sign, double corner_pt[3], char *edge_len[3], tag_t *blk_obj_id);
/* Cylinder from the centre of its base along direction. */
int UF_MODL_create_cyl1(UF_FEATURE_SIGN sign, double origin[3], char *height, char *diam,
                        double direction[3], tag_t *cyl_obj_id);
/* Chamfer of the listed body edges: subtype 1 symmetric offset1, 2 two offsets, 3 offset1 and angle
   theta in degrees. An empty list is an error and changes nothing. */
int UF_MODL_create_chamfer(int subtype, char *offset1, char *offset2, char *theta, uf_list_p_t edges,
                           tag_t *feature_obj_id);

/* ---- booleans: output is the boolean feature, whose body is the result ---- */
int UF_MODL_unite_bodies(tag_t target, tag_t tool);
int UF_MODL_subtract_bodies_with_retained_options(tag_t original_target, tag_t original_tool,
                                                  logical retain_target_body, logical retain_tool_body,
                                                  tag_t *frec_eid);
int UF_MODL_intersect_bodies_with_retained_options(tag_t original_target, tag_t original_tool,
                                                   logical retain_target_body, logical retain_tool_body,
                                                   tag_t *frec_eid);
/* Removes the features of the listed bodies; they stay as plain bodies. */
int UF_MODL_delete_object_parms(uf_list_p_t object_list);

/* ---- features ---- */
int UF_MODL_ask_feat_body(tag_t feature_obj_id, tag_t *body_obj_id);
/* Edges of the feature's body that belong to the feature (new list; UF_MODL_delete_list). */
int UF_MODL_ask_feat_edges(tag_t feature_obj_id, uf_list_p_t *object_list);

/* ---- queries ---- */
/* Tight box of the B-rep: xmin, ymin, zmin, xmax, ymax, zmax, absolute. */
int UF_MODL_ask_bounding_box(tag_t object, double bounding_box[6]);
/* body: 1 inside or on, 2 outside. face or edge: 1 on it (within 1e-6), 2 off it. */
int UF_MODL_ask_point_containment(double point[3], tag_t body, int *pt_status);
int UF_MODL_ask_body_faces(tag_t body, uf_list_p_t *face_list);
int UF_MODL_ask_face_edges(tag_t face, uf_list_p_t *edge_list);
/* 5601 solid, 5602 sheet. */
int UF_MODL_ask_body_type(tag_t body_id, int *body_type);

#ifdef __cplusplus
}
#endif

#include <uf_modl_blends.h>
#include <uf_modl_expressions.h>
#include <uf_modl_primitives.h>
#include <uf_modl_sweep.h>
#include <uf_modl_utilities.h>
#endif
