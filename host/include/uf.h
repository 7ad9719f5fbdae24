/* Session bracket, memory release and error texts. */
#ifndef UF_H_INCLUDED
#define UF_H_INCLUDED
#include <uf_defs.h>

#ifdef __cplusplus
extern "C" {
#endif

#define UF_UNLOAD_IMMEDIATELY 1
#define UF_UNLOAD_SEL_DIALOG 2
#define UF_UNLOAD_UG_TERMINATE 3

/* Opens a bracket of modelling work. Brackets nest; returns 0. */
int UF_initialize(void);
/* Closes the innermost bracket; an unmatched call returns an error code. */
int UF_terminate(void);
/* Releases memory that a UF_* call handed out (texts, tag arrays). NULL is ignored. */
void UF_free(void *data);
/* Writes the readable text of an error code into message (133 bytes). Non-zero if unknown. */
int UF_get_fail_message(int fail_code, char message[133]);

#ifdef __cplusplus
}
#endif
#endif
