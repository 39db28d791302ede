// SPDX-License-Identifier: MIT
// The one table of the format's standard numbers, written from the published GEF report
// standards; numbers it does not know are printed as numbers by its users.
#include "names.h"

#include <cctype>

namespace geftool {
namespace {

struct NumberedText {
  int number;
  const char* name;
};

const NumberedText kCptTexts[] = {
    {1, "client"},
    {2, "name of the project"},
    {3, "name of the location"},
    {4, "cone type and serial number"},
    {5, "penetration rig"},
    {6, "applied standard"},
    {9, "fixed horizontal level"},
};

const NumberedText kCptVars[] = {
    {1, "nominal area of the cone tip (mm2)"},
    {2, "nominal area of the friction sleeve (mm2)"},
    {3, "net area ratio of the cone tip"},
    {4, "net area ratio of the friction sleeve"},
    {5, "distance of the cone tip to the middle of the friction sleeve (mm)"},
    {6, "friction measured"},
    {7, "pore pressure u1 measured"},
    {8, "pore pressure u2 measured"},
    {9, "pore pressure u3 measured"},
    {10, "inclination measured"},
    {11, "back-flow compensator used"},
    {12, "type of penetration test"},
    {13, "pre-excavated depth (m)"},
    {14, "groundwater level (m)"},
    {15, "water depth (m)"},
    {16, "end depth of the penetration test (m)"},
    {17, "stop criterion"},
};

const NumberedText kBoreTexts[] = {
    {3, "name of the location"},  {4, "samples taken"},          {5, "date of the description"},
    {6, "name of the describer"}, {9, "fixed horizontal level"}, {13, "boring company"},
    {16, "date of the boring"},
};

const NumberedText kBoreVars[] = {
    {16, "bottom depth of the boring (m)"},
};

template <typename Row, std::size_t N> const Row* find(const Row (&rows)[N], int number) {
  for (const Row& row : rows)
    if (row.number == number) return &row;
  return nullptr;
}

template <std::size_t N> const char* name_of(const NumberedText (&rows)[N], int number) {
  const NumberedText* row = find(rows, number);
  return row != nullptr ? row->name : nullptr;
}

} // namespace

const char* measurement_text_name(Numbering numbering, int number) {
  return numbering == Numbering::Bore ? name_of(kBoreTexts, number) : name_of(kCptTexts, number);
}

const char* measurement_var_name(Numbering numbering, int number) {
  if (numbering == Numbering::Bore) {
    // Core methods come in pairs of variables after their texts 31 to 40.
    if (number >= 31 && number <= 50)
      return number % 2 == 1 ? "lower depth of a core method" : "diameter of the boring tube";
    return name_of(kBoreVars, number);
  }
  return name_of(kCptVars, number);
}

std::string unit_key(const std::string& unit) {
  if (unit == "%") return "pct";
  std::string key;
  for (char c : unit) {
    const auto u = static_cast<unsigned char>(c);
    if (std::isalnum(u) != 0)
      key += c;
    else if (c == '/' || c == '.' || c == '-')
      key += key.empty() || key.back() == '_' ? "" : "_";
  }
  while (!key.empty() && key.back() == '_') key.pop_back();
  return key;
}

} // namespace geftool
