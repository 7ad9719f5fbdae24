#ifndef UF_CURVE_H_INCLUDED
#define UF_CURVE_H_INCLUDED
#include <uf_defs.h>
#ifdef __cplusplus
extern "C" {
#endif
struct UF_CURVE_line_s {
    double start_point[3];
    double end_point[3];
};
typedef struct UF_CURVE_line_s UF_CURVE_line_t, *UF_CURVE_line_p_t;

/* End points of a line curve or of a straight body edge (absolute). */
int UF_CURVE_ask_line_data(tag_t line, UF_CURVE_line_p_t line_coords);
int UF_CURVE_create_line(UF_CURVE_line_p_t line_coords, tag_t *line);
#ifdef __cplusplus
}
#endif
#endif
