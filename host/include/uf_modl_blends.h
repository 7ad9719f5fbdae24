#ifndef UF_MODL_BLENDS_H_INCLUDED
#define UF_MODL_BLENDS_H_INCLUDED
#include <uf_modl.h>
#endif
