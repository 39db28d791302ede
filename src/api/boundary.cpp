// SPDX-License-Identifier: MIT
// What an export does with an exception that reached it: an error entry instead of a crash.
#include "api/boundary.h"

#include <cstdio>
#include <exception>
#include <new>
#include <stdexcept>

#include "diagnostics/error_codes.h"
#include "diagnostics/error_list.h"
#include "document/record.h"

namespace gef {

void record_exception() noexcept {
  Document* doc = current();
  if (doc == nullptr) return;
  try {
    throw;
  } catch (const std::bad_alloc&) {
    report_text(*doc, ERR_OUT_OF_MEMORY, "", 0, 0, LEVEL_GEF_SEVERE);
  } catch (const std::length_error&) {
    // A container asked for more than it can hold: memory, as far as the caller can tell.
    report_text(*doc, ERR_OUT_OF_MEMORY, "", 0, 0, LEVEL_GEF_SEVERE);
  } catch (const std::exception& e) {
    char text[128];
    std::snprintf(text, sizeof text, "Internal error: %s", e.what());
    report_text(*doc, ERR_NOTE, text, 0, 0, LEVEL_GEF_SEVERE);
  } catch (...) {
    report_text(*doc, ERR_NOTE, "Internal error", 0, 0, LEVEL_GEF_SEVERE);
  }
}

} // namespace gef
