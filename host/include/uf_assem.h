#ifndef UF_ASSEM_H_INCLUDED
#define UF_ASSEM_H_INCLUDED
#include <uf_defs.h>
#ifdef __cplusplus
extern "C" {
#endif
/* The work part; NULL_TAG outside a session. */
tag_t UF_ASSEM_ask_work_part(void);
#ifdef __cplusplus
}
#endif
#endif
