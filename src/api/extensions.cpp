// SPDX-License-Identifier: MIT
// The gef_ extensions: the version and the bulk copies that spare bindings a call per value.
//
// Each copy reads the same state as the getters it stands for (get_data, get_error_code and the
// keyword getters) and returns the full size whatever the capacity, in the manner of snprintf,
// so that a caller can size its buffer with a first call.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

#include "api/boundary.h"
#include "api/getters.h"
#include "diagnostics/error_list.h"
#include "document/columns.h"
#include "document/number_chars.h"
#include "gef/extensions.h"
#include "gef/version.h"

namespace gef {
namespace {

constexpr char kEscape = GEF_COPY_ESCAPE;
constexpr char kRecordEnd = GEF_COPY_RECORD_END;
constexpr char kFieldStart = GEF_COPY_FIELD_START;

// The value get_data gives for a scan or column beyond the allocated block.
constexpr double kNoValue = std::numeric_limits<double>::max();

std::int64_t scan_count_of(const Document& doc) {
  return std::max<std::int64_t>(0, doc.scan_count);
}

template <typename T> void append_number(std::string& out, char type, T value) {
  char text[40];
  const auto result = to_chars(text, text + sizeof text, value);
  out += type;
  out.append(text, result.ptr);
}

// Escapes only the three framing bytes; the runs between them are appended whole.
void append_bytes(std::string& out, char type, const char* bytes, std::size_t size) {
  static constexpr char kFraming[] = {kEscape, kRecordEnd, kFieldStart, '\0'};
  out += type;
  while (size > 0) {
    // A text holds no NUL byte, so the run may stop early only at a NUL of a character field.
    const std::size_t run = std::min(std::strcspn(bytes, kFraming), size);
    out.append(bytes, run);
    bytes += run;
    size -= run;
    if (size == 0) break;
    if (*bytes != '\0') out += kEscape;
    out += *bytes++;
    --size;
  }
}

// A field counts as given by its presence bit; the ninth field has no bit and counts when stored.
bool field_given(const Entry& e, int k, FieldType type) {
  if (k >= 8) return type == FieldType::TEXT && e.field[k].s != nullptr;
  return (e.bits >> k & 1) != 0;
}

void append_field(std::string& out, const Entry& e, int code, int k) {
  const FieldInfo& info = field_info(code, k);
  out += kFieldStart;
  if (!field_given(e, k, info.type)) return;
  const Field& f = e.field[k];
  switch (info.type) {
  case FieldType::INT: append_number(out, 'i', f.i); break;
  case FieldType::FLOAT: append_number(out, 'f', f.f); break;
  case FieldType::DOUBLE: append_number(out, 'd', f.d); break;
  case FieldType::CHAR: {
    const char c[2] = {f.c, '\0'};
    append_bytes(out, 'c', c, 1);
    break;
  }
  case FieldType::TEXT:
    if (f.s != nullptr) append_bytes(out, 't', f.s, std::strlen(f.s));
    break;
  }
}

void append_entry(std::string& out, int code, int index, const Entry& e) {
  const KeywordInfo& kw = keyword_info(code);
  out += kw.name;
  out += kFieldStart;
  if (kw.shape == Shape::NUMBERED) {
    out += std::to_string(index + 1);
  } else if (kw.shape == Shape::KEYED) {
    const char* name = keyword_info(index).name;
    if (name != nullptr) out += name;
  }
  for (int k = 0; k < kw.field_count; ++k) append_field(out, e, code, k);
  out += kRecordEnd;
}

std::string header_bytes(Document& doc) {
  std::string out;
  if (!doc.entries) return out;
  for (int code = 1; code < kKeywordSlots; ++code) {
    const KeywordInfo& kw = keyword_info(code);
    // A keyword that shares another's storage area is listed under that keyword.
    if (kw.name == nullptr || kw.area != code) continue;
    const int used = std::min(doc.used[code], kw.capacity);
    for (int index = 0; index < used; ++index) {
      const Entry& e = entry(doc, code, index);
      if (e.present != 0) append_entry(out, code, index, e);
    }
  }
  return out;
}

std::string column_text_bytes(const Document& doc) {
  std::string out;
  const auto& texts = library().column_texts;
  for (std::int64_t s = 0; s < scan_count_of(doc); ++s) {
    const char* text = std::size_t(s) < texts.size() ? texts[std::size_t(s)] : nullptr;
    if (text != nullptr) append_bytes(out, 't', text, std::strlen(text));
    out += kRecordEnd;
  }
  return out;
}

long long copy_bytes(const std::string& bytes, char* buffer, long long capacity) {
  if (buffer != nullptr && capacity > 0)
    std::memcpy(buffer, bytes.data(), std::min<std::size_t>(bytes.size(), std::size_t(capacity)));
  return static_cast<long long>(bytes.size());
}

} // namespace
} // namespace gef

using namespace gef;

const char* gef_version(void) { return GEF_VERSION_STRING; }

int gef_thread_document(int own) { return use_thread_session(own != 0) ? 1 : 0; }

long long gef_copy_data(double* buffer, long long capacity) {
  Document* doc = current();
  if (doc == nullptr || !doc->entries) return 0;
  const std::int64_t scans = scan_count_of(*doc);
  const std::int64_t total = std::int64_t(column_count_or(*doc, 0)) * scans;
  if (buffer == nullptr) return total;
  const std::int64_t stored =
      library().data ? std::min<std::int64_t>(total, doc->value_capacity) : 0;
  const std::int64_t n = std::min<std::int64_t>(total, capacity);
  const std::int64_t copied = std::clamp<std::int64_t>(stored, 0, std::max<std::int64_t>(n, 0));
  std::copy(library().data.get(), library().data.get() + copied, buffer);
  std::fill(buffer + copied, buffer + std::max<std::int64_t>(n, 0), kNoValue);
  return total;
}

long long gef_copy_column(int column, double* buffer, long long capacity) {
  Document* doc = current();
  if (doc == nullptr || !doc->entries || column < 1 || column > column_count_or(*doc, 0)) return -1;
  const std::int64_t scans = scan_count_of(*doc);
  if (buffer == nullptr) return scans;
  const std::int64_t first = std::int64_t(column - 1) * scans;
  const std::int64_t n = std::clamp<std::int64_t>(capacity, 0, scans);
  for (std::int64_t s = 0; s < n; ++s) {
    const std::int64_t index = first + s;
    buffer[s] = library().data && index < doc->value_capacity ? library().data[index] : kNoValue;
  }
  return scans;
}

int gef_copy_errors(int* buffer, int capacity) {
  Document* doc = current();
  if (doc == nullptr || doc->errors == nullptr) return 0;
  const ErrorList& list = *doc->errors;
  for (int i = 0; buffer != nullptr && i < std::min(capacity, int(list.count)); ++i) {
    const ErrorEntry& e = list.entries[i];
    const int ints[kEntryInts] = {e.code, e.subject, e.first, e.second, e.level};
    std::copy(ints, ints + kEntryInts, buffer + i * kEntryInts);
  }
  return list.count;
}

long long gef_copy_header(char* buffer, long long capacity) try {
  Document* doc = current();
  if (doc == nullptr) return 0;
  return copy_bytes(header_bytes(*doc), buffer, capacity);
}
GEF_CATCH(0)

long long gef_copy_column_texts(char* buffer, long long capacity) try {
  Document* doc = current();
  if (doc == nullptr) return 0;
  return copy_bytes(column_text_bytes(*doc), buffer, capacity);
}
GEF_CATCH(0)
