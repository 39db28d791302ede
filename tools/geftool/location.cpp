// SPDX-License-Identifier: MIT
// Judges a file's #XYID against the library's table of systems and places it in WGS84 with PROJ.
#include "location.h"

#include <cmath>
#include <cstdio>
#include <iostream>
#include <map>

#include <gef/extensions.h>

#ifdef GEFTOOL_WITH_PROJ
#include <dlfcn.h>
#include <proj.h>
#endif

#include "common.h"
#include "facts.h"
#include "findings.h"

namespace geftool {
namespace {

constexpr int kRd = 31000;

// `value` printed with `format`, which takes a precision and the value.
std::string printed(const char* format, int precision, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, precision, value);
  return text;
}

#ifdef GEFTOOL_WITH_PROJ
// PROJ's functions, from the library opened on the first transformation. Linked instead, PROJ
// and the forty libraries it needs cost every geftool start some 20 ms of CPU, more than
// checking a hundred files, while only placing a location in WGS84 uses it.
struct Proj {
  decltype(&proj_context_create) context_create = nullptr;
  decltype(&proj_context_destroy) context_destroy = nullptr;
  decltype(&proj_log_level) log_level = nullptr;
  decltype(&proj_create_crs_to_crs) create_crs_to_crs = nullptr;
  decltype(&proj_normalize_for_visualization) normalize_for_visualization = nullptr;
  decltype(&proj_trans) trans = nullptr;
  decltype(&proj_destroy) destroy = nullptr;
  bool opened = false;

  Proj() {
    void* library = dlopen(GEFTOOL_PROJ_SONAME, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) library = dlopen(GEFTOOL_PROJ_PATH, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) return;
    opened = take(library, "proj_context_create", context_create) &&
             take(library, "proj_context_destroy", context_destroy) &&
             take(library, "proj_log_level", log_level) &&
             take(library, "proj_create_crs_to_crs", create_crs_to_crs) &&
             take(library, "proj_normalize_for_visualization", normalize_for_visualization) &&
             take(library, "proj_trans", trans) && take(library, "proj_destroy", destroy);
  }
  template <typename F> static bool take(void* library, const char* name, F& function) {
    function = reinterpret_cast<F>(dlsym(library, name));
    return function != nullptr;
  }
};

const Proj& proj() {
  static const Proj opened;
  return opened;
}

// Seven decimals of a degree are about a centimetre: the precision GeoJSON readers expect.
double degrees(double value) { return std::round(value * 1e7) / 1e7; }

// One PROJ context and one transformation per EPSG code for the life of a thread: a map over a
// folder asks for the same few systems again and again, and PROJ's objects serve one thread.
class Transformer {
public:
  Transformer() : context_(proj().context_create()) {
    // geftool tells why a location has no WGS84 itself; PROJ's own messages would only repeat it.
    proj().log_level(context_, PJ_LOG_NONE);
  }
  ~Transformer() {
    for (auto& entry : cache_)
      if (entry.second != nullptr) proj().destroy(entry.second);
    proj().context_destroy(context_);
  }
  Transformer(const Transformer&) = delete;
  Transformer& operator=(const Transformer&) = delete;

  // Longitude and latitude (east, north) of x, y in EPSG system `epsg`, or false.
  bool to_wgs84(int epsg, double x, double y, double& longitude, double& latitude) {
    auto found = cache_.find(epsg);
    if (found == cache_.end()) found = cache_.emplace(epsg, create(epsg)).first;
    if (found->second == nullptr) return false;
    PJ_COORD in{};
    in.xyzt = {x, y, 0, 0};
    const PJ_COORD out = proj().trans(found->second, PJ_FWD, in);
    if (!std::isfinite(out.xy.x) || !std::isfinite(out.xy.y)) return false;
    longitude = out.lp.lam;
    latitude = out.lp.phi;
    return true;
  }

private:
  PJ* create(int epsg) {
    const std::string from = "EPSG:" + std::to_string(epsg);
    PJ* raw = proj().create_crs_to_crs(context_, from.c_str(), "EPSG:4326", nullptr);
    if (raw == nullptr) return nullptr;
    // EPSG:4326 is latitude first; maps and GeoJSON want longitude first.
    PJ* normalised = proj().normalize_for_visualization(context_, raw);
    proj().destroy(raw);
    return normalised;
  }

