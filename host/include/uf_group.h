/* Groups of imported parts. */
#ifndef UF_GROUP_H_INCLUDED
#define UF_GROUP_H_INCLUDED
#include <uf_defs.h>
#ifdef __cplusplus
extern "C" {
#endif
/* Members of a group in order; the caller frees group_members with UF_free. */
int UF_GROUP_ask_group_data(const tag_t group_tag, tag_t **group_members, int *count_of_members);
#ifdef __cplusplus
}
#endif
#endif
