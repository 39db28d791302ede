// SPDX-License-Identifier: MIT
// Which CPT report version a document follows, judged from its PROCEDURECODE and REPORTCODE.
#include <string>

#include "api/boundary.h"
#include "conformance/report_rules.h"
#include "gef/conformance.h"

namespace gef {
namespace {

constexpr int kAbsent = -1;

// A code keyword as the recognition sees it: the upper-case code text and the version number
// release x 10000 + version x 100 + update, or -1 when the version is not usable.
struct Code {
  bool present = false;
  std::string name;
  int number = kAbsent;
};

Code read_code(Document& doc, int keyword) {
  Code code;
  if (!doc.entries) return code;
  const Entry& e = entry(doc, keyword, 0);
  if (e.present == 0 || (e.bits & 0x1u) == 0) return code;
  code.present = true;
  if (e.field[0].s != nullptr) code.name = ascii_upper(e.field[0].s);
  if ((e.bits & 0xEu) != 0xEu) return code;
  // Parts beyond two digits would overflow the number or alias another version.
  for (int k = 1; k <= 3; ++k)
    if (e.field[k].i < 0 || e.field[k].i > 99) return code;
  code.number = int(version_number(e.field[1].i, e.field[2].i, e.field[3].i));
  return code;
}

bool names_report(const std::string& name) {
  return name == "GEF-CPT-REPORT" || name == "GEF_CPT_REPORT";
}

bool known_later_version(int number) {
  return number == 10100 || number == 10101 || number == 10102;
}

CptReport version_of(int number) {
  return {true, number / 10000, (number / 100) % 100, number % 100};
}

} // namespace

CptReport recognise_cpt_report(Document& doc) {
  const Code procedure = read_code(doc, KW_PROCEDURECODE);
  int p = kAbsent;
  if (procedure.name.find("CPT-REPORT") != std::string::npos ||
      procedure.name.find("CPT_REPORT") != std::string::npos)
    p = procedure.number;
  const Code report = read_code(doc, KW_REPORTCODE);
  const int r = names_report(report.name) ? report.number : kAbsent;

  if (p == 10000) return version_of(p);
  if (r >= 1) return known_later_version(r) ? version_of(r) : CptReport{};
  if (known_later_version(p) && names_report(procedure.name)) return version_of(p);
  return {};
}

} // namespace gef

using namespace gef;

namespace {

CptReport current_report() {
  Document* doc = current();
  return doc != nullptr ? recognise_cpt_report(*doc) : CptReport{};
}

} // namespace

int gcr_is_gcr(void) try { return current_report().recognised ? 1 : 0; }
GEF_CATCH(0)
int gcr_is_legal(void) { return gcr_is_gcr(); }
int gcr_get_release(void) try { return current_report().release; }
GEF_CATCH(0)
int gcr_get_version(void) try { return current_report().version; }
GEF_CATCH(0)
int gcr_get_update(void) try { return current_report().update; }
GEF_CATCH(0)
