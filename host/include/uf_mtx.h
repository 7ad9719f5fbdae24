/* 3x3 matrices, rows = X, Y, Z axes. */
#ifndef UF_MTX_H_INCLUDED
#define UF_MTX_H_INCLUDED
#include <uf_defs.h>
#ifdef __cplusplus
extern "C" {
#endif
/* Normalises x, makes y orthogonal to it, z = x × y. Error for parallel or zero vectors. */
int UF_MTX3_initialize(const double x_vec[3], const double y_vec[3], double mtx[9]);
/* Rotation by angle (radians) about the axis; for the Z axis the rows are
   X = (cos, −sin, 0), Y = (sin, cos, 0), Z = (0, 0, 1). */
int UF_MTX3_rotate_about_axis(const double rotation_axis[3], double rotation_angle, double mtx[9]);
#ifdef __cplusplus
}
#endif
#endif
