/* SPDX-License-Identifier: MIT */
/* Starting, resetting and releasing the library's one document, and the busy flag. Implemented
 * in src/document/ (lifecycle.cpp). */
#ifndef GEF_LIFECYCLE_H
#define GEF_LIFECYCLE_H

#include "gef/export.h"

GEF_EXTERN_C_BEGIN

/* Prepares the library; must come before every other call except Lock, Unlock and IsLocked.
 * Calling it again releases the data block and column texts of an earlier document.
 * Returns 1, or 0 when memory runs out. */
GEF_API int init_gef(void);

/* Starts a new, empty document of `columns` x `scans` zero values with COLUMN, LASTSCAN,
 * GEFID 1.1.0 and PROCEDURECODE GEF-CPT-Report 1.0.0. Needs init_gef first. Returns 1, or 0
 * when the size is negative or too large (errors 7, 1015, 1011) or memory runs out (error 22). */
GEF_API int init_gef_for_editing(int columns, int scans);

/* As init_gef_for_editing without PROCEDURECODE; calls init_gef itself. Every scan starts
 * without a column text. Returns 1, or 0 on the same failures. */
GEF_API int init_gef_general(int columns, int scans);

/* Releases every text, the data block, the column texts and the error list. Afterwards only
 * init_gef, Lock, Unlock and IsLocked may be called. Always returns 1. */
GEF_API int free_gef(void);

/* The busy flag lets cooperating callers mark the one document as in use; the library itself
 * never tests it. Lock returns 1 when it set the flag and 0 when it was already set; Unlock
 * returns 1 when it cleared the flag and 0 when it was clear; IsLocked returns the flag. */
GEF_API int Lock(void);
GEF_API int Unlock(void);
GEF_API int IsLocked(void);

/* Escapes '#', ',' and '\' with a backslash so a text survives a header line. Returns a new
 * 256-byte buffer that the caller releases with free(); the result is cut at 255 characters,
 * never in the middle of an escape. A null text gives an empty text. */
GEF_API char* gg_add_slash(const char* text);

/* Undoes gg_add_slash: "\t" becomes a tab, "\n" stays as the two characters, a backslash before
 * any other character is dropped, and a trailing lone backslash is kept. Returns a new 256-byte
 * buffer that the caller releases with free(), cut at 255 characters. */
GEF_API char* gg_remove_slash(const char* text);

GEF_EXTERN_C_END

#endif /* GEF_LIFECYCLE_H */
