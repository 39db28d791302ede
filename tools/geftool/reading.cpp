// SPDX-License-Identifier: MIT
// Reads a file and sorts the entries it left into reasons for failure and losses of data.
#include "reading.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <system_error>

#include <gef/gef.h>

#include "common.h"
#include "parallel.h"
#include "text.h"

namespace geftool {

bool is_data_loss_code(int code) {
  return (code >= GEF_E_DATA_REMAINS && code <= GEF_E_COLUMNTEXT_TOO_LONG) ||
         code == GEF_E_COLUMNTEXT_WITHOUT_RECORDSEPARATOR;
}

namespace {

// True when the text after the file's last record separator holds exactly one scan of values:
// the file then only ended without closing its last scan, and nothing was dropped.
bool ends_with_whole_scan(const std::string& path) {
  if (get_recordseparator_flag() == 0 || column_count() == 0) return false;
  std::ifstream in(path, std::ios::binary);
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  const std::streamoff from = std::max<std::streamoff>(0, size - 65536);
  in.seekg(from);
  std::string tail(static_cast<std::size_t>(size - from), '\0');
  in.read(tail.data(), static_cast<std::streamsize>(tail.size()));
  const auto last = tail.rfind(get_recordseparator());
  if (last == std::string::npos) return false;
  const char separator = get_columnseparator_flag() != 0 ? get_columnseparator() : ' ';
  int values = 0;
  bool in_value = false;
  for (char c : tail.substr(last + 1)) {
    const bool blank = c == separator || c == ' ' || c == '\t' || c == '\r' || c == '\n';
    if (!blank && !in_value) ++values;
    in_value = !blank;
  }
  return values == column_count();
}

} // namespace

bool lacks_gefid(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::string head(65536, '\0');
  in.read(head.data(), static_cast<std::streamsize>(head.size()));
  head.resize(static_cast<std::size_t>(in.gcount()));
  return upper(std::move(head)).find("#GEFID") == std::string::npos;
}

bool is_data_loss(const Finding& finding, const std::string& path) {
  if (!is_data_loss_code(finding.code)) return false;
  // Scans closed right after their last value are read whole (a warning); a separator missing
  // inside the data block ends it (an error).
  if (finding.code == GEF_E_NO_COLUMN_SEPARATOR) return finding.level % 10 <= 2;
  if (finding.code == GEF_E_DATA_REMAINS) return !ends_with_whole_scan(path);
  return true;
}

ReadResult read_document(const std::string& path) {
  ReadResult result;
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) {
    // The library would take a folder for an empty file and list every keyword as missing.
    result.findings.push_back({0, 1,
                               "It is a folder: give a GEF file (check and summary take "
                               "folders).",
                               1});
    return result;
  }
  result.read = read_gef(path.c_str()) == 1;
  bool truncated = false;
  result.findings = fold_repeats(collect_findings(&truncated));
  result.scans = result.read ? std::max(get_nr_scans(), 0) : 0;
  for (const Finding& f : result.findings)
    if (result.read && is_data_loss(f, path)) {
      result.data_loss = f;
      break;
    }
  return result;
}

std::string loss_text(const ReadResult& result) {
  if (!result.data_loss) return "";
  return "data read up to scan " + std::to_string(result.scans) + ": " + result.data_loss->text;
}

void tell_reasons(const std::vector<Finding>& findings) {
  // The serious entries say why; when the library recorded none of them, every entry is shown.
  bool told = false;
  for (const Finding& f : findings)
    if (f.level % 10 == 1 || f.level % 10 == 2) {
      diagnostics() << "  " << f.text << "\n";
      told = true;
    }
  if (!told)
    for (const Finding& f : findings) diagnostics() << "  " << f.text << "\n";
  if (findings.empty()) diagnostics() << "  (the library recorded no reason)\n";
}

int tell_losses(const char* command, const std::string& path, const ReadResult& result) {
  const std::string prefix = std::string("geftool ") + command + ": " + to_utf8(path) + ": ";
  if (!result.read) {
    diagnostics() << "geftool " << command << ": cannot read " << to_utf8(path)
                  << (lacks_gefid(path) ? std::string(": ") + kNotGef : "") << "\n";
    tell_reasons(result.findings);
    return 2;
  }
  if (result.data_loss) {
    diagnostics() << prefix << loss_text(result) << "\n";
    return 1;
  }
  return 0;
}

std::string unread_reason(const ReadResult& result) {
  for (const Finding& f : result.findings)
    if (f.level % 10 == 1) return f.text;
  return result.findings.empty() ? "not read" : result.findings.front().text;
}

} // namespace geftool
