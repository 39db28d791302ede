/* SPDX-License-Identifier: MIT */
/* Report text items: texts for plots kept as tagged REPORTTEXT occurrences. Implemented in
 * src/reporttext/. */
#ifndef GEF_REPORTTEXT_H
#define GEF_REPORTTEXT_H

#include "gef/export.h"

GEF_EXTERN_C_BEGIN

/* Stores item `n` as REPORTTEXT occurrence n tagged "pi": position x, y and five texts (the
 * text, sheet information, font information, font size and angle; null counts as empty).
 * A number outside 1..1500 is reported by the keyword store (error 36); an escaped text of
 * 2048 characters or more refuses the item (error 42). */
GEF_API void put_pi(int n, double x, double y, const char* text, const char* sheet,
                    const char* font, const char* size, const char* angle);

/* One field of item `n`. An absent slot, a number outside 1..1500 or a part that cannot be
 * read gives 0 or "". Texts are trimmed and at most 1023 characters; each getter has its own
 * buffer, valid until that getter is called again. */
GEF_API double get_pi_x(int n);
GEF_API double get_pi_y(int n);
GEF_API const char* get_pi_tekst(int n);
GEF_API const char* get_pi_velinfo(int n);
GEF_API const char* get_pi_fontinfo(int n);
GEF_API const char* get_pi_fontsize(int n);
GEF_API const char* get_pi_hoek(int n);

/* The first slot at or after `n` (n below 1 counts as 1, up to 1499) holding an item, that is
 * a REPORTTEXT whose second text begins with "pi"; -1 when there is none. */
GEF_API int get_pi_nextnr(int n);

/* The first free REPORTTEXT serial number at or after `n` (n below 1 counts as 1), or -1 when
 * that number would be 1500 or more, or there is no document. */
GEF_API int get_reptxt_nextnr(int n);

/* Deletes every REPORTTEXT whose second text is "pi" in any case; other REPORTTEXT stay. */
GEF_API void clear_all_reptxt_pi(void);

GEF_EXTERN_C_END

#endif /* GEF_REPORTTEXT_H */
