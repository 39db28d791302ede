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
#include "rule_sets.h"
#include "text.h"

namespace geftool {
namespace {

constexpr double kNan = std::numeric_limits<double>::quiet_NaN();

// Picture geometry, in SVG user units (pixels).
constexpr double kTop = 80, kHeight = 720, kLeft = 80, kGap = 28, kRight = 24, kBottom = 24;
constexpr double kFirstWidth = 280, kPanelWidth = 170, kLayerWidth = 70, kLayerTextWidth = 330;

// Quantity numbers: penetration length, cone resistance, local friction, friction ratio, pore
// pressures (u2 first), corrected depth; a boring's layers: top and bottom depth.
constexpr int kQnLength = 1, kQnCone = 2, kQnFriction = 3, kQnRatio = 4, kQnDepth = 11;
constexpr int kQnPore[] = {6, 5, 7};
constexpr int kQnTop = 1, kQnBottom = 2;

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

struct Frame {
  double left, width;
  Range x, depth;
  double px(double v) const { return left + (v - x.lo) / (x.hi - x.lo) * width; }
  double py(double d) const { return kTop + (d - depth.lo) / (depth.hi - depth.lo) * kHeight; }
};

void depth_axis(Svg& svg, const Frame& f, const std::string& label) {
  for (double d = f.depth.lo; d <= f.depth.hi + f.depth.step / 2; d += f.depth.step)
    svg.line("<text x=\"" + fixed(f.left - 6) + "\" y=\"" + fixed(f.py(d) + 4) +
             "\" text-anchor=\"end\">" + tick_text(d) + "</text>");
  svg.line("<text transform=\"translate(" + fixed(f.left - 52) + "," + fixed(kTop + kHeight / 2) +
           ") rotate(-90)\" text-anchor=\"middle\">" + escaped(label) + "</text>");
}

void draw_panel(Svg& svg, const Frame& f, const Panel& panel, const std::vector<double>& depth,
                const char* colour) {
  svg.line("<g class=\"panel\" data-x-min=\"" + tick_text(f.x.lo) + "\" data-x-max=\"" +
           tick_text(f.x.hi) + "\" data-depth-min=\"" + tick_text(f.depth.lo) +
           "\" data-depth-max=\"" + tick_text(f.depth.hi) + "\" data-left=\"" + fixed(f.left) +
           "\" data-top=\"" + fixed(kTop) + "\" data-width=\"" + fixed(f.width) +
           "\" data-height=\"" + fixed(kHeight) + "\">");
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

bool plot_cpt(const std::string& output, const std::string& name) {
  int depth_column = column_of_quantity(kQnDepth);
  if (depth_column == 0) depth_column = column_of_quantity(kQnLength);
  const Column depth = load_column(depth_column != 0 ? depth_column : 1);
  const std::vector<Panel> panels = cpt_panels(depth);
  if (panels.empty()) return false;
  Svg svg;
  const Range depth_range = nice_range(depth.values);
  double left = kLeft;
  for (std::size_t i = 0; i < panels.size(); ++i) {
    const Frame f{left, i == 0 ? kFirstWidth : kPanelWidth, nice_range(panels[i].x), depth_range};
    if (i == 0) depth_axis(svg, f, depth.label);
    draw_panel(svg, f, panels[i], depth.values, kCurveColours[i % 4]);
    left += f.width + kGap;
  }
  svg.line("<text x=\"" + fixed(kLeft) + "\" y=\"20\" font-size=\"14\">" + escaped(name) +
           "</text>");
  return svg.write(output, left - kGap + kRight, kTop + kHeight + kBottom);
}

// Fill colour of a layer from the main letter of the first code of its text.
const char* soil_colour(const std::string& text) {
  std::size_t i = text.find_first_not_of(" '\"");
  const char letter = i == std::string::npos ? ' ' : char(std::toupper((unsigned char)text[i]));
  switch (letter) {
  case 'G': return "#e3a857"; // gravel
  case 'Z': return "#f3e07a"; // sand
  case 'L': return "#c9b48a"; // loam
  case 'K': return "#7fae6b"; // clay
  case 'V': return "#8a5a3a"; // peat
  default: return "#c8c8c8";
  }
}

bool plot_boring(const std::string& output, const std::string& name) {
  const Column top = load_column(column_of_quantity(kQnTop));
  const int bottom_column = column_of_quantity(kQnBottom);
  std::vector<double> bottoms;
  if (bottom_column != 0) {
    bottoms = load_column(bottom_column).values;
  } else { // each layer ends where the next begins
    bottoms.assign(top.values.begin() + (top.values.empty() ? 0 : 1), top.values.end());
    bottoms.push_back(kNan);
  }
  std::vector<double> all = top.values;
  all.insert(all.end(), bottoms.begin(), bottoms.end());
  const Frame f{kLeft, kLayerWidth, Range{0, 1, 1}, nice_range(all)};
  Svg svg;
  depth_axis(svg, f, top.label);
  svg.line("<g class=\"layers\" data-depth-min=\"" + tick_text(f.depth.lo) +
           "\" data-depth-max=\"" + tick_text(f.depth.hi) + "\" data-left=\"" + fixed(f.left) +
           "\" data-top=\"" + fixed(kTop) + "\" data-width=\"" + fixed(f.width) +
           "\" data-height=\"" + fixed(kHeight) + "\">");
  for (std::size_t i = 0; i < top.values.size(); ++i) {
    const double t = top.values[i], b = bottoms[i];
    if (!std::isfinite(t) || !std::isfinite(b)) continue;
    const std::string text = to_utf8(get_columntext_text(int(i) + 1));
    svg.line("<rect x=\"" + fixed(f.left) + "\" y=\"" + fixed(f.py(t)) + "\" width=\"" +
             fixed(f.width) + "\" height=\"" + fixed(f.py(b) - f.py(t)) + "\" fill=\"" +
             soil_colour(text) + "\" stroke=\"black\" stroke-width=\"0.6\"/>");
    svg.line("<text x=\"" + fixed(f.left + f.width + 8) + "\" y=\"" + fixed(f.py((t + b) / 2) + 4) +
             "\">" + escaped(text) + "</text>");
  }
  svg.line("</g>");
  svg.line("<text x=\"" + fixed(kLeft) + "\" y=\"20\" font-size=\"14\">" + escaped(name) +
           "</text>");
  return svg.write(output, kLeft + kLayerWidth + kLayerTextWidth + kRight,
                   kTop + kHeight + kBottom);
}

} // namespace

int run_plot(const std::string& path, const std::string& output) {
  LibrarySession session;
  if (!session.ok() || !read_for("plot", path)) return 2;
  if (column_count() == 0 || get_nr_scans() <= 0) {
    std::cerr << "geftool plot: " << to_utf8(path) << " has no data to plot\n";
    return 2;
  }
  std::string name = title();
  if (name.empty()) name = to_utf8(path.substr(path.find_last_of("/\\") + 1));
  const bool boring = report_kind() == ReportKind::Bore && column_of_quantity(kQnTop) != 0;
  const bool written = boring ? plot_boring(output, name) : plot_cpt(output, name);
  if (!written) {
    std::cerr << "geftool plot: cannot write " << to_utf8(output) << "\n";
    return 2;
  }
  return 0;
}

} // namespace geftool
