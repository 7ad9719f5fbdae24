#ifndef UF_MODL_SWEEP_H_INCLUDED
#define UF_MODL_SWEEP_H_INCLUDED
#include <uf_modl.h>
#endif
