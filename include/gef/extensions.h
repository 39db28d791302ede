/* SPDX-License-Identifier: MIT */
/* Functions beyond the classic interface: the library's version, a document per thread, bulk
 * copies for bindings and the table of coordinate and height systems. Implemented in src/api/ (extensions.cpp,
 * getters_data.cpp) and, for the systems, src/location/. */
#ifndef GEF_EXTENSIONS_H
#define GEF_EXTENSIONS_H

#include "gef/export.h"

GEF_EXTERN_C_BEGIN

/* Every name in this header starts with gef_, and none of them changes the document: they
 * copy out, in one call, what the getters give one value at a time, for callers (such as
 * language bindings) for whom a call per value is costly, or name the format's codes. Each copy
 * function returns the number of items the full copy holds and writes at most `capacity` of them,
 * so a first call with a null buffer and capacity 0 asks for the size. Nothing is recorded in the
 * error list. */

/* The library's version, "MAJOR.MINOR.PATCH". The text belongs to the library. */
GEF_API const char* gef_version(void);

/* A document per thread, for callers that read, check or write files on several threads.
 *
 * By default every thread shares the process's one document, and callers must serialise their
 * calls. gef_thread_document(1) gives the calling thread a document of its own: its record, data
 * block, per-scan texts, error list, code-text table, the texts the getters return and the names
 * of its temporary files. Every other function called from that thread then works on it, exactly
 * as on the process document: start it with init_gef (or init_gef_general) and load code texts
 * into it as needed. Asking again keeps the same document. gef_thread_document(0) releases it as
 * free_gef does and returns the thread to the process document; a thread gives it back so
 * before it ends, since a document a thread leaves behind is not released. Threads that never ask share the process document as
 * before, untouched by the others.
 *
 * A thread's own document is used from that thread only, so its calls need no serialising;
 * the process document's still do. Nothing else is shared between documents, apart from the
 * constant tables of keywords, messages and coordinate systems. A text a function returns stays
 * valid until the next call on the same thread.
 *
 * Returns 1, or 0 when memory runs out (the thread then stays on the process document). */
GEF_API int gef_thread_document(int own);

/* Copies the whole data block, column after column: the value of scan s in column c (both from 1)
 * goes to buffer[(c - 1) * scans + (s - 1)], where scans is get_nr_scans() when known. Every
 * value equals get_data(c, s). Returns columns x scans (0 without a current document or data). */
GEF_API long long gef_copy_data(double* buffer, long long capacity);

/* Copies the values of column `column` (1 .. COLUMN) for scans 1 .. scan count into `buffer`,
 * each equal to get_data(column, s). Returns the scan count, or -1 when the column is out of
 * range or there is no current document. */
GEF_API long long gef_copy_column(int column, double* buffer, long long capacity);

/* The error list holds at most this many entries; later reports are dropped, and the log then
 * says "Too many errors". */
#define GEF_MAX_ERRORS 1000

/* Copies the error list: five ints per entry (code, subject, first number, second number, level)
 * in recording order, the order in which get_error_code and get_error_text give the entries.
 * Returns the number of entries (not ints); `capacity` counts entries too. A full list holds
 * GEF_MAX_ERRORS entries. */
GEF_API int gef_copy_errors(int* buffer, int capacity);

/* The bytes that frame the records of gef_copy_header and gef_copy_column_texts. */
#define GEF_COPY_ESCAPE 0x1B      /* the next byte is part of the value, whatever it is */
#define GEF_COPY_RECORD_END 0x1E  /* ends a record */
#define GEF_COPY_FIELD_START 0x1F /* starts each part of a record after the first */

