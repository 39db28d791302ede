// SPDX-License-Identifier: MIT
// Computed columns added on request, and what the reader's conversion of an older CPT report
// left behind.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "findings.h"

namespace geftool {

/// Appends the computed columns named in `list` (comma-separated: rf, rf-shifted, depth) to the
/// document. A column the document already has is kept, and one that cannot be computed is
/// left out, each with a note on stderr for `command`. Returns 0 when every name was handled,
/// 1 when a column could not be computed, 2 for an unknown name.
int add_derived_columns(const char* command, const std::string& list);

/// What the reader did to an older CPT report, learnt from the entries it recorded.
struct ReadConversion {
  bool converted = false;     // a recognised 1.0.0 report, converted on reading
  bool signs_changed = false; // the penetration length changed sign (the information entry)
};

/// The conversion the reader's findings tell of.
ReadConversion conversion_of(const std::vector<Finding>& findings);

/// The info line for a converted report, none when it was not converted.
std::optional<std::string> conversion_text(const ReadConversion& conversion);

/// The same as JSON: null when not converted.
nlohmann::json conversion_json(const ReadConversion& conversion);

} // namespace geftool
