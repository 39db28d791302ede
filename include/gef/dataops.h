/* SPDX-License-Identifier: MIT */
/* Column operations: add, delete and look up data columns, make an empty data block, compute
 * column minima and maxima, build a time column, the cone-penetration computations and the
 * data conversion. Implemented in src/dataops/. */
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

/* Appends the friction ratio (%, quantity number 4, COLUMNVOID 0) computed from the penetration
 * length (1), cone resistance (2) and local friction (3): at each scan the friction over the
 * mean positive cone resistance along the sleeve (length from MEASUREMENTVAR 1 and 2 when both
 * are positive, else 0.134 m), shifted by the sleeve distance (MEASUREMENTVAR 5, recorded as
 * 100 mm when absent) when `shift` is nonzero. Scans with void or non-positive friction or an
 * empty window get 0. Columns 1 to 3 without COLUMNVOID get -10000000. Returns 1 when added, 0
 * without friction column or with a ratio column already, 2 when it could not be computed or
 * appended (the lookup or append reports why). */
GEF_API int calc_rf(int shift);

/* Appends the depth corrected for inclination (m, quantity number 11) from the penetration
 * length and the inclination components (9 and 10) or else the resultant inclination (8).
 * Void inclinations count as vertical; void lengths stay void and later depths carry the
 * offset. Returns 1 when added or already there, 0 when not possible. */
GEF_API int gca_add_diepte(void);

/* Shifts the penetration length by the pre-excavation depth of MEASUREMENTVAR 13 (as its
 * magnitude), away from zero in the direction the column runs; void readings stay. Returns 1
 * when done or the depth is 0, 0 when not possible (no MEASUREMENTVAR 13, no length column,
 * LASTSCAN 1, fewer than 2 scans). */
GEF_API int gca_pre_excavate(void);

/* gca_pre_excavate with the pre-excavation depth taken with its sign. */
GEF_API int gca_pre_excavate_corr(void);

/* Gives every scan of the local friction column (3) the reading taken one sleeve distance
 * (MEASUREMENTVAR 5, recorded as 100 mm when absent) further along the penetration length;
 * scans without such a reading take the column's void value (-10000000 when it had none).
 * Returns 1 when done, 0 when not possible. */
GEF_API int gca_shift_friction(void);

/* gca_shift_friction for the friction-ratio column (4). */
GEF_API int gca_shift_rf(void);

/* Orders the columns by quantity number (equal numbers keep their order), moving the data,
 * the per-column keywords, output formats and REPORTDATAFORMAT tokens with them and
 * renumbering TIMECOLUMN and the power-supply columns. Returns 1, or 0 when a column has no
 * quantity number (or 0) or the data block cannot be read. */
GEF_API int gcr_shift_columns(void);

/* Applies the DATACONVERSION occurrences to the data block and removes the applied ones,
 * renaming their target columns. Illegal methods are reported (error 42) and removed; USER
 * methods are kept untouched; occurrences starting outside the scans are removed silently.
 * Returns 1 when every other occurrence was applied, else 0 (the failed ones are kept). */
GEF_API int volt2phys(void);

GEF_EXTERN_C_END

#endif /* GEF_DATAOPS_H */
