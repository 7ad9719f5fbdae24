#ifndef UF_PART_H_INCLUDED
#define UF_PART_H_INCLUDED
#include <uf_defs.h>
#ifdef __cplusplus
extern "C" {
#endif
struct UF_import_part_modes_s {
    int layer_mode;          /* 0 work layer, 1 original layers */
    int group_mode;          /* 0 ungrouped, 1 merged as a group (this host always groups) */
    int csys_mode;           /* not used */
    int plist_mode;          /* not used */
    int view_mode;           /* not used */
    logical cam_mode;        /* not used */
    logical use_search_dirs; /* not used */
};
typedef struct UF_import_part_modes_s UF_import_part_modes_t, *UF_import_part_modes_p_t;

/* Imports a standard part: its bodies are placed with their X and Y axes along dest_csys[0..2]
   and dest_csys[3..5] (Z = X x Y) at dest_point, copies of its expressions get the next suffix
   'N, and a new group holds the bodies in the file's order. Only paths "D:\DIELIB\..." (or paths
   without a drive, relative to the root) map onto the library root; another drive letter, a path
   leaving the root, a missing or damaged file, or a size outside the model range (uf_modl.h): error
   code, group NULL_TAG, and the work part exactly as it was (no group, expression or body added). */
int UF_PART_import(const char *file_name, UF_import_part_modes_t *modes, double dest_csys[6],
                   double dest_point[3], double scale, tag_t *group);
/* The displayed part (the work part in this host). */
tag_t UF_PART_ask_display_part(void);
#ifdef __cplusplus
}
#endif
#endif
