// SPDX-License-Identifier: MIT
// Library session, scratch files and column helpers shared by check, info and dump.
#include "common.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <system_error>

#ifdef _WIN32
#include <process.h>
#define GEFTOOL_PID _getpid()
#else
#include <unistd.h>
#define GEFTOOL_PID getpid()
#endif

#include <gef/gef.h>

#include "document/number_chars.h"
#include "findings.h"
#include "parallel.h"
#include "reading.h"
#include "text.h"

namespace geftool {

LibrarySession::LibrarySession() : ok_(init_gef() == 1) {}

LibrarySession::~LibrarySession() { free_gef(); }

bool read_for(const char* command, const std::string& path) {
  if (read_gef(path.c_str()) == 1) return true;
  diagnostics() << "geftool " << command << ": cannot read " << to_utf8(path)
                << (lacks_gefid(path) ? std::string(": ") + kNotGef : "") << "\n";
  bool truncated = false;
  tell_reasons(fold_repeats(collect_findings(&truncated)));
  return false;
}

std::string scratch_path(const std::string& tag) {
  std::error_code ec;
  std::filesystem::path dir = std::filesystem::temp_directory_path(ec);
  if (ec) dir = ".";
  // The process id keeps parallel runs (ctest -j, scripts) from sharing one file.
  return (dir / ("geftool-" + std::to_string(GEFTOOL_PID) + "-" + tag)).string();
}

std::string number_text(double value) {
  char buffer[64];
  const float narrow = static_cast<float>(value);
  // A value that a 4-byte float holds exactly came, in practice, from one (binary data blocks,
  // single-precision keyword fields): its shortest float text is what the producer wrote.
  const bool single = std::isfinite(value) && static_cast<double>(narrow) == value;
  // The same digits, written without an exponent where engineers read numbers so
  // (600000, not 6e+05); only very small or very large values keep one.
  const double size = std::fabs(value);
  char* const end = buffer + sizeof buffer;
  const auto result =
      size == 0 || (size >= 1e-5 && size < 1e15)
          ? (single ? gef::to_chars(buffer, end, narrow, std::chars_format::fixed)
                    : gef::to_chars(buffer, end, value, std::chars_format::fixed))
          : (single ? gef::to_chars(buffer, end, narrow) : gef::to_chars(buffer, end, value));
  return std::string(buffer, result.ptr);
}

bool is_absent(double value) { return std::fabs(value) >= 1e300; }

bool is_void(double value, double void_value) {
  if (std::fabs(void_value) < 1e-200) return std::fabs(value) <= std::fabs(void_value);
  return std::fabs(1.0 - value / void_value) < 1e-10;
}

int column_count() {
  if (get_column_flag() == 0) return 0;
  const int n = get_column();
  return n >= 0 && n <= 250 ? n : 0;
}

int column_of_quantity(int qn) {
  for (int c = 1; c <= column_count(); ++c)
    if (get_columninfo_flag(c) != 0 && get_columninfo_Qnumber(c) == qn) return c;
  return 0;
}

std::optional<double> column_void(int column) {
  if (get_columnvoid_flag(column) == 0) return std::nullopt;
  const double value = get_columnvoid(column);
  if (is_absent(value)) return std::nullopt;
  return value;
}

} // namespace geftool
