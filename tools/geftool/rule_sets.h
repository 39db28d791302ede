// SPDX-License-Identifier: MIT
// The rule sets geftool check can run, and which report flavour a document claims to be.
#pragma once

#include <string>
#include <vector>

namespace geftool {

/// The report flavour a document names in PROCEDURECODE or REPORTCODE.
enum class ReportKind { None, Cpt, Bore };

/// A rule set of test_gef.
struct RuleSet {
  const char* name;  ///< the category passed to test_gef
  ReportKind report; ///< None: run on every file; otherwise only on reports of this kind
};

/// Every rule set test_gef knows, in the order check runs them.
const std::vector<RuleSet>& rule_sets();

/// The rule set named `name` (without regard to case), or null.
const RuleSet* find_rule_set(const std::string& name);

/// The flavour of the current document, judged from the code fields of PROCEDURECODE and
/// REPORTCODE; test_gef itself decides whether the document really is such a report.
ReportKind report_kind();

/// "GEF-CPT-Report", "GEF-BORE-Report" or "" for `kind`.
const char* report_kind_name(ReportKind kind);

/// The rule sets that apply to a document of flavour `kind`.
std::vector<const RuleSet*> default_rule_sets(ReportKind kind);

} // namespace geftool
