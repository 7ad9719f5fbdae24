#ifndef UF_PART_H_INCLUDED
#define UF_PART_H_INCLUDED
#include <uf_defs.h>
#ifdef __cplusplus
extern "C" {
#endif
/* The displayed part (the work part in this host). */
tag_t UF_PART_ask_display_part(void);
#ifdef __cplusplus
}
#endif
#endif
