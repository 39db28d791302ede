/* SPDX-License-Identifier: MIT */
/* Setters: build or change the current document keyword by keyword. Implemented in src/api/
 * (setters.cpp). */
#ifndef GEF_SETTERS_H
#define GEF_SETTERS_H

#include "gef/export.h"

GEF_EXTERN_C_BEGIN

/* One setter per keyword (declared in keyword_functions.h), taking the keyword's fields in
 * header-line order (a serial or column number first where the keyword has one). A setter stores
 * exactly what the same keyword line read from a file would store: the same fields, defaults and
 * reports. Numbers always count as given; a null text leaves the field's previous text in place and
 * counts as not given; an empty text is stored but counts as not given. Texts are copied.
 *
 * Returns 1 when the occurrence reached the keyword store (which may still refuse it and record
 * why in the error list: a serial number out of range, a repeated GEFID), 0 when there is no
 * document or the setter's own check refused the values:
 *   set_gefid           accepts only 1.0.0, 1.1.0 and 2.0.0 (error 42);
 *   set_column,
 *   set_lastscan,
 *   set_row             the new size must fit the existing data block (error 1011);
 *   set_dataconversion  number 1..250 and a valid scan number (errors 6, 42).
 * set_comment, set_scantime and set_qnvoid append to the next free slot; set_scantime ignores its
 * first argument; set_structuretext chooses its entry by the keyword named in its first text. */
#include "gef/keyword_functions.h"

/* Writes one data value. A column outside 1..COLUMN (error 7) or a scan outside 1..the scan
 * count (error 38) is reported and nothing is written. Always returns 1. */
GEF_API int set_data(int column, int scan, double value);

/* Gives scan `scan` (1..scan count) a copy of `text` as its column text, or none for a null
 * text. A scan out of range is ignored. */
GEF_API void set_columntext_text(int scan, const char* text);

GEF_EXTERN_C_END

#endif /* GEF_SETTERS_H */
