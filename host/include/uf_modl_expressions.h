/* Part of the modelling interface; included by uf_modl.h. */
#ifndef UF_MODL_EXPRESSIONS_H_INCLUDED
#define UF_MODL_EXPRESSIONS_H_INCLUDED
#include <uf_defs.h>
#include <uf_modl_types.h>

#ifdef __cplusplus
extern "C" {
#endif

/* ---- expressions of a part ---- */
/* Tags of all expressions of the part (caller frees exps with UF_free). A group tag stands for
   the part that holds the group: all expressions of the work part. */
int UF_MODL_ask_exps_of_part(tag_t part_tag, int *number_of_exps, tag_t **exps);
/* "name=formula" of an expression (caller frees with UF_free). */
int UF_MODL_ask_exp_tag_string(tag_t expression_tag, char **string);
/* Splits "lhs=rhs" (both freed with UF_free); exp_tag is the expression named lhs, or NULL_TAG. */
int UF_MODL_dissect_exp_string(char *exp_str, char **lhs_str, char **rhs_str, tag_t *exp_tag);
/* Sets the formula of an existing expression: "L'3=23.000000". Takes effect at UF_MODL_update. */
int UF_MODL_edit_exp(char *expr_str);
/* Creates an expression "name=formula". */
int UF_MODL_create_exp_tag(const char *string, tag_t *new_exp);
/* Re-evaluates the expressions and regenerates the imported parts whose values changed. */
int UF_MODL_update(void);
#ifdef __cplusplus
}
#endif
#endif
