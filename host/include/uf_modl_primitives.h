#ifndef UF_MODL_PRIMITIVES_H_INCLUDED
#define UF_MODL_PRIMITIVES_H_INCLUDED
#include <uf_modl.h>
#endif
