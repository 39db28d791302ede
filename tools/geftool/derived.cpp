// SPDX-License-Identifier: MIT
// Computed columns for dump and convert, and the info about a CPT report converted on reading.
#include "derived.h"

#include <algorithm>
#include <cstring>
#include <iostream>
#include <sstream>

#include <gef/gef.h>

#include "parallel.h"

namespace geftool {
namespace {

constexpr int kRatio = 4, kDepth = 11;
constexpr const char* kWrittenAs = "1.1.0";

// Adds one computed column: 0 added or kept, 1 not computable, 2 unknown name.
int add_one(const char* command, const std::string& name) {
  int quantity = 0;
  if (name == "rf" || name == "rf-shifted") {
    quantity = kRatio;
  } else if (name == "depth") {
    quantity = kDepth;
  } else {
    diagnostics() << "geftool " << command << ": unknown computed column '" << name
                  << "' (rf, rf-shifted, depth)\n";
    return 2;
  }
  if (qn2column(quantity) != 0) {
    diagnostics() << "geftool " << command << ": " << name << ": the file has this column already ("
                  << qn2column(quantity) << "); it is kept\n";
    return 0;
  }
  bool added = false;
  if (name == "rf")
    added = calc_rf(0) == 1;
  else if (name == "rf-shifted")
    added = calc_rf(1) == 1;
  else
    added = gca_add_diepte() == 1 && qn2column(kDepth) != 0;
  if (added) return 0;
  diagnostics() << "geftool " << command << ": " << name << ": cannot be computed for this file ("
                << (quantity == kRatio
                        ? "needs penetration length, cone resistance and local friction"
                        : "needs penetration length and inclination")
                << "); left out\n";
  return 1;
}

} // namespace

int add_derived_columns(const char* command, const std::string& list) {
  int status = 0;
  std::stringstream names(list);
  std::string name;
  while (std::getline(names, name, ',')) {
    if (name.empty()) continue;
    const int result = add_one(command, name);
    status = std::max(status, result);
  }
  return status;
}

ReadConversion conversion_of(const std::vector<Finding>& findings) {
  ReadConversion conversion;
  conversion.converted = gcr_is_gcr() != 0 && gcr_get_release() == 1 && gcr_get_version() == 0 &&
                         gcr_get_update() == 0;
  // The reader's information entry when the penetration length changed sign.
  for (const Finding& f : findings)
    if (f.code == GEF_E_CPT_NOTE && f.text.find("succesfully converted") != std::string::npos)
      conversion.signs_changed = conversion.converted;
  return conversion;
}

std::optional<std::string> conversion_text(const ReadConversion& conversion) {
  if (!conversion.converted) return std::nullopt;
  return std::string("converted on reading (written as ") + kWrittenAs + "), " +
         (conversion.signs_changed ? "signs changed" : "signs unchanged");
}

nlohmann::json conversion_json(const ReadConversion& conversion) {
  if (!conversion.converted) return nullptr;
  return {{"converted_on_reading", true},
          {"written_as", kWrittenAs},
          {"signs_changed", conversion.signs_changed}};
}

} // namespace geftool
