// SPDX-License-Identifier: MIT
// The layers of a boring: depths, descriptions and their expansion with the soil code texts.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace geftool {

/// One layer (scan) of a boring.
struct Layer {
  int scan = 0;
  std::optional<double> top, bottom;    ///< readings of the columns of quantity 1 and 2
  std::string description;              ///< first piece of the column text, as written
  std::optional<std::string> expansion; ///< the description in words; none without code texts
  std::vector<std::string> additional;  ///< percentages and median grain size
};

/// Loads the code texts layers are expanded with: `codes` when given, else the soil code file
/// shipped beside geftool (share/libgef/soil_codes.txt next to its bin folder). When the file
/// cannot be read, warns once on stderr and returns false: layers then stay unexpanded.
bool load_layer_codes(const std::string& codes);

/// The layers of the current document; empty when it is not a boring.
std::vector<Layer> read_layers(bool expanded);

/// The layers as the JSON array "layers" of geftool info.
nlohmann::json layers_json(const std::vector<Layer>& layers);

/// Prints the layers as a table under a "Layers" heading.
void print_layers(const std::vector<Layer>& layers);

/// Prints rows of cells as a plain table whose column widths follow the longest cell.
void print_table(const std::vector<std::vector<std::string>>& table);

} // namespace geftool
