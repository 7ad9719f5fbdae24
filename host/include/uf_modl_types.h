#ifndef UF_MODL_TYPES_H_INCLUDED
#define UF_MODL_TYPES_H_INCLUDED
#include <uf_defs.h>

enum UF_FEATURE_SIGNS {
    UF_NULLSIGN = 0,  /* create a new body */
    UF_POSITIVE = 1,  /* unite with the target body */
    UF_NEGATIVE = 2,  /* subtract from the target body */
    UF_UNSIGNED = 3,
    UF_NO_BOOLEAN = 4,
    UF_TOP_TARGET = 5,
    UF_UNITE = 6,
    UF_SUBTRACT = 7,
    UF_INTERSECT = 8,
    UF_DEFORM_POSITIVE = 9,
    UF_DEFORM_NEGATIVE = 10
};
typedef enum UF_FEATURE_SIGNS UF_FEATURE_SIGN;

#define UF_MAX_EXP_LENGTH 256
#define UF_MAX_EXP_BUFSIZE NX_BUFSIZE(UF_MAX_EXP_LENGTH)
#define UF_MODL_SOLID_BODY 5601
#define UF_MODL_SHEET_BODY 5602
#endif
