// SPDX-License-Identifier: MIT
// Library start and release, the editing initialisers, the busy flag and the escaping helpers.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

#include "api/boundary.h"
#include "api/setters.h"
#include "borecodes/code_table.h"
#include "diagnostics/error_list.h"
#include "document/record.h"
#include "document/store.h"
#include "gef/getters.h"
#include "gef/lifecycle.h"

namespace gef {
namespace {

constexpr int kSlashSize = 256;

// Resets the document and gives it a zeroed data block of columns x scans values. Returns false
// after reporting when the size is impossible or memory runs out; the document then has no data.
bool start_document(Document& doc, int columns, int scans) {
  reset_document(doc);
  if (!doc.entries) return false;
  release_data(doc);
  doc.input_mode = GETAL;
  doc.scan_count = 0;
  doc.scan_known = 0;

  const std::int64_t values = std::int64_t(columns) * scans;
  if (columns < 0) {
    report_keyword(doc, ERR_COLUMN_OUT_OF_RANGE, kNameColumns, columns, 250, LEVEL_GEF_SEVERE);
    return false;
  }
  if (scans < 0) {
    report_keyword(doc, ERR_NEGATIVE_SCAN_COUNT, kNameScans, 0, 0, LEVEL_GEF_SEVERE);
    return false;
  }
  if (values > std::numeric_limits<std::int32_t>::max()) {
    report_keyword(doc, ERR_BLOCK_TOO_LARGE, kNameColumns, std::numeric_limits<std::int32_t>::max(),
                   0, LEVEL_GEF_SEVERE);
    return false;
  }
  // Zero values still get an array, so that a document always has a data block to point at.
  library().data.reset(new (std::nothrow) double[values > 0 ? values : 1]());
  if (!library().data) {
    report_keyword(doc, ERR_OUT_OF_MEMORY, kNameColumns, std::int32_t(values / 1024), 0,
                   LEVEL_GEF_SEVERE);
    return false;
  }
  // One text reference per scan costs no more than the scan's values; without columns the table
  // would be all the memory a large scan count asks for, so set_columntext_text grows it then.
  if (!resize_column_texts(columns > 0 ? scans : 0)) {
    library().data.reset();
    report_keyword(doc, ERR_OUT_OF_MEMORY, kNameScans, std::int32_t(scans / 128), 0,
                   LEVEL_GEF_SEVERE);
    return false;
  }
  doc.value_capacity = std::int32_t(values);
  doc.data_present = 1;
  doc.scan_count = scans;
  doc.scan_known = 1;

  // The data block exists before COLUMN and LASTSCAN are stored, so their capacity check looks
  // at this document and not at an earlier one.
  set_keyword(KW_COLUMN, SetterCheck::COLUMN, {&columns});
  set_keyword(KW_LASTSCAN, SetterCheck::SCANS, {&scans});
  const int release = 1, version = 1, update = 0;
  set_keyword(KW_GEFID, SetterCheck::GEFID, {&release, &version, &update});
  return true;
}

} // namespace
} // namespace gef

using namespace gef;

int init_gef(void) try {
  library().conversion_stamp = 0;
  Document& doc = document();
  if (!ensure_entries(doc)) return 0;
  library().current = &doc;
  // A second call replaces the data block: whatever the earlier document held goes with it.
  release_data(doc);
  doc.scan_count = 0;
  doc.scan_known = 0;
  // The code texts start empty: which codes a caller expands is the caller's data.
  return create_code_holder() ? 1 : 0;
}
GEF_CATCH(0)

int init_gef_for_editing(int columns, int scans) try {
  Document* doc = current();
  if (doc == nullptr) return 0;
  if (!start_document(*doc, columns, scans)) return 0;
  const std::int32_t release = 1, version = 0, update = 0;
  const void* args[kMaxFields] = {"GEF-CPT-Report", &release, &version, &update, "-"};
  InputModeScope typed(*doc, GETAL);
  return store_keyword(*doc, KW_PROCEDURECODE, "PROCEDURECODE", args);
}
GEF_CATCH(0)

int init_gef_general(int columns, int scans) try {
  if (!init_gef()) return 0;
  return start_document(*current(), columns, scans) ? 1 : 0;
}
GEF_CATCH(0)

int free_gef(void) {
  Document* doc = current();
  if (doc == nullptr) return 1;
  clear_entries(*doc, false);
  if (doc->scan_known == 0)
    report_keyword(*doc, ERR_UNKNOWN_SCAN_COUNT, kNameScans, 0, 0, LEVEL_GEF_SEVERE);
  // The data block and column texts are released even without a known scan count: nothing may
  // outlive the document.
  release_data(*doc);
  library().column_texts.clear();
  library().column_texts.shrink_to_fit();
  library().scratch = ReadScratch{};
  doc->scan_count = 0;
  doc->scan_known = 0;
  doc->plotable = 0;
  doc->header_checked = 0;
  release_error_list(*doc);
  doc->entries.reset();
  library().current = nullptr;
  release_code_holder();
  return 1;
}

int Lock(void) {
  if (library().busy != 0) return 0;
  library().busy = 1;
  return 1;
}

int Unlock(void) {
  if (library().busy == 0) return 0;
  library().busy = 0;
  return 1;
}

int IsLocked(void) { return library().busy; }

char* gg_add_slash(const char* text) {
  char* out = static_cast<char*>(std::calloc(kSlashSize, 1));
  if (out == nullptr || text == nullptr) return out;
  int n = 0;
  for (const char* p = text; *p != '\0'; ++p) {
    const bool escape = *p == '#' || *p == ',' || *p == '\\';
    if (n + (escape ? 2 : 1) > kSlashSize - 1) break;
    if (escape) out[n++] = '\\';
    out[n++] = *p;
  }
  out[n] = '\0';
  return out;
}

char* gg_remove_slash(const char* text) {
  char* out = static_cast<char*>(std::calloc(kSlashSize, 1));
  if (out == nullptr || text == nullptr) return out;
  int n = 0;
  for (const char* p = text; *p != '\0' && n < kSlashSize - 1; ++p) {
    if (*p != '\\' || p[1] == '\0') {
      out[n++] = *p; // a trailing lone backslash is kept as it is
      continue;
    }
    ++p;
    if (*p == 't') {
      out[n++] = '\t';
    } else if (*p == 'n') {
      if (n + 2 > kSlashSize - 1) break;
      out[n++] = '\\';
      out[n++] = 'n';
    } else {
      out[n++] = *p;
    }
  }
  out[n] = '\0';
  return out;
}

GefDocument* the_header(void) { return reinterpret_cast<GefDocument*>(current()); }
