// SPDX-License-Identifier: MIT
// Pieces of the GEF writer shared by the header writer, the data block writer and the exports.
#pragma once

#include <string>

#include "document/record.h"
#include "writer/output.h"

namespace gef {

// Writes every header line the document holds and its version allows, then `#EOH=`.
void write_header(Document& doc, Output& out);

// Writes the data block after the header; 1 on success, 0 when nothing could be written.
// The caller has checked that the column count and the data block fit each other.
int write_data_block(Document& doc, Output& out);

// A text written as one header field so that it reads back as the same field: active `,` and
// `#` escaped, line ends blanked, cut to what the reader keeps, no backslash at its end.
std::string field_text(const char* text);

// Number of decimals of an XYID or ZID value with accuracy `accuracy` (0 when none is given).
int coordinate_decimals(double value, double accuracy);

// A per-scan text as written at the end of its scan: line ends and the record separator blanked,
// cut to what the reader takes.
std::string scan_text(const char* text, char record_separator);

// Opens a file for writing beside the target and puts it in place only when everything was
// written, so that a failed write never leaves a truncated target behind.
class TargetFile {
public:
  TargetFile() = default;
  ~TargetFile() { abandon(); }
  TargetFile(const TargetFile&) = delete;
  TargetFile& operator=(const TargetFile&) = delete;

  // False when the target cannot be written (missing folder, read-only file).
  bool open(const char* name);
  std::FILE* file() const { return file_; }
  // Closes the file and moves it over the target; false (and nothing changed) on any failure.
  bool commit();
  // Closes and removes the scratch file.
  void abandon();

private:
  std::FILE* file_ = nullptr;
  std::string target_;
  std::string scratch_; // empty when the target is written in place
  bool keep_permissions_ = false;
};

} // namespace gef
