// SPDX-License-Identifier: MIT
// The binary data block reader: fixed-size numbers of one type, scan after scan, in either byte
// order.
//
// Elements are copied byte by byte and brought into the machine's order before they are given a
// type, so neither the file's alignment nor the machine's byte order can change what is read.
#include "reader/binary_data.h"

#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <vector>

#include "diagnostics/error_list.h"
#include "document/columns.h"
#include "reader/file_io.h"
#include "reader/read_steps.h"

namespace gef {
namespace {

// Bytes read at a time: many scans per read keep the per-call cost of the stream small.
constexpr std::int64_t kChunkBytes = 1 << 16;

bool machine_is_little_endian() {
  const std::uint16_t one = 1;
  unsigned char first = 0;
  std::memcpy(&first, &one, 1);
  return first == 1;
}

// Converts `scans` scans of `columns` elements (already in machine order) into the data block,
// whose columns hold `scan_count` values each, starting at scan `first`.
template <typename T>
void store_scans(const unsigned char* bytes, int columns, std::int64_t scans, double* data,
                 std::int64_t scan_count, std::int64_t first) {
  for (std::int64_t s = 0; s < scans; ++s) {
    for (int c = 0; c < columns; ++c) {
      T element;
      std::memcpy(&element, bytes, sizeof element);
      bytes += sizeof element;
      data[std::int64_t(c) * scan_count + first + s] = static_cast<double>(element);
    }
  }
}

void store(ElementType type, const unsigned char* bytes, int columns, std::int64_t scans,
           double* data, std::int64_t scan_count, std::int64_t first) {
  switch (type) {
  case ElementType::INT2:
    store_scans<std::int16_t>(bytes, columns, scans, data, scan_count, first);
    break;
  case ElementType::INT4:
    store_scans<std::int32_t>(bytes, columns, scans, data, scan_count, first);
    break;
  case ElementType::REAL4:
    store_scans<float>(bytes, columns, scans, data, scan_count, first);
    break;
  case ElementType::REAL8:
    store_scans<double>(bytes, columns, scans, data, scan_count, first);
    break;
  case ElementType::UNKNOWN: break;
  }
}

// Gives the document a zeroed data block for `scans` scans (at least one value, so there is
// always one to point at). False after reporting when memory runs out.
bool allocate_block(Document& doc, int columns, std::int64_t scans) {
  release_data(doc);
  doc.data_present = 1;
  doc.scan_count = std::int32_t(scans);
  doc.scan_known = 1;
  const std::int64_t size = std::int64_t(columns) * scans > 0 ? std::int64_t(columns) * scans : 1;
  library().data.reset(new (std::nothrow) double[std::size_t(size)]());
  if (!library().data) {
    report_keyword(doc, ERR_OUT_OF_MEMORY, kNameColumns, std::int32_t(size * 8 / 1024), 0,
                   LEVEL_GEF_SEVERE);
    return false;
  }
  doc.value_capacity = std::int32_t(size);
  if (!resize_column_texts(std::int32_t(scans))) {
    report_keyword(doc, ERR_OUT_OF_MEMORY, kNameColumns, std::int32_t(scans / 128), 0,
                   LEVEL_GEF_SEVERE);
    return false;
  }
  return true;
}

// Keeps only the first `kept` of `scans` scans after the file delivered fewer bytes than its size
// promised. Columns move towards the start, so the block keeps its allocation and capacity.
void keep_scans(Document& doc, int columns, std::int64_t scans, std::int64_t kept) {
  double* data = library().data.get();
  for (int c = 1; c < columns; ++c)
    std::memmove(data + std::int64_t(c) * kept, data + std::int64_t(c) * scans,
                 std::size_t(kept) * sizeof(double));
  std::memset(data + std::int64_t(columns) * kept, 0,
              std::size_t((scans - kept) * columns) * sizeof(double));
  doc.scan_count = std::int32_t(kept);
  resize_column_texts(std::int32_t(kept));
  char text[96];
  std::snprintf(text, sizeof text, "The binary data block ended after scan %lld of %lld.",
                static_cast<long long>(kept), static_cast<long long>(scans));
  report_text(doc, ERR_DATA_NOTE, text, 0, 0, LEVEL_GEF_ERROR);
}

} // namespace

ElementType element_type_named(const char* name) {
  for (const ElementTypeName& t : kElementTypes)
    if (equals_nocase(name, t.name)) return t.type;
  return ElementType::UNKNOWN;
}

ElementType element_type(Document& doc) {
  const Entry& type = entry(doc, KW_DATATYPE, 0);
  return type.present != 0 ? element_type_named(type.field[0].s) : ElementType::UNKNOWN;
}

int element_size(ElementType type) {
  for (const ElementTypeName& t : kElementTypes)
    if (t.type == type) return t.size;
  return 4;
}

bool file_is_big_endian(Document& doc) {
  const Entry& os = entry(doc, KW_OS, 0);
  if (os.present == 0) return false;
  // A present OS without a text names no known order; like any other unknown name it means
  // big-endian.
  const char* name = os.field[0].s != nullptr ? os.field[0].s : "";
  return !equals_nocase(name, "DOS") && !equals_nocase(name, "LE");
}

void swap_element_bytes(unsigned char* bytes, int size, std::int64_t count) {
  if (size <= 1) return;
  for (std::int64_t k = 0; k < count; ++k, bytes += size)
    for (int i = 0, j = size - 1; i < j; ++i, --j) {
      const unsigned char t = bytes[i];
      bytes[i] = bytes[j];
      bytes[j] = t;
    }
}

int read_binary_data(Document& doc, std::FILE* file) {
  const int columns = column_count_or(doc, 0);
  const ElementType type = element_type(doc);
  const int size = element_size(type);

  std::int64_t position = 0, end = 0;
  if (!position_and_end(file, position, end)) {
    report_text(doc, ERR_FILE_CANNOT_BE_OPENED, "(data block)", 0, 0, LEVEL_GEF_SEVERE);
    return 0;
  }
  const std::int64_t scan_bytes = columns > 0 ? std::int64_t(columns) * size : 0;
  const std::int64_t scans = scan_bytes > 0 && end > position ? (end - position) / scan_bytes : 0;
  if (scans * columns > std::numeric_limits<std::int32_t>::max()) {
    report_keyword(doc, ERR_BLOCK_TOO_LARGE, kNameColumns, std::numeric_limits<std::int32_t>::max(),
                   0, LEVEL_GEF_SEVERE);
    return 0;
  }
  if (!allocate_block(doc, columns, scans)) return 0;
  if (scans == 0 || type == ElementType::UNKNOWN) return 1;

  const std::int64_t chunk_scans = kChunkBytes / scan_bytes > 0 ? kChunkBytes / scan_bytes : 1;
  std::vector<unsigned char> buffer;
  try {
    buffer.resize(std::size_t(chunk_scans * scan_bytes));
  } catch (const std::bad_alloc&) {
    report_keyword(doc, ERR_OUT_OF_MEMORY, kNameColumns,
                   std::int32_t(chunk_scans * scan_bytes / 1024), 0, LEVEL_GEF_SEVERE);
    return 0;
  }
  const bool swap = file_is_big_endian(doc) == machine_is_little_endian();
  double* data = library().data.get();
  for (std::int64_t first = 0; first < scans; first += chunk_scans) {
    const std::int64_t want = scans - first < chunk_scans ? scans - first : chunk_scans;
    const std::size_t got = std::fread(buffer.data(), 1, std::size_t(want * scan_bytes), file);
    // The file may have shrunk since its size was taken; only whole scans are kept then.
    const std::int64_t whole = std::int64_t(got) / scan_bytes;
    if (swap) swap_element_bytes(buffer.data(), size, whole * columns);
    store(type, buffer.data(), columns, whole, data, scans, first);
    if (whole < want) {
      keep_scans(doc, columns, scans, first + whole);
      return 1;
    }
  }
  return 1;
}

} // namespace gef
