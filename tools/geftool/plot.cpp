// SPDX-License-Identifier: MIT
// Draws a GEF file as SVG text written directly, so that plots need no graphics library.
//
// Every panel's group carries its axis ranges and frame (data-* attributes), which lets tests
// and other programs map data values to picture coordinates without parsing the tick labels.
#include "plot.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <limits>
#include <optional>
#include <vector>

#include <gef/gef.h>

#include "common.h"
#include "dissipation.h"
#include "facts.h"
#include "layers.h"
#include "rule_sets.h"
#include "text.h"

namespace geftool {
namespace {

constexpr double kNan = std::numeric_limits<double>::quiet_NaN();

// Picture geometry, in SVG user units (pixels).
constexpr double kTop = 80, kHeight = 720, kLeft = 80, kGap = 28, kRight = 24, kBottom = 24;
constexpr double kFirstWidth = 280, kPanelWidth = 170, kLayerWidth = 70, kLayerTextWidth = 560;

// Quantity numbers: penetration length, cone resistance, local friction, friction ratio, pore
// pressures (u2 first), corrected depth; a boring's layers: top and bottom depth.
constexpr int kQnLength = 1, kQnCone = 2, kQnFriction = 3, kQnRatio = 4, kQnDepth = 11;
constexpr int kQnPore[] = {6, 5, 7};
constexpr int kQnTop = 1; // the quantity number of a layer's top depth

const char* const kCurveColours[] = {"#1f77b4", "#d62728", "#2ca02c", "#9467bd"};

struct Column {
  int number = 0;
  std::string label; // "quantity [unit]"
  std::string unit;
  std::vector<double> values; // NaN for void and absent values
};

struct Panel {
  std::string label;
  std::vector<double> x;
};

Column load_column(int c) {
  Column col;
  col.number = c;
  const char* quantity = get_columninfo_flag(c) != 0 ? get_columninfo_Quantity(c) : nullptr;
  const char* unit = get_columninfo_flag(c) != 0 ? get_columninfo_Unit(c) : nullptr;
  col.unit = to_utf8(unit);
  col.label =
      quantity != nullptr && *quantity != '\0' ? to_utf8(quantity) : "column " + std::to_string(c);
  if (!col.unit.empty()) col.label += " [" + col.unit + "]";
  const std::optional<double> void_value = column_void(c);
  for (int s = 1; s <= get_nr_scans(); ++s) {
    const double v = get_data(c, s);
    const bool missing = is_absent(v) || (void_value && is_void(v, *void_value));
    col.values.push_back(missing ? kNan : v);
  }
  return col;
}

// A step of 1, 2 or 5 times a power of ten giving about five intervals over `span`.
double nice_step(double span) {
  if (!(span > 0) || !std::isfinite(span)) return 1;
  const double raw = span / 5;
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  const double f = raw / power;
  return (f <= 1 ? 1 : f <= 2 ? 2 : f <= 5 ? 5 : 10) * power;
}

struct Range {
  double lo = 0, hi = 1, step = 0.2;
};

// A range that holds zero and every finite value, widened to whole steps.
Range nice_range(const std::vector<double>& values) {
  double lo = 0, hi = 0;
  for (double v : values)
    if (std::isfinite(v)) lo = std::min(lo, v), hi = std::max(hi, v);
  if (hi - lo <= 0) hi = lo + 1;
  Range r;
  r.step = nice_step(hi - lo);
  r.lo = std::floor(lo / r.step) * r.step;
  r.hi = std::ceil(hi / r.step) * r.step;
  return r;
}

std::string fixed(double v) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.2f", v);
  return buffer;
}

std::string tick_text(double v) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%g", std::fabs(v) < 1e-12 ? 0.0 : v);
  return buffer;
}

std::string escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
    case '&': out += "&amp;"; break;
    case '<': out += "&lt;"; break;
    case '>': out += "&gt;"; break;
    case '"': out += "&quot;"; break;
    default:
      // XML 1.0 allows no control characters but tab.
      out += static_cast<unsigned char>(c) < 0x20 ? ' ' : c;
    }
  }
  return out;
}

