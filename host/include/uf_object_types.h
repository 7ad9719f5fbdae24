#ifndef UF_OBJECT_TYPES_H_INCLUDED
#define UF_OBJECT_TYPES_H_INCLUDED
#define UF_point_type 2
#define UF_line_type 3
#define UF_line_normal_subtype 0
#define UF_circle_type 5
#define UF_circle_open_subtype 0
#define UF_spline_type 9
#define UF_group_type 15
#define UF_coordinate_system_type 45
#define UF_matrix_type 55
#define UF_solid_type 70
#define UF_solid_body_subtype 0
#define UF_solid_face_subtype 2
#define UF_solid_edge_subtype 3
#define UF_part_type 121
#define UF_feature_type 205
#define UF_scalar_type 208
#define UF_expression_type 240
#endif
