/* The shape of a resource library, the stand-in for a module's resource section: a shared
 * object that exports one C function, named by QUILLON_RESOURCES_SYMBOL, which returns the
 * library's table of resources. The add-in's own resources come in the same shape. Plain C,
 * so that a resource library can be written in C as well. Declarations only: nothing here
 * fails. */
#pragma once

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* What a resource's bytes hold. */
enum QuillonResourceKind {
  QUILLON_RESOURCE_STRING = 1, /* UTF-8 text, without a terminating zero */
  QUILLON_RESOURCE_ICON = 2,   /* an icon file (.ico) */
  QUILLON_RESOURCE_CURSOR = 3, /* a cursor file (.cur) */
  QUILLON_RESOURCE_BITMAP = 4, /* a BMP file, or its device-independent bitmap without the
                                  14-byte file header, as resource sections store bitmaps */
  QUILLON_RESOURCE_DATA = 5    /* any bytes */
};

struct QuillonResource {
  int32_t kind;               /* a QuillonResourceKind; entries of other kinds are passed over */
  int32_t id;                 /* the resource's number; not used when name is set */
  const char* name;           /* the resource's name (compared without regard to case), or
                                 NULL for a numbered resource */
  const unsigned char* bytes; /* size bytes; NULL only when size is 0 */
  size_t size;
};

struct QuillonResourceTable {
  const struct QuillonResource* entries;
  size_t count;
};

/* The function a resource library exports. Returns its table, or NULL for none; the table and
 * every byte it points to stay valid while the library is loaded. */
typedef const struct QuillonResourceTable* (*QuillonResourcesFunction)(void);
#define QUILLON_RESOURCES_SYMBOL "quillon_resources"

#ifdef __cplusplus
}
#endif
