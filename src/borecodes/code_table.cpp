// SPDX-License-Identifier: MIT
// The code-text holder, loading a code-text file, and code splitting.
//
// A table is built aside and swapped in only once the whole file has been read, so that a
// failed reload keeps the table that was there and never leaves half of one behind.
#include "borecodes/code_table.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "api/boundary.h"
#include "diagnostics/error_list.h"
#include "document/record.h"
#include "gef/borecodes.h"

namespace gef {
namespace {


constexpr char kUnknownFile[] = "Onbekend bestand";

bool is_blank(char c) { return c == ' ' || c == '\t'; }

std::string_view trim_blanks(std::string_view s) {
  while (!s.empty() && is_blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && is_blank(s.back())) s.remove_suffix(1);
  return s;
}

// Reads one whole line without its end (LF, or CR LF); false at the end of the file.
bool read_line(std::FILE* file, std::string& line) {
  line.clear();
  int c = 0;
  bool any = false;
  while ((c = std::fgetc(file)) != EOF) {
    any = true;
    if (c == '\n') break;
    line += char(c);
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return any;
}

// Turns one line into an entry; false when the line holds no code.
bool parse_line(std::string_view line, CodeText& out) {
  const std::size_t bang = line.find('!');
  if (bang != std::string_view::npos) line = line.substr(0, bang);
  const std::size_t brackets = line.find("[]");
  if (brackets != std::string_view::npos) line = line.substr(0, brackets);
  const std::size_t start = line.find_first_not_of(';');
  if (start == std::string_view::npos) return false;
  line.remove_prefix(start);
  const std::size_t end = line.find(';');
  const std::string_view code = trim_blanks(line.substr(0, end));
  if (code.empty()) return false;
  out.code.assign(code);
  out.description.clear();
  out.has_description = false;
  if (end == std::string_view::npos || end + 1 == line.size()) return true;
  std::string_view rest = line.substr(end + 1);
  const std::size_t last = rest.rfind(';');
  if (last != std::string_view::npos) rest = rest.substr(0, last);
  out.description.assign(rest);
  out.has_description = true;
  return true;
}

void report(int code, const char* text, int first, Level level) {
  if (Document* doc = current()) report_text(*doc, code, text, first, 0, level);
}

} // namespace

bool create_code_holder() {
  session().codes.reset(new (std::nothrow) CodeTable());
  return session().codes != nullptr;
}

void release_code_holder() { session().codes.reset(); }

CodeTable* code_table() { return session().codes.get(); }

std::string split_code(std::string_view word, std::string_view scheme, char insert) {
  const std::string first = ascii_upper(scheme.substr(0, scheme.find(':')));
  // The next position to insert before, and how to find the one after it.
  std::size_t next = std::string_view::npos;
  std::size_t step = 0;  // fixed distance for ODD, EVEN and SINGLE
  std::string_view list; // remaining numbers of a position list
  auto next_from_list = [&]() {
    next = std::string_view::npos;
    if (list.empty() || !std::isdigit(static_cast<unsigned char>(list.front()))) return;
    std::size_t value = 0;
    std::size_t i = 0;
    for (; i < list.size() && std::isdigit(static_cast<unsigned char>(list[i])); ++i)
      value = value > word.size() ? value : value * 10 + std::size_t(list[i] - '0');
    list.remove_prefix(i < list.size() ? i + 1 : i);
    next = value;
  };
  if (first == "ODD") {
    next = 1, step = 2;
  } else if (first == "EVEN") {
    next = 2, step = 2;
  } else if (first == "SINGLE") {
    next = 1, step = 1;
  } else if (!first.empty() && std::isdigit(static_cast<unsigned char>(first.front()))) {
    list = scheme;
    next_from_list();
  }

  std::string out;
  out.reserve(word.size() * 2);
  for (std::size_t i = 0; i <= word.size(); ++i) {
    if (i == next) {
      out += insert;
      if (step != 0)
        next += step;
      else
        next_from_list();
    }
    if (i < word.size()) out += word[i];
  }
  while (!out.empty() && out.back() == insert) out.pop_back();
  return out;
}

} // namespace gef

using namespace gef;

int load_codetexts(const char* filename) try {
  const bool named = filename != nullptr && *filename != '\0';
  std::FILE* file = named ? std::fopen(filename, "rb") : nullptr;
  if (file == nullptr) {
    report(ERR_BORE_CODE_FILE_UNREADABLE, named ? filename : kUnknownFile, 0,
           LEVEL_STANDARD_SEVERE);
    return 0;
  }
  if (session().codes == nullptr) { // before init_gef there is nowhere to keep a table
    std::fclose(file);
    return 0;
  }
  std::size_t wanted = 0; // bytes of the allocation under way, for error 22
  try {
    auto table = std::make_unique<CodeTable>();
    table->file.assign(filename, std::min(std::strlen(filename), kCodeInput));
    wanted = kMaxCodeTexts * sizeof(CodeText);
    table->entries.reserve(kMaxCodeTexts);
    std::string line;
    CodeText text;
    bool dropped = false;
    while (read_line(file, line)) {
      wanted = line.size();
      if (!parse_line(line, text)) continue;
      if (table->entries.size() == kMaxCodeTexts) {
        dropped = true;
        continue;
      }
      table->entries.push_back(std::move(text));
    }
    std::fclose(file);
    file = nullptr;
    session().codes = std::move(table);
    if (dropped) {
      const std::string note =
          "Code-text file " + session().codes->file + ": only the first 1024 codes are kept.";
      report(ERR_NOTE, note.c_str(), 0, LEVEL_GEF_WARNING);
    }
    return 1;
  } catch (const std::bad_alloc&) {
    if (file != nullptr) std::fclose(file);
    report(ERR_OUT_OF_MEMORY, "", int(std::min<std::size_t>(wanted / 1024, 0x7fffffff)),
           LEVEL_GEF_SEVERE);
    return 0;
  }
}
GEF_CATCH(0)

int free_codetexts(void) {
  if (session().codes != nullptr) {
    session().codes->entries.clear();
    session().codes->entries.shrink_to_fit();
    session().codes->file.clear();
  }
  return 1;
}
