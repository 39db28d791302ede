/* SPDX-License-Identifier: MIT */
/* Reading the error list: entry by entry, as level summaries, or as a log file. Implemented in
 * src/diagnostics/ (queries.cpp). */
#ifndef GEF_ERRORS_H
#define GEF_ERRORS_H

#include "gef/error_codes.h"
#include "gef/export.h"

GEF_EXTERN_C_BEGIN

/* Levels 1..5 ("GEF SEVERE" .. "GEF INFORMATION") concern the format itself and reading,
 * writing and data operations; 11..15 ("STANDARD SEVERE" .. "STANDARD INFORMATION") concern a
 * report standard. The severity class is the level modulo 10; smaller is more serious.
 * Returned texts belong to the library and stay valid until the next query that formats one. */

/* Code of the next entry, moving on; 0 when no entry is left. */
GEF_API int get_error_code(void);

/* Message of the next entry when `code` is its code, moving on; "-" for code 0; "Error
 * encountered" without moving when the entry has another code. Read in step with
 * get_error_code: call it with each code that returns. */
GEF_API const char* get_error_text(int code);

/* Smallest severity class among all entries, -1 when there are none. Marks every entry as seen
 * for get_error_level_recent. */
GEF_API int get_error_level_all(void);

/* Smallest severity class among the entries not yet seen by a summary, -1 when there are none;
 * marks them seen. */
GEF_API int get_error_level_recent(void);

/* Level (not the class) of the most recent entry. */
GEF_API int get_error_level_last(void);

/* Code of the most recent entry; -1 when nothing was recorded since the document started. */
GEF_API int get_last_error_code(void);

/* Message of the most recent entry; an empty text when there is none. */
GEF_API const char* get_last_error_text(void);

/* Writes every message to `filename`, one section per level that occurs, most serious first.
 * Returns 1, or 0 when the file cannot be opened (then error 40 is recorded). */
GEF_API int write_error_log(const char* filename);

GEF_EXTERN_C_END

#endif /* GEF_ERRORS_H */
