/* Objects of the work part: types, colours, names, blank status, deletion. */
#ifndef UF_OBJ_H_INCLUDED
#define UF_OBJ_H_INCLUDED
#include <uf_defs.h>
#include <uf_obj_types.h>
#include <uf_object_types.h>

#ifdef __cplusplus
extern "C" {
#endif
/* Next live object of the type after *object (NULL_TAG starts); NULL_TAG at the end. Bodies, then
   the faces and edges that have tags, in tag order. */
int UF_OBJ_cycle_objs_in_part(tag_t part_tag, int type, tag_t *object);
/* Next object of the work part carrying exactly this name, after *object. */
int UF_OBJ_cycle_by_name(const char *name, tag_t *object);
int UF_OBJ_ask_type_and_subtype(tag_t object_id, int *type, int *subtype);
/* Colour index 1..216. */
int UF_OBJ_set_color(tag_t object_id, int color);
int UF_OBJ_set_name(tag_t object, const char *name);
int UF_OBJ_set_blank_status(tag_t object_id, int blank_status);
/* Deletes a body, curve, feature's body, group or coordinate system; its tag goes stale. */
int UF_OBJ_delete_object(tag_t object_id);
#ifdef __cplusplus
}
#endif
#endif
