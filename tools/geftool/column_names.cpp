// SPDX-License-Identifier: MIT
// Reads the column-name table built into geftool and names data columns by it, the same way the
// Python package does, so that dump and to_pandas columns line up across producers.
#include <cctype>
#include <cstdlib>
#include <map>
#include <sstream>
#include <vector>

#include "names.h"

namespace geftool {

extern const char* const kColumnNamesText;

namespace {

struct Table {
  std::map<std::pair<Numbering, int>, QuantityName> numbered;
  // Producer texts (folded) to the quantity they name, per numbering and for any report.
  std::map<std::pair<int, std::string>, const QuantityName*> texts;
  std::vector<QuantityName> unnumbered;
  std::map<std::string, std::pair<std::string, std::string>> units; // spelling -> unit, key
};

std::vector<std::string> split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::string part;
  std::istringstream in(text);
  while (std::getline(in, part, separator)) parts.push_back(part);
  if (!text.empty() && text.back() == separator) parts.emplace_back();
  return parts;
}

std::string trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// A producer's text for comparing: lower case, runs of blanks as one, no outer blanks.
std::string folded(const std::string& text) {
  std::string out;
  for (char c : trimmed(text)) {
    const auto u = static_cast<unsigned char>(c);
    if (std::isspace(u) != 0) {
      if (out.back() != ' ') out += ' ';
    } else {
      out += char(u < 0x80 ? std::tolower(u) : u);
    }
  }
  return out;
}

// A producer's text as a name: lower case, runs of other characters as one underscore.
std::string as_key(const std::string& text) {
  std::string key;
  for (char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (std::isalnum(u) != 0 || u >= 0x80)
      key += char(u < 0x80 ? std::tolower(u) : u);
    else if (!key.empty() && key.back() != '_')
      key += '_';
  }
  while (!key.empty() && key.back() == '_') key.pop_back();
  return key;
}

const Table& table() {
  static const Table parsed = [] {
    Table t;
    t.unnumbered.reserve(64); // texts point into it
    std::istringstream in(kColumnNamesText);
    std::string line;
    std::vector<std::pair<int, std::string>> pending; // (numbering or -1, texts) per quantity
    std::vector<const QuantityName*> owners;
    while (std::getline(in, line)) {
      line = trimmed(line);
      if (line.empty() || line[0] == '!') continue;
      const std::vector<std::string> f = split(line, ';');
      if (f[0] == "Q" && f.size() >= 7) {
        const QuantityName q{f[3], f[4], f[5]};
        const int report = f[1] == "cpt" ? 0 : f[1] == "bore" ? 1 : -1;
        const QuantityName* owner = nullptr;
        if (report >= 0 && !f[2].empty()) {
          const Numbering n = report == 1 ? Numbering::Bore : Numbering::Cpt;
          owner = &(t.numbered[{n, std::atoi(f[2].c_str())}] = q);
        } else {
          t.unnumbered.push_back(q);
          owner = &t.unnumbered.back();
        }
        for (const std::string& text : split(f[6], '|'))
          if (!folded(text).empty()) t.texts[{report, folded(text)}] = owner;
      } else if (f[0] == "U" && f.size() >= 4) {
        // Spellings may hold the field separator ("% (procent; MPa/MPa)"): they are the rest.
        const std::size_t rest = line.find(';', line.find(';', 2) + 1) + 1;
        for (const std::string& spelling : split(line.substr(rest), '|'))
          t.units[spelling] = {f[1], f[2]};
      }
    }
    return t;
  }();
  return parsed;
}

} // namespace

const QuantityName* standard_quantity(Numbering numbering, int number) {
  const auto found = table().numbered.find({numbering, number});
  return found != table().numbered.end() ? &found->second : nullptr;
}

std::string column_name(Numbering numbering, std::optional<int> number, const std::string& quantity,
                        const std::string& unit, int column) {
  const QuantityName* q = number ? standard_quantity(numbering, *number) : nullptr;
  const int report = numbering == Numbering::Bore ? 1 : 0;
  for (int scope : {report, -1}) {
    if (q != nullptr) break;
    const auto found = table().texts.find({scope, folded(quantity)});
    if (found != table().texts.end()) q = found->second;
  }
  std::string name = q != nullptr ? q->key : as_key(quantity);
  if (name.empty()) name = "column_" + std::to_string(column);
  // The file's own unit names the values as they are; the standard unit stands in when absent.
  std::string own = trimmed(unit);
  if (own.empty() && q != nullptr) own = q->unit;
  const auto known = table().units.find(own);
  const std::string key = known != table().units.end() ? known->second.second : unit_key(own);
  return key.empty() ? name : name + "_" + key;
}

} // namespace geftool
