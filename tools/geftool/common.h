// SPDX-License-Identifier: MIT
// Helpers shared by geftool's commands: the library session, scratch files and reading columns.
#pragma once

#include <optional>
#include <string>

namespace geftool {

/// Holds the library's one document for the life of the program: init_gef now, free_gef at the end.
class LibrarySession {
public:
  LibrarySession();
  ~LibrarySession();
  LibrarySession(const LibrarySession&) = delete;
  LibrarySession& operator=(const LibrarySession&) = delete;
  /// False when init_gef failed.
  bool ok() const { return ok_; }

private:
  bool ok_;
};

/// Reads `path` for command `command`; on failure tells the user on stderr and returns false.
bool read_for(const char* command, const std::string& path);

/// A path in the temporary directory that no other geftool process uses; the caller removes it.
std::string scratch_path(const std::string& tag);

/// The shortest text that reads back as `value`; for a value a 4-byte float holds exactly, the
/// shortest text that reads back as that float. Without an exponent from 1e-5 to 1e15.
std::string number_text(double value);

/// True for the sentinels getters return for absent numbers (the largest double, negated or not).
bool is_absent(double value);

/// True when `value` is the void value `void_value` of its column (the library's relative test).
bool is_void(double value, double void_value);

/// Number of columns of the current document (COLUMN), 0 when it is absent.
int column_count();

/// The lowest column 1..COLUMN whose quantity number is `qn`; 0 when there is none.
int column_of_quantity(int qn);

/// The COLUMNVOID value of column `column`, when one is given.
std::optional<double> column_void(int column);

} // namespace geftool
