// SPDX-License-Identifier: MIT
// The code-text table of borings and the code splitting shared by the expansion and the rules.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace gef {

constexpr std::size_t kMaxCodeTexts = 1024; // entries a table keeps
constexpr std::size_t kCodeInput = 1024;    // characters of a code text that are looked at

// One line of a code-text file.
struct CodeText {
  std::string code;
  std::string description;
  bool has_description = false;
};

struct CodeTable {
  std::vector<CodeText> entries; // in file order
  std::string file;              // name of the file loaded, its first 1024 characters
};

// Creates an empty table in the holder, replacing an earlier one; false when memory runs out.
bool create_code_holder();
// Releases the holder and its table.
void release_code_holder();
// The table, or null while the library is not initialised.
CodeTable* code_table();

// Inserts `insert` into `word` before the positions that `scheme` selects: "ODD" (1, 3, 5, ...),
// "EVEN" (2, 4, 6, ...), "SINGLE" (1, 2, 3, ...) or a list such as "1:2:4:6:8"; any other
// scheme inserts nothing. Positions count in the word as given; one equal to its length inserts
// at the end, those beyond insert nothing. Inserts left at the end of the result are removed.
std::string split_code(std::string_view word, std::string_view scheme, char insert);

} // namespace gef
