// SPDX-License-Identifier: MIT
// Writes a report's "files" list as each file's result comes, so that a run over many files
// does not hold them all.
#pragma once

#include <ostream>
#include <string>

#include <nlohmann/json.hpp>

namespace geftool {

/// Writes {"files": [...], other members} to `out` exactly as nlohmann::json's dump(2) writes
/// the whole object, one file's member at a time. The other members must sort after "files".
class JsonFiles {
public:
  explicit JsonFiles(std::ostream& out) : out_(out) { out_ << "{\n  \"files\": "; }
  void add(const nlohmann::json& file) {
    std::string text = "    " + dump(file);
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 5))
      text.replace(at, 1, "\n    ");
    out_ << (count_++ > 0 ? ",\n" : "[\n") << text;
  }
  /// Ends the list and writes `rest`, the object's other members.
  void close(const nlohmann::json& rest) {
    out_ << (count_ > 0 ? "\n  ]" : "[]") << "," << dump(rest).substr(1) << "\n";
  }

private:
  static std::string dump(const nlohmann::json& j) {
    return j.dump(2, ' ', false, nlohmann::json::error_handler_t::replace);
  }
  std::ostream& out_;
  std::size_t count_ = 0;
};

} // namespace geftool
