// SPDX-License-Identifier: MIT
// Test helpers for the rule sets: the entries one check recorded, in comparable form.
#pragma once

#include <string>
#include <tuple>
#include <vector>

#include "gef/error_codes.h"
#include "support/document_fixture.h"

namespace gef::test {

// Entries recorded from position `from` on, a text slot written as subject 0.
inline std::vector<ErrorEntry> entries_since(std::size_t from) {
  const auto all = errors();
  std::vector<ErrorEntry> out(all.begin() + long(from), all.end());
  for (ErrorEntry& e : out) e.subject = e.subject >= kTextSubject ? 0 : e.subject;
  return out;
}

// An entry with its subject shown as the keyword name or the text it carries.
using Finding = std::tuple<int, std::string, int, int, int>;

inline std::vector<Finding> findings(std::size_t from = 0) {
  std::vector<Finding> out;
  const auto all = errors();
  for (std::size_t i = from; i < all.size(); ++i) {
    const ErrorEntry& e = all[i];
    out.emplace_back(e.code, subject_text(*document().errors, e.subject), e.first, e.second,
                     e.level);
  }
  return out;
}

} // namespace gef::test
