/* SPDX-License-Identifier: MIT */
/* Getters: read keyword fields, data values and per-scan texts of the current document.
 * Implemented in src/api/ (getters.cpp, getters_data.cpp), the_header in src/document/. */
#ifndef GEF_GETTERS_H
#define GEF_GETTERS_H

#include "gef/export.h"

GEF_EXTERN_C_BEGIN

/* The document record; its layout is private to the library. */
typedef struct GefDocument GefDocument;

/* The current document record, or null before init_gef and after free_gef. */
GEF_API GefDocument* the_header(void);

/* One getter per keyword field (declared in keyword_functions.h), under its English and, mostly,
 * its Dutch name, and one _flag getter per keyword. Keywords with numbered entries take the number
 * first (column, serial or slot number, or the keyword code for get_structuretext_ and
 * get_structuretype_).
 *
 * A field getter returns the field when it is present and a fixed absent value otherwise: null
 * for texts, 32767 for most integers, the largest float or double for most numbers; see the
 * keyword table for each field. A _flag getter returns the entry's presence count (0 or 1); the
 * get_dataconversion_flag_ getters return single field-presence bits. A number out of range is
 * reported at level 3 (error 7 for columns, error 6 otherwise) and gives the absent value, 0 for
 * flags. Without a current document every getter returns its absent value.
 *
 * A returned text belongs to the document: do not change or free it. It stays valid until the
 * field is stored again or deleted, or the document is reset or freed. */
#include "gef/keyword_functions.h"

/* Field 3 of DATACONVERSION entry n (1..250): the first scan to convert; 1 when not given,
 * 2147483647 (after error 6) when n is out of range. */
GEF_API int get_dataconversion_scan(int n);

/* Scan-time slot n (1..250) as a frequency: the reciprocal of the stored scan time, or the largest
 * float when the time is zero. An absent slot is reported as error 6 and gives the largest float.
 * The two names are the same getter. */
GEF_API float get_scanfreq_Value(int n);
GEF_API float get_scanfreq_waarde(int n);

/* 1 when a QNVOID occurrence for quantity number q exists, else 0. */
GEF_API int get_qnvoid_flag(int q);
/* The void value of the first QNVOID occurrence for quantity number q. Without one, or when its
 * value was not given, reports error 7 and returns the largest double. */
GEF_API double get_qnvoid_Value(int q);
/* 1 when a QNMINMAX occurrence for quantity number q exists, else 0. */
GEF_API int get_qnminmax_flag(int q);
/* Minimum and maximum of the first QNMINMAX occurrence for quantity number q: minus and plus the
 * largest double when not given. Without any occurrence for q, error 7 is reported as well. */
GEF_API double get_qnminmax_Min(int q);
GEF_API double get_qnminmax_Max(int q);

/* The scan count of the data block, or -1 while it is not known. */
GEF_API int get_nr_scans(void);

/* The value of scan `scan` in column `column`, both 1-based. A column outside 1..COLUMN (error 7)
 * or a scan outside 1..the scan count (error 38) gives the largest double. */
GEF_API double get_data(int column, int scan);

/* The per-scan column text of scan `scan` (1..the scan count), or null when it has none. A scan
 * out of range is reported as error 38. The text stays the library's. */
GEF_API const char* get_columntext_text(int scan);

/* 1 when scan `scan` has a per-scan column text, else 0; a scan out of range reports error 38. */
GEF_API int get_columntext_text_flag(int scan);

/* Field k of the per-scan column text of scan `scan`, fields being separated by the COLUMNSEPARATOR
 * character (without one, the whole text is field 1). Runs of separators count as one and leading
 * separators are skipped; k below 1 gives the whole text. Returns a new copy that the caller
 * releases with free(), or null when the scan has no text or the text has fewer than k fields. */
GEF_API char* get_columntext_text_field(int scan, int k);

/* 1 when get_columntext_text_field(scan, k) would return a text, else 0. */
GEF_API int get_columntext_text_field_flag(int scan, int k);

/* Field k (from 1) of `text`, fields being separated by any character of `separators`, with the
 * rules of get_columntext_text_field. Returns a new copy that the caller releases with free(), or
 * null when a text is null, k is below 1 or there are fewer than k fields. */
GEF_API char* get_columntext_text_field_item(const char* text, int k, const char* separators);

/* 1 when get_columntext_text_field_item(text, k, separators) would return a text, else 0. */
GEF_API int get_columntext_text_field_item_flag(const char* text, int k, const char* separators);

GEF_EXTERN_C_END

#endif /* GEF_GETTERS_H */
