/* SPDX-License-Identifier: MIT */
/* Reading a GEF file into the library's one document. Implemented in src/reader/. */
#ifndef GEF_READER_H
#define GEF_READER_H

#include "gef/export.h"

GEF_EXTERN_C_BEGIN

/* Resets the document and reads the GEF file `filename` into it: the header into the keywords,
 * the data block into the data values and, with COLUMNTEXT 1, one text per scan. Needs
 * init_gef first. Returns 1 when the file was read (problems of lesser levels may still be in
 * the error list) and 0 when it could not be opened, its header was unusable (error 37) or its
 * data block could not be read (error 1001). The file is opened in binary mode; line ends may
 * be LF or CR LF. */
GEF_API int read_gef(const char* filename);

GEF_EXTERN_C_END

#endif /* GEF_READER_H */
