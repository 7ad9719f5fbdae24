/* Entry points a plug-in library exports. */
#ifndef UF_EXIT_H_INCLUDED
#define UF_EXIT_H_INCLUDED
#include <uf_defs.h>

#ifdef __cplusplus
extern "C" {
#endif
extern DllExport void ufusr(char *param, int *retcode, int param_len);
extern DllExport int ufusr_ask_unload(void);
extern DllExport void ufusr_cleanup(void);
#ifdef __cplusplus
}
#endif
#endif
