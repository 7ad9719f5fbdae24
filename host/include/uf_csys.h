/* Coordinate systems and the work coordinate system (WCS). */
#ifndef UF_CSYS_H_INCLUDED
#define UF_CSYS_H_INCLUDED
#include <uf_defs.h>
#ifdef __cplusplus
extern "C" {
#endif
#define UF_CSYS_ROOT_COORDS 1
#define UF_CSYS_WORK_COORDS 2
#define UF_CSYS_ROOT_WCS_COORDS 3

/* Maps a point between absolute (1, 2) and WCS (3) coordinates. */
int UF_CSYS_map_point(int input_csys, double input_point[3], int output_csys, double output_point[3]);
int UF_CSYS_create_matrix(const double matrix_values[9], tag_t *matrix_id);
int UF_CSYS_create_temp_csys(const double csys_origin[3], tag_t matrix_id, tag_t *csys_id);
int UF_CSYS_create_csys(const double csys_origin[3], tag_t matrix_id, tag_t *csys_id);
/* Makes the coordinate system the WCS (its origin and axes are copied). */
int UF_CSYS_set_wcs(tag_t csys_id);
/* A coordinate system holding the current WCS. */
int UF_CSYS_ask_wcs(tag_t *wcs_id);
int UF_CSYS_ask_csys_info(tag_t csys_id, tag_t *matrix_id, double csys_origin[3]);
int UF_CSYS_ask_matrix_values(tag_t matrix_id, double matrix_values[9]);
/* 1 shows the WCS, 0 hides it. */
int UF_CSYS_set_wcs_display(int display_status);
#ifdef __cplusplus
}
#endif
#endif
