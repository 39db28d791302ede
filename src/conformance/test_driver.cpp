// SPDX-License-Identifier: MIT
// test_gef: chooses a rule set by name and runs all of its rules.
#include <string>

#include "api/boundary.h"
#include "conformance/bore_rules.h"
#include "conformance/header_rules.h"
#include "conformance/report_rules.h"
#include "diagnostics/error_list.h"
#include "gef/conformance.h"

namespace gef {
namespace {

int test_header(Document& doc) {
  // All four parts always run, so the list holds every finding in a fixed order.
  const Completeness first = check_header_completeness(doc);
  const int second = check_owner_date_project(doc);
  const bool columns = check_column_keywords(doc);
  const bool general = check_general_header_rules(doc);
  // Binary data without a usable type or byte order is severe even though it leaves the
  // completeness level alone.
  return first.worst == 0 && !first.binary_lack && second == 0 && columns && general ? 1 : 0;
}

int test_cpt_report(Document& doc) {
  const CptReport report = recognise_cpt_report(doc);
  if (!report.recognised) {
    report_text(doc, ERR_CPT_NOTE, "This is not a CPT Report", 0, 0, LEVEL_STANDARD_SEVERE);
    return 0;
  }
  // Each group runs whatever the others found.
  const bool required = check_cpt_required(doc, report);
  const bool first = check_cpt_first_reading(doc, report);
  const bool ascending = check_cpt_ascending(doc);
  return required && first && ascending ? 1 : 0;
}

} // namespace
} // namespace gef

using namespace gef;

int test_gef(const char* category) try {
  Document* doc = current();
  if (doc == nullptr) return 0;
  const std::string name = ascii_upper(category != nullptr ? category : "");
  if (name == "TAAL" || name == "HEADER") return test_header(*doc);
  if (name == "GEF-CPT-REPORT") return test_cpt_report(*doc);
  if (name == "DATA") return check_data(*doc) ? 1 : 0;
  if (name == "GEF-BORE-REPORT") return test_bore_report(*doc);
  report_text(*doc, ERR_NOTE, "This feature can not be tested.\n", 0, 0, LEVEL_GEF_WARNING);
  return 0;
}
GEF_CATCH(0)

int is_plotable(void) {
  Document* doc = current();
  return doc != nullptr && doc->header_checked != 0 ? doc->plotable : 0;
}
