// SPDX-License-Identifier: MIT
// The one table of the coordinate systems of #XYID and the height systems of #ZID, with the
// gef_ extensions that read it.
//
// A file names its system by the format's code (31000 for RD) or, as the national registry
// writes it, by the EPSG code itself (28992); both find the same row. The table only names and
// bounds systems: transforming coordinates is left to callers with a projection library.
#include <cstddef>

#include "gef/extensions.h"

namespace gef {
namespace {

constexpr int kRd = 31000, kOldRd = 31001;

// One coordinate system. `code` is the format's code (0 for a system the format has no code
// for, which files can still name by its EPSG code); `epsg` is 0 where the EPSG registry has no
// matching system. The area is where sound coordinates lie, in the system's own units (metres,
// or degrees for geographic systems, x as longitude); none where both its sides are 0.
struct CoordinateSystem {
  int code;
  int epsg;
  const char* name;
  double west, south, east, north;
};

// RD's area is the one RD users quote (X 0 to 300 km, Y 289 to 629 km); old RD's is the same
// area in its own numbers. The others are EPSG's areas of use in their own units, rounded
// outwards to the kilometre (to the degree for the geographic systems).
const CoordinateSystem kCoordinateSystems[] = {
    {0, 0, "unknown or local system", 0, 0, 0, 0},
    {kRd, 28992, "RD (Rijksdriehoeksmeting)", 0.0, 289000.0, 300000.0, 629000.0},
    {kOldRd, 28991, "old RD (origin at Amersfoort)", -155000.0, -174000.0, 145000.0, 166000.0},
    {32000, 31370, "Belgian Lambert 72", 14000.0, 20000.0, 298000.0, 247000.0},
    {32001, 3812, "Belgian Lambert 2008", 514000.0, 520000.0, 798000.0, 747000.0},
    {49000, 0, "Gauss-Krueger", 0, 0, 0, 0},
    {0, 32631, "WGS 84 / UTM zone 31N", 166000.0, 0.0, 834000.0, 9330000.0},
    {0, 32632, "WGS 84 / UTM zone 32N", 166000.0, 0.0, 834000.0, 9330000.0},
    {0, 25831, "ETRS89 / UTM zone 31N", 233000.0, 4094000.0, 768000.0, 9157000.0},
    {0, 25832, "ETRS89 / UTM zone 32N", 239000.0, 4290000.0, 762000.0, 9366000.0},
    {0, 23031, "ED50 / UTM zone 31N", 238000.0, 4268000.0, 763000.0, 9157000.0},
    {0, 23032, "ED50 / UTM zone 32N", 230000.0, 4042000.0, 770000.0, 9367000.0},
    {0, 4326, "WGS 84 (longitude, latitude)", -180.0, -90.0, 180.0, 90.0},
    {0, 4258, "ETRS89 (longitude, latitude)", -17.0, 32.0, 41.0, 85.0},
};

// One height system, with the same two kinds of code.
struct HeightSystem {
  int code;
  int epsg;
  const char* name;
};

const HeightSystem kHeightSystems[] = {
    {0, 0, "unknown or local level"},
    {31000, 5709, "NAP"},
    {32000, 5710, "TAW (Ostend level)"},
    {49000, 0, "NN (Normalnull)"},
    {0, 5714, "MSL (mean sea level)"},
    {0, 5783, "DHHN92"},
    {0, 7837, "DHHN2016"},
};

// The row a file's code stands for: the format's code first, then the EPSG code. Code 0 is the
// format's "unknown" and never an EPSG code.
template <typename Row, std::size_t N> const Row* find(const Row (&rows)[N], int code) {
  for (const Row& row : rows)
    if (row.code == code && (code != 0 || row.epsg == 0)) return &row;
  if (code != 0)
    for (const Row& row : rows)
      if (row.epsg == code) return &row;
  return nullptr;
}

template <typename Row, std::size_t N> int epsg_of(const Row (&rows)[N], int code) {
  const Row* row = find(rows, code);
  return row != nullptr ? row->epsg : 0;
}

template <typename Row, std::size_t N> const char* name_of(const Row (&rows)[N], int code) {
  const Row* row = find(rows, code);
  return row != nullptr ? row->name : nullptr;
}

// Whether x, y lie in the area west, south, east, north.
bool inside(const double (&area)[4], double x, double y) {
  return x >= area[0] && x <= area[2] && y >= area[1] && y <= area[3];
}

} // namespace
} // namespace gef

extern "C" {

int gef_coordinate_system_epsg(int code) { return gef::epsg_of(gef::kCoordinateSystems, code); }

const char* gef_coordinate_system_name(int code) {
  return gef::name_of(gef::kCoordinateSystems, code);
}

int gef_coordinate_system_area(int code, double* bounds) {
  const gef::CoordinateSystem* row = gef::find(gef::kCoordinateSystems, code);
  if (row == nullptr || (row->west == row->east && row->south == row->north)) return 0;
  if (bounds != nullptr) {
    bounds[0] = row->west;
    bounds[1] = row->south;
    bounds[2] = row->east;
    bounds[3] = row->north;
  }
  return 1;
}

int gef_location_doubt(int code, double x, double y) {
  if (x == 0 && y == 0) return GEF_LOCATION_ZERO;
  if (x == y) return GEF_LOCATION_SAME_VALUES;
  const gef::CoordinateSystem* row = gef::find(gef::kCoordinateSystems, code);
  if (row == nullptr) return GEF_LOCATION_UNKNOWN_SYSTEM;
  double area[4];
  if (row->epsg == 0 || gef_coordinate_system_area(code, area) == 0) return GEF_LOCATION_NO_EPSG;
  if (gef::inside(area, x, y)) return GEF_LOCATION_SOUND;
  // Old RD put its origin at Amersfoort; files still carry such numbers under RD's code.
  if (row->code == gef::kRd && gef_coordinate_system_area(gef::kOldRd, area) != 0 &&
      gef::inside(area, x, y))
    return GEF_LOCATION_OLD_RD;
  return GEF_LOCATION_OUTSIDE_AREA;
}

int gef_height_system_epsg(int code) { return gef::epsg_of(gef::kHeightSystems, code); }

const char* gef_height_system_name(int code) { return gef::name_of(gef::kHeightSystems, code); }

} // extern "C"
