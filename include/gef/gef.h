/* Umbrella header for libgef (placeholder until the public API headers exist). */
#ifndef GEF_GEF_H
#define GEF_GEF_H

#include <gef/export.h>

#endif /* GEF_GEF_H */
