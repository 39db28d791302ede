// SPDX-License-Identifier: MIT
// The one document record, the library-wide state, and the reset that starts a new document.
#include "document/record.h"

#include <array>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <new>

#include "borecodes/code_table.h"
#include "diagnostics/error_list.h"
#include "gef/lifecycle.h"

namespace gef {

Session g_process;
// A plain pointer, owning: objects with destructors in thread storage are not released reliably
// as a thread ends on every platform (MinGW frees their storage first).
thread_local Session* t_session = nullptr;

Session::Session() = default;
Session::~Session() = default;

bool use_thread_session(bool own) {
  if (own) {
    if (t_session == nullptr) t_session = new (std::nothrow) Session();
    return t_session != nullptr;
  }
  if (t_session != nullptr) {
    free_gef(); // the thread's own document, while it is still the current one
    delete t_session;
    t_session = nullptr;
  }
  return true;
}

void release_texts(Entry& e, int code) {
  for (unsigned texts = keyword_info(code).text_fields, k = 0; texts != 0; texts >>= 1, ++k) {
    if ((texts & 1) == 0) continue;
    std::free(e.field[k].s);
    e.field[k].s = nullptr;
  }
}

namespace {

// An entry of each keyword as a reset leaves it, made once: a reset then copies it instead of
// walking the keyword's fields.
Entry make_reset_entry(int code) {
  Entry e;
  std::memset(static_cast<void*>(&e), 0, sizeof e);
  const KeywordInfo& kw = keyword_info(code);
  for (int k = 0; k < kw.field_count; ++k) {
    const FieldInfo& f = field_info(code, k);
    switch (f.type) {
    case FieldType::INT: e.field[k].i = static_cast<std::int32_t>(f.reset_value); break;
    case FieldType::FLOAT: e.field[k].f = static_cast<float>(f.reset_value); break;
    case FieldType::DOUBLE: e.field[k].d = f.reset_value; break;
    case FieldType::CHAR: e.field[k].c = '\0'; break;
    case FieldType::TEXT: e.field[k].s = nullptr; break;
    }
  }
  return e;
}

const std::array<Entry, kKeywordSlots>& reset_entries() {
  static const auto reset = [] {
    std::array<Entry, kKeywordSlots> entries;
    for (int c = 0; c < kKeywordSlots; ++c) entries[std::size_t(c)] = make_reset_entry(c);
    return entries;
  }();
  return reset;
}

void reset_entry(Entry& e, int code) { e = reset_entries()[std::size_t(code)]; }

// Whether the reset state of keyword `code` is the all-zero bytes calloc gives.
bool resets_to_zero(int code) {
  static const Field zero[kMaxFields] = {};
  const Entry& e = reset_entries()[std::size_t(code)];
  return e.present == 0 && e.bits == 0 && std::memcmp(e.field, zero, sizeof zero) == 0;
}

} // namespace

bool ensure_entries(Document& doc) {
  if (doc.entries) return true;
  // Most areas reset to zeros; the rest of nearly 2 MB is left to calloc, whose untouched pages
  // cost nothing, where writing every entry cost each process a few milliseconds.
  doc.entries.reset(static_cast<Entry*>(std::calloc(std::size_t(total_entries()), sizeof(Entry))));
  if (!doc.entries) return false;
  for (int code = 1; code < kKeywordSlots; ++code) {
    const KeywordInfo& kw = keyword_info(code);
    if (kw.name == nullptr || kw.area != code) continue;
    if (!resets_to_zero(code))
      for (int i = 0; i < kw.capacity; ++i) reset_entry(entry(doc, code, i), code);
    doc.used[code] = 0;
  }
  return true;
}

void clear_entries(Document& doc, bool reset_values) {
  if (!doc.entries) return;
  for (int code = 1; code < kKeywordSlots; ++code) {
    const KeywordInfo& kw = keyword_info(code);
    if (kw.name == nullptr || kw.area != code) continue;
    for (int i = 0; i < doc.used[code]; ++i) {
      Entry& e = entry(doc, code, i);
      release_texts(e, code);
      if (reset_values) {
        reset_entry(e, code);
      } else {
        e.present = 0;
        e.bits = 0;
      }
    }
    if (reset_values) doc.used[code] = 0;
  }
}

void release_data(Document& doc) {
  for (char* text : library().column_texts) std::free(text);
  // Cleared, not reallocated: every reader of the table checks its size first.
  library().column_texts.clear();
  library().data.reset();
  doc.data_present = 0;
  doc.value_capacity = 0;
}

bool resize_column_texts(int scans) noexcept {
  auto& texts = library().column_texts;
  for (char* text : texts) std::free(text);
  texts.clear();
  try {
    texts.resize(scans > 0 ? std::size_t(scans) : 0, nullptr);
  } catch (const std::exception&) {
    return false;
  }
  return true;
}

void reset_document(Document& doc) {
  reset_error_list(doc);
  if (!ensure_entries(doc)) return;
  clear_entries(doc, true);
  for (auto& format : doc.formats) format.reset();
  doc.input_mode = GETAL;
  doc.scan_known = 0;
  doc.header_checked = 0;
  doc.reading = ReadState{};
  // A report-version conversion belongs to the document it was made for.
  library().conversion_stamp = 0;
}

} // namespace gef