/* Copies every stored keyword entry as bytes: one record per entry, keywords in code order and
 * entries in number order. A record is
 *
 *   NAME 0x1F NUMBER (0x1F FIELD)... 0x1E
 *
 * NAME is the keyword name ("COLUMNINFO"). NUMBER is the entry number in decimal for numbered
 * keywords, the name of the keyword an entry belongs to for STRUCTURETEXT and STRUCTURETYPE, and
 * empty otherwise. Then comes one FIELD per stored field of the keyword, in field order.
 * A FIELD is empty when absent, else a type letter and its value: 'i' integer, 'f' float,
 * 'd' double (numbers as shortest round-trip decimal text), 'c' one character, 't' text bytes as
 * stored. Inside character and text values each of the bytes GEF_COPY_ESCAPE (0x1B),
 * GEF_COPY_RECORD_END (0x1E) and GEF_COPY_FIELD_START (0x1F) is preceded by GEF_COPY_ESCAPE; no
 * other byte is escaped. Returns the number of bytes of the full copy; no terminating zero is
 * written. */
GEF_API long long gef_copy_header(char* buffer, long long capacity);

/* Copies the per-scan column texts of scans 1 .. scan count as bytes, one record per scan ended
 * by GEF_COPY_RECORD_END (0x1E): empty when the scan has no text (get_columntext_text gives
 * null), else 't' and the text escaped as in gef_copy_header. Returns the number of bytes of the
 * full copy. */
GEF_API long long gef_copy_column_texts(char* buffer, long long capacity);

/* Coordinate and height systems. A file names its system by the format's code (#XYID= 31000,
 * ...) or by the system's EPSG code (#XYID= 28992, ...); these functions take either and read
 * one table of the library. They never transform coordinates. Unknown codes give 0 or null. */

/* The EPSG code of the coordinate system of #XYID code `code` (28992 for 31000 and for 28992),
 * or 0 when the code is unknown or its system has no EPSG code. */
GEF_API int gef_coordinate_system_epsg(int code);

/* The English name of the coordinate system of #XYID code `code` ("RD (Rijksdriehoeksmeting)"),
 * or null when the code is unknown. The text belongs to the library. */
GEF_API const char* gef_coordinate_system_name(int code);

/* Where sound coordinates of the system of `code` lie, in its own units (degrees for longitude
 * and latitude): writes west, south, east, north (X from west to east, Y from south to north)
 * to bounds[0..3] unless `bounds` is null, and returns 1; returns 0 and writes nothing when the
 * code is unknown or the system has no area. */
GEF_API int gef_coordinate_system_area(int code, double* bounds);

/* What gef_location_doubt finds. Every doubt but GEF_LOCATION_NO_EPSG means the numbers should
 * not be trusted as a place; GEF_LOCATION_NO_EPSG only means the table cannot place them. */
#define GEF_LOCATION_SOUND 0          /* inside the area of a system with an EPSG code */
#define GEF_LOCATION_ZERO 1           /* X and Y both 0: a dummy */
#define GEF_LOCATION_SAME_VALUES 2    /* X equal to Y: a dummy */
#define GEF_LOCATION_UNKNOWN_SYSTEM 3 /* a code the table does not know */
#define GEF_LOCATION_NO_EPSG 4        /* a known system without EPSG code or area (0: unknown) */
#define GEF_LOCATION_OUTSIDE_AREA 5   /* outside the area of its system */
#define GEF_LOCATION_OLD_RD                                                                        \
  6 /* RD's code with numbers in old RD's area (origin at                                          \
       Amersfoort): written in old RD */

/* Judges an #XYID location: the first of this header's GEF_LOCATION_ values that applies, in
 * their order (so a dummy is named a dummy whatever its code). */
GEF_API int gef_location_doubt(int code, double x, double y);

/* The EPSG code of the height system of #ZID code `code` (5709 for 31000, NAP), or 0 when
 * unknown or without one. */
GEF_API int gef_height_system_epsg(int code);

/* The name of the height system of #ZID code `code` ("NAP"), or null when unknown. The text
 * belongs to the library. */
GEF_API const char* gef_height_system_name(int code);

GEF_EXTERN_C_END

#endif /* GEF_EXTENSIONS_H */
