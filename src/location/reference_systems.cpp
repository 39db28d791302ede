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

// One coordinate system. `code` is the format's code (0 for a system the format has no code
// for, which files can still name by its EPSG code); `epsg` is 0 where the EPSG registry has no
// matching system. The area is where sound coordinates lie, in the system's own units (metres,
// or degrees for geographic systems, x as longitude): the EPSG area of use, rounded outwards.
struct CoordinateSystem {
  int code;
  int epsg;
  const char* name;
  double west, south, east, north;
};

// Bounds of the UTM zones of the northern hemisphere, the same for every zone.
#define GEF_UTM_NORTH 166000.0, 0.0, 834000.0, 9330000.0

const CoordinateSystem kCoordinateSystems[] = {
    {0, 0, "unknown or local system", 0, 0, 0, 0},
    {31000, 28992, "RD (Rijksdriehoeksmeting)", 0.0, 289000.0, 300000.0, 629000.0},
    // RD with its origin at Amersfoort itself: today's RD less 155000 and 463000.
    {31001, 28991, "old RD (origin at Amersfoort)", -155000.0, -174000.0, 145000.0, 166000.0},
    {32000, 31370, "Belgian Lambert 72", 14000.0, 20000.0, 300000.0, 248000.0},
    {32001, 3812, "Belgian Lambert 2008", 514000.0, 520000.0, 800000.0, 748000.0},
    {49000, 0, "Gauss-Krueger", 0, 0, 0, 0},
    {0, 32631, "WGS 84 / UTM zone 31N", GEF_UTM_NORTH},
    {0, 32632, "WGS 84 / UTM zone 32N", GEF_UTM_NORTH},
    {0, 25831, "ETRS89 / UTM zone 31N", GEF_UTM_NORTH},
    {0, 25832, "ETRS89 / UTM zone 32N", GEF_UTM_NORTH},
    {0, 23031, "ED50 / UTM zone 31N", GEF_UTM_NORTH},
    {0, 23032, "ED50 / UTM zone 32N", GEF_UTM_NORTH},
    {0, 4326, "WGS 84 (longitude, latitude)", -180.0, -90.0, 180.0, 90.0},
    {0, 4258, "ETRS89 (longitude, latitude)", -17.0, 32.0, 41.0, 84.0},
};

#undef GEF_UTM_NORTH

constexpr int kRd = 31000, kOldRd = 31001;

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
