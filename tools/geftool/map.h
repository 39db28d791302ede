// SPDX-License-Identifier: MIT
// geftool map: the files' locations as one GeoJSON FeatureCollection for GIS and web maps.
#pragma once

#include <string>
#include <vector>

namespace geftool {

/// What the command line of geftool map asked for.
struct MapOptions {
  std::vector<std::string> paths; ///< files and folders
  std::string output;             ///< GeoJSON file to write; empty: standard output
  int jobs = 1;                   ///< files read at once, each on its own thread and document
};

/// Writes a Point per file with a usable location and lists the others on stderr with the
/// reason. Returns 2 when a file could not be read or the output not written, 1 when a file was
/// left off the map, else 0.
int run_map(const MapOptions& options);

} // namespace geftool
