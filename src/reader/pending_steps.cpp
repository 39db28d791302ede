// Stand-ins for read steps that are not written yet; each goes when its real version arrives.
//
// Every function here is a seam: the file reader calls it at the right moment, and the real
// implementation (binary reader, column corrections, CPT report recognition and conversion)
// replaces the definition below.
#include "diagnostics/error_list.h"
#include "reader/read_steps.h"

namespace gef {

int read_binary_data(Document& doc, std::FILE* /*file*/) {
  // Without a reader the data block cannot be built; saying so beats pretending it is empty.
  report_text(doc, 1012, "Binary data blocks cannot be read yet.", 0, 0, 2);
  return 0;
}

void apply_column_corrections(Document& /*doc*/) {}

bool cpt_report_version(Document& /*doc*/, int* release, int* version, int* update) {
  *release = *version = *update = 0;
  return false;
}

int convert_cpt_report(Document& /*doc*/) { return 1; }

} // namespace gef
