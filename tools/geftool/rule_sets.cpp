// SPDX-License-Identifier: MIT
// The table of rule sets test_gef knows, and the report flavour a document claims.
#include "rule_sets.h"

#include <gef/gef.h>

#include "text.h"

namespace geftool {
namespace {

bool mentions(const std::string& code, const char* dashed, const char* underscored) {
  return code.find(dashed) != std::string::npos || code.find(underscored) != std::string::npos;
}

} // namespace

const std::vector<RuleSet>& rule_sets() {
  static const std::vector<RuleSet> sets = {
      {"HEADER", ReportKind::None},
      {"DATA", ReportKind::None},
      {"GEF-CPT-Report", ReportKind::Cpt},
      {"GEF-BORE-Report", ReportKind::Bore},
  };
  return sets;
}

const RuleSet* find_rule_set(const std::string& name) {
  const std::string wanted = upper(name.c_str());
  for (const RuleSet& set : rule_sets())
    if (upper(set.name) == wanted || (wanted == "TAAL" && upper(set.name) == "HEADER")) return &set;
  return nullptr;
}

ReportKind report_kind() {
  const char* codes[] = {get_procedurecode_Code(), get_reportcode_Code()};
  for (const char* raw : codes) {
    const std::string code = upper(raw);
    if (mentions(code, "CPT-REPORT", "CPT_REPORT")) return ReportKind::Cpt;
    if (mentions(code, "BORE-REPORT", "BORE_REPORT")) return ReportKind::Bore;
  }
  return ReportKind::None;
}

const char* report_kind_name(ReportKind kind) {
  switch (kind) {
  case ReportKind::Cpt: return "GEF-CPT-Report";
  case ReportKind::Bore: return "GEF-BORE-Report";
  default: return "";
  }
}

std::vector<const RuleSet*> default_rule_sets(ReportKind kind) {
  std::vector<const RuleSet*> chosen;
  for (const RuleSet& set : rule_sets())
    if (set.report == ReportKind::None || set.report == kind) chosen.push_back(&set);
  return chosen;
}

} // namespace geftool
