/* Column operations: add, delete and look up data columns, make an empty data block, compute
 * column minima and maxima and build a time column. */
#ifndef GEF_DATAOPS_H
#define GEF_DATAOPS_H

#include "gef/export.h"

GEF_EXTERN_C_BEGIN

/* Appends a column after the last one. Its values are `void_value` until the caller sets them
 * with set_data; COLUMN grows by one, and the new column gets COLUMNINFO (unit, quantity,
 * quantity number), COLUMNVOID (`void_value`) and COLUMNMINMAX; an existing REPORTDATAFORMAT
 * gains an output format for it. Returns the new column count, or 0 when refused: no COLUMN
 * (error 2), no data block (error 8), already 250 columns (error 1003), too large a block
 * (error 1011) or no memory (error 22); nothing changes then. */
GEF_API int add_data_column(const char* unit, const char* quantity, int qnumber, double void_value);

/* Deletes column `column` (1..COLUMN) from the data block and moves the per-column keywords
 * of the later columns (COLUMNINFO, COLUMNMINMAX, COLUMNOFFSET, COLUMNAMPLIFIER, COLUMNVOID,
 * COLUMNPOWERSUPPLY), their output formats, TIMECOLUMN and the power-supply column numbers
 * down by one. Returns 1, or 0 with error 7 (column out of range), 1013 (the time column),
 * 1014 (a power-supply column) or 1011 (the block is smaller than COLUMN says), changing
 * nothing then. */
GEF_API int delete_column(int column);

/* Replaces the data block by one of `columns` (1..250, error 1003) x `scans` (at least 1,
 * error 1015) zeros, and sets COLUMN, LASTSCAN and the scan count. Returns 1, or 0 when
 * refused (also error 1011 for too large a block, 22 without memory); nothing changes then. */
GEF_API int create_new_empty_datablock(int columns, int scans);

/* Stores COLUMNMINMAX of column `column` from its values that are not void. Returns 1 when
 * stored, 0 when no value qualified (COLUMNMINMAX is kept) or the column cannot be read:
 * no COLUMN (error 2), column outside 1..COLUMN (error 7), no data block (error 8). */
GEF_API int calc_columnminmax(int column);

/* calc_columnminmax for every column. Returns 1 when every column could be read, 0 without
 * columns or data block. */
GEF_API int calc_all_columnminmax(void);

/* The lowest column whose COLUMNINFO gives quantity number `qn`, or 0. */
GEF_API int qn2column(int qn);

/* Appends a column of elapsed seconds built from the SCANTIME occurrences (each a time per
 * scan from its start scan on), with quantity number `qn`, and stores TIMECOLUMN for it.
 * Needs SCANTIME, STARTDATE and STARTTIME and no TIMECOLUMN yet. SCANTIME occurrences that
 * start at or after the last scan are removed. Returns 1 when the column was added, else 0. */
GEF_API int maak_tijdkolom(int qn);

GEF_EXTERN_C_END

#endif /* GEF_DATAOPS_H */
