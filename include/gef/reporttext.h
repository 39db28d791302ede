/* Report text items: texts for plots kept as tagged REPORTTEXT occurrences. */
#ifndef GEF_REPORTTEXT_H
#define GEF_REPORTTEXT_H

#include "gef/export.h"

GEF_EXTERN_C_BEGIN

/* The first free REPORTTEXT serial number at or after `n` (n below 1 counts as 1), or -1 when
 * that number would be 1500 or more, or there is no document. */
GEF_API int get_reptxt_nextnr(int n);

GEF_EXTERN_C_END

#endif /* GEF_REPORTTEXT_H */
