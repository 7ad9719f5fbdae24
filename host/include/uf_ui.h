/* One-line messages to the designer. */
#ifndef UF_UI_H_INCLUDED
#define UF_UI_H_INCLUDED
#include <uf_defs.h>
#include <uf_ui_types.h>

#ifdef __cplusplus
extern "C" {
#endif
/* Shows a one-line message (option 0 status line, 1 message box). The host prints it and records it
   in the report; returns 0, or an error code for a null text. */
int uc1601(const char *message, int option);
#ifdef __cplusplus
}
#endif
#endif
