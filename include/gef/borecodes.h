/* SPDX-License-Identifier: MIT */
/* Borings: the code-text table, the expansion of layer description codes and the recognition
 * of boring reports. Implemented in src/borecodes/, gbr_is_gbr in src/conformance/. */
#ifndef GEF_BORECODES_H
#define GEF_BORECODES_H

#include "gef/export.h"

GEF_EXTERN_C_BEGIN

/* Loads the code-text table from `filename`: one code per line, "CODE;description;", where a
 * "!" or "[]" starts a comment. Up to 1024 codes are kept in file order. The earlier table is
 * replaced only when the file was read. Returns 1 when the file was read; 0 when it cannot be
 * opened (error 3001) or memory runs out (error 22). */
GEF_API int load_codetexts(const char* filename);

/* Empties the code-text table. Harmless when it is already empty. Always returns 1. */
GEF_API int free_codetexts(void);

/* Expands a layer description such as "Zs1h2" into the descriptions of its codes, joined by
 * `separator` (", " when null). Unknown words show as "WORD=???". Returns
 * "Text is empty or contains unknown code" when nothing expands. The text belongs to the
 * library and stays valid until the next call. */
GEF_API const char* gbr_code2text(const char* code, const char* separator);

/* Splits a description code into its parts separated by blanks ("Zs1h2" gives "Z s1 h2");
 * "NBE" and "GM" are returned as they are. `code` is not changed. The text belongs to the
 * library and stays valid until the next call. */
GEF_API const char* gbr_NEN5104_splits(char* code);

/* How many additional strings (percentages and median grain size) layer `scan` has; 0 when the
 * scan is out of range. */
GEF_API int gbr_get_nr_additional_strings(int scan);

/* The k-th additional string of layer `scan`, such as "K%=12" or "ZM=0.210 mm", or an empty
 * text. Returns a new 256-byte buffer that the caller releases with free() (null only when
 * memory runs out). */
GEF_API char* gbr_get_additional_string(int scan, int k);

/* 1 when REPORTCODE names a GEF-BORE-Report (any version, any letter case), else 0. */
GEF_API int gbr_is_gbr(void);

GEF_EXTERN_C_END

#endif /* GEF_BORECODES_H */
