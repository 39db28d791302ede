// SPDX-License-Identifier: MIT
// Reads the layers of a boring and expands their description codes with the soil code texts.
#include "layers.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <system_error>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX // std::max below, not the macro
#endif
#include <windows.h>
#endif

#include <gef/gef.h>

#include "common.h"
#include "parallel.h"
#include "text.h"

namespace fs = std::filesystem;

namespace geftool {
namespace {

// The folder of the running executable; empty when it cannot be found.
fs::path executable_folder() {
#ifdef _WIN32
  std::wstring buffer(32768, L'\0');
  const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), DWORD(buffer.size()));
  if (n == 0 || n >= buffer.size()) return {};
  buffer.resize(n);
  return fs::path(buffer).parent_path();
#else
  std::error_code ec;
  const fs::path self = fs::read_symlink("/proc/self/exe", ec);
  return ec ? fs::path() : self.parent_path();
#endif
}

std::optional<double> reading(int column, int scan) {
  if (column == 0) return std::nullopt;
  const double v = get_data(column, scan);
  if (is_absent(v)) return std::nullopt;
  return v;
}

std::string shown(const std::optional<double>& v) { return v ? number_text(*v) : "-"; }

// `text` without the blanks and apostrophes around it.
std::string trimmed_quotes(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" '");
  return first == std::string::npos ? std::string()
                                    : text.substr(first, text.find_last_not_of(" '") - first + 1);
}

// Whether a later piece of a layer's text holds codes (colour, sand class, additions) rather than
// the describer's own words: no lower case, full stop or colon outside parentheses.
bool holds_codes(const std::string& piece) {
  int depth = 0;
  for (char c : piece) {
    depth += c == '(' ? 1 : c == ')' ? -1 : 0;
    if (depth <= 0 && ((c >= 'a' && c <= 'z') || c == '.' || c == ':')) return false;
  }
  return true;
}

// A piece's code words in words. The soil code piece lists its parts with commas; a later
// piece reads as one phrase (dark greyish brown). A parenthesised amount follows its addition
// without a comma: shells (traces).
std::string expand_piece(const std::string& piece, bool soil_code) {
  constexpr char kCut = '\x1f';
  // The expansion splits a first word of four characters or more as a soil code, so a later
  // piece goes behind a one-character word that no code file knows, whose result is dropped.
  const std::string text = gbr_code2text((soil_code ? piece : "~ " + piece).c_str(), "\x1f");
  std::string out;
  std::size_t at = 0;
  for (bool first = true; at != std::string::npos; first = false) {
    const std::size_t next = text.find(kCut, at);
    const std::string result = text.substr(at, next == std::string::npos ? next : next - at);
    at = next == std::string::npos ? next : next + 1;
    if (first && !soil_code && result == "~=???") continue;
    if (!out.empty()) out += soil_code && result.rfind('(', 0) != 0 ? ", " : " ";
    out += result;
  }
  return out;
}

} // namespace

bool load_layer_codes(const std::string& codes) {
  const fs::path shipped = executable_folder() / ".." / "share" / "libgef";
  const fs::path file = codes.empty() || codes == "en" ? shipped / "soil_codes.txt"
                        : codes == "nl"                ? shipped / "soil_codes_nl.txt"
                                                       : fs::path(codes);
  if (load_codetexts(file.string().c_str()) == 1) return true;
  diagnostics() << "geftool: warning: code texts " << to_utf8(file.string())
                << " could not be read; layer descriptions are shown unexpanded\n";
  return false;
}

std::vector<Layer> read_layers(bool expanded) {
  std::vector<Layer> layers;
  if (gbr_is_gbr() == 0) return layers;
  const int top = column_of_quantity(1), bottom = column_of_quantity(2);
  for (int s = 1; s <= get_nr_scans(); ++s) {
    Layer layer;
    layer.scan = s;
    layer.top = reading(top, s);
    layer.bottom = reading(bottom, s);
    std::string words;
    for (int k = 1; char* piece = get_columntext_text_field(s, k); ++k) {
      const std::string text = piece;
      std::free(piece);
      if (k == 1) {
        layer.description = text;
        words = expand_piece(text, true);
      } else {
        const std::string bare = trimmed_quotes(text);
        if (bare.empty()) continue;
        const std::string shown = holds_codes(bare) ? expand_piece(bare, false) : bare;
        if (!shown.empty()) words += "; " + shown;
      }
    }
    if (expanded) layer.expansion = to_utf8(words);
    layer.description = to_utf8(layer.description);
    for (int k = 1; k <= gbr_get_nr_additional_strings(s); ++k) {
      if (char* text = gbr_get_additional_string(s, k)) {
        layer.additional.push_back(text);
        std::free(text);
      }
    }
    layers.push_back(std::move(layer));
  }
  return layers;
}

nlohmann::json layers_json(const std::vector<Layer>& layers) {
  nlohmann::json out = nlohmann::json::array();
  for (const Layer& l : layers)
    out.push_back({{"scan", l.scan},
                   {"top", l.top ? nlohmann::json(*l.top) : nlohmann::json()},
                   {"bottom", l.bottom ? nlohmann::json(*l.bottom) : nlohmann::json()},
                   {"description", l.description},
                   {"expansion", l.expansion ? nlohmann::json(*l.expansion) : nlohmann::json()},
                   {"additional", l.additional}});
  return out;
}

void print_layers(const std::vector<Layer>& layers) {
  std::cout << "Layers          " << layers.size() << "\n";
  std::vector<std::vector<std::string>> table = {
      {"#", "top", "bottom", "description", "expansion", "additional"}};
  for (const Layer& l : layers) {
    std::string additional;
    for (const std::string& a : l.additional) additional += (additional.empty() ? "" : " ") + a;
    table.push_back({std::to_string(l.scan), shown(l.top), shown(l.bottom), l.description,
                     l.expansion ? *l.expansion : "-", additional});
  }
  print_table(table);
}

void print_table(const std::vector<std::vector<std::string>>& table) {
  if (table.empty()) return;
  std::vector<std::size_t> widths(table[0].size(), 0);
  for (const auto& cells : table)
    for (std::size_t i = 0; i < cells.size() && i < widths.size(); ++i)
      widths[i] = std::max(widths[i], utf8_width(cells[i]));
  for (const auto& cells : table) {
    std::string line = " ";
    for (std::size_t i = 0; i < cells.size() && i < widths.size(); ++i)
      line += " " + cells[i] + std::string(widths[i] - utf8_width(cells[i]), ' ');
    line.erase(line.find_last_not_of(' ') + 1);
    std::cout << line << "\n";
  }
}

} // namespace geftool
