/* SPDX-License-Identifier: MIT */
/* Writing the document as a GEF file and exporting its data block as a DIF table. Implemented
 * in src/writer/. */
#ifndef GEF_WRITER_H
#define GEF_WRITER_H

#include "gef/export.h"

GEF_EXTERN_C_BEGIN

/* Writes the document to the GEF file `filename`: the header in the format's keyword order
 * (only the keywords its GEFID allows), then the data block as text or, when DATAFORMAT is
 * binary, as little-endian records. Stores OS, DATAFORMAT and, for binary data, DATATYPE first,
 * and for text data with per-scan texts (COLUMNTEXT not 0) the separators the texts are read
 * back by, when missing: RECORDSEPARATOR "!" ("|" when "!" separates the columns) and
 * COLUMNSEPARATOR " " (";" when a blank separates the records); they stay stored. Text files end their lines with CR LF, binary files their header lines with
 * LF. Numbers do not depend on the caller's locale. The file is written beside the target and
 * put in place when complete. Returns 1 when header and data were written; 0 when the file could
 * not be written (error 40, the target unchanged) or only the header was (errors 9, 1002, 1003,
 * 1012). Needs init_gef first. */
GEF_API int write_gef(const char* filename);

/* Writes the data block to `filename` as a DIF table: a row of quantities, a row of units and one
 * row per scan, void values as blank text cells, numbers with six decimals. Leaves the document
 * and the error list unchanged. Returns 1 when written, 0 when the file could not be made. */
GEF_API int write_dif(const char* filename);

GEF_EXTERN_C_END

#endif /* GEF_WRITER_H */
