/* SPDX-License-Identifier: MIT */
/* Checking the current document against the rules of the format and its report flavours.
 * Implemented in src/conformance/. */
#ifndef GEF_CONFORMANCE_H
#define GEF_CONFORMANCE_H

#include "gef/export.h"

GEF_EXTERN_C_BEGIN

/* Checks the document against a rule set, chosen by name without regard to case: "HEADER" (or
 * "TAAL") for the rules every header must obey, "GEF-CPT-Report" for the CPT report standard,
 * "GEF-BORE-Report" for the boring report standard and "DATA" for the agreement of the data
 * block with its header. Every broken rule is recorded in
 * the error list; nothing stops at the first problem and the document is not changed. Returns 1
 * when every rule held, 0 otherwise; an unknown name is itself recorded (error 42) and gives 0. */
GEF_API int test_gef(const char* category);

/* 1 when the last header completeness check (after reading, or by test_gef) found nothing
 * that keeps the data from being plotted, else 0; 0 after a reset. */
GEF_API int is_plotable(void);

/* 1 when PROCEDURECODE or REPORTCODE make the document a CPT report of a version the library
 * knows (1.0.0, 1.1.0, 1.1.1, 1.1.2), else 0. Computed afresh on every call. */
GEF_API int gcr_is_gcr(void);

/* The same answer as gcr_is_gcr. */
GEF_API int gcr_is_legal(void);

/* The release (first number, 1 for every known version) of the recognised CPT report version;
 * -1 when no version is recognised. */
GEF_API int gcr_get_release(void);

/* The version (second number: 0 for 1.0.0, 1 for the 1.1.x versions) of the recognised CPT
 * report version; -1 when no version is recognised. */
GEF_API int gcr_get_version(void);

/* The update (third number: 0, 1 or 2 of 1.1.x) of the recognised CPT report version; -1 when
 * no version is recognised. */
GEF_API int gcr_get_update(void);

GEF_EXTERN_C_END

#endif /* GEF_CONFORMANCE_H */
