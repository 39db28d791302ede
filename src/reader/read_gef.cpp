// SPDX-License-Identifier: MIT
// read_gef: opens a GEF file, reads its header and data block, and runs the steps after reading.
#include <cstdio>
#include <cstring>
#include <memory>

#include "api/boundary.h"
#include "conformance/header_rules.h"
#include "diagnostics/error_list.h"
#include "document/columns.h"
#include "gef/errors.h"
#include "gef/reader.h"
#include "reader/file_io.h"
#include "reader/header_parser.h"
#include "reader/read_steps.h"

namespace gef {
namespace {

bool is_ascii_format(Document& doc) {
  const Entry& format = entry(doc, KW_DATAFORMAT, 0);
  if (format.present == 0 || format.field[0].s == nullptr) return true;
  return equals_nocase(format.field[0].s, "ASCII");
}

// Level of everything reported since the last summary, for the closing report of a failed read.
Level recent_level() {
  const int level = get_error_level_recent();
  return level > 0 ? Level(level) : LEVEL_GEF_SEVERE;
}

// Reads the file into the document; 1 when header and data block were read.
int read_gef_file(Document& doc, const char* filename) {
  reset_document(doc);
  const char* name = filename != nullptr ? filename : "";
  std::FILE* file = filename != nullptr ? open_input(filename) : nullptr;
  if (file == nullptr) {
    report_text(doc, ERR_CANNOT_OPEN_FILE, name, 0, 0, LEVEL_GEF_SEVERE);
    return 0;
  }
  // Closed however the read ends, when memory runs out under way too.
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> input(file, &std::fclose);
  if (read_header(doc, file) == 0) {
    check_owner_date_project(doc);
    const Level level = recent_level();
    report_text(doc, ERR_HEADER_SEVERE_STOP, name, 0, 0, level);
    return 0;
  }
  if (has_column_count(doc)) {
    const int read =
        is_ascii_format(doc) ? read_ascii_data(doc, file) : read_binary_data(doc, file);
    if (read != 0) {
      apply_column_corrections(doc);
      return 1;
    }
  }
  const Level level = recent_level();
  report_text(doc, ERR_DATA_BLOCK_ERRORS, name, 0, 0, level);
  return 0;
}

} // namespace
} // namespace gef

using namespace gef;

int read_gef(const char* filename) try {
  Document* doc = current();
  if (doc == nullptr) return 0;
  if (read_gef_file(*doc, filename) == 0) return 0;
  int release = 0, version = 0, update = 0;
  if (!cpt_report_version(*doc, &release, &version, &update)) return 1;
  if (release == -1 || version == -1 || update == -1) {
    char text[96];
    std::snprintf(text, sizeof text, "Illegal release %d, version %d, or update %d.", release,
                  version, update);
    report_text(*doc, ERR_CPT_NOTE, text, 0, 0, LEVEL_STANDARD_SEVERE);
    return 0;
  }
  if (release == 1 && version == 0 && update == 0) return convert_cpt_report(*doc);
  return 1;
}
GEF_CATCH(0)