  PJ_CONTEXT* context_;
  std::map<int, PJ*> cache_;
};

bool to_wgs84(int epsg, double x, double y, double& longitude, double& latitude) {
  static thread_local Transformer transformer;
  return transformer.to_wgs84(epsg, x, y, longitude, latitude);
}
#endif

// Coordinates are metres or degrees: written out in full, never in exponent form.
std::string plain(double value) { return printed("%.*g", 12, value); }

std::string coordinates(double x, double y) { return "X " + plain(x) + ", Y " + plain(y); }

// What the library's judgement of a location means, in words.
std::string doubt_text(int doubt, int code, double x, double y) {
  const std::string system = "system code " + std::to_string(code);
  const char* name = gef_coordinate_system_name(code);
  double area[4] = {};
  switch (doubt) {
  case GEF_LOCATION_ZERO: return "X and Y are both 0: a dummy location";
  case GEF_LOCATION_SAME_VALUES: return "X and Y are both " + plain(x) + ": a dummy location";
  case GEF_LOCATION_UNKNOWN_SYSTEM: return system + " is not in the table of coordinate systems";
  case GEF_LOCATION_NO_EPSG: {
    std::string text = system + " (" + name + ") names no system with an EPSG code";
    if (gef_location_doubt(kRd, x, y) == GEF_LOCATION_SOUND)
      text += "; " + coordinates(x, y) + " lie within RD's area";
    return text;
  }
  case GEF_LOCATION_OLD_RD:
    return coordinates(x, y) +
           " look like old RD (origin at Amersfoort, system code 31001), not RD";
  default:
    gef_coordinate_system_area(code, area);
    return coordinates(x, y) + " lie outside the area of " + name + " (X " + plain(area[0]) +
           " to " + plain(area[2]) + ", Y " + plain(area[1]) + " to " + plain(area[3]) + ")";
  }
}

} // namespace

std::optional<std::string> coordinate_system_label(int code) {
  const char* name = gef_coordinate_system_name(code);
  if (name == nullptr) return std::nullopt;
  const int epsg = gef_coordinate_system_epsg(code);
  return epsg != 0 ? std::string(name) + ", EPSG:" + std::to_string(epsg) : std::string(name);
}

std::optional<std::string> height_system_label(int code) {
  const char* name = gef_height_system_name(code);
  return name != nullptr ? std::optional<std::string>(name) : std::nullopt;
}

Wgs84 wgs84_of(const Facts& facts, bool findings_only) {
  Wgs84 place;
  if (!facts.system_code || !facts.x || !facts.y) {
    place.unusable = "no XYID with a system code, X and Y";
    return place;
  }
  const int code = *facts.system_code;
  const double x = *facts.x, y = *facts.y;
  const int doubt = gef_location_doubt(code, x, y);
  if (doubt != GEF_LOCATION_SOUND) {
    place.unusable = doubt_text(doubt, code, x, y);
    // A system the table cannot place is no fault of the numbers.
    place.findings.push_back({doubt == GEF_LOCATION_NO_EPSG ? 5 : 4, place.unusable});
    return place;
  }
  if (findings_only) return place;
#ifdef GEFTOOL_WITH_PROJ
  const int epsg = gef_coordinate_system_epsg(code);
  double longitude = 0, latitude = 0;
  if (!proj().opened) {
    place.unusable = "PROJ cannot be opened (" GEFTOOL_PROJ_SONAME ")";
    return place;
  }
  if (!to_wgs84(epsg, x, y, longitude, latitude)) {
    place.unusable = "PROJ cannot transform EPSG:" + std::to_string(epsg) + " to WGS84";
    return place;
  }
  place.longitude = degrees(longitude);
  place.latitude = degrees(latitude);
#else
  place.unusable = "this geftool was built without PROJ";
#endif
  return place;
}

std::string wgs84_text(const Wgs84& place) {
  if (!place.longitude) return "- (" + place.unusable + ")";
  return printed("%.*f", 7, std::fabs(*place.longitude)) +
         (*place.longitude < 0 ? " W, " : " E, ") + printed("%.*f", 7, std::fabs(*place.latitude)) +
         (*place.latitude < 0 ? " S" : " N");
}

void add_wgs84_json(nlohmann::json& location, const Wgs84& place) {
  location["longitude"] = place.longitude ? nlohmann::json(*place.longitude) : nlohmann::json();
  location["latitude"] = place.latitude ? nlohmann::json(*place.latitude) : nlohmann::json();
}

void print_location_findings(const std::vector<LocationFinding>& findings) {
  if (findings.empty()) return;
  std::cout << "  LOCATION\n";
  for (const LocationFinding& f : findings)
    std::cout << "    " << class_name(f.severity_class) << ": " << f.text << "\n";
}

nlohmann::json location_findings_json(const std::vector<LocationFinding>& findings) {
  nlohmann::json list = nlohmann::json::array();
  for (const LocationFinding& f : findings)
    list.push_back({{"class", f.severity_class},
                    {"class_name", class_name(f.severity_class)},
                    {"text", f.text}});
  return list;
}

} // namespace geftool