// `text` cut to at most `width` pixels of 11-pixel type (about 6 pixels a character), with an
// ellipsis when cut; cuts fall between UTF-8 characters.
std::string fitted(const std::string& text, double width) {
  const std::size_t room = std::size_t(std::max(4.0, width / 6.0));
  if (utf8_width(text) <= room) return text;
  std::string out;
  std::size_t characters = 0;
  for (char c : text) {
    const bool starts_character = (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    if (starts_character && ++characters > room - 1) break;
    out += c;
  }
  return out + "\xE2\x80\xA6";
}

// The picture as lines, written out with CR LF at the end.
class Svg {
public:
  void line(const std::string& text) { lines_.push_back(text); }
  bool write(const std::string& path, double width, double height) const {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    std::fprintf(f, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n");
    std::fprintf(f,
                 "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%.0f\" height=\"%.0f\" "
                 "viewBox=\"0 0 %.0f %.0f\" font-family=\"sans-serif\" font-size=\"12\">\r\n",
                 width, height, width, height);
    std::fprintf(f, "<rect width=\"100%%\" height=\"100%%\" fill=\"white\"/>\r\n");
    for (const std::string& l : lines_) std::fprintf(f, "%s\r\n", l.c_str());
    std::fprintf(f, "</svg>\r\n");
    return std::fclose(f) == 0;
  }

private:
  std::vector<std::string> lines_;
};

// A panel's place: `depth` is the vertical range, drawn downwards, or upwards for levels.
struct Frame {
  double left, width;
  Range x, depth;
  bool upward = false;
  double px(double v) const { return left + (v - x.lo) / (x.hi - x.lo) * width; }
  double py(double d) const {
    const double share = (d - depth.lo) / (depth.hi - depth.lo);
    return kTop + (upward ? 1 - share : share) * kHeight;
  }
};

// Tick texts of the vertical range at `left` - 6 and its label; with `z`, the ticks are the
// levels z - depth of a depth frame (a boring's second axis in its height system).
void depth_axis(Svg& svg, const Frame& f, const std::string& label, double left,
                std::optional<double> z = std::nullopt) {
  Range r = f.depth;
  if (z) r = Range{*z - f.depth.hi, *z - f.depth.lo, nice_step(f.depth.hi - f.depth.lo)};
  const double first = z ? std::ceil(r.lo / r.step - 1e-9) * r.step : r.lo;
  for (double v = first; v <= r.hi + r.step / 2; v += r.step)
    svg.line("<text x=\"" + fixed(left - 6) + "\" y=\"" + fixed(f.py(z ? *z - v : v) + 4) +
             "\" text-anchor=\"end\">" + tick_text(v) + "</text>");
  svg.line("<text transform=\"translate(" + fixed(left - 52) + "," + fixed(kTop + kHeight / 2) +
           ") rotate(-90)\" text-anchor=\"middle\">" + escaped(label) + "</text>");
}

void draw_panel(Svg& svg, const Frame& f, const Panel& panel, const std::vector<double>& depth,
                const char* colour) {
  svg.line("<g class=\"panel\" data-x-min=\"" + tick_text(f.x.lo) + "\" data-x-max=\"" +
           tick_text(f.x.hi) + "\" data-depth-min=\"" + tick_text(f.depth.lo) +
           "\" data-depth-max=\"" + tick_text(f.depth.hi) + "\" data-upward=\"" +
           (f.upward ? "1" : "0") + "\" data-left=\"" + fixed(f.left) + "\" data-top=\"" +
           fixed(kTop) + "\" data-width=\"" + fixed(f.width) + "\" data-height=\"" +
           fixed(kHeight) + "\">");
  for (double x = f.x.lo; x <= f.x.hi + f.x.step / 2; x += f.x.step) {
    svg.line("<line x1=\"" + fixed(f.px(x)) + "\" y1=\"" + fixed(kTop) + "\" x2=\"" +
             fixed(f.px(x)) + "\" y2=\"" + fixed(kTop + kHeight) +
             "\" stroke=\"#dddddd\" stroke-width=\"0.5\"/>");
    svg.line("<text x=\"" + fixed(f.px(x)) + "\" y=\"" + fixed(kTop - 6) +
             "\" text-anchor=\"middle\">" + tick_text(x) + "</text>");
  }
  for (double d = f.depth.lo; d <= f.depth.hi + f.depth.step / 2; d += f.depth.step)
    svg.line("<line x1=\"" + fixed(f.left) + "\" y1=\"" + fixed(f.py(d)) + "\" x2=\"" +
             fixed(f.left + f.width) + "\" y2=\"" + fixed(f.py(d)) +
             "\" stroke=\"#dddddd\" stroke-width=\"0.5\"/>");
  svg.line("<text x=\"" + fixed(f.left + f.width / 2) + "\" y=\"" + fixed(kTop - 26) +
           "\" text-anchor=\"middle\" font-size=\"11\"><title>" + escaped(panel.label) +
           "</title>" + escaped(fitted(panel.label, f.width)) + "</text>");
  // A void or absent value breaks the curve rather than bridging the gap.
  std::string points;
  const auto flush = [&] {
    if (!points.empty())
      svg.line(std::string("<polyline class=\"curve\" fill=\"none\" stroke=\"") + colour +
               "\" stroke-width=\"1.2\" points=\"" + points + "\"/>");
    points.clear();
  };
  for (std::size_t i = 0; i < panel.x.size() && i < depth.size(); ++i) {
    if (!std::isfinite(panel.x[i]) || !std::isfinite(depth[i])) {
      flush();
      continue;
    }
    points += (points.empty() ? "" : " ") + fixed(f.px(panel.x[i])) + "," + fixed(f.py(depth[i]));
  }
  flush();
  svg.line("<rect x=\"" + fixed(f.left) + "\" y=\"" + fixed(kTop) + "\" width=\"" + fixed(f.width) +
           "\" height=\"" + fixed(kHeight) +
           "\" fill=\"none\" stroke=\"black\" stroke-width=\"0.8\"/>");
  svg.line("</g>");
}

std::string title() {
  const char* testid = get_testid_flag() != 0 ? get_testid() : nullptr;
  return testid != nullptr && *testid != '\0' ? to_utf8(testid) : std::string();
}

std::vector<Panel> cpt_panels(const Column& depth) {
  std::vector<Panel> panels;
  const int cone = column_of_quantity(kQnCone), ratio = column_of_quantity(kQnRatio);
  const int friction = column_of_quantity(kQnFriction);
  std::optional<Column> qc;
  if (cone != 0) {
    qc = load_column(cone);
    panels.push_back({qc->label, qc->values});
  }
  if (ratio != 0) {
    const Column rf = load_column(ratio);
    panels.push_back({rf.label, rf.values});
  } else if (qc && friction != 0) {
    const Column fs = load_column(friction);
    if (fs.unit == qc->unit) {
      Panel rf{"friction ratio (computed) [%]", {}};
      for (std::size_t i = 0; i < fs.values.size(); ++i)
        rf.x.push_back(qc->values[i] != 0 ? 100 * fs.values[i] / qc->values[i] : kNan);
      panels.push_back(rf);
    }
  }
  for (int qn : kQnPore) {
    if (const int c = column_of_quantity(qn); c != 0) {
      const Column u = load_column(c);
      panels.push_back({u.label, u.values});
      break;
    }
  }
  if (panels.empty()) // not a CPT layout: every other column against the depth column
    for (int c = 1; c <= column_count() && panels.size() < 4; ++c)
      if (c != depth.number) {
        const Column other = load_column(c);
        panels.push_back({other.label, other.values});
      }
  return panels;
}

// How the profession draws a soil type: its conventional colour and a hatching that still
// tells it apart in black and white (an 8 by 8 pixel tile). Main types first, then the
// admixtures that are no main type of their own.
struct SoilStyle {
  char letter;
  const char* name;
  const char* colour;
  const char* tile;
};
const SoilStyle kSoilStyles[] = {
    {'G', "gravel", "#e3a857",
     "<circle cx='4' cy='4' r='2.4' fill='none' stroke='black' stroke-width='0.7'/>"},
    {'Z', "sand", "#f3e07a",
     "<circle cx='2' cy='2' r='0.8' fill='black'/><circle cx='6' cy='6' r='0.8' fill='black'/>"},
    {'L', "loam", "#c9b48a",
     "<path d='M0,8 L8,0' stroke='black' stroke-width='0.6'/><circle cx='6' cy='6' r='0.7' "
     "fill='black'/>"},
    {'K', "clay", "#7fae6b",
     "<path d='M-2,2 L2,-2 M0,8 L8,0 M6,10 L10,6' stroke='black' stroke-width='0.7'/>"},
    {'V', "peat", "#8a5a3a", "<path d='M0,2.5 H5 M3,6.5 H8' stroke='black' stroke-width='1'/>"},
    {'S', "silt", "#b9c4b0", "<path d='M2,0 V3 M6,4 V7' stroke='black' stroke-width='0.7'/>"},
    {'H', "humus", "#5a4632", "<path d='M0,4 H8' stroke='white' stroke-width='0.8'/>"},
};
constexpr const char* kUndescribed = "#c8c8c8"; // NBE, GM and anything unknown

const SoilStyle* soil_style(char letter) {
  for (const SoilStyle& s : kSoilStyles)
    if (s.letter == letter) return &s;
  return nullptr;
}

std::string upper_word(const std::string& text) {
  const std::size_t start = text.find_first_not_of(" '\"");
  std::string word;
  for (std::size_t i = start; i < text.size() && text[i] != ' ' && text[i] != '\''; ++i)
    word += char(std::toupper(static_cast<unsigned char>(text[i])));
  return start == std::string::npos ? std::string() : word;
}

// The main soil type of a layer's code; null for NBE, GM and codes of another kind.
const SoilStyle* main_soil(const std::string& code) {
  const std::string word = upper_word(code);
  if (word.empty() || word == "NBE" || word == "GM" ||
      std::string("GZLKV").find(word[0]) == std::string::npos)
    return nullptr;
  return soil_style(word[0]);
}

// The admixtures of a layer's code with their grade (Zs1h2: silt 1, humus 2; Zk: clay 2).
std::vector<std::pair<const SoilStyle*, int>> admixtures(const std::string& code) {
  const std::string word = upper_word(code);
  std::vector<std::pair<const SoilStyle*, int>> out;
  for (std::size_t i = 1; i < word.size(); ++i) {
    const SoilStyle* style = soil_style(word[i]);
    if (style == nullptr || word.substr(0, 2) == "VM") continue;
    const bool graded =
        i + 1 < word.size() && std::isdigit(static_cast<unsigned char>(word[i + 1]));
    out.emplace_back(style, graded ? word[i + 1] - '0' : 2);
  }
  return out;
}

std::string pattern_defs() {
  std::string defs = "<defs>";
  for (const SoilStyle& s : kSoilStyles)
    defs += std::string("<pattern id=\"hatch-") + s.name +
            "\" width=\"8\" height=\"8\" patternUnits=\"userSpaceOnUse\">" + s.tile + "</pattern>";
  return defs + "</defs>";
}

// A box in a soil type's colour with its hatching over it.
void soil_box(Svg& svg, double x, double y, double w, double h, const SoilStyle* s,
              const std::string& attributes = "") {
  const std::string where = "x=\"" + fixed(x) + "\" y=\"" + fixed(y) + "\" width=\"" + fixed(w) +
                            "\" height=\"" + fixed(h) + "\"";
  svg.line("<rect " + where + attributes + " fill=\"" + (s ? s->colour : kUndescribed) + "\"/>");
  if (s) svg.line("<rect " + where + " fill=\"url(#hatch-" + s->name + ")\"/>");
}

// Centres for labels `height` apart, each as near its wanted centre as the others allow, all
// within [lo, hi]. When they cannot all fit, the labels of the thinnest layers are left out
// (NaN) and the legend and the boxes speak for them.
std::vector<double> place_labels(const std::vector<double>& wanted,
                                 const std::vector<double>& thickness, double height, double lo,
                                 double hi) {
  std::vector<double> placed = wanted;
  std::vector<std::size_t> order(wanted.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::sort(order.begin(), order.end(),
            [&](std::size_t a, std::size_t b) { return thickness[a] < thickness[b]; });
  const std::size_t room = std::size_t((hi - lo) / height);
  for (std::size_t k = 0; k + room < order.size(); ++k) placed[order[k]] = kNan;
  std::vector<std::size_t> kept;
  for (std::size_t i = 0; i < placed.size(); ++i)
    if (std::isfinite(placed[i])) kept.push_back(i);
  // Downwards each label keeps below the one above it, then upwards above the one below it.
  double floor = lo + height / 2;
  for (std::size_t i : kept) {
    placed[i] = std::max(placed[i], floor);
    floor = placed[i] + height;
  }
  double ceiling = hi - height / 2;
  for (auto it = kept.rbegin(); it != kept.rend(); ++it) {
    placed[*it] = std::min(placed[*it], ceiling);
    ceiling = placed[*it] - height;
  }
  return placed;
}

struct LayerBox {
  double top = kNan, bottom = kNan; // depths or levels, as the frame draws them
  std::string code, text;
};

// Draws the layer column at `f` (its width the column's) with labels to its right in
// `text_width`; returns the soil styles drawn, for the legend.
std::vector<const SoilStyle*> draw_layers(Svg& svg, const Frame& f,
                                          const std::vector<LayerBox>& layers, double text_width) {
  svg.line("<g class=\"layers\" data-depth-min=\"" + tick_text(f.depth.lo) +
           "\" data-depth-max=\"" + tick_text(f.depth.hi) + "\" data-upward=\"" +
           (f.upward ? "1" : "0") + "\" data-left=\"" + fixed(f.left) + "\" data-top=\"" +
           fixed(kTop) + "\" data-width=\"" + fixed(f.width) + "\" data-height=\"" +
           fixed(kHeight) + "\">");
  std::vector<const SoilStyle*> used;
  const auto note = [&](const SoilStyle* s) {
    if (s && std::find(used.begin(), used.end(), s) == used.end()) used.push_back(s);
  };
  std::vector<double> wanted, thickness;
  for (const LayerBox& l : layers) {
    const bool drawn = std::isfinite(l.top) && std::isfinite(l.bottom);
    wanted.push_back(drawn ? (f.py(l.top) + f.py(l.bottom)) / 2 : kNan);
    thickness.push_back(drawn ? std::fabs(f.py(l.bottom) - f.py(l.top)) : 0);
    if (!drawn) continue;
    const double y = std::min(f.py(l.top), f.py(l.bottom)), h = thickness.back();
    const SoilStyle* soil = main_soil(l.code);
    note(soil);
    soil_box(svg, f.left, y, f.width, h, soil,
             std::string(" class=\"layer\" data-soil=\"") + (soil ? soil->name : "none") + "\"");
    // Narrower marks at the right edge for the admixtures, wider for a higher grade.
    double right = f.left + f.width;
    for (const auto& [style, grade] : admixtures(l.code)) {
      const double w = 3 + 3 * std::min(grade, 4);
      right -= w;
      note(style);
      soil_box(svg, right, y, w, h, style,
               std::string(" class=\"admixture\" data-soil=\"") + style->name + "\"");
    }
    svg.line("<rect x=\"" + fixed(f.left) + "\" y=\"" + fixed(y) + "\" width=\"" + fixed(f.width) +
             "\" height=\"" + fixed(h) +
             "\" fill=\"none\" stroke=\"black\" stroke-width=\"0.6\"/>");
  }
  const std::vector<double> placed = place_labels(wanted, thickness, 13, kTop, kTop + kHeight);
  std::size_t left_out = 0;
  for (std::size_t i = 0; i < placed.size(); ++i)
    left_out += std::isfinite(wanted[i]) && !std::isfinite(placed[i]) ? 1 : 0;
  if (left_out > 0) // said on the picture: the boxes are all there, not all their words
    svg.line("<text class=\"note\" x=\"" + fixed(f.left) + "\" y=\"" + fixed(kTop - 8) +
             "\" font-size=\"10\">" + std::to_string(left_out) + " of " +
             std::to_string(layers.size()) +
             " labels left out for room; geftool info lists every layer</text>");
  for (std::size_t i = 0; i < layers.size(); ++i) {
    if (!std::isfinite(placed[i])) continue;
    const double x = f.left + f.width;
    if (std::fabs(placed[i] - wanted[i]) > 1) // a leader line to a label moved aside
      svg.line("<polyline class=\"leader\" fill=\"none\" stroke=\"#666666\" stroke-width=\"0.6\" "
               "points=\"" +
               fixed(x) + "," + fixed(wanted[i]) + " " + fixed(x + 10) + "," + fixed(placed[i]) +
               " " + fixed(x + 14) + "," + fixed(placed[i]) + "\"/>");
    const std::string& text = layers[i].text.empty() ? layers[i].code : layers[i].text;
    svg.line("<text class=\"label\" x=\"" + fixed(x + 16) + "\" y=\"" + fixed(placed[i] + 4) +
             "\" font-size=\"11\"><title>" + escaped(text) + "</title>" +
             escaped(fitted(text, text_width - 20)) + "</text>");
  }
  svg.line("</g>");
  return used;
}

// The legend of the soil types drawn, in rows under the picture's frame; returns its height.
double draw_legend(Svg& svg, const std::vector<const SoilStyle*>& used, double left, double width) {
  const double top = kTop + kHeight + 16, cell = 110;
  const std::size_t per_row = std::max<std::size_t>(1, std::size_t(width / cell));
  svg.line("<g class=\"legend\">");
  for (std::size_t i = 0; i < used.size(); ++i) {
    const double x = left + double(i % per_row) * cell, y = top + double(i / per_row) * 20;
    soil_box(svg, x, y, 26, 14, used[i]);
    svg.line("<rect x=\"" + fixed(x) + "\" y=\"" + fixed(y) +
             "\" width=\"26\" height=\"14\" fill=\"none\" stroke=\"black\" stroke-width=\"0.5\"/>");
    svg.line("<text x=\"" + fixed(x + 32) + "\" y=\"" + fixed(y + 11) + "\">" + used[i]->name +
             "</text>");
  }
  svg.line("</g>");
  return used.empty() ? 0 : 16 + 20 * double((used.size() + per_row - 1) / per_row);
}

// One file of a plot, copied out of the library so that several can be drawn together.
struct Sounding {
  std::string name;
  bool boring = false;
  std::optional<double> z;   // ZID: the ground level in the height system
  std::string height_system; // its name (NAP, TAW), or empty
  Column depth;              // a CPT's depth or penetration length
  std::vector<Panel> panels;
  std::vector<LayerBox> layers;
};

Sounding load_sounding(const std::string& path, const std::string& codes) {
  Sounding s;
  s.name = title();
  if (s.name.empty()) s.name = to_utf8(path.substr(path.find_last_of("/\\") + 1));
  const Facts facts = gather_facts();
  s.z = facts.z;
  s.height_system = facts.height_name.value_or("");
  s.boring = report_kind() == ReportKind::Bore && column_of_quantity(kQnTop) != 0;
  if (s.boring) {
    const std::vector<Layer> layers = read_layers(load_layer_codes(codes));
    for (std::size_t i = 0; i < layers.size(); ++i) {
      const Layer& l = layers[i];
      // Without a bottom column each layer ends where the next begins.
      const std::optional<double> bottom = l.bottom                ? l.bottom
                                           : i + 1 < layers.size() ? layers[i + 1].top
                                                                   : std::nullopt;
      s.layers.push_back(
          {l.top.value_or(kNan), bottom.value_or(kNan), l.description, l.expansion.value_or("")});
    }
    return s;
  }
  int depth_column = column_of_quantity(kQnDepth);
  if (depth_column == 0) depth_column = column_of_quantity(kQnLength);
  s.depth = load_column(depth_column != 0 ? depth_column : 1);
  s.panels = cpt_panels(s.depth);
  return s;
}

void picture_title(Svg& svg, const std::string& name) {
  svg.line("<text x=\"" + fixed(kLeft) + "\" y=\"20\" font-size=\"14\">" + escaped(name) +
           "</text>");
}

bool plot_boring(const Sounding& s, const std::string& output) {
  std::vector<double> all;
  for (const LayerBox& l : s.layers) all.push_back(l.top), all.push_back(l.bottom);
  // With a height system a second axis of levels stands left of the depth axis.
  const double left = s.z ? kLeft + 70 : kLeft;
  const Frame f{left, kLayerWidth, Range{0, 1, 1}, nice_range(all)};
  Svg svg;
  svg.line(pattern_defs());
  depth_axis(svg, f, "depth below ground [m]", f.left);
  if (s.z)
    depth_axis(svg, f, "level [m" + (s.height_system.empty() ? "" : " " + s.height_system) + "]",
               f.left - 70, s.z);
  const std::vector<const SoilStyle*> used = draw_layers(svg, f, s.layers, kLayerTextWidth);
  const double width = f.left + kLayerWidth + kLayerTextWidth + kRight;
  const double legend = draw_legend(svg, used, kLeft, width - kLeft);
  picture_title(svg, s.name);
  return svg.write(output, width, kTop + kHeight + kBottom + legend);
}

bool plot_cpt(const Sounding& s, const std::string& output) {
  if (s.panels.empty()) return false;
  Svg svg;
  const Range depth_range = nice_range(s.depth.values);
  double left = kLeft;
  for (std::size_t i = 0; i < s.panels.size(); ++i) {
    const Frame f{left, i == 0 ? kFirstWidth : kPanelWidth, nice_range(s.panels[i].x), depth_range};
    if (i == 0) depth_axis(svg, f, s.depth.label, f.left);
    draw_panel(svg, f, s.panels[i], s.depth.values, kCurveColours[i % 4]);
    left += f.width + kGap;
  }
  picture_title(svg, s.name);
  return svg.write(output, left - kGap + kRight, kTop + kHeight + kBottom);
}

// CPTs and borings side by side on one vertical axis: levels when every file gives its ground
// level in the same height system, depths below ground otherwise.
bool plot_profile(const std::vector<Sounding>& soundings, const std::string& output) {
  bool levels = true; // one height system for all
  for (const Sounding& s : soundings)
    levels = levels && s.z.has_value() && s.height_system == soundings.front().height_system;
  const auto vertical = [&](const Sounding& s, double depth) {
    return levels ? *s.z - depth : depth;
  };
  std::vector<double> all;
  for (const Sounding& s : soundings) {
    for (double d : s.depth.values) all.push_back(vertical(s, d));
    for (const LayerBox& l : s.layers)
      all.push_back(vertical(s, l.top)), all.push_back(vertical(s, l.bottom));
  }
  const Range range = nice_range(all);
  Svg svg;
  svg.line(pattern_defs());
  std::vector<const SoilStyle*> used;
  double left = kLeft;
  const std::string system = soundings.front().height_system;
  depth_axis(svg, Frame{left, 0, Range{}, range, levels},
             levels ? "level [m" + (system.empty() ? "" : " " + system) + "]"
                    : "depth below ground [m]",
             left);
  for (const Sounding& s : soundings) {
    const double start = left;
    if (s.boring) {
      std::vector<LayerBox> layers = s.layers;
      for (LayerBox& l : layers) l.top = vertical(s, l.top), l.bottom = vertical(s, l.bottom);
      const Frame f{left, kLayerWidth, Range{0, 1, 1}, range, levels};
      for (const SoilStyle* style : draw_layers(svg, f, layers, 260))
        if (std::find(used.begin(), used.end(), style) == used.end()) used.push_back(style);
      left += kLayerWidth + 260;
    } else {
      std::vector<double> at;
      for (double d : s.depth.values) at.push_back(vertical(s, d));
      for (std::size_t i = 0; i < s.panels.size() && i < 2; ++i) {
        const Frame f{left, i == 0 ? kPanelWidth : 110, nice_range(s.panels[i].x), range, levels};
        draw_panel(svg, f, s.panels[i], at, kCurveColours[i % 4]);
        left += f.width + kGap;
      }
    }
    svg.line("<text class=\"test\" x=\"" + fixed(start) + "\" y=\"20\" font-size=\"14\">" +
             escaped(s.name) + "</text>");
    left += 2 * kGap;
  }
  const double width = left - 2 * kGap + kRight;
  const double legend = draw_legend(svg, used, kLeft, width - kLeft);
  return svg.write(output, width, kTop + kHeight + kBottom + legend);
}

// Pore pressure against time on a linear and on a square-root time axis, t50 marked.
bool plot_dissipation(const Dissipation& d, const std::string& name, const std::string& output) {
  constexpr double kWidth = 360, kPlotHeight = 420;
  Svg svg;
  std::vector<double> all_u;
  for (const PoreCurve& c : d.curves) all_u.insert(all_u.end(), c.values.begin(), c.values.end());
  const Range u = nice_range(all_u);
  const double bottom = kTop + kPlotHeight;
  for (int panel = 0; panel < 2; ++panel) {
    const bool root = panel == 1;
    const auto at = [&](double t) { return root ? std::sqrt(std::max(0.0, t)) : t; };
    std::vector<double> x;
    for (double t : d.time) x.push_back(at(t));
    const Range r = nice_range(x);
    const double left = kLeft + panel * (kWidth + 70);
    const auto px = [&](double v) { return left + (v - r.lo) / (r.hi - r.lo) * kWidth; };
    const auto py = [&](double v) { return bottom - (v - u.lo) / (u.hi - u.lo) * kPlotHeight; };
    svg.line("<g class=\"dissipation\" data-x-min=\"" + tick_text(r.lo) + "\" data-x-max=\"" +
             tick_text(r.hi) + "\" data-y-min=\"" + tick_text(u.lo) + "\" data-y-max=\"" +
             tick_text(u.hi) + "\" data-sqrt=\"" + (root ? "1" : "0") + "\" data-left=\"" +
             fixed(left) + "\" data-top=\"" + fixed(kTop) + "\" data-width=\"" + fixed(kWidth) +
             "\" data-height=\"" + fixed(kPlotHeight) + "\">");
    for (double v = r.lo; v <= r.hi + r.step / 2; v += r.step)
      svg.line("<line x1=\"" + fixed(px(v)) + "\" y1=\"" + fixed(kTop) + "\" x2=\"" + fixed(px(v)) +
               "\" y2=\"" + fixed(bottom) +
               "\" stroke=\"#dddddd\" stroke-width=\"0.5\"/><text x=\"" + fixed(px(v)) + "\" y=\"" +
               fixed(bottom + 16) + "\" text-anchor=\"middle\">" + tick_text(v) + "</text>");
    for (double v = u.lo; v <= u.hi + u.step / 2; v += u.step)
      svg.line("<line x1=\"" + fixed(left) + "\" y1=\"" + fixed(py(v)) + "\" x2=\"" +
               fixed(left + kWidth) + "\" y2=\"" + fixed(py(v)) +
               "\" stroke=\"#dddddd\" stroke-width=\"0.5\"/><text x=\"" + fixed(left - 6) +
               "\" y=\"" + fixed(py(v) + 4) + "\" text-anchor=\"end\">" + tick_text(v) + "</text>");
    const std::string unit = d.time_unit.empty() ? "" : " [" + d.time_unit + "]";
    svg.line("<text x=\"" + fixed(left + kWidth / 2) + "\" y=\"" + fixed(bottom + 36) +
             "\" text-anchor=\"middle\">" +
             escaped(root ? "\xE2\x88\x9A(elapsed time" + unit + ")" : d.time_label) + "</text>");
    for (std::size_t k = 0; k < d.curves.size(); ++k) {
      const PoreCurve& c = d.curves[k];
      std::string points;
      for (std::size_t i = 0; i < c.values.size() && i < x.size(); ++i)
        if (std::isfinite(c.values[i]) && std::isfinite(x[i]))
          points += (points.empty() ? "" : " ") + fixed(px(x[i])) + "," + fixed(py(c.values[i]));
      svg.line(std::string("<polyline class=\"curve\" fill=\"none\" stroke=\"") +
               kCurveColours[k % 4] + "\" stroke-width=\"1.4\" points=\"" + points + "\"/>");
      if (c.t50)
        svg.line("<line class=\"t50\" x1=\"" + fixed(px(at(*c.t50))) + "\" y1=\"" + fixed(kTop) +
                 "\" x2=\"" + fixed(px(at(*c.t50))) + "\" y2=\"" + fixed(bottom) + "\" stroke=\"" +
                 kCurveColours[k % 4] + "\" stroke-width=\"0.8\" stroke-dasharray=\"4 3\"/>");
      if (panel == 0)
        svg.line("<text x=\"" + fixed(left + kWidth - 8) + "\" y=\"" +
                 fixed(kTop + 16 + 16 * double(k)) + "\" text-anchor=\"end\" fill=\"" +
                 kCurveColours[k % 4] + "\">" + escaped(c.label) +
                 (c.t50 ? ", t50 " + fixed(*c.t50) + " " + d.time_unit : std::string()) +
                 "</text>");
    }
    svg.line("<rect x=\"" + fixed(left) + "\" y=\"" + fixed(kTop) + "\" width=\"" + fixed(kWidth) +
             "\" height=\"" + fixed(kPlotHeight) +
             "\" fill=\"none\" stroke=\"black\" stroke-width=\"0.8\"/></g>");
  }
  svg.line("<text transform=\"translate(" + fixed(kLeft - 52) + "," +
           fixed(kTop + kPlotHeight / 2) + ") rotate(-90)\" text-anchor=\"middle\">" +
           escaped(d.curves.front().label) + "</text>");
  picture_title(svg, name + (d.depth ? " at " + number_text(*d.depth) + " m" : "") +
                         (d.equilibrium_given ? "" : " (t50 relative to the last reading)"));
  return svg.write(output, kLeft + 2 * kWidth + 70 + kRight, bottom + 50);
}

} // namespace

int run_plot(const std::vector<std::string>& paths, const std::string& output,
             const std::string& codes) {
  LibrarySession session;
  if (!session.ok()) return 2;
  std::vector<Sounding> soundings;
  for (const std::string& path : paths) {
    if (!read_for("plot", path)) return 2;
    if (column_count() == 0 || get_nr_scans() <= 0) {
      std::cerr << "geftool plot: " << to_utf8(path) << " has no data to plot\n";
      return 2;
    }
    if (is_dissipation()) {
      const Dissipation d = read_dissipation(std::nullopt);
      const std::string why = paths.size() > 1         ? "a dissipation test is plotted alone"
                              : !d.unavailable.empty() ? d.unavailable
                                                       : std::string();
      if (!why.empty()) {
        std::cerr << "geftool plot: " << to_utf8(path) << ": " << why << "\n";
        return 2;
      }
      if (!plot_dissipation(d, load_sounding(path, codes).name, output)) break;
      return 0;
    }
    soundings.push_back(load_sounding(path, codes));
  }
  const bool written = soundings.size() > 1 ? plot_profile(soundings, output)
                       : soundings.size() == 1 && soundings[0].boring
                           ? plot_boring(soundings[0], output)
                       : soundings.size() == 1 ? plot_cpt(soundings[0], output)
                                               : false;
  if (!written) {
    std::cerr << "geftool plot: cannot write " << to_utf8(output) << "\n";
    return 2;
  }
  return 0;
}

} // namespace geftool
