/* Basic types and constants of the platform interface. */
#ifndef UF_DEFS_H_INCLUDED
#define UF_DEFS_H_INCLUDED

#ifdef __cplusplus
extern "C" {
#endif

typedef unsigned int tag_t;
typedef tag_t *tag_p_t;
#define NULL_TAG ((tag_t)0)
#define null_tag ((tag_t)0)

/* Object list: a chain of nodes. Lists are made and released only through
   UF_MODL_create_list / UF_MODL_delete_list (or handed out by a query). */
struct uf_list_s {
    tag_t eid;
    struct uf_list_s *next;
};
typedef struct uf_list_s uf_list_t;
typedef struct uf_list_s *uf_list_p_t;

#if defined(__cplusplus)
typedef bool logical;
#else
typedef unsigned char logical;
#endif

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif
#define ERROR_OK 0

#define PI 3.14159265358979324
#define TWOPI 6.28318530717958648
#define RADEG 57.29577951308235
#define DEGRA .01745329251994328

#if defined(_WIN32)
#define DllExport __declspec(dllexport)
#else
#define DllExport __attribute__((visibility("default")))
#endif

#define MAX_LINE_NCHARS 132
#define NX_BUFSIZE(n) (3 * (n) + 1)
#define MAX_LINE_BUFSIZE NX_BUFSIZE(132)
#define MAX_FSPEC_SIZE 256
#define MAX_LINE_SIZE 132

#ifdef __cplusplus
}
#endif
#endif
