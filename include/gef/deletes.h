/* SPDX-License-Identifier: MIT */
/* Deletes: remove single keyword occurrences from the current document. Implemented in
 * src/api/ (deletes.cpp). */
#ifndef GEF_DELETES_H
#define GEF_DELETES_H

#include "gef/export.h"

GEF_EXTERN_C_BEGIN

/* One delete per keyword (declared in keyword_functions.h). A delete releases every text of the
 * occurrence, clears its numbers and marks it absent; other occurrences keep their numbers, and a
 * freed slot of an appended keyword is the first one used again.
 *
 * Without an argument a delete removes the keyword's one occurrence; del_comment removes every
 * comment. del_column* take a column number (1..250; del_columninfo 1..COLUMN + 1), the text,
 * variable and child deletes a serial number (1..1500), del_scantime a slot number (1..250),
 * del_qnvoid and del_qnminmax a quantity number (the first slot holding it goes).
 *
 * Always returns 1 with a document, 0 without one. Nothing is reported: a number out of range
 * or an absent occurrence removes nothing. Some occurrences stay on purpose: del_gefid keeps
 * GEFID, and a one-text keyword stored with an empty text is kept. del_reportdataformat also
 * forgets the output formats; del_column clears COLUMN even when it was absent. */
#include "gef/keyword_functions.h"

GEF_EXTERN_C_END

#endif /* GEF_DELETES_H */
