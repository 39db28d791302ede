/* Getters: read keyword fields, data values and per-scan texts of the current document. */
#ifndef GEF_GETTERS_H
#define GEF_GETTERS_H

#include "gef/export.h"

GEF_EXTERN_C_BEGIN

/* The document record; its layout is private to the library. */
typedef struct GefDocument GefDocument;

/* The current document record, or null before init_gef and after free_gef. */
GEF_API GefDocument* the_header(void);

GEF_EXTERN_C_END

#endif /* GEF_GETTERS_H */
